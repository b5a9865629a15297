// The screen runtime as the drill relies on it: keys one poll at a time,
// function-key strings, KNJ$ codes, the text cursor forms, relative lines, the
// trace and PNG output, and the clock and random numbers.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/backend.hpp"
#include "runtime/canvas.hpp"
#include "runtime/headless.hpp"
#include "runtime/numbers.hpp"
#include "runtime/png.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"

namespace {

std::vector<std::string> json(const std::vector<rt::TraceEntry>& trace) {
    std::vector<std::string> out;
    for (const auto& e : trace) out.push_back(rt::to_json(e));
    return out;
}

std::uint32_t pixel(int x, int y) {
    const rt::Rgb c = rt::backend().canvas().pixel(x, y);
    return static_cast<std::uint32_t>(c.r) << 16 | c.g << 8 | c.b;
}

}  // namespace

TEST(Keys, ScriptedKeysReachOnlyThePollAfterAnEmptyOneAndFunctionKeysTypeTheirStrings) {
    rt::install(rt::make_headless({.keys = rt::parse_key_script("a{F3}{F12}{Enter}{BS}{Del}{Ctrl+L}{Space}{LBrace}")}));
    rt::key(3, "!");
    rt::key(12, "~");
    std::vector<std::string> got;
    int empty_polls = 0;
    for (int i = 0; i < 40 && got.size() < 9; ++i) {
        Text k = rt::inkey();
        if (k.empty()) ++empty_polls;
        else got.push_back(k);
    }
    EXPECT_EQ(got, (std::vector<std::string>{"a", "!", "~", "\r", "\b", "\x7f", "\x0c", " ", "{"}));
    EXPECT_EQ(empty_polls, 9);   // every key waited for an empty poll before it
}

TEST(Keys, TheRunEndsAfterAHundredEmptyPollsOnceTheScriptIsUsedUpAndCloseEndsAtOnce) {
    rt::install(rt::make_headless({.keys = rt::parse_key_script("x")}));
    int polls = 0;
    try {
        for (;; ++polls) rt::inkey();
    } catch (const rt::ProgramEnd&) {
    }
    EXPECT_EQ(polls, 2 + 99);   // the empty poll that hands "x", "x", then a hundred empty polls

    rt::install(rt::make_headless({.keys = rt::parse_key_script("{Close}z")}));
    EXPECT_THROW(rt::inkey(), rt::ProgramEnd);
}

TEST(Keys, KeyScriptsRejectUnknownNames) {
    EXPECT_THROW(rt::parse_key_script("{Tab}"), std::invalid_argument);
    EXPECT_THROW(rt::parse_key_script("{F13}"), std::invalid_argument);
    EXPECT_THROW(rt::parse_key_script("{Enter"), std::invalid_argument);
}

// Every way of typing a minus sign, a decimal point or a comma is that key; a
// symbol a function key is known by is that function key; anything else the
// drill cannot take is dropped, never turned into another character.
TEST(Keys, TypedCharactersReachTheDrillAsTheKeysTheyStandFor) {
    const std::string typed = "ー－−‐–。．、，３Ａ　√≤あ€?";
    rt::install(rt::make_headless({.keys = rt::parse_key_script(typed)}));
    rt::key(3, "!", U'√');
    rt::key(5, "[", U'≦');
    std::vector<std::string> got;
    for (int i = 0; i < 60; ++i)
        if (Text k = rt::inkey(); !k.empty()) got.push_back(k);
    EXPECT_EQ(got, (std::vector<std::string>{"-", "-", "-", "-", "-", ".", ".", ",", ",", "3", "A", " ", "!", "[", "?"}));
}

TEST(Screen, KnjGivesTheMarksBlanksAndDigits) {
    EXPECT_EQ(rt::knj(0x215F), "×"_sj);
    EXPECT_EQ(rt::knj(0x217B), "○"_sj);
    EXPECT_EQ(rt::knj(0x120), " ");
    EXPECT_EQ(rt::knj(0x137), "7");
    EXPECT_THROW(rt::knj(0x7F7F), rt::Fault);
}

