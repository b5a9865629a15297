#include "runtime/canvas.hpp"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <tuple>
#include <unordered_map>

#include "runtime/screen.hpp"

namespace rt {

// The palette, in one place. The screen is dark (colour 0 black) and calm; the
// pairs the drill actually draws decide the rest:
//   text 15 (white), 13 (yellow), 11 (cyan) on 0 and on the question panel 2;
//   13 on the label fills 6, 10, the help box 4 and the prompt box 8;
//   9 (green) on the key-pause box 4; 7 (light grey) and 5 (rose) on the header fill 8;
//   11 labels on the thermometer's 12, its column 5 in the tube 14;
//   the marks 5 (rose) and the per-blank marks 8 over black.
// So the fills 2, 4, 6, 10, 12 are dark and muted, 8 is a mid grey that still
// carries both light text and a visible mark on black, and the text colours
// are light enough for a contrast of at least 4.5 against every fill they meet.
Rgb palette(int colour) {
    static const Rgb table[16] = {
        {0, 0, 0},         // 0 background
        {80, 120, 220},    // 1 grid lines
        {22, 44, 86},      // 2 question panel
        {150, 160, 230},   // 3 outlines
        {18, 64, 44},      // 4 help box, key pause
        {255, 120, 140},   // 5 marks, menu lines, thermometer column
        {92, 60, 20},      // 6 boxed labels
        {235, 235, 235},   // 7 light text
        {84, 88, 104},     // 8 header, prompt box, per-blank marks
        {150, 250, 170},   // 9 key-pause text, hop totals
        {58, 34, 96},      // 10 title and wide labels
        {110, 220, 255},   // 11 prompts, grid numbers, scale labels
        {30, 40, 62},      // 12 thermometer background
        {255, 232, 110},   // 13 answers and highlights
        {210, 214, 226},   // 14 empty tube
        {255, 255, 255},   // 15 question text
    };
    return table[std::clamp(colour, 0, 15)];
}

namespace {

std::string ipagothic_path() {
    FcInit();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("IPAGothic"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    std::string path;
    bool ipa = false;
    if (match) {
        FcChar8* family = nullptr;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i)
            if (std::strcmp(reinterpret_cast<char*>(family), "IPAGothic") == 0) ipa = true;
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) path = reinterpret_cast<char*>(file);
        FcPatternDestroy(match);
    }
    if (!ipa || path.empty())
        throw std::runtime_error("the IPAGothic font is missing: install the Debian package fonts-ipafont-gothic");
    return path;
}

SDL_Surface* new_surface(int w, int h) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, std::max(w, 1), std::max(h, 1), 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) throw std::runtime_error(std::string("cannot create a surface: ") + SDL_GetError());
    return s;
}

}  // namespace

// White glyphs fitted to their cells, kept for reuse; colour is applied when blitting.
class GlyphCache {
public:
    GlyphCache() : path_(ipagothic_path()) {
        if (!TTF_WasInit() && TTF_Init() != 0) throw std::runtime_error(std::string("TTF_Init: ") + TTF_GetError());
    }
    ~GlyphCache() {
        for (auto& [key, surface] : glyphs_) SDL_FreeSurface(surface);
        for (auto& [key, font] : fonts_) TTF_CloseFont(font);
    }

    // The glyph for ch in a cell of cell_w x cell_h pixels, where a full-width
    // character is full_w pixels wide.
    SDL_Surface* get(char32_t ch, int cell_w, int cell_h, int full_w) {
        auto key = std::make_tuple(ch, cell_w, cell_h, full_w);
        auto found = glyphs_.find(key);
        if (found != glyphs_.end()) return found->second;
        SDL_Surface* fitted = render(ch, cell_w, cell_h, full_w);
        glyphs_.emplace(key, fitted);
        return fitted;
    }

private:
    TTF_Font* font(int size, int hdpi) {
        auto key = std::make_pair(size, hdpi);
        auto found = fonts_.find(key);
        if (found != fonts_.end()) return found->second;
        TTF_Font* f = TTF_OpenFontDPI(path_.c_str(), size, static_cast<unsigned>(hdpi), 72);
        if (!f) throw std::runtime_error(std::string("cannot open ") + path_ + ": " + TTF_GetError());
        TTF_SetFontHinting(f, TTF_HINTING_LIGHT);
        fonts_.emplace(key, f);
        return f;
    }

