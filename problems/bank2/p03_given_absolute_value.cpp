// The two numbers whose absolute value is a given number.
#include "problems/script/bank2_rules.hpp"
#include "problems/script/span_figures.hpp"

namespace script {
namespace {

struct GivenAbsoluteValue final : Problem {
    GivenAbsoluteValue() : Problem(2, 3, "絶対値が等しい数"_sj, bank2_panel(640, 144)) {}
    void values() override;
    void question() override;
    void answers() override;
    Text prompt() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
void GivenAbsoluteValue::values() {
    num[1] = first_value([] { return INT(RND() * 20 + 3); });   // the absolute value, 3 to 22
    clock_seeding();
    num[2] = INT(RND() * 3 + 1);   // drawn, not shown
}

// ---- question ----------------------------------------------------------------
void GivenAbsoluteValue::question() {
    text(colour::question, 64, 72, "①　絶対値が "_sj + num_text[1] + " である数を求めなさい。"_sj);
}

// ---- answer layout and accepted answers ----------------------------------------
// -7,+7, and -7,7 written without the "+".
void GivenAbsoluteValue::answers() {
    blanks(1, {" ① "_sj, "　　"_sj, "  ", " 　"_sj, " 　"_sj});
    expected(1, 1) = "-" + num_text[1] + ",+" + num_text[1];
    alternative = "-" + num_text[1] + "," + num_text[1];
    bank2_rules();
}

// ---- prompt ------------------------------------------------------------------
Text GivenAbsoluteValue::prompt() { return "+-をつけ、小さい順に入力。間は,でくぎる。"_sj; }

// ---- hint 1 ------------------------------------------------------------------
void GivenAbsoluteValue::hint1() { text(colour::hint, 48, 162, "①絶対値は数直線上で、０からの距離　"_sj); }

// ---- hint 2 ------------------------------------------------------------------
void GivenAbsoluteValue::hint2() {
    fig_y[31] = 160;
    two_hops(num_text[1], "①"_sj);
}

// ---- answer ------------------------------------------------------------------
void GivenAbsoluteValue::answer() { text(colour::answer, 48, 252, "答え…"_sj + expected(1, 1)); }

GivenAbsoluteValue problem;

}  // namespace
}  // namespace script
