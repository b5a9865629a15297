// The absolute value of a negative and a positive integer: the distance from 0.
#include "problems/script/absolute_value.hpp"
#include "problems/script/bank2_rules.hpp"
#include "problems/script/span_figures.hpp"

namespace script {
namespace {

struct AbsoluteIntegers final : Problem {
    AbsoluteIntegers() : Problem(2, 1, "絶対値（整数）"_sj, bank2_panel(640, 144)) {}
    void values() override;
    void fixups() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
// Only num[1] and num[2] are asked; the decimal and the fractions are drawn as
// well, as the next problem draws them.
void AbsoluteIntegers::values() { absolute_value_values(); }

// ---- text fix-ups ------------------------------------------------------------
void AbsoluteIntegers::fixups() { absolute_value_fixups(); }

// ---- question ----------------------------------------------------------------
void AbsoluteIntegers::question() {
    text(colour::question, 64, 72, "次の数の絶対値をいいなさい。"_sj);
    text(colour::question, 64, 108, "① "_sj + num_text[1] + "  ② +"_sj + num_text[2]);
}

// ---- answer layout and accepted answers ----------------------------------------
void AbsoluteIntegers::answers() {
    blanks(2, {" ① "_sj, "　②　"_sj, "  ", " 　"_sj, " 　"_sj});
    expected(1, 1) = num_text[11];
    expected(2, 1) = num_text[12];
    bank2_rules();
}

// ---- hint 1 ------------------------------------------------------------------
void AbsoluteIntegers::hint1() {
    text(colour::rule, 48, 162, "絶対値は、数直線上で、０からの距離　"_sj);
    fig_y[31] = 160;
    span_to_left(num_text[1]);
}

// ---- hint 2 ------------------------------------------------------------------
void AbsoluteIntegers::hint2() {
    text(colour::hint, 48, 189, "①　"_sj + num_text[1] + "　の絶対値は、"_sj);
    then(colour::answer, num_text[11]);
    fig_y[31] = 160 + 64;   // one figure below the first hint's, however the hints were reached
    span_to_right(num_text[2]);
}

// ---- answer ------------------------------------------------------------------
void AbsoluteIntegers::answer() {
    text(colour::hint, 48, 225, "②　+"_sj + num_text[2] + "　の絶対値は、"_sj);
    then(colour::answer, num_text[12]);
}

AbsoluteIntegers problem;

}  // namespace
}  // namespace script
