// The markup renderer: where each glyph, root sign and bar lands, and where
// the pen goes on.
#include "tests/draw_trace.hpp"

namespace {

using Markup = DrawTest;

TEST_F(Markup, RunningTextTakesOneCellPerCharacter) {
    draw("", 100, 200);
    EXPECT_EQ(drawn(), Lines{});
    EXPECT_EQ(g.pen_x, 100);

    draw("ab", 100, 200);
    EXPECT_EQ(drawn(), (Lines{"ａ 100,200", "ｂ 116,200"}));
    EXPECT_EQ(g.pen_x, 132);
    EXPECT_EQ(g.pen_y, 200);
    EXPECT_EQ(g.markup_text, "");

    // Japanese text is never split, and draws unconverted.
    draw("問1の温度"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"問 100,200", "１ 116,200", "の 132,200", "温 148,200", "度 164,200"}));
    EXPECT_EQ(g.pen_x, 180);
}

TEST_F(Markup, SpacesMoveThePenLikeAFullWidthSpace) {
    draw("   <varnel>", 100, 200);
    Lines seen = drawn();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), "＜ 148,200");
    EXPECT_EQ(seen.back(), "＞ 260,200");
    EXPECT_EQ(g.pen_x, 276);

    draw("a　b"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"ａ 100,200", "ｂ 132,200"}));
    EXPECT_EQ(g.pen_x, 148);
}

TEST_F(Markup, PowerRaisesTheNextSingleByteCharacterUnconverted) {
    draw("a^2", 100, 200);
    EXPECT_EQ(drawn(), (Lines{"ａ 100,200", "2 116,196"}));
    EXPECT_EQ(g.pen_x, 132);
    EXPECT_EQ(g.raise_next, 0);

    draw("x^2+1", 100, 200);
    EXPECT_EQ(drawn(), (Lines{"χ 100,200", "2 116,196", "＋ 132,200", "１ 148,200"}));

    // Already full-width: drawn as it is, not raised.
    draw("^２"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"２ 100,200"}));
    EXPECT_EQ(g.pen_x, 116);

    // A string that ends with "^" raises the first character of the next one.
    draw("b^", 100, 200);
    EXPECT_EQ(g.raise_next, 1);
    draw("3", 116, 200);
    EXPECT_EQ(drawn(), (Lines{"ｂ 100,200", "3 116,196"}));
}

TEST_F(Markup, DecimalPointIsSqueezedIntoTheCellBeforeIt) {
    draw("0.5", 100, 200);
    EXPECT_EQ(drawn(), (Lines{"０ 100,200", "． 112,200", "５ 116,200"}));
    EXPECT_EQ(g.pen_x, 132);

    draw("-12.25", 100, 200);
    EXPECT_EQ(drawn(), (Lines{"－ 100,200", "１ 116,200", "２ 132,200", "． 144,200", "２ 148,200", "５ 164,200"}));
    EXPECT_EQ(g.pen_x, 180);
}

TEST_F(Markup, UnconvertedSingleByteCharactersSitHigher) {
    draw("1;2\\", 100, 200);
    EXPECT_EQ(drawn(), (Lines{"１ 100,200", "; 116,196", "２ 132,200", "\\ 148,196"}));
    EXPECT_EQ(g.pen_x, 164);

    draw("ｱｲ"_sj, 100, 200);   // half-width katakana is single-byte too
    EXPECT_EQ(drawn(), (Lines{"ｱ 100,196", "ｲ 116,196"}));
}

TEST_F(Markup, LoneFractionMarkIsDropped) {
    draw("ﾀ1/2"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"１ 100,200", "÷ 116,200", "２ 132,200"}));
    EXPECT_EQ(g.pen_x, 148);
}

