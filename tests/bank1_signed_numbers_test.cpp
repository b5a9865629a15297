// The first bank's problems 1 to 3: the terms (self-check), temperatures with
// the thermometer, and numbers written with a sign.
#include <cmath>
#include <numeric>
#include <regex>
#include <set>

#include "tests/problem_play.hpp"

namespace {

using namespace problem_play;
using script::num;
using script::num_text;
using script::aux;
using script::frac_text;
using script::expected;

// The bar of a stacked fraction w cells wide, as drawn on its row.
std::string bar(std::size_t w) {
    std::string out;
    for (std::size_t i = 0; i < w; ++i) out += "―";
    return out;
}

// ---- problem 1: terms ---------------------------------------------------------

TEST(Bank1Terms, BoxesOfTheQuestionAreFilledWithTheTermsAfterTheKeyPause) {
    start_up(1);
    fresh_screen(1, "x");
    Trace trace;
    rt::set_trace(&trace);
    start_routine(1, 1);
    rt::set_trace(nullptr);

    EXPECT_EQ(row(trace, 72, kAnyColour, 64), "次の問題と答えをノートに書きなさい。");
    // Three half-width blanks move the pen 48 dots before the heading.
    EXPECT_EQ(count_text(trace, "＜"), 1);
    for (const auto& e : trace)
        if (e.text == "＜") { EXPECT_EQ(e.x1, 80); }

    // Six boxes for the question, then the key pause, then the same boxes again
    // with the terms in them.
    std::vector<std::size_t> boxes;
    std::size_t pause = 0;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        const auto& e = trace[i];
        if (e.op == "line" && e.mode == "fill" && e.fill == 6) boxes.push_back(i);
        if (e.text == "何" && e.y1 == 648) pause = i;
    }
    ASSERT_EQ(boxes.size(), 12u);
    EXPECT_GT(pause, boxes[5]);
    EXPECT_LT(pause, boxes[6]);
    const float left[] = {240, 240, 160, 352, 256, 336};
    const float top[] = {144, 180, 234, 234, 270, 306};
    const float width[] = {80, 80, 96, 96, 48, 64};
    for (int i = 0; i < 6; ++i) {
        for (int pass = 0; pass < 2; ++pass) {
            const auto& b = trace[boxes[i + 6 * pass]];
            SCOPED_TRACE("box " + std::to_string(i + 1) + " pass " + std::to_string(pass + 1));
            EXPECT_EQ(b.x1, left[i]);
            EXPECT_EQ(b.y1, top[i]);
            EXPECT_EQ(b.x2 - b.x1, width[i]);
            EXPECT_EQ(b.y2 - b.y1, 18);
            EXPECT_EQ(b.c, 15);
        }
    }

    // The terms, centred in their boxes: "正の数" in the 80-dot box of ① at 240 + 16.
    EXPECT_EQ(row(trace, 144, kAnyColour, 240, 320), "問１正の数");
    EXPECT_EQ(row(trace, 180, kAnyColour, 240, 320), "問２負の数");
    EXPECT_EQ(row(trace, 234, kAnyColour, 160, 256), "問３正の符号");
    EXPECT_EQ(row(trace, 234, kAnyColour, 352, 448), "問４負の符号");
    EXPECT_EQ(row(trace, 270, kAnyColour, 256, 304), "問５０");
    EXPECT_EQ(row(trace, 306, kAnyColour, 336, 400), "問６自然数");
    for (const auto& e : trace)
        if (e.text == "正" && e.y1 == 144) { EXPECT_EQ(e.x1, 256); }
    // The text after each box of the question stays: " という。" after ①.
    EXPECT_EQ(row(trace, 144, kAnyColour, 320), "という。");
    EXPECT_EQ(row(trace, 270, kAnyColour, 304), "、負の整数がある。");
}

TEST(Bank1Terms, SelfCheckAcceptsOneAndItsAlternatives) {
    start_up(1);
    fresh_screen(1, "x");
    start_routine(1, 1);
    EXPECT_EQ(g.blank_count, 1);
    EXPECT_EQ(expected(1, 1), "1");
    EXPECT_EQ(g.expected_all, "1");
    EXPECT_EQ(g.alternative2, g.pen_x_text + g.pen_y_text);
    EXPECT_EQ(g.alternative, "");
}

