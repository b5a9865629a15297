// The close button ends a program at once from the error screen too. No key
// sequence leads the shipped programs there (the random-key soak never found
// one), so a bank that faults in its first hint takes the run there; the
// window's own test closes the window at every other wait.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "problems/script/script.hpp"
#include "runtime/headless.hpp"
#include "runtime/screen.hpp"
#include "runtime/trace.hpp"
#include "tools/player.hpp"

namespace {

// The first bank, whose first hint routine meets a runtime error.
class FaultInFirstHint final : public Bank {
public:
    Next start(int no) override { return script::bank(1).start(no); }
    void hint1(int) override { throw rt::Fault("subscript out of range"); }
    void hint2(int no) override { script::bank(1).hint2(no); }
    void answer(int no) override { script::bank(1).answer(no); }
};

}  // namespace

TEST(ErrorScreen, TheCloseButtonEndsTheProgramAtTheFirstPollAndNothingIsDrawnAfter) {
    FaultInFirstHint bank;
    reset_state();
    const std::string message = "エラーが発生しました。マウスで×をクリックして下さい。";
    std::vector<rt::TraceEntry> trace;
    int polls_on_error_screen = 0;
    bool typed = false;
    auto on_error_screen = [&] {
        for (const auto& e : trace)
            if (e.op == "symbol" && e.text == message) return true;
        return false;
    };
    rt::install(rt::make_headless({.time = "12:00:00",
                                   .keys = rt::parse_key_script("12{Enter}0{Enter}0{Enter}"),
                                   .key_source = [&]() -> std::vector<rt::ScriptKey> {
                                       if (!on_error_screen()) return {rt::ScriptKey{{}, true}};
                                       // A key first (it is dropped), then the close button.
                                       ++polls_on_error_screen;
                                       if (!typed) {
                                           typed = true;
                                           return rt::parse_key_script("1");
                                       }
                                       return {rt::ScriptKey{{}, true}};
                                   }}));
    rt::set_trace(&trace);
    run_program({"varnel1", 11, &bank});   // returns: the program ended
    rt::set_trace(nullptr);

    ASSERT_TRUE(on_error_screen());
    EXPECT_EQ(polls_on_error_screen, 2);
    std::size_t at = 0;
    while (!(trace[at].op == "symbol" && trace[at].text == message)) ++at;
    for (std::size_t i = at + 1; i < trace.size(); ++i) EXPECT_EQ(trace[i].op, "key") << rt::to_json(trace[i]);
}
