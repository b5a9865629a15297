// Problems of a real bank seen from outside: whole headless runs of a program
// with the clock fixed, single starts of a problem called directly, queries on
// the trace of what was drawn, and the keys a pupil types.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/engine.hpp"
#include "problems/script/script.hpp"
#include "runtime/headless.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"
#include "tools/player.hpp"

namespace problem_play {

using Trace = std::vector<rt::TraceEntry>;
inline constexpr const char* kClock = "12:00:00";   // the clock of a run unless one is given

// Every helper names its program (1 varnel1, 2 varnel2): both have problems
// of the same numbers, and a test of one program's problem run in the other
// would pass on the wrong problem.

// Problem n of the program of `bank`, or std::invalid_argument naming what the
// program has: a test of a problem that is not there fails, and says why.
inline void require_problem(int bank, int n) {
    const int count = program_of_bank(bank).problem_count;
    if (n < 1 || n > count)
        throw std::invalid_argument("varnel" + std::to_string(bank) + " has no problem " + std::to_string(n) +
                                    " (its problems are 1 to " + std::to_string(count) + ")");
}

// Runs the program of `bank` from start-up through the key script; the state
// and the screen stay as the end of the script left them.
inline Trace run(int bank, const std::string& keys, const std::string& time = kClock) {
    return play(PlayOptions{.bank = bank, .time = time, .keys = keys}).trace;
}

// What a whole run drew after its last cleared screen: the practice screen,
// without the menus before it.
inline Trace practice_screen(const Trace& trace) {
    std::size_t from = 0;
    for (std::size_t i = 0; i < trace.size(); ++i)
        if (trace[i].op == "cls") from = i;
    return Trace(trace.begin() + static_cast<std::ptrdiff_t>(from), trace.end());
}

// Practice from problem n of the program of `bank`: menu choice 1, the start
// number, Enter.
inline std::string practice_from(int bank, int n) {
    require_problem(bank, n);
    return "1" + std::to_string(n) + "{Enter}";
}

// A program brought up to its main menu, so that start routines can be called
// one by one. Each start gets a fresh screen whose clock reads `time`, whose
// random generator is reseeded with `seed`, and whose keys answer key pauses.
class Starts {
public:
    explicit Starts(int bank) : bank_(bank) { run(bank, ""); }
    Trace start(int problem, float seed, const std::string& time = kClock) {
        require_problem(bank_, problem);
        rt::install(rt::make_headless({.time = time, .keys = rt::parse_key_script("xxxx")}));
        rt::randomize(seed);
        Trace trace;
        rt::set_trace(&trace);
        script::bank(bank_).start(problem);
        rt::set_trace(nullptr);
        return trace;
    }

private:
    int bank_;
};

// The same by hand: start_up(bank) brings the program to its main menu;
// fresh_screen() gives a new screen whose clock reads `clock`, with `keys`
// waiting (varnel1's problems 1, 4 and 7 wait for a key before they show
// their answers) and the random generator seeded with `seed`;
// start_routine(bank, n) runs problem n's start routine there, which must end
// by going to the attempt loop. Several starts on one screen go on with its
// random numbers.
inline void start_up(int bank) { run(bank, ""); }

inline void fresh_screen(unsigned seed, const std::string& keys = "", const std::string& clock = kClock) {
    rt::install(rt::make_headless({.time = clock, .keys = rt::parse_key_script(keys)}));
    rt::randomize(static_cast<float>(seed));
}

inline void start_routine(int bank, int n) {
    require_problem(bank, n);
    Next next = script::bank(bank).start(n);
    ASSERT_EQ(next.routine, &attempt_loop) << "varnel" << bank << " problem " << n;
}

// A clock reading whose seed (hours + minutes + seconds) is `seed`, 0 to 141.
inline std::string clock_for_seed(int seed) {
    int hours = seed > 118 ? seed - 118 : 0, minutes = seed - hours > 59 ? seed - hours - 59 : 0;
    int seconds = seed - hours - minutes;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", hours, minutes, seconds);
    return buf;
}

// A typed text as the screen shows it: digits, signs, the decimal point and
// capitals in their full-width forms, blanks left out (UTF-8).
inline std::string shown(const std::string& typed) {
    static const std::string digits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    std::string out;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        char c = typed[i];
        if (c >= '0' && c <= '9') out += digits[c - '0'];
        else if (c == '+') out += "＋";
        else if (c == '-') out += "－";
        else if (c == '.') out += "．";
        else if (c == ',') out += "，";
        else if (c == '=') out += "＝";
        else if (c == 'A') out += "Α";
        else if (c >= 'B' && c <= 'Z') out += std::string("\xEF\xBC") + static_cast<char>(0xA1 + c - 'A');
        else if (c == 'k') out += "ｋ";
        else if (c == 'g') out += "ｇ";
        else if (c == 'm') out += "ｍ";
        else if (c == ' ') continue;
        else out += c;
    }
    return out;
}

