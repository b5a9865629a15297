// Re-expressing quantities with the opposite word and the opposite sign (self-check, hint choice).
#include "problems/script/script.hpp"

namespace script {
namespace {

struct OppositeWords final : Problem {
    OppositeWords() : Problem(1, 11, "反対のことばで言いかえる"_sj, {48, 63, 480, 288}) {}
    void values() override;
    void question() override;
    void answers() override;
    Text prompt() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
// No first value: the problem after this one compares with the one before.
void OppositeWords::values() {
    num[1] = INT(RND() * 9 + 3);            // 3 to 11 fewer
    num[2] = -num[1];
    num[4] = INT(RND() * 9 + 9);            // 9 to 17 kg lighter
    num[5] = -num[4];
    num[7] = -1000 * INT(RND() * 5 + 1);    // a deficit written -1000 to -5000 yen
    num[8] = -num[7];
    num[10] = -INT(RND() * 9 + 3);          // -3 to -11 smaller
    num[11] = -num[10];
}

// ---- question ----------------------------------------------------------------
void OppositeWords::question() {
    text(colour::question, 64, 72, "次の問題と答えをノートに書きなさい。"_sj);
    text(colour::rule, 64, 108, "つぎのことがらを、正の数は負の数をつかって、"_sj);
    text(colour::rule, 64, 135, "負の数は正の数を使って表しなさい。"_sj);
    text(colour::question, 64, 171, "①　+"_sj + num_text[1] + "個 少ない　"_sj);
    text(colour::question, 64, 198, "②　+"_sj + num_text[4] + "kg 軽い　"_sj);
    text(colour::question, 64, 225, "③　"_sj + num_text[7] + "円 の赤字　"_sj);
    text(colour::question, 64, 252, "④　"_sj + num_text[10] + " 小さい　"_sj);
}

// ---- answer layout and accepted answers ----------------------------------------
// Typing 0 counts as wrong and brings a hint; 1 counts as right and brings everything.
void OppositeWords::answers() { self_check(); }

// ---- prompt ------------------------------------------------------------------
Text OppositeWords::prompt() { return "ヒントなら０、解答なら１、を入力"_sj; }

// ---- hint 1 ------------------------------------------------------------------
void OppositeWords::hint1() {
    text(colour::rule, 528, 90, "「+」は「-」に、「-」は「+」にかえる。"_sj);
    text(colour::rule, 528, 117, "反対のことばにかえる。（例「長い」は「短い」に） "_sj);
}

// ---- hint 2 ------------------------------------------------------------------
void OppositeWords::hint2() {
    text(colour::example, 528, 153, "「少ない」→「多い」　 "_sj);
    text(colour::example, 528, 180, "「軽い」→「重い」　 "_sj);
    text(colour::example, 528, 207, "「赤字」→「黒字」　 "_sj);
    text(colour::example, 528, 234, "「小さい」→「大きい」　 "_sj);
}

// ---- answer ------------------------------------------------------------------
void OppositeWords::answer() {
    text(colour::answer, 64, 324, "①　"_sj + num_text[2] + "個 多い　"_sj);
    text(colour::answer, 64, 351, "②　"_sj + num_text[5] + "kg 重い　"_sj);
    text(colour::answer, 64, 378, "③　+"_sj + num_text[8] + "円 の黒字　"_sj);
    text(colour::answer, 64, 405, "④　+"_sj + num_text[11] + " 大きい　"_sj);
}

OppositeWords problem;

}  // namespace
}  // namespace script
