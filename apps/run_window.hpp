// What both programs' main does: open the window and run the drill in it; or,
// asked for the practice record, show it.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string_view>

#include "engine/engine.hpp"
#include "problems/script/script.hpp"
#include "runtime/record_file.hpp"
#include "runtime/screen.hpp"
#include "runtime/window.hpp"

// --record prints where the practice record is and a summary of it; --open-record
// opens a dated copy of it in the desktop's spreadsheet (the menu entry's
// action), so that saving it there never touches the record. Both first turn
// the problems that programs left under way, unasked, into their rows.
inline int show_record(const char* program, std::string_view how) {
    const std::string path = rt::default_record_path();
    if (how == "--record") {
        rt::settle_left_problems(path);
        std::fputs(rt::record_summary(path).c_str(), stdout);
        return 0;
    }
    const std::string copy = rt::record_copy(path, program);
    if (copy.empty()) return 1;
    ::execlp("xdg-open", "xdg-open", copy.c_str(), static_cast<char*>(nullptr));
    std::perror("xdg-open");
    return 1;
}

inline int run_window(int bank, int argc, char** argv) {
    Program program{};
    try {
        program = script::program(bank);
        if (argc == 2 && (std::string_view(argv[1]) == "--record" || std::string_view(argv[1]) == "--open-record"))
            return show_record(program.title, argv[1]);
        if (argc > 1) {
            std::fprintf(stderr, "usage: %s [--record | --open-record]\n", program.title);
            return 2;
        }
        rt::install(rt::make_window(program.title));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", program.title ? program.title : "varnel", e.what());
        return 1;
    }
    run_program(program);
    return 0;
}
