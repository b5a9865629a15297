// The problem driver through whole scripted runs of a small bank: which hint
// and answer routines run after which answers, the progress grid, and the
// menus after a problem.
#include <gtest/gtest.h>

#include "runtime/backend.hpp"
#include "tests/problem_play.hpp"
#include "tests/test_bank.hpp"

namespace {

using test_bank::count_text;
using test_bank::kWrongKeys;
using test_bank::markers;
using test_bank::right_keys;
using test_bank::run;
using Trace = std::vector<rt::TraceEntry>;
using Markers = std::vector<std::string>;

const std::string kSpacePrompt = "スペース　キーを押す";
const std::string kNextStep = "☆もう１度練習する…１    ☆次に進む…２";
const std::string kEndOfBank = "☆この問題をもう１度練習する…１    ☆１番から練習する…２    ☆「内容」に戻る…３";

// Practice from problem n: menu choice 1, the start number, Enter.
std::string practice_from(int n) { return "1" + std::to_string(n) + "{Enter}"; }

// The marks the grid shows in problem n's cell, in the order drawn.
std::vector<std::string> grid_marks(const Trace& trace, int n) {
    std::vector<std::string> out;
    for (const auto& e : trace)
        if (e.op == "symbol" && e.x1 == 240 + 16 * (n - 1) && e.y1 == 18) out.push_back(e.text);
    return out;
}

// The completion digits drawn under problem n's cell, as numbers.
std::vector<int> digits(const Trace& trace, int n) {
    std::vector<int> out;
    for (const auto& e : trace) {
        if (e.op != "symbol" || e.x1 != 244 + 16 * (n - 1) || e.y1 != 38 || e.text.empty()) continue;
        const std::string& t = e.text;
        if (t.size() == 1 && t[0] >= '0' && t[0] <= '9') out.push_back(t[0] - '0');
        else if (t.size() == 3 && t.compare(0, 2, "\xEF\xBC") == 0) out.push_back(t[2] - '\x90');   // "０".."９"
    }
    return out;
}

// Whole-answer marks: ○ is a circle of radius 22, × two lines in colour 5.
int right_marks(const Trace& trace) {
    int n = 0;
    for (const auto& e : trace) n += e.op == "circle" && e.r == 22 && e.c == 5;
    return n;
}
int wrong_marks(const Trace& trace) {
    int n = 0;
    for (const auto& e : trace) n += e.op == "line" && e.c == 5 && e.x2 - e.x1 == 32 && e.y2 - e.y1 == 36;
    return n;
}

TEST(Driver, RightAtOnceShowsBothHintsAndTheAnswerWithoutSpacePrompts) {
    Trace trace = run(practice_from(1) + right_keys(1));
    EXPECT_EQ(markers(trace), (Markers{"<q1>", "<hint1 1>", "<hint2 1>", "<answer 1>"}));
    EXPECT_EQ(count_text(trace, kSpacePrompt), 0);
    EXPECT_EQ(right_marks(trace), 1);
    EXPECT_EQ(grid_marks(trace, 1), (std::vector<std::string>{"○"}));
    EXPECT_EQ(digits(trace, 1), (std::vector<int>{1}));
    EXPECT_GT(count_text(trace, kNextStep), 0);
    EXPECT_EQ(g.problem_done[1], 1);
}

TEST(Driver, WrongWrongRightEarnsEachHintThenOnlyTheAnswer) {
    Trace trace = run(practice_from(1) + kWrongKeys + "{Space}" + kWrongKeys + "{Space}" + right_keys(1));
    EXPECT_EQ(markers(trace), (Markers{"<q1>", "<hint1 1>", "<hint2 1>", "<answer 1>"}));
    EXPECT_EQ(count_text(trace, kSpacePrompt), 2);
    EXPECT_EQ(wrong_marks(trace), 2);
    EXPECT_EQ(right_marks(trace), 1);
    EXPECT_EQ(grid_marks(trace, 1), (std::vector<std::string>{"×"}));
    EXPECT_EQ(digits(trace, 1), (std::vector<int>{1}));

    // Right at the second answer: the second hint and the answer, no first hint after it.
    trace = run(practice_from(2) + kWrongKeys + "{Space}" + right_keys(2));
    EXPECT_EQ(markers(trace), (Markers{"<q2>", "<hint1 2>", "<hint2 2>", "<answer 2>"}));
    EXPECT_EQ(count_text(trace, kSpacePrompt), 1);
}

TEST(Driver, ThreeWrongAnswersStillEndTheProblemAndMovingOnIsOffered) {
    std::string wrong3 = kWrongKeys + "{Space}" + kWrongKeys + "{Space}" + kWrongKeys;
    Trace trace = run(practice_from(4) + wrong3 + "2");
    EXPECT_EQ(markers(trace), (Markers{"<q4>", "<hint1 4>", "<hint2 4>", "<answer 4>", "<q5>"}));
    EXPECT_EQ(wrong_marks(trace), 3);
    EXPECT_GT(count_text(trace, kNextStep), 0);
    EXPECT_EQ(g.problem_done[4], 1);
    EXPECT_EQ(g.problem_no, 5);
    EXPECT_EQ(g.attempt_count, 1);   // problem 5 waits for its first answer
}

TEST(Driver, RepeatsKeepTheGridMarkAndCountTheDigitUpToNine) {
    // Right at once, then ten repeats answered wrongly three times each.
    std::string keys = practice_from(1) + right_keys(1);
    for (int i = 0; i < 11; ++i)
        keys += "1" + kWrongKeys + "{Space}" + kWrongKeys + "{Space}" + kWrongKeys;
    Trace trace = run(keys);
    EXPECT_EQ(grid_marks(trace, 1), (std::vector<std::string>{"○"}));
    EXPECT_EQ(digits(trace, 1), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 9}));
    EXPECT_EQ(count_text(trace, "<q1>"), 12);
}

