// Glyphs as alpha masks, for a platform whose text arrives as raw rasters (the
// web page's): fitting a raster to its cell, and blending it onto ARGB pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/canvas.hpp"

namespace rt {

// An alpha mask: w x h bytes, rows top to bottom.
struct Mask {
    int w = 0, h = 0;
    std::vector<unsigned char> a;
    unsigned char at(int x, int y) const { return a[static_cast<std::size_t>(y) * w + x]; }
};

// The raster (rows from the font's ascent line down) fitted to a cell of
// cell_w x cell_h the way the native cache fits IPAGothic's: rows past the cell
// moved up into it, a glyph taller than the cell squeezed, the fraction bar
// (U+2015) stretched across the whole cell. A glyph narrower than a half-width
// cell (from a proportional fallback font) is centred in it. The result is
// cell_h rows and at least cell_w columns.
Mask fit_glyph(const Mask& raw, char32_t ch, int cell_w, int cell_h);

// Blends colour c through the mask onto pixels (ARGB, width x height) at (x, y), clipped.
void blend_mask(const Mask& m, std::uint32_t* pixels, int width, int height, int x, int y, Rgb c);

}  // namespace rt
