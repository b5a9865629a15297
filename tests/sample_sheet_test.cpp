// A page of representative markup drawn on the headless screen and written as
// sample_sheet.png (for looking at), with a few pixel probes that catch a
// glyph, bar or box drawn in the wrong place.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/engine.hpp"
#include "runtime/backend.hpp"
#include "runtime/headless.hpp"
#include "runtime/png.hpp"
#include "runtime/screen.hpp"

namespace {

void markup(float x, float y, int ink, const Text& text) {
    g.ink = ink;
    g.pen_x = x;
    g.pen_y = y;
    g.markup_text = text;
    render_markup();
}

void boxed(float x, float y, float w, float h, int fill, const Text& label) {
    g.ink = 13;
    g.pen_x = x;
    g.pen_y = y;
    g.box_width = w;
    g.box_height = h;
    g.box_border = 15;
    g.box_fill = fill;
    g.work_string = label;
    draw_boxed_label();
}

// Every typed character of the conversion table: as typed (cyan), then as shown.
void conversion_table(float top) {
    const Text typed = " XYABCDEFGHIJKLMNOPQRSTUVWZ0123456789*/+-ﾀ=.?()!$@&'[]<>,%xyabcdefghijklmnopqrstuvwz~:"_sj;
    for (int k = 0; k < static_cast<int>(typed.size()); ++k) {
        float x = 48 + (k % 22) * 60, y = top + (k / 22) * 32;
        rt::symbol(x, y, Text(1, typed[k]), 1, 1, 11);
        g.ink = 15;
        g.pen_x = x + 16;
        g.pen_y = y;
        g.work_string = Text(1, typed[k]);
        layout_glyph_run();
    }
}

// The page; returns nothing, the probes below know its coordinates.
void draw_sheet() {
    rt::cls();
    markup(48, 24, 15, "<文字の変換> 入力した文字と表示"_sj);
    conversion_table(56);

    markup(48, 200, 15, "累乗: a^2+b^2=c^2  (-3)^2=9  x^3  2^(x)"_sj);
    markup(48, 248, 15, "小数: 0.5  12.25  -3.75  1.5*2=3"_sj);
    markup(48, 312, 15, "根号: !2ﾝ+!3ﾝ  2!5ﾝ  !12ﾝ=2!3ﾝ"_sj);
    markup(720, 312, 13, "大きい根号: #2ﾝ+1  #ﾀ1/2ﾀ  #ﾀ12/5ﾀ+3"_sj);
    markup(48, 400, 15, "分数: ﾀ3/4ﾀ  ﾀ12/5ﾀ  ﾀ1/12ﾀ  -ﾀ3/4ﾀ  x=ﾀa^2/3ﾀ  ﾀ/ﾀ"_sj);
    markup(48, 480, 15, "根号の分数: ﾀ!3ﾝ/2ﾀ  ﾀ1/2!3ﾝﾀ  ﾀ!2ﾝ+!3ﾝ/!10ﾝﾀ  !ﾀ1/2ﾀ"_sj);

    markup(48, 552, 15, "枠:"_sj);
    boxed(96, 552, 80, 18, 6, "問1"_sj);
    markup(g.pen_x, 552, 15, "の"_sj);
    boxed(g.pen_x, 552, 96, 24, 6, "正の数"_sj);
    markup(g.pen_x, 552, 15, " と "_sj);
    boxed(g.pen_x, 546, 128, 27, 10, "a^2+1"_sj);
    boxed(g.pen_x + 32, 552, 48, 0, 6, "0"_sj);

    markup(48, 616, 13, "分数→F1, 2乗～→F2後2～, √ →F3, ±→F4, ≦≧→F5,F6"_sj);
    markup(48, 640, 13, "π→F7, 度°→F8,∠→F9, ≡→F10, ∽→F11, △ →F12 "_sj);
    markup(48, 688, 15, "次の温度をいいなさい。 @5 [ ] ' ~ $ ? & %"_sj);

    // Probe targets: a lone glyph with empty cells around it.
    markup(64, 820, 15, "W"_sj);
    markup(200, 820, 15, "#ﾀ1/2ﾀ"_sj);
}

struct Pixels {
    const rt::Canvas& canvas;
    rt::Rgb at(int x, int y) const { return canvas.pixel(x, y); }
    // Pixels in [x0, x1) x [y0, y1) that are not the background.
    int inked(int x0, int y0, int x1, int y1) const {
        rt::Rgb bg = rt::palette(0);
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                rt::Rgb c = at(x, y);
                n += c.r != bg.r || c.g != bg.g || c.b != bg.b;
            }
        return n;
    }
};

bool same(rt::Rgb a, rt::Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

TEST(SampleSheet, DrawsEveryKindOfMarkupInItsPlace) {
    reset_state();
    rt::install(rt::make_headless({}));
    draw_sheet();

    rt::Canvas& canvas = rt::backend().canvas();
#ifdef VARNEL_BUILD_DIR
    std::string path = VARNEL_BUILD_DIR "/sample_sheet.png";
#else
    std::string path = "sample_sheet.png";
#endif
    ASSERT_TRUE(rt::write_png(canvas, path));
    EXPECT_GT(std::filesystem::file_size(path), 1000u);

    ASSERT_EQ(canvas.scale(), 1);
    Pixels px{canvas};

    // "Ｗ" fills its 16 x 16 cell at (64, 820); the cells around it stay empty.
    EXPECT_GT(px.inked(64, 820, 80, 836), 20);
    EXPECT_GT(px.inked(64, 820, 72, 836), 5);    // both halves of a full-width glyph
    EXPECT_GT(px.inked(72, 820, 80, 836), 5);
    EXPECT_EQ(px.inked(84, 816, 120, 840), 0);
    EXPECT_EQ(px.inked(40, 800, 62, 840), 0);
    EXPECT_EQ(px.inked(64, 840, 80, 860), 0);

    // Tall root over ﾀ1/2ﾀ at (200, 820): a sign 32 x 48 from y 796, ink in its
    // top and bottom thirds; the thick bar a filled box in the ink colour.
    EXPECT_GT(px.inked(200, 796, 232, 812), 0);
    EXPECT_GT(px.inked(200, 828, 232, 844), 0);
    EXPECT_TRUE(same(px.at(232, 806), rt::palette(15)));
    EXPECT_TRUE(same(px.at(239, 806), rt::palette(15)));
    // The stacked parts above and below the line, nothing to their right.
    EXPECT_GT(px.inked(224, 808, 240, 824), 0);
    EXPECT_GT(px.inked(224, 835, 240, 851), 0);
    EXPECT_EQ(px.inked(244, 790, 300, 860), 0);

    // The first boxed label: filled in colour 6 inside its border.
    EXPECT_TRUE(same(px.at(98, 554), rt::palette(6)));
    EXPECT_TRUE(same(px.at(96, 560), rt::palette(15)));

}

}  // namespace
