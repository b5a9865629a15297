// Placing five numbers on a number line (self-check) and opposite quantities:
// the values each start draws, the texts and figures the pupil sees, and
// whole runs through the driver.
#include <gtest/gtest.h>

#include <set>

#include "tests/problem_play.hpp"

namespace {

using namespace problem_play;

std::string whole(float v) { return std::to_string(static_cast<int>(v)); }

// ---- problem 7 ----------------------------------------------------------------

TEST(PlacingNumbers, ValuesStayInRangeAndTheFirstValueNeverRepeats) {
    Starts starts(1);
    std::set<float> firsts, seconds, halves, negative_halves, fractions;
    float previous = 0;
    for (int seed = 0; seed < 60; ++seed) {
        starts.start(7, static_cast<float>(seed), clock_for_seed(seed));
        float n1 = g.num[1];
        EXPECT_NE(n1, previous) << "seed " << seed;
        EXPECT_EQ(g.last_first_value, n1);
        previous = n1;
        firsts.insert(n1);
        seconds.insert(g.num[2]);
        halves.insert(g.num[3]);
        negative_halves.insert(g.num[4]);
        fractions.insert(g.num[5]);
        // The fifth number is the typeset fraction aux[1]/2, never a decimal.
        EXPECT_EQ(g.num[5] * 2, g.aux[1]);
        EXPECT_EQ(g.num_text[5], "-ﾀ"_sj + whole(-g.aux[1]) + "/2ﾀ"_sj);
    }
    EXPECT_EQ(firsts, (std::set<float>{1, 2, 3}));
    EXPECT_EQ(seconds, (std::set<float>{-1, -2, -3}));
    EXPECT_EQ(halves, (std::set<float>{4.5, 5.5, 6.5}));
    EXPECT_EQ(negative_halves, (std::set<float>{-4.5, -5.5, -6.5}));
    EXPECT_EQ(fractions, (std::set<float>{-7.5, -8.5, -9.5}));
}

TEST(PlacingNumbers, SolutionAppearsAfterTheKeyWithSignedLabelsOverThePoints) {
    Starts starts(1);
    Trace trace = starts.start(7, 3);
    EXPECT_EQ(g.num_text[1], "+" + whole(g.num[1]));
    EXPECT_EQ(g.num_text[2], whole(g.num[2]));
    EXPECT_EQ(g.num_text[3], "+" + whole(g.num[3]) + ".5");
    EXPECT_EQ(g.num_text[4], "-" + whole(-g.num[4]) + ".5");

    // The question line lists the numbers with their signs, separated by commas.
    EXPECT_EQ(row(trace, 108, 15).rfind(shown(g.num_text[1]) + "，" + shown(g.num_text[2]) + "，" +
                                            shown(g.num_text[3]) + "，" + shown(g.num_text[4]) + "，－",
                                        0),
              0u);

    // The axis is on screen before the key pause, the points only after it.
    std::size_t key = 0, axis = 0;
    std::vector<std::size_t> points;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        const auto& e = trace[i];
        if (e.op == "key" && key == 0) key = i;
        if (e.op == "line" && e.x1 == 704 && e.y1 == 160 && e.x2 == 1216 && e.y2 == 160) axis = i;
        if (e.op == "circle" && e.r == 4 && e.c == 9 && e.y1 == 160) points.push_back(i);
    }
    ASSERT_GT(key, 0u);
    EXPECT_GT(axis, 0u);
    EXPECT_LT(axis, key);
    ASSERT_EQ(points.size(), 5u);
    for (int i = 1; i <= 5; ++i) {
        float x = 960 + 24 * g.num[i];
        EXPECT_GT(points[i - 1], key);
        EXPECT_EQ(trace[points[i - 1]].x1, x) << "point " << i;
        // Labels stand 27 dots above the axis, the second and the fraction 63.
        float y = (i == 2 || i == 5) ? 97 : 133;
        float left = i == 5 ? x - 24 : x - 8 * static_cast<float>(g.num_text[i].size());
        bool found = false;
        for (const auto& e : trace)
            found |= e.op == "symbol" && e.x1 == left && e.y1 == y && e.c == 15 &&
                     e.text == (g.num[i] > 0 ? "＋" : "－");
        EXPECT_TRUE(found) << "label " << i << " at " << left << "," << y;
    }
}

TEST(PlacingNumbers, PupilMarksTheNotebookWithOneOrZero) {
    // 1: right at once, no hint prompts, the next-step menu follows.
    Trace trace = practice_screen(run(1, practice_from(1, 7) + "x" "1{Enter}"));
    EXPECT_EQ(row(trace, 536, 11), "正解なら１、間違いなら０を入力");
    EXPECT_EQ(g.expected_all, "1");
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(grid_mark(trace, 7), "○");
    EXPECT_EQ(count_text(trace, kSpacePrompt), 0);
    EXPECT_GT(count_text(trace, kNextStep), 0);

    // 0 three times: wrong, each empty hint waits for the space bar, the problem still ends.
    trace = run(1, practice_from(1, 7) + "x" "0{Enter}{Space}0{Enter}{Space}0{Enter}");
    EXPECT_EQ(g.mark_result, 1);
    EXPECT_EQ(grid_mark(trace, 7), "×");
    EXPECT_EQ(count_text(trace, kSpacePrompt), 2);
    EXPECT_GT(count_text(trace, kNextStep), 0);
}

// ---- problem 8 ----------------------------------------------------------------

