// The headless backend: the same canvas in memory, no display, keys from a
// script, the clock optionally fixed.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/backend.hpp"

namespace rt {

// A scripted key: a Key, the window's close button, or what an input method
// shows it is composing (then no key comes).
struct ScriptKey {
    Key key;
    bool close = false;
    std::optional<std::string> composing;
};

// Key script: every character stands for itself; named keys in braces:
// {Enter} {BS} {Del} {Space} {F1}..{F12} {Ctrl+L} {Close} {LBrace}.
// Text is UTF-8; each character is typed as text, as an input method commits
// it ("ー" is the minus key, runtime/keys.hpp). {Composing:TEXT} is an input
// method composing TEXT while the drill takes text (it is bypassed, and this
// does nothing, while the drill takes single keys); typed text ends the
// composition, as a commit does, and {Composing:} drops it.
std::vector<ScriptKey> parse_key_script(const std::string& script);

struct HeadlessOptions {
    float scale = 1;
    std::string time;               // "hh:mm:ss" fixes the clock; empty reads the real one
    std::vector<ScriptKey> keys;
    std::vector<ScriptKey> typed_ahead;   // already waiting when the program starts
    int idle_polls_to_end = 100;    // empty polls after the script that end the run
    // Keys made up as the run goes: once the script is used up, each poll that
    // finds the keyboard empty asks for the keys that reach it: none leaves the
    // keyboard empty, several were typed ahead, a close key ends the run. Every
    // call is a point where the program waits for a key.
    std::function<std::vector<ScriptKey>()> key_source;
    std::string record;             // the practice record's CSV file; empty: none is kept
    // Every announcement (rt::say), one a line, a page turned before it given as
    // an empty line; nullptr: none kept.
    std::vector<std::string>* speech = nullptr;
};

std::unique_ptr<Backend> make_headless(HeadlessOptions options);

}  // namespace rt
