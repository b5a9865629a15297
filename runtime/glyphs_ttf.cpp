// The native glyph cache: IPAGothic found through fontconfig, rendered by
// SDL_ttf, each glyph fitted to its cell once and kept as a white surface
// whose alpha carries the ink; the colour is applied when blitting.
#ifndef __EMSCRIPTEN__

#include <SDL.h>
#include <SDL_ttf.h>
#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "runtime/canvas.hpp"
#include "runtime/font.hpp"

namespace rt {

std::string ipagothic_path() {
    // Where the Debian package puts the font: found without fontconfig, which
    // would first read its whole configuration and every font cache (a tenth of
    // the program's start-up). Other systems ask fontconfig.
    static const char* const debian = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
    if (access(debian, R_OK) == 0) return debian;
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

namespace {

SDL_Surface* new_surface(int w, int h) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, std::max(w, 1), std::max(h, 1), 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) throw std::runtime_error(std::string("cannot create a surface: ") + SDL_GetError());
    return s;
}

}  // namespace

class GlyphCache {
public:
    GlyphCache() : path_(ipagothic_path()) {
        if (!TTF_WasInit() && TTF_Init() != 0) throw std::runtime_error(std::string("TTF_Init: ") + TTF_GetError());
        // The font file is mapped into memory once: every size opens from it, and
        // a glyph's first drawing reads its outline without a seek and a read
        // system call for each of its tables (three times faster).
        int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd >= 0 && fstat(fd, &st) == 0 && st.st_size > 0) {
            void* data = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (data != MAP_FAILED) {
                file_ = data;
                file_size_ = static_cast<std::size_t>(st.st_size);
            }
        }
        if (fd >= 0) close(fd);
    }
    ~GlyphCache() {
        SDL_FreeSurface(target_);
        for (auto& [key, surface] : glyphs_) SDL_FreeSurface(surface);
        if (font_) TTF_CloseFont(font_);
        if (file_) munmap(file_, file_size_);
    }

    // The glyph for ch in a cell of cell_w x cell_h pixels, where a full-width
    // character is full_w pixels wide.
    SDL_Surface* get(char32_t ch, int cell_w, int cell_h, int full_w) {
        GlyphKey key{ch, cell_w, cell_h, full_w};
        auto found = glyphs_.find(key);
        if (found != glyphs_.end()) return found->second;
        SDL_Surface* fitted = render(ch, cell_w, cell_h, full_w);
        glyphs_.emplace(key, fitted);
        return fitted;
    }

    // The canvas' pixels as a blit target, made again only when they move.
    SDL_Surface* target(std::uint32_t* pixels, int w, int h) {
        if (!target_ || target_->pixels != pixels || target_->w != w || target_->h != h) {
            SDL_FreeSurface(target_);
            target_ = SDL_CreateRGBSurfaceWithFormatFrom(pixels, w, h, 32, w * 4, SDL_PIXELFORMAT_ARGB8888);
            if (!target_) throw std::runtime_error(std::string("cannot create a surface: ") + SDL_GetError());
        }
        return target_;
    }

private:
    // One open font, set to the size asked for: opening the font parses its
    // tables again for every size, and only glyphs not yet cached are drawn.
    TTF_Font* font(int size, int hdpi) {
        if (!font_) {
            font_ = file_ ? TTF_OpenFontDPIRW(SDL_RWFromConstMem(file_, static_cast<int>(file_size_)), 1, size,
                                              static_cast<unsigned>(hdpi), 72)
                          : TTF_OpenFontDPI(path_.c_str(), size, static_cast<unsigned>(hdpi), 72);
            if (!font_) throw std::runtime_error(std::string("cannot open ") + path_ + ": " + TTF_GetError());
            TTF_SetFontHinting(font_, TTF_HINTING_LIGHT);
        } else if (size != size_ || hdpi != hdpi_) {
            if (TTF_SetFontSizeDPI(font_, size, static_cast<unsigned>(hdpi), 72) != 0)
                throw std::runtime_error(std::string("cannot size ") + path_ + ": " + TTF_GetError());
        }
        size_ = size;
        hdpi_ = hdpi;
        return font_;
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

    std::string path_;
    void* file_ = nullptr;   // the font file, mapped
    std::size_t file_size_ = 0;
    SDL_Surface* target_ = nullptr;
    TTF_Font* font_ = nullptr;
    int size_ = 0, hdpi_ = 0;   // what font_ is set to
    std::unordered_map<GlyphKey, SDL_Surface*, GlyphKeyHash> glyphs_;
};

void GlyphCacheDeleter::operator()(GlyphCache* cache) const { delete cache; }

std::unique_ptr<GlyphCache, GlyphCacheDeleter> make_glyph_cache() {
    return std::unique_ptr<GlyphCache, GlyphCacheDeleter>(new GlyphCache());
}

void draw_glyph(GlyphCache& cache, std::uint32_t* pixels, int width, int height, int x, int y, char32_t ch,
                int cell_w, int cell_h, int full_w, Rgb c) {
    SDL_Surface* target = cache.target(pixels, width, height);
    SDL_Surface* g = cache.get(ch, cell_w, cell_h, full_w);
    SDL_SetSurfaceColorMod(g, c.r, c.g, c.b);
    SDL_Rect dst{x, y, 0, 0};
    SDL_BlitSurface(g, nullptr, target, &dst);
}

}  // namespace rt

#endif  // !__EMSCRIPTEN__
