#include "problems/script/weight_table.hpp"

namespace script {

void weight_values() {
    num[1] = first_value([] { return INT(RND() * 9 + 1); });   // A: 1 to 9 kg heavier
    num[2] = 56 + num[1];
    num[3] = num[1];
    num[4] = -INT(RND() * 9 + 1);                              // B: 1 to 9 kg lighter
    num[5] = 56 + num[4];
    num[6] = ABS(num[4]);
    num[7] = INT(RND() * 9 + 1);                               // C: 1 to 9 kg heavier
    num[8] = 56 + num[7];
    num[9] = num[7];
    num[10] = 0;                                               // D: exactly 56 kg
    num[11] = 56;
    num[12] = 0;
    num[13] = -INT(RND() * 9 + 1);                             // E: 1 to 9 kg lighter
    num[14] = 56 + num[13];
    num[15] = ABS(num[13]);
}

void weight_cells() {
    const Figure figure("表");
    for (int i : {1, 4, 7, 10, 13}) num_text[i] = signed_text(num[i]);
    const char* names[] = {"A", "B", "C", "D", "E"};
    for (int i = 1; i <= 5; ++i) aux_text[i] = names[i - 1];
    aux_text[11] = num_text[1];
    aux_text[12] = num_text[4];
    aux_text[23] = num_text[8];
    aux_text[24] = num_text[11];
    aux_text[25] = num_text[14];
}

void weight_table() {
    const Figure figure("表");
    struct Row { float y; Text header; int first; };
    const Row rows[] = {{180, "生徒"_sj, 1}, {207, "増減"_sj, 11}, {234, "体重(kg)"_sj, 21}};
    for (const Row& row : rows) {
        pen_x = 80;
        pen_y = row.y;
        boxed(row.header, 96, 27, 10);
        for (int i = row.first; i < row.first + 5; ++i) boxed(aux_text[i], 48, 27, 10);
    }
}

}  // namespace script