    SDL_Surface* render(char32_t ch, int cell_w, int cell_h, int full_w) {
        SDL_Surface* cell = new_surface(cell_w, cell_h);
        SDL_FillRect(cell, nullptr, SDL_MapRGBA(cell->format, 255, 255, 255, 0));
        SDL_SetSurfaceBlendMode(cell, SDL_BLENDMODE_BLEND);
        if (ch == 0 || ch == U' ' || ch == U'\u3000') return cell;
        int hdpi = std::max(1, static_cast<int>(std::lround(72.0 * full_w / cell_h)));
        TTF_Font* f = font(cell_h, hdpi);
        SDL_Surface* raw = TTF_RenderGlyph32_Blended(f, static_cast<Uint32>(ch), SDL_Color{255, 255, 255, 255});
        if (!raw) return cell;
        SDL_Surface* argb = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(raw);
        if (!argb) return cell;
        // The rows that carry ink: a few glyphs reach one row past the cell; they
        // are moved up into it, or squeezed when taller than the cell, never clipped.
        int top = argb->h, bottom = -1;
        for (int y = 0; y < argb->h; ++y) {
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(argb->pixels) + y * argb->pitch);
            for (int x = 0; x < argb->w; ++x)
                if (row[x] >> 24) { top = std::min(top, y); bottom = y; break; }
        }
        SDL_SetSurfaceBlendMode(argb, SDL_BLENDMODE_NONE);
        if (bottom >= 0 && ch == U'\u2015') {
            // The horizontal bar of fractions runs across whole cells, so that a bar of
            // several cells reads as one line.
            int left = argb->w, right = -1;
            for (int y = top; y <= bottom; ++y) {
                auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(argb->pixels) + y * argb->pitch);
                for (int x = 0; x < argb->w; ++x)
                    if (row[x] >> 24) { left = std::min(left, x); right = std::max(right, x); }
            }
            SDL_Rect src{left, top, right - left + 1, bottom - top + 1};
            SDL_Rect dst{0, std::min(top, cell_h - src.h), cell_w, src.h};
            SDL_BlitScaled(argb, &src, cell, &dst);
            SDL_FreeSurface(argb);
            return cell;
        }
        if (bottom >= 0) {
            int ink_h = bottom - top + 1;
            int w = std::min(argb->w, std::max(cell_w, argb->w));
            if (ink_h > cell_h) {
                SDL_Rect src{0, top, argb->w, ink_h}, dst{0, 0, w, cell_h};
                SDL_Surface* wide = new_surface(std::max(cell_w, argb->w), cell_h);
                SDL_FillRect(wide, nullptr, SDL_MapRGBA(wide->format, 255, 255, 255, 0));
                SDL_BlitScaled(argb, &src, wide, &dst);
                SDL_FreeSurface(cell);
                cell = wide;
            } else {
                int shift = std::max(0, bottom + 1 - cell_h);
                if (argb->w > cell_w) {
                    SDL_Surface* wide = new_surface(argb->w, cell_h);
                    SDL_FillRect(wide, nullptr, SDL_MapRGBA(wide->format, 255, 255, 255, 0));
                    SDL_FreeSurface(cell);
                    cell = wide;
                }
                SDL_Rect src{0, shift, argb->w, std::min(argb->h - shift, cell_h)}, dst{0, 0, 0, 0};
                SDL_BlitSurface(argb, &src, cell, &dst);
            }
        }
        SDL_FreeSurface(argb);
        SDL_SetSurfaceBlendMode(cell, SDL_BLENDMODE_BLEND);
        return cell;
    }

    struct KeyHash {
        std::size_t operator()(const std::tuple<char32_t, int, int, int>& k) const {
            auto [a, b, c, d] = k;
            return (static_cast<std::size_t>(a) * 1000003u) ^ (static_cast<std::size_t>(b) << 40) ^
                   (static_cast<std::size_t>(c) << 20) ^ static_cast<std::size_t>(d);
        }
    };
    std::string path_;
    std::map<std::pair<int, int>, TTF_Font*> fonts_;
    std::unordered_map<std::tuple<char32_t, int, int, int>, SDL_Surface*, KeyHash> glyphs_;
};

