// The problem-script services: the registration of problems in their banks,
// the common start routine, and the small drawing and answer helpers the
// problem files are written in.
#include "problems/script/script.hpp"

#include <array>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>

#include "runtime/screen.hpp"

namespace script {

namespace {

constexpr int kSlots = 25;   // problem numbers 1..24; slot 0 stays empty

using Slots = std::array<Problem*, kSlots>;

// One table per bank, filled while the problem files' objects are constructed.
// Function-local, so it exists before the first registration whatever the
// order in which the files are initialised.
std::map<int, Slots>& tables() {
    static std::map<int, Slots> banks;
    return banks;
}

// A bank's dispatch tables: the problem registered in slot `no`.
class ScriptBank final : public Bank {
public:
    explicit ScriptBank(int which) : which_(which) {}

    Next start(int no) override { return script::start(slot(no)); }
    void hint1(int no) override { slot(no).hint1(); }
    void hint2(int no) override { slot(no).hint2(); }
    void answer(int no) override { slot(no).answer(); }
    Text topic(int no) override {
        const Slots& slots = tables()[which_];
        return no >= 1 && no < kSlots && slots[no] ? slots[no]->topic : Text();
    }

private:
    Problem& slot(int no) {
        Slots& slots = tables()[which_];
        if (no < 1 || no >= kSlots || slots[no] == nullptr)
            throw rt::Fault("no problem " + std::to_string(no) + " in bank " + std::to_string(which_));
        return *slots[no];
    }
    int which_;
};

int palette_index(float c) { return rt::whole(c); }

}  // namespace

Problem::Problem(int bank, int number, Text topic, Panel panel)
    : number(number), topic(std::move(topic)), panel(panel) {
    if (number < 1 || number >= kSlots)
        throw rt::Fault("problem number " + std::to_string(number) + " outside the bank's slots");
    Problem*& slot = tables()[bank][number];
    if (slot != nullptr)
        throw rt::Fault("problem " + std::to_string(number) + " of bank " + std::to_string(bank) +
                        " registered twice");
    slot = this;
}

Bank& bank(int which) {
    static std::map<int, ScriptBank> banks;
    return banks.try_emplace(which, which).first->second;
}

namespace {
std::map<int, Program>& programs() {
    static std::map<int, Program> defined;
    return defined;
}
}  // namespace

ProgramDefinition::ProgramDefinition(int which, const char* title, int problem_count, const char* subject) {
    programs()[which] = {title, problem_count, nullptr, subject};
}

Program program(int which) {
    const auto found = programs().find(which);
    if (found == programs().end()) throw std::logic_error("no program is defined for bank " + std::to_string(which));
    const auto [title, count, unused, subject] = found->second;
    const Slots& slots = tables()[which];
    for (int no = 1; no <= count; ++no)
        if (no >= kSlots || slots[no] == nullptr)
            throw std::logic_error(std::string(title) + ": problem " + std::to_string(no) + " of " +
                                   std::to_string(count) + " is not registered");
    return {title, count, &bank(which), subject};
}

// ---- the start routine ----------------------------------------------------

namespace {

// Everything of the previous problem below the title strip disappears.
void clear_work_area() { rt::line(0, 54, 1440, 900, 0, rt::Mode::Fill, 0); }

// "ＮＯ" with the problem's number under it, and the question panel.
void header_and_panel(const Panel& p) {
    rt::line(4, p.top, 32, 36, 13, rt::Mode::Fill, 8, true);
    rt::symbol(4, p.top, "ＮＯ"_sj, 1, 1, 7);
    float x = g.problem_no < 10 ? 12 : 4;   // " 10" needs the extra cell on the left
    rt::symbol(x, p.top + 18, rt::str(g.problem_no), 1, 1, 5);
    rt::line(p.left, p.top - 4, p.right, p.bottom + 4, 13, rt::Mode::Fill, 2);
}

// num_text, aux_text and the pen's texts from the numbers as they stand now.
void number_texts() {
    for (int i = 1; i <= 40; ++i) {
        num_text[i] = text_of(num[i]);
        aux_text[i] = text_of(aux[i]);
    }
    pen_x_text = text_of(pen_x);
    pen_y_text = text_of(pen_y);
}

}  // namespace

Next start(Problem& problem) {
    g.problem_no = static_cast<float>(problem.number);
    rt::turn_page();
    speak("問題" + std::to_string(problem.number));
    clear_work_area();
    header_and_panel(problem.panel);
    for (int k = 1; k <= 5; ++k) {
        answer_label[k] = "";
        expected(k, 1) = "";
        typed[k] = "";
    }
    record_problem_started();
    g.alternative = "";
    problem.values();
    number_texts();
    problem.fixups();
    problem.question();
    problem.answers();
    g.expected_all = expected(1, 1) + expected(2, 1) + expected(3, 1) + expected(4, 1) + expected(5, 1);
    // The prompt line sits above the answer line; without a prompt the empty
    // text is drawn, which still leaves the pen there.
    text(11, g.answer_x - 48, g.answer_y - 36 - 4, problem.prompt());
    g.attempt_count = 0;
    return Next{&attempt_loop};
}

// ---- values ----------------------------------------------------------------

float RND() { return rt::rnd(); }
float ABS(float n) { return std::fabs(n); }
void clock_seeding() { ::clock_seeding(); }

Text text_of(float n) {
    g.work_string = rt::str(n);
    remove_spaces();
    return g.work_string;
}

Text signed_text(float n) { return n > 0 ? "+" + text_of(n) : text_of(n); }

Text fraction(float numerator, float denominator) {
    g.frac_den = denominator;
    g.frac_num = numerator;
    build_fraction();
    return g.frac_markup;
}

Text stripped(const Text& markup) {
    g.work_string = markup;
    strip_answer_marks();
    return g.work_string;
}

// ---- question, hint and answer items -------------------------------------

void text(float colour, float x, float y, const Text& markup) {
    pen_x = x;
    pen_y = y;
    then(colour, markup);
}

void then(float colour, const Text& markup) {
    ink = colour;
    then(markup);
}

void then(const Text& markup) {
    g.markup_text = markup;
    render_markup();
}

void boxed(const Text& label, float width, float height, float fill, float border, float colour) {
    g.work_string = label;
    g.box_width = width;
    g.box_height = height;
    g.box_border = border;
    g.box_fill = fill;
    ink = colour;
    draw_boxed_label();
}

void key_pause() { ::key_pause(); }

void line(float x1, float y1, float x2, float y2, float c) { rt::line(x1, y1, x2, y2, palette_index(c)); }

void box(float x1, float y1, float x2, float y2, float c) {
    rt::line(x1, y1, x2, y2, palette_index(c), rt::Mode::Box);
}

void filled_box(float x1, float y1, float x2, float y2, float border, float fill) {
    rt::line(x1, y1, x2, y2, palette_index(border), rt::Mode::Fill, palette_index(fill));
}

void filled_box(float x1, float y1, float x2, float y2, float c) { filled_box(x1, y1, x2, y2, c, c); }

void circle(float x, float y, float r, float c) { rt::circle(x, y, r, palette_index(c)); }

void disc(float x, float y, float r, float border, float fill) {
    rt::circle(x, y, r, palette_index(border), true, palette_index(fill));
}

void graphic_text(float x, float y, const Text& t, float scale, float c) {
    rt::symbol(x, y, t, scale, scale, palette_index(c));
}

// ---- answer layout and accepted answers ----------------------------------

void blanks(int count, std::initializer_list<Text> labels) {
    blank_count = static_cast<float>(count);
    int k = 0;
    for (const Text& label : labels) answer_label[k++] = label;
}

void self_check() {
    record_self_check();
    blanks(1, {"  ", "　　"_sj, "  ", " 　"_sj, " 　"_sj});
    expected(1, 1) = "1";
    for (int k = 1; k <= 4; ++k) expected(k, 2) = "";
    alternative2_pen();
}

void alternative2_mk() { alternative2 = "mk" + expected(1, 2); }

void alternative2_pen() { alternative2 = pen_x_text + pen_y_text; }

Text self_check_prompt() { return "正解なら１、間違いなら０を入力"_sj; }

}  // namespace script
