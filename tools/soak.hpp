// A seeded random pupil: long streams of keys drawn from every key a pupil can
// press, fed to a whole program on the headless backend, from the main menu
// through practice, browsing and every problem. At every wait for a key the
// drill's invariants are checked, so that a wrong screen is caught and not
// only a crash. The same seed gives the same keys, clocks and runs.
//
// The unit tests run a short stream (tests/soak_test.cpp); bench/soak.cpp runs
// the long form and checks the per-key time and the resident memory.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "engine/engine.hpp"
#include "runtime/headless.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"
#include "tools/player.hpp"

namespace soak {

struct Options {
    int bank = 1;                 // 1: varnel1, 2: varnel2
    std::uint64_t seed = 1;
    long keys = 100000;           // keys to feed, over as many runs as it takes
    long rss_every = 10000;       // keys between two samples of the resident memory
    int stall_seconds = 120;      // no wait for a key this long: the program hangs
    double report_ms = 0;         // above 0: every key costing more processor time is reported on stderr
};

struct Figures {
    long keys = 0;                // keys handed to the program
    long polls = 0;               // waits for a key, empty ones included
    long runs = 0;                // programs started (each ends by END or the close button)
    long closes = 0;              // runs ended by the close button in mid-run
    double seconds = 0;
    double worst_key_ms = 0;      // a key's handling: from the poll that returned it to the next wait
    double worst_key_cpu_ms = 0;  // the same in the processor time of the program's thread
    long keys_over_100ms = 0;     // keys whose handling took longer than 100 ms of wall-clock time
    double median_key_us = 0;
    std::string worst_key_at;     // which key, and in which run
    std::vector<std::pair<long, long>> rss_kb;   // (keys so far, resident kB)
    std::size_t most_canvas_ops = 0;             // the longest drawing list the canvas kept
    long right_marks = 0, wrong_marks = 0;       // whole-answer marks drawn
    long practised[25] = {}, browsed[25] = {};   // start routines run, by problem
    std::vector<std::string> faults;             // invariant breaches (the first few)
};

namespace detail {

using Clock = std::chrono::steady_clock;

inline long resident_kb() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

inline double thread_cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

inline rt::ScriptKey key(const std::string& name, const Text& text, int fn = 0) {
    return {rt::Key{fn, text, name}, false};
}

// Every key a pupil can press, weighted towards what the waits take: digits
// (menus, start numbers, answers), Enter, the space bar, then the signs of
// answers, the editing keys, the function keys, every other printable
// character and a few characters an input method commits.
struct Keyboard {
    std::vector<std::pair<int, rt::ScriptKey>> keys;
    int total = 0;

    Keyboard() {
        auto add = [&](int weight, rt::ScriptKey k) { keys.push_back({weight, std::move(k)}); total += weight; };
        for (char c = '0'; c <= '9'; ++c) add(c >= '1' && c <= '3' ? 16 : 6, key(std::string(1, c), std::string(1, c)));
        add(45, key("Enter", "\r"));
        add(30, key("Space", " "));
        add(10, key("BS", "\b"));
        add(4, key("Del", "\x7f"));
        add(2, key("Ctrl+L", "\x0c"));
        for (int n = 1; n <= 12; ++n) add(2, key("F" + std::to_string(n), {}, n));
        for (char c : std::string("+-")) add(6, key(std::string(1, c), std::string(1, c)));
        for (char c : std::string("./")) add(3, key(std::string(1, c), std::string(1, c)));
        for (int c = 33; c <= 126; ++c) {
            if (std::string("0123456789+-./").find(static_cast<char>(c)) != std::string::npos) continue;
            std::string s(1, static_cast<char>(c));
            add(1, key(c == '{' ? "LBrace" : s, s));
        }
        for (const char* u : {"あ", "漢", "ー", "円", "℃"}) add(1, key(u, sjis::from_utf8(u)));
    }

    const rt::ScriptKey& pick(std::mt19937_64& random) const {
        int r = static_cast<int>(random() % static_cast<std::uint64_t>(total));
        for (const auto& [weight, k] : keys) {
            if (r < weight) return k;
            r -= weight;
        }
        return keys.back().second;
    }
};

// The display width of a UTF-8 text in dots at scale 1: 8 a half-width
// character (ASCII, half-width katakana), 16 any other.
inline float text_width(const std::string& utf8) {
    float w = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t u = sjis::next_utf8(utf8, i);
        w += (u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F)) ? 8 : 16;
    }
    return w;
}

}  // namespace detail

// The driver: one per soak, running program after program until the keys are fed.
class Driver {
public:
    explicit Driver(const Options& options) : options_(options), random_(options.seed) {}

