// Weights from differences: 56 kg plus or minus how much heavier a pupil is.
#include "problems/script/script.hpp"
#include "problems/script/weight_table.hpp"

namespace script {
namespace {

struct Weights final : Problem {
    Weights() : Problem(1, 9, "基準との差から体重"_sj, {48, 63, 400, 162}) {}
    void values() override;
    void fixups() override;
    void question() override;
    void answers() override;
    void hint1() override;
    void hint2() override;
    void answer() override;
};

// ---- values ------------------------------------------------------------------
void Weights::values() { weight_values(); }

// ---- text fix-ups --------------------------------------------------------------
// The weights of A and B are the blanks ① and ②; C, D and E leave their differences empty.
void Weights::fixups() {
    weight_cells();
    aux_text[13] = "";
    aux_text[14] = "";
    aux_text[15] = "";
    aux_text[21] = "①"_sj;
    aux_text[22] = "②"_sj;
}

// ---- question ----------------------------------------------------------------
void Weights::question() {
    text(colour::question, 64, 72, "下の表は、5人の生徒の体重が５６kgより"_sj);
    text(colour::question, 64, 99, "どれだけ重いかを示したものです。"_sj);
    text(colour::question, 64, 126, "①②にあてはまる数を答えなさい。"_sj);
    weight_table();
}

// ---- answer layout and accepted answers ----------------------------------------
void Weights::answers() {
    blanks(2, {" ① "_sj, "　②　"_sj, "  "_sj, " 　"_sj, " 　"_sj});
    expected(1, 1) = num_text[2];
    expected(2, 1) = num_text[5];
    expected(1, 2) = "";
    expected(2, 2) = "";
    alternative2_mk();
}

// ---- hint 1 ------------------------------------------------------------------
void Weights::hint1() { text(colour::hint, 528, 90, "①　56kgより "_sj + num_text[3] + "kg 重いから "_sj); }

// ---- hint 2 ------------------------------------------------------------------
void Weights::hint2() {
    text(colour::hint, 560, 126, "56+" + num_text[3] + "=" + num_text[2] + " となり "_sj);
    then(colour::answer, num_text[2] + "kg");
}

// ---- answer ------------------------------------------------------------------
void Weights::answer() {
    text(colour::hint, 528, 180, "②　56kgより "_sj + num_text[6] + "kg 軽いから "_sj);
    text(colour::hint, 560, 216, "56-" + num_text[6] + "=" + num_text[5] + " となり "_sj);
    then(colour::answer, num_text[5] + "kg");
}

Weights problem;

}  // namespace
}  // namespace script
