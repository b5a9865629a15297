// The canvas as a PNG file, for the headless player and the tests (the web
// page has no files to write).
#pragma once

#include <string>

#include "runtime/canvas.hpp"

namespace rt {

std::string png_of(const Canvas& canvas);   // the PNG file's bytes
bool write_png(const Canvas& canvas, const std::string& path);

}  // namespace rt