    Figures run() {
        const Program real = program_of_bank(options_.bank);
        Checked checked(*real.bank, *this);
        const Program program{real.title, real.problem_count, &checked};
        problem_count_ = real.problem_count;

        std::atomic<bool> done{false};
        last_wait_ns_ = now_ns();
        std::thread watchdog([&] { watch(done); });
        const auto started = detail::Clock::now();
        figures_.rss_kb.push_back({0, detail::resident_kb()});
        while (figures_.keys < options_.keys) one_run(program);
        figures_.seconds = std::chrono::duration<double>(detail::Clock::now() - started).count();
        figures_.rss_kb.push_back({figures_.keys, detail::resident_kb()});
        done = true;
        watchdog.join();

        long counted = 0;
        for (std::size_t b = 0; b < histogram_.size(); ++b) {
            counted += histogram_[b];
            if (counted * 2 >= timed_) { figures_.median_key_us = static_cast<double>(b + 1); break; }
        }
        return std::move(figures_);
    }

private:
    // The bank as the driver sees it: every start routine and every call of a
    // hint or answer routine is checked against the retry policy first.
    class Checked final : public Bank {
    public:
        Checked(Bank& real, Driver& driver) : real_(real), driver_(driver) {}
        Next start(int no) override {
            driver_.started(no);
            return real_.start(no);
        }
        void hint1(int no) override { driver_.routine("first hint", no), real_.hint1(no); }
        void hint2(int no) override { driver_.routine("second hint", no), real_.hint2(no); }
        void answer(int no) override { driver_.routine("answer", no), real_.answer(no); }

    private:
        Bank& real_;
        Driver& driver_;
    };

    static long long now_ns() {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(detail::Clock::now().time_since_epoch()).count();
    }

    void fault(const std::string& what) {
        if (figures_.faults.size() >= 10) return;
        std::string recent;
        for (const std::string& k : recent_keys_) recent += k.size() == 1 ? k : "{" + k + "}";
        char where[160];
        std::snprintf(where, sizeof where, " (seed %llu, run %ld at %s, key %ld of the run, %ld in all); last keys: ",
                      static_cast<unsigned long long>(options_.seed), figures_.runs, clock_.c_str(), run_keys_,
                      figures_.keys);
        figures_.faults.push_back(what + where + recent);
    }

    void started(int no) {
        started_ = true;
        if (no < 1 || no > problem_count_) fault("start routine of problem " + std::to_string(no));
        else (g.view_mode == 1 ? figures_.browsed : figures_.practised)[no] += 1;
    }

    // The driver has just read mark_result and attempt_count to choose this routine.
    void routine(const char* which, int no) {
        const float mark = g.mark_result, attempt = g.attempt_count;
        const std::string name = which;
        bool ok = no == g.problem_no && (mark == 1 || mark == 2) && attempt >= 1 && attempt <= 3;
        if (name == "first hint") ok = ok && attempt == 1;
        if (name == "second hint") ok = ok && attempt <= 2;
        if (name == "answer") ok = ok && (attempt == 3 || mark == 2);
        if (!ok)
            fault(name + " of problem " + std::to_string(no) + " with mark_result " + std::to_string(mark) +
                  ", attempt_count " + std::to_string(attempt) + ", problem_no " + std::to_string(g.problem_no));
    }

    void one_run(const Program& program) {
        figures_.runs += 1;
        run_keys_ = 0;
        grid_marks_.assign(26, 0);
        char clock[16];
        std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", static_cast<int>(random_() % 24),
                      static_cast<int>(random_() % 60), static_cast<int>(random_() % 60));
        clock_ = clock;
        closing_ = false;
        key_pending_ = false;   // the key that ended the last run is not timed into this one's start
        last_read_.clear();

