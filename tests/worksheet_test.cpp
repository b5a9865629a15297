// Worksheets: the key of each problem is what the drill accepts for the same
// clock; the programs' --worksheet writes a PDF whose pages, font and text
// read back, and refuses bad options without writing a file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "engine/engine.hpp"
#include "problems/script/script.hpp"
#include "tools/player.hpp"

namespace {

namespace fs = std::filesystem;

constexpr const char* kClock = "10:20:30";

// The output of a shell command, and its status.
std::pair<std::string, int> shell(const std::string& command) {
    std::string out;
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p) return {"", -1};
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    const int status = ::pclose(p);
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(Worksheet, EveryKeyIsWhatTheDrillAcceptsForTheSameClock) {
    for (int bank : {1, 2}) {
        const Program program = program_of_bank(bank);
        WorksheetOptions options{.versions = 2, .date = "2026-12-10", .time = kClock};
        for (int n = 1; n <= program.problem_count; ++n) options.problems.push_back(n);
        const Worksheets sheets = worksheets(program, options);
        int self_marked = 0, differ = 0;
        for (int n = 1; n <= program.problem_count; ++n) {
            SCOPED_TRACE("varnel" + std::to_string(bank) + " problem " + std::to_string(n));
            const auto& answers = sheets.keys[0][static_cast<std::size_t>(n - 1)];
            differ += answers != sheets.keys[1][static_cast<std::size_t>(n - 1)];
            if (answers.empty()) {   // marked by the pupil: the key shows the answers on the question
                ++self_marked;
                continue;
            }
            // A practice started at n with the same clock, the key's answers typed in.
            std::string keys = "1" + std::to_string(n) + "{Enter}";
            for (const std::string& a : answers) keys += a + "{Enter}";
            play(PlayOptions{.bank = bank, .time = kClock, .keys = keys});
            EXPECT_EQ(g.problem_no, n);
            EXPECT_EQ(g.attempt_count, 1);
            EXPECT_EQ(g.mark_result, 2) << keys;
        }
        EXPECT_EQ(self_marked, bank == 1 ? 4 : 0);
        EXPECT_GE(differ, program.problem_count / 2) << "the second version has values of its own";
    }
}

TEST(Worksheet, ThePdfHasItsPagesItsFontAndItsText) {
    const fs::path pdf = fs::temp_directory_path() / ("varnel-worksheet-" + std::to_string(::getpid()) + ".pdf");
    const auto [said, status] = shell(std::string(VARNEL_BUILD_DIR) + "/varnel1 --worksheet --problems 2-3 --versions 2 --time " +
                                      kClock + " -o " + pdf.string());
    ASSERT_EQ(status, 0) << said;
    // Two versions' sheets, a page each, then their keys, two pages each (the
    // worked answers draw a thermometer beside each problem).
    EXPECT_NE(shell("pdfinfo " + pdf.string()).first.find("Pages:           6\n"), std::string::npos);
    const std::string fonts = shell("pdffonts " + pdf.string()).first;
    EXPECT_NE(fonts.find("+IPAGothic"), std::string::npos) << fonts;   // a subset...
    EXPECT_NE(fonts.find("yes yes yes"), std::string::npos) << fonts;  // ...embedded, with its text
    const std::string text = shell("pdftotext -layout " + pdf.string() + " -").first;
    for (const char* shown : {"varnel1", "正の数・負の数（1）", "第1版", "第2版", "解答", "組", "番号", "名前",
                              "次の温度をいいなさい。", "次の数を、正の符号、負の符号をつけて表しなさい。"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
    fs::remove(pdf);
}

TEST(Worksheet, ABadOptionIsRefusedAndNoFileIsWritten) {
    const fs::path pdf = fs::temp_directory_path() / ("varnel-refused-" + std::to_string(::getpid()) + ".pdf");
    const std::string out = " -o " + pdf.string();
    const struct {
        const char* program;
        std::string args, said;
    } cases[] = {
        {"varnel1", "--problems 12" + out, "there is no problem 12"},
        {"varnel2", "--problems 11" + out, "there is no problem 11"},
        {"varnel1", "--problems 3-1" + out, "runs backwards"},
        {"varnel1", "--problems two" + out, "--problems takes numbers"},
        {"varnel1", "--versions 0" + out, "--versions takes a number from 1 to 60"},
        {"varnel1", "--versions 61" + out, "--versions takes a number from 1 to 60"},
        {"varnel1", "--time 25:00:00" + out, "--time takes a time of day"},
        {"varnel1", "--colour" + out, "unknown option --colour"},
        {"varnel1", "--problems 2", "-o FILE.pdf names the file to write"},
        {"varnel1", "-o", "-o needs a value"},
    };
    for (const auto& c : cases) {
        const auto [said, status] = shell(std::string(VARNEL_BUILD_DIR) + "/" + c.program + " --worksheet " + c.args);
        EXPECT_EQ(status, 2) << c.args;
        EXPECT_NE(said.find(c.said), std::string::npos) << c.args << ": " << said;
        EXPECT_FALSE(fs::exists(pdf)) << c.args;
    }
}

}  // namespace

// Dotted figures stay dotted on paper, and apart by their grey: varnel2's
// problem 4 works out its answer inside a green dotted arc under the black
// dotted hops, and its key says so.
TEST(Worksheet, DottedFiguresPrintDottedTheGreenOnesGrey) {
    WorksheetOptions options{.problems = {4}, .versions = 1, .date = "2026-12-10", .time = kClock};
    const std::vector<std::string> pages = rt::paper::svg_pages(worksheets(program_of_bank(2), options).document);
    ASSERT_EQ(pages.size(), 2u);
    const std::string& key = pages[1];
    EXPECT_NE(key.find("緑の点線"), std::string::npos);
    int black = 0, grey = 0;
    for (std::size_t at = 0; (at = key.find("<path ", at)) != std::string::npos; ++at) {
        const std::string path = key.substr(at, key.find("/>", at) - at);
        if (path.find("stroke-dasharray=\"0 ") == std::string::npos) continue;
        black += path.find("stroke=\"#000000\"") != std::string::npos;
        grey += path.find("stroke=\"#666666\"") != std::string::npos;
    }
    EXPECT_EQ(black, 2) << "the two hops";
    EXPECT_EQ(grey, 1) << "the arc under them";
}
