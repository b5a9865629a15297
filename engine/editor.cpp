// The answer line and its keyboard editor. Every accepted key is drawn at once
// at the pen and kept in typed notation in answer_text; F1 builds a stacked
// fraction (denominator first, then numerator), F2 raises the next character,
// F3 and "#" open roots, Enter closes roots, fraction parts and blanks.
// Also the plain number entry of the menu.
#include "engine/engine.hpp"
#include "runtime/screen.hpp"

namespace {

// Where the editor is typing (entry_state).
constexpr float kNumerator = 1, kMainLine = 2, kDenominator = 3;

// How the key loop ended.
enum class Outcome { closed, restart, abandoned };

const Text kEnter = "\r", kBackspace = "\b", kDelete = "\x7f", kRestart = "\x0c";

void erase(float x1, float y1, float x2, float y2) {
    rt::line(x1, y1, x2, y2, 0, rt::Mode::Fill, 0);
}

// The insertion point: a small disc in the pen's cell.
void draw_cursor() {
    rt::circle(g.pen_x + 8, g.pen_y + 8, 4, 15, true);
    rt::input_at(g.pen_x, g.pen_y);
}
void erase_cursor() { rt::circle(g.pen_x + 8, g.pen_y + 8, 4, 0, true); }

Text last_char(const Text& s) { return sjis::right(s, 1); }
void drop_last_byte(Text& s) {
    if (!s.empty()) s.pop_back();
}

void draw_markup(const Text& markup) {
    g.markup_text = markup;
    render_markup();
}

// Editing (re)starts on the line where the pen stands; nothing drawn is touched.
void restart_editing() {
    g.baseline_y = g.pen_y;
    g.root_mode = root::none;
    g.entry_state = kMainLine;
}

// Blank 1 is typed 16 dots right of its origin; every later blank right at it.
float typing_start_x() {
    return g.blank_origin_x + (g.blanks_left == g.blank_count ? 16 : 0);
}

// A root left open by a "!" with no end marker after it.
bool has_open_root(const Text& part) {
    const auto bang = part.rfind('!');
    return bang != Text::npos && part.find("ﾝ"_sj, bang) == Text::npos;
}

void start_fraction() {
    erase_cursor();
    g.pen_y = g.baseline_y;
    g.work_string = "ﾀﾀﾀ"_sj;
    layout_glyph_run();
    g.fraction_x = g.pen_x;
    g.denominator_text = "";
    g.entry_state = kDenominator;
    g.pen_y = g.baseline_y + 12;
}

// One ordinary character, typed where entry_state says.
void type_character(const Text& key) {
    erase_cursor();
    if (g.entry_state == kMainLine) {
        if (g.root_mode == root::small) root_bar_segment();
        if (g.root_mode == root::small_typed) {
            root_bar_start();
            g.root_mode = root::small;
        }
        if (g.root_mode == root::tall || g.root_mode == root::tall_asked) tall_root_bar_segment();
        g.work_string = key;
        layout_glyph_run();
        g.pen_x = g.layout_x;
        g.pen_y = g.baseline_y;
        g.answer_text += key;
        g.entry_state = kMainLine;
        return;
    }
    // Fraction parts step a fixed 16 dots per key, whatever the glyph's width.
    const bool below = g.entry_state == kDenominator;
    g.pen_y = g.baseline_y + (below ? 12 : -12);
    if (g.root_mode == root::small) root_bar_segment();
    if (g.root_mode == root::small_typed) {
        root_bar_start();
        g.root_mode = root::small;
    }
    g.work_string = key;
    layout_glyph_run();
    g.pen_x += 16;
    (below ? g.denominator_text : g.numerator_text) += key;
}

void finish_fraction() {
    erase(g.fraction_x, g.baseline_y - 18, g.fraction_x + 320, g.baseline_y + 30);
    g.pen_x = g.fraction_x;
    g.pen_y = g.baseline_y;
    g.work_string = g.numerator_text + "/" + g.denominator_text;
    draw_fraction();
    g.answer_text += "ﾝ"_sj + g.numerator_text + "/" + g.denominator_text + "ﾝ"_sj;
    g.pen_x = g.layout_x;
    g.pen_y = g.baseline_y;
    g.entry_state = kMainLine;
}

// Enter on the main line with something typed and no root open: the blank is
// finished. Returns true when it was the last blank.
bool close_blank() {
    const float k = g.blank_count - g.blanks_left + 1;
    g.blank_x[k] = g.pen_x;
    g.blank_y[k] = g.pen_y;
    erase(g.pen_x, g.pen_y - 16, g.pen_x + 1120, g.pen_y + 54);

    g.ink = 13;
    draw_markup(g.answer_label[k]);
    g.ink = 15;
    // The next label is previewed 160 dots on; the pen comes back to the end
    // of this blank's label. After a long blank the preview would run past the
    // right edge, cut in half: then it is left out.
    g.pen_x += 160;
    const Text preview = g.answer_label[k + 1];
    const float preview_width = 16 * static_cast<float>(sjis::klen(preview));
    if (g.pen_x + preview_width <= rt::kScreenW) {
        draw_markup(preview);
        g.pen_x = g.pen_x - 160 - preview_width;
    } else {
        g.pen_x -= 160;
    }

    g.work_string = g.answer_text;
    strip_fraction_marks();
    g.typed[k] = g.work_string;
    g.answer_text = "";
    rt::say(speech_of_blank(k) + " " + speech_of_typed(g.typed[k]));
    if (g.blank_count != 1) per_blank_mark();
    if (g.blanks_left > 1) rt::say(speech_of_blank(k + 1) + "を入力");

    if (g.blanks_left == 1) {
        g.key_text = "";
        g.answer_text = g.typed[1] + g.typed[2] + g.typed[3] + g.typed[4] + g.typed[5];
        return true;
    }
    g.blanks_left -= 1;
    g.blank_origin_x = g.pen_x;
    g.blank_origin_y = g.pen_y;
    record_blanks_closed();
    return false;
}

// Returns true when the answer is complete.
bool press_enter() {
    erase_cursor();
    const bool main_line = g.entry_state == kMainLine;
    if (main_line && g.answer_text.empty()) return false;
    if (main_line && g.root_mode == root::none) return close_blank();
    // Enter closes an open small root wherever it stands; nothing is stored.
    if (g.root_mode == root::small_typed) g.root_mode = root::small;
    if (g.root_mode == root::small) {
        g.root_mode = root::none;
        return false;
    }
    if (main_line && g.root_mode == root::tall) {
        g.root_mode = root::none;
        return false;
    }
    if (g.entry_state == kDenominator) {
        g.denominator_text += "ﾝ"_sj;
        g.den_end_x = g.pen_x;
        g.numerator_text = "";
        g.entry_state = kNumerator;
        g.pen_x = g.fraction_x;
        g.pen_y = g.baseline_y - 12;
    } else if (g.entry_state == kNumerator) {
        g.numerator_text += "ﾝ"_sj;
        finish_fraction();
    }
    return false;
}

// Backspace on the main line: the last character goes, or, right after a
// finished fraction, the whole blank.
void backspace_on_main_line() {
    if (last_char(g.answer_text) == "ﾝ"_sj) {
        // Its buffer and everything it drew go, so the screen keeps only what is stored.
        const float start = typing_start_x();
        erase(start, g.baseline_y - 18, g.pen_x, g.baseline_y + 30);
        g.answer_text = "";
        g.pen_x = start;
        g.pen_y = g.baseline_y;
        restart_editing();
        return;
    }
    erase(g.pen_x - 16, g.baseline_y - 18, g.pen_x, g.baseline_y + 30);
    if (g.answer_text.empty()) {
        restart_editing();
        return;
    }
    g.pen_x -= 16;
    drop_last_byte(g.answer_text);
    if (g.answer_text.empty()) restart_editing();
}

// Backspace in a numerator: its last character goes; an empty numerator
// gives the pen back to the end of the denominator.
void backspace_in_numerator() {
    if (g.numerator_text.empty()) {
        g.entry_state = kDenominator;
        g.pen_x = g.den_end_x;
        g.pen_y = g.baseline_y + 14;
        return;
    }
    erase(g.pen_x - 16, g.baseline_y - 15, g.pen_x, g.baseline_y + 5);
    g.pen_x -= 16;
    g.pen_y = g.baseline_y - 12;
    drop_last_byte(g.numerator_text);
}

// Backspace in a denominator: its last character goes; with nothing left the
// fraction goes and the line is back as it was before F1.
void backspace_in_denominator() {
    bool back_from_numerator = false;
    if (last_char(g.denominator_text) == "ﾝ"_sj) {
        drop_last_byte(g.denominator_text);
        back_from_numerator = true;
    }
    if (g.denominator_text.empty()) {
        // The erase reaches at least x 639, where the first blank's preview begins.
        g.entry_state = kMainLine;
        g.pen_x = g.fraction_x;
        g.pen_y = g.baseline_y;
        const float right = g.fraction_x + 48 > 639 ? g.fraction_x + 48 : 639;
        erase(g.fraction_x, g.baseline_y - 18, right, g.baseline_y + 30);
        if (back_from_numerator) g.root_mode = root::none;
        return;
    }
    erase(g.pen_x - 16, g.baseline_y + 12, g.pen_x, g.baseline_y + 30);
    g.pen_x -= 16;
    g.pen_y = g.baseline_y + 14;
    drop_last_byte(g.denominator_text);
    // Back in a denominator that holds a root still open, its bar goes on.
    if (back_from_numerator) g.root_mode = has_open_root(g.denominator_text) ? root::small : root::none;
}

void press_backspace() {
    erase_cursor();
    // Deleting a root sign closes its root, so the next key gets no bar of a sign
    // that is gone; "Q" closes it too.
    auto closes_root = [](const Text& buffer) {
        Text last = last_char(buffer);
        return last == "Q" || last == "!";
    };
    if (closes_root(g.answer_text) || closes_root(g.denominator_text) || closes_root(g.numerator_text))
        g.root_mode = root::none;

    if (g.entry_state == kMainLine) backspace_on_main_line();
    else if (g.entry_state == kNumerator) backspace_in_numerator();
    else backspace_in_denominator();
}

// The key loop: types the blanks until the last is closed, the restart key
// comes, or the text reaches the right edge.
Outcome edit_answer() {
    g.ink = 15;
    restart_editing();
    for (;;) {
        if (g.pen_x == g.blank_origin_x + 160)  // reached the preview label
            erase(g.pen_x, g.pen_y - 16, g.pen_x + 960, g.pen_y + 54);
        if (g.pen_x >= 1344) {
            g.answer_text = "";
            return Outcome::abandoned;
        }
        draw_cursor();
        g.key_text = rt::inkey();
        if (g.key_text.empty()) {
            erase_cursor();
            continue;
        }

        Text key = g.key_text;
        if (key == kRestart) {
            g.answer_text = "";
            return Outcome::restart;
        }
        if (key == "\\" && g.entry_state == kMainLine) {
            start_fraction();
            continue;
        }
        if (key == "!") g.root_mode = root::small_typed;
        if (key == "#") {
            g.root_mode = root::tall_asked;
            key = "!";
        }
        if (key == "^") {
            g.raise_next = 1;
            continue;
        }
        if (key == kEnter) {
            if (press_enter()) return Outcome::closed;
            continue;
        }
        if (key == kBackspace || key == kDelete) {
            press_backspace();
            continue;
        }
        const auto code = static_cast<unsigned char>(key[0]);
        if (key.size() == 1 && code >= 33 && code <= 126) type_character(key);
    }
}

// The answer line takes typed text: an input method composes there, and only
// there. Every other wait takes single keys past it, so that a menu's "1"
// answers at once.
struct TypedText {
    TypedText() { rt::text_input(true); }
    ~TypedText() { rt::text_input(false); }
    TypedText(const TypedText&) = delete;
    TypedText& operator=(const TypedText&) = delete;
};

}  // namespace

