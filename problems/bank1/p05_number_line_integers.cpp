// Reading the whole numbers at two points A and B of a number line.
#include "problems/script/number_line.hpp"
#include "problems/script/script.hpp"

namespace script {
namespace {

struct NumberLineIntegers final : Problem {
    NumberLineIntegers() : Problem(1, 5, "数直線の読み（整数）"_sj, {48, 63, 480, 117}) {}
    void values() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
void NumberLineIntegers::values() {
    num[1] = first_value([] { return INT(RND() * 9 + 1); });   // A: 1 to 9
    clock_seeding();
    num[2] = -INT(RND() * 7 + 1);                                // B: -1 to -7
}

// ---- question ----------------------------------------------------------------
void NumberLineIntegers::question() {
    text(colour::question, 64, 72, "数直線上で、A,Bにあたる数をいいなさい。"_sj);
    number_line();
    number_line_point(1);
    number_line_point(2);
}

// ---- answer layout and accepted answers ----------------------------------------
void NumberLineIntegers::answers() {
    blanks(2, {" A "_sj, "　B　"_sj, "  "_sj, " 　"_sj, " 　"_sj});
    expected(1, 1) = num_text[1];
    expected(2, 1) = num_text[2];
    expected(1, 2) = signed_text(num[1]);   // A written with its sign is right too
    expected(2, 2) = "";
    alternative2_mk();
}

// ---- hint 1 ------------------------------------------------------------------
void NumberLineIntegers::hint1() { text(colour::hint, 32, 144, "正の数…０より右の方に表される数"_sj); }

// ---- hint 2 ------------------------------------------------------------------
void NumberLineIntegers::hint2() {
    text(colour::hint, 32, 180, "負の数…０より左の方に表される数（-をつける）"_sj);
    text(colour::answer, 128, 252, "A…"_sj + num_text[1]);
}

// ---- answer ------------------------------------------------------------------
void NumberLineIntegers::answer() { text(colour::answer, 288, 252, "B…"_sj + num_text[2]); }

NumberLineIntegers problem;

}  // namespace
}  // namespace script
