// The second bank's problems 1 to 4: absolute values of integers, decimals and
// fractions, the two numbers with a given absolute value, and the integers
// within a given absolute value.
#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "tests/problem_play.hpp"

namespace {

using namespace problem_play;
using script::expected;
using script::num;
using script::num_text;

std::string utf8(const Text& t) { return sjis::to_utf8(t); }

// The shared answer rules of the second bank.
void expect_bank2_rules() {
    EXPECT_EQ(expected(3, 2), "AQ:CQ");
    EXPECT_EQ(expected(4, 2), "BP");
    EXPECT_EQ(g.alternative2, "mk" + expected(1, 2));
    EXPECT_EQ(g.expected_all, expected(1, 1) + expected(2, 1) + expected(3, 1) + expected(4, 1) + expected(5, 1));
}

// A fraction answer "a/b" in lowest terms, and its value.
float fraction_value(const Text& answer) {
    std::size_t slash = answer.find('/');
    EXPECT_NE(slash, Text::npos) << answer;
    int a = std::stoi(answer.substr(0, slash)), b = std::stoi(answer.substr(slash + 1));
    EXPECT_EQ(std::gcd(a, b), 1) << answer;
    return static_cast<float>(a) / static_cast<float>(b);
}

TEST(Bank2AbsoluteValue, IntegersAndFractionsOverManyClocks) {
    Starts starts(2);
    std::set<float> firsts, seconds, decimals;
    for (int s = 0; s <= 118; ++s) {
        std::string clock = clock_for_seed(s);
        Trace trace = starts.start(1, static_cast<float>(s), clock);
        EXPECT_EQ(row(trace, 108, 15), "①" + shown(num_text[1]) + "②＋" + shown(num_text[2]));
        float first = num[1];
        firsts.insert(first);
        seconds.insert(num[2]);
        decimals.insert(num[3]);
        EXPECT_EQ(expected(1, 1), std::to_string(static_cast<int>(-num[1])));
        EXPECT_EQ(expected(2, 1), num_text[2]);
        EXPECT_EQ(expected(1, 2), "");
        EXPECT_EQ(g.blank_count, 2);
        expect_bank2_rules();
        trace = starts.start(2, static_cast<float>(s), clock);
        // Problem 2 never repeats problem 1's first value; after the clock
        // seeding it draws what problem 1 drew with the same clock.
        EXPECT_NE(num[1], first);
        EXPECT_EQ(g.blank_count, 3);
        EXPECT_EQ(expected(1, 1), num_text[3].substr(1));
        EXPECT_EQ(fraction_value(expected(2, 1)), num[4]);
        EXPECT_EQ(fraction_value(expected(3, 1)), num[5]);
        EXPECT_EQ(utf8(num_text[5]).substr(0, 1), "-");
        expect_bank2_rules();
        EXPECT_EQ(row(trace, 108, 15).find("①" + shown(num_text[3]) + "②＋"), 0u);
    }
    EXPECT_EQ(firsts, (std::set<float>{-9, -8, -7, -6, -5, -4, -3, -2, -1}));
    EXPECT_EQ(seconds, (std::set<float>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(decimals.size(), 9u);
    for (float d : decimals) {
        EXPECT_TRUE(d <= -1.4f && d >= -3.6f) << d;
        float tenths = std::round((-d - std::floor(-d)) * 10);
        EXPECT_TRUE(tenths >= 4 && tenths <= 6) << d;
    }
}

TEST(Bank2AbsoluteValue, RepeatedProblemNeverRepeatsItsFirstValue) {
    Starts starts(2);
    for (int problem = 1; problem <= 4; ++problem) {
        float last = 0;
        for (int i = 0; i < 30; ++i) {
            starts.start(problem, 7);   // the same seed every time: the redraw alone changes it
            EXPECT_NE(num[1], last) << "problem " << problem;
            last = num[1];
        }
    }
}

TEST(Bank2AbsoluteValue, HintsDrawTheSpansBelowEachOther) {
    Starts starts(2);
    starts.start(1, 3);
    Trace trace;
    rt::set_trace(&trace);
    script::bank(2).hint1(1);
    EXPECT_TRUE(line_at(trace, 768, 992, 160, 15));
    EXPECT_EQ(row(trace, 176, 13), shown(num_text[1]) + "０");   // the negative number, then 0
    EXPECT_TRUE(text_at(trace, "－", 776, 176));
    EXPECT_TRUE(text_at(trace, "０", 952, 176));
    trace.clear();
    script::bank(2).hint2(1);
    EXPECT_TRUE(line_at(trace, 768, 992, 224, 15));
    EXPECT_TRUE(text_at(trace, "０", 792, 240));
    EXPECT_TRUE(text_at(trace, "＋", 944, 240));
    EXPECT_EQ(row(trace, 189, 13), shown(num_text[11]));
    trace.clear();
    script::bank(2).answer(1);
    EXPECT_EQ(row(trace, 225, 13), shown(num_text[12]));

    // Problem 2's answer adds a third span 64 dots further down.
    starts.start(2, 3);
    script::bank(2).hint1(2);
    script::bank(2).hint2(2);
    trace.clear();
    rt::set_trace(&trace);
    script::bank(2).answer(2);
    rt::set_trace(nullptr);
    EXPECT_TRUE(line_at(trace, 768, 992, 288, 15));
    EXPECT_TRUE(text_at(trace, "０", 952, 304));
}

// The clock whose whole runs give problem `problem` the first value `value`.
std::string clock_with_first_value(int problem, float value) {
    for (int s = 0; s <= 118; ++s) {
        run(2, practice_from(2, problem), clock_for_seed(s));
        if (num[1] == value) return clock_for_seed(s);
    }
    ADD_FAILURE() << "no clock gives " << value;
    return "";
}

TEST(Bank2AbsoluteValue, TwoNumbersWithAGivenAbsoluteValue) {
    std::string clock = clock_with_first_value(3, 12);
    ASSERT_FALSE(clock.empty());
    EXPECT_EQ(expected(1, 1), "-12,+12");
    EXPECT_EQ(g.alternative, "-12,12");
    EXPECT_EQ(g.blank_count, 1);
    expect_bank2_rules();

    for (const std::string answer : {"-12,+12", "-12,12"}) {
        Trace trace = from_problem(run(2, practice_from(2, 3) + answer + "{Enter}", clock));
        EXPECT_EQ(grid_mark(trace, 3), "○") << answer;
        EXPECT_EQ(row(trace, 162, 15), "①絶対値は数直線上で、０からの距離");
        // The second hint: two hops of 91 dots from -12 over 0 to +12, each labelled 12.
        EXPECT_EQ(hop_dots(trace, 15).size(), 182u);
        EXPECT_TRUE(line_at(trace, 768, 1152, 160, 15));
        EXPECT_EQ(row(trace, 108, 13), "１２１２");
        EXPECT_TRUE(text_at(trace, "１", 864, 108));
        EXPECT_TRUE(text_at(trace, "①", 792, 128));
        EXPECT_EQ(row(trace, 252, 13), "答え…－１２，＋１２");
        EXPECT_GT(count_text(trace, kNextStep), 0);
    }

    Trace trace = from_problem(run(2, practice_from(2, 3) + "12{Enter}{Space}-12{Enter}{Space}+12,-12{Enter}", clock));
    EXPECT_EQ(grid_mark(trace, 3), "×");
    EXPECT_EQ(count_text(trace, kSpacePrompt), 2);
    EXPECT_EQ(row(trace, 252, 13), "答え…－１２，＋１２");
    EXPECT_GT(count_text(trace, kNextStep), 0);
}

TEST(Bank2AbsoluteValue, IntegersWithinAGivenAbsoluteValue) {
    const Text answers[] = {"", "-1,0,+1", "-2,-1,0,+1,+2", "-3,-2,-1,0,+1,+2,+3"};
    const Text negatives[] = {"", "-1,", "-2,-1,", "-3,-2,-1,"};
    std::set<float> sizes;
    Starts starts(2);
    for (int s = 0; s <= 40; ++s) {
        starts.start(4, static_cast<float>(s), clock_for_seed(s));
        int n = static_cast<int>(num[2]);
        ASSERT_TRUE(n >= 1 && n <= 3) << n;
        sizes.insert(num[2]);
        EXPECT_EQ(expected(1, 1), answers[n]);
        EXPECT_EQ(expected(1, 2), negatives[n]);
        EXPECT_EQ(g.alternative2, "mk" + negatives[n]);
        expect_bank2_rules();
    }
    EXPECT_EQ(sizes.size(), 3u);

    run(2, practice_from(2, 4));
    Text right = expected(1, 1);
    Trace trace = from_problem(run(2, practice_from(2, 4) + right + "{Enter}"));
    EXPECT_EQ(grid_mark(trace, 4), "○");
    EXPECT_EQ(row(trace, 252, 13), shown(right));
    EXPECT_EQ(row(trace, 216, 15), "緑の点線内にある整数を求める。");
    EXPECT_EQ(hop_dots(trace, 9).size(), 181u);   // the whole stretch under the line

    trace = from_problem(run(2, practice_from(2, 4) + "0{Enter}{Space}0{Enter}{Space}0{Enter}"));
    EXPECT_EQ(grid_mark(trace, 4), "×");
    EXPECT_EQ(row(trace, 252, 13), shown(right));

    // Neither the pair of opposites of num[1] nor the negatives alone answer it.
    const Text pair = "-" + num_text[1] + "," + num_text[1];
    for (const Text& wrong : {pair, expected(1, 2)}) {
        trace = from_problem(run(2, practice_from(2, 4) + wrong + "{Enter}"));
        EXPECT_EQ(grid_mark(trace, 4), "×") << wrong;
    }
}

TEST(Bank2AbsoluteValue, SecondHintOfProblem4StaysAtOneHeight) {
    // Reached straight from the menu, after problem 3's hints, and with its hint run
    // again: the figure's line is at y 288 each time.
    auto figure_line = [](Trace& trace) {
        trace.clear();
        rt::set_trace(&trace);
        script::bank(2).hint2(4);
        rt::set_trace(nullptr);
        return line_at(trace, 768, 1152, 288, 15) && g.fig_y[31] == 288;
    };
    Trace trace;
    Starts starts(2);
    starts.start(4, 1);
    EXPECT_TRUE(figure_line(trace));
    EXPECT_TRUE(figure_line(trace));
    EXPECT_TRUE(figure_line(trace));
    starts.start(3, 1);
    script::bank(2).hint1(3);
    script::bank(2).hint2(3);
    starts.start(4, 1);
    EXPECT_TRUE(figure_line(trace));
    // The total arc reaches 48 dots below the line under 0.
    bool bottom = false;
    for (const auto& e : trace)
        bottom |= e.op == "circle" && e.c == 9 && std::fabs(e.x1 - 960) < 0.01f && std::fabs(e.y1 - 336) < 0.01f;
    EXPECT_TRUE(bottom);
}

}  // namespace
