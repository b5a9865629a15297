// Glyph rasters as the web page hands them over: fitted to their cells and
// blended onto the canvas' pixels.
#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/glyph_mask.hpp"

namespace {

// A w x h raster with ink (255) where the picture has '#'.
rt::Mask raster(const std::vector<std::string>& rows) {
    rt::Mask m{static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), {}};
    for (const std::string& r : rows)
        for (char c : r) m.a.push_back(c == '#' ? 255 : 0);
    return m;
}

std::vector<std::string> picture(const rt::Mask& m) {
    std::vector<std::string> rows;
    for (int y = 0; y < m.h; ++y) {
        std::string r;
        for (int x = 0; x < m.w; ++x) r += m.at(x, y) ? '#' : '.';
        rows.push_back(r);
    }
    return rows;
}

using Rows = std::vector<std::string>;

TEST(GlyphFit, InkInsideTheCellStaysWhereTheFontPutIt) {
    rt::Mask raw = raster({"....", ".##.", ".#..", "...."});
    EXPECT_EQ(picture(rt::fit_glyph(raw, U'a', 4, 4)), (Rows{"....", ".##.", ".#..", "...."}));
}

TEST(GlyphFit, InkBelowTheCellMovesUpIntoIt) {
    // a descender one row past a 3-row cell
    rt::Mask raw = raster({"....", ".#..", ".#..", ".##."});
    EXPECT_EQ(picture(rt::fit_glyph(raw, U'g', 4, 3)), (Rows{".#..", ".#..", ".##."}));
}

TEST(GlyphFit, InkTallerThanTheCellIsSqueezedNotClipped) {
    rt::Mask raw = raster({"#...", ".#..", "..#.", "...#"});
    rt::Mask fitted = rt::fit_glyph(raw, U'/', 4, 2);
    ASSERT_EQ(fitted.h, 2);
    // the first and the third ink rows survive: top and bottom of the stroke both show
    EXPECT_EQ(picture(fitted), (Rows{"#...", "..#."}));
}

TEST(GlyphFit, FractionBarRunsAcrossTheWholeCell) {
    rt::Mask raw = raster({"......", "..##..", "......"});
    EXPECT_EQ(picture(rt::fit_glyph(raw, U'\u2015', 6, 3)), (Rows{"......", "######", "......"}));
}

TEST(GlyphFit, NarrowGlyphIsCentredWideGlyphKeepsItsWidth) {
    rt::Mask narrow = raster({"#", "#"});
    EXPECT_EQ(picture(rt::fit_glyph(narrow, U'1', 5, 2)), (Rows{"..#..", "..#.."}));
    rt::Mask wide = raster({"######"});
    rt::Mask fitted = rt::fit_glyph(wide, U'W', 4, 1);
    EXPECT_EQ(fitted.w, 6);
    EXPECT_EQ(picture(fitted), (Rows{"######"}));
}

TEST(GlyphFit, EmptyRasterGivesAnEmptyCell) {
    rt::Mask fitted = rt::fit_glyph(rt::Mask{}, U' ', 8, 16);
    EXPECT_EQ(fitted.w, 8);
    EXPECT_EQ(fitted.h, 16);
    EXPECT_EQ(std::count(fitted.a.begin(), fitted.a.end(), 0), 8 * 16);
}

TEST(GlyphBlend, AlphaMixesTheColourOverWhatLiesBeneath) {
    std::vector<std::uint32_t> px(3 * 1, 0xFF000000u);
    px[2] = 0xFF204060u;
    rt::Mask m{3, 1, {255, 0, 128}};
    rt::blend_mask(m, px.data(), 3, 1, 0, 0, {200, 100, 50});
    EXPECT_EQ(px[0], 0xFFC86432u);   // full ink: the colour itself
    EXPECT_EQ(px[1], 0xFF000000u);   // no ink: untouched
    // half ink: halfway between colour and background, channel by channel
    EXPECT_EQ(px[2] >> 16 & 0xFF, (200u * 128 + 0x20u * 127 + 127) / 255);
    EXPECT_EQ(px[2] >> 8 & 0xFF, (100u * 128 + 0x40u * 127 + 127) / 255);
    EXPECT_EQ(px[2] & 0xFF, (50u * 128 + 0x60u * 127 + 127) / 255);
    EXPECT_EQ(px[2] >> 24, 0xFFu);
}

TEST(GlyphBlend, ClippedAtEveryEdgeOfThePixels) {
    const int w = 4, h = 3;
    std::vector<std::uint32_t> px(w * h, 0xFF000000u);
    rt::Mask ink{3, 3, std::vector<unsigned char>(9, 255)};
    rt::blend_mask(ink, px.data(), w, h, -2, -2, {255, 255, 255});   // only its bottom-right pixel lands
    rt::blend_mask(ink, px.data(), w, h, 3, 2, {255, 255, 255});     // only its top-left pixel lands
    int lit = 0;
    for (std::uint32_t p : px) lit += p == 0xFFFFFFFFu;
    EXPECT_EQ(lit, 2);
    EXPECT_EQ(px[0], 0xFFFFFFFFu);
    EXPECT_EQ(px[2 * w + 3], 0xFFFFFFFFu);
}

}  // namespace
