// The main menu: practice from a chosen problem, browsing through the bank
// without answering, or the end of the program.
#include "engine/engine.hpp"
#include "runtime/numbers.hpp"
#include "runtime/screen.hpp"

namespace {

// Colour c at (x, y): the markup through the text renderer.
void markup_at(float colour, float x, float y, const Text& markup) {
    g.ink = colour;
    g.pen_x = x;
    g.pen_y = y;
    g.markup_text = markup;
    render_markup();
}

}  // namespace

Next main_menu() {
    g.blanks_left = 1;
    g.grid_cells = 0;   // no practice under way: its screen and grid are gone
    rt::cls();
    float title_length = static_cast<float>(sjis::klen(g.title_text));
    rt::line(240, 72, 32 * title_length + 272, 142, 15, rt::Mode::Fill, 10);
    rt::symbol(256, 90, g.title_text, 2, 2, 13);
    speak(sjis::to_utf8(g.title_text));

    g.work_string = rt::str(g.problem_count);
    remove_spaces();
    Text count = g.work_string;
    markup_at(15, 320, 216, "★ 練習"_sj + count + "題・・・・・・・・・・・・・１"_sj);
    markup_at(15, 320, 270, "★ 練習"_sj + count + "題を見る・・・・・・・・・・２"_sj);
    markup_at(15, 320, 324, "★ 終わる・・・・・・・・・・・・・・・３"_sj);
    markup_at(13, 288, 432, "実行途中で元に戻りたいときは、マウスで×をクリックする"_sj);

    // Only "1" to "3" (in string order) are taken; the menu is not redrawn.
    do g.key_text = rt::inkey();
    while (!(g.key_text >= "1" && g.key_text <= "3"));

    if (g.key_text == "1") {
        record_practice_chosen();
        return Next{&start_number_entry};
    }
    if (g.key_text == "2") return Next{&browsing};
    rt::end();
}

Next start_number_entry() {
    rt::line(1, 252, 1281, 612, 0, rt::Mode::Fill, 0);
    for (;;) {
        // A refused number stays visible under the question asked again.
        rt::symbol(288, 270, "何番から始めますか　番号を入力し、Enter キーを押してください。"_sj, 1, 1, 13);
        speak("何番から始めますか。番号を入力し、Enter キーを押してください。");
        g.start_text = "";
        g.pen_x = 320;
        g.pen_y = 306;
        enter_number();
        g.start_text = g.work_string;
        float value = rt::val(g.start_text);   // not a number: 0, refused
        if (!(value > g.problem_count || value < 1)) return Next{&practice_start};
    }
}

Next practice_start() {
    rt::cls();
    rt::symbol(0, 9, g.title_text, 1, 1, 5);
    rt::line(640, 0, 1280, 43.2f, 11, rt::Mode::Fill, 4);
    markup_at(13, 656, 0, "分数→F1, 2乗～→F2後2～, √ →F3, ±→F4, ≦≧→F5,F6"_sj);
    markup_at(13, 656, 21.6f, "π→F7, 度°→F8,∠→F9, ≡→F10, ∽→F11, △ →F12 "_sj);
    clock_seeding();
    return Next{&practice_restart};
}

// From the end-of-bank menu the practice starts here: the screen, the help
// lines and the random generator stay as they are; only the grid is new.
Next practice_restart() {
    g.practice_runs += 1;
    record_practice_started();
    g.grid_column = 30;
    g.grid_row = 0;
    g.grid_cells = g.problem_count;
    progress_grid();
    int k = 1;
    do g.problem_done[k] = 0;
    while (++k <= g.grid_cells);
    key_flush();
    // A start number such as 2.5 passed the range test; it is taken whole here.
    return Next::start_of(rt::val(g.start_text));
}

Next browsing() {
    g.view_mode = 1;
    g.view_problem_no = 1;
    rt::cls();
    rt::symbol(100, 80, "問題を見る"_sj, 2, 2, 15);
    speak("問題を見る");
    return Next{&browse_step};
}

// The attempt loop comes back here after each problem shown while browsing.
Next browse_step() {
    key_flush();
    if (g.view_problem_no > g.problem_count) {
        g.view_mode = 0;
        return Next{&main_menu};
    }
    return Next::start_of(g.view_problem_no);
}
