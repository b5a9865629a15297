// Greater or smaller than -2 by a negative amount: greater by -n is smaller by n.
#include "problems/script/bank2_rules.hpp"
#include "problems/script/long_number_line.hpp"
#include "problems/script/moving.hpp"

namespace script {
namespace {

struct NegativeMoveFromMinusTwo final : Problem {
    NegativeMoveFromMinusTwo() : Problem(2, 10, "負の数だけ大きい数（－2から）"_sj, bank2_panel(400, 180)) {}
    void values() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
// n = num[6]; num[7] = n - 2, num[8] = -2 - n. The first value is still num[3].
void NegativeMoveFromMinusTwo::values() { moving_values(); }

// ---- question ----------------------------------------------------------------
void NegativeMoveFromMinusTwo::question() {
    text(colour::question, 64, 72, "次の数を求めなさい。"_sj);
    text(colour::question, 96, 108, "① "_sj + num_text[2] + "より -"_sj + num_text[6] + "大きい数"_sj);
    text(colour::question, 96, 144, "② "_sj + num_text[2] + "より -"_sj + num_text[6] + "小さい数"_sj);
    number_line_with_point(256, num[2]);
}

// ---- answer layout and accepted answers ----------------------------------------
void NegativeMoveFromMinusTwo::answers() {
    blanks(2, {" ① "_sj, "　②　"_sj, "  ", " 　"_sj, " 　"_sj});
    expected(1, 1) = num_text[8];
    expected(2, 1) = num_text[7];
    bank2_rules(signed_form(num[8], expected(1, 1)), signed_form(num[7], expected(2, 1)));
}

// ---- hint 1 ------------------------------------------------------------------
void NegativeMoveFromMinusTwo::hint1() {
    text(colour::hint, 64, 216, "① "_sj + num_text[2] + "より -"_sj + num_text[6] + "大きい数は、"_sj);
    then(colour::answer, num_text[2] + "より "_sj + num_text[6] + "小さい数"_sj);
    then(colour::hint, "　だから "_sj);
}

// ---- hint 2 ------------------------------------------------------------------
void NegativeMoveFromMinusTwo::hint2() {
    text(colour::hint, 96, 270, "数直線上で、"_sj + num_text[2] + "から左に"_sj + num_text[6] + "進んだ数で　"_sj);
    then(colour::answer, num_text[8]);
    hop_from_point(256, num[2], -num[6], num_text[6]);
    number_line_with_point(384, num[2]);
}

// ---- answer ------------------------------------------------------------------
void NegativeMoveFromMinusTwo::answer() {
    text(colour::hint, 64, 342, "② "_sj + num_text[2] + "より -"_sj + num_text[6] + "小さい数は、"_sj);
    then(colour::answer, num_text[2] + "より "_sj + num_text[6] + "大きい数"_sj);
    then(colour::hint, "　だから "_sj);
    text(colour::hint, 96, 396, "数直線上で、"_sj + num_text[2] + "から右に"_sj + num_text[6] + "進んだ数で　"_sj);
    then(colour::answer, num_text[7]);
    hop_from_point(384, num[2], num[6], num_text[6]);
}

NegativeMoveFromMinusTwo problem;

}  // namespace
}  // namespace script
