// The small waiting points that the driver and the problems share (space,
// Enter and any-key prompts) and the progress grid at the top of the practice
// screen: one cell per problem, its first-attempt mark and completion digit.
#include "engine/engine.hpp"
#include "runtime/numbers.hpp"
#include "runtime/screen.hpp"

namespace {

constexpr int kCross = 0x215F;   // ×
constexpr int kCircle = 0x217B;  // ○
constexpr int kDigits = 0x130;   // 0x130 + d: the digit d

void fill(float x1, float y1, float x2, float y2, int colour) {
    rt::line(x1, y1, x2, y2, colour, rt::Mode::Fill, colour);
}

// Polls until the key is `wanted`; every other key is read and dropped.
void wait_for(const Text& wanted) {
    do {
        g.key_text = rt::inkey();
    } while (g.key_text != wanted);
}

// Grid geometry from grid_column c and grid_row r.
float grid_left() { return 8 * g.grid_column; }
float grid_top() { return 16 * g.grid_row; }
float cell_left() { return 8 * (g.grid_column + 2 * (g.problem_no - 1)); }

}  // namespace

void space_prompt() {
    const float x = g.answer_x + 88, y = g.answer_y + 45;
    rt::line(x, y, 168, 27, 13, rt::Mode::Fill, 2, true);
    rt::symbol(g.answer_x + 88, g.answer_y + 54, "スペース　キーを押す"_sj, 1, 1, 13);
    speak("スペースキーを押す");
    wait_for(" ");
    rt::line(x, y, 168, 27, 0, rt::Mode::Fill, 0, true);
    rt::locate(64, 23);
    rt::print(rt::space(20));
    rt::locate(50, 22);
    rt::print(rt::space(27));
    key_flush();
}

void enter_prompt() {
    const float x = g.answer_x - 8, y = g.answer_y - 9;
    rt::line(x, y, 128, 36, 8, rt::Mode::Fill, 8, true);
    rt::line(x, y, 128, 36, 3, rt::Mode::Box, -1, true);
    rt::symbol(16, 9, g.title_text, 2, 2, 13);
    rt::symbol(g.answer_x, g.answer_y, "Enterキーを押す"_sj, 1, 1, 13);
    speak("Enterキーを押す");
    wait_for("\r");
    key_flush();
}

void key_pause() {
    fill(96, 639, 400, 675, 4);
    rt::line(96, 639, 400, 675, 13, rt::Mode::Box);
    g.ink = 9;
    g.pen_x = 128;
    g.pen_y = 648;
    g.markup_text = "何かキーを押して下さい。"_sj;
    render_markup();
    do {
        g.key_text = rt::inkey();
    } while (g.key_text.empty());
    fill(0, 639, 400, 675, 0);
}

void progress_grid() {
    const float n = g.grid_cells;
    if (n < 3 || n > 29) return;
    const float left = grid_left(), top = grid_top();
    const float right = 8 * (g.grid_column + 2 * n);

    fill(left - 20, top, right, top + 53, 0);   // down to the completion digits' last row
    rt::line(left, top, right, top + 32, 1, rt::Mode::Box);
    rt::line(left, top + 18, right, top + 18, 1);

    rt::locate(rt::whole(g.grid_column) - 3, rt::whole(g.grid_row));
    rt::print_using2(g.practice_runs);
    rt::symbol(left - 20, top + 18, "回"_sj, 1, 1, 11);

    float k = 1;
    do {
        rt::line(left + 16 * k, top, left + 16 * k, top + 32, 1);
        k += 1;
    } while (k <= n - 1);

    // One-digit numbers sit centred in their cells; from 10 on, the two digits
    // are pulled 5 dots left so that they fit.
    rt::symbol(left + 4, top, "1", 0, 0, 11);
    float x = left - 4;
    k = 2;
    do {
        if (k == 10) x -= 5;
        x += 16;
        rt::symbol(x, top, rt::str(k), 0, 0, 11);
        k += 1;
    } while (k <= n);
}

void first_attempt_mark() {
    const float x = cell_left(), y = grid_top() + 18;
    if (g.mark_result == 1) rt::symbol(x, y, rt::knj(kCross), 0, 0, 11);
    if (g.mark_result == 2) rt::symbol(x, y, rt::knj(kCircle), 0, 0, 11);
}

void completion_digit() {
    const float x = cell_left() + 4, y = grid_top() + 38;
    if (g.completion_count == 10) g.completion_count = 9;
    const Text digit = rt::knj(kDigits + rt::whole(g.completion_count));
    const float width = 8 * static_cast<float>(sjis::len(digit));
    fill(x, y, x + width - 1, y + 15, 0);
    rt::symbol(x, y, digit, 0, 0, 11);
}
