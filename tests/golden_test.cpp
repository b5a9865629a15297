// Golden runs: every problem of both programs at three clock times, answered
// right at once and answered wrong three times, from the main menu to the
// menu after the problem. What each run drew (the trace of every drawing call
// and key) and showed (the pixels of its last screen) is kept as hashes in
// tests/golden/runs.txt, the program's menus and grid apart from each
// problem's own screens, so that a problem added to a program changes its
// "menu" line and no other problem's line:
//
//     1 menu T P          the main menu, the start number and the practice's
//                         title strip and grid, up to problem 1's start: T the
//                         trace, P the strip's pixels at the end of that run
//                         (the problem count shows in both)
//     1 next-step T       the menu after a problem that is not the last
//     1 end-of-bank T     the menu after the last problem
//     1 5 10:59:59 right T P
//                         problem 5's own screens: T the trace from its start
//                         routine (which clears the screen under the title
//                         strip) to the menu after it, P the pixels under the
//                         strip at the end, the menu's line left out
//
// A change that should leave every screen as it was must leave every hash as
// it was. When a screen is meant to change, record the hashes anew and read
// the difference of tests/golden/runs.txt in the commit:
//     VARNEL_GOLDEN=record build/varnel-tests --gtest_filter='Golden.*'
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <tuple>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/backend.hpp"
#include "runtime/headless.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"
#include "tools/player.hpp"

namespace {

const std::string kRuns = std::string(VARNEL_SOURCE_DIR) + "/tests/golden/runs.txt";

using Trace = std::vector<rt::TraceEntry>;

// The title strip over every practice screen, and the line of the menu after a problem.
constexpr int kStripBottom = 54, kMenuLineTop = 630, kMenuLineBottom = 646;

class Fnv1a {
public:
    void add(const void* bytes, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) h_ = (h_ ^ static_cast<const unsigned char*>(bytes)[i]) * 1099511628211ull;
    }
    std::string hex() const {
        char buf[17];
        std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h_));
        return buf;
    }

private:
    std::uint64_t h_ = 1469598103934665603ull;
};

std::string hash(const Trace& trace) {
    Fnv1a h;
    for (const auto& e : trace) {
        const std::string line = rt::to_json(e) + '\n';
        h.add(line.data(), line.size());
    }
    return h.hex();
}

