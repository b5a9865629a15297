// The first bank's problems 4 to 6: natural numbers and integers out of a
// shuffled list (self-check), and reading points on the number line.
#include <algorithm>
#include <cmath>
#include <regex>
#include <set>

#include "problems/script/number_line.hpp"
#include "tests/problem_play.hpp"

namespace {

using namespace problem_play;
using script::num;
using script::num_text;
using script::aux_text;
using script::frac_text;
using script::fig_x;
using script::fig_y;
using script::expected;

// ---- problem 4: natural numbers and integers ---------------------------------------

TEST(Bank1NaturalNumbers, ValuesAndTheShuffledListOverManyStarts) {
    start_up(1);
    std::set<std::string> firsts;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        fresh_screen(seed, "x");
        start_routine(1, 4);
        SCOPED_TRACE("seed " + std::to_string(seed));
        EXPECT_TRUE(num[1] >= 1 && num[1] <= 15 && num[1] == std::floor(num[1])) << num[1];
        EXPECT_TRUE(num[2] >= 1 && num[2] <= 15 && num[2] == std::floor(num[2])) << num[2];
        EXPECT_TRUE(num[3] >= -7 && num[3] <= -1) << num[3];
        EXPECT_TRUE(num[4] >= -12 && num[4] <= -6) << num[4];
        EXPECT_EQ(num_text[5], "0");
        EXPECT_TRUE(std::regex_match(num_text[6], std::regex("5\\.[1-9]"))) << num_text[6];
        EXPECT_TRUE(std::regex_match(num_text[8], std::regex("-2\\.[1-9]"))) << num_text[8];
        // The fractions: 1 over 2 to 15 and -2 over 3 to 15, reduced; never whole.
        EXPECT_TRUE(std::regex_match(frac_text[1], std::regex("\xC0" "1/([2-9]|1[0-5])\xC0"))) << frac_text[1];
        EXPECT_TRUE(std::regex_match(frac_text[2], std::regex("-\xC0(2/([3-9]|1[0-5])|1/[2-7])\xC0")))
            << frac_text[2];
        EXPECT_NE(num[2], num[1]);
        EXPECT_NE(num[4], num[3]);

        // Text fix-ups: the second natural number with "+", the fractions in 7 and 9.
        EXPECT_EQ(num_text[2][0], '+');
        EXPECT_EQ(num_text[7], frac_text[1]);
        EXPECT_EQ(num_text[9], frac_text[2]);
        // The list is the nine items in some order; 11 to 19 are all marked taken.
        std::vector<Text> items, list;
        for (int i = 1; i <= 9; ++i) {
            items.push_back(num_text[i]);
            list.push_back(aux_text[i]);
            EXPECT_EQ(num_text[10 + i], "no");
        }
        std::sort(items.begin(), items.end());
        std::sort(list.begin(), list.end());
        EXPECT_EQ(list, items);
        firsts.insert(aux_text[1]);

        EXPECT_EQ(expected(1, 1), "1");
        EXPECT_EQ(g.blank_count, 1);
        EXPECT_EQ(g.alternative2, g.pen_x_text + g.pen_y_text);
    }
    // Every kind of item comes first in some list: the order really is shuffled.
    EXPECT_GT(firsts.size(), 9u);
}

TEST(Bank1NaturalNumbers, AnswersAfterTheKeyPauseListTwoNaturalsAndFiveIntegers) {
    start_up(1);
    fresh_screen(21, "x");
    Trace trace;
    rt::set_trace(&trace);
    start_routine(1, 4);
    rt::set_trace(nullptr);

    EXPECT_EQ(row(trace, 108, kAnyColour, 64), "①次の数の中で自然数を書きなさい。");
    EXPECT_EQ(row(trace, 144, kAnyColour, 64), "②次の数の中で整数を書きなさい。");
    std::string naturals = "①自然数…" + shown(num_text[1]) + "，" + shown(num_text[2]);
    std::string integers = "②整数…" + shown(num_text[1]);
    for (int i = 2; i <= 5; ++i) integers += "，" + shown(num_text[i]);
    EXPECT_EQ(row(trace, 288, kAnyColour, 64), naturals);
    EXPECT_EQ(row(trace, 342, kAnyColour, 64), integers);

    // Drawn in colour 13, and only after the pause.
    std::size_t pause = 0, answers = 0;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        if (trace[i].text == "何" && trace[i].y1 == 648) pause = i;
        if (trace[i].y1 == 288 && trace[i].text == "自") {
            answers = i;
            EXPECT_EQ(trace[i].c, 13);
        }
    }
    EXPECT_GT(pause, 0u);
    EXPECT_GT(answers, pause);
}

