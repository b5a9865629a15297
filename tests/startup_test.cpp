// Start-up, the error trap and the player's files, through whole headless runs.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "runtime/headless.hpp"
#include "runtime/screen.hpp"
#include "test_bank.hpp"
#include "tools/player.hpp"

namespace {

// A bank whose every start routine reads past the end of an array.
class FaultyBank final : public Bank {
public:
    Next start(int) override {
        g.num[41] = 1;
        return {&attempt_loop};
    }
    void hint1(int) override {}
    void hint2(int) override {}
    void answer(int) override {}
};

int count(const std::vector<rt::TraceEntry>& trace, const std::string& op, const std::string& text = "") {
    int n = 0;
    for (const auto& e : trace) n += e.op == op && (text.empty() || e.text == text);
    return n;
}

std::string slurp(const std::string& path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

TEST(Startup, SetsTheGlobalsAndDeclaresTheArraysForEachProgram) {
    play(program_of_bank(2), {.time = "10:20:30"});
    const int count = program_of_bank(2).problem_count;
    EXPECT_EQ(g.title_text, "varnel2");
    EXPECT_EQ(g.problem_count, count);
    EXPECT_EQ(g.problem_done.upper(), count);
    EXPECT_EQ(g.rnd_seed, 60);
    EXPECT_EQ(g.answer_x, 480);
    EXPECT_EQ(g.answer_y, 576);
    EXPECT_EQ(g.num.upper(), 40);
    EXPECT_EQ(g.frac_text.upper(), 10);
    EXPECT_EQ(g.expected.rows(), 6);
    EXPECT_EQ(g.expected.columns(), 3);
    EXPECT_THROW(g.problem_done[count + 1], rt::Fault);
    EXPECT_THROW(g.num[-1], rt::Fault);

    play(program_of_bank(1), {.time = "00:00:00"});
    EXPECT_EQ(g.title_text, "varnel1");
    EXPECT_EQ(g.problem_done.upper(), program_of_bank(1).problem_count);
    EXPECT_EQ(g.rnd_seed, 0);
}

TEST(Startup, KeysTypedBeforeTheMenuAreDiscarded) {
    // "3" waiting before start-up would end the program at the menu; the flush drops it,
    // so the menu stays and the run ends only when the script's idle polls run out.
    reset_state();
    rt::install(rt::make_headless({.typed_ahead = rt::parse_key_script("3")}));
    std::vector<rt::TraceEntry> trace;
    rt::set_trace(&trace);
    run_program(program_of_bank(1));
    rt::set_trace(nullptr);
    EXPECT_EQ(count(trace, "key", "3"), 1);   // read, by the flush
    EXPECT_GE(count(trace, "symbol", "★"), 3);
    EXPECT_EQ(g.key_text, "");
}

TEST(ErrorTrap, ARuntimeErrorEndsOnTheErrorScreenThatNoKeyLeaves) {
    FaultyBank faulty;
    auto result = play(Program{"varnel1", 11, &faulty}, {.time = "12:00:00", .keys = "11{Enter}123{Enter}{Space}2"});
    const auto& trace = result.trace;
    std::size_t last_cls = 0;
    for (std::size_t i = 0; i < trace.size(); ++i)
        if (trace[i].op == "cls") last_cls = i;
    // After the error: one clear, the message, and nothing else drawn, whatever was typed.
    std::vector<std::string> after;
    for (std::size_t i = last_cls; i < trace.size(); ++i)
        if (trace[i].op != "key") after.push_back(trace[i].op + ":" + trace[i].text);
    EXPECT_EQ(after, (std::vector<std::string>{"cls:", "symbol:エラーが発生しました。マウスで×をクリックして下さい。"}));
    EXPECT_EQ(trace[last_cls + 1].x1, 288);
    EXPECT_EQ(trace[last_cls + 1].y1, 432);
}

TEST(Player, WritesThePngTheTraceAndTheStateAndEndsWithStatusZero) {
    std::string dir = testing::TempDir();
    std::string cmd = std::string(VARNEL_BUILD_DIR) + "/varnel-play --bank 1 --time 12:34:56 --keys '1{Close}' --png " +
                      dir + "/p.png --trace " + dir + "/p.jsonl --state " + dir + "/p.json --scale 0.5";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::string trace = slurp(dir + "/p.jsonl");
    EXPECT_EQ(trace.rfind("{\"op\":\"cls\"}\n", 0), 0u);
    EXPECT_NE(trace.find("{\"op\":\"key\",\"key\":\"1\"}"), std::string::npos);
    EXPECT_NE(trace.find("\"text\":\"何番から始めますか　番号を入力し、Enter キーを押してください。\""), std::string::npos);
    std::string state = slurp(dir + "/p.json");
    EXPECT_NE(state.find("\"title_text\":\"varnel1\""), std::string::npos);
    EXPECT_NE(state.find("\"rnd_seed\":102"), std::string::npos);
    EXPECT_NE(state.find("\"expected\":[[\"\",\"\",\"\"],"), std::string::npos);
    EXPECT_EQ(slurp(dir + "/p.png").substr(1, 3), "PNG");

    for (const char* args : {" --bank 3", " --bank 1 --time 2026-01-01T09:00:00", "", " --keys 1"}) {
        std::string bad = std::string(VARNEL_BUILD_DIR) + "/varnel-play" + args + " 2>" + dir + "/err.txt";
        EXPECT_NE(std::system(bad.c_str()), 0) << args;
    }
    EXPECT_EQ(slurp(dir + "/err.txt").rfind("usage: varnel-play --bank 1|2", 0), 0u) << "no --bank: the usage";
    const std::string help = std::string(VARNEL_BUILD_DIR) + "/varnel-play --help >" + dir + "/help.txt";
    EXPECT_EQ(std::system(help.c_str()), 0);
    EXPECT_EQ(slurp(dir + "/help.txt").rfind("usage: varnel-play --bank 1|2", 0), 0u) << "--help: the usage";
}