// The pixels of the last screen in the bands of dot rows [from, to) given.
std::string hash(std::initializer_list<std::pair<int, int>> bands) {
    const rt::Canvas& canvas = rt::backend().canvas();
    const auto row = [&](int dots) { return static_cast<std::size_t>(std::lround(dots * canvas.scale())); };
    const std::size_t width = static_cast<std::size_t>(canvas.width());
    Fnv1a h;
    for (const auto& [from, to] : bands)
        h.add(canvas.pixels() + row(from) * width, (row(to) - row(from)) * width * sizeof(std::uint32_t));
    return h.hex();
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

    std::vector<rt::ScriptKey> next(Trace& trace) {
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

// A problem's start routine begins by clearing the screen under the title strip.
bool clears_under_the_strip(const rt::TraceEntry& e) {
    return e.op == "line" && e.mode == "fill" && e.x1 == 0 && e.y1 == kStripBottom && e.x2 == 1440 && e.y2 == 900;
}

bool menu_after_problem(const rt::TraceEntry& e) {
    const std::string wait = wait_shown({e}, "");
    return wait == "next step" || wait == "end of bank";
}

struct GoldenRun {
    std::string name;                    // "bank problem clock right|wrong"
    Trace before, problem, after;        // what it drew and the keys: up to the problem's start, its own, the menu after
    std::string problem_pixels;          // under the strip, the menu's line left out
    std::string strip_pixels;
    Trace trace() const {
        Trace all = before;
        all.insert(all.end(), problem.begin(), problem.end());
        all.insert(all.end(), after.begin(), after.end());
        return all;
    }
};

GoldenRun golden_run(int bank, int problem, const std::string& clock, bool right) {
    reset_state();
    Trace trace, seen;
    Pupil pupil(problem, right);
    rt::install(rt::make_headless({.time = clock, .key_source = [&] {
                                       seen.insert(seen.end(), trace.begin(), trace.end());
                                       return pupil.next(trace);
                                   }}));
    rt::set_trace(&trace);
    run_program(program_of_bank(bank));
    rt::set_trace(nullptr);
    seen.insert(seen.end(), trace.begin(), trace.end());
    std::ostringstream name;
    name << bank << ' ' << problem << ' ' << clock << ' ' << (right ? "right" : "wrong");
    // The run did what it is named after.
    EXPECT_EQ(g.attempt_count, right ? 1 : 3) << name.str();
    EXPECT_EQ(g.mark_result, right ? 2 : 1) << name.str();

    const auto start = std::find_if(seen.begin(), seen.end(), clears_under_the_strip);
    const auto menu = std::find_if(start, seen.end(), menu_after_problem);
    EXPECT_TRUE(start != seen.end() && menu != seen.end()) << name.str() << ": no problem, or no menu after it";
    return {name.str(), Trace(seen.begin(), start), Trace(start, menu), Trace(menu, seen.end()),
            hash({{kStripBottom, kMenuLineTop}, {kMenuLineBottom, 900}}), hash({{0, kStripBottom}})};
}

// Every golden run, made once for all the tests here.
const std::vector<GoldenRun>& golden_runs() {
    static const std::vector<GoldenRun> runs = [] {
        std::vector<GoldenRun> out;
        for (int bank : {1, 2})
            for (int problem = 1; problem <= program_of_bank(bank).problem_count; ++problem)
                for (const char* clock : {"00:00:07", "10:59:59", "23:59:59"})
                    for (bool right : {true, false}) out.push_back(golden_run(bank, problem, clock, right));
        return out;
    }();
    return runs;
}

// The lines of runs.txt, each bank's menus first, then its problems.
std::vector<std::string> golden_lines() {
    std::vector<std::string> lines;
    for (int bank : {1, 2}) {
        const int last = program_of_bank(bank).problem_count;
        const auto run_of = [&](int problem) -> const GoldenRun& {
            return *std::find_if(golden_runs().begin(), golden_runs().end(), [&](const GoldenRun& r) {
                return r.name.starts_with(std::to_string(bank) + ' ' + std::to_string(problem) + ' ');
            });
        };
        const std::string b = std::to_string(bank) + ' ';
        lines.push_back(b + "menu " + hash(run_of(1).before) + ' ' + run_of(1).strip_pixels);
        if (last > 1) lines.push_back(b + "next-step " + hash(run_of(1).after));
        lines.push_back(b + "end-of-bank " + hash(run_of(last).after));
        for (const GoldenRun& r : golden_runs())
            if (r.name.starts_with(b)) lines.push_back(r.name + ' ' + hash(r.problem) + ' ' + r.problem_pixels);
    }
    return lines;
}

// What a line is of ("1 menu", "1 5 10:59:59 right"): the line without its hashes.
std::string name_of(const std::string& line) {
    std::istringstream words(line);
    std::string name;
    for (std::string w; words >> w;)
        if (w.size() != 16 || w.find_first_not_of("0123456789abcdef") != std::string::npos)
            name += (name.empty() ? "" : " ") + w;
    return name;
}

TEST(Golden, EveryProblemDrawsWhatItDrewWhenTheHashesWereRecorded) {
    const std::vector<std::string> lines = golden_lines();
    if (const char* mode = std::getenv("VARNEL_GOLDEN"); mode && std::string(mode) == "record") {
        std::ofstream f(kRuns);
        for (const std::string& line : lines) f << line << '\n';
        ASSERT_TRUE(f.good()) << "cannot write " << kRuns;
        return;
    }
    std::map<std::string, std::string> made, recorded;
    for (const std::string& line : lines) made[name_of(line)] = line;
    std::istringstream file(slurp(kRuns));
    for (std::string line; std::getline(file, line);) recorded[name_of(line)] = line;
    for (const auto& [name, line] : made)
        if (!recorded.contains(name)) ADD_FAILURE() << "not recorded: " << line;
        else EXPECT_EQ(line, recorded[name]) << "(made, recorded)";
    for (const auto& [name, line] : recorded)
        if (!made.contains(name)) ADD_FAILURE() << "recorded, not made: " << line;
}

}  // namespace

namespace {

// Relative luminance and contrast ratio, as WCAG defines them.
double luminance(rt::Rgb c) {
    auto channel = [](unsigned char v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
}

double contrast(int a, int b) {
    double x = luminance(rt::palette(a)), y = luminance(rt::palette(b));
    if (x < y) std::swap(x, y);
    return (x + 0.05) / (y + 0.05);
}

// The colour pairs a trace draws: text on the ground under it, and figures
// (lines, circles, outlines and the borders of boxes, and boxes drawn inside
// other boxes) on theirs. The ground at a dot is the fill of the last filled
// box drawn over it since the screen was cleared. A box drawn on the screen's
// background is a panel: its border, not its fill, has to stand out.
class Pairs {
public:
    void read(const std::vector<rt::TraceEntry>& trace) {
        for (const rt::TraceEntry& e : trace) {
            if (e.op == "cls") ground_.clear();
            else if (e.op == "line" && e.mode == "fill") fill(e);
            else if (e.op == "line" && e.mode == "box" && e.c != 0)   // an outline: against what lies outside it
                figure(e, ground_at(std::min(e.x1, e.x2) - 1, std::min(e.y1, e.y2) - 1));
            else if (e.op == "line" && e.c != 0) figure(e, ground_along(e.x1, e.y1, e.x2, e.y2));
            else if (e.op == "circle" && e.c != 0) figure(e, ground_at(e.x1, e.y1 + e.r));
            else if (e.op == "symbol" && e.text.find_first_not_of(" 　") != std::string::npos)
                text(e, e.c, ground_at(e.x1 + 4, e.y1 + 8 * (e.sy == 0 ? 1 : e.sy)));
            else if (e.op == "print" && e.text.find_first_not_of(' ') != std::string::npos)
                text(e, 15, ground_at(8 * e.x1 + 4, 16 * e.y1 + 8));
        }
    }

    // "text 5 on 8: 2.80 < 4.5, e.g. {...}" for every pair below its goal.
    std::vector<std::string> below_goal() const {
        std::vector<std::string> out;
        for (const auto& [key, example] : seen_) {
            const auto [kind, fg, bg] = key;
            const double goal = kind == "text" ? 4.5 : 3.0, ratio = contrast(fg, bg);
            if (ratio >= goal) continue;
            char buf[96];
            std::snprintf(buf, sizeof buf, "%s %d on %d: %.2f < %.1f, e.g. ", kind.c_str(), fg, bg, ratio, goal);
            out.push_back(buf + example);
        }
        return out;
    }
    std::size_t size() const { return seen_.size(); }

private:
    struct Box {
        float x0, y0, x1, y1;
        int colour;
    };

    int ground_at(float x, float y) const {
        for (auto b = ground_.rbegin(); b != ground_.rend(); ++b)
            if (x >= b->x0 && x <= b->x1 && y >= b->y0 && y <= b->y1) return b->colour;
        return 0;
    }
    // A line's ground: the one under most of its length.
    int ground_along(float x1, float y1, float x2, float y2) const {
        std::map<int, int> votes;
        for (int i = 0; i <= 8; ++i) votes[ground_at(x1 + (x2 - x1) * i / 8, y1 + (y2 - y1) * i / 8)]++;
        return std::max_element(votes.begin(), votes.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    }

    void fill(const rt::TraceEntry& e) {
        const Box b{std::min(e.x1, e.x2), std::min(e.y1, e.y2), std::max(e.x1, e.x2), std::max(e.y1, e.y2), e.fill};
        const int under = ground_at((b.x0 + b.x1) / 2, (b.y0 + b.y1) / 2);
        if (e.c != e.fill) pair("figure", e.c, ground_at(b.x0 - 1, b.y0 - 1), e);
        else if (e.fill != 0 && under != 0) figure(e, under);
        ground_.push_back(b);
    }
    void figure(const rt::TraceEntry& e, int bg) { pair("figure", e.op == "line" && e.mode == "fill" ? e.fill : e.c, bg, e); }
    void text(const rt::TraceEntry& e, int fg, int bg) { pair("text", fg, bg, e); }
    void pair(const std::string& kind, int fg, int bg, const rt::TraceEntry& e) {
        if (fg != bg) seen_.try_emplace({kind, fg, bg}, rt::to_json(e));
    }

    std::vector<Box> ground_;
    std::map<std::tuple<std::string, int, int>, std::string> seen_;
};

// Every pair of colours the drill draws on every screen (the menus, every
// problem's question, hints and worked answer, the prompts and marks, browsing,
// the error screen) reaches 4.5:1 for text and 3:1 for figures.
TEST(Contrast, EveryPairTheDrillDrawsIsLegible) {
    Pairs pairs;
    for (const GoldenRun& r : golden_runs()) pairs.read(r.trace());
    for (int bank : {1, 2}) {   // browsing every problem, and the end of the bank's practice
        std::string browse = "2", last = "1" + std::to_string(program_of_bank(bank).problem_count) + "{Enter}";
        for (int i = 0; i < 12; ++i) browse += "x{Enter}";
        pairs.read(play({.bank = bank, .time = "10:59:59", .keys = browse}).trace);
        pairs.read(play({.bank = bank, .time = "10:59:59", .keys = last + "x0{Enter}{Space}x0{Enter}{Space}x0{Enter}"}).trace);
    }
    pairs.read(std::vector<rt::TraceEntry>{{.op = "symbol", .x1 = 288, .y1 = 432, .sx = 1, .sy = 1, .c = 13,
                                            .text = "エラーが発生しました。"}});   // the error screen's line
    EXPECT_GT(pairs.size(), 20u);
    const std::vector<std::string> low = pairs.below_goal();
    EXPECT_TRUE(low.empty()) << [&] {
        std::string all;
        for (const std::string& l : low) all += l + "\n";
        return all;
    }();
}

}  // namespace
