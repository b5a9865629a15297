// varnel-soak [--bank 1|2] [--keys N] [--seed S] [--report-ms MS] [--heaviest FILE] [--memory FILE]
// The long form of the random-key soak (./dev soak runs it under AddressSanitizer
// and UndefinedBehaviorSanitizer): the seeded random pupil of the unit tests
// presses N keys (ten million by default) in one program, and every invariant
// is checked at every wait. It fails on faults only: an invariant broken (the
// error screen among them), a sanitizer's finding (which ends the process), a
// hang (a key that has the program's thread busy for 5 s of processor time
// without a wait, which also ends it), and memory that keeps growing.
//
// Memory is judged twice, each time by its slope after a warm-up the run
// measures (soak::judge_growth): the bytes the program holds in live heap
// blocks, taken at the main menu at the start of every run (the same screen
// each time), and the resident memory, taken every 1/400 of the run once the
// allocator has emptied AddressSanitizer's quarantine of freed blocks and
// given back its free pages. Caches fill during the warm-up and stop; a leak
// goes on.
//
// Key times are reported, not judged: the sanitizers slow every key several
// times over, and unevenly. --heaviest FILE keeps the heaviest keys with the
// keys that reach them, for ./dev bench to time in the optimised build
// (bench/heavy_keys.cpp). --memory FILE writes every memory sample as CSV.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tools/soak.hpp"

namespace {

void say(const char* what, const soak::Growth& growth, double bound) {
    if (!growth.grows)
        std::printf("  %s: warm-up until %ld keys, then %+.0f kB per million keys (at most %.0f)\n", what,
                    growth.warm_up_keys, growth.slope, bound);
    else
        std::printf("  MEMORY GROWS: %s still rose %+.0f kB per million keys from %ld keys to the end (at most %.0f)\n",
                    what, growth.slope, growth.warm_up_keys, bound);
}

}  // namespace

int main(int argc, char** argv) {
    soak::Options options;
    options.keys = 10000000;
    std::string heaviest_file, memory_file;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--bank") options.bank = std::atoi(argv[i + 1]);
        else if (arg == "--keys") options.keys = std::atol(argv[i + 1]);
        else if (arg == "--seed") options.seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (arg == "--report-ms") options.report_ms = std::atof(argv[i + 1]);
        else if (arg == "--heaviest") heaviest_file = argv[i + 1], options.heaviest = 8;
        else if (arg == "--memory") memory_file = argv[i + 1];
        else {
            std::fprintf(stderr, "usage: varnel-soak [--bank 1|2] [--keys N] [--seed S] [--report-ms MS] "
                                 "[--heaviest FILE] [--memory FILE]\n");
            return 2;
        }
    }
    // A shorter run has too few runs (some 40 in 100,000 keys) to judge the
    // memory held at their start by. The test suite's short soaks check the
    // invariants.
    if (options.keys < 100000) {
        std::fprintf(stderr, "varnel-soak: --keys takes at least 100000\n");
        return 2;
    }
    options.rss_every = std::max(1L, options.keys / 400);
    const Program program = program_of_bank(options.bank);
    const soak::Figures f = soak::run(options);

    std::printf("%s, seed %llu: %ld keys (%ld polls) in %ld runs (%ld ended by the close button), %ld screens, %.0f s\n",
                program.title, static_cast<unsigned long long>(options.seed), f.keys, f.polls, f.runs, f.closes,
                f.screens, f.seconds);
    std::printf("  key time (reported, not judged): median %.0f us, %.0f us of processor time\n", f.median_key_us,
                f.median_key_cpu_us);
    std::printf("  worst in processor time: %.1f ms, %s\n", f.worst_key_cpu_ms, f.worst_key_cpu_at.c_str());
    std::printf("  worst in wall-clock time: %.1f ms, %s; %ld keys over 100 ms\n", f.worst_key_ms,
                f.worst_key_at.c_str(), f.keys_over_100ms);
    std::printf("  marks: %ld right, %ld wrong; longest canvas list %zu\n", f.right_marks, f.wrong_marks,
                f.most_canvas_ops);
    std::printf("  problems started (practice / browsing):");
    for (int no = 1; no <= program.problem_count; ++no) std::printf(" %ld/%ld", f.practised[no], f.browsed[no]);
    std::printf("\n  resident memory (keys: kB):");
    for (std::size_t i = 0; i < f.rss_kb.size(); i += std::max<std::size_t>(1, f.rss_kb.size() / 20))
        std::printf(" %ld:%ld", f.rss_kb[i].first, f.rss_kb[i].second);
    std::printf(" %ld:%ld\n", f.rss_kb.back().first, f.rss_kb.back().second);
    std::printf("  held at the main menu (keys: kB):");
    for (std::size_t i = 0; i < f.held_bytes.size(); i += std::max<std::size_t>(1, f.held_bytes.size() / 20))
        std::printf(" %ld:%ld", f.held_bytes[i].first, f.held_bytes[i].second / 1024);
    std::printf(" %ld:%ld\n", f.held_bytes.back().first, f.held_bytes.back().second / 1024);

    const soak::Verdict verdict = soak::verdict(f);
    say("memory held", verdict.held, soak::kHeldKbPerMillionKeys);
    say("resident memory", verdict.resident, soak::kResidentKbPerMillionKeys);
    for (const std::string& fault : f.faults) std::printf("  FAULT: %s\n", fault.c_str());
    std::printf("  %s\n", verdict.passed ? "passed" : "FAILED");

    if (!heaviest_file.empty()) {
        std::ofstream out(heaviest_file);
        out << "# The heaviest keys of a soak of " << program.title << ", each with the keys of its run that reach it\n";
        for (const soak::Heavy& h : f.heaviest) out << "# " << h.what << "\n" << h.line << "\n";
        if (!out) std::fprintf(stderr, "cannot write %s\n", heaviest_file.c_str());
    }
    if (!memory_file.empty()) {
        std::ofstream out(memory_file);
        out << "keys,resident_kb,held_kb\n";
        for (const auto& [keys, kb] : f.rss_kb) out << keys << "," << kb << ",\n";
        for (const auto& [keys, kb] : soak::held_kb(f)) out << keys << ",," << kb << "\n";
    }
    return verdict.passed ? 0 : 1;
}
