// The number line of the first bank's reading and placing problems: -10 to 10
// at 24 dots per unit, 0 at x 960, the axis at y 160.
//
//     number_line();           // axis, unit marks with their values, long marks at -10, 0, 10
//     number_line_point(1);    // point i at num[i]: a circle of radius 4 (not filled, colour::point)
//                              // on the axis, the letter "A" + (i - 1) at (x - 4, 136) (colour::point_label)
//
// It is the long number line (problems/script/long_number_line.hpp) at y 160.
// number_line() sets fig_x[31..33] (960, 720, 1200: the 0, -10 and 10 marks) and
// fig_y[31..35] (160, 156, 164, 152, 168: the axis, the unit mark's ends, the
// long mark's ends), so a problem that marks its own points reads the axis from
// there. The x of a value v is x_on_number_line(v) = 960 + 24v.
#pragma once

#include "problems/script/long_number_line.hpp"
#include "problems/script/script.hpp"

namespace script {

void number_line();
void number_line_point(int i);

}  // namespace script
