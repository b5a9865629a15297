#include "problems/script/absolute_value.hpp"

namespace script {

void absolute_value_values() {
    num[1] = first_value([] { return -INT(RND() * 9 + 1); });
    num[11] = ABS(num[1]);
    clock_seeding();
    num[2] = INT(RND() * 9 + 2);
    num[12] = ABS(num[2]);
    float whole = INT(RND() * 3 + 1);
    float tenths = INT(RND() * 3 + 4) / 10;
    num[3] = -whole - tenths;
    num[13] = ABS(num[3]);
    for (int i = 1; i <= 2; ++i) {
        aux[1] = INT(RND() * 3 + 1);
        aux[2] = INT(RND() * 6 + 7);
        frac_text[i] = fraction(aux[1], aux[2]);
        num[3 + i] = aux[1] / aux[2];
    }
}

void absolute_value_fixups() {
    num_text[4] = frac_text[1];
    num_text[5] = "-" + frac_text[2];
    num_text[14] = frac_text[1];
    num_text[15] = frac_text[2];
}

}  // namespace script
