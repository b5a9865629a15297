// Opposite quantities: income/expense, east/west, profit/loss as signed numbers.
#include "problems/script/script.hpp"

namespace script {
namespace {

struct OppositeQuantities final : Problem {
    OppositeQuantities() : Problem(1, 8, "反対の性質をもつ量"_sj, {48, 63, 560, 288}) {}
    void values() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
    static void raised_box(const Text& label);
};

// ---- values ------------------------------------------------------------------
// No first value: the problem after this one compares with the one before.
void OppositeQuantities::values() {
    num[1] = 1000 * INT(RND() * 6 + 1);   // 1000 to 6000 yen of income
    num[2] = 100 * INT(RND() * 6 + 3);    // 300 to 800 yen of expense
    num[3] = -num[2];
    num[11] = INT(RND() * 6 + 4);         // 4 to 9 km east
    num[12] = INT(RND() * 6 + 3);         // 3 to 8 km west
    num[13] = -num[12];
    num[21] = 100 * INT(RND() * 3 + 3);   // 300 to 500 yen of profit
    num[22] = 100 * INT(RND() * 3 + 1);   // 100 to 300 yen of loss
    num[23] = -num[22];
}

// ---- question ----------------------------------------------------------------
void OppositeQuantities::question() {
    text(colour::question, 64, 72, "次の"_sj); raised_box("");
    then(colour::question, " にあてはまる数を答えなさい。"_sj);
    text(colour::question, 64, 99, "① "_sj + num_text[1] + "円の収入を +"_sj + num_text[1] + "円と表すとき、"_sj);
    text(colour::question, 96, 126, num_text[2] + "円の支出は、"_sj); raised_box("①"_sj);
    then(colour::question, " 円と表される。"_sj);
    text(colour::question, 64, 162, "② "_sj + num_text[11] + "km東へ移動することを +"_sj + num_text[11] + "kmと表すとき、"_sj);
    text(colour::question, 96, 189, num_text[12] + "km西へ移動することは、"_sj); raised_box("②"_sj);
    then(colour::question, " kmと表される。"_sj);
    text(colour::question, 64, 225, "③ "_sj + num_text[21] + "円の利益を +"_sj + num_text[21] + "円と表すとき、"_sj);
    text(colour::question, 96, 252, num_text[22] + "円の損失は、"_sj); raised_box("③"_sj);
    then(colour::question, " 円と表される。"_sj);
}

// ---- answer layout and accepted answers ----------------------------------------
// The second quantity of each pair is shown without a sign and expected negative.
void OppositeQuantities::answers() {
    blanks(3, {" ① "_sj, "　②　"_sj, " ③ "_sj, " 　"_sj, " 　"_sj});
    expected(1, 1) = num_text[3];
    expected(2, 1) = num_text[13];
    expected(3, 1) = num_text[23];
    expected(1, 2) = "";
    expected(2, 2) = "";
    expected(3, 2) = "";
    alternative2_pen();
}

// ---- hint 1 ------------------------------------------------------------------
void OppositeQuantities::hint1() {
    text(colour::hint, 64, 342, "① 収入が+ だから　支出は-となり、"_sj); then(colour::answer, num_text[3] + "円"_sj);
}

// ---- hint 2 ------------------------------------------------------------------
void OppositeQuantities::hint2() {
    text(colour::hint, 64, 396, "② 東への移動が+ だから　西への移動は-となり、"_sj);
    then(colour::answer, num_text[13] + "km");
}

// ---- answer ------------------------------------------------------------------
void OppositeQuantities::answer() {
    text(colour::hint, 64, 450, "③ 利益が+ だから　損失は-となり、"_sj); then(colour::answer, num_text[23] + "円"_sj);
}

// ---- figure ------------------------------------------------------------------
// A 64 x 24 box standing 4 dots above the text line it sits in.
void OppositeQuantities::raised_box(const Text& label) {
    pen_y -= 4;
    boxed(label, 64, 24);
    pen_y += 4;
}

OppositeQuantities problem;

}  // namespace
}  // namespace script
