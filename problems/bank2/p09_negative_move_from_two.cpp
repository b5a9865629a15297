// Greater or smaller than 2 by a negative amount: greater by -n is smaller by n.
#include "problems/script/bank2_rules.hpp"
#include "problems/script/long_number_line.hpp"
#include "problems/script/moving.hpp"

namespace script {
namespace {

struct NegativeMoveFromTwo final : Problem {
    NegativeMoveFromTwo() : Problem(2, 9, "負の数だけ大きい数（2から）"_sj, bank2_panel(400, 180)) {}
    void values() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
// n = num[3]; num[4] = 2 + n, num[5] = 2 - n.
void NegativeMoveFromTwo::values() { moving_values(); }

// ---- question ----------------------------------------------------------------
void NegativeMoveFromTwo::question() {
    text(colour::question, 64, 72, "次の数を求めなさい。"_sj);
    text(colour::question, 96, 108, "① "_sj + num_text[1] + "より -"_sj + num_text[3] + "大きい数"_sj);
    text(colour::question, 96, 144, "② "_sj + num_text[1] + "より -"_sj + num_text[3] + "小さい数"_sj);
    number_line_with_point(256, num[1]);
}

// ---- answer layout and accepted answers ----------------------------------------
void NegativeMoveFromTwo::answers() {
    blanks(2, {" ① "_sj, "　②　"_sj, "  ", " 　"_sj, " 　"_sj});
    expected(1, 1) = num_text[5];
    expected(2, 1) = num_text[4];
    bank2_rules(signed_form(num[5], expected(1, 1)), signed_form(num[4], expected(2, 1)));
}

// ---- hint 1 ------------------------------------------------------------------
void NegativeMoveFromTwo::hint1() {
    text(colour::hint, 64, 306, "① "_sj + num_text[1] + "より -"_sj + num_text[3] + "大きい数は、"_sj);
    then(colour::answer, num_text[1] + "より "_sj + num_text[3] + "小さい数"_sj);
    then(colour::hint, "　だから "_sj);
}

// ---- hint 2 ------------------------------------------------------------------
void NegativeMoveFromTwo::hint2() {
    text(colour::hint, 96, 333, "数直線上で、"_sj + num_text[1] + "から左に"_sj + num_text[3] + "進んだ数で　"_sj);
    then(colour::answer, num_text[5]);
    hop_from_point(256, num[1], -num[3], num_text[3]);
    number_line_with_point(384, num[1]);
}

// ---- answer ------------------------------------------------------------------
void NegativeMoveFromTwo::answer() {
    text(colour::hint, 64, 369, "② "_sj + num_text[1] + "より -"_sj + num_text[3] + "小さい数は、"_sj);
    then(colour::answer, num_text[1] + "より "_sj + num_text[3] + "大きい数"_sj);
    then(colour::hint, "　だから "_sj);
    text(colour::hint, 96, 396, "数直線上で、"_sj + num_text[1] + "から右に"_sj + num_text[3] + "進んだ数で　"_sj);
    then(colour::answer, num_text[4]);
    hop_from_point(384, num[1], num[3], num_text[3]);
}

NegativeMoveFromTwo problem;

}  // namespace
}  // namespace script
