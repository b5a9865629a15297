// Long sessions: a program that waits at a menu for an hour redraws the
// menu's line at every poll. What the screen shows, the memory the canvas
// keeps and the key source of long random runs stay as they were.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "runtime/backend.hpp"
#include "runtime/headless.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"
#include "tools/player.hpp"

namespace {

std::vector<std::uint32_t> screen_pixels() {
    const rt::Canvas& c = rt::backend().canvas();
    return std::vector<std::uint32_t>(c.pixels(), c.pixels() + static_cast<std::size_t>(c.width()) * c.height());
}

// How many pixels differ between two pictures of the same screen.
long differing(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    long n = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
    return n;
}

}  // namespace

TEST(LongSession, TextDrawnAgainAtOnceKeepsItsPixelsAndTheCanvasList) {
    rt::install(rt::make_headless({}));
    const Text line = "☆もう１度練習する…１    ☆次に進む…２"_sj;
    rt::symbol(16, 630, line, 1, 1, 5);
    const std::vector<std::uint32_t> once = screen_pixels();
    const std::size_t ops = rt::backend().canvas().op_count();
    for (int i = 0; i < 50; ++i) rt::symbol(16, 630, line, 1, 1, 5);
    EXPECT_EQ(differing(screen_pixels(), once), 0);   // the soft edges of the glyphs are not blended darker
    EXPECT_EQ(rt::backend().canvas().op_count(), ops);

    // With anything drawn between, the text is drawn again over it.
    rt::line(16, 630, 400, 646, 0, rt::Mode::Fill, 0);
    rt::symbol(16, 630, line, 1, 1, 5);
    EXPECT_EQ(differing(screen_pixels(), once), 0);
    // Another colour, place or text is a new drawing.
    rt::symbol(16, 630, line, 1, 1, 13);
    EXPECT_GT(differing(screen_pixels(), once), 100);
}

TEST(LongSession, NextStepMenuWaitingTenThousandPollsKeepsTheCanvasListAndTheTrace) {
    reset_state();
    std::vector<rt::ScriptKey> keys = rt::parse_key_script("12{Enter}");
    const std::vector<rt::ScriptKey> wrong = rt::parse_key_script("0{Enter}{Space}");
    std::size_t next = 0, at_menu = 0;
    long idle = 0;
    std::vector<rt::TraceEntry> trace;
    rt::install(rt::make_headless({.time = "12:00:00", .keys = keys, .key_source = [&]() -> std::vector<rt::ScriptKey> {
        // Wrong answers until problem 2 is finished, then no key at all.
        if (g.problem_done[2] == 0) return {wrong[next++ % wrong.size()]};
        if (idle == 100) at_menu = rt::backend().canvas().op_count();
        if (++idle > 10000) return {rt::ScriptKey{{}, true}};
        return {};
    }}));
    rt::set_trace(&trace);
    run_program(program_of_bank(1));
    rt::set_trace(nullptr);
    EXPECT_EQ(g.problem_done[2], 1);
    EXPECT_GT(at_menu, 0u);
    EXPECT_EQ(rt::backend().canvas().op_count(), at_menu);

    // The drill still redraws its line at every poll: the trace shows each call.
    int menu_lines = 0;
    for (const auto& e : trace) menu_lines += e.op == "symbol" && e.text == "☆もう１度練習する…１    ☆次に進む…２";
    EXPECT_GT(menu_lines, 10000);
}

// Clearing and painting the background touch only the part of the screen that
// was drawn on; whatever the order of drawings, clears and resizes, the pixels
// are those of a fresh screen with the same last drawings.
TEST(LongSession, ClearsAndBackgroundFillsLeaveThePixelsOfAFreshScreen) {
    auto pixels = [](const rt::Canvas& c) {
        return std::vector<std::uint32_t>(c.pixels(), c.pixels() + static_cast<std::size_t>(c.width()) * c.height());
    };
    auto last_drawings = [](rt::Canvas& c) {
        c.fill(0, 54, 1440, 900, 0, 0);
        c.glyph(100, 100, U'あ', 16, 18, 16, 15);
        c.line(10, 890, 1430, 890, 13);
    };
    rt::Canvas fresh(1.5f);
    last_drawings(fresh);

    rt::Canvas used(1);
    used.fill(0, 0, 1439, 899, 15, 2);
    used.disc(1400, 880, 30, 5, 5);
    used.glyph(1420, 10, U'漢', 16, 18, 16, 13);
    used.set_scale(1.5f);   // a resized window draws it all afresh
    used.clear();
    last_drawings(used);
    EXPECT_EQ(differing(pixels(used), pixels(fresh)), 0);

    used.line(0, 0, 1439, 899, 11);
    used.circle(720, 450, 200, 9);
    used.fill(700, 400, 740, 500, 0, 0);   // a background fill over drawn pixels erases them
    used.clear();
    last_drawings(used);
    EXPECT_EQ(differing(pixels(used), pixels(fresh)), 0);
    EXPECT_GT(differing(pixels(used), std::vector<std::uint32_t>(pixels(used).size(), pixels(used)[0])), 100);
}
