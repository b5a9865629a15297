// The screen runtime: everything the drill does to the screen, the keyboard,
// the clock and the random generator goes through these calls.
//
// The screen is 1440 x 900 dots, origin top-left, colours 0..15 of one palette
// (0 the background). Text cells are 8 x 16 dots (half-width) and 16 x 16
// (full-width). Nothing here knows what a problem or a menu is.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "runtime/keys.hpp"
#include "runtime/text.hpp"

namespace rt {

inline constexpr int kScreenW = 1440;
inline constexpr int kScreenH = 900;
// Nothing the drill draws reaches below this line: the band under it, the
// whole width of the screen, is where the on-screen keypad goes.
inline constexpr int kKeypadTop = 680;

// Every runtime fault (an index outside its bounds, a division by zero, ...)
// is this one exception; the drill's error trap catches it.
struct Fault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Thrown by END and by closing the window: the program ends with status 0.
struct ProgramEnd {};

class Backend;

// Installs the backend every call below draws on and polls; the runtime owns it.
void install(std::unique_ptr<Backend> backend);
Backend& backend();

// ---- screen -------------------------------------------------------------
void set_map_mode(int a, int b);
void maximize_window(int how);
void cls();
void locate(int column, int row);
void cursor_switch(int on);
void print(const Text& s);
void print_using2(float n);   // PRINT USING "##": right-aligned in two cells

enum class Mode { Line, Box, Fill };
// LINE (x1, y1)-(x2, y2): relative makes (x2, y2) an offset; a filled box is
// bordered in colour and filled with fill (-1: the border colour).
void line(float x1, float y1, float x2, float y2, int colour, Mode mode = Mode::Line, int fill = -1,
          bool relative = false);
// CIRCLE: a whole circle; filled draws a disc bordered in colour, filled with fill.
void circle(float x, float y, float r, int colour, bool filled = false, int fill = -1);
// SYMBOL: text with its top-left at (x, y); scale 0 draws as 1, 2 doubles.
void symbol(float x, float y, const Text& text, float sx, float sy, int colour);
// KNJ$: the character of a JIS X 0208 code; 0x120 a blank, 0x130 + d the digit d.
Text knj(int code);

// ---- keyboard -----------------------------------------------------------
// INKEY$: returns at once, "" when no key waits. Enter "\r", Backspace "\b",
// Delete "\x7f", the restart key "\x0c", function keys their assigned strings.
Text inkey();
// KEY n: function key Fn types s. A function key may also be known by the
// character it makes (√ for a root): that character typed as text is Fn too.
void key(int n, const Text& s, char32_t known_by = 0);
// The on-screen keypad, row by row, for a pupil without a keyboard (a tablet,
// an interactive board): a backend shows it where it can, below everything the
// drill draws, and its keys reach the drill as the keyboard's do.
void keypad(const PadRows& rows);
// Where an input method's candidate box belongs: the typing cursor's cell.
void input_at(float x, float y);
// On while the drill takes typed text (an answer): an input method composes,
// and what it composes is shown at the input point, over the drawing, until it
// is committed (the keys it stands for then come as typed) or dropped. Off
// (from the start) while the drill waits for single keys: they come at once,
// past any input method.
void text_input(bool on);
// Lets the window run once without reading a key (the error screen's idle).
void idle();

// ---- speech ---------------------------------------------------------------
// What the drill writes, as a reader says it (UTF-8), for assistive technology:
// gathered until the program next waits for a key, then handed to the backend
// as one announcement. A cleared screen, or turn_page(), starts a new page:
// what was said before is no longer what the screen shows.
void say(const std::string& spoken);
void turn_page();

// ---- clock, random numbers, end -------------------------------------------
Text time_text();                 // TIME$: "hh:mm:ss"
float rnd();                      // RND(1): [0, 1)
void randomize(float seed);       // RANDOMIZE
[[noreturn]] void end();          // END

}  // namespace rt