TEST(Bank1Terms, ZeroBringsTheEmptyHintsAndAnotherTryThenOneIsRight) {
    PlayResult r = play({.bank = 1, .time = kClock, .keys = practice_from(1, 1) + "x" + "0{Enter}{Space}1{Enter}"});
    EXPECT_EQ(g.attempt_count, 2);
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(utf8(g.typed[1]), "1");
    EXPECT_EQ(grid_mark(r.trace, 1), "×");
    EXPECT_GE(count_text(r.trace, "☆もう１度練習する…１    ☆次に進む…２"), 1);

    r = play({.bank = 1, .time = kClock, .keys = practice_from(1, 1) + "x" + "1{Enter}"});
    EXPECT_EQ(g.attempt_count, 1);
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(grid_mark(r.trace, 1), "○");
}

// ---- problem 2: temperatures ---------------------------------------------------

TEST(Bank1Temperatures, ValuesAndAcceptedAnswersOverManyStarts) {
    start_up(1);
    std::regex one_place("[1-9][0-9]?(\\.[1-9])?");
    int whole = 0;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        fresh_screen(seed);
        start_routine(1, 2);
        SCOPED_TRACE("seed " + std::to_string(seed));
        EXPECT_GE(num[1], 1.0f);
        EXPECT_LE(num[1], 15.9f + 1e-4f);
        EXPECT_LE(num[2], -1.0f);
        EXPECT_GE(num[2], -15.9f - 1e-4f);
        EXPECT_EQ(num[3], -num[2]);
        // One decimal place at most, and none for a whole number: 7.0 is "7".
        EXPECT_TRUE(std::regex_match(num_text[1], one_place)) << num_text[1];
        EXPECT_TRUE(std::regex_match(num_text[3], one_place)) << num_text[3];
        EXPECT_NEAR(std::stof(num_text[1]), num[1], 1e-4);
        if (num[1] == std::floor(num[1]) || num[2] == std::floor(num[2])) ++whole;

        // The lower temperature is asked without its sign and expected with it.
        EXPECT_EQ(expected(1, 1), num_text[1]);
        EXPECT_EQ(expected(2, 1), "-" + num_text[3]);
        EXPECT_EQ(expected(1, 2), "");
        EXPECT_EQ(expected(2, 2), "");
        EXPECT_EQ(g.expected_all, num_text[1] + "-" + num_text[3]);
        EXPECT_EQ(g.alternative, "");
        EXPECT_EQ(g.alternative2, "mk");
        EXPECT_EQ(g.blank_count, 2);
        EXPECT_EQ(utf8(g.answer_label[1]), "　℃ ②　");
        EXPECT_EQ(utf8(g.answer_label[2]), " ℃ ");
    }
    EXPECT_GT(whole, 0) << "no whole temperature drawn: the check of its text never ran";
}

TEST(Bank1Temperatures, QuestionShowsTheLowerTemperatureWithoutItsSign) {
    start_up(1);
    fresh_screen(7);
    Trace trace;
    rt::set_trace(&trace);
    start_routine(1, 2);
    rt::set_trace(nullptr);
    EXPECT_EQ(row(trace, 72, kAnyColour, 64), "次の温度をいいなさい。");
    EXPECT_EQ(row(trace, 99, kAnyColour, 64), "①０℃より" + shown(num_text[1]) + "℃高い温度");
    EXPECT_EQ(row(trace, 126, kAnyColour, 64), "②０℃より" + shown(num_text[3]) + "℃低い温度");
    // The panel: 48, 63 to 480, 171, drawn 4 dots beyond top and bottom.
    bool panel = false;
    for (const auto& e : fills(trace, 2)) panel |= e.x1 == 48 && e.y1 == 59 && e.x2 == 480 && e.y2 == 175;
    EXPECT_TRUE(panel);
}

TEST(Bank1Temperatures, FirstValueNeverRepeatsOnTheNextStart) {
    start_up(1);
    fresh_screen(3);
    float previous = -1;
    std::set<float> seen;
    for (int i = 0; i < 300; ++i) {
        start_routine(1, 2);
        EXPECT_NE(num[1], previous);
        EXPECT_EQ(g.last_first_value, num[1]);
        previous = num[1];
        seen.insert(num[1]);
    }
    EXPECT_GT(seen.size(), 50u);
}

