// The common start routine of a script problem and its helpers, seen through
// whole runs of the small test bank and the state they leave.
#include <gtest/gtest.h>

#include "problems/script/script.hpp"
#include "runtime/headless.hpp"
#include "tests/test_bank.hpp"

namespace {

using test_bank::run;
using Trace = std::vector<rt::TraceEntry>;

bool has_symbol(const Trace& trace, float x, float y, const std::string& text, int colour) {
    for (const auto& e : trace)
        if (e.op == "symbol" && e.x1 == x && e.y1 == y && e.text == text && e.c == colour) return true;
    return false;
}

TEST(Script, StartRoutineDrawsHeaderAndPanelAndPreparesTheAnswers) {
    Trace trace = run("1" "3{Enter}");
    EXPECT_TRUE(has_symbol(trace, 4, 63, "ＮＯ", 7));
    EXPECT_TRUE(has_symbol(trace, 12, 81, " 3", 5));
    bool panel = false;
    for (const auto& e : trace)
        panel |= e.op == "line" && e.mode == "fill" && e.x1 == 48 && e.y1 == 59 && e.x2 == 480 &&
                 e.y2 == 175 && e.c == 13 && e.fill == 2;
    EXPECT_TRUE(panel);

    EXPECT_EQ(g.num_text[1], "13");
    EXPECT_EQ(g.num_text[2], "-4");
    EXPECT_EQ(g.aux_text[1], "3.5");
    EXPECT_EQ(g.expected_all, "13-4");
    EXPECT_EQ(g.alternative, "");   // only a problem that needs it sets it
    EXPECT_EQ(g.alternative2, "mk");
    EXPECT_EQ(g.blank_count, 2);

    // Two-digit numbers start one cell further left.
    trace = run("1" "10{Enter}");
    EXPECT_TRUE(has_symbol(trace, 4, 81, " 10", 5));
}

// The test bank has problems 1 to 11: a program of twelve problems on it is
// refused at start-up, naming the missing one.
const script::ProgramDefinition twelve_on_eleven(test_bank::kBank, "tiny", 12);

TEST(Script, AProgramStartsOnlyWithEveryOneOfItsProblemsRegistered) {
    EXPECT_STREQ(script::program(1).title, "varnel1");
    EXPECT_STREQ(script::program(2).title, "varnel2");
    try {
        script::program(test_bank::kBank);
        ADD_FAILURE() << "a program with an unregistered problem was given out";
    } catch (const std::logic_error& e) {
        EXPECT_EQ(std::string(e.what()), "tiny: problem 12 of 12 is not registered");
    }
    EXPECT_THROW(script::program(7), std::logic_error);   // no program defined
}

TEST(Script, SelfCheckLayoutAndPromptLine) {
    Trace trace = run("1" "2{Enter}");
    EXPECT_EQ(g.blank_count, 1);
    EXPECT_EQ(g.expected_all, "1");
    EXPECT_EQ(g.answer_label[1], "　　"_sj);
    EXPECT_EQ(g.answer_label[4], " 　"_sj);
    EXPECT_FALSE(g.pen_x_text.empty());
    EXPECT_EQ(g.alternative2, g.pen_x_text + g.pen_y_text);
    // The prompt's first glyph starts the prompt line at (432, 536) in colour 11.
    const rt::TraceEntry* first = nullptr;
    for (const auto& e : trace)
        if (e.op == "symbol" && e.y1 == 536 && !first) first = &e;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->x1, 432);
    EXPECT_EQ(first->c, 11);
    EXPECT_EQ(first->text, "正");

    // The pupil's 1 is right; the driver shows every routine of the problem.
    trace = run("1" "2{Enter}" + test_bank::right_keys(2));
    EXPECT_EQ(test_bank::markers(trace).back(), "<answer 2>");
}

TEST(Script, EmptySlotIsAFault) {
    EXPECT_THROW(test_bank::bank().start(12), rt::Fault);
    EXPECT_THROW(test_bank::bank().hint1(0), rt::Fault);
    EXPECT_THROW(script::bank(7).start(1), rt::Fault);
}

TEST(Script, ItemHelpers) {
    reset_state();
    rt::install(rt::make_headless({}));
    Trace trace;
    rt::set_trace(&trace);

    // A boxed label: border 15, fill 6, label in 13, the pen at the box's top-right.
    script::pen_x = 100;
    script::pen_y = 200;
    script::boxed("問１"_sj, 80, 18);
    EXPECT_EQ(script::pen_x, 180);
    EXPECT_EQ(script::pen_y, 200);
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace[0].op, "line");
    EXPECT_EQ(trace[0].c, 15);
    EXPECT_EQ(trace[0].fill, 6);
    EXPECT_TRUE(has_symbol(trace, 124, 200, "問", 13));

    // text() places the pen, then() continues where it was left.
    script::text(15, 64, 72, "AB"_sj);
    float after = script::pen_x;
    script::then(11, "C"_sj);
    EXPECT_EQ(trace.back().x1, after);
    EXPECT_EQ(trace.back().c, 11);
    rt::set_trace(nullptr);

    // The fraction helper hands the denominator and numerator over the right way round.
    EXPECT_EQ(script::fraction(-2, 6), "-ﾀ1/3ﾀ"_sj);
    EXPECT_EQ(script::frac_num, -1);
    EXPECT_EQ(script::frac_den, 3);
    EXPECT_EQ(script::stripped("-ﾀ1/3ﾀ"_sj), "-1/3");
    EXPECT_EQ(script::text_of(-12), "-12");
    EXPECT_EQ(script::text_of(3.5f), "3.5");
}

}  // namespace
