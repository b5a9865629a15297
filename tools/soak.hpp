// A seeded random pupil: long streams of keys drawn from every key a pupil can
// press, fed to a whole program on the headless backend, from the main menu
// through practice, browsing and every problem. At every wait for a key the
// drill's invariants are checked, so that a wrong screen is caught and not
// only a crash. The same seed gives the same keys, clocks and runs.
//
// The unit tests run a short stream (tests/soak_test.cpp); bench/soak.cpp runs
// the long form and judges the memory (judge_growth, below). The heaviest keys
// a soak meets are kept with the keys of their run up to them (a Replay), so
// that bench/heavy_keys.cpp can time them again in an optimised build.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <memory>
#include <pthread.h>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "engine/engine.hpp"
#include "runtime/headless.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"
#include "tools/player.hpp"

#if defined(__SANITIZE_ADDRESS__)
#define VARNEL_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VARNEL_SOAK_ASAN 1
#endif
#endif
#ifdef VARNEL_SOAK_ASAN
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
extern "C" void __sanitizer_purge_allocator();
#endif

namespace soak {

struct Options {
    int bank = 1;                 // 1: varnel1, 2: varnel2
    std::uint64_t seed = 1;
    long keys = 100000;           // keys to feed, over as many runs as it takes
    long rss_every = 10000;       // keys between two samples of the resident memory
    // A hang: the program's thread spends this much processor time without
    // coming back to wait for a key, or this much wall-clock time (a program
    // blocked on something else). Processor time, because a machine busy with
    // other work stretches a healthy key's wall-clock time many times over.
    double hang_cpu_seconds = 5;
    int hang_wall_seconds = 900;
    double report_ms = 0;         // above 0: every key costing more processor time is reported on stderr
    std::size_t heaviest = 0;     // the heaviest keys to keep, each with the keys that reach it
    Bank* bank_in_place = nullptr;   // a bank to run in place of the program's own (a test's faulty one)
};

// One key of a soak as a replay: the program, the clock of its run, and the
// keys each wait of the run was handed, from the start of the run to the
// wait that handed the key (the last). What the program does from that wait
// to the next is what is timed.
struct Replay {
    int bank = 1;
    std::string clock;
    std::vector<std::vector<std::string>> polls;   // key names, as the soak's keyboard names them
    std::string what;                              // what the key was, and its cost in the soak
};

struct Heavy {
    double cpu_ms = 0, ms = 0;
    std::size_t drawn = 0;   // drawing calls and keys in the trace until the next wait
    int started = 0;         // the problem whose start routine it ran (0: none)
    std::string kind;        // that start routine, or the wait it came at
    std::string what;        // which key it was, where, and what it cost
    std::string line;        // its replay, as to_line writes it
};

struct Figures {
    long keys = 0;                // keys handed to the program
    long polls = 0;               // waits for a key, empty ones included
    long runs = 0;                // programs started (each ends by END or the close button)
    long closes = 0;              // runs ended by the close button in mid-run
    long screens = 0;             // screens drawn (each a clear of the whole screen)
    double seconds = 0;
    double worst_key_ms = 0;      // a key's handling: from the poll that returned it to the next wait
    double worst_key_cpu_ms = 0;  // the same in the processor time of the program's thread
    long keys_over_100ms = 0;     // keys whose handling took longer than 100 ms of wall-clock time
    double median_key_us = 0, median_key_cpu_us = 0;
    std::string worst_key_at, worst_key_cpu_at;   // which key, and in which run
    std::vector<std::pair<long, long>> rss_kb;    // (keys so far, resident kB)
    // (keys so far, bytes in the program's live heap blocks), at each run's
    // first wait: the main menu, the same screen every time.
    std::vector<std::pair<long, long>> held_bytes;
    std::size_t most_canvas_ops = 0;             // the longest drawing list the canvas kept
    long right_marks = 0, wrong_marks = 0;       // whole-answer marks drawn
    long practised[25] = {}, browsed[25] = {};   // start routines run, by problem
    std::vector<std::string> faults;             // invariant breaches (the first few)
    std::vector<Heavy> heaviest;                 // heaviest first
};

namespace detail {

using Clock = std::chrono::steady_clock;

// The resident memory once the allocator has given back what it keeps and
// does not hold: AddressSanitizer's quarantine of freed blocks (a quarter of
// a gigabyte, which takes a few hundred thousand keys to fill and then keeps
// settling) is emptied and its free pages returned, as the C library's are
// without it. A freed block is still checked for use in the thousands of keys
// between two samples.
inline long resident_kb() {
#ifdef VARNEL_SOAK_ASAN
    __sanitizer_purge_allocator();
#else
    malloc_trim(0);
#endif
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The bytes in live heap blocks, as the allocator counts them: what the
// process holds, without what the allocator keeps back (AddressSanitizer's
// quarantine of freed blocks, the C library's free lists).
inline long held_bytes() {
#ifdef VARNEL_SOAK_ASAN
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 m = mallinfo2();
    return static_cast<long>(m.uordblks + m.hblkhd);
#endif
}

inline double cpu_ms(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

inline double thread_cpu_ms() { return cpu_ms(CLOCK_THREAD_CPUTIME_ID); }

inline rt::ScriptKey key(const std::string& name, const Text& text, int fn = 0) {
    return {rt::Key{fn, text, name}, false};
}

// A printable ASCII character as a key ("{" is named LBrace: names go in braces).
inline rt::ScriptKey typed(char c) { return key(c == '{' ? "LBrace" : std::string(1, c), Text(1, c)); }

// Every key a pupil can press, weighted towards what the waits take: digits
// (menus, start numbers, answers), Enter, the space bar, then the signs of
// answers, the editing keys, the function keys, every other printable
// character and a few characters an input method commits.
struct Keyboard {
    std::vector<std::pair<int, rt::ScriptKey>> keys;
    int total = 0;

    Keyboard() {
        auto add = [&](int weight, rt::ScriptKey k) { keys.push_back({weight, std::move(k)}); total += weight; };
        for (char c = '0'; c <= '9'; ++c) add(c >= '1' && c <= '3' ? 16 : 6, typed(c));
        add(45, key("Enter", "\r"));
        add(30, key("Space", " "));
        add(10, key("BS", "\b"));
        add(4, key("Del", "\x7f"));
        add(2, key("Ctrl+L", "\x0c"));
        for (int n = 1; n <= 12; ++n) add(2, key("F" + std::to_string(n), {}, n));
        for (char c : std::string("+-")) add(6, typed(c));
        for (char c : std::string("./")) add(3, typed(c));
        for (int c = 33; c <= 126; ++c)
            if (std::string("0123456789+-./").find(static_cast<char>(c)) == std::string::npos)
                add(1, typed(static_cast<char>(c)));
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

    const rt::ScriptKey& named(const std::string& name) const {
        for (const auto& [weight, k] : keys)
            if (k.key.name == name) return k;
        throw std::invalid_argument("no key named " + name);
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

// The median of a histogram of whole microseconds.
inline double median(const std::vector<long>& histogram, long count) {
    long counted = 0;
    for (std::size_t b = 0; b < histogram.size(); ++b) {
        counted += histogram[b];
        if (counted * 2 >= count) return static_cast<double>(b + 1);
    }
    return 0;
}

}  // namespace detail

// A replay as one line of text: the bank, the clock, then each wait's keys
// (names separated by spaces; an empty field is a wait that found no key),
// all separated by tabs.
inline std::string to_line(const Replay& r) {
    std::string line = std::to_string(r.bank) + "\t" + r.clock;
    for (const auto& poll : r.polls) {
        line += '\t';
        for (std::size_t i = 0; i < poll.size(); ++i) line += (i ? " " : "") + poll[i];
    }
    return line;
}

inline Replay replay_of_line(const std::string& line) {
    Replay r;
    std::vector<std::string> fields;
    for (std::size_t at = 0;;) {
        const std::size_t tab = line.find('\t', at);
        fields.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
        if (tab == std::string::npos) break;
        at = tab + 1;
    }
    if (fields.size() < 3 || (fields[0] != "1" && fields[0] != "2"))
        throw std::invalid_argument("not a replay line: " + line.substr(0, 60));
    r.bank = fields[0][0] - '0';
    r.clock = fields[1];
    for (std::size_t f = 2; f < fields.size(); ++f) {
        std::vector<std::string>& poll = r.polls.emplace_back();
        for (std::size_t at = 0; at < fields[f].size();) {
            const std::size_t space = std::min(fields[f].find(' ', at), fields[f].size());
            poll.push_back(fields[f].substr(at, space - at));
            at = space + 1;
        }
    }
    return r;
}

// The start routine of each problem in practice, as a replay: the menu's
// choice 1, the problem's number at the start-number question and Enter; the
// practice's screen then waits once (the keyboard emptied) before the start
// routine runs, and that wait, handed no key, is the one replayed.
inline std::vector<Replay> start_routines(int bank) {
    std::vector<Replay> replays;
    for (int no = 1; no <= program_of_bank(bank).problem_count; ++no) {
        Replay r{bank, "12:34:56", {{"1"}}, "the start routine of problem " + std::to_string(no)};
        for (char d : std::to_string(no)) r.polls.push_back({std::string(1, d)});
        r.polls.push_back({"Enter"});
        r.polls.push_back({});
        replays.push_back(std::move(r));
    }
    return replays;
}

// A bank that hands every routine to another: a wrapper overrides what it watches.
class Forwarding : public Bank {
public:
    explicit Forwarding(Bank& real) : real_(real) {}
    Next start(int no) override { return real_.start(no); }
    void hint1(int no) override { real_.hint1(no); }
    void hint2(int no) override { real_.hint2(no); }
    void answer(int no) override { real_.answer(no); }
    Text topic(int no) override { return real_.topic(no); }

protected:
    Bank& real_;
};

// What a replayed key cost in this build, what it drew (drawing calls and keys
// in the trace) and which start routine it ran (0: none).
struct Cost {
    bool reached = false;   // the run came to the key's wait and back to the next one
    double cpu_ms = 0, ms = 0;
    std::size_t drawn = 0;
    int started = 0;
};

// Runs the replay's run in `program` (the bank's own when its bank is null)
// on a fresh headless program, and times its last key as the soak did: from
// the wait that handed it to the next wait, then closes the window.
inline Cost replay(const Replay& r, Program program = {}) {
    class Observed final : public Forwarding {
    public:
        Observed(Bank& real, int& started) : Forwarding(real), started_(started) {}
        Next start(int no) override { return started_ = no, real_.start(no); }

    private:
        int& started_;
    };
    if (!program.bank) program = program_of_bank(r.bank);
    static const detail::Keyboard keyboard;
    std::vector<std::vector<rt::ScriptKey>> polls;
    for (const auto& names : r.polls) {
        std::vector<rt::ScriptKey>& keys = polls.emplace_back();
        for (const std::string& name : names) keys.push_back(keyboard.named(name));
    }

    Cost cost;
    int started = 0;
    Observed observed(*program.bank, started);
    std::vector<rt::TraceEntry> trace;
    std::size_t next = 0;
    double cpu_given = 0;
    detail::Clock::time_point given;
    auto source = [&]() -> std::vector<rt::ScriptKey> {
        if (next == polls.size()) {
            cost = {true, detail::thread_cpu_ms() - cpu_given,
                    std::chrono::duration<double, std::milli>(detail::Clock::now() - given).count(), trace.size(), started};
            ++next;
        }
        if (next > polls.size()) return {rt::ScriptKey{{}, true}};
        trace.clear();
        started = 0;
        const std::vector<rt::ScriptKey>& keys = polls[next++];
        cpu_given = detail::thread_cpu_ms();
        given = detail::Clock::now();
        return keys;
    };
    reset_state();
    rt::install(rt::make_headless({.time = r.clock, .key_source = source}));
    rt::set_trace(&trace);
    run_program({program.title, program.problem_count, &observed});
    rt::set_trace(nullptr);
    return cost;
}

// Whether the memory keeps growing, from samples (keys so far, amount) over a
// run. The run is cut into stretches of equal keys and each stretch's peak is
// taken (single samples swing with the screen drawn at that moment); the
// slope through peaks is the median of the slopes between every two of them,
// which one stray peak does not move. The warm-up is measured: it ends at the
// first stretch from which the slope to the end of the run is within the
// bound. Caches, and AddressSanitizer's quarantine of freed blocks, fill and
// stop; a leak goes on to the end. So the memory grows when no such stretch
// comes before the last quarter of the run (the slope reported is then that
// of the last quarter).
struct Growth {
    long warm_up_keys = 0;   // where the warm-up ended (or the last quarter began)
    double slope = 0;        // after it, per million keys
    bool grows = false;
};

inline Growth judge_growth(const std::vector<std::pair<long, long>>& samples, double bound_per_million_keys,
                           int stretches = 20) {
    Growth growth;
    if (samples.size() < 2 || samples.back().first <= samples.front().first) return growth;
    const double first = static_cast<double>(samples.front().first), span = samples.back().first - first;
    std::vector<double> peak(stretches, -1);
    for (const auto& [keys, amount] : samples) {
        const int s = std::min(stretches - 1, static_cast<int>((static_cast<double>(keys) - first) * stretches / span));
        peak[s] = std::max(peak[s], static_cast<double>(amount));
    }
    std::vector<std::pair<double, double>> points;   // (million keys at the stretch's middle, its peak)
    for (int s = 0; s < stretches; ++s)
        if (peak[s] >= 0) points.push_back({(first + (s + 0.5) * span / stretches) / 1e6, peak[s]});
    auto slope_from = [&](std::size_t from) {
        std::vector<double> slopes;
        for (std::size_t i = from; i < points.size(); ++i)
            for (std::size_t j = i + 1; j < points.size(); ++j)
                slopes.push_back((points[j].second - points[i].second) / (points[j].first - points[i].first));
        if (slopes.empty()) return 0.0;
        std::nth_element(slopes.begin(), slopes.begin() + slopes.size() / 2, slopes.end());
        return slopes[slopes.size() / 2];
    };
    const std::size_t last_quarter = points.size() - std::min(points.size(), std::max<std::size_t>(3, points.size() / 4));
    for (std::size_t from = 0; from <= last_quarter; ++from) {
        growth.warm_up_keys = static_cast<long>(points[from].first * 1e6 - 0.5 * span / stretches);
        growth.slope = slope_from(from);
        if (growth.slope <= bound_per_million_keys) return growth;
    }
    growth.grows = true;
    return growth;
}

// Growth allowed after the warm-up, per million keys. The bytes held at the
// main menu (less the driver's own buffers of keys and drawing, which grow
// with the longest run and screen so far) hardly move in a sound run; a
// program that keeps 320 bytes a screen adds some 700 kB per million keys.
// The resident memory also holds AddressSanitizer's own bookkeeping (shadow
// memory, the stack traces of every allocation), which rises some 30 MB per
// million keys over the first 100,000 keys and slows down after (10-20 MB
// over the first 300,000): its bound is for what the heap does not show,
// such as memory mapped and never given back.
inline constexpr double kHeldKbPerMillionKeys = 256;
inline constexpr double kResidentKbPerMillionKeys = 65536;

// The memory held at the main menu in kB, as its bound is: (keys so far, kB).
inline std::vector<std::pair<long, long>> held_kb(const Figures& f) {
    std::vector<std::pair<long, long>> kb;
    for (const auto& [keys, bytes] : f.held_bytes) kb.push_back({keys, bytes / 1024});
    return kb;
}

// The long soak's verdict: each memory judged by its own bound, and the soak
// passed only when neither grows and no fault was found.
struct Verdict {
    Growth held, resident;
    bool passed = false;
};

inline Verdict verdict(const Figures& f) {
    Verdict v{judge_growth(held_kb(f), kHeldKbPerMillionKeys), judge_growth(f.rss_kb, kResidentKbPerMillionKeys)};
    v.passed = !v.held.grows && !v.resident.grows && f.faults.empty();
    return v;
}

// The driver: one per soak, running program after program until the keys are fed.
class Driver {
public:
    explicit Driver(const Options& options) : options_(options), random_(options.seed) {}

    Figures run() {
        const Program real = program_of_bank(options_.bank);
        Checked checked(options_.bank_in_place ? *options_.bank_in_place : *real.bank, *this);
        const Program program{real.title, real.problem_count, &checked};
        problem_count_ = real.problem_count;
        // Room reserved ahead, so that the driver's own memory stays put.
        figures_.rss_kb.reserve(static_cast<std::size_t>(options_.keys / std::max(1L, options_.rss_every)) + 4);
        figures_.held_bytes.reserve(static_cast<std::size_t>(options_.keys / 200) + 64);
        heaviest_.reserve(options_.heaviest);
        run_log_.reserve(1 << 16);

        std::atomic<bool> done{false};
        pthread_getcpuclockid(pthread_self(), &cpu_clock_);
        last_wait_ns_ = now_ns();
        last_wait_clock_ms_ = detail::cpu_ms(cpu_clock_);
        std::thread watchdog([&] { watch(done); });
        const auto started = detail::Clock::now();
        figures_.rss_kb.push_back({0, detail::resident_kb()});
        while (figures_.keys < options_.keys) one_run(program);
        figures_.seconds = std::chrono::duration<double>(detail::Clock::now() - started).count();
        figures_.rss_kb.push_back({figures_.keys, detail::resident_kb()});
        done = true;
        watchdog.join();

        figures_.median_key_us = detail::median(histogram_, timed_);
        figures_.median_key_cpu_us = detail::median(cpu_histogram_, timed_);
        std::sort(heaviest_.begin(), heaviest_.end(), [](const Heavy& a, const Heavy& b) { return a.cpu_ms > b.cpu_ms; });
        figures_.heaviest = std::move(heaviest_);
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

    std::string where() const {
        char at[160];
        std::snprintf(at, sizeof at, "seed %llu, run %ld at %s, key %ld of the run, %ld in all",
                      static_cast<unsigned long long>(options_.seed), figures_.runs, clock_.c_str(), run_keys_,
                      figures_.keys);
        return at;
    }

    void fault(const std::string& what) {
        if (figures_.faults.size() >= 10) return;
        std::string recent;
        for (const std::string& k : recent_keys_) recent += k.size() == 1 ? k : "{" + k + "}";
        figures_.faults.push_back(what + " (" + where() + "); last keys: " + recent);
    }

    void started(int no) {
        started_ = no;
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
        waiting_.clear();
        run_log_.clear();
        run_polls_ = 0;

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
        if (key_pending_) timed(static_cast<double>(now - last_wait_ns_) / 1e6, cpu_now - last_wait_cpu_ms_);
        if (run_polls_ == 0) figures_.held_bytes.push_back({figures_.keys, detail::held_bytes() - own_bytes()});
        figures_.polls += 1;
        started_ = 0;
        waiting_ = wait_shown(trace_, waiting_);
        check_trace();
        check_state();
        figures_.most_canvas_ops = std::max(figures_.most_canvas_ops, rt::backend().canvas().op_count());

        std::vector<rt::ScriptKey> keys = choose();
        if (run_polls_++ > 0) run_log_ += '\t';
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const rt::ScriptKey& k = keys[i];
            if (k.close) {
                closing_ = true;
                break;
            }
            if (i > 0) run_log_ += ' ';
            run_log_ += k.key.name;
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
        waited_ = waiting_;
        last_wait_cpu_ms_ = detail::thread_cpu_ms();
        last_wait_clock_ms_ = detail::cpu_ms(cpu_clock_);
        last_wait_ns_ = now_ns();
        return keys;
    }

    // What the driver's own buffers hold that grows with the longest run or
    // screen so far: not the program's.
    long own_bytes() const {
        std::size_t bytes = run_log_.capacity() + trace_.capacity() * sizeof(rt::TraceEntry);
        for (const Heavy& h : heaviest_) bytes += h.line.capacity();
        return static_cast<long>(bytes);
    }

    // The key handed at the last wait has been handled in `ms` (wall-clock
    // time) and `cpu_ms` (the program's thread's processor time).
    void timed(double ms, double cpu_ms) {
        const std::string at = "key " + last_key_ + " (" + std::to_string(figures_.keys) + " in all, run " +
                               std::to_string(figures_.runs) + ", " + std::to_string(trace_.size()) +
                               " drawing calls" + (started_ ? ", the start routine of problem " + std::to_string(started_) : "") +
                               ")";
        if (cpu_ms > figures_.worst_key_cpu_ms) figures_.worst_key_cpu_ms = cpu_ms, figures_.worst_key_cpu_at = at;
        if (ms > figures_.worst_key_ms) figures_.worst_key_ms = ms, figures_.worst_key_at = at;
        if (options_.report_ms > 0 && cpu_ms > options_.report_ms) report(cpu_ms, ms);
        if (ms > 100) figures_.keys_over_100ms += 1;
        const auto bucket = [](double value_ms, std::size_t buckets) {
            return std::min(static_cast<std::size_t>(value_ms * 1000), buckets - 1);
        };
        histogram_[bucket(ms, histogram_.size())] += 1;
        cpu_histogram_[bucket(cpu_ms, cpu_histogram_.size())] += 1;
        timed_ += 1;
        key_pending_ = false;
        keep_if_heavy(ms, cpu_ms, at);
    }

    // The heaviest keys, one of each kind: of each start routine, and of the
    // keys at each kind of wait.
    void keep_if_heavy(double ms, double cpu_ms, const std::string& at) {
        if (options_.heaviest == 0) return;
        if (heaviest_.size() == options_.heaviest &&
            std::all_of(heaviest_.begin(), heaviest_.end(), [&](const Heavy& h) { return h.cpu_ms >= cpu_ms; }))
            return;
        const std::string kind = started_ ? "the start routine of problem " + std::to_string(started_)
                                          : waited_.empty() ? std::string("a key at a wait no screen names") : "a key at the " + waited_ + " wait";
        auto slot = std::find_if(heaviest_.begin(), heaviest_.end(), [&](const Heavy& h) { return h.kind == kind; });
        if (slot != heaviest_.end() && slot->cpu_ms >= cpu_ms) return;
        if (slot == heaviest_.end()) {
            if (heaviest_.size() < options_.heaviest) slot = heaviest_.insert(heaviest_.end(), Heavy{});
            else slot = std::min_element(heaviest_.begin(), heaviest_.end(),
                                         [](const Heavy& a, const Heavy& b) { return a.cpu_ms < b.cpu_ms; });
        }
        char cost[96];
        std::snprintf(cost, sizeof cost, "; in the soak %.1f ms of processor time, %.1f ms in all", cpu_ms, ms);
        slot->cpu_ms = cpu_ms, slot->ms = ms, slot->drawn = trace_.size(), slot->started = started_;
        slot->kind = kind;
        slot->what = kind + ", " + at + " (seed " + std::to_string(options_.seed) + ")" + cost;
        slot->line.assign(std::to_string(options_.bank) + "\t" + clock_ + "\t").append(run_log_);
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
            if (c >= 33 && c <= 126) queued_.push_back(detail::typed(static_cast<char>(c)));
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
            else if (e.op == "cls") cleared();
            else if (e.op == "symbol") symbol(e);
            else if (e.op == "line") line(e);
            else if (e.op == "circle") circle(e);
        }
        trace_.clear();
    }

    void cleared() {
        figures_.screens += 1;
#ifdef VARNEL_SOAK_GROW
        // The soak's own check (varnel-soak-grow): a program that keeps a few
        // hundred bytes more for every screen it draws, all of them still
        // reachable, so that only the memory's growth can tell.
        kept_.emplace_back(VARNEL_SOAK_GROW, '#');
#endif
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
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const double cpu = (detail::cpu_ms(cpu_clock_) - last_wait_clock_ms_.load()) / 1e3;
            const double wall = static_cast<double>(now_ns() - last_wait_ns_.load()) / 1e9;
            if (cpu > options_.hang_cpu_seconds || wall > options_.hang_wall_seconds) {
                std::fprintf(stderr,
                             "soak: HANG: no wait for a key after %.1f s of processor time, %.0f s in all (%s, last key %s)\n",
                             cpu, wall, where().c_str(), last_key_.c_str());
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
    std::vector<long> histogram_ = std::vector<long>(100000);       // key times in microseconds
    std::vector<long> cpu_histogram_ = std::vector<long>(100000);   // the same in processor time
    std::vector<rt::ScriptKey> queued_;
    std::vector<std::string> recent_keys_;
    std::vector<Heavy> heaviest_;
    std::string run_log_;          // this run's waits so far, as a replay's line has them
    long run_polls_ = 0;
    std::string clock_, last_key_, last_read_;   // last key handed over, last key the program read
    std::string waiting_, waited_;               // what the program waits for now, and waited for at the last key
    clockid_t cpu_clock_{};                      // the processor time of the program's thread
    std::atomic<long long> last_wait_ns_{0};
    std::atomic<double> last_wait_clock_ms_{0};
    double last_wait_cpu_ms_ = 0;
    long run_keys_ = 0, timed_ = 0;
    int idle_ = 0, started_ = 0;
    bool key_pending_ = false, closing_ = false;
#ifdef VARNEL_SOAK_GROW
    std::vector<std::string> kept_;
#endif
};

inline Figures run(const Options& options) { return Driver(options).run(); }

}  // namespace soak
