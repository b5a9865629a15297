// The window backend: one resizable SDL2 window opened maximised, the dot
// screen scaled uniformly into it with letterboxing and drawn at the window's
// real pixel resolution; keys from SDL text input and key events.
#pragma once

#include <memory>
#include <string>

#include "runtime/backend.hpp"

namespace rt {

std::unique_ptr<Backend> make_window(const std::string& title);

}  // namespace rt
