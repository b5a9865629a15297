// Stacked fractions: where the parts, the bar and the root bars land; and the
// fraction markup of computed values.
#include "tests/draw_trace.hpp"

namespace {

using Fraction = DrawTest;

TEST_F(Fraction, PartsStackAroundTheLineAndThePenGoesOnAfterTheBar) {
    draw("ﾀ3/4ﾀ"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"３ 100,188", "４ 100,215", "― 100,200"}));
    EXPECT_EQ(g.pen_x, 116);
    EXPECT_EQ(g.pen_y, 200);
    EXPECT_EQ(g.markup_text, "");

    // Text before and after the fraction on the same line.
    draw("x=-ﾀ3/4ﾀ+1"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"χ 100,200", "＝ 116,200", "－ 132,200", "３ 148,188", "４ 148,215",
                              "― 148,200", "＋ 164,200", "１ 180,200"}));
    EXPECT_EQ(g.pen_x, 196);
}

TEST_F(Fraction, ShorterPartIsCentredOnTheLongerOne) {
    draw("ﾀ12/5ﾀ"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"１ 100,188", "２ 116,188", "５ 108,215", "― 100,200", "― 116,200"}));
    EXPECT_EQ(g.pen_x, 132);

    draw("ﾀ1/12ﾀ"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"１ 108,188", "１ 100,215", "２ 116,215", "― 100,200", "― 116,200"}));
    EXPECT_EQ(g.pen_x, 132);

    // Spaces and "ﾝ" take no cell; "^" counts towards the width.
    draw("ﾀa^2/ 3ﾀ"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"ａ 100,188", "2 116,184", "３ 108,215", "― 100,200", "― 116,200", "― 132,200"}));
    EXPECT_EQ(g.pen_x, 148);
}

TEST_F(Fraction, EmptyPartsStillDrawOneBarCell) {
    draw("ﾀ/ﾀ"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"― 100,200"}));
    EXPECT_EQ(g.pen_x, 116);
}

TEST_F(Fraction, HashInsideAPartIsAnOrdinaryCharacter) {
    draw("ﾀ#/2ﾀ"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"# 100,184", "２ 100,215", "― 100,200"}));
    EXPECT_EQ(g.root_mode, 0);
}

TEST_F(Fraction, RootInTheNumeratorGetsItsBarsAboveTheLine) {
    draw("ﾀ!3ﾝ/2ﾀ"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"√ 100,188", "３ 108,188", "２ 108,215", "― 100,200", "― 116,200",
                              "line 108,190 124,190", "line 106,190 122,190"}));
    EXPECT_EQ(g.pen_x, 132);
    EXPECT_EQ(g.root_mode, 0);
}

TEST_F(Fraction, RootsAfterTextAndSeveralRootsInOnePart) {
    // Denominator "2√3": the bar starts where the sign was drawn.
    draw("ﾀ1/2!3ﾝﾀ"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"１ 116,188", "２ 100,215", "√ 116,215", "３ 124,215", "― 100,200", "― 116,200",
                              "― 132,200", "line 124,217 140,217", "line 122,217 138,217"}));

    // Numerator "√2+√3", and a radicand of two characters.
    draw("ﾀ!2ﾝ+!3ﾝ/!10ﾝﾀ"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"√ 100,188", "２ 108,188", "＋ 124,188", "√ 140,188", "３ 148,188",
                              "√ 116,215", "１ 124,215", "０ 140,215",
                              "― 100,200", "― 116,200", "― 132,200", "― 148,200", "― 164,200",
                              "line 108,190 124,190", "line 106,190 122,190",
                              "line 148,190 164,190", "line 146,190 162,190",
                              "line 124,217 140,217", "line 122,217 138,217", "line 138,217 154,217"}));
}

TEST_F(Fraction, EndMarkBeforeARootSignMovesNoBar) {
    // The editor's denominator "3", Enter, back from an empty numerator, then
    // "√5": the bars stay over the 5, as without the stray mark.
    draw("ﾀ1/3ﾝ!5ﾝﾀ"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"１ 116,188", "３ 100,215", "√ 116,215", "５ 124,215", "― 100,200", "― 116,200",
                              "― 132,200", "line 124,217 140,217", "line 122,217 138,217"}));

    // A long denominator with the stray mark early: no bar runs on past its end.
    draw("ﾀ/12ﾝ3456!78ﾝﾀ"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"１ 100,215", "２ 116,215", "３ 132,215", "４ 148,215", "５ 164,215", "６ 180,215",
                              "√ 196,215", "７ 204,215", "８ 220,215", "― 100,200", "― 116,200", "― 132,200",
                              "― 148,200", "― 164,200", "― 180,200", "― 196,200", "― 212,200", "― 228,200",
                              "line 204,217 220,217", "line 202,217 218,217", "line 218,217 234,217"}));
}

