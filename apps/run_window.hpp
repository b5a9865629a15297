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
// opens it with the desktop's spreadsheet (the menu entry's action).
inline int show_record(const char* program, std::string_view how) {
    if (how == "--record") {
        std::fputs(rt::record_summary(rt::default_record_path()).c_str(), stdout);
        return 0;
    }
    const std::string path = rt::RecordFile(rt::default_record_path(), program).ready();
    if (path.empty()) return 1;
    ::execlp("xdg-open", "xdg-open", path.c_str(), static_cast<char*>(nullptr));
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