Canvas::Canvas(float scale) : scale_(scale), glyphs_(std::make_unique<GlyphCache>()) {
    surface_ = new_surface(width(), height());
    SDL_FillRect(surface_, nullptr, SDL_MapRGB(surface_->format, 0, 0, 0));
    touch({0, 0, width(), height()});
}

Canvas::~Canvas() { SDL_FreeSurface(surface_); }

int Canvas::width() const { return static_cast<int>(std::lround(kScreenW * scale_)); }
int Canvas::height() const { return static_cast<int>(std::lround(kScreenH * scale_)); }

void Canvas::set_scale(float scale) {
    if (scale == scale_) return;
    scale_ = scale;
    SDL_FreeSurface(surface_);
    surface_ = new_surface(width(), height());
    SDL_FillRect(surface_, nullptr, SDL_MapRGB(surface_->format, 0, 0, 0));
    for (const Op& op : ops_) draw(op);
    dirty_ = {0, 0, width(), height()};
}

namespace {
int px(float dots, float scale) { return static_cast<int>(std::floor(dots * scale + 0.5f)); }
}  // namespace

void Canvas::touch(const PixelRect& r) {
    if (r.empty()) return;
    if (dirty_.empty()) { dirty_ = r; return; }
    int x0 = std::min(dirty_.x, r.x), y0 = std::min(dirty_.y, r.y);
    int x1 = std::max(dirty_.x + dirty_.w, r.x + r.w), y1 = std::max(dirty_.y + dirty_.h, r.y + r.h);
    dirty_ = {x0, y0, x1 - x0, y1 - y0};
}

PixelRect Canvas::take_dirty() {
    PixelRect r = dirty_;
    dirty_ = {};
    int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    int x1 = std::min(r.x + r.w, width()), y1 = std::min(r.y + r.h, height());
    return {x0, y0, x1 - x0, y1 - y0};
}

void Canvas::fill_pixels(int x0, int y0, int x1, int y1, int colour) {
    // x1, y1 exclusive
    if (x1 <= x0 || y1 <= y0) return;
    Rgb c = palette(colour);
    SDL_Rect r{x0, y0, x1 - x0, y1 - y0};
    SDL_FillRect(surface_, &r, SDL_MapRGB(surface_->format, c.r, c.g, c.b));
}

// An operation's extent in pixels (for pruning the list and the dirty region).
PixelRect Canvas::bounds(const Op& op) const {
    float s = scale_;
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    switch (op.kind) {
    case Op::Line: case Op::Box: case Op::Fill:
        x0 = std::min(op.x1, op.x2); x1 = std::max(op.x1, op.x2) + 1;
        y0 = std::min(op.y1, op.y2); y1 = std::max(op.y1, op.y2) + 1;
        break;
    case Op::Circle: case Op::Disc:
        x0 = op.x1 - op.r - 1; x1 = op.x1 + op.r + 2; y0 = op.y1 - op.r - 1; y1 = op.y1 + op.r + 2;
        break;
    case Op::Glyph:
        // a glyph may reach past its cell horizontally; allow a full cell more
        x0 = op.x1; y0 = op.y1; x1 = op.x1 + op.x2 * 2; y1 = op.y1 + op.y2;
        break;
    }
    int a = px(x0, s), b = px(y0, s);
    return {a, b, std::max(px(x1, s) - a, 1), std::max(px(y1, s) - b, 1)};
}

void Canvas::record(const Op& op) {
    // An opaque shape hides whatever lay wholly under it: drop those from the list,
    // so that a long session (a cursor drawn and erased at every poll) stays small.
    if (op.kind == Op::Fill || op.kind == Op::Disc) {
        PixelRect area = bounds(op);
        if (op.kind == Op::Disc) {
            std::erase_if(ops_, [&](const Op& o) {
                return (o.kind == Op::Disc || o.kind == Op::Circle) && o.x1 == op.x1 && o.y1 == op.y1 && o.r <= op.r;
            });
        } else {
            std::erase_if(ops_, [&](const Op& o) {
                PixelRect b = bounds(o);
                return b.x >= area.x && b.y >= area.y && b.x + b.w <= area.x + area.w && b.y + b.h <= area.y + area.h;
            });
        }
    }
    ops_.push_back(op);
    draw(op);
}

