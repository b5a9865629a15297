// The short number lines of the absolute-value problems, drawn at the height
// fig_y[31] (lines colour 15, texts colour 13):
//
//     span_to_right("3");     // 0 at x 800 to +3 at x 960
//     span_to_left("-3");     // -3 at x 800 to 0 at x 960
//     two_hops("7", "①");     // -7 -> 0 -> +7 at x 800, 960, 1120, each hop labelled 7
//     two_hops_with_total("2");   // the same with a wide arc under the line from -2 to +2
//
// They set fig_x[31..32] (the spans) or fig_x[31..33] (the hops) to the x of their marks.
#pragma once

#include "problems/script/script.hpp"

namespace script {

void span_to_right(const Text& fig_label1);
void span_to_left(const Text& fig_label1);
// `mark` is drawn above the left end (a circled number, or nothing).
void two_hops(const Text& fig_label1, const Text& mark);
void two_hops_with_total(const Text& fig_label1);

}  // namespace script
