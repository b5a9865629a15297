// Marking: which typed answers count as right, where the ○ and × marks go,
// and how display markup becomes answer form.
#include "tests/answer_fixture.hpp"

namespace {

using Marking = AnswerTest;

float verdict(const Text& typed) {
    g.answer_text = typed;
    check_answer();
    return g.mark_result;
}

TEST_F(Marking, WholeAnswerMatchesOneOfThreePreparedTextsExactly) {
    g.expected_all = "-3";
    g.alternative = "3-";
    g.alternative2 = "-3.0";
    EXPECT_EQ(verdict("-3"), 2);
    EXPECT_EQ(verdict("3-"), 2);
    EXPECT_EQ(verdict("-3.0"), 2);
    EXPECT_EQ(verdict("- 3 "), 2);  // spaces never count
    EXPECT_EQ(g.answer_text, "-3");
    EXPECT_EQ(verdict("-03"), 1);   // no arithmetic: another form is another answer
    EXPECT_EQ(verdict("-3,"), 1);
    EXPECT_EQ(verdict("3"), 1);

    g.expected_all = "2x";
    EXPECT_EQ(verdict("2X"), 1);  // case matters
    EXPECT_EQ(verdict("x2"), 1);  // order matters

    // A fraction compares as numerator, "/", denominator; a prepared text that
    // still holds markers never matches.
    g.expected_all = "2/3";
    EXPECT_EQ(verdict("2/3"), 2);
    g.expected_all = "ﾀ2/3ﾀ"_sj;
    g.alternative = "ﾝ2ﾝ/3ﾝﾝ"_sj;
    g.alternative2 = "";
    EXPECT_EQ(verdict("2/3"), 1);
}

TEST_F(Marking, PerBlankMarkJudgesTheBlankJustClosed) {
    g.blank_count = 3;
    g.blanks_left = 2;  // blank 2 is being closed
    g.blank_x[2] = 600;
    g.blank_y[2] = 576;
    g.expected(2, 1) = "1/2";
    g.expected(2, 2) = "2/4";

    g.typed[2] = "2/4";
    per_blank_mark();
    EXPECT_EQ(drawn(), (Lines{"circle 592,585 r15 c8"}));

    g.typed[2] = "1/2";
    per_blank_mark();
    EXPECT_EQ(drawn(), (Lines{"circle 592,585 r15 c8"}));

    g.typed[2] = "1/3";
    per_blank_mark();
    EXPECT_EQ(drawn(), (Lines{"line 584,576 616,603 c8", "line 584,603 616,576 c8"}));

    // An empty second form never makes a typed blank right.
    g.expected(2, 2) = "";
    g.typed[2] = "2/4";
    per_blank_mark();
    EXPECT_EQ(count_prefix(drawn(), "line"), 2);
}

TEST_F(Marking, WholeAnswerMarkIsCentredOnTheMarkPoint) {
    g.mark_x = 504;
    g.mark_y = 584;
    g.mark_result = 1;
    draw_mark();
    EXPECT_EQ(drawn(), (Lines{"line 488,566 520,602 c5", "line 520,566 488,602 c5"}));
    g.mark_result = 2;
    draw_mark();
    EXPECT_EQ(drawn(), (Lines{"circle 504,584 r22 c5"}));
}

TEST_F(Marking, SecondFormsEarnBlankMarksButNotTheWholeAnswer) {
    g.blank_count = 2;
    g.answer_label[1] = ",";
    g.expected(1, 1) = "1/2";
    g.expected(1, 2) = "2/4";
    g.expected(2, 1) = "3";
    g.expected(2, 2) = "+3";
    g.expected_all = "1/23";
    const std::string second_forms = "{F1}4{Enter}2{Enter}{Enter}+3{Enter}";

    EXPECT_EQ(answer(second_forms), "marked");
    EXPECT_EQ(g.typed[1], "2/4");
    EXPECT_EQ(g.typed[2], "+3");
    EXPECT_EQ(count_prefix(drawn(), "circle"), 2);
    EXPECT_EQ(g.mark_result, 1);

    g.alternative = "2/4+3";
    EXPECT_EQ(answer(second_forms), "marked");
    EXPECT_EQ(g.mark_result, 2);

    g.alternative = "";
    g.alternative2 = "2/4+3";
    EXPECT_EQ(answer(second_forms), "marked");
    EXPECT_EQ(g.mark_result, 2);

    // Main forms: right as a whole through expected_all.
    g.alternative2 = "";
    EXPECT_EQ(answer("{F1}2{Enter}1{Enter}{Enter}3{Enter}"), "marked");
    EXPECT_EQ(count_prefix(drawn(), "circle"), 2);
    EXPECT_EQ(g.mark_result, 2);
}

TEST_F(Marking, StripAnswerMarksCutsOnlyTheFourMarks) {
    g.work_string = "ﾀ-3^2/4=ﾝﾀ"_sj;
    strip_answer_marks();
    EXPECT_EQ(g.work_string, "-32/4");

    g.work_string = "^ﾝﾀ=^^ﾀﾝ="_sj;
    strip_answer_marks();
    EXPECT_EQ(g.work_string, "");

    g.work_string = "x+1";
    strip_answer_marks();
    EXPECT_EQ(g.work_string, "x+1");

    // Double-byte characters whose second byte equals a mark stay whole.
    const Text words = "運動の安全胃"_sj;
    g.work_string = words;
    strip_answer_marks();
    EXPECT_EQ(g.work_string, words);
}

}  // namespace
