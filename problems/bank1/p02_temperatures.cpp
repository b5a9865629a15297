// Temperatures above and below 0 ℃, read as signed numbers on a thermometer.
#include "problems/script/script.hpp"
#include "problems/script/thermometer.hpp"

namespace script {
namespace {

struct Temperatures final : Problem {
    Temperatures() : Problem(1, 2, "温度"_sj, {48, 63, 480, 171}) {}
    void values() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
void Temperatures::values() {
    num[1] = first_value([] { return INT(RND() * 150 + 10) / 10; });   // 1.0 to 15.9 above 0 ℃
    num[2] = -INT(RND() * 150 + 10) / 10;                               // -1.0 to -15.9
    num[3] = ABS(num[2]);                                               // shown without its sign
}

// ---- question ----------------------------------------------------------------
void Temperatures::question() {
    text(colour::question, 64, 72, "次の温度をいいなさい。"_sj);
    text(colour::question, 64, 99, "① 0℃より"_sj + num_text[1] + "℃　高い温度"_sj);
    text(colour::question, 64, 126, "② 0℃より"_sj + num_text[3] + "℃　低い温度"_sj);
}

// ---- answer layout and accepted answers ----------------------------------------
void Temperatures::answers() {
    blanks(2, {" ① "_sj, "　℃ ②　"_sj, " ℃ "_sj, " 　"_sj, " 　"_sj});
    expected(1, 1) = num_text[1];
    expected(2, 1) = num_text[2];
    expected(1, 2) = "";
    expected(2, 2) = "";
    alternative2_mk();
}

// ---- hint 1 ------------------------------------------------------------------
void Temperatures::hint1() { thermometer(num[1]); }

// ---- hint 2 ------------------------------------------------------------------
void Temperatures::hint2() {
    text(colour::answer, 48, 288, "① "_sj + num_text[1] + "℃"_sj);
    thermometer_column(num[2]);
}

// ---- answer ------------------------------------------------------------------
void Temperatures::answer() { text(colour::answer, 48, 324, "② "_sj + num_text[2] + "℃"_sj); }

Temperatures problem;

}  // namespace
}  // namespace script
