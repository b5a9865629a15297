// The number n greater and n smaller than 2: n to the right or to the left of 2.
#include "problems/script/bank2_rules.hpp"
#include "problems/script/long_number_line.hpp"
#include "problems/script/moving.hpp"

namespace script {
namespace {

struct MovingFromTwo final : Problem {
    MovingFromTwo() : Problem(2, 7, "2より大きい数・小さい数"_sj, bank2_panel(400, 180)) {}
    void values() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
// n = num[3]; num[4] = 2 + n, num[5] = 2 - n.
void MovingFromTwo::values() { moving_values(); }

// ---- question ----------------------------------------------------------------
void MovingFromTwo::question() {
    text(colour::question, 64, 72, "次の数を求めなさい。"_sj);
    text(colour::question, 96, 108, "① "_sj + num_text[1] + "より "_sj + num_text[3] + "大きい数"_sj);
    text(colour::question, 96, 144, "② "_sj + num_text[1] + "より "_sj + num_text[3] + "小さい数"_sj);
    number_line_with_point(256, num[1]);
}

// ---- answer layout and accepted answers ----------------------------------------
// A positive answer may be typed with its "+" as well.
void MovingFromTwo::answers() {
    blanks(2, {" ① "_sj, "　②　"_sj, "  ", " 　"_sj, " 　"_sj});
    expected(1, 1) = num_text[4];
    expected(2, 1) = num_text[5];
    bank2_rules(signed_form(num[4], expected(1, 1)), signed_form(num[5], expected(2, 1)));
}

// ---- hint 1 ------------------------------------------------------------------
void MovingFromTwo::hint1() {
    text(colour::hint, 64, 324, "① 数直線上で、"_sj + num_text[1] + "から右に"_sj + num_text[3] + "進んだ数　"_sj);
}

// ---- hint 2 ------------------------------------------------------------------
// The move on the question's line, and a fresh line for the answer's move.
void MovingFromTwo::hint2() {
    text(colour::answer, 96, 360, "答え…"_sj + num_text[4]);
    hop_from_point(256, num[1], num[3], num_text[3]);
    number_line_with_point(384, num[1]);
}

// ---- answer ------------------------------------------------------------------
void MovingFromTwo::answer() {
    text(colour::hint, 64, 414, "② 数直線上で、"_sj + num_text[1] + "から左に"_sj + num_text[3] + "進んだ数　 "_sj);
    text(colour::answer, 96, 450, "答え…"_sj + num_text[5]);
    hop_from_point(384, num[1], -num[3], num_text[3]);
}

MovingFromTwo problem;

}  // namespace
}  // namespace script
