// The practice record: one row for each problem worked in a practice, kept the
// moment the problem ends, and one for a problem left unfinished, with what it
// had so far. Browsing keeps nothing. Each row names who practised, and the
// practice by its number on the device. The rows are the device's to keep
// (runtime/record.hpp); this file only makes them.
#include <cmath>
#include <string>
#include <vector>

#include "engine/engine.hpp"
#include "runtime/record.hpp"

namespace {

// The practice under way: its number on this device.
int practice = 0;

// The problem under way, as far as it has gone.
struct Worked {
    bool open = false;
    std::string started;
    rt::Pupil pupil;
    double start_seconds = 0;
    float problem = 0;
    int practice = 0;
    std::string first_mark;
    float attempts = 0, hints = 0;
    std::vector<std::string> answers;   // each marked answer, its blanks joined
    std::string closed;                 // the blanks closed so far on an answer line not yet marked
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

// What a self-marked answer says: the pupil's own verdict on the notebook.
std::string self_marked(const std::string& typed) {
    if (typed == "1") return "自己採点：正解";
    if (typed == "0") return "自己採点：間違い";
    return "自己採点：" + typed;
}

rt::RecordRow row_of(const char* result) {
    const auto all = [](const std::vector<std::string>& parts) {
        std::string out;
        for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? kAttempts : "") + parts[i];
        if (!worked.closed.empty()) out += (out.empty() ? "" : kAttempts) + worked.closed + "（途中）";
        return out;
    };
    return {worked.started,
            worked.pupil.class_name,
            worked.pupil.number,
            worked.pupil.name,
            sjis::to_utf8(g.title_text),
            std::to_string(worked.practice),
            number(worked.problem),
            sjis::to_utf8(g.bank->topic(static_cast<int>(worked.problem))),
            worked.first_mark,
            result,
            number(worked.attempts),
            number(worked.hints),
            all(worked.answers),
            worked.self_check ? "自己採点" : blanks_of([](float k) -> const Text& { return g.expected(k, 1); }),
            worked.sign_error ? "✓" : "",
            worked.self_check ? "✓" : "",
            number(std::floor(rt::seconds() - worked.start_seconds))};
}

}  // namespace

void record_practice_chosen() { rt::record_ask_pupil(); }

void record_practice_started() { practice = rt::record_next_practice(static_cast<int>(g.practice_runs)); }

void record_problem_started() {
    record_problem_left();
    if (g.view_mode == 1) return;
    worked = {.open = true,
              .started = rt::date_time_text(),
              .pupil = rt::record_pupil(),
              .start_seconds = rt::seconds(),
              .problem = g.problem_no,
              .practice = practice};
    rt::record_pending(row_of("中断"));
}

void record_self_check() { worked.self_check = true; }

bool record_self_marked() { return worked.open && worked.self_check; }

void record_hint() {
    if (!worked.open) return;
    worked.hints += 1;
    rt::record_pending(row_of("中断"));
}

void record_blanks_closed() {
    if (!worked.open || worked.self_check) return;
    std::string closed;
    for (float k = 1; k <= g.blank_count - g.blanks_left; ++k) closed += (k > 1 ? kBlanks : "") + as_typed(g.typed[k]);
    if (closed == worked.closed) return;
    worked.closed = closed;
    rt::record_pending(row_of("中断"));
}

void record_answer() {
    if (!worked.open) return;
    worked.closed.clear();
    if (worked.attempts == 0) worked.first_mark = g.mark_result == 2 ? "○" : "×";
    worked.attempts += 1;
    const std::string typed = blanks_of([](float k) -> const Text& { return g.typed[k]; });
    worked.answers.push_back(worked.self_check ? self_marked(typed) : typed);
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
