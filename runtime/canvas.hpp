// The one drawing path: the 1440 x 900 dot screen drawn at a pixel scale into
// an in-memory ARGB pixel buffer. The window shows these pixels; the headless
// player writes them as PNG; the web page copies them to its canvas. Drawing is
// kept as a list of operations since the last clear, so that a new scale (a
// resized window) draws the same screen afresh. Glyphs come from a glyph cache
// of the platform's: IPAGothic through SDL_ttf natively (runtime/glyphs_ttf.cpp),
// the browser's own text in the web build (runtime/web.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace rt {

struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
};

struct Rgb { unsigned char r, g, b; };
Rgb palette(int colour);

// Pixels, width x height words, whose rows are made only when they are first
// needed, as `blank`: touching a whole screen's fresh memory at once is slow,
// and most screens leave rows at the top and the bottom blank.
class LazyImage {
public:
    void reset(int width, int height, std::uint32_t blank);   // fresh, no row made
    // Makes the rows from..to (clipped to the image), with any rows between
    // them and those made before; returns the first row.
    std::uint32_t* make(int from, int to);

private:
    std::unique_ptr<std::uint32_t[]> pixels_;
    std::size_t width_ = 0;
    int height_ = 0, from_ = 0, to_ = 0;   // the rows made: from_ up to to_
    std::uint32_t blank_ = 0;
};

// Glyphs fitted to their cells: one implementation per platform.
class GlyphCache;
struct GlyphCacheDeleter { void operator()(GlyphCache* cache) const; };
std::unique_ptr<GlyphCache, GlyphCacheDeleter> make_glyph_cache();
// A fitted glyph is known by its character, cell_w, cell_h and full_w.
using GlyphKey = std::tuple<char32_t, int, int, int>;
struct GlyphKeyHash {
    std::size_t operator()(const GlyphKey& k) const {
        auto [a, b, c, d] = k;
        // Mixed in 64 bits and folded, as size_t may be 32 bits wide.
        std::uint64_t h = (static_cast<std::uint64_t>(a) * 1000003u) ^ (static_cast<std::uint64_t>(b) << 40) ^
                          (static_cast<std::uint64_t>(c) << 20) ^ static_cast<std::uint64_t>(d);
        return static_cast<std::size_t>(h ^ (h >> 32));
    }
};
// Draws ch fitted to a cell of cell_w x cell_h pixels (a full-width character
// being full_w wide) with its top-left at (x, y), blended in colour c.
void draw_glyph(GlyphCache& cache, std::uint32_t* pixels, int width, int height, int x, int y, char32_t ch,
                int cell_w, int cell_h, int full_w, Rgb c);

class Canvas {
public:
    // The whole dot screen, or a part of that size (the keypad's band).
    explicit Canvas(float scale, int dots_wide = 1440, int dots_high = 900);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    float scale() const { return scale_; }
    void set_scale(float scale);   // redraws everything at the new scale

    // Held, the drawing is only listed until draw_held() (before the pixels are
    // read), so that a platform whose glyphs come later can have those it
    // draws (held_glyphs) made first, all at once. Not held, it is drawn at once.
    void hold(bool on);
    template <class Want> void held_glyphs(Want want) const {
        for (std::size_t i = drawn_; i < ops_.size(); ++i)
            if (ops_[i].kind == Op::Glyph) want(glyph_key(ops_[i]));
    }
    void draw_held();
    GlyphCache& glyphs() { return *glyphs_; }

    void clear();
    void line(float x1, float y1, float x2, float y2, int colour);
    void box(float x1, float y1, float x2, float y2, int colour);
    void fill(float x1, float y1, float x2, float y2, int border, int fill);
    void circle(float x, float y, float r, int colour);
    void disc(float x, float y, float r, int border, int fill);
    // One character (Unicode) in a cell of w x h dots with its top-left at (x, y),
    // where a full-width character of the same size is full_w dots wide.
    void glyph(float x, float y, char32_t ch, float w, float h, float full_w, int colour);

    // A layer over the drawing for a while (an input method's composition):
    // `paint` draws it with the calls above over the dot rectangle (x1, y1) to
    // (x2, y2), whose pixels are kept; lift() gives them back, so that the
    // drawing is then exactly as it was. Any other drawing, a clear or a new
    // scale lifts the layer first. The layer is no part of the drawing's list.
    void lay(float x1, float y1, float x2, float y2, const std::function<void()>& paint);
    void lift();
    bool laid() const { return layer_.laid; }

    // ARGB, width() pixels a row, rows top to bottom.
    const std::uint32_t* pixels() const { return pixels_.make(0, height()); }
    // The same, sure only of the rows from..to: a frame that shows those alone
    // need not make the rest.
    const std::uint32_t* rows(int from, int to) const { return pixels_.make(from, to); }
    Rgb pixel(int x, int y) const {
        const std::uint32_t p = rows(y, y + 1)[static_cast<std::size_t>(y) * width() + x];
        return {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8), static_cast<unsigned char>(p)};
    }
    int width() const;
    int height() const;
    // What changed since the last call, in pixels.
    PixelRect take_dirty();
    std::size_t op_count() const { return ops_.size(); }

    // What is drawn since the last clear, in dots, in drawing order, with
    // whatever a later opaque shape wholly hides left out: what a printed
    // page draws of the screen (runtime/paper.hpp).
    struct Drawn {
        enum Kind { Line, Box, Fill, Circle, Disc, Glyph } kind;
        // Line, Box, Fill: the corners; Circle, Disc: the centre (x1, y1) and r;
        // Glyph: the cell's top-left (x1, y1), its width x2 and height y2, and r
        // the width of a full-width character of its size.
        float x1, y1, x2, y2, r;
        int c, f;     // colour (a Fill's and a Disc's border), and fill colour
        char32_t ch;  // Glyph: the character
    };
    std::vector<Drawn> drawing() const;

private:
    struct Op {
        enum Kind { Line, Box, Fill, Circle, Disc, Glyph } kind;
        float x1, y1, x2, y2, r;
        int c, f;
        char32_t ch;
        PixelRect area;   // its extent in pixels at the current scale
    };
    void record(Op op);
    void draw(const Op& op);
    GlyphKey glyph_key(const Op& op) const;
    PixelRect bounds(const Op& op) const;
    void fill_pixels(int x0, int y0, int x1, int y1, int colour);
    void touch(const PixelRect& r);
    void allocate();

    float scale_;
    int dots_wide_, dots_high_;
    mutable LazyImage pixels_;   // black until drawn on (or read)
    std::unique_ptr<GlyphCache, GlyphCacheDeleter> glyphs_;
    std::vector<Op> ops_;
    std::size_t drawn_ = 0;   // the list's first drawn_ are drawn, the rest held
    bool hold_ = false;
    PixelRect dirty_;
    // The layer laid over the drawing, and the pixels it hides.
    struct Layer {
        bool laid = false, painting = false;
        PixelRect area;
        std::vector<std::uint32_t> under;
    } layer_;
    // Every pixel outside this rectangle is the background colour: what was
    // drawn in any other colour since the screen was last cleared lies inside.
    // Clearing, and painting the background, need only touch what lies inside.
    PixelRect inked_;
};

}  // namespace rt
