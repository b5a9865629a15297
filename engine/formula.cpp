// Stacked fractions (numerator over a bar over denominator, the shorter part
// centred on the longer one, roots inside either part with their bars) and
// the fraction markup of computed values.
#include <algorithm>

#include "engine/engine.hpp"
#include "runtime/numbers.hpp"
#include "runtime/screen.hpp"

using sjis::kinstr;
using sjis::klen;
using sjis::kmid;

namespace {

// Splits a fraction body into its parts. The answer editor ends the numerator
// it hands over with "ﾝ", so there the parts meet at the "/" after that mark (a
// "/" the pupil typed inside the numerator is no separator); a markup body
// splits at its first "/". A body without one is all numerator.
void split(const Text& body, Text& numerator, Text& denominator) {
    int slash = kinstr(body, "ﾝ/"_sj);
    slash = slash > 0 ? slash + 1 : kinstr(body, "/");
    if (slash == 0) slash = klen(body) + 1;
    numerator = kmid(body, 1, slash - 1);
    denominator = kmid(body, slash + 1);
}

// A number as the drill writes it: STR$ without its leading blank.
Text number_text(float n) {
    g.work_string = rt::str(n);
    remove_spaces();
    return g.work_string;
}

}  // namespace

// The body is in work_string, the fraction line at the pen: the numerator's
// cells start 12 dots above it, the denominator's 15 below, and each missing
// character of the shorter part moves it right by half a cell.
void draw_fraction() {
    float fx = g.pen_x, fy = g.pen_y;
    Text written_num, written_den;
    split(g.work_string, written_num, written_den);
    g.work_string = written_num;
    strip_fraction_marks();
    const Text num = g.work_string;
    g.work_string = written_den;
    strip_fraction_marks();
    const Text den = g.work_string;

    int a = klen(num), b = klen(den);
    int w = b < a ? a : b;
    float num_shift = a < b ? b - a : 0;
    float den_shift = b < a ? a - b : 0;

    g.work_string = num;
    remove_spaces();
    g.pen_x = fx + 8 * num_shift;
    g.pen_y = fy - 12;
    layout_glyph_run();

    g.work_string = den;
    remove_spaces();
    g.pen_x = fx + 8 * den_shift;
    g.pen_y = fy + 15;
    layout_glyph_run();

    int j = 1;
    do {
        float x = fx + 16 * (j - 1);
        g.work_string = "ﾀ"_sj;   // shows as "―"
        g.pen_x = x;
        g.pen_y = fy;
        layout_glyph_run();
        if (g.root_mode == root::tall) {   // a tall root open before the fraction covers it whole
            int ink = rt::whole(g.ink);
            rt::line(x, fy - 15, 16, 2, ink, rt::Mode::Fill, ink, true);
        }
        ++j;
    } while (j <= w);

    g.root_mode = root::none;

    g.part_text = written_num;
    g.part_x = fx + 8 * num_shift;
    g.part_y = fy - 12;
    draw_part_root_bars();
    g.part_text = written_den;
    g.part_x = fx + 8 * den_shift;
    g.part_y = fy + 15;
    draw_part_root_bars();
}

// Finds each "!" … "ﾝ" of one part in turn and draws its bars where
// layout_glyph_run put the glyphs: 16 per character before the "!", 8 for
// the sign, 16 per radicand character, nothing for the removed "ﾝ".
void draw_part_root_bars() {
    g.pen_x = g.part_x;
    g.pen_y = g.part_y;
    for (;;) {
        int p = kinstr(g.part_text, "!");
        // An end mark before the sign closes nothing and takes no cell: the
        // editor leaves one in a denominator the pupil came back into from an
        // empty numerator and typed on.
        for (int s; p > 0 && (s = kinstr(g.part_text, "ﾝ"_sj)) > 0 && s < p; p = kinstr(g.part_text, "!"))
            g.part_text = kmid(g.part_text, 1, s - 1) + kmid(g.part_text, s + 1);
        int q = kinstr(g.part_text, "ﾝ"_sj);
        if (p > 0 && q == 0) q = klen(g.part_text) + 1;   // an unclosed root runs to the part's end
        g.part_text = kmid(g.part_text, q + 1);
        g.pen_x += 16 * p - 16;
        if (p == 0) break;
        root_bar_start();
        g.root_mode = root::small;
        g.pen_x += 8;
        int segments = std::max(1, q - p - 1);
        for (int k = 0; k < segments; ++k) {
            root_bar_segment();
            g.pen_x += 16;
        }
        g.root_mode = root::none;
    }
    g.root_mode = root::none;
}

void strip_fraction_marks() {
    const Text& mark = "ﾝ"_sj;
    for (int p; (p = kinstr(g.work_string, mark)) > 0;)
        g.work_string = kmid(g.work_string, 1, p - 1) + kmid(g.work_string, p + 1);
}

// frac_num / frac_den in lowest terms, the sign on the numerator, written as
// a whole number or as "ﾀ" numerator "/" denominator "ﾀ" after a "-".
void build_fraction() {
    bool whole = g.frac_den == 1;
    float sign = 1;
    if (!whole) {
        sign = g.frac_num * g.frac_den < 0 ? -1 : 1;
        float n = std::abs(g.frac_num), d = std::abs(g.frac_den);
        compute_gcd(n, d);
        g.frac_num = sign * n / g.gcd_value;
        g.frac_den = d / g.gcd_value;
        whole = g.frac_num == 0 || g.frac_den == 1;
    }
    if (whole) {
        g.frac_markup = number_text(g.frac_num);
        return;
    }
    Text sign_text = sign < 0 ? "-" : "";
    g.frac_markup = sign_text + "ﾀ"_sj + number_text(std::abs(g.frac_num)) + "/" + number_text(g.frac_den) + "ﾀ"_sj;
}

// Euclid, on whole numbers held as floats: gcd(0, n) = n.
void compute_gcd(float a, float b) {
    float x = a, y = b;
    while (y != 0) {
        x = x - y * rt::INT(x / y);
        std::swap(x, y);
    }
    g.gcd_value = x;
}
