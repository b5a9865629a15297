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

TEST_F(Marking, ALineOfSmallCirclesIsRightAsAWhole) {
    g.blank_count = 2;
    g.answer_label[1] = ",";
    g.expected(1, 1) = "1/2";
    g.expected(1, 2) = "2/4";
    g.expected(2, 1) = "3";
    g.expected(2, 2) = "";
    g.expected_all = "1/23";
    struct Case {
        std::string keys;
        int circles;
        float verdict;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"{F1}2{Enter}1{Enter}{Enter}3{Enter}", 2, 2},    // main forms
             {"{F1}4{Enter}2{Enter}{Enter}3{Enter}", 2, 2},    // a second form
             {"{F1}4{Enter}2{Enter}{Enter}+3{Enter}", 2, 2},   // a positive number with its "+"
             {"{F1}4{Enter}2{Enter}{Enter}4{Enter}", 1, 1},    // one blank wrong
             {"{F1}4{Enter}2{Enter}{Enter}-3{Enter}", 1, 1},
         }) {
        EXPECT_EQ(answer(c.keys), "marked") << c.keys;
        EXPECT_EQ(count_prefix(drawn(), "circle"), c.circles) << c.keys;
        EXPECT_EQ(g.mark_result, c.verdict) << c.keys;
    }
}

TEST_F(Marking, OnlyAPositiveNumberIsTheSameWithItsPlus) {
    struct Case {
        Text form, typed;
        float verdict;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"7", "+7", 2}, {"3.5", "+3.5", 2}, {"0.5", "+0.5", 2}, {"3/4", "+3/4", 2},
             {"0", "+0", 1},      // zero has no sign
             {"+1", "1", 1},      // a difference written with its sign needs it
             {"+1", "++1", 1},
             {"-3", "+-3", 1},
             {"-1,0,+1", "+-1,0,+1", 1},
             {"mk", "+mk", 1},
         }) {
        g.blank_count = 1;
        g.expected(1, 1) = c.form;
        g.expected_all = c.form;
        g.typed[1] = c.typed;
        EXPECT_EQ(verdict(c.typed), c.verdict) << c.form << " typed as " << c.typed;
    }
    // A lone blank's second form is the teacher's key's, not an answer.
    g.expected(1, 1) = "-2,-1,0,+1,+2";
    g.expected(1, 2) = "-2,-1,";
    g.expected_all = g.expected(1, 1);
    g.typed[1] = "-2,-1,";
    EXPECT_EQ(verdict("-2,-1,"), 1);
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
