// Reading the halves at two points C and D of a number line.
#include "problems/script/number_line.hpp"
#include "problems/script/script.hpp"

namespace script {
namespace {

struct NumberLineHalves final : Problem {
    NumberLineHalves() : Problem(1, 6, "数直線の読み（0.5きざみ）"_sj, {48, 63, 480, 117}) {}
    void values() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
void NumberLineHalves::values() {
    num[1] = first_value([] { return INT(RND() * 9 + 1); });   // not shown; only remembered
    clock_seeding();
    num[3] = INT(RND() * 8 + 1) + 0.5f;                          // C: 1.5 to 8.5
    num[4] = -INT(RND() * 8 + 1) - 0.5f;                         // D: -1.5 to -8.5
}

// ---- question ----------------------------------------------------------------
void NumberLineHalves::question() {
    text(colour::question, 64, 72, "数直線上で、C,Dにあたる数をいいなさい。"_sj);
    number_line();
    number_line_point(3);
    number_line_point(4);
}

// ---- answer layout and accepted answers ----------------------------------------
void NumberLineHalves::answers() {
    blanks(2, {" C "_sj, "　D　"_sj, "  "_sj, " 　"_sj, " 　"_sj});
    expected(1, 1) = num_text[3];
    expected(2, 1) = num_text[4];
    expected(1, 2) = signed_text(num[3]);   // C written with its sign is right too
    expected(2, 2) = "";
    alternative2_mk();
}

// ---- hint 1 ------------------------------------------------------------------
void NumberLineHalves::hint1() {
    text(colour::hint, 32, 144, "正の数…０より右の方に表される数"_sj);
    text(colour::hint, 32, 180, "数と数のまん中は0.5"_sj);
}

// ---- hint 2 ------------------------------------------------------------------
void NumberLineHalves::hint2() {
    text(colour::hint, 32, 216, "負の数…０より左の方に表される数（-をつける）"_sj);
    text(colour::answer, 128, 279, "C…"_sj + num_text[3]);
}

// ---- answer ------------------------------------------------------------------
void NumberLineHalves::answer() { text(colour::answer, 288, 279, "D…"_sj + num_text[4]); }

NumberLineHalves problem;

}  // namespace
}  // namespace script