TEST(OppositeQuantities, ValuesAndNegativeAnswersWithoutTouchingTheFirstValue) {
    Starts starts(1);
    std::set<float> income, expense, east, west, profit, loss;
    for (int seed = 0; seed < 60; ++seed) {
        g.last_first_value = 7;
        starts.start(8, static_cast<float>(seed));
        EXPECT_EQ(g.last_first_value, 7);
        income.insert(g.num[1]);
        expense.insert(g.num[2]);
        east.insert(g.num[11]);
        west.insert(g.num[12]);
        profit.insert(g.num[21]);
        loss.insert(g.num[22]);
        EXPECT_EQ(g.expected(1, 1), "-" + whole(g.num[2]));
        EXPECT_EQ(g.expected(2, 1), "-" + whole(g.num[12]));
        EXPECT_EQ(g.expected(3, 1), "-" + whole(g.num[22]));
        EXPECT_EQ(g.expected_all, g.expected(1, 1) + g.expected(2, 1) + g.expected(3, 1));
    }
    EXPECT_EQ(income, (std::set<float>{1000, 2000, 3000, 4000, 5000, 6000}));
    EXPECT_EQ(expense, (std::set<float>{300, 400, 500, 600, 700, 800}));
    EXPECT_EQ(east, (std::set<float>{4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(west, (std::set<float>{3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(profit, (std::set<float>{300, 400, 500}));
    EXPECT_EQ(loss, (std::set<float>{100, 200, 300}));
    EXPECT_EQ(g.blank_count, 3);
    EXPECT_EQ(g.expected(1, 2) + g.expected(2, 2) + g.expected(3, 2), "");
    EXPECT_EQ(g.alternative2, g.pen_x_text + g.pen_y_text);
}

TEST(OppositeQuantities, QuestionShowsUnsignedAmountsAndRaisedBoxes) {
    Starts starts(1);
    Trace trace = starts.start(8, 5);
    std::string expense = whole(g.num[2]);
    EXPECT_EQ(row(trace, 99, 15), "①" + shown(whole(g.num[1])) + "円の収入を＋" + shown(whole(g.num[1])) +
                                      "円と表すとき、");
    // The expense is shown without its sign; the boxes stand 4 dots above the line.
    EXPECT_EQ(row(trace, 126, 15), shown(expense) + "円の支出は、円と表される。");
    EXPECT_TRUE(filled_box(trace, 96, 68, 160, 92, 15, 6));
    EXPECT_EQ(x_of(trace, "に", 72), 176);
    float box = 96 + 16 * static_cast<float>(expense.size() + 6);
    EXPECT_TRUE(filled_box(trace, box, 122, box + 64, 146, 15, 6));
    EXPECT_EQ(x_of(trace, "①", 125), box + 24);
    EXPECT_EQ(row(trace, 125, 13), "①");
    EXPECT_EQ(x_of(trace, "円", 126), 96 + 16 * static_cast<float>(expense.size()));
    EXPECT_EQ(row(trace, 189, 15), shown(whole(g.num[12])) + "ｋｍ西へ移動することは、ｋｍと表される。");
    EXPECT_EQ(row(trace, 252, 15), shown(whole(g.num[22])) + "円の損失は、円と表される。");
}

TEST(OppositeQuantities, RightAtOnceShowsAllExplanations) {
    run(1, practice_from(1, 8));
    std::string keys = g.expected(1, 1) + "{Enter}" + g.expected(2, 1) + "{Enter}" + g.expected(3, 1) + "{Enter}";
    std::string answers[] = {g.expected(1, 1), g.expected(2, 1), g.expected(3, 1)};
    Trace trace = practice_screen(run(1, practice_from(1, 8) + keys));
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(grid_mark(trace, 8), "○");
    EXPECT_EQ(count_text(trace, kSpacePrompt), 0);
    EXPECT_EQ(row(trace, 342, 15), "①収入が＋だから支出は－となり、");
    EXPECT_EQ(row(trace, 342, 13), shown(answers[0]) + "円");
    EXPECT_EQ(row(trace, 396, 13), shown(answers[1]) + "ｋｍ");
    EXPECT_EQ(row(trace, 450, 15), "③利益が＋だから損失は－となり、");
    EXPECT_EQ(row(trace, 450, 13), shown(answers[2]) + "円");
    EXPECT_GT(count_text(trace, kNextStep), 0);
}

TEST(OppositeQuantities, AmountsWithoutTheMinusAreWrong) {
    run(1, practice_from(1, 8));
    std::string unsigned_keys = whole(g.num[2]) + "{Enter}" + whole(g.num[12]) + "{Enter}" + whole(g.num[22]) +
                                "{Enter}";
    // One wrong answer: only the first explanation, then the space prompt.
    Trace trace = run(1, practice_from(1, 8) + unsigned_keys);
    EXPECT_EQ(g.mark_result, 1);
    EXPECT_EQ(grid_mark(trace, 8), "×");
    EXPECT_NE(row(trace, 342, 13), "");
    EXPECT_EQ(row(trace, 396, 13), "");
    EXPECT_EQ(count_text(trace, kSpacePrompt), 1);

    // Three wrong answers end the problem with the last explanation.
    trace = run(1, practice_from(1, 8) + unsigned_keys + "{Space}" + unsigned_keys + "{Space}" + unsigned_keys);
    EXPECT_EQ(g.mark_result, 1);
    EXPECT_EQ(row(trace, 450, 13), shown("-" + whole(g.num[22])) + "円");
    EXPECT_GT(count_text(trace, kNextStep), 0);
}

}  // namespace
