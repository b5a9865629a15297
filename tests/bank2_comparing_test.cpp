// Comparing numbers (second bank, problems 5 and 6): the values each start
// draws, the signs that marking accepts, the comparison rows and number lines
// the pupil sees, and whole runs through the driver.
#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "tests/problem_play.hpp"

namespace {

using namespace problem_play;

std::string whole(float v) { return std::to_string(static_cast<int>(v)); }

// The filled boxes of the comparison rows: 48 x 24, border 11, fill 6.
std::vector<rt::TraceEntry> sign_boxes(const Trace& trace) {
    std::vector<rt::TraceEntry> out;
    for (const auto& e : trace)
        if (e.op == "line" && e.mode == "fill" && e.c == 11 && e.fill == 6) out.push_back(e);
    return out;
}

// The glyph drawn inside a box (the row's number or its sign).
std::string in_box(const Trace& trace, const rt::TraceEntry& box) { return text_inside(trace, box, 13); }

// ---- values and accepted answers -------------------------------------------

TEST(Bank2Comparing, ValuesStayInRangeNoPairIsEqualAndTheSignsFollowTheValues) {
    Starts starts(2);
    std::set<float> firsts, tenths;
    float previous = 0;
    for (int seed = 0; seed < 120; ++seed) {
        int problem = seed % 2 ? 6 : 5;
        starts.start(problem, static_cast<float>(seed));
        SCOPED_TRACE("seed " + std::to_string(seed));
        const auto& num = g.num;
        const auto& aux = g.aux;

        EXPECT_NE(num[1], previous);
        previous = num[1];
        firsts.insert(num[1]);
        EXPECT_GE(num[1], 1); EXPECT_LE(num[1], 10);
        EXPECT_GE(num[2], 1); EXPECT_LE(num[2], 9);
        EXPECT_NE(num[1], num[2]);
        EXPECT_GE(num[4], -10); EXPECT_LE(num[4], -2);
        EXPECT_GE(num[5], 1); EXPECT_LE(num[5], 9);
        EXPECT_GE(num[7], -9); EXPECT_LE(num[7], -2);
        EXPECT_GE(num[8], -9); EXPECT_LE(num[8], -1);
        EXPECT_NE(num[7], num[8]);
        // Two decimals with the same tenths, never equal.
        float t10 = num[10] - std::ceil(num[10]), t11 = num[11] - std::ceil(num[11]);
        EXPECT_NEAR(t10, t11, 1e-5);
        EXPECT_NE(num[10], num[11]);
        tenths.insert(std::round(-t10 * 10));
        EXPECT_GE(aux[1], 1); EXPECT_LE(aux[1], 7);
        EXPECT_GE(aux[2], 10); EXPECT_LE(aux[2], 19);
        EXPECT_GE(aux[3], 1); EXPECT_LE(aux[3], 8);
        EXPECT_NE(aux[1], aux[3]);

        // The fractions are shown reduced, with their sign.
        float d1 = static_cast<float>(std::gcd(static_cast<int>(aux[1]), static_cast<int>(aux[2])));
        EXPECT_EQ(script::stripped(g.frac_text[1]), "-" + whole(aux[1] / d1) + "/" + whole(aux[2] / d1));

        auto sign = [](bool greater) { return Text(greater ? ">" : "<"); };
        if (problem == 5) {
            EXPECT_EQ(g.blank_count, 3);
            EXPECT_EQ(g.expected(1, 1), sign(num[1] > num[2]));
            EXPECT_EQ(g.expected(2, 1), "<");   // a negative before a positive number
            EXPECT_EQ(g.expected(3, 1), sign(num[7] > num[8]));
            EXPECT_EQ(g.expected_all, g.expected(1, 1) + "<" + g.expected(3, 1));
        } else {
            EXPECT_EQ(g.blank_count, 2);
            EXPECT_EQ(g.expected(1, 1), sign(num[10] > num[11]));
            // -a/d is the greater of two negative fractions when a is the smaller numerator.
            EXPECT_EQ(g.expected(2, 1), sign(aux[1] < aux[3]));
            EXPECT_EQ(g.expected(3, 1), "");
            EXPECT_EQ(script::stripped(g.frac_text[4]).find('-'), Text::npos);
        }
        EXPECT_EQ(g.expected(1, 2), "");
        EXPECT_EQ(g.expected(2, 2), "");
        EXPECT_EQ(g.expected(3, 2), "AQ:CQ");
        EXPECT_EQ(g.expected(4, 2), "BP");
        EXPECT_EQ(g.alternative2, "mk");
        EXPECT_EQ(g.alternative, "");
    }
    EXPECT_EQ(firsts.size(), 10u);
    EXPECT_EQ(tenths, (std::set<float>{2, 3, 4, 5, 6, 7, 8}));
}

TEST(Bank2Comparing, RepeatingWithTheSameDrawsStillChangesTheFirstValue) {
    Starts starts(2);
    for (int seed = 0; seed < 20; ++seed) {
        starts.start(5, static_cast<float>(seed));
        float first = g.num[1];
        starts.start(6, static_cast<float>(seed));   // the same draws would repeat it
        EXPECT_NE(g.num[1], first) << "seed " << seed;
        EXPECT_EQ(g.last_first_value, g.num[1]);
    }
}

// ---- what the pupil sees -------------------------------------------------------

TEST(Bank2Comparing, IntegerRowsShowTheirNumbersAndHintsRevealTheSignsOnNumberLines) {
    Starts starts(2);
    Trace question = starts.start(5, 7);
    std::string n1 = shown(g.num_text[1]), n2 = shown(g.num_text[2]);
    EXPECT_EQ(row(question, 72, 15), "数の大小を不等号で表しなさい。");
    EXPECT_EQ(row(question, 108, 15, 96), "＋" + n1 + "＋" + n2);
    EXPECT_EQ(row(question, 144, 15, 96), shown(g.num_text[4]) + "＋" + shown(g.num_text[5]));
    EXPECT_EQ(row(question, 180, 15, 96), shown(g.num_text[7]) + shown(g.num_text[8]));

    // Each box stands 4 dots above its row, right after the left number.
    auto boxes = sign_boxes(question);
    ASSERT_EQ(boxes.size(), 3u);
    const float rows[] = {108, 144, 180};
    const std::string numbers[] = {"①", "②", "③"};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(boxes[k].y1, rows[k] - 4);
        EXPECT_EQ(boxes[k].x2 - boxes[k].x1, 48);
        EXPECT_EQ(boxes[k].y2 - boxes[k].y1, 24);
        EXPECT_EQ(in_box(question, boxes[k]), numbers[k]);
    }
    // "+", the number and the blank, each a full-width cell.
    EXPECT_EQ(boxes[0].x1, 96 + 16 * (g.num_text[1].size() + 2));

