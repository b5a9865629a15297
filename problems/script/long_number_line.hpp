// The number line from -10 to 10 of the comparing and moving problems, drawn at
// any height y, and the points and hops on it. Everything it draws, in dots:
//
//   the line       the axis from x 704 to 1216 at y; a tick at every unit, x = 960 + 24v,
//                  from y - 4 to y + 4, and long ticks at -10, 0 and 10 from y - 8 to
//                  y + 8 (colour::figure); each tick's value as graphic text, one call of
//                  three 8-dot characters (" 0 ", "-5 ", "10 ", "-10") at (x - 12, y + 12)
//                  (colour::scale). Sets fig_y[31] = y and fig_x[31..33] = 960, 720, 1200.
//   a point        a disc of radius 4 at (x, y) (colour::point).
//   a point's      above the line: graphic text at (x - 12, y - 24), its top 24 dots above
//   label          the line; below it: at (x - 12, y + 28) (colour::point_label; 8-dot
//                  characters, 16 high). A marked label (markup, fractions stacked) starts
//                  at x - 24, its line at y - 45 above or y + 36 below.
//   a hop          hop_from_point: 181 dots, one-dot circles (radius 0.5, colour::point),
//                  from the point to the point moved by the amount, always above the
//                  line, at most 16 dots high; its first and last dots lie on the line at
//                  its two ends, so a count of circles at y finds two more than the
//                  points. Its label, markup centred on the hop's middle, stands 36 dots
//                  above the line (colour::scale, 16-dot characters: a one-digit amount is
//                  one full-width glyph at (middle - 8, y - 36)). It draws no point of its
//                  own: number_line_with_point draws the one it starts from.
//
//     number_line_two_points(128, num[1], signed_text(num[1]), num[2], signed_text(num[2]));
//     number_line_two_marked_points(320, num[13], frac_text[1], num[14], frac_text[2]);
//     number_line_with_point(256, num[1]);                       // one point, no label
//     hop_from_point(256, num[1], -num[3], num_text[3]);         // the move from that point
//
// The first point's label goes above the line and the second's below it,
// unless the problem chooses: a label above its point touches the end of a
// hop from there, so with a hop from the first point put both below,
//
//     number_line_two_points(256, num[1], num_text[1], num[2], num_text[2], {side::below, side::below});
//     hop_from_point(256, num[1], num[2] - num[1], num_text[3]);
#pragma once

#include "problems/script/script.hpp"

namespace script {

// The side of the line each of the two points' labels goes: side::above or side::below.
struct LabelSides {
    float first = side::above;
    float second = side::below;
};

// The x of the value v on the line: 960 + 24v.
float x_on_number_line(float value);
// The line, its 21 labelled ticks and the long ticks, at height y.
void long_number_line(float y);
// Two points as discs, each labelled with graphic text (plain characters).
void number_line_two_points(float y, float fig_value1, const Text& fig_label1, float fig_value2,
                            const Text& fig_label2, LabelSides sides = {});
// The same, the labels typeset as markup (fractions stacked).
void number_line_two_marked_points(float y, float fig_value1, const Text& fig_label1, float fig_value2,
                                   const Text& fig_label2, LabelSides sides = {});
void number_line_with_point(float y, float fig_value1);
// A dotted arc from the point fig_value1 to fig_value1 + fig_value2, above the
// line in either direction, with the markup `label` above its middle.
void hop_from_point(float y, float fig_value1, float fig_value2, const Text& label);

}  // namespace script