// The value of a list item: "+5", "-2.4", "-ﾀ1/4ﾀ".
float item_value(const Text& item) {
    const std::string t = script::stripped(item);
    const std::size_t slash = t.find('/');
    if (slash == std::string::npos) return std::stof(t);
    return std::stof(t.substr(0, slash)) / std::stof(t.substr(slash + 1));
}

// Over every clock seed, the worked answers list exactly the whole numbers the
// list shows, no item is shown twice, and the list stays inside its panel.
TEST(Bank1NaturalNumbers, WorkedAnswersListExactlyTheWholeNumbersShownAtEveryClock) {
    for (int seed = 0; seed <= 141; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Trace trace = practice_screen(
            play({.bank = 1, .time = clock_for_seed(seed), .keys = practice_from(1, 4) + "x"}).trace);
        std::set<float> values;
        std::vector<Text> naturals, integers;
        for (const Text& item : {num_text[1], num_text[2], num_text[3], num_text[4], num_text[5], num_text[6],
                                 num_text[7], num_text[8], num_text[9]}) {
            const float v = item_value(item);
            values.insert(v);
            if (v != std::floor(v)) continue;
            if (v > 0) naturals.push_back(item);
            integers.push_back(item);
        }
        EXPECT_EQ(values.size(), 9u);
        auto listed = [](const std::vector<Text>& items) {
            std::multiset<std::string> out;
            for (const Text& t : items) out.insert(shown(t));
            return out;
        };
        auto answered = [&](float y, const std::string& head) {
            std::string r = row(trace, y, kAnyColour, 64);
            EXPECT_EQ(r.rfind(head, 0), 0u) << r;
            std::multiset<std::string> out;
            for (std::size_t at = head.size(), comma; at <= r.size(); at = comma + 3) {
                comma = r.find("，", at);
                if (comma == std::string::npos) comma = r.size();
                out.insert(r.substr(at, comma - at));
            }
            return out;
        };
        EXPECT_EQ(answered(288, "①自然数…"), listed(naturals));
        EXPECT_EQ(answered(342, "②整数…"), listed(integers));
        float panel_right = 0;
        for (const auto& e : trace)
            if (e.op == "line" && e.mode == "fill" && e.fill == 2) panel_right = e.x2;
        for (const auto& e : trace)
            if (e.op == "symbol" && e.y1 >= 164 && e.y1 <= 250 && e.x1 >= 64) { EXPECT_LE(e.x1 + 16, panel_right) << e.text; }
    }
}

TEST(Bank1NaturalNumbers, OneAfterThePauseIsRight) {
    PlayResult r = play({.bank = 1, .time = kClock, .keys = practice_from(1, 4) + "x" + "1{Enter}"});
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(g.attempt_count, 1);
    EXPECT_EQ(grid_mark(r.trace, 4), "○");
    EXPECT_EQ(count_text(r.trace, "正"), 1);   // the prompt's first glyph, at the prompt line
    for (const auto& e : r.trace)
        if (e.text == "正") {
            EXPECT_EQ(e.x1, 432);
            EXPECT_EQ(e.y1, 536);
            EXPECT_EQ(e.c, 11);
        }
}

// ---- the number line --------------------------------------------------------------

