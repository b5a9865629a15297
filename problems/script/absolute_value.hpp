// The values that the first two absolute-value problems both draw, so that the
// second shows a decimal and two fractions from the same run of draws:
//
//     num[1]   -1 to -9 (the first value), then the clock seeding
//     num[2]   2 to 10
//     num[3]   -1.4 to -3.6, tenths 4, 5 or 6
//     num[4], num[5]   the fractions 1..3 / 7..12 of frac_text[1], frac_text[2]
//     num[11..13]      the absolute values of num[1..3]
#pragma once

#include "problems/script/script.hpp"

namespace script {

void absolute_value_values();
// After the number-text conversion: num_text[4] the first fraction, num_text[5]
// the second one negative; num_text[14], num_text[15] their absolute values.
void absolute_value_fixups();

}  // namespace script
