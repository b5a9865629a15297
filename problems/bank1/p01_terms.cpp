// Terms: positive and negative numbers, their signs, zero and natural numbers (self-check).
#include "problems/script/script.hpp"

namespace script {
namespace {

struct Terms final : Problem {
    Terms() : Problem(1, 1, "正負の数の用語"_sj, {48, 63, 560, 360}) {}
    void question() override;
    void answers() override;
    Text prompt() override;
};

// ---- question ----------------------------------------------------------------
void Terms::question() {
    text(colour::question, 64, 72, "次の問題と答えをノートに書きなさい。"_sj);
    text(colour::rule, 32, 108, "   <varnel>"_sj);
    text(colour::question, 64, 144, "①　０より大きい数を　"_sj); boxed("問１"_sj, 80, 18);
    then(colour::question, " という。"_sj);
    text(colour::question, 64, 180, "②　０より小さい数を "_sj); boxed("問２"_sj, 80, 18);
    then(colour::question, " という。"_sj);
    text(colour::question, 64, 234, "③　「+」を"_sj); boxed("問３"_sj, 96, 18);
    then(colour::question, " 、「－」を"_sj); boxed("問4"_sj, 96, 18); then(colour::question, " という。"_sj);
    text(colour::question, 64, 270, "④　整数には、正の整数、"_sj); boxed("問５"_sj, 48, 18);
    then(colour::question, " 、負の整数がある。"_sj);
    text(colour::question, 64, 306, "⑤　正の整数｛1,2,3,…｝を、"_sj); boxed("問６"_sj, 64, 18);
    then(colour::question, " ともいう。"_sj);
    key_pause();

    // The answers go into the boxes; the text after each box stays from the question.
    text(colour::question, 64, 144, "①　０より大きい数を　"_sj); boxed("正の数"_sj, 80, 18);
    text(colour::question, 64, 180, "②　０より小さい数を "_sj); boxed("負の数"_sj, 80, 18);
    text(colour::question, 64, 234, "③　「+」を"_sj); boxed("正の符号"_sj, 96, 18);
    then(colour::question, " 、「－」を"_sj); boxed("負の符号"_sj, 96, 18);
    text(colour::question, 64, 270, "④　整数には、正の整数、"_sj); boxed("０"_sj, 48, 18);
    text(colour::question, 64, 306, "⑤　正の整数｛1,2,3,…｝を、"_sj); boxed("自然数"_sj, 64, 18);
}

// ---- answer layout and accepted answers ----------------------------------------
void Terms::answers() {
    self_check();   // alternative2 from the pen's texts
}

// ---- prompt ------------------------------------------------------------------
Text Terms::prompt() { return self_check_prompt(); }

// Hint 1, hint 2 and the answer draw nothing: the answers are already on screen.

Terms problem;

}  // namespace
}  // namespace script
