// The markup text renderer: ordinary CP932 text with a few in-band controls
// ("ﾀ" fraction "ﾀ", "^" raise, "!" and "#" roots, "ﾝ" end of a root), drawn
// one 16-dot cell per character from the pen.
#include <algorithm>

#include "engine/engine.hpp"
#include "runtime/numbers.hpp"
#include "runtime/screen.hpp"

using sjis::kinstr;
using sjis::klen;
using sjis::kmid;

namespace {

int ink() { return rt::whole(g.ink); }

// Takes the first character off the front of markup_text.
Text take_first() {
    Text c = kmid(g.markup_text, 1, 1);
    g.markup_text.erase(0, c.size());
    return c;
}

// Draws a run through layout_glyph_run and moves the pen after it.
void draw_run(const Text& run) {
    g.work_string = run;
    layout_glyph_run();
    g.pen_x = g.layout_x;
}

}  // namespace

void render_markup() {
    speak(speech_of(g.markup_text));
    while (klen(g.markup_text) > 0) {
        Text c = take_first();
        if (c == "ﾀ"_sj) {
            float saved_y = g.pen_y;
            int p = kinstr(g.markup_text, "ﾀ"_sj);
            if (p == 0) continue;   // a lone opening mark is dropped
            g.work_string = kmid(g.markup_text, 1, p - 1);
            g.markup_text = kmid(g.markup_text, p + 1);
            draw_fraction();
            g.pen_x = g.layout_x;
            g.pen_y = saved_y;
        } else if (c == "#") {
            g.root_mode = root::tall_asked;   // the "√" laid out next is drawn tall
            draw_run("!");
        } else if (c == "!") {
            root_bar_start();
            draw_run("!");
            g.root_mode = root::small;
        } else if (c == "ﾝ"_sj) {
            g.root_mode = root::none;
        } else if (c == "^") {
            g.raise_next = 1;
        } else {
            if (g.root_mode == root::small) root_bar_segment();
            if (g.root_mode == root::tall || g.root_mode == root::tall_asked) tall_root_bar_segment();
            draw_run(c);
        }
    }
}

// Lays out work_string from pen_x: each glyph takes a 16-dot cell, except the
// decimal point (squeezed 4 dots into the cell before it, no room of its own),
// the small root sign (8), the tall one (24) and "^" (nothing). An empty run
// still makes one pass and advances 16.
void layout_glyph_run() {
    remove_spaces();
    int n = klen(g.work_string);
    g.layout_x = g.pen_x;
    int i = 1;
    do {
        g.glyph = kmid(g.work_string, i, 1);
        if (g.glyph == "^") {
            g.raise_next = 1;
        } else {
            if (g.raise_next != 1) to_display_char();
            else g.raise_next = 0;
            float dy = g.glyph.size() == 1 ? 4 : 0;   // single-byte glyphs sit 4 dots higher
            bool point = g.glyph == "．"_sj;
            bool root = g.glyph == "√"_sj;
            if (point) g.layout_x -= 4;
            if (g.root_mode == root::tall_asked && root) draw_tall_root();
            else rt::symbol(g.layout_x, g.pen_y - dy, g.glyph, 1, 1, ink());
            if (point) g.layout_x -= 12;
            if (root) g.layout_x -= 8;
            g.layout_x += 16;
        }
        ++i;
    } while (i <= n);
}

// A 32 x 48 root sign reaching 24 dots above and below the pen's line.
void draw_tall_root() {
    float x0 = g.layout_x;
    rt::symbol(x0, g.pen_y - 24, "√"_sj, 2, 3, ink());
    if (g.root_mode == root::tall_asked) g.root_mode = root::tall;
    g.layout_x = x0 + 16;
}

// The bar over one character of a small root.
void root_bar_segment() {
    rt::line(g.pen_x - 2, g.pen_y + 2, 16, 0, ink(), rt::Mode::Line, -1, true);
}

// The piece that joins the bar to a small root sign drawn at the pen.
void root_bar_start() {
    rt::line(g.pen_x + 8, g.pen_y + 2, 16, 0, ink(), rt::Mode::Line, -1, true);
}

// The thick bar over one character of a tall root. While the sign is still
// to come (22) the segment belongs to the cell after it.
void tall_root_bar_segment() {
    float bx = g.root_mode == root::tall_asked ? g.pen_x + 16 : g.pen_x;
    rt::line(bx, g.pen_y - 14, 16, 2, ink(), rt::Mode::Fill, ink(), true);
}

void remove_spaces() {
    std::erase(g.work_string, ' ');
}

// A filled box with a markup label centred in it; the pen goes on at the
// box's right edge and top.
void draw_boxed_label() {
    float bx = g.pen_x, by = g.pen_y;
    float m = klen(g.work_string);
    if (kinstr(g.work_string, "^") > 0) m -= 1;
    if (g.box_height < 1) g.box_height = 1;
    float dx = (g.box_width - 16 * m) / 2;
    float ty = by + rt::INT((g.box_height - 18) / 2);
    rt::line(bx, by, bx + g.box_width, by + g.box_height, rt::whole(g.box_border), rt::Mode::Fill,
             rt::whole(g.box_fill));
    g.pen_x = bx + dx;
    g.pen_y = ty;
    g.markup_text = g.work_string;
    if (g.markup_text.empty()) speak("□");   // a box to fill in
    render_markup();
    g.pen_x = bx + g.box_width;
    g.pen_y = by;
}
