// Keys as the backends hand them over: named keys, and characters typed as
// text, whichever way the pupil typed them (a keyboard of any layout, an input
// method in kana mode, the on-screen keypad).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/text.hpp"

namespace rt {

// One key as the backend saw it: a function key (fn 1..12) or a text key.
struct Key {
    int fn = 0;
    Text text;
    std::string name;     // as the trace shows it: "3", "Enter", "F1", "ー", ...
    char32_t typed = 0;   // the character typed, for a key typed as text
};

// The key a character typed as text stands for. Printable ASCII types itself;
// so do its full-width forms, and the minus signs, full stops, commas and
// slashes an input method commits ("ー", "−", "。", "、", "・", ...). Any other
// character has no text: it is dropped, unless a function key is known by it
// (rt::key).
Key typed_key(char32_t u);

// A key by its name: "Enter", "BS", "Del", "Space", "Ctrl+L", "F1".."F12", or
// one character typed as text (UTF-8). An unknown name is no key (fn 0, no
// text, nothing typed).
Key key_named(std::string_view name);

// A key of the on-screen keypad: its label (a screen reader's name for it too),
// the key it gives, by its name as key_named takes it, and the columns it spans.
struct PadKey {
    std::string label;
    std::string key;
    int span = 1;
};
using PadRows = std::vector<std::vector<PadKey>>;

}  // namespace rt
