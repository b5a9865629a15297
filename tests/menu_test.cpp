// The main menu, the choice of the first problem and browsing, through whole
// scripted runs of the small test bank.
#include <gtest/gtest.h>

#include "tests/test_bank.hpp"

namespace {

using test_bank::count_text;
using test_bank::markers;
using test_bank::right_keys;
using test_bank::run;
using Trace = std::vector<rt::TraceEntry>;
using Markers = std::vector<std::string>;

const std::string kAskStart = "何番から始めますか　番号を入力し、Enter キーを押してください。";

std::vector<std::string> keys_read(const Trace& trace) {
    std::vector<std::string> out;
    for (const auto& e : trace)
        if (e.op == "key") out.push_back(e.text);
    return out;
}

TEST(Menu, FirstLineNamesTheProblemCount) {
    Trace trace = run("");
    std::string line;   // the glyphs of the first menu line, as drawn
    for (const auto& e : trace)
        if (e.op == "symbol" && e.y1 == 216) line += e.text;
    EXPECT_NE(line.find("練習１１題"), std::string::npos) << line;
}

TEST(Menu, OnlyOneToThreeAreTakenAndThreeEndsAtOnce) {
    Trace trace = run("40a3" "1");
    EXPECT_EQ(keys_read(trace), (std::vector<std::string>{"4", "0", "a", "3"}));   // "1" is never read
    EXPECT_EQ(count_text(trace, kAskStart), 0);
    EXPECT_EQ(count_text(trace, "問題を見る"), 0);
}

TEST(Menu, StartNumberOutsideTheBankIsAskedAgain) {
    Trace trace = run("1" "12{Enter}" "11{Enter}");
    EXPECT_EQ(count_text(trace, kAskStart), 2);
    EXPECT_EQ(markers(trace), (Markers{"<q11>"}));
    EXPECT_EQ(g.problem_no, 11);

    trace = run("1" "0{Enter}" "{Enter}" "abc{Enter}" "3abc{Enter}");
    EXPECT_EQ(count_text(trace, kAskStart), 4);
    EXPECT_EQ(markers(trace), (Markers{"<q3>"}));
    EXPECT_EQ(g.problem_no, 3);
    EXPECT_EQ(g.practice_runs, 1);
    EXPECT_EQ(g.start_text, "3abc");
}

TEST(Menu, BrowsingShowsEveryProblemWithoutMarkingThenPracticeAsksAgain) {
    // A scripted key reaches the poll after an empty one, so each key flush
    // between two problems drops one key typed ahead: letters pad the Enters,
    // and the Enter prompt and the menu ignore the letters that are left over.
    std::string enters;
    for (int i = 0; i < 11; ++i) enters += "xxx{Enter}";
    Trace trace = run("2" + enters);
    Markers shown;
    for (int n = 1; n <= 11; ++n) shown.push_back("<q" + std::to_string(n) + ">");
    EXPECT_EQ(markers(trace), shown);
    EXPECT_EQ(count_text(trace, "Enterキーを押す"), 11);
    EXPECT_EQ(count_text(trace, "回"), 0);   // no progress grid
    for (const auto& e : trace) EXPECT_FALSE(e.op == "circle" && e.r == 22) << "a mark while browsing";
    EXPECT_EQ(g.view_mode, 0);
    EXPECT_EQ(g.practice_runs, 0);
    EXPECT_EQ(g.problem_done[1], 0);

    // Back on the menu: practice asks for answers again.
    trace = run("2" + enters + "xx" "11{Enter}" + right_keys(1));
    Markers m = markers(trace);
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m.back(), "<answer 1>");
    EXPECT_EQ(g.practice_runs, 1);
}

}  // namespace
