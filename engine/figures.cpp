// Figures on the number line: the dotted hop arc from one point to the next,
// and the short label placed beside a point.
#include <cmath>

#include "engine/engine.hpp"
#include "runtime/numbers.hpp"
#include "runtime/screen.hpp"

namespace {

constexpr float kPi = 3.14159f;

}  // namespace

// The direction of arc_x1,arc_y1 -> arc_x2,arc_y2 in radians, 0 <= angle < 2 pi,
// counter-clockwise with y pointing up (the screen's y reversed).
void direction_angle() {
    float dx = g.arc_x2 - g.arc_x1;
    float dy = g.arc_y2 - g.arc_y1;
    if (dy < 0) {
        g.arc_angle = kPi / 2 + std::atan(dx / dy);
    } else if (dy > 0) {
        g.arc_angle = 3 * kPi / 2 + std::atan(dx / dy);
    } else {
        g.arc_angle = dx > 0 ? 0 : kPi;
    }
}

// A half ellipse of dots from P1 to P2: built along the x axis from P1, then
// turned about P1 into the direction of the hop. arc_x2, arc_y2 and arc_angle
// are used as scratch.
void draw_hop_arc() {
    float x1 = g.arc_x1, y1 = g.arc_y1;
    float dx = g.arc_x2 - x1, dy = g.arc_y2 - y1;
    float r = std::sqrt(dx * dx + dy * dy) / 2;
    // A hop that goes nowhere has no arc (and its height would divide by zero).
    if (r == 0) return;
    float cx = x1 + r, cy = y1;
    float h = (16 * g.arc_height / r) * r;

    direction_angle();
    float a0 = g.arc_angle;

    float t = g.arc_side > 0 ? 180.0f : 0.0f;
    float last = t + 180;
    int colour = rt::whole(g.arc_colour);
    do {
        float rad = t * kPi / 180;
        float px = cx + r * std::cos(rad);
        float py = cy - h * std::sin(rad);
        float d = std::sqrt((px - x1) * (px - x1) + (py - y1) * (py - y1));
        g.arc_x2 = px;
        g.arc_y2 = py;
        direction_angle();
        float a = a0 + g.arc_angle;
        rt::circle(x1 + d * std::cos(a), y1 - d * std::sin(a), 0.5f, colour, true);
        t += g.arc_step;
    } while (t <= last);
}

// Moves the pen from the point beside it (above, below, left or right, by
// label_lines steps of 8 dots) and draws markup_text there; centred above and
// below for 16-dot characters.
void place_point_label() {
    float n = static_cast<float>(sjis::klen(g.markup_text));
    float l = g.label_lines;
    if (g.label_side == side::above) {
        g.pen_x -= 8 * n;
        g.pen_y = g.pen_y - 12 - 8 * l;
    } else if (g.label_side == side::below) {
        g.pen_x -= 8 * n;
        g.pen_y = g.pen_y - 4 + 8 * l;
    } else if (g.label_side == side::left) {
        g.pen_x = g.pen_x - 16 * n - 2;
        g.pen_y -= 8 * l;
    } else {
        g.pen_x += 2;
        g.pen_y -= 8 * l;
    }
    render_markup();
}
