// Placing five signed numbers (integers, halves, a fraction) on a number line (self-check).
#include "problems/script/number_line.hpp"
#include "problems/script/script.hpp"

namespace script {
namespace {

struct PlacingNumbers final : Problem {
    PlacingNumbers() : Problem(1, 7, "数直線に表す"_sj, {48, 63, 560, 144}) {}
    void values() override;
    void fixups() override;
    void question() override;
    void answers() override;
    Text prompt() override;
    static void placed_point(int i);
};

// ---- values ------------------------------------------------------------------
void PlacingNumbers::values() {
    num[1] = first_value([] { return INT(RND() * 3 + 1); });   // 1 to 3
    clock_seeding();
    num[2] = -INT(RND() * 3 + 1);                              // -1 to -3
    num[3] = INT(RND() * 3 + 4) + 0.5f;                        // 4.5, 5.5 or 6.5
    num[4] = -INT(RND() * 3 + 4) - 0.5f;                       // -4.5, -5.5 or -6.5
    aux[2] = 2;
    aux[1] = -2 * INT(RND() * 3 + 7) - 1;                      // -15, -17 or -19
    frac_text[1] = fraction(aux[1], aux[2]);                   // "-ﾀ15/2ﾀ"
    num[5] = aux[1] / 2;                                       // -7.5, -8.5 or -9.5
}

// ---- text fix-ups --------------------------------------------------------------
// Positive numbers carry their "+"; the fifth number is shown as a fraction.
void PlacingNumbers::fixups() {
    for (int i = 1; i <= 4; ++i) num_text[i] = signed_text(num[i]);
    num_text[5] = frac_text[1];
}

// ---- question ----------------------------------------------------------------
// The pupil draws first; after a key the solution appears on the program's number line.
void PlacingNumbers::question() {
    text(colour::question, 64, 72, "数直線をノートにかき、その数直線上に次の数を表しなさい。"_sj);
    text(colour::question, 64, 108, num_text[1] + " , " + num_text[2] + " , " + num_text[3] + " , " + num_text[4] + " , " +
                          num_text[5]);
    number_line();
    key_pause();
    for (int i = 1; i <= 5; ++i) placed_point(i);
}

// ---- answer layout and accepted answers ----------------------------------------
void PlacingNumbers::answers() { self_check(); }

// ---- prompt ------------------------------------------------------------------
Text PlacingNumbers::prompt() { return self_check_prompt(); }

// ---- figure ------------------------------------------------------------------
// Point i on the axis with its number above it. The second number and the
// fraction stand higher, clear of their neighbours' labels; the fraction is two
// cells wide whatever its digits, so it starts 24 dots left of its point, while
// the plain number texts (one byte a character) are centred over theirs.
void PlacingNumbers::placed_point(int i) {
    float x = x_on_number_line(num[i]);
    circle(x, fig_y[31], 4, colour::point);
    float y = (i == 2 || i == 5) ? fig_y[31] - 63 : fig_y[31] - 27;
    float left = i == 5 ? x - 24 : x - 8 * static_cast<float>(num_text[i].size());
    text(colour::question, left, y, num_text[i]);
}

PlacingNumbers problem;

}  // namespace
}  // namespace script
