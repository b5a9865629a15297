// Drawing tests: a fresh state and headless screen per test, and the trace of
// drawing calls written one call a line, so a test can compare what was drawn
// with what a pupil should see:
//     "ａ 100,200"              a glyph at scale 1 (texts in UTF-8)
//     "√ 100,176 2x3"           a glyph at other scales
//     "line 108,202 124,202"    a line
//     "fill 116,186 132,188"    a filled box (border and fill colours left out)
// Blank glyphs ("" and "　") draw nothing visible and are left out.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine.hpp"
#include "runtime/headless.hpp"
#include "runtime/numbers.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"

class DrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_state();
        rt::install(rt::make_headless({}));
        rt::set_trace(&trace_);
        g.ink = 15;
    }
    void TearDown() override { rt::set_trace(nullptr); }

    // Draws markup from the pen at (x, y).
    void draw(const Text& markup, float x, float y) {
        g.pen_x = x;
        g.pen_y = y;
        g.markup_text = markup;
        render_markup();
    }

    // What was drawn since the last call, one line per visible call.
    std::vector<std::string> drawn() {
        std::vector<std::string> out;
        for (const rt::TraceEntry& e : trace_) {
            if (e.op == "symbol") {
                if (e.text.empty() || e.text == "　") continue;
                std::string s = e.text + " " + xy(e.x1, e.y1);
                if (e.sx != 1 || e.sy != 1) s += " " + num(e.sx) + "x" + num(e.sy);
                out.push_back(s);
            } else if (e.op == "line") {
                out.push_back(e.mode + " " + xy(e.x1, e.y1) + " " + xy(e.x2, e.y2));
            } else {
                out.push_back(e.op);
            }
        }
        trace_.clear();
        return out;
    }

    // All trace entries since the last call (drawn() also empties it).
    std::vector<rt::TraceEntry>& trace() { return trace_; }

private:
    static std::string num(float v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", v);
        return buf;
    }
    static std::string xy(float x, float y) { return num(x) + "," + num(y); }

    std::vector<rt::TraceEntry> trace_;
};

using Lines = std::vector<std::string>;
