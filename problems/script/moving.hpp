// What the four moving problems share: their values and the signed second
// forms of their answers.
//
//     num[3], num[6]   the two amounts, 2 to 7 (num[3] the first value in all four)
//     num[1] = 2, num[2] = -2
//     num[4] = 2 + num[3], num[5] = 2 - num[3], num[7] = num[6] - 2, num[8] = -2 - num[6]
#pragma once

#include "problems/script/script.hpp"

namespace script {

void moving_values();
// The second form of a blank: "+" and its main form when the answer is positive,
// so that 4 may be typed as +4; nothing otherwise.
Text signed_form(float answer, const Text& main_form);

}  // namespace script
