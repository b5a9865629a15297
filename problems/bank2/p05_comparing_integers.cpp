// Comparing two integers with > and <: the number further right is the greater.
#include "problems/script/bank2_rules.hpp"
#include "problems/script/comparing.hpp"
#include "problems/script/long_number_line.hpp"

namespace script {
namespace {

struct ComparingIntegers final : Problem {
    ComparingIntegers() : Problem(2, 5, "数の大小（整数）"_sj, bank2_panel(400, 207)) {}
    void values() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
    void row(int k, const Text& in_box);
};

// ---- values ------------------------------------------------------------------
// Three pairs: two positive, a negative and a positive, two negative.
void ComparingIntegers::values() { comparison_values(); }

// ---- question ----------------------------------------------------------------
void ComparingIntegers::question() {
    text(colour::question, 64, 72, "数の大小を不等号で表しなさい。"_sj);
    row(1, "①"_sj);
    row(2, "②"_sj);
    row(3, "③"_sj);
}

// ---- answer layout and accepted answers ----------------------------------------
// Row ② always puts a negative number before a positive one, so its sign is "<".
void ComparingIntegers::answers() {
    blanks(3, {" ① "_sj, "　②　"_sj, " ③ "_sj, " 　"_sj, " 　"_sj});
    expected(1, 1) = sign_between(num[1], num[2]);
    expected(2, 1) = sign_between(num[4], num[5]);
    expected(3, 1) = sign_between(num[7], num[8]);
    bank2_rules();
}

// ---- hint 1 ------------------------------------------------------------------
void ComparingIntegers::hint1() {
    text(colour::hint, 64, 360, "数直線上で、右にある数が大きい。"_sj);
    row(1, expected(1, 1));
    number_line_two_points(128, num[1], signed_text(num[1]), num[2], signed_text(num[2]));
}

// ---- hint 2 ------------------------------------------------------------------
void ComparingIntegers::hint2() {
    number_line_two_points(240, num[4], signed_text(num[4]), num[5], signed_text(num[5]));
    row(2, expected(2, 1));
}

// ---- answer ------------------------------------------------------------------
void ComparingIntegers::answer() {
    number_line_two_points(352, num[7], signed_text(num[7]), num[8], signed_text(num[8]));
    row(3, expected(3, 1));
}

// ---- the comparison rows -----------------------------------------------------
// Row k (at y 108, 144, 180) compares num[3k - 2] with num[3k - 1], its number
// in the box, or its sign when a hint redraws it.
void ComparingIntegers::row(int k, const Text& in_box) {
    const int left = 3 * k - 2;
    comparison_row(72 + 36 * k, signed_text(num[left]) + " ", in_box, " " + signed_text(num[left + 1]));
}

ComparingIntegers problem;

}  // namespace
}  // namespace script
