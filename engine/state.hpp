// The shared state of the drill: every routine of the engine and of the
// problem banks talks through this one object. Routines take no parameters;
// they read their inputs from these fields and leave their results here.
// Numbers are float, texts CP932 (Text), arrays checked against their bounds.
#pragma once

#include "engine/array.hpp"
#include "runtime/text.hpp"

class Bank;

// The values of root_mode: the root a text being drawn or typed is inside.
namespace root {
inline constexpr float none = 0;         // no root open
inline constexpr float small = 1;        // a small root open: each character gets its bar segment
inline constexpr float small_typed = 11; // its sign just typed in the editor: the next character starts the bar
inline constexpr float tall = 2;         // a tall root open: its thick bar over each character
inline constexpr float tall_asked = 22;  // asked for: the next "√" laid out is drawn tall
}  // namespace root

// The values of label_side: where a point's label goes (any other value: right).
namespace side {
inline constexpr float above = 1, below = 2, left = 3;
}  // namespace side

struct State {
    // Start-up: the program and its constants
    Text title_text;
    float problem_count = 0;
    float answer_x = 0, answer_y = 0;

    // Text renderer: pen, colour, markup and the general string register
    float ink = 0;
    float pen_x = 0, pen_y = 0;
    Text markup_text;
    Text work_string;
    Text glyph;
    float layout_x = 0;
    float root_mode = 0;
    float raise_next = 0;
    float box_width = 0, box_height = 0, box_border = 0, box_fill = 0;

    // Formula typesetting: fraction parts and fraction arithmetic
    Text part_text;
    float part_x = 0, part_y = 0;
    float frac_num = 0, frac_den = 0;
    Text frac_markup;
    float gcd_value = 0;

    // Drill flow: keys, problem, attempts, menus, practice runs
    Text key_text;
    float problem_no = 0;
    float attempt_count = 0;
    float mark_result = 0;
    float& entry_state = mark_result;   // the answer editor's state shares the mark's storage
    float view_mode = 0;
    float view_problem_no = 0;
    float practice_runs = 0;
    Text start_text;
    float completion_count = 0;
    float grid_column = 0, grid_row = 0, grid_cells = 0;
    float rnd_seed = 0;

    // Answer editor: buffers, fraction entry, blanks and their places
    Text answer_text;
    Text numerator_text, denominator_text;
    float baseline_y = 0;
    float fraction_x = 0;
    float den_end_x = 0;
    float blank_count = 0;
    float blanks_left = 0;
    float blank_origin_x = 0, blank_origin_y = 0;

    // Marking: the prepared whole answers and the place of the whole-answer mark
    Text expected_all;
    Text alternative, alternative2;
    float mark_x = 0, mark_y = 0;

    // Figures: hop arcs and point labels
    float arc_x1 = 0, arc_y1 = 0, arc_x2 = 0, arc_y2 = 0;
    float arc_side = 0, arc_step = 0, arc_height = 0, arc_colour = 0;
    float arc_angle = 0;
    float label_side = 0, label_lines = 0;

    // Problem scripts: texts of the pen and the first-value memory
    Text pen_x_text, pen_y_text;
    float last_first_value = 0;

    // Arrays, declared at start-up
    Array<float> problem_done;
    Array<float> num, aux;
    Array<Text> num_text, aux_text;
    Array<float> fig_x, fig_y;
    Array<Text> frac_text;
    Array<Text> answer_label;
    Array2<Text> expected;
    Array<Text> typed;
    Array<float> blank_x, blank_y;

    // The problem bank the start-up installed (not a drill value: the dispatch tables)
    Bank* bank = nullptr;

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // Visits every global under its own name (for the state dump).
    template <class F>
    void each(F&& f);
};

// Puts every global back to its value before start-up (tests run many programs).
void reset_state();
// Every field of the state under its own name, as one JSON object (the
// player's --state file, the page's varnel.state()).
std::string state_json();

// The one state object.
inline State g;

template <class F>
void State::each(F&& f) {
    f("title_text", title_text); f("problem_count", problem_count);
    f("answer_x", answer_x); f("answer_y", answer_y);
    f("ink", ink); f("pen_x", pen_x); f("pen_y", pen_y);
    f("markup_text", markup_text); f("work_string", work_string); f("glyph", glyph);
    f("layout_x", layout_x); f("root_mode", root_mode); f("raise_next", raise_next);
    f("box_width", box_width); f("box_height", box_height);
    f("box_border", box_border); f("box_fill", box_fill);
    f("part_text", part_text); f("part_x", part_x); f("part_y", part_y);
    f("frac_num", frac_num); f("frac_den", frac_den); f("frac_markup", frac_markup);
    f("gcd_value", gcd_value);
    f("key_text", key_text); f("problem_no", problem_no); f("attempt_count", attempt_count);
    f("mark_result", mark_result); f("entry_state", entry_state);
    f("view_mode", view_mode); f("view_problem_no", view_problem_no);
    f("practice_runs", practice_runs); f("start_text", start_text);
    f("completion_count", completion_count);
    f("grid_column", grid_column); f("grid_row", grid_row); f("grid_cells", grid_cells);
    f("rnd_seed", rnd_seed);
    f("answer_text", answer_text); f("numerator_text", numerator_text);
    f("denominator_text", denominator_text); f("baseline_y", baseline_y);
    f("fraction_x", fraction_x); f("den_end_x", den_end_x);
    f("blank_count", blank_count); f("blanks_left", blanks_left);
    f("blank_origin_x", blank_origin_x); f("blank_origin_y", blank_origin_y);
    f("expected_all", expected_all); f("alternative", alternative); f("alternative2", alternative2);
    f("mark_x", mark_x); f("mark_y", mark_y);
    f("arc_x1", arc_x1); f("arc_y1", arc_y1); f("arc_x2", arc_x2); f("arc_y2", arc_y2);
    f("arc_side", arc_side); f("arc_step", arc_step); f("arc_height", arc_height);
    f("arc_colour", arc_colour); f("arc_angle", arc_angle);
    f("label_side", label_side); f("label_lines", label_lines);
    f("pen_x_text", pen_x_text); f("pen_y_text", pen_y_text);
    f("last_first_value", last_first_value);
    f("problem_done", problem_done); f("num", num); f("aux", aux);
    f("num_text", num_text); f("aux_text", aux_text); f("fig_x", fig_x); f("fig_y", fig_y);
    f("frac_text", frac_text); f("answer_label", answer_label); f("expected", expected);
    f("typed", typed); f("blank_x", blank_x); f("blank_y", blank_y);
}
