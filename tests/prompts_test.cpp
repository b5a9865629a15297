// The key prompts and the progress grid: which keys let the drill go on, and
// where the grid, its marks and digits stand.
#include "tests/answer_fixture.hpp"
#include "tools/player.hpp"

namespace {

using Prompts = AnswerTest;

// The keys the prompt read, by name.
Lines keys_read(const std::vector<rt::TraceEntry>& trace) {
    Lines out;
    for (const auto& e : trace)
        if (e.op == "key") out.push_back(e.text);
    return out;
}

TEST_F(Prompts, SpacePromptWaitsForTheSpaceBarOnly) {
    install_keys("{Enter}a{Space}");
    space_prompt();
    EXPECT_EQ(g.key_text, " ");
    EXPECT_EQ(keys_read(trace_), (Lines{"Enter", "a", "Space"}));
    int box_fill = -1;
    for (const auto& e : trace_)
        if (e.op == "line" && e.c == 13) box_fill = e.fill;
    EXPECT_EQ(box_fill, 2);
    std::vector<std::pair<float, float>> prints;
    for (const auto& e : trace_)
        if (e.op == "print") prints.emplace_back(e.x1, e.y1);
    EXPECT_EQ(drawn(), (Lines{"fill 568,621 736,648 c13", "スペース　キーを押す 568,630", "fill 568,621 736,648 c0",
                              "print " + std::string(20, ' '), "print " + std::string(27, ' ')}));
    EXPECT_EQ(prints, (std::vector<std::pair<float, float>>{{64, 23}, {50, 22}}));

    // Keys typed after the space bar are flushed.
    install_keys("z", "{Enter}{Space}bc");
    space_prompt();
    Text next;
    while (next.empty()) next = rt::inkey();
    EXPECT_EQ(next, "z");
}

// The space prompt's wipe takes away nothing that was drawn: the question, the
// hints and the worked answers above the answer line look as they did.
TEST(SpacePrompt, ItsWipeLeavesWhatWasDrawnAsItWas) {
    auto band = [] {   // the rows the wipe crosses, and the question panels above them
        const rt::Canvas& screen = rt::backend().canvas();
        return std::vector<std::uint32_t>(screen.pixels() + 250 * screen.width(), screen.pixels() + 400 * screen.width());
    };
    for (const char* keys : {"18{Enter}0{Enter}0{Enter}0{Enter}",   // hint 1: "－４００円" at y 342
                             "14{Enter}k0{Enter}",                  // the worked answer ②
                             "11{Enter}k0{Enter}"}) {               // the panel's lower right corner
        play({.bank = 1, .time = "10:00:00", .keys = keys});
        const auto before = band();
        play({.bank = 1, .time = "10:00:00", .keys = std::string(keys) + "{Space}"});
        EXPECT_TRUE(band() == before) << keys;
    }
}

TEST_F(Prompts, EnterPromptWaitsForEnterAndStaysOnScreen) {
    g.title_text = "varnel1";
    install_keys("{Space}x{Enter}");
    enter_prompt();
    EXPECT_EQ(g.key_text, "\r");
    EXPECT_EQ(keys_read(trace_), (Lines{"Space", "x", "Enter"}));
    EXPECT_EQ(drawn(), (Lines{"fill 472,567 600,603 c8", "box 472,567 600,603 c3", "varnel1 16,9 2x2",
                              "Enterキーを押す 480,576"}));
}

TEST_F(Prompts, KeyPauseTakesAnyOneKey) {
    install_keys("", "qr");
    key_pause();
    EXPECT_EQ(g.key_text, "q");
    EXPECT_EQ(rt::inkey(), "r");  // the keys after the first stay waiting
    Lines seen = drawn();
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen[0], "fill 96,639 400,675 c4");
    EXPECT_EQ(seen[1], "box 96,639 400,675 c13");
    EXPECT_EQ(seen[2], "何 128,648");
    EXPECT_EQ(seen.back(), "fill 0,639 400,675 c0");
    EXPECT_EQ(g.ink, 9);
}

TEST_F(Prompts, ProgressGridGeometry) {
    g.grid_column = 30;
    g.grid_row = 0;
    g.grid_cells = 11;
    g.practice_runs = 3;
    progress_grid();
    int column = -1, row = -1;
    std::string counter;
    for (const auto& e : trace_)
        if (e.op == "print") column = static_cast<int>(e.x1), row = static_cast<int>(e.y1), counter = e.text;
    EXPECT_EQ(8 * column, 216);  // the run counter
    EXPECT_EQ(row, 0);
    EXPECT_EQ(counter, " 3");

    Lines seen = drawn();
    Lines expected = {"fill 220,0 416,53 c0", "box 240,0 416,32 c1", "line 240,18 416,18 c1", "print  3",
                      "回 220,18"};
    for (int x = 256; x <= 400; x += 16) expected.push_back("line " + xy(x, 0) + " " + xy(x, 32) + " c1");
    expected.push_back("1 244,0 0x0");
    for (int k = 2; k <= 9; ++k) expected.push_back(" " + std::to_string(k) + " " + xy(236 + 16 * (k - 1), 0) + " 0x0");
    expected.push_back(" 10 375,0 0x0");  // two digits pulled 5 dots left
    expected.push_back(" 11 391,0 0x0");
    EXPECT_EQ(seen, expected);

    g.grid_cells = 10;
    progress_grid();
    seen = drawn();
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[1], "box 240,0 400,32 c1");
    EXPECT_EQ(seen.back(), " 10 375,0 0x0");

    // Out of range: nothing at all.
    g.grid_cells = 2;
    progress_grid();
    g.grid_cells = 30;
    progress_grid();
    EXPECT_EQ(drawn(), Lines{});
}

TEST_F(Prompts, FirstAttemptMarkAndCompletionDigitSitInTheProblemsCell) {
    g.grid_column = 30;
    g.grid_row = 0;
    g.problem_no = 3;
    g.mark_result = 1;
    first_attempt_mark();
    g.mark_result = 2;
    first_attempt_mark();
    EXPECT_EQ(drawn(), (Lines{"× 272,18 0x0", "○ 272,18 0x0"}));

    g.completion_count = 1;
    completion_digit();
    EXPECT_EQ(drawn(), (Lines{"fill 276,38 283,53 c0", "1 276,38 0x0"}));

    // Repeated twelve times, the digit stops at 9.
    g.completion_count = 0;
    for (int run = 1; run <= 12; ++run) {
        g.completion_count += 1;
        completion_digit();
    }
    Lines seen = drawn();
    EXPECT_EQ(seen.back(), "9 276,38 0x0");
    EXPECT_EQ(seen[seen.size() - 3], "9 276,38 0x0");
    EXPECT_EQ(g.completion_count, 9);
}

}  // namespace
