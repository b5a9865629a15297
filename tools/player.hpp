// The headless player: runs a drill program on the headless backend from a
// key script with the clock fixed, and gives back what it drew and its globals.
#pragma once

#include <string>
#include <vector>

#include "engine/engine.hpp"
#include "runtime/trace.hpp"

struct PlayOptions {
    int bank = 1;             // 1: varnel1, 2: varnel2
    std::string time;         // "hh:mm:ss": the clock for every read; empty: the real clock
    std::string keys;         // key script (see runtime/headless.hpp)
    float scale = 1;
    std::string png, trace, state;   // files to write at the end; empty: none
    std::string record;              // the practice record's CSV file, appended to; empty: none
    std::string speech;              // a file for what was said (one announcement a line); empty: none
};

struct PlayResult {
    std::vector<rt::TraceEntry> trace;
    std::string state_json;
    std::vector<std::string> speech;   // every announcement; an empty one where a page turned
};

// The program of bank 1 or 2, as the apps run it.
Program program_of_bank(int bank);
// Runs `program` (or the bank's) until its end or the end of the script.
// The headless backend stays installed afterwards, so its canvas can be read.
PlayResult play(const PlayOptions& options);
PlayResult play(const Program& program, const PlayOptions& options);

// What the program waits for, read from what it drew since the last key:
// "menu", "start number", "answer", "space", "key pause", "next step" or
// "end of bank"; `was` where the drawing shows no new wait ("" at first).
std::string wait_shown(const std::vector<rt::TraceEntry>& trace, std::string was);