void Canvas::draw(const Op& op) {
    const float s = scale_;
    const int t = std::max(1, static_cast<int>(std::lround(s)));
    switch (op.kind) {
    case Op::Line: {
        float ax = std::round(op.x1), ay = std::round(op.y1), bx = std::round(op.x2), by = std::round(op.y2);
        if (ay == by || ax == bx) {
            float x0 = std::min(ax, bx), x1 = std::max(ax, bx), y0 = std::min(ay, by), y1 = std::max(ay, by);
            fill_pixels(px(x0, s), px(y0, s), std::max(px(x1 + 1, s), px(x0, s) + 1),
                        std::max(px(y1 + 1, s), px(y0, s) + 1), op.c);
        } else {
            // Bresenham in pixels between the centres of the two end dots.
            int x0 = px(ax + 0.5f, s) - t / 2, y0 = px(ay + 0.5f, s) - t / 2;
            int x1 = px(bx + 0.5f, s) - t / 2, y1 = px(by + 0.5f, s) - t / 2;
            int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
            int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
            int err = dx + dy;
            for (;;) {
                fill_pixels(x0, y0, x0 + t, y0 + t, op.c);
                if (x0 == x1 && y0 == y1) break;
                int e2 = 2 * err;
                if (e2 >= dy) { err += dy; x0 += sx; }
                if (e2 <= dx) { err += dx; y0 += sy; }
            }
        }
        break;
    }
    case Op::Box: {
        Op edge = op;
        edge.kind = Op::Line;
        auto side = [&](float a, float b, float c, float d) { edge.x1 = a; edge.y1 = b; edge.x2 = c; edge.y2 = d; draw(edge); };
        side(op.x1, op.y1, op.x2, op.y1);
        side(op.x1, op.y2, op.x2, op.y2);
        side(op.x1, op.y1, op.x1, op.y2);
        side(op.x2, op.y1, op.x2, op.y2);
        break;
    }
    case Op::Fill: {
        float x0 = std::round(std::min(op.x1, op.x2)), x1 = std::round(std::max(op.x1, op.x2));
        float y0 = std::round(std::min(op.y1, op.y2)), y1 = std::round(std::max(op.y1, op.y2));
        fill_pixels(px(x0, s), px(y0, s), px(x1 + 1, s), px(y1 + 1, s), op.f);
        if (op.c != op.f) {
            Op edge = op;
            edge.kind = Op::Box;
            draw(edge);
        }
        break;
    }
    case Op::Circle: case Op::Disc: {
        // Pixels by their distance from the centre of the centre dot.
        float cx = (std::round(op.x1) + 0.5f) * s, cy = (std::round(op.y1) + 0.5f) * s;
        float outer = (op.r + 0.5f) * s, inner = std::max(0.0f, outer - t);
        int x0 = static_cast<int>(std::floor(cx - outer)), x1 = static_cast<int>(std::ceil(cx + outer));
        int y0 = static_cast<int>(std::floor(cy - outer)), y1 = static_cast<int>(std::ceil(cy + outer));
        Rgb edge = palette(op.c), inside = palette(op.kind == Op::Disc ? op.f : op.c);
        Uint32 edge_px = SDL_MapRGB(surface_->format, edge.r, edge.g, edge.b);
        Uint32 inside_px = SDL_MapRGB(surface_->format, inside.r, inside.g, inside.b);
        for (int y = std::max(y0, 0); y < std::min(y1 + 1, surface_->h); ++y) {
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface_->pixels) + y * surface_->pitch);
            for (int x = std::max(x0, 0); x < std::min(x1 + 1, surface_->w); ++x) {
                float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
                if (d >= outer) continue;
                if (d >= inner) row[x] = edge_px;
                else if (op.kind == Op::Disc) row[x] = inside_px;
            }
        }
        break;
    }
    case Op::Glyph: {
        int cell_x = px(op.x1, s), cell_y = px(op.y1, s);
        int cell_w = std::max(1, px(op.x1 + op.x2, s) - cell_x);
        int cell_h = std::max(1, px(op.y1 + op.y2, s) - cell_y);
        int full_w = std::max(1, static_cast<int>(std::lround(op.r * s)));
        SDL_Surface* g = glyphs_->get(op.ch, cell_w, cell_h, full_w);
        Rgb c = palette(op.c);
        SDL_SetSurfaceColorMod(g, c.r, c.g, c.b);
        SDL_Rect dst{cell_x, cell_y, 0, 0};
        SDL_BlitSurface(g, nullptr, surface_, &dst);
        break;
    }
    }
    touch(bounds(op));
}

