// The number line from -10 to 10 of the comparing and moving problems, drawn at
// any height y (fig_y[31]): 24 dots per unit, 0 at x 960, every unit ticked and
// labelled, long ticks at -10, 0 and 10 (fig_x[31..33] = 960, 720, 1200).
//
//     number_line_two_points(128, num[1], "+3", num[2], "+5");   // labels as plain text
//     number_line_two_marked_points(320, num[13], frac_text[1], num[14], frac_text[2]);
//     number_line_with_point(256, num[1]);                       // one point, no label
//     hop_from_point(256, num[1], -num[3], num_text[3]);         // the move from that point
//
// The first point's label goes above the line, the second's below it.
#pragma once

#include "problems/script/script.hpp"

namespace script {

// The x of the value v on the line: 960 + 24v.
float x_on_number_line(float value);
// The line, its 21 labelled ticks and the long ticks, at height y.
void long_number_line(float y);
// Two points as discs, each labelled with graphic text (plain characters).
void number_line_two_points(float y, float fig_value1, const Text& fig_label1, float fig_value2,
                            const Text& fig_label2);
// The same, the labels typeset as markup (fractions stacked).
void number_line_two_marked_points(float y, float fig_value1, const Text& fig_label1, float fig_value2,
                                   const Text& fig_label2);
void number_line_with_point(float y, float fig_value1);
// A dotted arc from the point fig_value1 to fig_value1 + fig_value2, above the
// line in either direction, with the markup `label` above its middle.
void hop_from_point(float y, float fig_value1, float fig_value2, const Text& label);

}  // namespace script
