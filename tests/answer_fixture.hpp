// Answer-line tests: the state as start-up leaves it (function keys, answer
// origin, arrays), keys from a script, and the trace of what was drawn, one
// visible call a line:
//     "３ 496,576"                  a glyph at scale 1 (texts in UTF-8)
//     "√ 496,552 2x3"               a glyph at other scales
//     "line 504,578 520,578 c15"    a line, with its colour
//     "fill 496,558 639,606 c0"     a filled box
//     "circle 520,585 r15 c8"       an outline circle
// The cursor disc (a filled circle of radius 4) is left out of drawn(); cursor()
// lists it alone.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine.hpp"
#include "runtime/headless.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"

class AnswerTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_state();
        g.answer_x = 480;
        g.answer_y = 576;
        g.ink = 4;
        g.typed.declare(10);
        g.expected.declare(5, 2);
        g.answer_label.declare(6);
        g.blank_x.declare(5);
        g.blank_y.declare(5);
        g.blank_count = 1;
        install_keys("");
    }
    void TearDown() override { rt::set_trace(nullptr); }

    // A fresh headless screen whose keyboard will type `script`, after the
    // keys of `waiting`, which are there before the first poll.
    void install_keys(const std::string& script, const std::string& waiting = "") {
        rt::HeadlessOptions options;
        options.keys = rt::parse_key_script(script);
        options.typed_ahead = rt::parse_key_script(waiting);
        options.idle_polls_to_end = 5;
        rt::install(rt::make_headless(std::move(options)));
        static const char* const strings[] = {"\\", "^", "!", "@", "[", "]", "&", "%", "'", "$", "?", "~"};
        for (int n = 1; n <= 12; ++n) rt::key(n, strings[n - 1]);
        trace_.clear();
        rt::set_trace(&trace_);
    }

    // Runs the answer step on the keys of `script`. Returns "marked",
    // "abandoned", or "waiting" when the keys ran out before the answer was
    // finished (the state is then left as the last key made it).
    std::string answer(const std::string& script) {
        install_keys(script);
        try {
            return take_answer() ? "marked" : "abandoned";
        } catch (const rt::ProgramEnd&) {
            return "waiting";
        }
    }

    // The visible drawing calls since the last call (cursor discs left out).
    std::vector<std::string> drawn() {
        std::vector<std::string> out;
        for (const rt::TraceEntry& e : take()) {
            if (is_cursor(e) || e.op == "key") continue;
            if (e.op == "symbol") {
                if (e.text.empty() || e.text == "　") continue;
                std::string s = e.text + " " + xy(e.x1, e.y1);
                if (e.sx != 1 || e.sy != 1) s += " " + num(e.sx) + "x" + num(e.sy);
                out.push_back(s);
            } else if (e.op == "line") {
                out.push_back(e.mode + " " + xy(e.x1, e.y1) + " " + xy(e.x2, e.y2) + " c" + num(e.c));
            } else if (e.op == "circle") {
                out.push_back(std::string(e.fill >= 0 ? "disc " : "circle ") + xy(e.x1, e.y1) + " r" + num(e.r) +
                              " c" + num(e.c));
            } else {
                out.push_back(e.op + " " + e.text);
            }
        }
        return out;
    }

    // Only the cursor discs since the last call: "on 504,584" / "off 504,584".
    std::vector<std::string> cursor() {
        std::vector<std::string> out;
        for (const rt::TraceEntry& e : take())
            if (is_cursor(e)) out.push_back(std::string(e.c == 0 ? "off " : "on ") + xy(e.x1, e.y1));
        return out;
    }

    // Whether `line` was drawn since the last drawn()/cursor().
    static bool contains(const std::vector<std::string>& lines, const std::string& line) {
        for (const auto& l : lines)
            if (l == line) return true;
        return false;
    }
    static int count_prefix(const std::vector<std::string>& lines, const std::string& prefix) {
        int n = 0;
        for (const auto& l : lines) n += l.rfind(prefix, 0) == 0;
        return n;
    }

    static std::string num(float v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", v);
        return buf;
    }
    static std::string xy(float x, float y) { return num(x) + "," + num(y); }

    std::vector<rt::TraceEntry> trace_;

private:
    static bool is_cursor(const rt::TraceEntry& e) { return e.op == "circle" && e.r == 4 && e.fill >= 0; }
    std::vector<rt::TraceEntry> take() {
        std::vector<rt::TraceEntry> t;
        t.swap(trace_);
        return t;
    }
};

using Lines = std::vector<std::string>;
