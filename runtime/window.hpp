// The window backend: one resizable SDL2 window, the dot screen scaled
// uniformly into it with letterboxing and drawn at the window's real pixel
// resolution; keys from SDL text input and key events.
//
// The teacher chooses how the window opens with the environment variable
// VARNEL_WINDOW: "maximised" (the default), "window" (a smaller window with
// its close button) or "fullscreen". Alt+Enter switches between fullscreen
// and a window at any moment; it never reaches the drill.
//
// For tests and benchmarks: VARNEL_WAIT_LOG names a file to which the window
// appends how many keys it has given the drill whenever the drill waits with
// all of them dealt with and shown; VARNEL_PRESENT_LOG one to which it
// appends the moment of each frame shown.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "runtime/backend.hpp"

namespace rt {

enum class WindowMode { maximised, window, fullscreen };

// The mode a VARNEL_WINDOW value names (an empty value names the default);
// nothing for a value that names none.
std::optional<WindowMode> window_mode_named(std::string_view value);

// No display to open a window on (SDL found only a driver that shows
// nothing, and SDL_VIDEODRIVER did not ask for it).
struct NoDisplay : std::runtime_error {
    NoDisplay() : std::runtime_error("no display found: this program needs a desktop session "
                                     "(or run it under xvfb-run)") {}
};

// Opens the window in the mode VARNEL_WINDOW names; an unknown value is
// reported on stderr and the window opens maximised.
std::unique_ptr<Backend> make_window(const std::string& title);

}  // namespace rt
