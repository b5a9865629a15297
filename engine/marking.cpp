// Marking: a typed answer is right when its text equals one of the texts the
// problem prepared; there is no arithmetic. A positive number written with its
// "+" is the one exception: it is the same number. Also the ○ and × marks, for
// each closed blank and for the whole answer.
#include "engine/engine.hpp"
#include "runtime/screen.hpp"

namespace {

constexpr int kMarkColour = 5;       // the whole-answer mark
constexpr int kBlankMarkColour = 8;  // the small mark of one blank

// A positive number as a problem prepares it, without a sign: digits with a
// decimal point or a fraction bar ("7", "3.5", "3/4"), and not zero.
bool positive_number(const Text& t) {
    if (t.empty() || t[0] < '0' || t[0] > '9') return false;
    bool nonzero = false;
    for (char c : t) {
        if (c >= '1' && c <= '9') nonzero = true;
        else if (c != '0' && c != '.' && c != '/') return false;
    }
    return nonzero;
}

}  // namespace

// Blank k is right when what was typed into it is one of its prepared forms,
// or such a form that is a positive number, written with its "+". A lone blank
// earns no small mark, and its second form only makes the teacher's key
// (alternative2): there the main form alone is the answer.
bool blank_right(float k) {
    const Text& t = g.typed[k];
    const float forms = g.blank_count >= 2 ? 2 : 1;
    for (float v = 1; v <= forms; ++v) {
        const Text& form = g.expected(k, v);
        if (form.empty()) continue;
        if (t == form || (t == "+" + form && positive_number(form))) return true;
    }
    return false;
}

// The whole answer is right when it is one of the prepared whole answers, or
// when every blank of the line is right by itself: a line of small ○ never
// ends in a large ×.
void check_answer() {
    g.work_string = g.answer_text;
    remove_spaces();
    g.answer_text = g.work_string;
    const Text& a = g.answer_text;
    bool every_blank_right = g.blank_count >= 1;
    for (float k = 1; k <= g.blank_count && every_blank_right; ++k) every_blank_right = blank_right(k);
    g.mark_result = (a == g.expected_all || a == g.alternative2 || a == g.alternative || every_blank_right) ? 2 : 1;
}

// The blank just closed: k = blank_count - blanks_left + 1. Its mark sits over
// the last typed character, where the pen stood when the blank was closed.
void per_blank_mark() {
    const float k = g.blank_count - g.blanks_left + 1;
    const float x = g.blank_x[k], y = g.blank_y[k];
    rt::say(speech_of_blank(k) + (blank_right(k) ? " まる" : " ばつ"));
    if (blank_right(k)) {
        rt::circle(x - 8, y + 9, 15, kBlankMarkColour);
    } else {
        rt::line(x - 16, y, x + 16, y + 27, kBlankMarkColour);
        rt::line(x - 16, y + 27, x + 16, y, kBlankMarkColour);
    }
}

void draw_mark() {
    const float x = g.mark_x, y = g.mark_y;
    if (g.mark_result == 1 || g.mark_result == 2) speak(g.mark_result == 2 ? "正解" : "不正解");
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