TEST(Driver, EndOfBankMenuOffersTheSameProblemANewRunOrTheMenu) {
    auto cls_count = [](const Trace& t) {
        int n = 0;
        for (const auto& e : t) n += e.op == "cls";
        return n;
    };
    std::string last = practice_from(11) + right_keys(11);
    const int screens = cls_count(run(last));

    Trace trace = run(last + "1");
    EXPECT_GT(count_text(trace, kEndOfBank), 0);
    EXPECT_EQ(count_text(trace, kNextStep), 0);
    EXPECT_EQ(count_text(trace, "<q11>"), 2);
    EXPECT_EQ(g.problem_no, 11);

    // A new run from problem 1: the run counter goes up, the grid is empty again
    // and the screen is not cleared.
    trace = run(last + "2" + right_keys(1));
    EXPECT_EQ(g.practice_runs, 2);
    EXPECT_EQ(g.problem_no, 1);
    EXPECT_EQ(g.problem_done[11], 0);
    EXPECT_EQ(g.problem_done[1], 1);
    EXPECT_EQ(markers(trace).back(), "<answer 1>");
    EXPECT_EQ(grid_marks(trace, 1), (std::vector<std::string>{"○"}));
    EXPECT_EQ(cls_count(trace), screens);
    // Nothing of the old run's completion digits is left under the grid.
    run(last + "2");
    const rt::Canvas& screen = rt::backend().canvas();
    int inked = 0;
    for (int y = 34; y <= 53; ++y)
        for (int x = 240; x < 416; ++x) inked += (screen.pixels()[y * screen.width() + x] & 0xFFFFFF) != 0;
    EXPECT_EQ(inked, 0);

    // Back to the main menu, which then ends the program.
    trace = run(last + "3" + "3" + "1");
    EXPECT_EQ(cls_count(trace), screens + 1);
    EXPECT_EQ(count_text(trace, "何番から始めますか　番号を入力し、Enter キーを押してください。"), 1);
}

// The real programs, whatever their count: the last problem ends with the
// end-of-bank menu, whose choices lead to it again, to problem 1 in a new run,
// or to the main menu.
TEST(Driver, TheLastProblemOfEachProgramEndsWithTheEndOfBankMenu) {
    for (int bank : {1, 2}) {
        SCOPED_TRACE("varnel" + std::to_string(bank));
        const int last = program_of_bank(bank).problem_count;
        const std::string keys = problem_play::right_at_once(bank, last);
        Trace trace = problem_play::run(bank, keys + "1");
        EXPECT_GT(count_text(trace, kEndOfBank), 0);
        EXPECT_EQ(count_text(trace, kNextStep), 0);
        EXPECT_EQ(count_text(trace, "ＮＯ"), 2);
        EXPECT_EQ(g.problem_no, last);

        problem_play::run(bank, keys + "2");
        EXPECT_EQ(g.problem_no, 1);
        EXPECT_EQ(g.practice_runs, 2);

        trace = problem_play::run(bank, keys + "3");
        EXPECT_EQ(count_text(trace, "★"), 6);   // the main menu's three lines, twice
    }
}