TEST(Screen, TraceShowsEveryCallWithRelativeEndsResolved) {
    rt::install(rt::make_headless({}));
    std::vector<rt::TraceEntry> trace;
    rt::set_trace(&trace);
    rt::cls();
    rt::line(10, 20, 5, 6, 3, rt::Mode::Fill, 4, true);
    rt::line(1, 2, 3, 4, 7);
    rt::circle(100, 50, 22, 5);
    rt::circle(100, 50, 4, 15, true);
    rt::symbol(64, 72, "次の"_sj, 1, 1, 15);
    rt::locate(27, 0);
    rt::print_using2(3);
    rt::set_trace(nullptr);
    EXPECT_EQ(json(trace), (std::vector<std::string>{
        R"({"op":"cls"})",
        R"({"op":"line","x1":10,"y1":20,"x2":15,"y2":26,"c":3,"mode":"fill","fill":4})",
        R"({"op":"line","x1":1,"y1":2,"x2":3,"y2":4,"c":7,"mode":"line","fill":null})",
        R"({"op":"circle","x":100,"y":50,"r":22,"c":5,"fill":null})",
        R"({"op":"circle","x":100,"y":50,"r":4,"c":15,"fill":15})",
        R"({"op":"symbol","x":64,"y":72,"text":"次の","sx":1,"sy":1,"c":15})",
        R"({"op":"print","col":27,"row":0,"text":" 3"})",
    }));
}

TEST(Screen, PrintWritesOverItsOwnCharactersAndNeverOverDrawings) {
    auto shot = [] {
        const rt::Canvas& c = rt::backend().canvas();
        return std::vector<std::uint32_t>(c.pixels(), c.pixels() + c.width() * c.height());
    };
    rt::install(rt::make_headless({}));
    rt::locate(27, 0);
    rt::print_using2(2);
    const auto fresh_two = shot();

    rt::install(rt::make_headless({}));
    rt::locate(27, 0);
    rt::print_using2(1);
    rt::locate(27, 0);
    rt::print_using2(2);   // the counter's old digit goes
    EXPECT_TRUE(shot() == fresh_two);

    rt::line(0, 320, 400, 400, 13, rt::Mode::Fill, 6);
    rt::symbol(100, 352, "円"_sj, 1, 1, 15);
    const auto drawn = shot();
    rt::locate(0, 22);
    rt::print(rt::space(40));   // blanks over drawings take nothing away
    EXPECT_TRUE(shot() == drawn);
}

TEST(Screen, FilledBoxesCoverTheirDotsAndGlyphsFillTheirCellsAtAnyScale) {
    for (float scale : {1.0f, 2.0f}) {
        rt::install(rt::make_headless({.scale = scale}));
        rt::line(100, 100, 109, 109, 13, rt::Mode::Fill, 6);
        auto at = [&](float x, float y) { return pixel(static_cast<int>(x * scale), static_cast<int>(y * scale)); };
        rt::Rgb fill = rt::palette(6), border = rt::palette(13);
        std::uint32_t fill_px = fill.r << 16 | fill.g << 8 | fill.b, border_px = border.r << 16 | border.g << 8 | border.b;
        EXPECT_EQ(at(105, 105), fill_px);
        EXPECT_EQ(at(100, 100), border_px);
        EXPECT_EQ(at(109.5f, 109.5f), border_px);
        EXPECT_EQ(at(111, 111), 0u);

        // "田" fills most of its 16 x 16 cell; nothing is drawn outside it.
        rt::symbol(200, 200, "田"_sj, 1, 1, 15);
        int inked = 0, outside = 0;
        for (int y = 190; y < 226; ++y)
            for (int x = 190; x < 226; ++x) {
                bool in_cell = x >= 200 && x < 216 && y >= 200 && y < 216;
                bool ink = at(x + 0.25f / scale, y + 0.25f / scale) != 0;
                if (ink && in_cell) ++inked;
                if (ink && !in_cell) ++outside;
            }
        EXPECT_GT(inked, 20);
        EXPECT_EQ(outside, 0);
    }
}