// The thermometer drawn by hint 1 and its column redrawn by hint 2.
TEST(Bank1Temperatures, ThermometerShowsTheHigherThenTheLowerTemperature) {
    start_up(1);
    fresh_screen(11);
    start_routine(1, 2);
    Trace trace;
    rt::set_trace(&trace);
    script::bank(1).hint1(2);
    rt::set_trace(nullptr);

    int degrees = 0, fives = 0, tens = 0;
    for (const auto& e : trace) {
        if (e.op != "line" || e.mode != "line") continue;
        degrees += e.x1 == 1016 && e.x2 == 1040;
        fives += e.x1 == 1008 && e.x2 == 1048;
        tens += e.x1 == 960 && e.x2 == 1096;
    }
    EXPECT_EQ(degrees, 70);
    EXPECT_EQ(fives, 14);
    EXPECT_EQ(tens, 8);
    // The scale's labels on both sides, right-aligned in three cells.
    EXPECT_EQ(row(trace, 422, kAnyColour, 960, 1008), "－３０");
    EXPECT_EQ(row(trace, 422, kAnyColour, 1048, 1096), "－３０");
    EXPECT_EQ(row(trace, 302, kAnyColour, 960, 1008), "０");
    EXPECT_EQ(row(trace, 142, kAnyColour, 1048, 1096), "４０");
    for (const auto& e : trace)
        if (e.text == "０" && e.y1 == 302) { EXPECT_TRUE(e.x1 == 992 || e.x1 == 1080) << e.x1; }
    bool bulb = false;
    for (const auto& e : trace) bulb |= e.op == "circle" && e.x1 == 1028 && e.y1 == 472 && e.r == 16 && e.fill == 5;
    EXPECT_TRUE(bulb);

    // The column last, from the foot of the scale up to the temperature.
    std::vector<rt::TraceEntry> columns = fills(trace, 5);
    ASSERT_FALSE(columns.empty());
    const auto& column = columns.back();
    EXPECT_EQ(column.x1, 1024);
    EXPECT_EQ(column.y1, 440);
    EXPECT_EQ(column.x2, 1032);
    EXPECT_NEAR(column.y2, 320 - 4 * num[1], 1e-3);

    trace.clear();
    rt::set_trace(&trace);
    script::bank(1).hint2(2);
    script::bank(1).answer(2);
    rt::set_trace(nullptr);
    EXPECT_EQ(row(trace, 288, kAnyColour, 48), "①" + shown(num_text[1]) + "℃");
    EXPECT_EQ(row(trace, 324, kAnyColour, 48), "②" + shown(num_text[2]) + "℃");
    std::vector<rt::TraceEntry> tube = fills(trace, 14), lower = fills(trace, 5);
    ASSERT_EQ(tube.size(), 1u);
    EXPECT_EQ(tube[0].y2, 160);
    ASSERT_EQ(lower.size(), 1u);
    EXPECT_NEAR(lower[0].y2, 320 - 4 * num[2], 1e-3);
    EXPECT_GT(lower[0].y2, 320);
}

TEST(Bank1Temperatures, ColumnOfTheExtremeTemperaturesStaysInsideTheScale) {
    start_up(1);
    fresh_screen(1);
    start_routine(1, 2);
    num[1] = 15.9f;
    num[2] = -15.9f;
    Trace trace;
    rt::set_trace(&trace);
    script::bank(1).hint1(2);
    script::bank(1).hint2(2);
    rt::set_trace(nullptr);
    std::vector<rt::TraceEntry> columns = fills(trace, 5);
    ASSERT_GE(columns.size(), 2u);
    EXPECT_NEAR(columns[columns.size() - 2].y2, 256, 0.5);
    EXPECT_NEAR(columns.back().y2, 384, 0.5);
}

