// Random-key soak of both programs: a seeded random pupil presses every key a
// pupil can press, many thousands of times, from the main menu through
// practice, browsing and every problem, and the drill's invariants hold at
// every wait. The figures (key times, resident memory) are printed; their goals
// are checked by the long form, bench/soak.cpp.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tools/soak.hpp"

namespace {

// VARNEL_SOAK_KEYS overrides the length of the short form.
long soak_keys() {
    const char* v = std::getenv("VARNEL_SOAK_KEYS");
    return v ? std::atol(v) : 100000;
}

void print(const char* title, const soak::Figures& f) {
    std::printf("%s: %ld keys (%ld polls) in %ld runs, %.1f s; key time median %.0f us, worst %.2f ms at %s "
                "(%.2f ms of processor time at worst); "
                "resident %ld kB at the start, %ld kB at the end; canvas list at most %zu; marks %ld right, %ld wrong\n",
                title, f.keys, f.polls, f.runs, f.seconds, f.median_key_us, f.worst_key_ms, f.worst_key_at.c_str(),
                f.worst_key_cpu_ms,
                f.rss_kb.front().second, f.rss_kb.back().second, f.most_canvas_ops, f.right_marks, f.wrong_marks);
}

void expect_sound(int bank, std::uint64_t seed) {
    const Program program = program_of_bank(bank);
    const soak::Figures f = soak::run({.bank = bank, .seed = seed, .keys = soak_keys()});
    print(program.title, f);
    for (const std::string& fault : f.faults) ADD_FAILURE() << fault;
    EXPECT_GE(f.keys, soak_keys());

    // The stream really went everywhere: every problem practised and browsed,
    // answers marked both ways, runs ended by the menu and by the close button.
    for (int no = 1; no <= program.problem_count; ++no) {
        EXPECT_GT(f.practised[no], 0) << "problem " << no << " never practised";
        EXPECT_GT(f.browsed[no], 0) << "problem " << no << " never browsed";
    }
    EXPECT_GT(f.right_marks, 0);
    EXPECT_GT(f.wrong_marks, 0);
    EXPECT_GT(f.runs, f.closes + 1);
    EXPECT_GT(f.closes, 0);
}

TEST(Soak, Varnel1UnderRandomKeysKeepsItsInvariants) { expect_sound(1, 20240601); }

TEST(Soak, Varnel2UnderRandomKeysKeepsItsInvariants) { expect_sound(2, 20240602); }

}  // namespace
