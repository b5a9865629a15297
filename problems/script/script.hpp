// How a problem is written. A problem is one class with the routines of its
// start routine's particular steps (values, text fix-ups, question, answers,
// prompt) and its three called routines (hint 1, hint 2, answer). The common
// steps of the start routine, the engine plumbing and the registration in its
// bank live here, so that a problem file holds only its own values, texts and
// drawing items.
//
//     struct Temperatures final : Problem {
//         Temperatures() : Problem(1, 2, "温度"_sj, {48, 63, 480, 171}) {}
//         void values() override { num[1] = first_value([] { return INT(RND() * 150 + 10) / 10; }); ... }
//         void question() override { text(colour::question, 64, 72, "次の温度をいいなさい。"_sj); ... }
//         ...
//     } problem;
#pragma once

#include <initializer_list>

#include "engine/engine.hpp"
#include "runtime/numbers.hpp"

namespace script {

// The question panel: left, top, right, bottom, in dots.
struct Panel {
    float left, top, right, bottom;
};

class Problem {
public:
    // Registers the problem as number `number` of bank `bank` (1 or 2), on
    // `topic` (a few words for the practice record).
    Problem(int bank, int number, Text topic, Panel panel);
    Problem(const Problem&) = delete;   // the bank holds this very object
    Problem& operator=(const Problem&) = delete;
    virtual ~Problem() = default;

    const int number;
    const Text topic;
    const Panel panel;

    // The particular steps of the start routine, in the order it runs them.
    virtual void values() {}         // the value generator
    virtual void fixups() {}         // text fix-ups after the number-text conversion
    virtual void question() = 0;     // the question items
    virtual void answers() = 0;      // blanks, expected, alternative(2): see "How an answer is accepted"
    virtual Text prompt() { return {}; }