TEST(Bank1Temperatures, RightAtOnceShowsThermometerHintsAndAnswer) {
    play({.bank = 1, .time = kClock, .keys = practice_from(1, 2)});
    Text high = expected(1, 1), low = expected(2, 1);
    PlayResult r = play({.bank = 1, .time = kClock, .keys = practice_from(1, 2) + keys_for(high) + keys_for(low)});
    EXPECT_EQ(g.typed[1], high);
    EXPECT_EQ(g.typed[2], low);
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(grid_mark(r.trace, 2), "○");
    EXPECT_EQ(fills(r.trace, 14).size(), 2u);   // the tube, emptied again by hint 2
    EXPECT_EQ(row(r.trace, 324, kAnyColour, 48, 320), "②" + shown(low) + "℃");
    EXPECT_EQ(count_text(r.trace, "スペース　キーを押す"), 0);
}

TEST(Bank1Temperatures, LowerTemperatureWithoutItsSignIsWrongThreeTimes) {
    play({.bank = 1, .time = kClock, .keys = practice_from(1, 2)});
    Text high = expected(1, 1), unsigned_low = num_text[3];
    std::string wrong = keys_for(high) + keys_for(unsigned_low);
    PlayResult r = play({.bank = 1, .time = kClock,
                         .keys = practice_from(1, 2) + wrong + "{Space}" + wrong + "{Space}" + wrong});
    EXPECT_EQ(g.attempt_count, 3);
    EXPECT_EQ(g.mark_result, 1);
    EXPECT_EQ(grid_mark(r.trace, 2), "×");
    EXPECT_EQ(count_text(r.trace, "スペース　キーを押す"), 2);
    EXPECT_EQ(row(r.trace, 324, kAnyColour, 48, 320), "②－" + shown(unsigned_low) + "℃");
    EXPECT_GE(count_text(r.trace, "☆もう１度練習する…１    ☆次に進む…２"), 1);
}

TEST(Bank1Temperatures, TheHigherTemperatureMayBeWrittenWithItsPlusButNotAsAPairOfOpposites) {
    play({.bank = 1, .time = kClock, .keys = practice_from(1, 2)});
    Text high = num_text[1], low = num_text[2];
    PlayResult r = play({.bank = 1, .time = kClock, .keys = practice_from(1, 2) + keys_for("+" + high) + keys_for(low)});
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(grid_mark(r.trace, 2), "○");
    play({.bank = 1, .time = kClock, .keys = practice_from(1, 2) + keys_for("-" + high + ",") + keys_for(high)});
    EXPECT_EQ(g.mark_result, 1);
}

// ---- problem 3: numbers written with a sign --------------------------------------

TEST(Bank1SignedNumbers, ValuesAndAcceptedAnswersOverManyStarts) {
    start_up(1);
    int reduced = 0;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        fresh_screen(seed);
        start_routine(1, 3);
        SCOPED_TRACE("seed " + std::to_string(seed));
        // 1.1 to 9.9 with a tenths digit 1 to 9.
        EXPECT_TRUE(std::regex_match(num_text[11], std::regex("[1-9]\\.[1-9]"))) << num_text[11];
        EXPECT_EQ(num[1], num[11]);
        int a = static_cast<int>(aux[1]), b = static_cast<int>(aux[2]);
        EXPECT_GE(a, 1);
        EXPECT_LE(a, 5);
        EXPECT_GE(b, 6);
        EXPECT_LE(b, 20);
        EXPECT_FLOAT_EQ(num[2], -aux[1] / aux[2]);

        int d = std::gcd(a, b);
        if (d > 1) ++reduced;
        std::string n = std::to_string(a / d), m = std::to_string(b / d);
        EXPECT_NE(m, "1");   // always a proper fraction
        EXPECT_EQ(frac_text[1], "\xC0" + n + "/" + m + "\xC0");
        EXPECT_EQ(frac_text[2], "-\xC0" + n + "/" + m + "\xC0");

        EXPECT_EQ(expected(1, 1), "+" + num_text[11]);
        EXPECT_EQ(expected(2, 1), "-" + n + "/" + m);
        EXPECT_EQ(expected(1, 2), "");
        EXPECT_EQ(expected(2, 2), "");
        EXPECT_EQ(g.expected_all, "+" + num_text[11] + "-" + n + "/" + m);
        EXPECT_EQ(g.alternative2, "mk");
        EXPECT_EQ(g.blank_count, 2);
    }
    EXPECT_GT(reduced, 0) << "no reducible fraction drawn";
}