TEST(Screen, AHeldDrawingListsItsGlyphsAndOnceDrawnIsTheDrawingDrawnAtOnce) {
    rt::Canvas now(1.5f), held(1.5f);
    held.hold(true);
    std::vector<rt::GlyphKey> wanted;
    const auto draw = [&](rt::Canvas& c) {
        c.glyph(100, 100, U'田', 16, 16, 16, 15);
        c.fill(90, 90, 140, 130, 0, 0);   // hides the glyph: dropped from the list
        c.glyph(100, 140, U'正', 16, 16, 16, 14);
        c.disc(300, 300, 10, 12, 12);
        c.disc(300, 300, 12, 9, 9);        // hides the smaller disc
        c.line(0, 0, 400, 200, 13);
    };
    for (float scale : {1.5f, 2.0f}) {
        now.set_scale(scale);
        held.set_scale(scale);
        draw(now);
        draw(held);
        EXPECT_EQ(held.pixel(static_cast<int>(305 * scale), static_cast<int>(300 * scale)).r, 0) << "drawn while held";
        wanted.clear();
        held.held_glyphs([&](const rt::GlyphKey& key) { wanted.push_back(key); });
        ASSERT_EQ(wanted.size(), scale == 1.5f ? 1u : 2u);   // a new scale holds what was drawn before it, too
        EXPECT_EQ(std::get<0>(wanted.back()), U'正');
        held.draw_held();
        for (int y = 0; y < now.height(); ++y)
            ASSERT_TRUE(std::equal(now.rows(y, y + 1) + y * now.width(), now.rows(y, y + 1) + (y + 1) * now.width(),
                                   held.rows(y, y + 1) + y * held.width())) << "row " << y << " at " << scale;
        held.held_glyphs([&](const rt::GlyphKey&) { ADD_FAILURE() << "a glyph still held"; });
    }
}

TEST(Screen, TallGlyphsAreFittedIntoTheirCellNotClipped) {
    rt::install(rt::make_headless({}));
    for (const Text& tall : {"_"_sj, "＿"_sj, "y"_sj, "｜"_sj}) {
        rt::cls();
        rt::symbol(300, 300, tall, 1, 1, 15);
        int below = 0, inside = 0;
        for (int x = 296; x < 320; ++x) {
            for (int y = 300; y < 316; ++y) inside += pixel(x, y) != 0;
            for (int y = 316; y < 320; ++y) below += pixel(x, y) != 0;
        }
        EXPECT_GT(inside, 0) << sjis::to_utf8(tall);
        EXPECT_EQ(below, 0) << sjis::to_utf8(tall);
    }
}

TEST(Screen, RowsAreMadeBlankWhenFirstNeededAndKeepWhatWasDrawnOnThem) {
    rt::LazyImage image;
    image.reset(4, 10, 7);
    image.make(5, 7)[5 * 4] = 1;   // drawn on row 5
    image.make(2, 3);              // rows 2 to 7 made, row 5 kept
    const std::uint32_t* p = image.make(9, 20);   // clipped: rows 2 to 10 made
    for (int y = 2; y < 10; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(p[y * 4 + x], y == 5 && x == 0 ? 1u : 7u) << x << "," << y;
}

TEST(Screen, PngIsWrittenAtTheCanvasSize) {
    rt::install(rt::make_headless({.scale = 0.5f}));
    rt::symbol(0, 0, "A"_sj, 1, 1, 15);
    std::string path = testing::TempDir() + "/runtime_test.png";
    ASSERT_TRUE(rt::write_png(rt::backend().canvas(), path));
    std::ifstream f(path, std::ios::binary);
    unsigned char head[24];
    f.read(reinterpret_cast<char*>(head), 24);
    ASSERT_TRUE(f);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head) + 1, 3), "PNG");
    EXPECT_EQ(head[16] << 24 | head[17] << 16 | head[18] << 8 | head[19], 720);
    EXPECT_EQ(head[20] << 24 | head[21] << 16 | head[22] << 8 | head[23], 450);
}

TEST(Clock, FixedTimeIsReadAndRandomNumbersRepeatForOneSeed) {
    rt::install(rt::make_headless({.time = "09:08:07"}));
    EXPECT_EQ(rt::time_text(), "09:08:07");
    rt::randomize(24);
    std::vector<float> first;
    for (int i = 0; i < 1000; ++i) {
        float r = rt::rnd();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        first.push_back(r);
    }
    rt::randomize(24);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(rt::rnd(), first[i]);
    rt::randomize(25);
    EXPECT_NE(rt::rnd(), first[0]);
}
