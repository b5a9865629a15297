// All integers whose absolute value is at most a given number.
#include "problems/script/bank2_rules.hpp"
#include "problems/script/span_figures.hpp"

namespace script {
namespace {

struct IntegersWithin final : Problem {
    IntegersWithin() : Problem(2, 4, "絶対値がある数以下の整数"_sj, bank2_panel(640, 144)) {}
    void values() override;
    void question() override;
    void answers() override;
    Text prompt() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
void IntegersWithin::values() {
    num[1] = first_value([] { return INT(RND() * 20 + 3); });   // not shown
    clock_seeding();
    num[2] = INT(RND() * 3 + 1);   // n, 1 to 3
}

// ---- question ----------------------------------------------------------------
void IntegersWithin::question() {
    text(colour::question, 64, 72, "①　絶対値が "_sj + num_text[2] + " 以下である整数を求めなさい。"_sj);
}

// ---- answer layout and accepted answers ----------------------------------------
// For n = 2: -2,-1,0,+1,+2. The negative part alone (-2,-1,) is the second form
// of the blank, and "mk" with it the second alternative.
void IntegersWithin::answers() {
    blanks(1, {" ① "_sj, "　　"_sj, "  ", " 　"_sj, " 　"_sj});
    int n = static_cast<int>(num[2]);
    Text positives, negatives;
    for (int i = 1; i <= n; ++i) positives += ",+" + text_of(i);
    for (int i = n; i >= 1; --i) negatives += "-" + text_of(i) + ",";
    expected(1, 1) = negatives + "0" + positives;
    bank2_rules(negatives);
}

// ---- prompt ------------------------------------------------------------------
Text IntegersWithin::prompt() { return "+-をつけ、小さい順に入力。間は,でくぎる。"_sj; }

// ---- hint 1 ------------------------------------------------------------------
void IntegersWithin::hint1() { text(colour::hint, 48, 162, "絶対値は数直線上で、０からの距離　だから　"_sj); }

// ---- hint 2 ------------------------------------------------------------------
void IntegersWithin::hint2() {
    // One step below the previous problem's figure at y 160, wherever the last
    // figure was left: the hint never drifts down the screen when repeated.
    fig_y[31] = 160 + 128;
    two_hops_with_total(num_text[2]);
    text(colour::hint, 48, 216, "　緑の点線内にある整数を求める。"_sj);
}

// ---- answer ------------------------------------------------------------------
void IntegersWithin::answer() { text(colour::answer, 48, 252, expected(1, 1)); }

IntegersWithin problem;

}  // namespace
}  // namespace script
