#include "problems/script/number_line.hpp"

namespace script {

// The line of the first bank's reading and placing problems at y 160, with the
// ends of its marks kept where a problem that marks its own points reads them.
void number_line() {
    const Figure figure("数直線の図");
    fig_y[32] = 156; fig_y[33] = 164; fig_y[34] = 152; fig_y[35] = 168;
    long_number_line(160);
}

void number_line_point(int i) {
    const Figure figure("数直線の図");
    float x = x_on_number_line(num[i]);
    circle(x, fig_y[31], 4, colour::point);
    graphic_text(x - 4, fig_y[31] - 24, Text(1, static_cast<char>(64 + i)), 1, colour::point_label);
}

}  // namespace script
