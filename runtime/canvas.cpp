#include "runtime/canvas.hpp"

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
//   9 (green) on the key-pause box 4; 7 (light grey) and 5 (pale rose) on the header fill 8;
//   11 labels on the thermometer's 12, its column 5 in the tube 14, the tube on 12;
//   the marks 5 and the per-blank marks 8 over black.
// Every text pair reaches a contrast of 4.5:1 and every figure pair 3:1
// (tests/golden_test.cpp reads them from the traces of every screen). That
// sets 8 just light enough for a mark on black, 5 light enough to read on 8,
// and the tube between the column and the thermometer's background.
Rgb palette(int colour) {
    static const Rgb table[16] = {
        {0, 0, 0},         // 0 background
        {80, 120, 220},    // 1 grid lines
        {22, 44, 86},      // 2 question panel
        {150, 160, 230},   // 3 outlines
        {18, 64, 44},      // 4 help box, key pause
        {255, 196, 206},   // 5 marks, menu lines, thermometer column
        {92, 60, 20},      // 6 boxed labels
        {235, 235, 235},   // 7 light text
        {88, 90, 104},     // 8 header, prompt box, per-blank marks
        {150, 250, 170},   // 9 key-pause text, hop totals
        {58, 34, 96},      // 10 title and wide labels
        {110, 220, 255},   // 11 prompts, grid numbers, scale labels
        {20, 26, 42},      // 12 thermometer background
        {255, 232, 110},   // 13 answers and highlights
        {100, 106, 122},   // 14 empty tube
        {255, 255, 255},   // 15 question text
    };
    return table[std::clamp(colour, 0, 15)];
}

namespace {
constexpr std::uint32_t argb(Rgb c) {
    return 0xFF000000u | static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 | c.b;
}
}  // namespace

Canvas::Canvas(float scale, int dots_wide, int dots_high)
    : scale_(scale), dots_wide_(dots_wide), dots_high_(dots_high), glyphs_(make_glyph_cache()) {
    allocate();
    touch({0, 0, width(), height()});
}

Canvas::~Canvas() = default;

void LazyImage::reset(int width, int height, std::uint32_t blank) {
    pixels_.reset();   // the old pixels go before the new are taken
    pixels_.reset(new std::uint32_t[static_cast<std::size_t>(width) * height]);
    width_ = static_cast<std::size_t>(width), height_ = height, blank_ = blank;
    from_ = to_ = 0;
}

std::uint32_t* LazyImage::make(int from, int to) {
    from = std::max(from, 0), to = std::min(to, height_);
    if (from < to) {
        if (from_ == to_) from_ = to_ = from;
        if (from < from_) std::fill(pixels_.get() + from * width_, pixels_.get() + from_ * width_, blank_);
        if (to > to_) std::fill(pixels_.get() + to_ * width_, pixels_.get() + to * width_, blank_);
        from_ = std::min(from_, from), to_ = std::max(to_, to);
    }
    return pixels_.get();
}

// A black screen at the current scale.
void Canvas::allocate() {
    pixels_.reset(std::max(width(), 1), std::max(height(), 1), argb(palette(0)));
    inked_ = {};
}

int Canvas::width() const { return static_cast<int>(std::lround(dots_wide_ * scale_)); }
int Canvas::height() const { return static_cast<int>(std::lround(dots_high_ * scale_)); }

void Canvas::set_scale(float scale) {
    if (scale == scale_) return;
    layer_.laid = false;   // its pixels go with the old scale
    scale_ = scale;
    allocate();
    for (Op& op : ops_) op.area = bounds(op);
    drawn_ = 0;
    if (!hold_) draw_held();
    dirty_ = {0, 0, width(), height()};
}

void Canvas::hold(bool on) {
    hold_ = on;
    if (!on) draw_held();
}

void Canvas::draw_held() {
    for (; drawn_ < ops_.size(); ++drawn_) draw(ops_[drawn_]);
}

namespace {
int px(float dots, float scale) { return static_cast<int>(std::floor(dots * scale + 0.5f)); }

PixelRect unite(const PixelRect& a, const PixelRect& b) {
    if (b.empty()) return a;
    if (a.empty()) return b;
    int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
    return {x0, y0, x1 - x0, y1 - y0};
}
}  // namespace

void Canvas::touch(const PixelRect& r) { dirty_ = unite(dirty_, r); }

PixelRect Canvas::take_dirty() {
    PixelRect r = dirty_;
    dirty_ = {};
    int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    int x1 = std::min(r.x + r.w, width()), y1 = std::min(r.y + r.h, height());
    return {x0, y0, x1 - x0, y1 - y0};
}

void Canvas::fill_pixels(int x0, int y0, int x1, int y1, int colour) {
    // x1, y1 exclusive
    const int w = std::max(width(), 1), h = std::max(height(), 1);
    x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, w), y1 = std::min(y1, h);
    if (colour == 0) {   // the background is already there outside the inked area
        x0 = std::max(x0, inked_.x), y0 = std::max(y0, inked_.y);
        x1 = std::min(x1, inked_.x + inked_.w), y1 = std::min(y1, inked_.y + inked_.h);
    }
    if (x1 <= x0 || y1 <= y0) return;
    std::uint32_t* pixels = pixels_.make(y0, y1);
    const std::uint32_t c = argb(palette(colour));
    for (int y = y0; y < y1; ++y) std::fill_n(pixels + static_cast<std::size_t>(y) * w + x0, x1 - x0, c);
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