TEST(Bank1NumberLine, ScaleFromMinusTenToTenWithItsMarksAndValues) {
    start_up(1);
    fresh_screen(1);
    Trace trace;
    rt::set_trace(&trace);
    script::number_line();
    rt::set_trace(nullptr);

    EXPECT_EQ(fig_x[31], 960);
    EXPECT_EQ(fig_x[32], 720);
    EXPECT_EQ(fig_x[33], 1200);
    EXPECT_EQ(fig_y[31], 160);
    EXPECT_EQ(fig_y[34], 152);
    EXPECT_EQ(fig_y[35], 168);

    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace[0].op, "line");
    EXPECT_EQ(trace[0].x1, 704);
    EXPECT_EQ(trace[0].x2, 1216);
    EXPECT_EQ(trace[0].y1, 160);

    std::vector<float> units, longs;
    std::vector<std::string> labels;
    for (const auto& e : trace) {
        if (e.op == "line" && e.y1 == 156 && e.y2 == 164) units.push_back(e.x1);
        if (e.op == "line" && e.y1 == 152 && e.y2 == 168) longs.push_back(e.x1);
        if (e.op == "symbol") {
            EXPECT_EQ(e.y1, 172);
            EXPECT_EQ(e.c, 13);
            labels.push_back(e.text);
        }
    }
    ASSERT_EQ(units.size(), 21u);
    for (int i = 0; i < 21; ++i) EXPECT_EQ(units[i], 720 + 24 * i);
    EXPECT_EQ(longs, (std::vector<float>{720, 960, 1200}));
    ASSERT_EQ(labels.size(), 21u);
    EXPECT_EQ(labels[0], "-10");
    EXPECT_EQ(labels[5], "-5 ");
    EXPECT_EQ(labels[10], " 0 ");
    EXPECT_EQ(labels[15], " 5 ");
    EXPECT_EQ(labels[20], "10 ");
    for (const auto& e : trace)
        if (e.text == " 0 ") { EXPECT_EQ(e.x1, 948); }
}

// ---- problem 5: whole numbers A and B ------------------------------------------------

// The circle and the letter of the point named `letter`, and where they are.
struct Point {
    float x = -1, letter_x = -1, letter_y = -1;
};
Point point(const Trace& trace, const std::string& letter) {
    Point p;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        const auto& e = trace[i];
        if (e.op == "symbol" && e.text == letter && e.c == 7 && i > 0 && trace[i - 1].op == "circle") {
            p.x = trace[i - 1].x1;
            EXPECT_EQ(trace[i - 1].y1, 160);
            EXPECT_EQ(trace[i - 1].r, 4);
            EXPECT_EQ(trace[i - 1].c, 9);
            p.letter_x = e.x1;
            p.letter_y = e.y1;
        }
    }
    return p;
}

TEST(Bank1NumberLineIntegers, PointsAndAcceptedAnswersOverManyStarts) {
    start_up(1);
    std::set<float> a_values, b_values;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        // The draws after the first value follow the clock: vary it too.
        std::string clock = "12:" + std::to_string(10 + seed % 50) + ":" + std::to_string(10 + seed % 47);
        fresh_screen(seed, "", clock);
        Trace trace;
        rt::set_trace(&trace);
        start_routine(1, 5);
        rt::set_trace(nullptr);
        SCOPED_TRACE("seed " + std::to_string(seed));
        a_values.insert(num[1]);
        b_values.insert(num[2]);
        EXPECT_TRUE(num[1] >= 1 && num[1] <= 9 && num[1] == std::floor(num[1])) << num[1];
        EXPECT_TRUE(num[2] >= -7 && num[2] <= -1 && num[2] == std::floor(num[2])) << num[2];

        Point a = point(trace, "A"), b = point(trace, "B");
        EXPECT_EQ(a.x, 960 + 24 * num[1]);
        EXPECT_EQ(b.x, 960 + 24 * num[2]);
        EXPECT_TRUE(a.x >= 984 && a.x <= 1176);
        EXPECT_TRUE(b.x >= 792 && b.x <= 936);
        EXPECT_EQ(a.letter_x, a.x - 4);
        EXPECT_EQ(a.letter_y, 136);

        EXPECT_EQ(expected(1, 1), num_text[1]);
        EXPECT_EQ(expected(2, 1), num_text[2]);
        EXPECT_EQ(expected(2, 1)[0], '-');
        EXPECT_EQ(expected(1, 2), "+" + num_text[1]);
        EXPECT_EQ(expected(2, 2), "");
        EXPECT_EQ(g.expected_all, num_text[1] + num_text[2]);
        EXPECT_EQ(g.alternative2, "mk+" + num_text[1]);
        EXPECT_EQ(g.blank_count, 2);
    }
    EXPECT_EQ(a_values.size(), 9u);
    EXPECT_EQ(b_values.size(), 7u);
}

