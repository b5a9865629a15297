#include "runtime/glyph_mask.hpp"

#include <algorithm>

namespace rt {

namespace {

// Nearest-neighbour copy of src's rectangle (sx, sy, sw, sh) onto dst's (dx, dy, dw, dh).
void scale_into(const Mask& src, int sx, int sy, int sw, int sh, Mask& dst, int dx, int dy, int dw, int dh) {
    for (int y = 0; y < dh; ++y) {
        int ty = dy + y;
        if (ty < 0 || ty >= dst.h) continue;
        int fy = sy + y * sh / dh;
        for (int x = 0; x < dw; ++x) {
            int tx = dx + x;
            if (tx < 0 || tx >= dst.w) continue;
            dst.a[static_cast<std::size_t>(ty) * dst.w + tx] = src.at(sx + x * sw / dw, fy);
        }
    }
}

}  // namespace

Mask fit_glyph(const Mask& raw, char32_t ch, int cell_w, int cell_h) {
    int top = raw.h, bottom = -1;
    for (int y = 0; y < raw.h; ++y)
        for (int x = 0; x < raw.w; ++x)
            if (raw.at(x, y)) { top = std::min(top, y); bottom = y; break; }
    Mask cell{std::max(cell_w, raw.w), cell_h, {}};
    cell.a.assign(static_cast<std::size_t>(cell.w) * cell.h, 0);
    if (bottom < 0) return cell;
    int ink_h = bottom - top + 1;
    if (ch == U'\u2015') {
        int left = raw.w, right = -1;
        for (int y = top; y <= bottom; ++y)
            for (int x = 0; x < raw.w; ++x)
                if (raw.at(x, y)) { left = std::min(left, x); right = std::max(right, x); }
        int h = std::min(ink_h, cell_h);
        scale_into(raw, left, top, right - left + 1, ink_h, cell, 0, std::max(0, std::min(top, cell_h - h)), cell_w, h);
        return cell;
    }
    int dx = raw.w < cell_w ? (cell_w - raw.w) / 2 : 0;
    if (ink_h > cell_h) {
        scale_into(raw, 0, top, raw.w, ink_h, cell, dx, 0, raw.w, cell_h);
    } else {
        int shift = std::max(0, bottom + 1 - cell_h);
        scale_into(raw, 0, shift, raw.w, std::min(raw.h - shift, cell_h), cell, dx, 0, raw.w,
                   std::min(raw.h - shift, cell_h));
    }
    return cell;
}

void blend_mask(const Mask& m, std::uint32_t* pixels, int width, int height, int x, int y, Rgb c) {
    for (int row = 0; row < m.h; ++row) {
        int ty = y + row;
        if (ty < 0 || ty >= height) continue;
        std::uint32_t* out = pixels + static_cast<std::size_t>(ty) * width;
        for (int col = 0; col < m.w; ++col) {
            int tx = x + col;
            unsigned a = m.at(col, row);
            if (a == 0 || tx < 0 || tx >= width) continue;
            std::uint32_t d = out[tx];
            auto mix = [a](unsigned src, unsigned dst) { return (src * a + dst * (255 - a) + 127) / 255; };
            out[tx] = 0xFF000000u | mix(c.r, d >> 16 & 0xFF) << 16 | mix(c.g, d >> 8 & 0xFF) << 8 | mix(c.b, d & 0xFF);
        }
    }
}

}  // namespace rt
