// The number n greater and n smaller than -2: n to the right or to the left of -2.
#include "problems/script/bank2_rules.hpp"
#include "problems/script/long_number_line.hpp"
#include "problems/script/moving.hpp"

namespace script {
namespace {

struct MovingFromMinusTwo final : Problem {
    MovingFromMinusTwo() : Problem(2, 8, "－2より大きい数・小さい数"_sj, bank2_panel(400, 180)) {}
    void values() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
// n = num[6]; num[7] = n - 2, num[8] = -2 - n. The first value is still num[3].
void MovingFromMinusTwo::values() { moving_values(); }

// ---- question ----------------------------------------------------------------
void MovingFromMinusTwo::question() {
    text(colour::question, 64, 72, "次の数を求めなさい。"_sj);
    text(colour::question, 96, 108, "① "_sj + num_text[2] + "より "_sj + num_text[6] + "大きい数"_sj);
    text(colour::question, 96, 144, "② "_sj + num_text[2] + "より "_sj + num_text[6] + "小さい数"_sj);
    number_line_with_point(256, num[2]);
}

// ---- answer layout and accepted answers ----------------------------------------
void MovingFromMinusTwo::answers() {
    blanks(2, {" ① "_sj, "　②　"_sj, "  ", " 　"_sj, " 　"_sj});
    expected(1, 1) = num_text[7];
    expected(2, 1) = num_text[8];
    bank2_rules(signed_form(num[7], expected(1, 1)), signed_form(num[8], expected(2, 1)));
}

// ---- hint 1 ------------------------------------------------------------------
void MovingFromMinusTwo::hint1() {
    text(colour::hint, 64, 324, "① 数直線上で、"_sj + num_text[2] + "から右に"_sj + num_text[6] + "進んだ数　"_sj);
}

// ---- hint 2 ------------------------------------------------------------------
void MovingFromMinusTwo::hint2() {
    text(colour::answer, 96, 360, "答え…"_sj + num_text[7]);
    hop_from_point(256, num[2], num[6], num_text[6]);
    number_line_with_point(384, num[2]);
}

// ---- answer ------------------------------------------------------------------
void MovingFromMinusTwo::answer() {
    text(colour::hint, 64, 414, "② 数直線上で、"_sj + num_text[2] + "から左に"_sj + num_text[6] + "進んだ数　 "_sj);
    text(colour::answer, 96, 450, "答え…"_sj + num_text[8]);
    hop_from_point(384, num[2], -num[6], num_text[6]);
}

MovingFromMinusTwo problem;

}  // namespace
}  // namespace script
