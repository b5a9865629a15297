// Moving along the number line (second bank, problems 7 to 10): the amounts
// each start draws, the answers with their signed second forms, the number
// line with its point and the dotted hops, and whole runs through the driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/problem_play.hpp"

namespace {

using namespace problem_play;

Text text_of(float v) { return std::to_string(static_cast<int>(v)); }

// ---- values and accepted answers -------------------------------------------

TEST(Bank2Moving, AmountsStayInRangeTheFirstValueChangesAndAnswersCarryTheirSignedForms) {
    Starts starts(2);
    std::set<float> amounts3, amounts6;
    float previous = 0;
    for (int seed = 0; seed < 80; ++seed) {
        int problem = 7 + seed % 4;
        starts.start(problem, static_cast<float>(seed));
        SCOPED_TRACE("problem " + std::to_string(problem) + " seed " + std::to_string(seed));
        float n3 = g.num[3], n6 = g.num[6];
        EXPECT_NE(n3, previous);   // num[3] is the first value in all four problems
        previous = n3;
        amounts3.insert(n3);
        amounts6.insert(n6);
        EXPECT_GE(n6, 2); EXPECT_LE(n6, 7);

        float first = 0, second = 0;
        if (problem == 7) first = 2 + n3, second = 2 - n3;
        if (problem == 8) first = -2 + n6, second = -2 - n6;
        if (problem == 9) first = 2 - n3, second = 2 + n3;
        if (problem == 10) first = -2 - n6, second = -2 + n6;
        EXPECT_EQ(g.expected(1, 1), text_of(first));
        EXPECT_EQ(g.expected(2, 1), text_of(second));
        EXPECT_EQ(g.expected(1, 2), first > 0 ? "+" + text_of(first) : "");
        EXPECT_EQ(g.expected(2, 2), second > 0 ? "+" + text_of(second) : "");
        EXPECT_EQ(g.expected(3, 2), "AQ:CQ");
        EXPECT_EQ(g.expected(4, 2), "BP");
        EXPECT_EQ(g.alternative2, "mk" + g.expected(1, 2));
        EXPECT_EQ(g.expected_all, text_of(first) + text_of(second));
        EXPECT_EQ(g.blank_count, 2);
    }
    EXPECT_EQ(amounts3, (std::set<float>{2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(amounts6, (std::set<float>{2, 3, 4, 5, 6, 7}));
}

TEST(Bank2Moving, TheSameDrawsInTheNextProblemStillGiveANewFirstValue) {
    Starts starts(2);
    for (int seed = 0; seed < 12; ++seed) {
        int problem = 7 + seed % 3;
        starts.start(problem, static_cast<float>(seed));
        float first = g.num[3];
        starts.start(problem + 1, static_cast<float>(seed));
        EXPECT_NE(g.num[3], first) << "problems " << problem << ", " << problem + 1 << " seed " << seed;
    }
}

// ---- what the pupil sees -------------------------------------------------------

TEST(Bank2Moving, QuestionShowsTheStartingPointAndTheHopsGoRightThenLeft) {
    Starts starts(2);
    Trace question = starts.start(7, 5);
    std::string n = shown(g.num_text[3]);
    EXPECT_EQ(row(question, 72, 15), "次の数を求めなさい。");
    EXPECT_EQ(row(question, 108, 15, 96), "①２より" + n + "大きい数");
    EXPECT_EQ(row(question, 144, 15, 96), "②２より" + n + "小さい数");
    EXPECT_EQ(number_lines_at(question, 256), 1);
    EXPECT_TRUE(point_at(question, x_on_line(2), 256));
    EXPECT_TRUE(hop_dots(question).empty());

    Trace hint1 = drawn_by(2, &Bank::hint1, 7);
    EXPECT_EQ(row(hint1, 324, 15), "①数直線上で、２から右に" + n + "進んだ数");

    Trace hint2 = drawn_by(2, &Bank::hint2, 7);
    EXPECT_EQ(row(hint2, 360, 13), "答え…" + shown(g.num_text[4]));
    expect_hop(hint2, 2, g.num[3], 256);
    EXPECT_EQ(number_lines_at(hint2, 384), 1);
    EXPECT_TRUE(point_at(hint2, x_on_line(2), 384));

    Trace answer = drawn_by(2, &Bank::answer, 7);
    EXPECT_EQ(row(answer, 414, 15), "②数直線上で、２から左に" + n + "進んだ数");
    EXPECT_EQ(row(answer, 450, 13), "答え…" + shown(g.num_text[5]));
    expect_hop(answer, 2, -g.num[3], 384);   // to the left, still above the line
}

TEST(Bank2Moving, NegativeAmountHintsRestateTheMoveInColour) {
    Starts starts(2);
    starts.start(10, 9);
    std::string n = shown(g.num_text[6]);
    Trace hint1 = drawn_by(2, &Bank::hint1, 10);
    EXPECT_EQ(row(hint1, 216, 15), "①－２より－" + n + "大きい数は、だから");
    EXPECT_EQ(row(hint1, 216, 13), "－２より" + n + "小さい数");

    Trace hint2 = drawn_by(2, &Bank::hint2, 10);
    EXPECT_EQ(row(hint2, 270, 15), "数直線上で、－２から左に" + n + "進んだ数で");
    EXPECT_EQ(row(hint2, 270, 13), shown(g.num_text[8]));
    expect_hop(hint2, -2, -g.num[6], 256);

    Trace answer = drawn_by(2, &Bank::answer, 10);
    EXPECT_EQ(row(answer, 342, 13), "－２より" + n + "大きい数");
    EXPECT_EQ(row(answer, 396, 13), shown(g.num_text[7]));
    expect_hop(answer, -2, g.num[6], 384);

    starts.start(9, 9);
    n = shown(g.num_text[3]);
    EXPECT_EQ(row(drawn_by(2, &Bank::hint1, 9), 306, 13), "２より" + n + "小さい数");
    Trace hint2_9 = drawn_by(2, &Bank::hint2, 9);
    EXPECT_EQ(row(hint2_9, 333, 13), shown(g.num_text[5]));
    expect_hop(hint2_9, 2, -g.num[3], 256);
    Trace answer_9 = drawn_by(2, &Bank::answer, 9);
    EXPECT_EQ(row(answer_9, 369, 13), "２より" + n + "大きい数");
    EXPECT_EQ(row(answer_9, 396, 13), shown(g.num_text[4]));
}

// ---- whole runs -----------------------------------------------------------------

// The small per-blank circles (right) of the answer line.
int blank_circles(const Trace& trace) {
    int n = 0;
    for (const auto& e : trace) n += e.op == "circle" && e.r == 15 && e.c == 8;
    return n;
}

TEST(Bank2Moving, APositiveAnswerIsRightWithOrWithoutItsSign) {
    run(2, practice_from(2, 7));
    Text a1 = g.expected(1, 1), a2 = g.expected(2, 1);
    ASSERT_EQ(g.expected(1, 2), "+" + a1);

    Trace right = from_problem(run(2, practice_from(2, 7) + a1 + "{Enter}" + a2 + "{Enter}"));
    EXPECT_EQ(grid_mark(right, 7), "○");
    EXPECT_EQ(blank_circles(right), 2);
    EXPECT_EQ(count_text(right, kSpacePrompt), 0);
    EXPECT_EQ(hop_dots(right).size(), 2 * 181u);   // both hints and the answer ran
    EXPECT_GE(count_text(right, kNextStep), 1);

    // "+4": both blanks earn their circles, and so does the whole answer.
    Trace signed_answer = from_problem(run(2, practice_from(2, 7) + "+" + a1 + "{Enter}" + a2 + "{Enter}"));
    EXPECT_EQ(blank_circles(signed_answer), 2);
    EXPECT_EQ(grid_mark(signed_answer, 7), "○");
    EXPECT_EQ(count_text(signed_answer, kSpacePrompt), 0);
}

TEST(Bank2Moving, ThreeWrongAnswersToProblem10DrawBothHopsAndEndIt) {
    std::string wrong = "99{Enter}99{Enter}";
    Trace trace = from_problem(run(2, practice_from(2, 10) + wrong + "{Space}" + wrong + "{Space}" + wrong));
    EXPECT_EQ(grid_mark(trace, 10), "×");
    EXPECT_EQ(blank_circles(trace), 0);
    EXPECT_EQ(count_text(trace, kSpacePrompt), 2);
    EXPECT_EQ(hop_dots(trace).size(), 2 * 181u);
    EXPECT_TRUE(ended(trace));
}

}  // namespace
