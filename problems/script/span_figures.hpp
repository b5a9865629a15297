// The short number lines of the absolute-value problems, drawn at the height
// fig_y[31] = y. Everything they draw, in dots:
//
//   the line     from 32 dots left of the first mark to 32 right of the last, at y, with
//                a tick from y - 4 to y + 4 at each mark (colour::figure)
//   the numbers  markup 16 dots under the line (y + 16) (colour::scale)
//   the hops     two_hops: from x 800 to 960 and from 960 to 1120, 91 dots each (one-dot
//                circles, radius 0.5, colour::figure), at most 16 dots above the line, the
//                first and last dots of each on the line; each labelled with fig_label1,
//                centred on its middle (x 880, 1040), 52 dots above the line
//                (colour::scale); `mark` at (792, y - 32)
//   the total    two_hops_with_total: one more arc under the line from 800 to 1120, 181
//                dots (colour::point), 48 dots deep
//
//     span_to_right("3");     // the line 768-992, marks 800 and 960: "0" at 792, "+3" at 944
//     span_to_left("-3");     // the same line: "-3" at 776, "0" at 952
//     two_hops("7", "①");     // the line 768-1152, marks 800, 960, 1120: -7 -> 0 -> +7
//     two_hops_with_total("2");   // the same with the wide arc under the line from -2 to +2
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