// The helpers of the real programs' tests name their program, and refuse a
// problem it does not have (varnel1 has a problem numbered one past
// varnel2's last): the test fails, saying so, instead of playing another.
TEST(Driver, ATestOfAProblemItsProgramLacksFailsSayingSo) {
    const int last2 = program_of_bank(2).problem_count;
    EXPECT_NO_THROW(problem_play::right_at_once(1, last2 + 1));
    EXPECT_THROW(problem_play::right_at_once(2, last2 + 1), std::invalid_argument);
    EXPECT_THROW(problem_play::practice_from(2, 0), std::invalid_argument);
    EXPECT_THROW(problem_play::Starts(2).start(last2 + 1, 0), std::invalid_argument);
    EXPECT_THROW(problem_play::start_routine(1, program_of_bank(1).problem_count + 1), std::invalid_argument);
}

TEST(Driver, AnAbandonedLineSpendsTheAttemptWithoutAHint) {
    const std::string overflow(53, '1');   // 53 cells from x 496 reach the right edge at 1344

    // First attempt abandoned: straight to the second, whose right answer earns hint 2 and the answer.
    Trace trace = run(practice_from(1) + overflow + right_keys(1));
    EXPECT_EQ(markers(trace), (Markers{"<q1>", "<hint2 1>", "<answer 1>"}));
    EXPECT_EQ(count_text(trace, kSpacePrompt), 0);
    EXPECT_EQ(right_marks(trace), 1);
    EXPECT_TRUE(grid_marks(trace, 1).empty());

    // Third attempt abandoned: it counts as the third, wrong answer and the problem ends.
    trace = run(practice_from(1) + kWrongKeys + "{Space}" + kWrongKeys + "{Space}" + overflow + "2");
    EXPECT_EQ(markers(trace), (Markers{"<q1>", "<hint1 1>", "<hint2 1>", "<answer 1>", "<q2>"}));
    EXPECT_EQ(wrong_marks(trace), 2);   // nothing is marked for the abandoned line
    EXPECT_EQ(digits(trace, 1), (std::vector<int>{1}));
    EXPECT_EQ(g.problem_done[1], 1);
    EXPECT_EQ(g.problem_no, 2);
}

}  // namespace

// A pupil with only the on-screen keypad answers every problem of both
// programs: each key that types a problem's answer is one of the keypad's
// (a character by its key, a symbol by its function key's label).
TEST(Driver, EveryAnswerOfBothProgramsCanBeTypedOnTheKeypad) {
    const rt::PadRows pad = pupils_keypad();
    auto on_pad = [&](const std::string& token, bool named) {
        for (const auto& row : pad)
            for (const rt::PadKey& key : row)
                if (key.key == token || (!named && key.key[0] == 'F' && key.label == token)) return true;
        return false;
    };
    for (int bank : {1, 2}) {
        for (int n = 1; n <= program_of_bank(bank).problem_count; ++n) {
            problem_play::run(bank, problem_play::practice_from(bank, n) + "x");
            for (int k = 1; k <= g.blank_count; ++k) {
                const std::string keys = problem_play::keys_for(sjis::to_utf8(g.expected(k, 1)));
                for (std::size_t i = 0; i < keys.size();) {
                    const bool named = keys[i] == '{';
                    const std::size_t from = i;
                    if (named) i = keys.find('}', i) + 1;
                    else sjis::next_utf8(keys, i);
                    const std::string token = named ? keys.substr(from + 1, i - from - 2) : keys.substr(from, i - from);
                    EXPECT_TRUE(on_pad(token, named)) << "varnel" << bank << " problem " << n << " blank " << k
                                                      << " needs " << token << ", which the keypad lacks";
                }
            }
        }
    }
}
