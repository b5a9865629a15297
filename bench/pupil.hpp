// A scripted pupil for the benchmarks: practises every problem of a bank once,
// from the main menu to the end-of-bank menu, on the headless backend with the
// clock fixed. What the program waits for is read from what it drew since the
// last key: the main menu, the start-number question, the answer cursor, the
// space prompt, the key pause, the next-step and end-of-bank menus. Each
// problem is answered wrongly twice ("0" in every blank), then with its
// accepted answer, so that both hints, both space prompts and the answer
// routine run. Every key is timed from the poll that returned it to the next
// wait for a key, where a window would show its effect.
#pragma once

#include <algorithm>
#include <chrono>
#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/engine.hpp"
#include "runtime/headless.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"
#include "tools/player.hpp"

namespace pupil {

struct KeyTime {
    double us;           // from the poll that returned the key to the next wait
    double cpu_us;       // the processor time the program's thread spent in it
    std::string key;     // its name
    std::string waited;  // what the program was waiting for when it came
};

class Pupil {
public:
    // Practises bank 1 or 2 from the main menu to the end-of-bank menu, keeping
    // the practice record in the file `record` (none when empty), as the window does.
    std::vector<KeyTime> practise(int bank, const std::string& record = "") {
        times_.clear();
        queued_.clear();
        waiting_ = "nothing";
        finished_ = false;
        const Program program = program_of_bank(bank);
        reset_state();
        rt::install(rt::make_headless({.time = "12:34:56", .key_source = [this] { return next(); }, .record = record}));
        trace_.clear();
        rt::set_trace(&trace_);
        run_program(program);
        rt::set_trace(nullptr);
        if (!finished_) throw std::runtime_error("the scripted practice did not reach the end of the bank");
        return times_;
    }

private:
    using Clock = std::chrono::steady_clock;

    static double thread_cpu_us() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
    }

    std::vector<rt::ScriptKey> next() {
        const Clock::time_point now = Clock::now();
        const double cpu = thread_cpu_us();
        if (!times_.empty() && times_.back().us < 0) {
            times_.back().us = std::chrono::duration<double, std::micro>(now - key_given_).count();
            times_.back().cpu_us = cpu - cpu_given_;
        }
        read_screen();
        trace_.clear();
        if (times_.size() > 20000) throw std::runtime_error("the scripted pupil is lost at: " + waiting_);

        const std::string waited = waiting_;
        if (queued_.empty()) plan();
        if (queued_.empty()) return {};
        rt::ScriptKey k = queued_.front();
        queued_.erase(queued_.begin());
        if (k.close) return {k};
        times_.push_back({-1, -1, k.key.name, waited});
        cpu_given_ = thread_cpu_us();
        key_given_ = Clock::now();
        return {k};
    }

    // What the program drew since the last key tells what it waits for.
    void read_screen() {
        waiting_ = wait_shown(trace_, waiting_);
        if (waiting_.empty()) waiting_ = "nothing";
    }

    void plan() {
        if (waiting_ == "menu") {
            if (finished_) queued_.push_back({{}, true});
            else type("1");
        } else if (waiting_ == "start number") {
            type("1");
            type("\r", "Enter");
        } else if (waiting_ == "answer") {
            const float k = g.blank_count - g.blanks_left + 1;
            const Text answer = g.attempt_count < 3 ? Text("0") : g.expected(k, 1);
            for (char c : answer) type(std::string(1, c));
            type("\r", "Enter");
        } else if (waiting_ == "space") {
            type(" ", "Space");
        } else if (waiting_ == "key pause") {
            type("x");
        } else if (waiting_ == "next step") {
            type("2");
        } else if (waiting_ == "end of bank") {
            finished_ = true;
            type("3");
        }
        // Until the screen shows a new wait, the same keys are not planned twice.
        if (!queued_.empty() && waiting_ != "answer" && waiting_ != "start number") waiting_ = "nothing";
    }

    void type(const std::string& text, const std::string& name = "") {
        queued_.push_back({rt::Key{0, text, name.empty() ? text : name}, false});
    }

    std::vector<rt::TraceEntry> trace_;
    std::vector<rt::ScriptKey> queued_;
    std::vector<KeyTime> times_;
    std::string waiting_;
    Clock::time_point key_given_;
    double cpu_given_ = 0;
    bool finished_ = false;
};

}  // namespace pupil
