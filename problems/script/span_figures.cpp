#include "problems/script/span_figures.hpp"

namespace script {

namespace {

// A line from 32 dots left of the first mark to 32 right of the last, with a
// short tick at each mark.
void marked_line(float y, std::initializer_list<float> marks, float left, float right) {
    line(left - 32, y, right + 32, y, colour::figure);
    for (float x : marks) line(x, y - 4, x, y + 4, colour::figure);
}

void span(float y) {
    fig_x[31] = 800;
    fig_x[32] = 960;
    marked_line(y, {fig_x[31], fig_x[32]}, fig_x[31], fig_x[32]);
}

// -n, 0 and +n at x 800, 960, 1120, with a dotted hop from each to the next.
void hop_pair() {
    float y = fig_y[31];
    fig_x[31] = 800;
    fig_x[32] = 960;
    fig_x[33] = 1120;
    marked_line(y, {fig_x[32], fig_x[31], fig_x[33]}, fig_x[31], fig_x[33]);
    hop_arc(fig_x[31], y, fig_x[32], y, -1, 2, 1, colour::figure);
    hop_arc(fig_x[32], y, fig_x[33], y, -1, 2, 1, colour::figure);
}

// The size of each hop above its middle, "0" under the middle mark, `mark` above the left end.
void hop_labels(const Text& label, const Text& mark) {
    float y = fig_y[31];
    point_label(label, 880, y - 32, side::above, 1, colour::scale);
    point_label(label, 1040, y - 32, side::above, 1, colour::scale);
    text(colour::scale, 952, y + 16, "0");
    text(colour::scale, 792, y - 32, mark);
}

}  // namespace

void span_to_right(const Text& fig_label1) {
    const Figure figure("数直線の図");
    float y = fig_y[31];
    span(y);
    text(colour::scale, 792, y + 16, "0");
    text(colour::scale, 944, y + 16, "+" + fig_label1);
}

void span_to_left(const Text& fig_label1) {
    const Figure figure("数直線の図");
    float y = fig_y[31];
    span(y);
    text(colour::scale, 776, y + 16, fig_label1);
    text(colour::scale, 952, y + 16, "0");
}

void two_hops(const Text& fig_label1, const Text& mark) {
    const Figure figure("数直線の図");
    hop_pair();
    hop_labels(fig_label1, mark);
}

void two_hops_with_total(const Text& fig_label1) {
    const Figure figure("数直線の図");
    hop_pair();
    hop_arc(fig_x[31], fig_y[31], fig_x[33], fig_y[31], 1, 1, 3, colour::point);   // the whole stretch, below the line
    hop_labels(fig_label1, "");
}

}  // namespace script