TEST(Bank1SignedNumbers, FirstValueNeverRepeatsOnTheNextStart) {
    start_up(1);
    fresh_screen(5);
    float previous = -1;
    for (int i = 0; i < 300; ++i) {
        start_routine(1, 3);
        EXPECT_NE(num[11], previous);
        previous = num[11];
    }
}

TEST(Bank1SignedNumbers, QuestionAndHintsShowTheNumbersAndTheThermometer) {
    start_up(1);
    fresh_screen(9);
    Trace trace;
    rt::set_trace(&trace);
    start_routine(1, 3);
    script::bank(1).hint1(3);
    std::size_t after_hint1 = trace.size();
    script::bank(1).hint2(3);
    script::bank(1).answer(3);
    rt::set_trace(nullptr);

    EXPECT_EQ(row(trace, 72, kAnyColour, 64), "次の数を、正の符号、負の符号をつけて表しなさい。");
    EXPECT_EQ(row(trace, 99, kAnyColour, 64), "①０より" + shown(num_text[11]) + "大きい数");
    // The fraction is stacked: its bar on the row between "② 0より" and " 小さい数",
    // the numerator 12 dots above, the denominator 15 below.
    std::string n = utf8(expected(2, 1)).substr(1, utf8(expected(2, 1)).find('/') - 1);
    std::string m = utf8(expected(2, 1)).substr(utf8(expected(2, 1)).find('/') + 1);
    EXPECT_EQ(row(trace, 144, kAnyColour, 64), "②０より" + bar(m.size()) + "小さい数");
    EXPECT_EQ(row(trace, 132, kAnyColour, 64, 400), shown(n));
    EXPECT_EQ(row(trace, 159, kAnyColour, 64, 400), shown(m));
    EXPECT_EQ(row(trace, 288, kAnyColour, 48), "①＋" + shown(num_text[11]));
    EXPECT_EQ(row(trace, 324, kAnyColour, 48), "②－" + bar(m.size()));

    // Hint 1's column at the decimal, hint 2's just below the 0 ℃ mark.
    std::vector<rt::TraceEntry> columns = fills(Trace(trace.begin(), trace.begin() + after_hint1), 5);
    ASSERT_FALSE(columns.empty());
    EXPECT_NEAR(columns.back().y2, 320 - 4 * num[11], 1e-3);
    columns = fills(Trace(trace.begin() + after_hint1, trace.end()), 5);
    ASSERT_EQ(columns.size(), 1u);
    EXPECT_GT(columns[0].y2, 320);
    EXPECT_LT(columns[0].y2, 324);
}

TEST(Bank1SignedNumbers, SignedDecimalAndTypedFractionAreRight) {
    play({.bank = 1, .time = kClock, .keys = practice_from(1, 3)});
    Text first = expected(1, 1), second = expected(2, 1);
    PlayResult r = play({.bank = 1, .time = kClock, .keys = practice_from(1, 3) + keys_for(first) + keys_for(second)});
    EXPECT_EQ(g.typed[1], first);
    EXPECT_EQ(g.typed[2], second);
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(grid_mark(r.trace, 3), "○");
}

TEST(Bank1SignedNumbers, DecimalWithoutItsSignIsWrong) {
    play({.bank = 1, .time = kClock, .keys = practice_from(1, 3)});
    Text unsigned_decimal = num_text[11], second = expected(2, 1);
    std::string wrong = keys_for(unsigned_decimal) + keys_for(second);
    PlayResult r = play({.bank = 1, .time = kClock,
                         .keys = practice_from(1, 3) + wrong + "{Space}" + wrong + "{Space}" + wrong});
    EXPECT_EQ(g.attempt_count, 3);
    EXPECT_EQ(g.mark_result, 1);
    EXPECT_EQ(grid_mark(r.trace, 3), "×");
    EXPECT_EQ(count_text(r.trace, "スペース　キーを押す"), 2);
    // The answer routine ran: the sign and the bar of the stacked fraction.
    EXPECT_EQ(row(r.trace, 324, kAnyColour, 48, 320), "②－" + bar(second.size() - second.find('/') - 1));
}

}  // namespace