inline constexpr int kAnyColour = -1;

// The visible glyphs drawn with their top at y, in colour `colour` (or any),
// from x_from up to x_to, in the order drawn, joined (UTF-8; blanks left out).
inline std::string row(const Trace& trace, float y, int colour = kAnyColour, float x_from = 0, float x_to = 1440) {
    std::string out;
    for (const auto& e : trace)
        if (e.op == "symbol" && e.y1 == y && e.x1 >= x_from && e.x1 < x_to && (colour < 0 || e.c == colour) &&
            e.text != "　" && e.text != " ")
            out += e.text;
    return out;
}

// The first glyph drawn with exactly this text, or nullptr.
inline const rt::TraceEntry* glyph(const Trace& trace, const std::string& text, float y) {
    for (const auto& e : trace)
        if (e.op == "symbol" && e.text == text && e.y1 == y) return &e;
    return nullptr;
}

// The x of the first glyph drawn with this text at y, or -1.
inline float x_of(const Trace& trace, const std::string& text, float y) {
    const rt::TraceEntry* e = glyph(trace, text, y);
    return e ? e->x1 : -1;
}

inline int count_text(const Trace& trace, const std::string& text) {
    int n = 0;
    for (const auto& e : trace) n += e.op == "symbol" && e.text == text;
    return n;
}

// A filled box with these corners, border and fill colours was drawn.
inline bool filled_box(const Trace& trace, float x1, float y1, float x2, float y2, int border, int fill) {
    for (const auto& e : trace)
        if (e.op == "line" && e.mode == "fill" && e.x1 == x1 && e.y1 == y1 && e.x2 == x2 && e.y2 == y2 &&
            e.c == border && e.fill == fill)
            return true;
    return false;
}

// The first-attempt mark in problem n's cell of the progress grid ("○", "×" or "").
inline std::string grid_mark(const Trace& trace, int n) {
    std::string mark;
    for (const auto& e : trace)
        if (e.op == "symbol" && e.x1 == 240 + 16 * (n - 1) && e.y1 == 18 && !e.text.empty()) mark = e.text;
    return mark;
}

// Filled boxes drawn with the given fill colour, in drawing order.
inline std::vector<rt::TraceEntry> fills(const Trace& trace, int fill) {
    std::vector<rt::TraceEntry> out;
    for (const auto& e : trace)
        if (e.op == "line" && e.mode == "fill" && e.fill == fill) out.push_back(e);
    return out;
}

inline std::string utf8(const Text& t) { return sjis::to_utf8(t); }

// ---- figures in a trace ----------------------------------------------------------
// What the figure services of problems/script draw, as the trace records it:
// their headers say where. Check a figure through these rather than by
// counting drawing calls of a kind, which a service may draw more of than it
// seems (a hop's first and last dots are small circles on the line, at its
// two ends).

// What one routine (hint1, hint2 or answer) of problem n of the program of
// `bank` draws on the screen as it stands, after a start: drawn_by(2, &Bank::hint1, 5).
inline Trace drawn_by(int bank, void (Bank::*routine)(int), int n) {
    require_problem(bank, n);
    Trace trace;
    rt::set_trace(&trace);
    (script::bank(bank).*routine)(n);
    rt::set_trace(nullptr);
    return trace;
}

// What a whole run drew from the last problem's header ("ＮＯ") on: that
// problem's screen and the menu after it, without the menus before it.
inline Trace from_problem(const Trace& trace) {
    std::size_t from = 0;
    for (std::size_t i = 0; i < trace.size(); ++i)
        if (trace[i].op == "symbol" && trace[i].text == "ＮＯ") from = i;
    return Trace(trace.begin() + static_cast<std::ptrdiff_t>(from), trace.end());
}

// The x of the value v on the number lines from -10 to 10 (long_number_line.hpp).
inline float x_on_line(float v) { return 960 + 24 * v; }

// The number line from -10 to 10 drawn at y: its axis, from x 704 to 1216.
inline int number_lines_at(const Trace& trace, float y) {
    int n = 0;
    for (const auto& e : trace) n += e.op == "line" && e.x1 == 704 && e.x2 == 1216 && e.y1 == y && e.y2 == y;
    return n;
}

// A line (not a box) from (x1, y) to (x2, y), in colour c or any.
inline bool line_at(const Trace& trace, float x1, float x2, float y, int colour = kAnyColour) {
    for (const auto& e : trace)
        if (e.op == "line" && e.mode == "line" && e.x1 == x1 && e.x2 == x2 && e.y1 == y && e.y2 == y &&
            (colour < 0 || e.c == colour))
            return true;
    return false;
}

