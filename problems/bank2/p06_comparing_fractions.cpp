// Comparing negative decimals and negative fractions with > and <.
#include "problems/script/bank2_rules.hpp"
#include "problems/script/comparing.hpp"
#include "problems/script/long_number_line.hpp"

namespace script {
namespace {

struct ComparingFractions final : Problem {
    ComparingFractions() : Problem(2, 6, "数の大小（小数・分数）"_sj, bank2_panel(400, 198)) {}
    void values() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
    void row(int k, const Text& in_box);
};

// ---- values ------------------------------------------------------------------
// The values of the comparing problems, and the two fractions without their sign.
void ComparingFractions::values() {
    comparison_values();
    frac_text[3] = fraction(aux[1], aux[2]);
    frac_text[4] = fraction(aux[3], aux[2]);
}

// ---- question ----------------------------------------------------------------
void ComparingFractions::question() {
    text(colour::question, 64, 72, "数の大小を不等号で表しなさい。"_sj);
    row(1, "①"_sj);
    row(2, "②"_sj);
}

// ---- answer layout and accepted answers ----------------------------------------
void ComparingFractions::answers() {
    blanks(2, {" ① "_sj, "　②　"_sj, "  ", " 　"_sj, " 　"_sj});
    expected(1, 1) = sign_between(num[10], num[11]);
    expected(2, 1) = sign_between(num[13], num[14]);
    bank2_rules();
}

// ---- hint 1 ------------------------------------------------------------------
void ComparingFractions::hint1() {
    text(colour::hint, 64, 270, "数直線上で、右にある数が大きい。"_sj);
    number_line_two_points(128, num[10], num_text[10], num[11], num_text[11]);
}

// ---- hint 2 ------------------------------------------------------------------
void ComparingFractions::hint2() {
    row(1, expected(1, 1));
    number_line_two_marked_points(320, num[13], frac_text[1], num[14], frac_text[2]);
}

// ---- answer ------------------------------------------------------------------
// Of two negative numbers the one with the smaller absolute value is the greater.
void ComparingFractions::answer() {
    Text sizes = frac_text[3] + " が "_sj + frac_text[4] +
                 (num[14] < num[13] ? " より小さい"_sj : " より大きい"_sj);
    text(colour::answer, 64, 324, sizes + "から"_sj);
    row(2, expected(2, 1));
}

// ---- the comparison rows -----------------------------------------------------
// Row k with its number in the box, or its sign when a hint redraws it.
void ComparingFractions::row(int k, const Text& in_box) {
    if (k == 1) comparison_row(108, num_text[10] + " ", in_box, " " + num_text[11]);
    if (k == 2) comparison_row(162, frac_text[1] + " ", in_box, " " + frac_text[2]);
}

ComparingFractions problem;

}  // namespace
}  // namespace script
