// The window's keys as SDL hands them over (its dummy video driver: no display):
// single keys past the input method while the drill waits for a key; what the
// input method composes and commits while it takes text; the on-screen keypad
// pressed in the middle of a composition.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "runtime/screen.hpp"
#include "runtime/trace.hpp"
#include "runtime/window.hpp"

// Where the window last asked the input method to put its candidates: the
// window's calls of SDL_SetTextInputRect come here instead of to SDL.
std::vector<SDL_Rect> input_rects;
extern "C" void SDL_SetTextInputRect(const SDL_Rect* rect) { input_rects.push_back(*rect); }

namespace {

class WindowInput : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("VARNEL_WINDOW", "window", 1);
        setenv("VARNEL_KEYPAD", "1", 1);
        rt::install(rt::make_window("varnel-test"));
        rt::set_trace(&trace);
    }
    void TearDown() override {
        rt::set_trace(nullptr);
        unsetenv("VARNEL_KEYPAD");
    }

    static void push(SDL_Event e) { SDL_PushEvent(&e); }
    static void key_down(SDL_Keycode sym) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = sym;
        push(e);
    }
    static void text(const char* utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
        push(e);
    }
    static void editing(const char* utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTEDITING;
        SDL_strlcpy(e.edit.text, utf8, sizeof e.edit.text);
        push(e);
    }
    // A click at dot (x, y) of the screen, in the window's letterboxed pixels.
    static void click(float x, float y) {
        SDL_Window* window = nullptr;
        for (Uint32 id = 1; !window && id < 100; ++id) window = SDL_GetWindowFromID(id);   // the one open
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        const float s = std::min(w / 1440.0f, h / 900.0f);
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.x = static_cast<int>((w - std::lround(1440 * s)) / 2 + x * s);
        e.button.y = static_cast<int>((h - std::lround(900 * s)) / 2 + y * s);
        push(e);
    }
    // The keys the drill reads until a poll finds none.
    static std::vector<Text> keys() {
        std::vector<Text> out;
        for (Text k = rt::inkey(); !k.empty(); k = rt::inkey()) out.push_back(k);
        return out;
    }
    std::vector<std::string> composed() const {
        std::vector<std::string> out;
        for (const auto& e : trace)
            if (e.op == "compose") out.push_back(e.text);
        return out;
    }

    std::vector<rt::TraceEntry> trace;
};

TEST_F(WindowInput, KeysPassTheInputMethodByUntilTheDrillTakesText) {
    // Waiting for a key: SDL's text input is off, so no input method composes,
    // and a key's own character comes at once.
    EXPECT_FALSE(SDL_IsTextInputActive());
    key_down(SDLK_1);
    key_down(SDLK_KP_2);
    key_down(SDLK_RETURN);
    EXPECT_EQ(keys(), (std::vector<Text>{"1", "2", "\r"}));

    // Taking text: what is composed shows, what is committed comes as its keys.
    rt::text_input(true);
    rt::input_at(496, 576);
    EXPECT_TRUE(SDL_IsTextInputActive());
    key_down(SDLK_3);   // the key under a composition types nothing itself
    editing("３");
    EXPECT_EQ(keys(), std::vector<Text>{});
    text("−３");
    editing("");
    editing("・");
    editing("");   // dropped
    EXPECT_EQ(keys(), (std::vector<Text>{"-", "3"}));
    EXPECT_EQ(composed(), (std::vector<std::string>{"３", ""}));

    rt::text_input(false);
    EXPECT_FALSE(SDL_IsTextInputActive());
}

// The input method's candidates go under the cursor wherever it moves: along
// the line, and up or down alone (a fraction's numerator, then its denominator).
TEST_F(WindowInput, TheCandidatesFollowTheCursorUpAndDownToo) {
    rt::text_input(true);
    rt::input_at(496, 576);
    const struct {
        float x, y;
    } moves[] = {{512, 576}, {512, 564}, {512, 591}, {496, 591}};
    float x = 496, y = 576;
    for (const auto& to : moves) {
        const SDL_Rect was = input_rects.back();
        rt::input_at(to.x, to.y);
        const SDL_Rect now = input_rects.back();
        EXPECT_EQ(now.x > was.x, to.x > x) << to.x << "," << to.y;
        EXPECT_EQ(now.x < was.x, to.x < x) << to.x << "," << to.y;
        EXPECT_EQ(now.y > was.y, to.y > y) << to.x << "," << to.y;
        EXPECT_EQ(now.y < was.y, to.y < y) << to.x << "," << to.y;
        x = to.x;
        y = to.y;
    }
    rt::text_input(false);
}

TEST_F(WindowInput, TheKeypadTakesACompositionBeforeItsOwnKey) {
    rt::keypad({{{"決定", "Enter"}}});   // one key, the whole band
    rt::text_input(true);
    rt::input_at(496, 576);
    editing("３");
    EXPECT_EQ(keys(), std::vector<Text>{});
    click(720, 800);
    EXPECT_EQ(keys(), (std::vector<Text>{"3", "\r"}));
    // The input method, let go of the composition, commits it: not typed twice.
    text("３");
    editing("");
    EXPECT_EQ(keys(), std::vector<Text>{});
    // The next composition and its commit are the pupil's own.
    editing("３");
    text("３");
    EXPECT_EQ(keys(), std::vector<Text>{"3"});
}

}  // namespace