void Canvas::record(Op op) {
    if (layer_.painting) {
        draw(op);
        return;
    }
    lift();
    op.area = bounds(op);
    // An opaque shape hides whatever lay wholly under it: drop those from the list,
    // so that a long session (a cursor drawn and erased at every poll) stays small.
    if (op.kind == Op::Fill || op.kind == Op::Disc) {
        const PixelRect& area = op.area;
        const auto hidden = [&](const Op& o) {
            if (op.kind == Op::Disc)
                return (o.kind == Op::Disc || o.kind == Op::Circle) && o.x1 == op.x1 && o.y1 == op.y1 && o.r <= op.r;
            const PixelRect& b = o.area;
            return b.x >= area.x && b.y >= area.y && b.x + b.w <= area.x + area.w && b.y + b.h <= area.y + area.h;
        };
        // (One held back and hidden is never drawn: it would be drawn over.)
        drawn_ -= static_cast<std::size_t>(std::count_if(ops_.begin(), ops_.begin() + static_cast<std::ptrdiff_t>(drawn_), hidden));
        std::erase_if(ops_, hidden);
    }
    ops_.push_back(op);
    if (!hold_) draw_held();
}

std::vector<Canvas::Drawn> Canvas::drawing() const {
    std::vector<Drawn> out;
    out.reserve(ops_.size());
    for (const Op& op : ops_)
        out.push_back({static_cast<Drawn::Kind>(op.kind), op.x1, op.y1, op.x2, op.y2, op.r, op.c, op.f, op.ch});
    return out;
}

GlyphKey Canvas::glyph_key(const Op& op) const {
    const float s = scale_;
    const int cell_x = px(op.x1, s), cell_y = px(op.y1, s);
    return {op.ch, std::max(1, px(op.x1 + op.x2, s) - cell_x), std::max(1, px(op.y1 + op.y2, s) - cell_y),
            std::max(1, static_cast<int>(std::lround(op.r * s)))};
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
        const std::uint32_t edge_px = argb(edge), inside_px = argb(inside);
        const int w = std::max(width(), 1), h = std::max(height(), 1);
        std::uint32_t* pixels = pixels_.make(y0, y1 + 1);
        for (int y = std::max(y0, 0); y < std::min(y1 + 1, h); ++y) {
            std::uint32_t* row = pixels + static_cast<std::size_t>(y) * w;
            for (int x = std::max(x0, 0); x < std::min(x1 + 1, w); ++x) {
                float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
                if (d >= outer) continue;
                if (d >= inner) row[x] = edge_px;
                else if (op.kind == Op::Disc) row[x] = inside_px;
            }
        }
        break;
    }
    case Op::Glyph: {
        const int cell_x = px(op.x1, s), cell_y = px(op.y1, s);
        const auto [ch, cell_w, cell_h, full_w] = glyph_key(op);
        std::uint32_t* pixels = pixels_.make(cell_y, cell_y + cell_h);
        draw_glyph(*glyphs_, pixels, std::max(width(), 1), std::max(height(), 1), cell_x, cell_y, ch, cell_w, cell_h,
                   full_w, palette(op.c));
        break;
    }
    }
    const PixelRect area = bounds(op);
    touch(area);
    // (A layer's pixels are given back before anything relies on inked_.)
    if ((op.c != 0 || op.f != 0) && !layer_.painting) inked_ = unite(inked_, area);
}

void Canvas::lay(float x1, float y1, float x2, float y2, const std::function<void()>& paint) {
    lift();
    draw_held();
    const int x0 = std::clamp(px(x1, scale_), 0, width()), y0 = std::clamp(px(y1, scale_), 0, height());
    const int x = std::clamp(px(x2 + 1, scale_), 0, width()), y = std::clamp(px(y2 + 1, scale_), 0, height());
    if (x <= x0 || y <= y0) return;
    layer_.area = {x0, y0, x - x0, y - y0};
    layer_.under.resize(static_cast<std::size_t>(layer_.area.w) * layer_.area.h);
    const std::uint32_t* pixels = pixels_.make(y0, y);
    for (int row = 0; row < layer_.area.h; ++row) {
        const std::uint32_t* from = pixels + static_cast<std::size_t>(y0 + row) * width() + x0;
        std::copy_n(from, layer_.area.w, layer_.under.begin() + static_cast<std::ptrdiff_t>(row) * layer_.area.w);
    }
    layer_.laid = layer_.painting = true;
    paint();
    layer_.painting = false;
}

void Canvas::lift() {
    if (!layer_.laid) return;
    layer_.laid = false;
    const PixelRect& a = layer_.area;
    std::uint32_t* pixels = pixels_.make(a.y, a.y + a.h);
    for (int row = 0; row < a.h; ++row)
        std::copy_n(layer_.under.begin() + static_cast<std::ptrdiff_t>(row) * a.w, a.w,
                    pixels + static_cast<std::size_t>(a.y + row) * width() + a.x);
    touch(a);
}

void Canvas::clear() {
    lift();
    ops_.clear();
    drawn_ = 0;
    const PixelRect was = inked_;
    fill_pixels(was.x, was.y, was.x + was.w, was.y + was.h, 0);
    inked_ = {};
    touch(was);
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

}  // namespace rt