    Trace hint1 = drawn_by(2, &Bank::hint1, 5);
    EXPECT_EQ(row(hint1, 360, 15), "数直線上で、右にある数が大きい。");
    auto redrawn = sign_boxes(hint1);
    ASSERT_EQ(redrawn.size(), 1u);
    EXPECT_EQ(redrawn[0].y1, 104);
    EXPECT_EQ(in_box(hint1, redrawn[0]), g.expected(1, 1) == ">" ? "＞" : "＜");
    // The line from -10 to 10 at y 128, every tick labelled under it.
    std::vector<std::string> labels;
    for (const auto& e : hint1)
        if (e.op == "symbol" && e.y1 == 140 && e.c == 13) labels.push_back(e.text);
    std::vector<std::string> want;
    for (int v = -10; v <= 10; ++v) {
        std::string t = std::to_string(v);
        want.push_back(t.size() == 1 ? " " + t + " " : t.size() == 2 ? t + " " : t);
        EXPECT_TRUE(text_at(hint1, want.back(), 960 + 24 * v - 12, 140, 13)) << v;
    }
    EXPECT_EQ(labels, want);
    float x1 = 960 + 24 * g.num[1], x2 = 960 + 24 * g.num[2];
    EXPECT_TRUE(point_at(hint1, x1, 128));
    EXPECT_TRUE(point_at(hint1, x2, 128));
    EXPECT_TRUE(text_at(hint1, "+" + whole(g.num[1]), x1 - 12, 104, 7));
    EXPECT_TRUE(text_at(hint1, "+" + whole(g.num[2]), x2 - 12, 156, 7));

    Trace hint2 = drawn_by(2, &Bank::hint2, 5);
    EXPECT_TRUE(point_at(hint2, 960 + 24 * g.num[4], 240));
    EXPECT_TRUE(text_at(hint2, whole(g.num[4]), 960 + 24 * g.num[4] - 12, 216, 7));
    EXPECT_TRUE(text_at(hint2, "+" + whole(g.num[5]), 960 + 24 * g.num[5] - 12, 268, 7));
    ASSERT_EQ(sign_boxes(hint2).size(), 1u);
    EXPECT_EQ(sign_boxes(hint2)[0].y1, 140);
    EXPECT_EQ(in_box(hint2, sign_boxes(hint2)[0]), "＜");

