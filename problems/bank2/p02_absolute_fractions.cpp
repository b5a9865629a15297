// The absolute value of a negative decimal and of a positive and a negative fraction.
#include "problems/script/absolute_value.hpp"
#include "problems/script/bank2_rules.hpp"
#include "problems/script/span_figures.hpp"

namespace script {
namespace {

struct AbsoluteFractions final : Problem {
    AbsoluteFractions() : Problem(2, 2, "絶対値（小数・分数）"_sj, bank2_panel(640, 144)) {}
    void values() override;
    void fixups() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
// The same draws as the integer problem before it: num[3] -1.4 to -3.6, the
// fractions frac_text[1] (positive) and frac_text[2] (shown negative).
void AbsoluteFractions::values() { absolute_value_values(); }

// ---- text fix-ups ------------------------------------------------------------
void AbsoluteFractions::fixups() { absolute_value_fixups(); }

// ---- question ----------------------------------------------------------------
void AbsoluteFractions::question() {
    text(colour::question, 64, 72, "次の数の絶対値をいいなさい。"_sj);
    text(colour::question, 64, 108, "① "_sj + num_text[3] + "  ② +"_sj + num_text[4] + "  ③ "_sj + num_text[5]);
}

// ---- answer layout and accepted answers ----------------------------------------
void AbsoluteFractions::answers() {
    blanks(3, {" ① "_sj, "　②　"_sj, " ③ "_sj, " 　"_sj, " 　"_sj});
    expected(1, 1) = num_text[13];
    expected(2, 1) = stripped(num_text[14]);
    expected(3, 1) = stripped(num_text[15]);
    bank2_rules();
}

// ---- hint 1 ------------------------------------------------------------------
void AbsoluteFractions::hint1() {
    text(colour::rule, 48, 162, "絶対値は、数直線上で、０からの距離　"_sj);
    fig_y[31] = 160;
    span_to_left(num_text[3]);
    text(colour::hint, 48, 198, "①　"_sj + num_text[3] + "　の絶対値は、"_sj);
    then(colour::answer, num_text[13]);
}

// ---- hint 2 ------------------------------------------------------------------
// Each figure sits 64 dots below the one before, however the hints were reached.
void AbsoluteFractions::hint2() {
    text(colour::hint, 48, 252, "②　"_sj + num_text[4] + "　の絶対値は、"_sj);
    then(colour::answer, num_text[14]);
    fig_y[31] = 160 + 64;
    span_to_right(num_text[4]);
}

// ---- answer ------------------------------------------------------------------
void AbsoluteFractions::answer() {
    text(colour::hint, 48, 306, "③　"_sj + num_text[5] + "　の絶対値は、"_sj);
    then(colour::answer, num_text[15]);
    fig_y[31] = 160 + 64 + 64;
    span_to_left(num_text[5]);
}

AbsoluteFractions problem;

}  // namespace
}  // namespace script
