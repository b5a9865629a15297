// What the two comparing problems share: their values, the sign between two
// numbers, and the comparison row with its boxed sign.
//
//     num[1] 1..10 (the first value) and num[2] 1..9, never equal
//     num[4] -2..-10 and num[5] 1..9
//     num[7] -2..-9 and num[8] -1..-9, never equal
//     num[10], num[11] two different negative integers with the same tenths -0.2..-0.8 added
//     frac_text[1], frac_text[2] = -aux[1]/aux[2], -aux[3]/aux[2] (num[13], num[14]),
//     aux[1] 1..7, aux[3] 1..8 and not aux[1], aux[2] 10..19
#pragma once

#include "problems/script/script.hpp"

namespace script {

void comparison_values();
// ">" when the right number is the smaller, otherwise "<".
Text sign_between(float left, float right);
// At height r from x 96: the left text, a 48 x 24 box 4 dots higher holding the
// row's number or its sign, and the right text after it.
void comparison_row(float r, const Text& left, const Text& in_box, const Text& right);

}  // namespace script