// A point of a number line: a disc of radius 4 in colour 9 at (x, y).
inline bool point_at(const Trace& trace, float x, float y) {
    for (const auto& e : trace)
        if (e.op == "circle" && e.x1 == x && e.y1 == y && e.r == 4 && e.c == 9 && e.fill == 9) return true;
    return false;
}

// How many points (discs of radius 4, colour 9) were drawn.
inline int points(const Trace& trace) {
    int n = 0;
    for (const auto& e : trace) n += e.op == "circle" && e.r == 4 && e.c == 9 && e.fill == 9;
    return n;
}

// The dots of hop arcs in colour c (one-dot circles: radius 0.5).
inline std::vector<rt::TraceEntry> hop_dots(const Trace& trace, int colour = 9) {
    std::vector<rt::TraceEntry> out;
    for (const auto& e : trace)
        if (e.op == "circle" && e.r == 0.5f && e.c == colour) out.push_back(e);
    return out;
}

// The text drawn as one call at (x, y), in colour c or any: a graphic text
// (a point's label, a tick's value) is one symbol call, markup one a glyph.
inline bool text_at(const Trace& trace, const std::string& text, float x, float y, int colour = kAnyColour) {
    for (const auto& e : trace)
        if (e.op == "symbol" && e.text == text && e.x1 == x && e.y1 == y && (colour < 0 || e.c == colour)) return true;
    return false;
}

// The glyphs drawn inside a box (a filled box's trace entry), in colour c or any.
inline std::string text_inside(const Trace& trace, const rt::TraceEntry& box, int colour = kAnyColour) {
    std::string out;
    for (const auto& e : trace)
        if (e.op == "symbol" && (colour < 0 || e.c == colour) && e.x1 >= box.x1 && e.x1 < box.x2 && e.y1 >= box.y1 &&
            e.y1 < box.y2)
            out += e.text;
    return out;
}

// One hop of hop_from_point on the line at y, from the value `from` by `step`
// units, and nothing else of a hop: 181 dots, every one between the two
// points and on or above the line, the top 16 dots above it, and the amount
// (|step|, full width) centred 36 dots above the line in colour 13.
inline void expect_hop(const Trace& trace, float from, float step, float y) {
    const auto dots = hop_dots(trace);
    ASSERT_EQ(dots.size(), 181u);
    const float x1 = x_on_line(from), x2 = x1 + 24 * step;
    float top = y;
    for (const auto& d : dots) {
        EXPECT_GE(d.x1, std::min(x1, x2) - 0.5f);
        EXPECT_LE(d.x1, std::max(x1, x2) + 0.5f);
        EXPECT_LE(d.y1, y + 0.5f);
        top = std::min(top, d.y1);
    }
    EXPECT_NEAR(top, y - 16, 0.5);
    const rt::TraceEntry* label = glyph(trace, shown(std::to_string(static_cast<int>(std::fabs(step)))), y - 36);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->x1, (x1 + x2) / 2 - 8);
    EXPECT_EQ(label->c, 13);
}

// The keys that type `answer` into one blank and close it. A fraction "-1/3"
// is typed as the editor builds it: the sign, F1, the denominator, Enter, the
// numerator, Enter.
inline std::string keys_for(const Text& answer) {
    std::size_t slash = answer.find('/');
    if (slash == Text::npos) return answer + "{Enter}";
    std::size_t start = answer[0] == '-' ? 1 : 0;
    return answer.substr(0, start) + "{F1}" + answer.substr(slash + 1) + "{Enter}" +
           answer.substr(start, slash - start) + "{Enter}{Enter}";
}

inline const std::string kSpacePrompt = "スペース　キーを押す";
inline const std::string kNextStep = "☆もう１度練習する…１    ☆次に進む…２";
inline const std::string kEndOfBank =
    "☆この問題をもう１度練習する…１    ☆１番から練習する…２    ☆「内容」に戻る…３";

// The problem ended: the menu after it shows (the next-step menu, or the
// end-of-bank menu after the program's last problem).
inline bool ended(const Trace& trace) { return count_text(trace, kNextStep) + count_text(trace, kEndOfBank) > 0; }

// The keys that practise problem n of the program of `bank` and answer every
// blank with its main form, read from a run that stops at the answer line.
// The "x" after the start number answers a key pause, or else is typed and
// taken back.
inline std::string right_at_once(int bank, int n) {
    run(bank, practice_from(bank, n) + "x");
    if (g.problem_no != n) throw std::logic_error("the run did not come to problem " + std::to_string(n));
    std::string keys = practice_from(bank, n) + "x{BS}";
    for (int k = 1; k <= g.blank_count; ++k) keys += keys_for(g.expected(k, 1));
    return keys;
}

}  // namespace problem_play
