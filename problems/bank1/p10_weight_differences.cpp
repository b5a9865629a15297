// Differences from 56 kg written with a sign: "+4" heavier, "0" exactly, "-6" lighter.
#include "problems/script/script.hpp"
#include "problems/script/weight_table.hpp"

namespace script {
namespace {

struct WeightDifferences final : Problem {
    WeightDifferences() : Problem(1, 10, "基準との差"_sj, {48, 63, 400, 162}) {}
    void values() override;
    void fixups() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
void WeightDifferences::values() { weight_values(); }

// ---- text fix-ups --------------------------------------------------------------
// The differences of C, D and E are the blanks ③ ④ ⑤; the weights of A and B stay empty.
void WeightDifferences::fixups() {
    weight_cells();
    aux_text[13] = "③"_sj;
    aux_text[14] = "④"_sj;
    aux_text[15] = "⑤"_sj;
    aux_text[21] = "";
    aux_text[22] = "";
}

// ---- question ----------------------------------------------------------------
void WeightDifferences::question() {
    text(colour::question, 64, 72, "下の表は、5人の生徒の体重が５６kgより"_sj);
    text(colour::question, 64, 99, "どれだけ重いかを示したものです。"_sj);
    text(colour::question, 64, 126, "③④⑤にあてはまる数を答えなさい。"_sj);
    weight_table();
}

// ---- answer layout and accepted answers ----------------------------------------
// C's difference is expected with its "+", D's as a bare "0".
void WeightDifferences::answers() {
    blanks(3, {" ③ "_sj, "　④　"_sj, " ⑤ "_sj, " 　"_sj, " 　"_sj});
    expected(1, 1) = num_text[7];
    expected(2, 1) = num_text[10];
    expected(3, 1) = num_text[13];
    expected(1, 2) = "";
    expected(2, 2) = "";
    expected(3, 2) = "AQ:CQ";
    alternative2_mk();
}

// ---- hint 1 ------------------------------------------------------------------
void WeightDifferences::hint1() {
    text(colour::hint, 528, 90, "③　"_sj + num_text[8] + "-56=" + num_text[9] + "　で "_sj);
    text(colour::hint, 528, 126, "  　56kgより "_sj + num_text[9] + "kg 重いから "_sj);
    then(colour::answer, num_text[7]);
}

// ---- hint 2 ------------------------------------------------------------------
void WeightDifferences::hint2() {
    text(colour::hint, 528, 180, "④　"_sj + num_text[11] + "-56=" + num_text[12] + "　で "_sj);
    text(colour::hint, 528, 216, "  　56kgちょうどだから "_sj); then(colour::answer, num_text[10]);
}

// ---- answer ------------------------------------------------------------------
void WeightDifferences::answer() {
    text(colour::hint, 528, 270, "⑤　56-"_sj + num_text[14] + "=" + num_text[15] + "　で "_sj);
    text(colour::hint, 528, 306, "  　56kgより "_sj + num_text[15] + "kg 軽いから "_sj);
    then(colour::answer, num_text[13]);
}

WeightDifferences problem;

}  // namespace
}  // namespace script