TEST_F(Fraction, SlashTypedInsideANumeratorStaysInTheNumerator) {
    // The editor's body for numerator "1/2" over "3": its parts meet after the
    // numerator's end mark, so "3" alone is the denominator, centred under it.
    g.pen_x = 100;
    g.pen_y = 200;
    g.work_string = "1/2ﾝ/3ﾝ"_sj;
    draw_fraction();
    EXPECT_EQ(drawn(), (Lines{"１ 100,188", "÷ 116,188", "２ 132,188", "３ 116,215", "― 100,200", "― 116,200",
                              "― 132,200"}));
    EXPECT_EQ(g.layout_x, 148);
}

TEST_F(Fraction, FractionEndsAnOpenRoot) {
    // A small root before a fraction draws no bar over it, nor after it.
    draw("!ﾀ1/2ﾀ3"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"line 108,202 124,202", "√ 100,200", "１ 108,188", "２ 108,215", "― 108,200",
                              "３ 124,200"}));
    EXPECT_EQ(g.root_mode, 0);

    // A tall root covers every cell of the bar.
    draw("#ﾀ12/5ﾀ"_sj, 100, 200);
    EXPECT_EQ(drawn(), (Lines{"√ 100,176 2x3", "１ 124,188", "２ 140,188", "５ 132,215", "― 124,200",
                              "fill 124,185 140,187", "― 140,200", "fill 140,185 156,187"}));
    EXPECT_EQ(g.root_mode, 0);
    EXPECT_EQ(g.pen_x, 156);
}

TEST_F(Fraction, StripFractionMarksRemovesEveryEndMark) {
    g.work_string = "ﾝ!3ﾝ/2ﾝ問"_sj;
    strip_fraction_marks();
    EXPECT_EQ(sjis::to_utf8(g.work_string), "!3/2問");
}

struct Built {
    std::string markup;
    float num, den;
    bool operator==(const Built&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Built& b) {
    return os << b.markup << " (" << b.num << "/" << b.den << ")";
}

Built build(float num, float den) {
    g.frac_den = den;
    g.frac_num = num;
    build_fraction();
    return {sjis::to_utf8(g.frac_markup), g.frac_num, g.frac_den};
}

TEST(BuildFraction, WholeNumbersAreWrittenWithoutABar) {
    reset_state();
    EXPECT_EQ(build(1, 1), (Built{"1", 1, 1}));
    EXPECT_EQ(build(-2, 1), (Built{"-2", -2, 1}));
    EXPECT_EQ(build(-4, 2), (Built{"-2", -2, 1}));
    EXPECT_EQ(build(0, 7), (Built{"0", 0, 1}));
    EXPECT_EQ(build(12, -4), (Built{"-3", -3, 1}));
}

TEST(BuildFraction, FractionsAreReducedWithTheSignInFront) {
    reset_state();
    EXPECT_EQ(build(6, 8), (Built{"ﾀ3/4ﾀ", 3, 4}));
    EXPECT_EQ(build(-6, 8), (Built{"-ﾀ3/4ﾀ", -3, 4}));
    EXPECT_EQ(build(6, -8), (Built{"-ﾀ3/4ﾀ", -3, 4}));
    EXPECT_EQ(build(-6, -8), (Built{"ﾀ3/4ﾀ", 3, 4}));
    EXPECT_EQ(build(-3, 2), (Built{"-ﾀ3/2ﾀ", -3, 2}));
    EXPECT_EQ(build(24, 36), (Built{"ﾀ2/3ﾀ", 2, 3}));
    EXPECT_EQ(build(17, 5), (Built{"ﾀ17/5ﾀ", 17, 5}));
}

TEST(BuildFraction, GreatestCommonDivisor) {
    reset_state();
    auto gcd = [](float a, float b) {
        compute_gcd(a, b);
        return g.gcd_value;
    };
    EXPECT_EQ(gcd(12, 18), 6);
    EXPECT_EQ(gcd(18, 12), 6);
    EXPECT_EQ(gcd(17, 5), 1);
    EXPECT_EQ(gcd(0, 5), 5);
    EXPECT_EQ(gcd(7, 0), 7);
    EXPECT_EQ(gcd(360, 84), 12);
}

}  // namespace
