// What both programs' main does: open the window and run the drill in it.
#pragma once

#include <cstdio>
#include <exception>

#include "engine/engine.hpp"
#include "problems/script/script.hpp"
#include "runtime/screen.hpp"
#include "runtime/window.hpp"

inline int run_window(int bank) {
    Program program{};
    try {
        program = script::program(bank);
        rt::install(rt::make_window(program.title));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", program.title ? program.title : "varnel", e.what());
        return 1;
    }
    run_program(program);
    return 0;
}