TEST(Bank1NumberLineIntegers, DrawsAfterTheFirstValueFollowOnlyTheClock) {
    start_up(1);
    fresh_screen(1, "", "09:30:15");
    start_routine(1, 5);
    float b = num[2];
    for (unsigned seed = 2; seed <= 20; ++seed) {
        fresh_screen(seed, "", "09:30:15");
        start_routine(1, 5);
        EXPECT_EQ(num[2], b);
    }
}

TEST(Bank1NumberLineIntegers, FirstValueIsDrawnAgainWhenItRepeatsTheLastOne) {
    start_up(1);
    for (unsigned seed = 1; seed <= 30; ++seed) {
        fresh_screen(seed);
        start_routine(1, 5);
        float first = num[1];
        fresh_screen(seed);   // the same draws again: the first one now repeats
        start_routine(1, 5);
        EXPECT_NE(num[1], first);
        EXPECT_EQ(g.last_first_value, num[1]);
    }
}

TEST(Bank1NumberLineIntegers, HintsAndAnswerNameBothPoints) {
    start_up(1);
    fresh_screen(4);
    start_routine(1, 5);
    Trace trace;
    rt::set_trace(&trace);
    script::bank(1).hint1(5);
    script::bank(1).hint2(5);
    script::bank(1).answer(5);
    rt::set_trace(nullptr);
    EXPECT_EQ(row(trace, 144, kAnyColour, 32), "正の数…０より右の方に表される数");
    EXPECT_EQ(row(trace, 180, kAnyColour, 32), "負の数…０より左の方に表される数（－をつける）");
    EXPECT_EQ(row(trace, 252, kAnyColour, 144, 288), "…" + shown(num_text[1]));
    EXPECT_EQ(row(trace, 252, kAnyColour, 304), "…" + shown(num_text[2]));
    for (const auto& e : trace)
        if (e.y1 == 252) { EXPECT_EQ(e.c, 13); }
}

TEST(Bank1NumberLineIntegers, RightAtOnceWithOrWithoutThePlusAndNeverThePairOfOpposites) {
    play({.bank = 1, .time = kClock, .keys = practice_from(1, 5)});
    Text a = expected(1, 1), b = expected(2, 1);
    PlayResult r = play({.bank = 1, .time = kClock, .keys = practice_from(1, 5) + keys_for(a) + keys_for(b)});
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(grid_mark(r.trace, 5), "○");
    EXPECT_EQ(row(r.trace, 252, kAnyColour, 304), "…" + shown(b));

    // A with its "+": every blank earns its ○, and so does the whole answer.
    play({.bank = 1, .time = kClock, .keys = practice_from(1, 5) + keys_for("+" + a) + keys_for(b)});
    EXPECT_EQ(g.mark_result, 2);
    // "-7," and "7" make "-7,7", which answers nothing here.
    play({.bank = 1, .time = kClock, .keys = practice_from(1, 5) + keys_for("-" + a + ",") + keys_for(a)});
    EXPECT_EQ(g.mark_result, 1);
}

