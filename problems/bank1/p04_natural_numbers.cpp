// Picking the natural numbers and the integers out of a shuffled list (self-check).
#include "problems/script/script.hpp"

namespace script {
namespace {

struct NaturalNumbers final : Problem {
    // Wide enough for the longest first line of the list, with its trailing comma.
    NaturalNumbers() : Problem(1, 4, "自然数と整数"_sj, {48, 63, 528, 270}) {}
    void values() override;
    void fixups() override;
    void question() override;
    void answers() override;
    Text prompt() override;
};

// ---- values ------------------------------------------------------------------
// The nine items: two natural numbers (the second shown with "+"), two negative
// integers, zero, two decimals and two fractions (num[7] and num[9] take the
// fractions' texts). A value is drawn again where it would repeat another item
// or a fraction would come out whole, so that the worked answers list exactly
// the whole numbers on the screen.
void NaturalNumbers::values() {
    num[1] = first_value([] { return INT(RND() * 15 + 1); });   // 1 to 15
    do num[2] = INT(RND() * 15 + 1);                              // 1 to 15
    while (num[2] == num[1]);
    num[3] = -INT(RND() * 7 + 1);                                 // -1 to -7
    do num[4] = -INT(RND() * 7 + 6);                              // -6 to -12
    while (num[4] == num[3]);
    num[5] = 0;
    num[6] = 5 + INT(RND() * 9 + 1) / 10;                         // 5.1 to 5.9
    num[8] = -2 - INT(RND() * 9 + 1) / 10;                        // -2.1 to -2.9
    float den;
    do den = INT(RND() * 15 + 1);                                 // 1/2 to 1/15
    while (den == 1);
    frac_text[1] = fraction(1, den);
    do den = INT(RND() * 15 + 1);                                 // -2/3 to -2/15, reduced
    while (den <= 2);
    frac_text[2] = fraction(-2, den);
}

// ---- text fix-ups --------------------------------------------------------------
void NaturalNumbers::fixups() {
    num_text[2] = signed_text(num[2]);
    num_text[7] = frac_text[1];
    num_text[9] = frac_text[2];

    // Shuffle the nine items into aux_text[1..9]; num_text[11..19] mark the taken ones.
    for (int i = 1; i <= 9; ++i) {
        float r;
        do r = INT(RND() * 9 + 1);
        while (num_text[10 + r] == "no");
        aux_text[i] = num_text[r];
        num_text[10 + r] = "no";
    }
}

// ---- question ----------------------------------------------------------------
void NaturalNumbers::question() {
    text(colour::question, 64, 72, "次の問題と答えをノートに書きなさい。"_sj);
    text(colour::question, 64, 108, "①　次の数の中で自然数を書きなさい。"_sj);
    text(colour::question, 64, 144, "②　次の数の中で整数を書きなさい。 "_sj);
    text(colour::question, 64, 180, aux_text[1] + " , " + aux_text[2] + " , " + aux_text[3] + " , " + aux_text[4] + " , " +
                          aux_text[5] + " , ");
    text(colour::question, 64, 234, aux_text[6] + " , " + aux_text[7] + " , " + aux_text[8] + " , " + aux_text[9]);
    key_pause();

    text(colour::answer, 64, 288, "①　自然数…"_sj + num_text[1] + " , " + num_text[2]);
    text(colour::answer, 64, 342, "②　整数…"_sj + num_text[1] + " , " + num_text[2] + " , " + num_text[3] + " , " +
                          num_text[4] + " , " + num_text[5]);
}

// ---- answer layout and accepted answers ----------------------------------------
void NaturalNumbers::answers() {
    self_check();   // alternative2 from the pen's texts
}

// ---- prompt ------------------------------------------------------------------
Text NaturalNumbers::prompt() { return self_check_prompt(); }

// Hint 1, hint 2 and the answer draw nothing: the answers are already on screen.

NaturalNumbers problem;

}  // namespace
}  // namespace script