TEST_F(Markup, SmallRootBarsJoinTheSignAndCoverTheRadicand) {
    draw("!3ﾝ+1"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"line 108,202 124,202", "√ 100,200", "line 106,202 122,202", "３ 108,200",
                              "＋ 124,200", "１ 140,200"}));
    EXPECT_EQ(g.pen_x, 156);
    EXPECT_EQ(g.root_mode, 0);

    // A root left open goes on in the next string drawn.
    draw("!2", 100, 200);
    EXPECT_EQ(g.root_mode, 1);
    draw("+1", g.pen_x, 200);
    EXPECT_EQ(drawn(), (Lines{"line 108,202 124,202", "√ 100,200", "line 106,202 122,202", "２ 108,200",
                              "line 122,202 138,202", "＋ 124,200", "line 138,202 154,202", "１ 140,200"}));

    // "ﾝ" with no root open only closes.
    g.root_mode = 0;
    draw("ﾝ5"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"５ 100,200"}));
}

TEST_F(Markup, TallRootSignIsDoubleWideTripleHigh) {
    draw("#2ﾝ+"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"√ 100,176 2x3", "fill 124,186 140,188", "２ 124,200", "＋ 140,200"}));
    EXPECT_EQ(g.pen_x, 156);
    EXPECT_EQ(g.root_mode, 0);
}

TEST_F(Markup, TallRootOverAFractionDrawsTheThickBarAndEnds) {
    draw("#ﾀ1/2ﾀ+"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"√ 100,176 2x3", "１ 124,188", "２ 124,215", "― 124,200", "fill 124,185 140,187",
                              "＋ 140,200"}));
    EXPECT_EQ(g.root_mode, 0);
    EXPECT_EQ(g.pen_x, 156);
    EXPECT_EQ(g.pen_y, 200);
}

TEST_F(Markup, BarPieces) {
    g.pen_x = 100;
    g.pen_y = 200;
    root_bar_start();
    root_bar_segment();
    g.root_mode = 2;
    tall_root_bar_segment();
    // While the tall sign is still to come, the segment lies one cell on.
    g.root_mode = 22;
    tall_root_bar_segment();
    EXPECT_EQ(drawn(), (Lines{"line 108,202 124,202", "line 98,202 114,202", "fill 100,186 116,188",
                              "fill 116,186 132,188"}));
    for (const rt::TraceEntry& e : trace()) EXPECT_EQ(e.c, 15);
}

TEST_F(Markup, RemoveSpacesDeletesEveryHalfWidthSpace) {
    g.work_string = " -1 2　3 "_sj;
    remove_spaces();
    EXPECT_EQ(sjis::to_utf8(g.work_string), "-12　3");
    g.work_string = rt::str(7);
    remove_spaces();
    EXPECT_EQ(g.work_string, "7");
}

TEST_F(Markup, BoxedLabelCentresItsMarkupAndMovesThePenToTheRightEdge) {
    g.ink = 13;
    g.pen_x = 100;
    g.pen_y = 200;
    g.box_width = 80;
    g.box_height = 18;
    g.box_border = 15;
    g.box_fill = 6;
    g.work_string = "問1"_sj;
    draw_boxed_label();
    EXPECT_EQ(drawn(), (Lines{"fill 100,200 180,218", "問 124,200", "１ 140,200"}));
    EXPECT_EQ(g.pen_x, 180);
    EXPECT_EQ(g.pen_y, 200);
    EXPECT_EQ(g.markup_text, "");

    // The border and fill colours of the box, the label in ink.
    g.pen_x = 100;
    g.box_height = 24;
    g.work_string = "a^2";   // "^" takes no cell
    trace().clear();
    draw_boxed_label();
    ASSERT_EQ(trace().size(), 3u);
    EXPECT_EQ(trace()[0].c, 15);
    EXPECT_EQ(trace()[0].fill, 6);
    EXPECT_EQ(trace()[1].c, 13);
    EXPECT_EQ(drawn(), (Lines{"fill 100,200 180,224", "ａ 124,203", "2 140,199"}));
}

TEST_F(Markup, BoxedLabelOfHeightZeroIsOneDotHigh) {
    g.pen_x = 100;
    g.pen_y = 200;
    g.box_width = 48;
    g.box_height = 0;
    g.work_string = "-";
    draw_boxed_label();
    EXPECT_EQ(g.box_height, 1);
    // The label sits INT((1 - 18) / 2) = -9 dots from the top.
    EXPECT_EQ(drawn(), (Lines{"fill 100,200 148,201", "－ 116,191"}));
    EXPECT_EQ(g.pen_x, 148);
}

}  // namespace
