// The web backend: the dot screen in the page's <canvas>, letterboxed at the
// device's pixel ratio, keys from the page's DOM events (see web/shell.html).
// Built only by the web preset (Emscripten).
#pragma once

#include <memory>

#include "runtime/backend.hpp"

namespace rt {

std::unique_ptr<Backend> make_web();

}  // namespace rt
