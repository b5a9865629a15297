// What every problem of the second bank shares: the question panel's left and
// top, and the accepted answers besides the problem's own.
#pragma once

#include "problems/script/script.hpp"

namespace script {

// The question panel of the second bank: left 48, top 63.
constexpr Panel bank2_panel(float right, float bottom) { return {48, 63, right, bottom}; }

// The second forms of blanks 1 and 2 (none unless the problem gives them), the
// fixed texts of blanks 3 and 4 ("AQ:CQ", "BP"), and alternative2 = "mk" + the
// second form of blank 1.
void bank2_rules(const Text& second1 = {}, const Text& second2 = {});

}  // namespace script
