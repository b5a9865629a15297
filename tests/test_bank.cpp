#include "tests/test_bank.hpp"

#include "problems/script/script.hpp"
#include "runtime/headless.hpp"

namespace test_bank {

namespace {

using namespace script;

Text marker(const std::string& what, int n) { return "<" + what + std::to_string(n) + ">"; }

struct Tiny final : Problem {
    Tiny(int n) : Problem(kBank, n, "小さな問題"_sj, {48, 63, 480, 171}) {}

    void values() override {
        num[1] = 10.0f + static_cast<float>(number);
        num[2] = -4;
        aux[1] = static_cast<float>(number) + 0.5f;
    }
    void question() override {
        graphic_text(64, 72, marker("q", number), 1, 15);
        text(15, 64, 99, "次の数を答えなさい。"_sj);
    }
    void answers() override {
        if (number == 2) {
            self_check();
            return;
        }
        if (number == 3) {
            blanks(2, {" ", " ", " ", " ", " "});
            expected(2, 1) = num_text[2];
        } else {
            blanks(1, {" ", " ", " ", " ", " "});
        }
        expected(1, 1) = num_text[1];
        for (int k = 1; k <= 4; ++k) expected(k, 2) = "";
        alternative2_mk();
    }
    Text prompt() override { return number == 2 ? self_check_prompt() : Text{}; }
    void hint1() override { graphic_text(48, 288, marker("hint1 ", number), 1, 13); }
    void hint2() override { graphic_text(48, 306, marker("hint2 ", number), 1, 13); }
    void answer() override { graphic_text(48, 324, marker("answer ", number), 1, 13); }
};

Tiny problems[11] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

}  // namespace

Bank& bank() { return script::bank(kBank); }

std::string right_keys(int n) {
    if (n == 2) return "1{Enter}";
    if (n == 3) return "13{Enter}-4{Enter}";
    return std::to_string(10 + n) + "{Enter}";
}

std::vector<rt::TraceEntry> run(const std::string& keys) {
    reset_state();
    rt::install(rt::make_headless({.time = "12:00:00", .keys = rt::parse_key_script(keys)}));
    std::vector<rt::TraceEntry> trace;
    rt::set_trace(&trace);
    run_program(Program{"varnel1", 11, &bank()});
    rt::set_trace(nullptr);
    return trace;
}

int count_text(const std::vector<rt::TraceEntry>& trace, const std::string& text) {
    int n = 0;
    for (const auto& e : trace)
        if (e.op == "symbol" && e.text == text) ++n;
    return n;
}

std::vector<std::string> markers(const std::vector<rt::TraceEntry>& trace) {
    std::vector<std::string> out;
    for (const auto& e : trace)
        if (e.op == "symbol" && !e.text.empty() && e.text.front() == '<') out.push_back(e.text);
    return out;
}

}  // namespace test_bank
