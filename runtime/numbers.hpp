// Numbers as the drill uses them: single precision, BASIC's text forms.
#pragma once

#include <cmath>

#include "runtime/text.hpp"

namespace rt {

// STR$: shortest form with at most 7 significant digits, a blank before
// non-negative numbers: 12.3 -> " 12.3", -12 -> "-12".
Text str(float n);
// VAL: the number at the start of the text ("3abc" -> 3); 0 when there is none.
float val(const Text& s);
// INT: the greatest whole number not above n.
inline float INT(float n) { return std::floor(n); }
// A float used as an index or a count: rounded to the nearest whole number.
int whole(float n);
Text chr(int code);
Text space(int n);

}  // namespace rt