bool take_answer() {
    const TypedText typed_text;
    const QuietDrawing quiet;   // the line says what it asks, and what was typed
    for (;;) {
        draw_answer_line();
        rt::say(g.blank_count > 1 ? "答えを入力 " + speech_of_blank(1) : "答えを入力");
        g.blanks_left = g.blank_count;
        g.answer_text = "";
        record_blanks_closed();   // none on a line begun afresh
        const Outcome outcome = edit_answer();
        if (outcome == Outcome::abandoned) return false;
        if (g.key_text == kRestart) continue;
        g.work_string = g.answer_text;
        strip_fraction_marks();
        g.answer_text = g.work_string;
        check_answer();
        g.answer_text = "";
        return true;
    }
}

void draw_answer_line() {
    g.blank_origin_x = g.answer_x;
    g.blank_origin_y = g.answer_y;
    erase(g.blank_origin_x, g.blank_origin_y - 16, g.blank_origin_x + 1120, g.blank_origin_y + 54);
    rt::cursor_switch(0);

    // "答", a blank and label 0 end exactly at the origin; label 1 is
    // previewed ten cells further on. A root or power left open by earlier
    // text (or by a restarted answer) must not reach the labels.
    g.root_mode = root::none;
    g.raise_next = 0;
    g.ink = 13;
    const Text& label0 = g.answer_label[0];
    g.pen_x = g.blank_origin_x - 16 * static_cast<float>(sjis::klen(label0) + 2);
    g.pen_y = g.blank_origin_y;
    draw_markup("答 "_sj + label0 + "          " + g.answer_label[1]);

    g.pen_x = g.blank_origin_x + 16;
    g.pen_y = g.blank_origin_y;
}

// Plain entry of a short text (the first problem number): no filtering, no
// limit; Backspace clears all. The echo steps back 8 dots after each key, so
// a second digit overlaps the first cell's right half.
void enter_number() {
    const float home_x = g.pen_x, home_y = g.pen_y;
    Text text;
    for (;;) {
        draw_cursor();
        g.key_text = rt::inkey();
        if (g.key_text.empty()) {
            erase_cursor();
            continue;
        }
        Text key = g.key_text;
        if (key == kBackspace) {
            erase(home_x - 112, home_y - 10, home_x + 368, home_y + 20);
            text = "";
            g.pen_x = home_x;
            g.pen_y = home_y;
            key = "";
        }
        if (key == kEnter) {
            g.work_string = text;
            erase_cursor();
            return;
        }
        erase_cursor();
        g.ink = 13;
        g.work_string = key;
        layout_glyph_run();
        g.pen_x = g.layout_x - 8;
        text += key;
    }
}