    Trace answer = drawn_by(2, &Bank::answer, 5);
    EXPECT_TRUE(point_at(answer, 960 + 24 * g.num[7], 352));
    EXPECT_TRUE(point_at(answer, 960 + 24 * g.num[8], 352));
    ASSERT_EQ(sign_boxes(answer).size(), 1u);
    EXPECT_EQ(sign_boxes(answer)[0].y1, 176);
    EXPECT_EQ(in_box(answer, sign_boxes(answer)[0]), g.expected(3, 1) == ">" ? "＞" : "＜");
}

TEST(Bank2Comparing, FractionLabelsAreTypesetAboveAndBelowAndTheAnswerComparesSizes) {
    Starts starts(2);
    for (int seed : {3, 4, 5, 6, 7, 8}) {
        starts.start(6, static_cast<float>(seed));
        SCOPED_TRACE("seed " + std::to_string(seed));
        Trace hint1 = drawn_by(2, &Bank::hint1, 6);
        EXPECT_EQ(row(hint1, 270, 15), "数直線上で、右にある数が大きい。");
        EXPECT_TRUE(text_at(hint1, g.num_text[10], 960 + 24 * g.num[10] - 12, 104, 7));
        EXPECT_TRUE(text_at(hint1, g.num_text[11], 960 + 24 * g.num[11] - 12, 156, 7));

        // The marked points at y 320: the first fraction's glyphs all above the
        // line, the second's all below it, starting 24 dots left of the point.
        Trace hint2 = drawn_by(2, &Bank::hint2, 6);
        float x1 = 960 + 24 * g.num[13], x2 = 960 + 24 * g.num[14];
        EXPECT_TRUE(point_at(hint2, x1, 320));
        EXPECT_TRUE(point_at(hint2, x2, 320));
        int above = 0, below = 0;
        float left_above = 1440, left_below = 1440;
        for (const auto& e : hint2) {
            if (e.op != "symbol" || e.c != 7 || e.text == "　") continue;
            if (e.y1 < 320) ++above, left_above = std::min(left_above, e.x1);
            else ++below, left_below = std::min(left_below, e.x1);
        }
        EXPECT_GE(above, 3);   // sign, numerator, denominator at least
        EXPECT_GE(below, 3);
        EXPECT_EQ(left_above, x1 - 24);
        EXPECT_EQ(left_below, x2 - 24);
        EXPECT_EQ(in_box(hint2, sign_boxes(hint2).at(0)), g.expected(1, 1) == ">" ? "＞" : "＜");

        Trace answer = drawn_by(2, &Bank::answer, 6);
        std::string sentence = row(answer, 324, 13);
        bool smaller = g.aux[1] < g.aux[3];
        EXPECT_NE(sentence.find(smaller ? "より小さいから" : "より大きいから"), std::string::npos) << sentence;
        EXPECT_EQ(sign_boxes(answer).at(0).y1, 158);
        EXPECT_EQ(in_box(answer, sign_boxes(answer)[0]), smaller ? "＞" : "＜");
    }
}

// ---- whole runs -----------------------------------------------------------------

TEST(Bank2Comparing, RightAtOnceShowsEveryHintWithoutPausingAndMarksCircle) {
    run(2, practice_from(2, 5));
    Text a1 = g.expected(1, 1), a2 = g.expected(2, 1), a3 = g.expected(3, 1);
    Trace trace = from_problem(run(2, practice_from(2, 5) + a1 + "{Enter}" + a2 + "{Enter}" + a3 + "{Enter}"));
    EXPECT_EQ(grid_mark(trace, 5), "○");
    EXPECT_EQ(count_text(trace, kSpacePrompt), 0);
    int lines = 0;
    for (const auto& e : trace) lines += e.op == "line" && e.x1 == 704 && e.x2 == 1216 && e.y1 == e.y2;
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(sign_boxes(trace).size(), 6u);   // three rows, each redrawn once
    EXPECT_GE(count_text(trace, kNextStep), 1);
}

TEST(Bank2Comparing, ThreeWrongAnswersEarnBothHintsThenTheAnswer) {
    std::string wrong = "={Enter}={Enter}";
    Trace trace = from_problem(run(2, practice_from(2, 6) + wrong + "{Space}" + wrong + "{Space}" + wrong));
    EXPECT_EQ(grid_mark(trace, 6), "×");
    EXPECT_EQ(count_text(trace, kSpacePrompt), 2);
    EXPECT_EQ(row(trace, 270, 15), "数直線上で、右にある数が大きい。");
    auto boxes = sign_boxes(trace);
    ASSERT_EQ(boxes.size(), 4u);   // two rows, then ① in the second hint and ② in the answer
    EXPECT_EQ(boxes[2].y1, 104);
    EXPECT_EQ(boxes[3].y1, 158);
    EXPECT_NE(row(trace, 324, 13).find("から"), std::string::npos);
    EXPECT_GE(count_text(trace, kNextStep), 1);
}

}  // namespace
