#include "problems/script/comparing.hpp"

namespace script {

void comparison_values() {
    num[1] = first_value([] {
        float left = INT(RND() * 9 + 2);
        num[2] = INT(RND() * 9 + 1);
        if (left == num[2]) left = left - 1;
        return left;
    });

    num[4] = -INT(RND() * 9 + 2);
    num[5] = INT(RND() * 9 + 1);

    num[7] = -INT(RND() * 8 + 2);
    num[8] = -INT(RND() * 8 + 1);
    if (num[8] == num[7]) num[8] = num[8] - 1;

    num[10] = -INT(RND() * 8 + 2);
    num[11] = -INT(RND() * 8 + 1);
    if (num[11] == num[10]) num[11] = num[11] - 1;
    float tenths = -INT(RND() * 7 + 2) / 10;
    num[10] = num[10] + tenths;
    num[11] = num[11] + tenths;

    aux[1] = INT(RND() * 7 + 1);
    aux[2] = INT(RND() * 10 + 10);
    frac_text[1] = fraction(-aux[1], aux[2]);
    num[13] = -aux[1] / aux[2];

    aux[3] = INT(RND() * 7 + 2);
    if (aux[3] == aux[1]) aux[3] = aux[3] - 1;
    frac_text[2] = fraction(-aux[3], aux[2]);
    num[14] = -aux[3] / aux[2];
}

Text sign_between(float left, float right) { return right < left ? ">" : "<"; }

void comparison_row(float r, const Text& left, const Text& in_box, const Text& right) {
    text(colour::question, 96, r, left);
    pen_y = r - 4;
    boxed(in_box, 48, 24, 6, 11, 13);
    pen_y = r;
    then(colour::question, right);
}

}  // namespace script
