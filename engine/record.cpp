// The practice record: one row for each problem worked in a practice, kept the
// moment the problem ends, and one for a problem left unfinished, with what it
// had so far. Browsing keeps nothing. The rows are the device's to keep
// (runtime/record.hpp); this file only makes them.
#include <cmath>
#include <string>
#include <vector>

#include "engine/engine.hpp"
#include "runtime/record.hpp"

namespace {

// The problem under way, as far as it has gone.
struct Worked {
    bool open = false;
    std::string started;
    double start_seconds = 0;
    float run = 0, problem = 0;
    std::string first_mark;
    float attempts = 0, hints = 0;
    std::vector<std::string> answers;   // each marked answer, its blanks joined
    bool sign_error = false, self_check = false;
} worked;

const std::string kBlanks = "，", kAttempts = " / ";

std::string number(float n) { return std::to_string(static_cast<long>(std::lround(n))); }

// A typed text as the pupil typed it: the symbols of the function keys as
// themselves, everything else as it is.
std::string as_typed(const Text& typed) {
    static const std::string symbols = "!@[]&%'$?~";
    static const char* const shown[] = {"√", "±", "≦", "≧", "π", "°", "∠", "≡", "∽", "△"};
    std::string out;
    for (char c : sjis::to_utf8(typed)) {
        const auto at = symbols.find(c);
        out += at == std::string::npos ? std::string(1, c) : shown[at];
    }
    return out;
}

// The blanks joined; nothing while none holds anything (a problem left before
// it asked).
std::string blanks_of(const Text& (*blank)(float k)) {
    std::string out;
    bool any = false;
    for (float k = 1; k <= g.blank_count; ++k) {
        out += (k > 1 ? kBlanks : "") + as_typed(blank(k));
        any = any || !blank(k).empty();
    }
    return any ? out : "";
}

// A wrong blank of the right size with the other sign: "3" or "+3" for "-3".
bool wrong_sign(const Text& typed, const Text& accepted) {
    const auto size = [](const Text& t) { return !t.empty() && (t[0] == '+' || t[0] == '-') ? t.substr(1) : t; };
    const auto negative = [](const Text& t) { return !t.empty() && t[0] == '-'; };
    return !size(typed).empty() && size(typed) == size(accepted) && negative(typed) != negative(accepted);
}

rt::RecordRow row_of(const char* result) {
    const auto all = [](const std::vector<std::string>& parts) {
        std::string out;
        for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? kAttempts : "") + parts[i];
        return out;
    };
    return {worked.started,
            rt::record_name(),
            sjis::to_utf8(g.title_text),
            number(worked.run),
            number(worked.problem),
            sjis::to_utf8(g.bank->topic(static_cast<int>(worked.problem))),
            worked.first_mark,
            result,
            number(worked.attempts),
            number(worked.hints),
            all(worked.answers),
            blanks_of([](float k) -> const Text& { return g.expected(k, 1); }),
            worked.sign_error ? "✓" : "",
            worked.self_check ? "✓" : "",
            number(std::floor(rt::seconds() - worked.start_seconds))};
}

}  // namespace

void record_problem_started() {
    record_problem_left();
    if (g.view_mode == 1) return;
    worked = {.open = true,
              .started = rt::date_time_text(),
              .start_seconds = rt::seconds(),
              .run = g.practice_runs,
              .problem = g.problem_no};
    rt::record_pending(row_of("中断"));
}

void record_self_check() { worked.self_check = true; }

void record_first_mark() { worked.first_mark = g.mark_result == 2 ? "○" : "×"; }

void record_hint() {
    if (!worked.open) return;
    worked.hints += 1;
    rt::record_pending(row_of("中断"));
}

void record_answer() {
    if (!worked.open) return;
    worked.attempts += 1;
    worked.answers.push_back(blanks_of([](float k) -> const Text& { return g.typed[k]; }));
    for (float k = 1; k <= g.blank_count; ++k) {
        const bool wrong = g.blank_count == 1 ? g.mark_result != 2 : !blank_right(k);
        if (wrong && wrong_sign(g.typed[k], g.expected(k, 1))) worked.sign_error = true;
    }
    rt::record_pending(row_of("中断"));
}

void record_problem_finished() {
    if (!worked.open) return;
    worked.open = false;
    rt::record_row(row_of(g.mark_result == 2 ? "正解" : "不正解"));
}

void record_problem_left() {
    if (!worked.open) return;
    worked.open = false;
    rt::record_row(row_of("中断"));
}
