// The problem driver: up to three answers to a problem, its hints and answer
// routine in the order the retry policy sets, the progress grid, and the small
// menus that lead to the same problem again or the next one.
#include "engine/engine.hpp"
#include "runtime/numbers.hpp"
#include "runtime/screen.hpp"

namespace {

int current() { return rt::whole(g.problem_no); }

// Polls once into key_text; the menus redraw their line between polls.
void poll_menu_key() {
    g.key_text = rt::inkey();
    g.ink = 4;
}

// Browsing: the problem is shown, and Enter goes on to the next one.
Next browse_on() {
    key_flush();
    enter_prompt();
    g.view_problem_no += 1;
    return Next{&browse_step};
}

// An abandoned line spends the attempt without a mark or a hint. On the third
// attempt that would leave the problem without an end (the count would pass 3
// and never meet the policy's last row), so the abandoned third line counts
// as the third, wrong answer: no mark is drawn, the answer routine runs.
Next abandoned_third_line() {
    g.attempt_count = 3;
    g.mark_result = 1;
    g.bank->answer(current());
    return Next{&finish_problem};
}

// The whole-answer mark; the grid keeps the first answer of the first pass
// through a problem.
void mark_the_answer() {
    g.mark_x = g.blank_origin_x + 24;
    g.mark_y = g.blank_origin_y + 8;
    draw_mark();
    if (g.attempt_count == 1 && g.problem_done[g.problem_no] == 0) {
        first_attempt_mark();
        g.completion_count = 0;
    }
    record_answer();
}

// The retry policy after a marked answer: the hints and the answer routine it
// sets; true when the problem is finished.
bool policy_finishes_problem() {
    const int no = current();
    const bool right = g.mark_result == 2;
    if (right && g.attempt_count == 1) {
        g.bank->hint1(no);
        g.bank->hint2(no);
        g.bank->answer(no);
        return true;
    }
    if (right && g.attempt_count == 2) {
        g.bank->hint2(no);
        g.bank->answer(no);
        return true;
    }
    if (g.attempt_count == 3) {   // right or not, the third answer ends the problem
        g.bank->answer(no);
        return true;
    }
    record_hint();
    if (g.attempt_count == 1) g.bank->hint1(no);
    else g.bank->hint2(no);
    return false;
}

}  // namespace

Next attempt_loop() {
    for (;;) {
        g.ink = 7;
        if (g.view_mode == 1) return browse_on();

        g.blank_origin_x = g.pen_x = g.answer_x;
        g.blank_origin_y = g.pen_y = g.answer_y;
        rt::line(g.answer_x, g.answer_y - 9, g.answer_x + 800, g.answer_y + 27, 0, rt::Mode::Fill, 0);
        g.attempt_count += 1;

        if (!take_answer()) {
            if (g.attempt_count < 3) continue;
            return abandoned_third_line();
        }
        mark_the_answer();
        if (policy_finishes_problem()) return Next{&finish_problem};
        space_prompt();
    }
}

Next finish_problem() {
    g.completion_count += 1;
    completion_digit();
    g.problem_done[g.problem_no] = 1;
    record_problem_finished();   // kept before the menu after it is shown
    if (g.problem_no == g.problem_count) return Next{&end_of_bank_menu};
    return Next{&next_step_menu};
}

Next next_step_menu() {
    speak("もう1度練習する 1、次に進む 2");
    for (;;) {
        rt::symbol(16, 630, "☆もう１度練習する…１    ☆次に進む…２"_sj, 1, 1, 5);
        rt::locate(68, 33);
        poll_menu_key();
        if (g.key_text == "1") {
            key_flush();
            return Next::start_of(g.problem_no);
        }
        if (g.key_text == "2") {
            key_flush();
            return Next::start_of(g.problem_no + 1);
        }
    }
}

Next end_of_bank_menu() {
    speak("この問題をもう1度練習する 1、1番から練習する 2、「内容」に戻る 3");
    for (;;) {
        rt::symbol(16, 630,
                   "☆この問題をもう１度練習する…１    ☆１番から練習する…２    ☆「内容」に戻る…３"_sj, 1, 1, 5);
        rt::locate(78, 33);
        poll_menu_key();
        if (g.key_text == "1") {
            key_flush();
            return Next::start_of(g.problem_no);
        }
        if (g.key_text == "2") {
            g.start_text.assign(1, '1');
            return Next{&practice_restart};
        }
        if (g.key_text == "3") return Next{&main_menu};
    }
}
