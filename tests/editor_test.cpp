// The answer editor driven by scripted keys: what is stored for what is typed,
// what the pupil sees while typing, and how the line ends.

#include <algorithm>

#include <string>

#include "runtime/backend.hpp"
#include "runtime/png.hpp"
#include "tests/answer_fixture.hpp"

namespace {

using Editor = AnswerTest;

TEST_F(Editor, PlainCharactersAndPowersAreStoredAsTyped) {
    g.expected(1, 1) = "3x2";
    g.expected_all = "3x2";
    EXPECT_EQ(answer("3x{F2}2{Enter}"), "marked");
    EXPECT_EQ(drawn(), (Lines{"fill 480,560 1600,630 c0", "答 448,576",  // the empty answer line
                              "３ 496,576", "χ 512,576", "2 528,572",    // the exponent raised, unconverted
                              "fill 544,560 1664,630 c0"}));              // the closed blank's rest
    EXPECT_EQ(g.typed[1], "3x2");
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(g.answer_text, "");
    EXPECT_EQ(g.raise_next, 0);
    EXPECT_EQ(g.blank_x[1], 544);
    EXPECT_EQ(g.blank_y[1], 576);

    // Typed text is drawn in colour 15, the label in 13.
    answer("3");
    int typed_colour = -1, label_colour = -1;
    for (const auto& e : trace_) {
        if (e.op == "symbol" && e.text == "３") typed_colour = e.c;
        if (e.op == "symbol" && e.text == "答") label_colour = e.c;
    }
    EXPECT_EQ(typed_colour, 15);
    EXPECT_EQ(label_colour, 13);

    // The power sign is not stored: 3x² and 3x2 are the same answer.
    EXPECT_EQ(answer("3x2{Enter}"), "marked");
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(answer("3x{F2}3{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "3x3");
    EXPECT_EQ(g.mark_result, 1);
}

TEST_F(Editor, CursorIsDrawnBeforeAndErasedAfterEveryPoll) {
    answer("3{Enter}");
    // Each key reaches only the poll after an empty one.
    EXPECT_EQ(cursor(), (Lines{"on 504,584", "off 504,584", "on 504,584", "off 504,584",  // "3"
                               "on 520,584", "off 520,584", "on 520,584", "off 520,584"}));  // Enter
}

TEST_F(Editor, FractionIsTypedDenominatorFirstAndStoredNumeratorFirst) {
    EXPECT_EQ(answer("{F1}"), "waiting");
    EXPECT_EQ(drawn(), (Lines{"fill 480,560 1600,630 c0", "答 448,576", "― 496,576", "― 512,576", "― 528,576"}));
    EXPECT_EQ(g.entry_state, 3);
    EXPECT_EQ(g.fraction_x, 496);
    EXPECT_EQ(g.pen_x, 496);
    EXPECT_EQ(g.pen_y, 588);

    EXPECT_EQ(answer("{F1}3{Enter}"), "waiting");
    EXPECT_EQ(g.entry_state, 1);
    EXPECT_EQ(g.denominator_text, "3ﾝ"_sj);
    EXPECT_EQ(g.numerator_text, "");
    EXPECT_EQ(g.den_end_x, 512);
    EXPECT_EQ(g.pen_x, 496);
    EXPECT_EQ(g.pen_y, 564);

    EXPECT_EQ(answer("{F1}3{Enter}2{Enter}"), "waiting");
    EXPECT_EQ(g.entry_state, 2);
    EXPECT_EQ(g.answer_text, "ﾝ2ﾝ/3ﾝﾝ"_sj);
    EXPECT_EQ(g.pen_x, 512);
    EXPECT_EQ(g.pen_y, 576);

    g.expected_all = "2/3";
    EXPECT_EQ(answer("{F1}3{Enter}2{Enter}{Enter}"), "marked");
    EXPECT_EQ(drawn(), (Lines{"fill 480,560 1600,630 c0", "答 448,576", "― 496,576", "― 512,576", "― 528,576",
                              "３ 496,588",                                  // denominator, under the bar
                              "２ 496,564",                                  // numerator, above it
                              "fill 496,558 816,606 c0",                     // the typed fraction goes...
                              "２ 496,564", "３ 496,591", "― 496,576",       // ...and comes back stacked
                              "fill 512,560 1632,630 c0"}));
    EXPECT_EQ(g.typed[1], "2/3");
    EXPECT_EQ(g.mark_result, 2);

    // F1 inside a fraction part is an ordinary character; fractions do not nest.
    EXPECT_EQ(answer("{F1}1{F1}{Enter}{Enter}{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "/1\\");
}

TEST_F(Editor, RootsAreClosedByEnterBeforeTheBlank) {
    EXPECT_EQ(answer("{F3}3"), "waiting");
    EXPECT_EQ(drawn(), (Lines{"fill 480,560 1600,630 c0", "答 448,576",
                              "line 504,578 520,578 c15", "√ 496,576",    // sign and the bar joining it
                              "line 502,578 518,578 c15", "３ 504,576"}));  // the radicand under the bar
    EXPECT_EQ(g.root_mode, 1);
    EXPECT_EQ(g.pen_x, 520);

    // The first Enter only closes the root.
    EXPECT_EQ(answer("{F3}3{Enter}"), "waiting");
    EXPECT_EQ(g.root_mode, 0);
    EXPECT_EQ(g.answer_text, "!3");
    EXPECT_EQ(g.typed[1], "");

    EXPECT_EQ(answer("{F3}3{Enter}{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "!3");

    // "#" is the tall root: stored as "!", drawn 2 x 3 with a thick bar.
    EXPECT_EQ(answer("#3"), "waiting");
    EXPECT_EQ(drawn(), (Lines{"fill 480,560 1600,630 c0", "答 448,576", "fill 512,562 528,564 c15",
                              "√ 496,552 2x3", "fill 520,562 536,564 c15", "３ 520,576"}));
    EXPECT_EQ(g.root_mode, 2);
    EXPECT_EQ(answer("#3{Enter}"), "waiting");
    EXPECT_EQ(g.root_mode, 0);
    EXPECT_EQ(answer("#3{Enter}{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "!3");

    // A root inside the denominator gets its bar on the denominator's line.
    EXPECT_EQ(answer("{F1}{F3}3"), "waiting");
    Lines seen = drawn();
    EXPECT_TRUE(contains(seen, "line 504,590 520,590 c15"));
    EXPECT_TRUE(contains(seen, "√ 496,588"));
    EXPECT_TRUE(contains(seen, "３ 512,588"));  // fraction parts step 16 whatever the glyph
    EXPECT_EQ(g.denominator_text, "!3");
}

TEST_F(Editor, KeysOutsideThePrintableRangeAreIgnored) {
    EXPECT_EQ(answer("{Space}{Enter}1{Space}2{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "12");
    EXPECT_EQ(g.blank_x[1], 528);

    // F4 to F12 type their notation characters.
    EXPECT_EQ(answer("{F4}{F5}{F6}{F7}{F8}{F9}{F10}{F11}{F12}{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "@[]&%'$?~");
    Lines seen = drawn();
    EXPECT_TRUE(contains(seen, "± 496,576"));
    EXPECT_TRUE(contains(seen, "△ 624,576"));
}

TEST_F(Editor, BackspaceOnTheMainLine) {
    EXPECT_EQ(answer("12{BS}"), "waiting");
    EXPECT_TRUE(contains(drawn(), "fill 512,558 528,606 c0"));
    EXPECT_EQ(g.answer_text, "1");
    EXPECT_EQ(g.pen_x, 512);

    // With nothing left to delete it still erases the cell left of the pen,
    // but the pen stays at the blank's first cell. Delete acts the same.
    EXPECT_EQ(answer("1{BS}{Del}"), "waiting");
    Lines seen = drawn();
    EXPECT_TRUE(contains(seen, "fill 496,558 512,606 c0"));
    EXPECT_TRUE(contains(seen, "fill 480,558 496,606 c0"));
    EXPECT_EQ(g.pen_x, 496);
    EXPECT_EQ(g.answer_text, "");

    EXPECT_EQ(answer("1{BS}{BS}7{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "7");

    // On an empty later blank it erases the last cell of the label in front.
    g.blank_count = 2;
    g.answer_label[1] = "と"_sj;
    EXPECT_EQ(answer("1{Enter}{BS}"), "waiting");
    EXPECT_EQ(drawn().back(), "fill 512,558 528,606 c0");
    EXPECT_EQ(g.pen_x, 528);
}

TEST_F(Editor, BackspaceInsideAFraction) {
    // Right after F1: the bar goes and the main line is back; nothing stored.
    EXPECT_EQ(answer("{F1}{BS}"), "waiting");
    EXPECT_TRUE(contains(drawn(), "fill 496,558 639,606 c0"));
    EXPECT_EQ(g.entry_state, 2);
    EXPECT_EQ(g.pen_x, 496);
    EXPECT_EQ(g.pen_y, 576);
    EXPECT_EQ(answer("{F1}{BS}5{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "5");

    // A bar started past x 591 is erased whole, and nothing left of it.
    EXPECT_EQ(answer("1234567{F1}{BS}"), "waiting");
    EXPECT_TRUE(contains(drawn(), "fill 608,558 656,606 c0"));
    EXPECT_EQ(g.answer_text, "1234567");

    // In the numerator: one cell back.
    EXPECT_EQ(answer("{F1}3{Enter}21{BS}"), "waiting");
    EXPECT_TRUE(contains(drawn(), "fill 512,561 528,581 c0"));
    EXPECT_EQ(g.numerator_text, "2");
    EXPECT_EQ(g.pen_x, 512);
    EXPECT_EQ(g.pen_y, 564);

    // An empty numerator: back to the end of the denominator, 2 dots lower.
    EXPECT_EQ(answer("{F1}3{Enter}{BS}"), "waiting");
    EXPECT_EQ(g.entry_state, 3);
    EXPECT_EQ(g.pen_x, 512);
    EXPECT_EQ(g.pen_y, 590);
    EXPECT_EQ(g.denominator_text, "3ﾝ"_sj);

    // The next Backspace takes the end marker and the last character together.
    EXPECT_EQ(answer("{F1}3{Enter}{BS}{BS}"), "waiting");
    EXPECT_TRUE(contains(drawn(), "fill 496,588 512,606 c0"));
    EXPECT_EQ(g.denominator_text, "");
    EXPECT_EQ(g.entry_state, 3);
    EXPECT_EQ(g.pen_x, 496);
    EXPECT_EQ(g.pen_y, 590);

    // And one more leaves the fraction.
    EXPECT_EQ(answer("{F1}3{Enter}{BS}{BS}{BS}4{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "4");

    // Corrections in both parts end in the right fraction.
    EXPECT_EQ(answer("{F1}35{BS}{Enter}21{BS}{Enter}{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "2/3");
}

TEST_F(Editor, BackspaceIntoADenominatorKeepsItsOwnRootState) {
    // Back in "!3": the root is still open there, so its bar goes on.
    EXPECT_EQ(answer("{F1}{F3}3{Enter}{Enter}{BS}{BS}"), "waiting");
    EXPECT_EQ(g.denominator_text, "!");
    EXPECT_EQ(g.root_mode, 1);

    // Back in a denominator without a root: no stray bar on the next key.
    EXPECT_EQ(answer("{F1}34{Enter}{BS}{BS}5"), "waiting");
    EXPECT_EQ(g.denominator_text, "35");
    EXPECT_EQ(g.root_mode, 0);
    Lines seen = drawn();
    EXPECT_EQ(count_prefix(seen, "line "), 0);
}

TEST_F(Editor, BackspaceOverQOrOverTheRootSignClosesTheRoot) {
    EXPECT_EQ(answer("{F3}Q{BS}"), "waiting");
    EXPECT_EQ(g.root_mode, 0);
    EXPECT_EQ(answer("{F3}3{BS}"), "waiting");
    EXPECT_EQ(g.root_mode, 1);

    // The sign itself deleted: the digit typed next carries no bar.
    EXPECT_EQ(answer("2{F3}{BS}"), "waiting");
    EXPECT_EQ(g.root_mode, 0);
    drawn();
    EXPECT_EQ(answer("2{F3}{BS}5{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "25");
    Lines seen = drawn();
    auto five = std::find_if(seen.begin(), seen.end(), [](const std::string& l) { return l.rfind("５ ", 0) == 0; });
    ASSERT_NE(five, seen.end());
    auto erased = std::find_if(std::make_reverse_iterator(five), seen.rend(),
                               [](const std::string& l) { return l.rfind("fill ", 0) == 0; });
    ASSERT_NE(erased, seen.rend());
    EXPECT_EQ(count_prefix(Lines(erased.base(), five), "line "), 0);   // nothing since the last Backspace
}

TEST_F(Editor, BackspaceAfterAFinishedFractionEmptiesTheBlankOnScreenToo) {
    EXPECT_EQ(answer("5{F1}3{Enter}2{Enter}{BS}"), "waiting");
    Lines seen = drawn();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), "fill 496,558 528,606 c0");  // from the blank's first cell to the pen
    EXPECT_EQ(g.answer_text, "");
    EXPECT_EQ(g.pen_x, 496);
    EXPECT_EQ(g.pen_y, 576);
    EXPECT_EQ(g.entry_state, 2);

    EXPECT_EQ(answer("5{F1}3{Enter}2{Enter}{BS}7{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "7");
    EXPECT_TRUE(contains(drawn(), "７ 496,576"));

    // In a later blank typing began right after the label in front of it.
    g.blank_count = 2;
    g.answer_label[1] = "と"_sj;
    EXPECT_EQ(answer("1{Enter}{F1}3{Enter}2{Enter}{BS}"), "waiting");
    EXPECT_EQ(drawn().back(), "fill 528,558 544,606 c0");
    EXPECT_EQ(g.pen_x, 528);
    EXPECT_EQ(g.typed[1], "1");
}

TEST_F(Editor, RestartKeyRedrawsTheLineAndStartsAgainAtBlankOne) {
    g.blank_count = 2;
    g.answer_label[1] = "と"_sj;
    EXPECT_EQ(answer("12{Enter}3{Ctrl+L}45{Enter}6{Enter}"), "marked");
    Lines seen = drawn();
    EXPECT_EQ(count_prefix(seen, "fill 480,560 1600,630 c0"), 2);
    EXPECT_EQ(count_prefix(seen, "４ 496,576"), 1);
    EXPECT_EQ(g.typed[1], "45");
    EXPECT_EQ(g.typed[2], "6");

    // In the middle of a fraction as well: the line is back to its main state.
    g.blank_count = 1;
    EXPECT_EQ(answer("{F1}3{Ctrl+L}"), "waiting");
    EXPECT_EQ(g.entry_state, 2);
    EXPECT_EQ(g.pen_x, 496);
    EXPECT_EQ(g.pen_y, 576);
    // A root left open is closed before the line is drawn again: the label
    // gets no bar.
    EXPECT_EQ(answer("{F3}{F1}3{Ctrl+L}5{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "5");
    EXPECT_EQ(g.root_mode, 0);
    seen = drawn();
    EXPECT_EQ(count_prefix(seen, "答 448,576"), 2);
    EXPECT_EQ(count_prefix(seen, "line "), 2);  // the piece beside the sign and the one over "3"
}

TEST_F(Editor, FullLineIsAbandonedWithoutAMark) {
    g.expected_all = std::string(53, '1');
    EXPECT_EQ(answer(std::string(52, '1')), "waiting");
    EXPECT_EQ(g.pen_x, 1328);

    EXPECT_EQ(answer(std::string(53, '1')), "abandoned");
    Lines seen = drawn();
    EXPECT_TRUE(contains(seen, "fill 640,560 1600,630 c0"));  // the preview goes when the text reaches it
    EXPECT_EQ(count_prefix(seen, "circle"), 0);
    EXPECT_EQ(count_prefix(seen, "line"), 0);
    EXPECT_EQ(g.answer_text, "");
    EXPECT_EQ(g.typed[1], "");
    EXPECT_EQ(g.pen_x, 1344);
}

TEST_F(Editor, TwoBlanksWithLabelsPreviewAndMarks) {
    g.blank_count = 2;
    g.answer_label[0] = "x=";
    g.answer_label[1] = "と"_sj;
    g.answer_label[2] = "です"_sj;
    g.expected(1, 1) = "12";
    g.expected(2, 1) = "-5";
    g.expected_all = "12-5";
    EXPECT_EQ(answer("12{Enter}-4{Enter}"), "marked");
    EXPECT_EQ(drawn(), (Lines{
                           "fill 480,560 1600,630 c0", "答 416,576", "χ 448,576", "＝ 464,576",
                           "と 640,576",                                  // label 1 previewed 160 on
                           "１ 496,576", "２ 512,576",                    // blank 1
                           "fill 528,560 1648,630 c0", "と 528,576",      // its label after it
                           "で 704,576", "す 720,576",                    // the next label previewed
                           "circle 520,585 r15 c8",                       // blank 1 right
                           "－ 544,576", "４ 560,576",                    // blank 2 right after the label
                           "fill 576,560 1696,630 c0", "で 576,576", "す 592,576",
                           "line 560,576 592,603 c8", "line 560,603 592,576 c8",  // blank 2 wrong
                       }));
    EXPECT_EQ(g.typed[1], "12");
    EXPECT_EQ(g.typed[2], "-4");
    EXPECT_EQ(g.blank_x[1], 528);
    EXPECT_EQ(g.blank_x[2], 576);
    EXPECT_EQ(g.blank_origin_x, 544);  // the whole-answer mark goes over the last blank
    EXPECT_EQ(g.blank_origin_y, 576);
    EXPECT_EQ(g.mark_result, 1);

    EXPECT_EQ(answer("12{Enter}-5{Enter}"), "marked");
    EXPECT_EQ(g.mark_result, 2);
    Lines seen;

    // After a long first blank the preview of the next label would cross the
    // right edge: it is left out, and the second blank follows its label.
    EXPECT_EQ(answer(std::string(47, '1') + "{Enter}5"), "waiting");
    seen = drawn();
    for (const std::string& l : seen) EXPECT_NE(l.rfind("で ", 0), 0u) << l;
    EXPECT_TRUE(contains(seen, "と 1248,576"));
    EXPECT_TRUE(contains(seen, "５ 1264,576"));

    // One blank: no per-blank mark.
    g.blank_count = 1;
    g.expected_all = "12";
    EXPECT_EQ(answer("12{Enter}"), "marked");
    seen = drawn();
    EXPECT_EQ(count_prefix(seen, "circle"), 0);
    EXPECT_EQ(count_prefix(seen, "line"), 0);
}

TEST_F(Editor, NumberEntryEchoesEveryKeyAndBackspaceClearsAll) {
    g.pen_x = 320;
    g.pen_y = 306;
    install_keys("3a{BS}12{Enter}");
    enter_number();
    EXPECT_EQ(g.work_string, "12");
    EXPECT_EQ(drawn(), (Lines{"３ 320,306", "ａ 328,306",   // each key 8 dots after the last
                              "fill 208,296 688,326 c0",    // Backspace clears the whole entry
                              "１ 328,306", "２ 336,306"}));  // and the cursor ends 8 dots past home

    g.pen_x = 320;
    install_keys("{Enter}");
    enter_number();
    EXPECT_EQ(g.work_string, "");
}

// An answer line with a fraction, a power, a root and two blanks with their
// marks, kept as a PNG for a look; a few pixels are checked here.
TEST_F(Editor, AnswerLinePicture) {
    g.blank_count = 2;
    g.answer_label[0] = "x=";
    g.answer_label[1] = ", y="_sj;
    g.answer_label[2] = "cm";
    g.expected(1, 1) = "2/3a2";
    g.expected(2, 1) = "!5";
    g.expected_all = "2/3a2!5";
    EXPECT_EQ(answer("{F1}3{Enter}2{Enter}a{F2}2{Enter}{F3}6{Enter}{Enter}"), "marked");
    EXPECT_EQ(g.typed[1], "2/3a2");
    EXPECT_EQ(g.typed[2], "!6");
    EXPECT_EQ(g.mark_result, 1);
    g.mark_x = g.blank_origin_x + 24;
    g.mark_y = g.blank_origin_y + 8;
    draw_mark();

    rt::Canvas& canvas = rt::backend().canvas();
#ifdef VARNEL_BUILD_DIR
    const std::string path = std::string(VARNEL_BUILD_DIR) + "/answer_line.png";
#else
    const std::string path = "/tmp/answer_line.png";
#endif
    ASSERT_TRUE(rt::write_png(canvas, path));

    ASSERT_EQ(canvas.scale(), 1);
    auto pixel = [&](int x, int y) { return canvas.pixel(x, y); };
    auto is = [](rt::Rgb a, int colour) {
        rt::Rgb b = rt::palette(colour);
        return a.r == b.r && a.g == b.g && a.b == b.b;
    };
    // Blank 1 right: the circle of radius 15 around (X - 8, Y + 9).
    const int x1 = static_cast<int>(g.blank_x[1]), y1 = static_cast<int>(g.blank_y[1]);
    EXPECT_TRUE(is(pixel(x1 - 8 + 15, y1 + 9), 8));
    EXPECT_TRUE(is(pixel(x1 - 8, y1 + 9 - 15), 8));
    // Blank 2 wrong: the whole-answer cross of colour 5 through its centre.
    EXPECT_TRUE(is(pixel(static_cast<int>(g.mark_x), static_cast<int>(g.mark_y)), 5));
    // Nothing but background at the far right of the line.
    EXPECT_TRUE(is(pixel(1300, 590), 0));
}

}  // namespace
