// Random-key soak of both programs: a seeded random pupil presses every key a
// pupil can press, many thousands of times, from the main menu through
// practice, browsing and every problem, and the drill's invariants hold at
// every wait. The figures (key times, resident memory) are printed; the memory
// is judged by the long form, bench/soak.cpp, with the judge tested here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

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

namespace {

// Memory samples over a million keys, one every 2,500, each with a swing of
// up to 5 MB (a screen freed, the next allocated; or as given), on top of `level`.
std::vector<std::pair<long, long>> samples(const std::function<double(double)>& level, unsigned swing_kb = 5000) {
    std::mt19937 random(5);
    std::vector<std::pair<long, long>> s;
    for (long keys = 0; keys <= 1000000; keys += 2500)
        s.push_back({keys, static_cast<long>(300000 + level(keys / 1e6) + random() % swing_kb)});
    return s;
}

}  // namespace

// A leak grows; caches and a sanitizer's quarantine that fill and stop do not,
// wherever they stop before the last quarter of the run.
TEST(SoakMemory, OnlyMemoryThatKeepsRisingGrows) {
    const double bound = 256;   // kB per million keys
    struct Case {
        const char* name;
        std::function<double(double)> level;   // kB, of the run's share done
        bool grows;
        long warm_up_at_least, warm_up_at_most;
    } cases[] = {
        {"flat", [](double) { return 0.0; }, false, 0, 50000},
        {"fills 300 MB in the first 40 %", [](double t) { return 300000 * std::min(t / 0.4, 1.0); }, false, 350000, 450000},
        {"fills in the first 70 %", [](double t) { return 300000 * std::min(t / 0.7, 1.0); }, false, 650000, 750000},
        {"one step of 2 MB at 90 %", [](double t) { return t > 0.9 ? 2000.0 : 0.0; }, false, 0, 50000},
        {"leaks 1 MB per million keys", [](double t) { return 1000 * t; }, true, 0, 0},
        {"fills, then leaks", [](double t) { return 300000 * std::min(t / 0.4, 1.0) + 1000 * t; }, true, 0, 0},
        {"still filling at 95 %", [](double t) { return 300000 * std::min(t / 0.95, 1.0); }, true, 0, 0},
    };
    for (const Case& c : cases) {
        const soak::Growth g = soak::judge_growth(samples(c.level), bound);
        EXPECT_EQ(g.grows, c.grows) << c.name << ": slope " << g.slope << " from " << g.warm_up_keys;
        if (!c.grows) {
            EXPECT_GE(g.warm_up_keys, c.warm_up_at_least) << c.name;
            EXPECT_LE(g.warm_up_keys, c.warm_up_at_most) << c.name;
        }
    }
}

// The long soak fails when either memory grows past its own bound or a fault
// was found, and passes a sound run: the memory held, sampled in bytes, is
// judged in kB as its bound is.
TEST(SoakMemory, TheVerdictFailsOnEitherMemoryGrowingOrAFault) {
    const struct {
        const char* name;
        double held_kb, resident_kb;   // growth per million keys
        bool fault, passes;
    } cases[] = {
        {"sound: held rises 50 kB per million keys, resident 20 MB", 50, 20000, false, true},
        {"held grows 700 kB per million keys, resident within its looser bound", 700, 20000, false, false},
        {"resident grows 100 MB per million keys", 0, 100000, false, false},
        {"a fault", 0, 0, true, false},
    };
    for (const auto& c : cases) {
        soak::Figures f;
        f.rss_kb = samples([&](double t) { return c.resident_kb * t; });
        for (const auto& [keys, kb] : samples([&](double t) { return c.held_kb * t; }, 20))   // (the same screen)
            f.held_bytes.push_back({keys, kb * 1024});
        if (c.fault) f.faults.push_back("an invariant broken");
        EXPECT_EQ(soak::verdict(f).passed, c.passes) << c.name;
    }
}

// The benchmark times the soak's heaviest keys again from their replays: each
// must come to the same key, drawing the same and running the same start
// routine; and the fixed replays must run each problem's start routine.
TEST(SoakReplay, HeaviestKeysAndStartRoutinesReplayToTheirKeys) {
    for (int bank : {1, 2}) {
        const soak::Figures f = soak::run({.bank = bank, .seed = 7, .keys = 20000, .heaviest = 4});
        ASSERT_EQ(f.heaviest.size(), 4u);
        for (const soak::Heavy& h : f.heaviest) {
            const soak::Cost c = soak::replay(soak::replay_of_line(h.line));
            EXPECT_TRUE(c.reached) << h.what;
            EXPECT_EQ(c.drawn, h.drawn) << h.what;
            EXPECT_EQ(c.started, h.started) << h.what;
        }
        const std::vector<soak::Replay> starts = soak::start_routines(bank);
        ASSERT_EQ(static_cast<int>(starts.size()), program_of_bank(bank).problem_count);
        for (std::size_t i = 0; i < starts.size(); ++i)
            EXPECT_EQ(soak::replay(starts[i]).started, static_cast<int>(i + 1)) << "bank " << bank;
    }
}

// A program that stops coming back to wait for keys ends the soak, however
// busy the machine: the hang is told by the processor time it burns.
TEST(SoakDeathTest, AHangEndsTheSoak) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    class Spinning final : public Bank {
    public:
        Next start(int) override {
            volatile long turns = 0;
            for (;;) turns = turns + 1;
        }
        void hint1(int) override {}
        void hint2(int) override {}
        void answer(int) override {}
    } spinning;
    EXPECT_DEATH(soak::run({.bank = 1, .keys = 100000, .hang_cpu_seconds = 0.5, .bank_in_place = &spinning}),
                 "HANG: no wait for a key after");
}
