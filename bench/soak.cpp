// varnel-soak [--bank 1|2] [--keys N] [--seed S] [--report-ms MS]
// The long form of the random-key soak (./dev soak runs it under AddressSanitizer
// and UndefinedBehaviorSanitizer): the seeded random pupil of the unit tests
// presses N keys (ten million by default) in one program, and every invariant
// is checked at every wait. Besides the invariants it checks the goals that
// only a long run can show: no key takes longer than 100 ms to handle (in the
// processor time of the program's thread; the wall-clock figures, which also
// hold the time other programs had the processor, are reported beside it), and
// the resident memory is flat after the first quarter of the run: no new peak.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/soak.hpp"

int main(int argc, char** argv) {
    soak::Options options;
    options.keys = 10000000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--bank") options.bank = std::atoi(argv[i + 1]);
        else if (arg == "--keys") options.keys = std::atol(argv[i + 1]);
        else if (arg == "--seed") options.seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (arg == "--report-ms") options.report_ms = std::atof(argv[i + 1]);
        else {
            std::fprintf(stderr, "usage: varnel-soak [--bank 1|2] [--keys N] [--seed S] [--report-ms MS]\n");
            return 2;
        }
    }
    options.rss_every = std::max(1L, options.keys / 40);
    const Program program = program_of_bank(options.bank);
    const soak::Figures f = soak::run(options);

    std::printf("%s, seed %llu: %ld keys (%ld polls) in %ld runs (%ld ended by the close button), %.0f s\n",
                program.title, static_cast<unsigned long long>(options.seed), f.keys, f.polls, f.runs, f.closes,
                f.seconds);
    std::printf("  key time: median %.0f us, worst %.1f ms at %s; %ld keys over 100 ms\n", f.median_key_us,
                f.worst_key_ms, f.worst_key_at.c_str(), f.keys_over_100ms);
    std::printf("  key time in processor time: worst %.1f ms\n", f.worst_key_cpu_ms);
    std::printf("  marks: %ld right, %ld wrong; longest canvas list %zu\n", f.right_marks, f.wrong_marks,
                f.most_canvas_ops);
    std::printf("  problems started (practice / browsing):");
    for (int no = 1; no <= program.problem_count; ++no) std::printf(" %ld/%ld", f.practised[no], f.browsed[no]);
    std::printf("\n  resident memory (keys: kB):");
    for (const auto& [keys, kb] : f.rss_kb) std::printf(" %ld:%ld", keys, kb);
    std::printf("\n");

    // Memory is flat when the high-water mark of the first quarter of the run
    // holds to its end. (Single samples swing by a whole screen buffer as each
    // run frees its screen and the next allocates one.)
    long early = 0, late = 0;
    for (const auto& [keys, kb] : f.rss_kb) {
        long& peak = keys <= f.keys / 4 ? early : late;
        peak = std::max(peak, kb);
    }
    const double growth = early > 0 ? 100.0 * static_cast<double>(late - early) / static_cast<double>(early) : 0;
    std::printf("  resident memory at most: %ld kB in the first quarter of the run, %ld kB after (%+.1f %%)\n", early,
                late, growth);

    bool ok = true;
    for (const std::string& fault : f.faults) {
        std::printf("  FAULT: %s\n", fault.c_str());
        ok = false;
    }
    // The processor time a key costs is the program's; the wall-clock time also
    // holds whatever else the machine ran meanwhile, so it is reported, not judged.
    if (f.worst_key_cpu_ms > 100) {
        std::printf("  GOAL MISSED: a key took %.1f ms of processor time (at most 100 ms)\n", f.worst_key_cpu_ms);
        ok = false;
    }
    if (growth > 5) {
        std::printf("  GOAL MISSED: the resident memory rose %.1f %% above its peak of the first quarter (at most 5 %%)\n", growth);
        ok = false;
    }
    std::printf("  %s\n", ok ? "passed" : "FAILED");
    return ok ? 0 : 1;
}
