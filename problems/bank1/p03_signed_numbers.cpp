// Numbers greater or less than 0 by a given amount, written with a sign.
#include "problems/script/script.hpp"
#include "problems/script/thermometer.hpp"

namespace script {
namespace {

struct SignedNumbers final : Problem {
    SignedNumbers() : Problem(1, 3, "0より大きい数・小さい数"_sj, {48, 63, 480, 180}) {}
    void values() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
void SignedNumbers::values() {
    // 1.1 to 9.9: the whole part and the tenths digit are two draws.
    num[11] = first_value([] {
        float ones = INT(RND() * 9 + 1);      // two draws, the whole part first
        return ones + INT(RND() * 9 + 1) / 10;
    });
    aux[1] = INT(RND() * 5 + 1);    // numerator 1 to 5
    aux[2] = INT(RND() * 15 + 6);   // denominator 6 to 20: always a proper fraction
    frac_text[1] = fraction(aux[1], aux[2]);
    frac_text[2] = fraction(-aux[1], aux[2]);
    num[1] = num[11];
    num[2] = -aux[1] / aux[2];
}

// ---- question ----------------------------------------------------------------
void SignedNumbers::question() {
    text(colour::question, 64, 72, "次の数を、正の符号、負の符号をつけて表しなさい。"_sj);
    text(colour::question, 64, 99, "① 0より"_sj + num_text[11] + " 大きい数"_sj);
    text(colour::question, 64, 144, "② 0より"_sj + frac_text[1] + " 小さい数"_sj);
}

// ---- answer layout and accepted answers ----------------------------------------
void SignedNumbers::answers() {
    blanks(2, {" ① "_sj, "　 ②　"_sj, ""_sj, " 　"_sj, " 　"_sj});
    expected(1, 1) = signed_text(num[11]);
    expected(2, 1) = stripped(frac_text[2]);
    expected(1, 2) = "";
    expected(2, 2) = "";
    alternative2_mk();
}

// ---- hint 1 ------------------------------------------------------------------
void SignedNumbers::hint1() { thermometer(num[1]); }

// ---- hint 2 ------------------------------------------------------------------
void SignedNumbers::hint2() {
    text(colour::answer, 48, 288, "① +"_sj + num_text[11]);
    thermometer_column(num[2]);   // a small negative value, just below 0 ℃
}

// ---- answer ------------------------------------------------------------------
void SignedNumbers::answer() { text(colour::answer, 48, 324, "② "_sj + frac_text[2]); }

SignedNumbers problem;

}  // namespace
}  // namespace script
