#include "problems/script/number_line.hpp"

namespace script {

namespace {
// A unit mark's value, three characters wide so that it centres under its mark:
// " 0 ", "-5 ", "10 ", "-10".
Text unit_label(float value) {
    Text t = text_of(value);
    if (t.size() == 1) return " " + t + " ";
    if (t.size() == 2) return t + " ";
    return t;
}
}  // namespace

float x_on_number_line(float value) { return 960 + 24 * value; }

void number_line() {
    fig_x[31] = 960; fig_x[32] = 720; fig_x[33] = 1200;
    fig_y[31] = 160; fig_y[32] = 156; fig_y[33] = 164; fig_y[34] = 152; fig_y[35] = 168;

    line(fig_x[32] - 16, fig_y[31], fig_x[33] + 16, fig_y[31], 15);
    for (int i = 1; i <= 21; ++i) {
        float x = fig_x[32] + 24 * (i - 1);
        line(x, fig_y[32], x, fig_y[33], 15);
        graphic_text(x - 12, fig_y[33] + 8, unit_label(i - 11), 1, 13);
    }
    for (int i = 1; i <= 3; ++i) {
        float x = fig_x[32] + 240 * (i - 1);
        line(x, fig_y[34], x, fig_y[35], 15);
    }
}

void number_line_point(int i) {
    float x = x_on_number_line(num[i]);
    circle(x, fig_y[31], 4, 9);
    graphic_text(x - 4, fig_y[31] - 24, Text(1, static_cast<char>(64 + i)), 1, 7);
}

}  // namespace script
