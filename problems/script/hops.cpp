// The figure services of a problem: hop arcs and point labels, through the
// globals the engine's figure routines read.
#include "problems/script/script.hpp"

namespace script {

void hop_arc(float x1, float y1, float x2, float y2, float side, float step, float height, float colour) {
    g.arc_x1 = x1;
    g.arc_y1 = y1;
    g.arc_x2 = x2;
    g.arc_y2 = y2;
    g.arc_side = side;
    g.arc_step = step;
    g.arc_height = height;
    g.arc_colour = colour;
    draw_hop_arc();
}

void point_label(const Text& markup, float x, float y, float side, float lines, float colour) {
    const Figure figure("数直線の図");
    g.markup_text = markup;
    g.pen_x = x;
    g.pen_y = y;
    g.label_side = side;
    g.label_lines = lines;
    g.ink = colour;
    place_point_label();
}

}  // namespace script
