// Helpers for the tests of the first bank's problems: starting one problem on
// its own with a chosen random seed, reading what a trace shows on one text
// row, and typing an expected answer as a pupil would.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.hpp"
#include "problems/script/script.hpp"
#include "runtime/headless.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"
#include "tools/player.hpp"

namespace bank1_test {

using Trace = std::vector<rt::TraceEntry>;
inline constexpr const char* kClock = "12:00:00";

// The program's start-up with no keys: the globals are declared and the run
// ends at the main menu, so a problem can then be started directly.
inline void start_up() { play({.bank = 1, .time = kClock, .keys = ""}); }

// A fresh headless screen with the clock fixed and `keys` waiting (problems 1
// and 4 wait for a key before they show their answers), the random generator
// seeded with `seed`.
inline void fresh_screen(unsigned seed, const std::string& keys = "", const std::string& clock = kClock) {
    rt::install(rt::make_headless({.time = clock, .keys = rt::parse_key_script(keys)}));
    rt::randomize(static_cast<float>(seed));
}

// Runs problem n's start routine; it must end by going to the attempt loop.
inline void start(int n) {
    Next next = script::bank(1).start(n);
    ASSERT_EQ(next.routine, &attempt_loop) << "problem " << n;
}

// What a pupil reads on the text row at y (glyphs at y, or raised by 4 dots),
// from x on, in drawing order; blanks (full-width, or the pen's step over a
// half-width one) are left out.
inline std::string row(const Trace& trace, float y, float x_from = 0, float x_to = 1440) {
    std::string out;
    for (const auto& e : trace)
        if (e.op == "symbol" && (e.y1 == y || e.y1 == y - 4) && e.x1 >= x_from && e.x1 < x_to &&
            e.text != "　")
            out += e.text;
    return out;
}

// The full-width form in which a typed number is shown: "-3.5" -> "－３．５".
inline std::string wide(const Text& typed) {
    std::string out;
    for (char c : typed) {
        if (c >= '0' && c <= '9') {
            out += "\xEF\xBC";
            out += static_cast<char>('\x90' + (c - '0'));
        } else if (c == '-') out += "－";
        else if (c == '+') out += "＋";
        else if (c == '.') out += "．";
        else if (c == ',') out += "，";
        else out += c;
    }
    return out;
}

inline std::string utf8(const Text& t) { return sjis::to_utf8(t); }

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

// Practice from problem n: menu choice 1, the start number, Enter.
inline std::string practice_from(int n) { return "1" + std::to_string(n) + "{Enter}"; }

// The first attempt's mark that the progress grid shows in problem n's cell.
inline std::string grid_mark(const Trace& trace, int n) {
    std::string mark;
    for (const auto& e : trace)
        if (e.op == "symbol" && e.x1 == 240 + 16 * (n - 1) && e.y1 == 18 && !e.text.empty()) mark = e.text;
    return mark;
}

inline int count_text(const Trace& trace, const std::string& text) {
    int n = 0;
    for (const auto& e : trace) n += e.op == "symbol" && e.text == text;
    return n;
}

// Filled boxes drawn with the given fill colour, in drawing order.
inline std::vector<rt::TraceEntry> fills(const Trace& trace, int fill) {
    std::vector<rt::TraceEntry> out;
    for (const auto& e : trace)
        if (e.op == "line" && e.mode == "fill" && e.fill == fill) out.push_back(e);
    return out;
}

}  // namespace bank1_test
