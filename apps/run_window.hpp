// What both programs' main does: open the window and run the drill in it; or,
// asked for the practice record, show it; or print worksheets.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.hpp"
#include "problems/script/script.hpp"
#include "runtime/paper.hpp"
#include "runtime/record_file.hpp"
#include "runtime/records.hpp"
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
    std::printf("練習の記録の写し: %s\n", copy.c_str());   // (where it is, whatever opens it)
    std::fflush(stdout);
    ::execlp("xdg-open", "xdg-open", copy.c_str(), static_cast<char*>(nullptr));
    std::perror("xdg-open");
    return 1;
}

// A list of problems as a teacher writes it: "1-11", "2,5,7-9".
inline std::vector<int> problem_list(const std::string& list, int count) {
    std::vector<int> problems;
    std::size_t at = 0;
    while (at <= list.size()) {
        const std::size_t end = std::min(list.find(',', at), list.size());
        const std::string item = list.substr(at, end - at);
        const std::size_t dash = item.find('-');
        const auto number = [&](const std::string& s) {
            if (s.empty() || s.size() > 3 || s.find_first_not_of("0123456789") != std::string::npos)
                throw std::invalid_argument("--problems takes numbers and ranges such as 1-3,5, not \"" + list + "\"");
            const int n = std::stoi(s);
            if (n < 1 || n > count)
                throw std::invalid_argument("there is no problem " + s + ": the problems are 1 to " + std::to_string(count));
            return n;
        };
        const int from = number(item.substr(0, dash)), to = dash == std::string::npos ? from : number(item.substr(dash + 1));
        if (to < from) throw std::invalid_argument("--problems: " + item + " runs backwards");
        for (int n = from; n <= to; ++n) problems.push_back(n);
        at = end + 1;
    }
    return problems;
}

// --worksheet [--problems LIST] [--versions N] [--time HH:MM:SS] -o FILE.pdf:
// the problems on paper, a version for each pupil, with the answer key. Bad
// options are refused with a word, and no file is written.
inline int make_worksheet(const Program& program, int argc, char** argv) {
    const std::string usage = std::string("usage: ") + program.title +
                              " --worksheet [--problems 1-" + std::to_string(program.problem_count) +
                              "] [--versions N] [--time HH:MM:SS] -o FILE.pdf\n";
    WorksheetOptions options;
    std::string out, problems = "1-" + std::to_string(program.problem_count);
    options.date = rt::local_stamp("%Y-%m-%d");
    options.time = rt::local_stamp("%H:%M:%S");
    try {
        for (int i = 2; i < argc; ++i) {
            const std::string arg = argv[i];
            const auto value = [&]() -> std::string {
                if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
                return argv[++i];
            };
            if (arg == "--problems") problems = value();
            else if (arg == "--versions") {
                const std::string v = value();
                if (v.empty() || v.size() > 2 || v.find_first_not_of("0123456789") != std::string::npos ||
                    std::stoi(v) < 1 || std::stoi(v) > 60)
                    throw std::invalid_argument("--versions takes a number from 1 to 60, not \"" + v + "\"");
                options.versions = std::stoi(v);
            } else if (arg == "--time") {
                options.time = value();
                const std::string& t = options.time;
                const bool clock = t.size() == 8 && t[2] == ':' && t[5] == ':' &&
                                   std::all_of(t.begin(), t.end(), [](char c) { return c == ':' || std::isdigit(static_cast<unsigned char>(c)); }) &&
                                   std::stoi(t.substr(0, 2)) < 24 && std::stoi(t.substr(3, 2)) < 60 && std::stoi(t.substr(6, 2)) < 60;
                if (!clock) throw std::invalid_argument("--time takes a time of day HH:MM:SS, not \"" + t + "\"");
            } else if (arg == "-o") out = value();
            else throw std::invalid_argument("unknown option " + arg);
        }
        if (out.empty()) throw std::invalid_argument("-o FILE.pdf names the file to write");
        options.problems = problem_list(problems, program.problem_count);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n%s", program.title, e.what(), usage.c_str());
        return 2;
    }
    const rt::paper::Document document = worksheets(program, options).document;
    // Written aside, then moved into place: a file that is there is whole.
    const std::string aside = out + ".part";
    const std::string problem = rt::paper::write_pdf(document, aside);
    if (!problem.empty() || std::rename(aside.c_str(), out.c_str()) != 0) {
        std::remove(aside.c_str());
        std::fprintf(stderr, "%s: cannot write %s (%s)\n", program.title, out.c_str(),
                     problem.empty() ? std::strerror(errno) : problem.c_str());
        return 1;
    }
    return 0;
}

inline int run_window(int bank, int argc, char** argv) {
    Program program{};
    try {
        program = script::program(bank);
        if (argc == 2 && (std::string_view(argv[1]) == "--record" || std::string_view(argv[1]) == "--open-record"))
            return show_record(program.title, argv[1]);
        if (argc > 1 && std::string_view(argv[1]) == "--worksheet") return make_worksheet(program, argc, argv);
        if (argc > 1) {
            std::fprintf(stderr, "usage: %s [--record | --open-record | --worksheet ...]\n", program.title);
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