TEST(Bank1NumberLineIntegers, WrongThreeTimesEndsWithTheAnswer) {
    play({.bank = 1, .time = kClock, .keys = practice_from(1, 5)});
    Text a = expected(1, 1), b = expected(2, 1);
    // A and B exchanged.
    std::string wrong = keys_for(b) + keys_for(a);
    PlayResult r = play({.bank = 1, .time = kClock,
                         .keys = practice_from(1, 5) + wrong + "{Space}" + wrong + "{Space}" + wrong});
    EXPECT_EQ(g.attempt_count, 3);
    EXPECT_EQ(g.mark_result, 1);
    EXPECT_EQ(grid_mark(r.trace, 5), "×");
    EXPECT_EQ(count_text(r.trace, "スペース　キーを押す"), 2);
    EXPECT_EQ(row(r.trace, 252, kAnyColour, 304), "…" + shown(b));
}

// ---- problem 6: halves C and D ---------------------------------------------------------

TEST(Bank1NumberLineHalves, PointsMidwayBetweenMarksAndAcceptedAnswers) {
    start_up(1);
    std::set<float> c_values, d_values;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        std::string clock = "08:" + std::to_string(10 + seed % 50) + ":" + std::to_string(10 + seed % 43);
        fresh_screen(seed, "", clock);
        Trace trace;
        rt::set_trace(&trace);
        start_routine(1, 6);
        rt::set_trace(nullptr);
        SCOPED_TRACE("seed " + std::to_string(seed));
        c_values.insert(num[3]);
        d_values.insert(num[4]);
        EXPECT_TRUE(num[1] >= 1 && num[1] <= 9) << num[1];
        EXPECT_TRUE(std::regex_match(num_text[3], std::regex("[1-8]\\.5"))) << num_text[3];
        EXPECT_TRUE(std::regex_match(num_text[4], std::regex("-[1-8]\\.5"))) << num_text[4];

        Point c = point(trace, "C"), d = point(trace, "D");
        EXPECT_EQ(c.x, 960 + 24 * num[3]);
        EXPECT_EQ(d.x, 960 + 24 * num[4]);
        EXPECT_EQ(std::fmod(c.x - 720, 24.0f), 12);
        EXPECT_EQ(std::fmod(d.x - 720, 24.0f), 12);
        EXPECT_EQ(point(trace, "A").x, -1);   // only C and D are marked

        EXPECT_EQ(expected(1, 1), num_text[3]);
        EXPECT_EQ(expected(2, 1), num_text[4]);
        EXPECT_EQ(expected(1, 2), "+" + num_text[3]);
        EXPECT_EQ(g.alternative2, "mk+" + num_text[3]);
        EXPECT_EQ(g.alternative, "");
    }
    EXPECT_EQ(c_values.size(), 8u);
    EXPECT_EQ(d_values.size(), 8u);
}

TEST(Bank1NumberLineHalves, HintsSayWhereHalvesLieAndAnswerNamesD) {
    start_up(1);
    fresh_screen(8);
    start_routine(1, 6);
    Trace trace;
    rt::set_trace(&trace);
    script::bank(1).hint1(6);
    script::bank(1).hint2(6);
    script::bank(1).answer(6);
    rt::set_trace(nullptr);
    EXPECT_EQ(row(trace, 180, kAnyColour, 32), "数と数のまん中は０．５");
    EXPECT_EQ(row(trace, 216, kAnyColour, 32), "負の数…０より左の方に表される数（－をつける）");
    EXPECT_EQ(row(trace, 279, kAnyColour, 144, 288), "…" + shown(num_text[3]));
    EXPECT_EQ(row(trace, 279, kAnyColour, 304), "…" + shown(num_text[4]));
}

TEST(Bank1NumberLineHalves, RightAtOnceWithBothHalves) {
    play({.bank = 1, .time = kClock, .keys = practice_from(1, 6)});
    Text c = expected(1, 1), d = expected(2, 1);
    PlayResult r = play({.bank = 1, .time = kClock, .keys = practice_from(1, 6) + keys_for(c) + keys_for(d)});
    EXPECT_EQ(g.typed[1], c);
    EXPECT_EQ(g.typed[2], d);
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(grid_mark(r.trace, 6), "○");
}

}  // namespace