    // The routines the driver calls.
    virtual void hint1() {}
    virtual void hint2() {}
    virtual void answer() {}
};

// The bank of registered problems, as the engine's dispatch tables. Slots run
// 1..24; starting a slot nobody registered is a runtime fault.
Bank& bank(int which);

// A program: its title and problem count, defined once beside its bank's
// problems (problems/bankN/program.cpp) as an object of this type.
struct ProgramDefinition {
    ProgramDefinition(int bank, const char* title, int problem_count, const char* subject = "");
};

// The program defined for bank `which`, once every one of its problems 1..count
// is found registered; otherwise std::logic_error names what is missing.
Program program(int which);

// The start routine: the common steps around a problem's own.
Next start(Problem& problem);

// ---- the shared values, under the names the problems use --------------------
inline auto& num = g.num;
inline auto& aux = g.aux;
// num_text[i] and aux_text[i] are num[i] and aux[i] as text, made afresh after
// values() and before fixups(): text_of, no blank before it and no "+"
// ("3", "-12", "3.5"); a problem that shows a sign writes it, or makes the
// text with signed_text.
inline auto& num_text = g.num_text;
inline auto& aux_text = g.aux_text;
inline auto& frac_text = g.frac_text;
inline auto& fig_x = g.fig_x;
inline auto& fig_y = g.fig_y;
inline auto& answer_label = g.answer_label;
inline auto& expected = g.expected;
inline auto& typed = g.typed;
inline auto& blank_count = g.blank_count;
inline auto& alternative = g.alternative;
inline auto& alternative2 = g.alternative2;
inline auto& pen_x = g.pen_x;
inline auto& pen_y = g.pen_y;
inline auto& ink = g.ink;
inline auto& pen_x_text = g.pen_x_text;
inline auto& pen_y_text = g.pen_y_text;
inline auto& frac_num = g.frac_num;   // the reduced fraction fraction() left behind
inline auto& frac_den = g.frac_den;

// ---- colours, by what they draw ------------------------------------------------
// The palette's numbers (runtime/canvas.cpp) under the roles a problem draws
// in. Every problem of both programs keeps to them, and every pair of colours
// the drill draws is held to its contrast (tests/golden_test.cpp), so a new
// problem takes its colours from here:
//
//     text(colour::question, 64, 72, "次の数を求めなさい。"_sj);
//     text(colour::hint, 64, 324, "① 数直線上で、"_sj + num_text[1] + "から右に"_sj + num_text[3] + "進んだ数　"_sj);
//     text(colour::answer, 96, 360, "答え…"_sj + num_text[4]);
//     text(colour::hint, 48, 189, "①　"_sj + num_text[1] + "　の絶対値は、"_sj); then(colour::answer, num_text[11]);
namespace colour {
inline constexpr float question = 15;      // the question's text (white)
inline constexpr float hint = 15;          // a hint's sentences, and the worked answer's
inline constexpr float answer = 13;        // the answer, wherever it shows: "答え…", the value a sentence ends
                                           // with, what a hint works out, the question's boxes filled (yellow)
inline constexpr float rule = 13;          // a rule a hint states ("絶対値は、数直線上で、０からの距離"), an
                                           // instruction the question sets apart (yellow)
inline constexpr float example = 11;       // a hint's examples, under its rule (cyan)
inline constexpr float figure = 15;        // a figure's lines and ticks
inline constexpr float scale = 13;         // a figure's own numbers: a number line's tick values, a span's ends,
                                           // a hop's amount (yellow)
inline constexpr float point = 9;          // the points of a number line and the hops from them (green)
inline constexpr float point_label = 7;    // a point's letter or value beside it (light grey)
}  // namespace colour

// ---- values -----------------------------------------------------------------
float RND();
using rt::INT;
float ABS(float n);
// The first value: drawn again until it differs from the last problem's, then remembered.
template <class Draw>
float first_value(Draw draw) {
    float v;
    do v = draw();
    while (v == g.last_first_value);
    g.last_first_value = v;
    return v;
}
void clock_seeding();
// A number as text without the blank: 3 -> "3", -12 -> "-12", 3.5 -> "3.5".
Text text_of(float n);
// A number as text with its sign: 3 -> "+3", -12 -> "-12", 0 -> "0".
Text signed_text(float n);
// build_fraction: the reduced fraction num/den as markup ("ﾀ1/3ﾀ", "-ﾀ1/3ﾀ", "2").
Text fraction(float numerator, float denominator);
// strip_answer_marks: the markup as a typed answer ("-ﾀ1/3ﾀ" -> "-1/3").
Text stripped(const Text& markup);

// ---- question, hint and answer items -----------------------------------------
// Colour c at (x, y): the markup drawn there.
void text(float colour, float x, float y, const Text& markup);
// Then: the markup drawn at the pen, in the colour given or the current one.
void then(float colour, const Text& markup);
void then(const Text& markup);
// A boxed label at the pen: label colour 13, border 15, fill 6 unless given.
void boxed(const Text& label, float width, float height, float fill = 6, float border = 15, float colour = 13);
void key_pause();
// Figure primitives.
void line(float x1, float y1, float x2, float y2, float colour);
void box(float x1, float y1, float x2, float y2, float colour);
void filled_box(float x1, float y1, float x2, float y2, float border, float fill);
void filled_box(float x1, float y1, float x2, float y2, float colour);
void circle(float x, float y, float r, float colour);
void disc(float x, float y, float r, float border, float fill);
void graphic_text(float x, float y, const Text& text, float scale, float colour);

// Number-line figures. A dotted hop arc from (x1, y1) to (x2, y2): side > 0 bulges
// to the right of the hop's direction (below a hop to the right), otherwise to its
// left; step between dots in degrees, height in units of 16 dots.
void hop_arc(float x1, float y1, float x2, float y2, float side, float step, float height, float colour);
// A label beside the point (x, y): side::above, side::below, side::left, otherwise right,
// `lines` further steps of 8 dots away; leaves the pen after the label.
void point_label(const Text& markup, float x, float y, float side, float lines, float colour);

// ---- answer layout and accepted answers ----------------------------------
//
// How an answer is accepted. answers() lays out the answer line and prepares
// the texts a typed answer is compared with; marking compares texts and does
// no arithmetic.
//
//   blanks(n, {label0, label1, ...})   blank_count = n, and the line
//       "答 label0 [blank 1] label1 [blank 2] ... label n": label k is drawn
//       after blank k once it is closed (and shown ahead while blank k is
//       typed), so it also names blank k + 1 ("　℃ ②　" is blank 1's unit
//       and blank 2's name). Labels are markup; those not given are empty.
//   expected(k, 1)   blank k's main form, as the pupil types it: no spaces,
//       a sign where one is asked for ("-3", "+4"), a fraction numerator
//       first ("-1/3"; F1 has it typed denominator first), several numbers
//       apart by commas ("-2,-1,0,+1,+2"). The main forms joined are the answer.
//   expected(k, 2)   a second form of blank k ("+3" where "3" is the main),
//       or "": taken only on a line of two blanks or more. A lone blank's
//       second form is no answer; it goes only into the teacher's key.
//   The "+" rule: a form that is a positive number without its sign ("7",
//       "3.5", "3/4") is right typed with a "+" before it too. A form written
//       with its "+" ("+4") must be typed with it; "0" takes no sign.
//   alternative      one more whole answer, the blanks' texts joined ("-7,7").
//   alternative2     one more whole answer, by one of two rules:
//       alternative2_mk()   "mk" + expected(1, 2): the teacher's key, which
//                           passes the problem (typed across the blanks;
//                           "mk" alone where blank 1 has no second form).
//       alternative2_pen()  the pen's place as the values were turned into
//                           text (pen_x_text + pen_y_text): digits that no
//                           question asks for.
//
// The answer is right (the large ○) when the blanks' texts
// joined are the main forms joined, alternative or alternative2, or when
// every blank is right by itself: one of its forms, under the "+" rule. On a
// line of two blanks or more each blank gets its small ○ or × as it closes.
//
// What carries over from the problem before. The start routine empties
// answer_label[1..5], expected(1..5, 1), typed[1..5] and alternative before
// values(). It leaves the second forms expected(k, 2) and alternative2 as the
// problem before set them, as it leaves num, aux, frac_text, fig_x and fig_y
// (num_text and aux_text are made afresh from num and aux). So answers()
// calls blanks(), sets expected(k, 2) of every blank ("" for none) and one
// rule for alternative2; self_check() and bank2_rules() do both for the
// problems that use them.

// blank_count and answer_label[0..]: the labels given, in order.
void blanks(int count, std::initializer_list<Text> labels);
// The self-check layout: one blank, "1" right, no second forms, alternative2 from the pen.
void self_check();
// The two rules for alternative2.
void alternative2_mk();    // "mk" + expected(1, 2)
void alternative2_pen();   // pen_x_text + pen_y_text
// The prompt line of the self-check problems: "1 if right, 0 if wrong".
Text self_check_prompt();

}  // namespace script
