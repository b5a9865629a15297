// Start-up, the key flush, the clock seeding, the error screen, and the one
// trampoline through which every jump of the drill passes.
#include <exception>
#include <string>

#include "engine/engine.hpp"
#include "runtime/numbers.hpp"
#include "runtime/screen.hpp"

namespace {

const Program* program_being_run = nullptr;

}  // namespace

// What a pupil without a keyboard presses: the digits and signs (< and >
// among them), the twelve function keys under what they make, Enter,
// Backspace, the restart key and the space bar.
rt::PadRows pupils_keypad() {
    return {
        {{"1", "1"}, {"2", "2"}, {"3", "3"}, {"4", "4"}, {"5", "5"}, {"6", "6"}, {"7", "7"}, {"8", "8"},
         {"9", "9"}, {"0", "0"}, {"消す", "BS", 2}},
        {{"+", "+"}, {"-", "-"}, {".", "."}, {",", ","}, {"/", "/"}, {"分数", "F1"}, {"累乗", "F2"},
         {"√", "F3"}, {"±", "F4"}, {"≦", "F5"}, {"≧", "F6"}, {"やり直し", "Ctrl+L"}},
        {{"π", "F7"}, {"°", "F8"}, {"∠", "F9"}, {"≡", "F10"}, {"∽", "F11"}, {"△", "F12"}, {"<", "<"},
         {">", ">"}, {"スペース", "Space", 2}, {"決定", "Enter", 2}},
    };
}

void key_flush() {
    while (!rt::inkey().empty()) {
    }
}

void clock_seeding() {
    Text t = rt::time_text();   // hh:mm:ss
    g.rnd_seed = rt::val(sjis::mid(t, 1, 2)) + rt::val(sjis::mid(t, 4, 2)) + rt::val(sjis::mid(t, 7, 2));
    rt::randomize(rt::INT(g.rnd_seed));
}

Next startup() {
    key_flush();
    rt::set_map_mode(0, 1);
    rt::maximize_window(0);
    rt::cls();
    clock_seeding();
    // What each function key types, and the symbol it is known by: typed as
    // text (a keyboard's √, an input method's ≦), the symbol is that key.
    static const struct {
        const char* types;
        char32_t symbol;
    } function_keys[] = {
        {"\\", 0},   {"^", 0},      {"!", U'√'}, {"@", U'±'}, {"[", U'≦'}, {"]", U'≧'},
        {"&", U'π'}, {"%", U'°'}, {"'", U'∠'}, {"$", U'≡'}, {"?", U'∽'}, {"~", U'△'},
    };
    for (int n = 1; n <= 12; ++n) rt::key(n, function_keys[n - 1].types, function_keys[n - 1].symbol);
    rt::keypad(pupils_keypad());
    g.ink = 4;
    g.answer_x = 480;
    g.answer_y = 576;
    g.title_text = program_being_run->title;
    g.problem_count = static_cast<float>(program_being_run->problem_count);
    g.problem_done.declare(program_being_run->problem_count);
    g.num.declare(40);
    g.num_text.declare(40);
    g.aux.declare(40);
    g.aux_text.declare(40);
    g.fig_x.declare(40);
    g.fig_y.declare(40);
    g.frac_text.declare(10);
    g.answer_label.declare(6);
    g.expected.declare(5, 2);
    g.typed.declare(10);
    g.blank_x.declare(5);
    g.blank_y.declare(5);
    return Next{&main_menu};
}

Next error_screen() {
    record_problem_left();
    rt::text_input(false);   // an error in the answer line may have left it on
    rt::cls();
    rt::symbol(288, 432, "エラーが発生しました。マウスで×をクリックして下さい。"_sj, 1, 1, 13);
    speak("エラーが発生しました。マウスで×をクリックして下さい。");
    for (;;) rt::idle();
}

Next Next::start_of(float problem_no) {
    const int problem = rt::whole(problem_no);
    if (problem < 1) throw rt::Fault("a jump to problem " + std::to_string(problem));
    Next next;
    next.problem = problem;
    return next;
}

void prepare_program(const Program& program) {
    program_being_run = &program;
    g.bank = program.bank;
    startup();
}

void run_program(const Program& program) {
    program_being_run = &program;
    g.bank = program.bank;
    // The error trap is in place before the first step of start-up.
    Next next{&startup};
    for (;;) {
        try {
            for (;;) next = next.problem ? g.bank->start(next.problem) : next.routine();
        } catch (const rt::ProgramEnd&) {
            record_problem_left();
            return;
        } catch (const std::exception&) {
            next = Next{&error_screen};
        }
    }
}
