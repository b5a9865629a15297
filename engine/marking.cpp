// Marking: a typed answer is right when its text equals one of the texts the
// problem prepared; there is no arithmetic. Also the ○ and × marks, for each
// closed blank and for the whole answer.
#include "engine/engine.hpp"
#include "runtime/screen.hpp"

namespace {

constexpr int kMarkColour = 5;       // the whole-answer mark
constexpr int kBlankMarkColour = 8;  // the small mark of one blank

}  // namespace

void check_answer() {
    g.work_string = g.answer_text;
    remove_spaces();
    g.answer_text = g.work_string;
    const Text& a = g.answer_text;
    g.mark_result = (a == g.expected_all || a == g.alternative2 || a == g.alternative) ? 2 : 1;
}

// The blank just closed: k = blank_count - blanks_left + 1. Its mark sits over
// the last typed character, where the pen stood when the blank was closed.
void per_blank_mark() {
    const float k = g.blank_count - g.blanks_left + 1;
    const float x = g.blank_x[k], y = g.blank_y[k];
    const Text& t = g.typed[k];
    if (t == g.expected(k, 1) || t == g.expected(k, 2)) {
        rt::circle(x - 8, y + 9, 15, kBlankMarkColour);
    } else {
        rt::line(x - 16, y, x + 16, y + 27, kBlankMarkColour);
        rt::line(x - 16, y + 27, x + 16, y, kBlankMarkColour);
    }
}

void draw_mark() {
    const float x = g.mark_x, y = g.mark_y;
    if (g.mark_result == 1) {
        rt::line(x - 16, y - 18, x + 16, y + 18, kMarkColour);
        rt::line(x + 16, y - 18, x - 16, y + 18, kMarkColour);
    }
    if (g.mark_result == 2) rt::circle(x, y, 22, kMarkColour);
}

// Turns display markup into answer form: the raise sign, the end markers, the
// fraction bars and "=" are cut out. Characters are found whole, so the trail
// byte of a double-byte character is never taken for one of them.
void strip_answer_marks() {
    for (const Text& mark : {Text("^"), "ﾝ"_sj, "ﾀ"_sj, Text("=")}) {
        for (int p = sjis::kinstr(g.work_string, mark); p > 0; p = sjis::kinstr(g.work_string, mark))
            g.work_string = sjis::kleft(g.work_string, p - 1) + sjis::kmid(g.work_string, p + 1);
    }
}
