// Golden runs: every problem of both programs at three clock times, answered
// right at once and answered wrong three times, from the main menu to the
// menu after the problem. The trace of every drawing call and the final PNG
// of each run are kept as hashes in tests/golden/runs.txt; a change that
// should leave every screen as it was must leave every hash as it was.
//
// When a screen is meant to change, record the hashes anew and read the
// difference of tests/golden/runs.txt in the commit:
//     VARNEL_GOLDEN=record build/varnel-tests --gtest_filter='Golden.*'
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/backend.hpp"
#include "runtime/headless.hpp"
#include "runtime/png.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"
#include "tools/player.hpp"

namespace {

const std::string kRuns = std::string(VARNEL_SOURCE_DIR) + "/tests/golden/runs.txt";

std::uint64_t fnv1a(const std::string& bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

std::string hex(std::uint64_t v) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
    return buf;
}

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// A pupil who answers every blank with its main form (right), or with "0"
// three times (wrong), and closes the window at the menu after the problem.
// What the program waits for is read from what it drew since the last key.
class Pupil {
public:
    Pupil(int problem, bool right) : problem_(problem), right_(right) {}

    std::vector<rt::ScriptKey> next(std::vector<rt::TraceEntry>& trace) {
        std::string waiting = wait_shown(trace, "");
        trace.clear();
        if (waiting.empty() && !queued_.empty()) waiting = "answer";   // still typing the same blank
        std::vector<rt::ScriptKey> keys;
        if (waiting == "menu") keys = rt::parse_key_script("1");
        else if (waiting == "start number") keys = rt::parse_key_script(std::to_string(problem_) + "{Enter}");
        else if (waiting == "space") keys = rt::parse_key_script("{Space}");
        else if (waiting == "key pause") keys = rt::parse_key_script("x");
        else if (waiting == "next step" || waiting == "end of bank" || ++polls_ > 400)
            keys = rt::parse_key_script("{Close}");
        else if (waiting == "answer") {
            if (queued_.empty()) {
                const float k = g.blank_count - g.blanks_left + 1;
                const Text answer = right_ ? g.expected(k, 1) : Text("0");
                for (char c : answer) queued_.push_back(rt::typed_key(static_cast<unsigned char>(c)));
                queued_.push_back(rt::key_named("Enter"));
            }
            keys.push_back({queued_.front()});
            queued_.erase(queued_.begin());
        }
        return keys;
    }

private:
    int problem_;
    bool right_;
    int polls_ = 0;
    std::vector<rt::Key> queued_;
};

// One run: "bank problem clock right|wrong trace-hash png-hash".
std::string golden_run(int bank, int problem, const std::string& clock, bool right) {
    reset_state();
    std::vector<rt::TraceEntry> trace, seen;
    Pupil pupil(problem, right);
    rt::install(rt::make_headless({.time = clock, .key_source = [&] {
                                       seen.insert(seen.end(), trace.begin(), trace.end());
                                       return pupil.next(trace);
                                   }}));
    rt::set_trace(&trace);
    run_program(program_of_bank(bank));
    rt::set_trace(nullptr);
    seen.insert(seen.end(), trace.begin(), trace.end());
    // The run did what it is named after.
    EXPECT_EQ(g.attempt_count, right ? 1 : 3) << bank << " " << problem << " " << clock;
    EXPECT_EQ(g.mark_result, right ? 2 : 1) << bank << " " << problem << " " << clock;
    std::string jsonl;
    for (const auto& e : seen) jsonl += rt::to_json(e) + '\n';
    const std::string png = testing::TempDir() + "/golden.png";
    EXPECT_TRUE(rt::write_png(rt::backend().canvas(), png));
    std::ostringstream line;
    line << bank << ' ' << problem << ' ' << clock << ' ' << (right ? "right" : "wrong") << ' ' << hex(fnv1a(jsonl))
         << ' ' << hex(fnv1a(slurp(png)));
    return line.str();
}

TEST(Golden, EveryProblemDrawsWhatItDrewWhenTheHashesWereRecorded) {
    std::vector<std::string> runs;
    for (int bank : {1, 2})
        for (int problem = 1; problem <= program_of_bank(bank).problem_count; ++problem)
            for (const char* clock : {"00:00:07", "10:59:59", "23:59:59"})
                for (bool right : {true, false}) runs.push_back(golden_run(bank, problem, clock, right));

    if (const char* mode = std::getenv("VARNEL_GOLDEN"); mode && std::string(mode) == "record") {
        std::ofstream f(kRuns);
        for (const std::string& r : runs) f << r << '\n';
        ASSERT_TRUE(f.good()) << "cannot write " << kRuns;
        return;
    }
    std::istringstream recorded(slurp(kRuns));
    std::vector<std::string> expected;
    for (std::string line; std::getline(recorded, line);) expected.push_back(line);
    ASSERT_EQ(expected.size(), runs.size()) << kRuns << " holds another set of runs: record it anew";
    for (std::size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i], expected[i]);
}

}  // namespace
