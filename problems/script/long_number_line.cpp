#include "problems/script/long_number_line.hpp"

namespace script {

namespace {

// A tick's value, three characters wide so that it centres under its tick:
// " 0 ", "-5 ", "10 ", "-10".
Text tick_label(float value) {
    Text t = text_of(value);
    if (t.size() == 1) return " " + t + " ";
    if (t.size() == 2) return t + " ";
    return t;
}

void point(float x, float y) { disc(x, y, 4, colour::point, colour::point); }

}  // namespace

float x_on_number_line(float value) { return 960 + 24 * value; }

void long_number_line(float y) {
    const Figure figure("数直線の図");
    fig_y[31] = y;
    fig_x[31] = 960;
    fig_x[32] = 720;
    fig_x[33] = 1200;
    line(704, y, 1216, y, colour::figure);
    for (int i = 1; i <= 21; ++i) {
        float x = 720 + 24 * (i - 1);
        line(x, y - 4, x, y + 4, colour::figure);
        graphic_text(x - 12, y + 12, tick_label(i - 11), 1, colour::scale);
    }
    for (int i = 1; i <= 3; ++i) {
        float x = 720 + 240 * (i - 1);
        line(x, y - 8, x, y + 8, colour::figure);
    }
}

void number_line_two_points(float y, float fig_value1, const Text& fig_label1, float fig_value2,
                            const Text& fig_label2, LabelSides sides) {
    const Figure figure("数直線の図");
    long_number_line(y);
    const auto labelled = [&](float value, const Text& label, float where) {
        const float x = x_on_number_line(value);
        point(x, y);
        graphic_text(x - 12, where == side::below ? y + 28 : y - 24, label, 1, colour::point_label);
    };
    labelled(fig_value1, fig_label1, sides.first);
    labelled(fig_value2, fig_label2, sides.second);
}

void number_line_two_marked_points(float y, float fig_value1, const Text& fig_label1, float fig_value2,
                                   const Text& fig_label2, LabelSides sides) {
    const Figure figure("数直線の図");
    long_number_line(y);
    const auto labelled = [&](float value, const Text& label, float where) {
        const float x = x_on_number_line(value);
        point(x, y);
        text(colour::point_label, x - 24, where == side::below ? y + 36 : y - 45, label);
    };
    labelled(fig_value1, fig_label1, sides.first);
    labelled(fig_value2, fig_label2, sides.second);
}

void number_line_with_point(float y, float fig_value1) {
    const Figure figure("数直線の図");
    long_number_line(y);
    point(x_on_number_line(fig_value1), y);
}

void hop_from_point(float y, float fig_value1, float fig_value2, const Text& label) {
    const Figure figure("数直線の図");
    float x1 = x_on_number_line(fig_value1);
    float x2 = x1 + 24 * fig_value2;
    // A hop to the left bulges to the right of its direction, which is above the line too.
    float side = fig_value2 < 0 ? 1 : -1;
    hop_arc(x1, y, x2, y, side, 1, 1, colour::point);
    point_label(label, (x1 + x2) / 2, y - 16, side::above, 1, colour::scale);
}

}  // namespace script