        reset_state();
        rt::install(rt::make_headless({.time = clock_, .key_source = [this] { return next_keys(); }}));
        trace_.clear();
        rt::set_trace(&trace_);
        run_program(program);
        rt::set_trace(nullptr);
        check_trace();
        // Only END (choice 3 of the main menu) and the close button end a program.
        if (!closing_ && last_read_ != "3") fault("the program ended by itself after the key " + last_read_);
    }

    // Called at every wait for a key: checks what the program did since the
    // last one, then hands over the next keys (mostly one, sometimes none).
    std::vector<rt::ScriptKey> next_keys() {
        const long long now = now_ns();
        const double cpu_now = detail::thread_cpu_ms();
        if (key_pending_) {
            const long long ns = now - last_wait_ns_;
            const double ms = static_cast<double>(ns) / 1e6;
            const double cpu_ms = cpu_now - last_wait_cpu_ms_;
            figures_.worst_key_cpu_ms = std::max(figures_.worst_key_cpu_ms, cpu_ms);
            if (options_.report_ms > 0 && cpu_ms > options_.report_ms) report(cpu_ms, static_cast<double>(ns) / 1e6);
            if (ms > 100) figures_.keys_over_100ms += 1;
            if (ms > figures_.worst_key_ms) {
                figures_.worst_key_ms = ms;
                figures_.worst_key_at = "key " + last_key_ + " (" + std::to_string(figures_.keys) + " in all, run " +
                                        std::to_string(figures_.runs) + ", " + std::to_string(trace_.size()) +
                                        " drawing calls" + (started_ ? ", a start routine" : "") + ")";
            }
            const std::size_t us = static_cast<std::size_t>(ns / 1000);
            histogram_[us < histogram_.size() ? us : histogram_.size() - 1] += 1;
            timed_ += 1;
            key_pending_ = false;
        }
        figures_.polls += 1;
        started_ = false;
        check_trace();
        check_state();
        figures_.most_canvas_ops = std::max(figures_.most_canvas_ops, rt::backend().canvas().op_count());

        std::vector<rt::ScriptKey> keys = choose();
        for (const rt::ScriptKey& k : keys) {
            if (k.close) {
                closing_ = true;
                break;
            }
            figures_.keys += 1;
            run_keys_ += 1;
            last_key_ = k.key.name;
            recent_keys_.push_back(k.key.name);
            if (recent_keys_.size() > 40) recent_keys_.erase(recent_keys_.begin());
            if (options_.rss_every > 0 && figures_.keys % options_.rss_every == 0)
                figures_.rss_kb.push_back({figures_.keys, detail::resident_kb()});
        }
        // Only a single key is timed: the next wait ends its handling.
        key_pending_ = keys.size() == 1 && !keys[0].close;
        last_wait_cpu_ms_ = detail::thread_cpu_ms();
        last_wait_ns_ = now_ns();
        return keys;
    }

    // The next keys: mostly one drawn at random; now and then the current
    // blank's accepted answer typed out (so that right answers happen too),
    // a burst typed ahead, a pause with no key, or the close button.
    std::vector<rt::ScriptKey> choose() {
        const rt::ScriptKey close{{}, true};
        if (figures_.keys >= options_.keys) return {close};
        if (idle_ > 0) {
            --idle_;
            return {};
        }
        if (queued_.empty()) {
            const std::uint64_t r = random_() % 10000;
            if (r < 1) {
                figures_.closes += 1;
                return {close};
            }
            if (r < 40) {
                idle_ = static_cast<int>(random_() % 200);   // the pupil stops to think
                return {};
            }
            if (r < 600) return {};
            if (r < 800) queue_answer();
            if (r >= 800 && r < 830) {
                // Typed ahead: several keys waiting together at the next poll.
                std::vector<rt::ScriptKey> burst;
                for (int n = 2 + static_cast<int>(random_() % 5); n > 0; --n) burst.push_back(keyboard_.pick(random_));
                return burst;
            }
        }
        if (!queued_.empty()) {
            rt::ScriptKey k = queued_.front();
            queued_.erase(queued_.begin());
            return {k};
        }
        return {keyboard_.pick(random_)};
    }

    // The accepted text of the blank being typed, key by key, then Enter.
    void queue_answer() {
        const float k = g.blank_count - g.blanks_left + 1;
        if (!(k >= 1 && k <= 5 && g.expected.rows() > 5 && g.expected.columns() > 2)) return;
        const Text answer = g.expected(k, 1);
        for (unsigned char c : answer)
            if (c >= 33 && c <= 126) queued_.push_back(detail::key(std::string(1, static_cast<char>(c)), Text(1, static_cast<char>(c))));
        queued_.push_back(detail::key("Enter", "\r"));
    }

    void check_state() {
        if (!(g.attempt_count >= 0 && g.attempt_count <= 3))
            fault("attempt_count " + std::to_string(g.attempt_count));
        if (!(g.pen_x >= 0 && g.pen_x <= rt::kScreenW && g.pen_y >= 0 && g.pen_y <= rt::kScreenH))
            fault("the pen at (" + std::to_string(g.pen_x) + ", " + std::to_string(g.pen_y) + ")");
    }

    // What was drawn since the last wait.
    void check_trace() {
        for (const rt::TraceEntry& e : trace_) {
            if (e.op == "key") last_read_ = e.text;
            else if (e.op == "symbol") symbol(e);
            else if (e.op == "line") line(e);
            else if (e.op == "circle") circle(e);
        }
        trace_.clear();
    }

    // A slow key: what it was, where, and what the program drew for it.
    void report(double cpu_ms, double ms) {
        std::string drawn;
        for (const rt::TraceEntry& e : trace_) {
            if (drawn.size() > 600) { drawn += " ..."; break; }
            drawn += " " + e.op;
            if (e.op == "symbol" || e.op == "print" || e.op == "key") drawn += "(" + e.text + ")";
        }
        std::fprintf(stderr, "slow key %s (%ld in all, run %ld, %s): %.1f ms processor time, %.1f ms in all; drawn:%s\n",
                     last_key_.c_str(), figures_.keys, figures_.runs, clock_.c_str(), cpu_ms, ms, drawn.c_str());
    }

    void outside(const rt::TraceEntry& e) { fault("drawn outside the drill's part of the screen: " + rt::to_json(e)); }

    // The screen above the on-screen keypad's band: what the drill draws stays there.
    static bool inside(float x, float y) { return x >= 0 && x <= rt::kScreenW && y >= 0 && y <= rt::kKeypadTop; }

    void symbol(const rt::TraceEntry& e) {
        if (e.text.rfind("エラーが発生しました", 0) == 0) fault("the error screen");
        // Blanks draw no dot: an empty label previewed past the right edge is no fault.
        const bool blank = e.text.find_first_not_of(" ") == std::string::npos ||
                           e.text.find_first_not_of("　") == std::string::npos;
        const float sx = e.sx == 0 ? 1 : e.sx, sy = e.sy == 0 ? 1 : e.sy;
        if (!blank && (!inside(e.x1, e.y1) || !inside(e.x1 + sx * detail::text_width(e.text), e.y1 + 16 * sy)))
            outside(e);
        // The progress grid: drawn afresh at each practice start ("回" beside it),
        // it keeps one first-attempt mark per problem.
        if (e.text == "回" && e.x1 == 220 && e.y1 == 18) grid_marks_.assign(26, 0);
        if ((e.text == "○" || e.text == "×") && e.y1 == 18) {
            const float cell = (e.x1 - 240) / 16 + 1;
            if (cell >= 1 && cell <= problem_count_ && cell == static_cast<int>(cell) &&
                ++grid_marks_[static_cast<int>(cell)] > 1)
                fault("a second first-attempt mark in the grid cell of problem " + std::to_string(static_cast<int>(cell)));
        }
    }

    void line(const rt::TraceEntry& e) {
        if (e.c == 5 && e.x2 - e.x1 == 32 && e.y2 - e.y1 == 36) figures_.wrong_marks += 1;
        const bool erase = e.c == 0 && (e.mode != "fill" || e.fill == 0);
        if (!erase && (!inside(e.x1, e.y1) || !inside(e.x2, e.y2))) outside(e);
    }

    void circle(const rt::TraceEntry& e) {
        if (e.c == 5 && e.r == 22) figures_.right_marks += 1;
        const bool erase = e.c == 0 && (e.fill <= 0);
        if (!erase && (!inside(e.x1 - e.r, e.y1 - e.r) || !inside(e.x1 + e.r, e.y1 + e.r))) outside(e);
    }

    // A hang is a program that stops waiting for keys: say where, and stop.
    void watch(std::atomic<bool>& done) {
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const long long quiet = now_ns() - last_wait_ns_.load();
            if (quiet > static_cast<long long>(options_.stall_seconds) * 1000000000LL) {
                std::fprintf(stderr, "soak: no wait for a key in %d s (seed %llu, run %ld at %s, key %ld, last key %s)\n",
                             options_.stall_seconds, static_cast<unsigned long long>(options_.seed), figures_.runs,
                             clock_.c_str(), figures_.keys, last_key_.c_str());
                std::abort();
            }
        }
    }

    Options options_;
    std::mt19937_64 random_;
    detail::Keyboard keyboard_;
    Figures figures_;
    int problem_count_ = 0;
    std::vector<rt::TraceEntry> trace_;
    std::vector<int> grid_marks_;
    std::vector<long> histogram_ = std::vector<long>(100000);   // key times in microseconds
    std::vector<rt::ScriptKey> queued_;
    std::vector<std::string> recent_keys_;
    std::string clock_, last_key_, last_read_;   // last key handed over, last key the program read
    std::atomic<long long> last_wait_ns_{0};
    double last_wait_cpu_ms_ = 0;
    long run_keys_ = 0, timed_ = 0;
    int idle_ = 0;
    bool key_pending_ = false, closing_ = false, started_ = false;
};

inline Figures run(const Options& options) { return Driver(options).run(); }

}  // namespace soak
