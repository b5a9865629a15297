// varnel-bench-heavy [FILE...]
// The heaviest keys, timed and judged in this build (./dev bench runs it in the
// optimised one): the Enter that runs the start routine of every problem of
// both programs in practice, and the heaviest keys the soak met, from the files
// `./dev soak` writes (build-soak/heaviest-varnel1.txt, ...-varnel2.txt; see
// soak::Replay). Each key is replayed five times, each time in a fresh program
// that makes its glyphs afresh, and timed in the processor time of the
// program's thread from the wait that handed it to the next wait. A key whose
// median is over 100 ms fails the benchmark, as does a replay that does not
// come to its key.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/soak.hpp"

namespace {

constexpr double kBoundMs = 100;
constexpr int kRounds = 5;

#ifdef VARNEL_SLOW_SCREEN
// The benchmark's own check (varnel-bench-heavy-slow, ./dev bench-slow): the
// start routine of problem VARNEL_SLOW_SCREEN of varnel1 made slow on purpose, 150 ms of
// processor time before it draws its screen.
class SlowScreen final : public soak::Forwarding {
public:
    explicit SlowScreen(Bank& real) : Forwarding(real) {}
    Next start(int no) override {
        if (no == VARNEL_SLOW_SCREEN) {
            const double until = soak::detail::thread_cpu_ms() + 150;
            while (soak::detail::thread_cpu_ms() < until) std::this_thread::yield();
        }
        return real_.start(no);
    }
};
#endif

struct Entry {
    soak::Replay replay;
    int start_routine = 0;   // the problem whose start routine the key must run (0: any)
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<Entry> entries;
    for (int bank : {1, 2}) {
        const std::vector<soak::Replay> starts = soak::start_routines(bank);
        for (std::size_t i = 0; i < starts.size(); ++i) entries.push_back({starts[i], static_cast<int>(i + 1)});
    }
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i]);
        if (!in) {
            std::printf("(no %s: no soak to take keys from)\n", argv[i]);
            continue;
        }
        std::string line, what;
        while (std::getline(in, line)) {
            if (line.rfind("# ", 0) == 0) what = "soak: " + line.substr(2);
            else if (!line.empty()) {
                entries.push_back({soak::replay_of_line(line), 0});
                entries.back().replay.what = what;
            }
        }
    }

    std::printf("heaviest keys, %d replays each: processor time median / worst, wall-clock median (at most %.0f ms)\n",
                kRounds, kBoundMs);
    bool ok = true;
    double worst = 0;
    std::string worst_what;
    for (const Entry& e : entries) {
        Program program = program_of_bank(e.replay.bank);
#ifdef VARNEL_SLOW_SCREEN
        SlowScreen slow(*program.bank);
        if (e.replay.bank == 1) program.bank = &slow;
#endif
        std::vector<double> cpu, ms;
        bool reached = true;
        for (int round = 0; round < kRounds; ++round) {
            const soak::Cost c = soak::replay(e.replay, program);
            reached = reached && c.reached && (e.start_routine == 0 || c.started == e.start_routine);
            cpu.push_back(c.cpu_ms), ms.push_back(c.ms);
        }
        std::sort(cpu.begin(), cpu.end());
        std::sort(ms.begin(), ms.end());
        const double median = cpu[kRounds / 2];
        std::printf("  %s %7.2f / %7.2f ms %7.2f ms  %s\n", program.title, median, cpu.back(), ms[kRounds / 2],
                    e.replay.what.c_str());
        if (!reached) {
            std::printf("  FAILED: the replay did not come to its key: %s\n", e.replay.what.c_str());
            ok = false;
        }
        if (median > worst) worst = median, worst_what = std::string(program.title) + ", " + e.replay.what;
    }
    std::printf("  heaviest: %.2f ms, %s\n", worst, worst_what.c_str());
    if (worst > kBoundMs) {
        std::printf("  FAILED: a key took %.1f ms of processor time (at most %.0f ms): %s\n", worst, kBoundMs,
                    worst_what.c_str());
        ok = false;
    }
    std::printf("  %s\n", ok ? "passed" : "FAILED");
    return ok ? 0 : 1;
}
