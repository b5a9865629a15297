// The routines of the drill engine. None takes a parameter or returns a value
// of its own: they talk through the state object `g` (engine/state.hpp).
//
// Jumps: the menus, the start routines and the attempt loop never return to
// their caller; they return the next target to the one trampoline loop
// (run_program), so the stack never grows.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/state.hpp"
#include "runtime/paper.hpp"

// Where control goes next: an engine routine, or the start routine of a
// problem. There is no jump to nowhere: a null routine or a problem number
// below 1 is a fault the moment the jump is made.
class Next {
public:
    using Routine = Next (*)();
    Next(Routine routine) : routine(routine) {
        if (!routine) throw std::logic_error("a jump to no routine");
    }
    // The start routine of problem `problem_no` (taken whole).
    static Next start_of(float problem_no);

    Routine routine = nullptr;   // null for a problem's start routine
    int problem = 0;

private:
    Next() = default;
};

// A problem bank: four dispatch tables indexed by the problem number.
class Bank {
public:
    virtual ~Bank() = default;
    virtual Next start(int problem_no) = 0;   // a jump: ends by going to the attempt loop
    virtual void hint1(int problem_no) = 0;
    virtual void hint2(int problem_no) = 0;
    virtual void answer(int problem_no) = 0;
    // The problem's topic in a few words, for the practice record.
    virtual Text topic(int /*problem_no*/) { return {}; }
};

// ---- start-up and flow (state, startup) --------------------------------------
struct Program {
    const char* title;   // "varnel1" / "varnel2"
    int problem_count;   // 11 / 10
    Bank* bank;
    const char* subject = "";   // what it drills, for a printed sheet's header (UTF-8)
};
// Runs the program from start-up to its end, errors through the one trap.
// Returns when the program ends (END or the window closed).
void run_program(const Program& program);
Next startup();          // the start-up routine (jump)
// The program's start-up, run on the backend installed, for a caller that then
// starts problems itself (the worksheets) rather than going to the menu.
void prepare_program(const Program& program);
void key_flush();
void clock_seeding();
rt::PadRows pupils_keypad();   // the on-screen keypad the start-up declares
Next error_screen();     // never returns until the window closes

// ---- main menu (menu) -----------------------------------------------------
Next main_menu();
Next start_number_entry();
Next practice_start();
Next practice_restart();  // practice start from its progress-grid step
Next browsing();
Next browse_step();

// ---- problem driver (driver) -------------------------------------------------
Next attempt_loop();
Next finish_problem();
Next next_step_menu();
Next end_of_bank_menu();

// ---- prompts and progress grid (prompts) ----------------------------------
void space_prompt();
void enter_prompt();
void key_pause();
void progress_grid();
void first_attempt_mark();
void completion_digit();

// ---- markup text (markup) ---------------------------------------------------
void render_markup();
void layout_glyph_run();
void draw_tall_root();
void root_bar_segment();
void root_bar_start();
void tall_root_bar_segment();
void remove_spaces();
void draw_boxed_label();

// ---- formula typesetting (formula) ------------------------------------------
void draw_fraction();
void draw_part_root_bars();
void strip_fraction_marks();
void build_fraction();
void compute_gcd(float a, float b);   // the two numbers Euclid starts from; result in gcd_value

// ---- character conversion (charconv) ----------------------------------------
void to_display_char();

// ---- answer editor (editor) -----------------------------------------------
// take_answer: true when the answer was marked, false when the line was abandoned.
bool take_answer();
void draw_answer_line();
void enter_number();

// ---- marking (marking) -----------------------------------------------------
void check_answer();
void per_blank_mark();
void draw_mark();
void strip_answer_marks();
bool blank_right(float k);   // blank k of the answer just typed is right by itself

// ---- speech (speech) ---------------------------------------------------------
// A markup string as a reader says it: fractions "3分の2" (a sign before them
// "マイナス"), powers "2の2乗", roots "ルート3", signs and symbols by their
// Japanese names, the blanks' circled numbers "1番".
std::string speech_of(const Text& markup);
std::string speech_of_typed(const Text& typed);   // an answer as typed: "2/3" is a fraction
std::string speech_of_blank(float k);             // blank k's name: "答え" alone, else "1番", "2番"...
// Says a text for assistive technology (rt::say), unless a figure or the
// answer line is being drawn: their own drawing is not said.
void speak(const std::string& spoken);
// A figure, drawn while one of these lives: said by its name only ("数直線の図").
class Figure {
public:
    explicit Figure(const char* name);
    ~Figure();
    Figure(const Figure&) = delete;
    Figure& operator=(const Figure&) = delete;
};
// Drawing that says nothing of itself (the answer line says what it asks).
class QuietDrawing {
public:
    QuietDrawing();
    ~QuietDrawing();
    QuietDrawing(const QuietDrawing&) = delete;
    QuietDrawing& operator=(const QuietDrawing&) = delete;
};

// ---- the practice record (record) --------------------------------------------
// A practice chosen at the menu (the device may ask who practises), a run of
// the practice started, the problem just started (its number set; browsing
// keeps nothing), each marked answer (the first is its first attempt), each
// hint after a wrong one, its end at the menu after it, and a problem left
// unfinished.
void record_practice_chosen();
void record_practice_started();
void record_problem_started();
void record_self_check();
bool record_self_marked();   // the problem under way is one the pupil marks themselves
void record_blanks_closed();   // an answer line's blanks closed so far, before it is marked
void record_answer();
void record_hint();
void record_problem_finished();
void record_problem_left();

// ---- figures (figures) -----------------------------------------------------
void direction_angle();
void draw_hop_arc();
void place_point_label();

// ---- worksheets (worksheet) -------------------------------------------------
// The problems `problems` of the program on paper: for each version its
// sheets (the question as the drill asks it, a box for each blank), then each
// version's answer key (the accepted answers and the worked answer as the
// drill shows it after a third wrong answer). Version 1 has the values of a
// practice started at `time` ("hh:mm:ss") at each problem; each further
// version its own. The header bears `date` ("2026-12-10").
struct WorksheetOptions {
    std::vector<int> problems;
    int versions = 1;
    std::string date, time;
};
struct Worksheets {
    rt::paper::Document document;
    // For each version and problem, the answers its key gives (in the drill's
    // typed form); none for a problem the pupil marks themselves.
    std::vector<std::vector<std::vector<std::string>>> keys;
};
Worksheets worksheets(const Program& program, const WorksheetOptions& options);