void Canvas::clear() {
    ops_.clear();
    SDL_FillRect(surface_, nullptr, SDL_MapRGB(surface_->format, 0, 0, 0));
    touch({0, 0, width(), height()});
}

void Canvas::line(float x1, float y1, float x2, float y2, int colour) {
    record({Op::Line, x1, y1, x2, y2, 0, colour, colour, 0});
}
void Canvas::box(float x1, float y1, float x2, float y2, int colour) {
    record({Op::Box, x1, y1, x2, y2, 0, colour, colour, 0});
}
void Canvas::fill(float x1, float y1, float x2, float y2, int border, int fill) {
    record({Op::Fill, x1, y1, x2, y2, 0, border, fill, 0});
}
void Canvas::circle(float x, float y, float r, int colour) { record({Op::Circle, x, y, 0, 0, r, colour, colour, 0}); }
void Canvas::disc(float x, float y, float r, int border, int fill) {
    record({Op::Disc, x, y, 0, 0, r, border, fill, 0});
}
void Canvas::glyph(float x, float y, char32_t ch, float w, float h, float full_w, int colour) {
    // x2, y2 hold the cell's size, r the width of a full-width cell
    record({Op::Glyph, x, y, w, h, full_w, colour, colour, ch});
}

// PNG: 8-bit RGB, one zlib stream, no filtering.
bool Canvas::write_png(const std::string& path) const {
    const int w = surface_->w, h = surface_->h;
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<std::size_t>(h) * (w * 3 + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface_->pixels) + y * surface_->pitch);
        for (int x = 0; x < w; ++x) {
            raw.push_back(static_cast<unsigned char>(row[x] >> 16));
            raw.push_back(static_cast<unsigned char>(row[x] >> 8));
            raw.push_back(static_cast<unsigned char>(row[x]));
        }
    }
    uLongf packed_size = compressBound(raw.size());
    std::vector<unsigned char> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), raw.size(), 6) != Z_OK) return false;
    packed.resize(packed_size);

    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    auto be32 = [](unsigned char* p, uint32_t v) { p[0] = v >> 24; p[1] = v >> 16; p[2] = v >> 8; p[3] = v; };
    auto chunk = [&](const char* type, const unsigned char* data, std::size_t n) {
        unsigned char head[8];
        be32(head, static_cast<uint32_t>(n));
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0, head + 4, 4);
        if (n) crc = crc32(crc, data, static_cast<uInt>(n));
        unsigned char tail[4];
        be32(tail, static_cast<uint32_t>(crc));
        std::fwrite(head, 1, 8, f);
        if (n) std::fwrite(data, 1, n, f);
        std::fwrite(tail, 1, 4, f);
    };
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::fwrite(signature, 1, 8, f);
    unsigned char ihdr[13];
    be32(ihdr, static_cast<uint32_t>(w));
    be32(ihdr + 4, static_cast<uint32_t>(h));
    ihdr[8] = 8; ihdr[9] = 2; ihdr[10] = 0; ihdr[11] = 0; ihdr[12] = 0;
    chunk("IHDR", ihdr, 13);
    chunk("IDAT", packed.data(), packed.size());
    chunk("IEND", nullptr, 0);
    return std::fclose(f) == 0;
}

}  // namespace rt
