// The trace: every drawing call of the screen runtime, every key handed to a
// poll and every change of what an input method is seen composing, in call
// order, with coordinates in dots as the drill passed them (relative end
// points resolved) and texts in UTF-8. Tests read it directly; the headless
// player writes it as JSON lines.
#pragma once

#include <string>
#include <vector>

namespace rt {

struct TraceEntry {
    std::string op;          // "cls", "line", "circle", "symbol", "print", "key", "compose"
    float x1 = 0, y1 = 0;    // line: start; circle, symbol, compose: the point; print: column, row
    float x2 = 0, y2 = 0;    // line: end
    float r = 0;             // circle: radius
    float sx = 0, sy = 0;    // symbol: scales
    int c = 0;               // colour
    int fill = -1;           // line "fill" and filled circle: fill colour; -1 none
    std::string mode;        // line: "line", "box" or "fill"
    std::string text;        // symbol, print, compose: the text; key: the key's name
};

// Starts (or, with nullptr, stops) recording into sink.
void set_trace(std::vector<TraceEntry>* sink);
std::string to_json(const TraceEntry& e);
// A UTF-8 text as a JSON string, quotes included; a number as JSON writes it.
std::string json_quoted(const std::string& utf8);
std::string json_number(float v);

}  // namespace rt
