// The table of weights relative to 56 kg (blanks ① ② and ③ ④ ⑤) and the
// opposite-word problem with its choice between hints and answers: values,
// table cells and their boxes, accepted answers, and whole runs.
#include <gtest/gtest.h>

#include <set>

#include "tests/problem_play.hpp"

namespace {

using namespace problem_play;

std::string whole(float v) { return std::to_string(static_cast<int>(v)); }

// ---- problems 9 and 10 --------------------------------------------------------

TEST(WeightTable, BothProblemsDrawTheSameValuesAndNeverRepeatTheFirst) {
    Starts starts(1);
    std::set<float> a, b, c, e;
    float previous = 0;
    for (int seed = 0; seed < 60; ++seed) {
        starts.start(9 + seed % 2, static_cast<float>(seed));
        EXPECT_NE(g.num[1], previous) << "seed " << seed;
        EXPECT_EQ(g.last_first_value, g.num[1]);
        previous = g.num[1];
        a.insert(g.num[1]);
        b.insert(g.num[4]);
        c.insert(g.num[7]);
        e.insert(g.num[13]);
        for (int i : {1, 4, 7, 13}) {
            EXPECT_EQ(g.num[i + 1], 56 + g.num[i]);
            EXPECT_EQ(g.num[i + 2], g.num[i] < 0 ? -g.num[i] : g.num[i]);
        }
        EXPECT_EQ(g.num[10], 0);
        EXPECT_EQ(g.num[11], 56);
        EXPECT_EQ(g.num[12], 0);
    }
    EXPECT_EQ(a, (std::set<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(c, (std::set<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(b, (std::set<float>{-1, -2, -3, -4, -5, -6, -7, -8, -9}));
    EXPECT_EQ(e, (std::set<float>{-1, -2, -3, -4, -5, -6, -7, -8, -9}));
}

// The glyphs drawn inside the table cell of row r (0..2) and column k (0 for the header, 1..5 pupils).
std::string cell(const Trace& trace, int r, int k) {
    float left = k == 0 ? 80 : 176 + 48 * static_cast<float>(k - 1), right = k == 0 ? 176 : left + 48;
    std::string out;
    for (const auto& t : trace)
        if (t.op == "symbol" && t.y1 >= 180 + 27 * r && t.y1 < 207 + 27 * r && t.x1 >= left && t.x1 < right &&
            t.c == 13 && t.text != "　")
            out += t.text;
    return out;
}

TEST(WeightTable, WeightsOfAAndBAreTheBlanks) {
    Starts starts(1);
    Trace trace = starts.start(9, 11);
    // Eighteen boxes: a 96-dot header and five 48-dot cells in each row, 27 high.
    for (int r = 0; r < 3; ++r) {
        float y = 180 + 27 * static_cast<float>(r);
        EXPECT_TRUE(filled_box(trace, 80, y, 176, y + 27, 15, 10)) << "row " << r;
        for (int k = 0; k < 5; ++k)
            EXPECT_TRUE(filled_box(trace, 176 + 48 * k, y, 224 + 48 * k, y + 27, 15, 10)) << r << "," << k;
    }
    EXPECT_EQ(cell(trace, 0, 0), "生徒");
    EXPECT_EQ(cell(trace, 1, 0), "増減");
    EXPECT_EQ(cell(trace, 2, 0), "体重（ｋｇ）");
    EXPECT_EQ(cell(trace, 0, 1), "Α");
    EXPECT_EQ(cell(trace, 0, 5), "Ｅ");
    // A's difference with its "+", B's with its "-"; C, D and E left empty.
    EXPECT_EQ(cell(trace, 1, 1), shown("+" + whole(g.num[1])));
    EXPECT_EQ(cell(trace, 1, 2), shown(whole(g.num[4])));
    EXPECT_EQ(cell(trace, 1, 3) + cell(trace, 1, 4) + cell(trace, 1, 5), "");
    EXPECT_EQ(cell(trace, 2, 1), "①");
    EXPECT_EQ(x_of(trace, "①", 238), 192);
    EXPECT_EQ(cell(trace, 2, 2), "②");
    EXPECT_EQ(cell(trace, 2, 3), shown(whole(56 + g.num[7])));
    EXPECT_EQ(cell(trace, 2, 4), "５６");
    EXPECT_EQ(cell(trace, 2, 5), shown(whole(56 + g.num[13])));

    // Plain weights are expected, such as "61".
    EXPECT_EQ(g.blank_count, 2);
    EXPECT_EQ(g.expected_all, whole(56 + g.num[1]) + whole(56 + g.num[4]));
    EXPECT_EQ(g.alternative2, "mk");
}

TEST(WeightTable, DifferencesOfCDAndEAreTheBlanks) {
    Starts starts(1);
    Trace trace = starts.start(10, 12);
    EXPECT_EQ(cell(trace, 1, 1), shown("+" + whole(g.num[1])));
    EXPECT_EQ(cell(trace, 1, 3), "③");
    EXPECT_EQ(cell(trace, 1, 4), "④");
    EXPECT_EQ(cell(trace, 1, 5), "⑤");
    EXPECT_EQ(cell(trace, 2, 1) + cell(trace, 2, 2), "");
    EXPECT_EQ(cell(trace, 2, 4), "５６");
    // C heavier carries its "+", D is a bare "0", E its "-".
    EXPECT_EQ(g.blank_count, 3);
    EXPECT_EQ(g.expected(1, 1), "+" + whole(g.num[7]));
    EXPECT_EQ(g.expected(2, 1), "0");
    EXPECT_EQ(g.expected(3, 1), whole(g.num[13]));
    EXPECT_EQ(g.expected(3, 2), "AQ:CQ");
    EXPECT_EQ(g.alternative2, "mk");
}

TEST(WeightTable, WeightsRightAtOnceWithOrWithoutThePlus) {
    run(1, practice_from(1, 9));
    std::string a = g.expected(1, 1), b = g.expected(2, 1), heavier = whole(g.num[3]), lighter = whole(g.num[6]);
    Trace trace = practice_screen(run(1, practice_from(1, 9) + a + "{Enter}" + b + "{Enter}"));
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(grid_mark(trace, 9), "○");
    EXPECT_EQ(row(trace, 90, 15, 528), "①５６ｋｇより" + shown(heavier) + "ｋｇ重いから");
    EXPECT_EQ(row(trace, 126, 15, 528), "５６＋" + shown(heavier) + "＝" + shown(a) + "となり");
    EXPECT_EQ(row(trace, 126, 13, 528), shown(a) + "ｋｇ");
    EXPECT_EQ(row(trace, 180, 15, 528), "②５６ｋｇより" + shown(lighter) + "ｋｇ軽いから");
    EXPECT_EQ(row(trace, 216, 13, 528), shown(b) + "ｋｇ");

    trace = run(1, practice_from(1, 9) + "+" + a + "{Enter}" + b + "{Enter}");
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(count_text(trace, kSpacePrompt), 0);
}

TEST(WeightTable, DifferenceWithoutItsPlusIsWrongThenRightWithIt) {
    run(1, practice_from(1, 10));
    std::string c = g.expected(1, 1), e = g.expected(3, 1);
    ASSERT_EQ(c[0], '+');
    std::string bare = c.substr(1) + "{Enter}0{Enter}" + e + "{Enter}";
    std::string signed_keys = c + "{Enter}0{Enter}" + e + "{Enter}";

    Trace trace = practice_screen(run(1, practice_from(1, 10) + bare + "{Space}" + signed_keys));
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(grid_mark(trace, 10), "×");
    EXPECT_EQ(count_text(trace, kSpacePrompt), 1);
    EXPECT_EQ(row(trace, 90, 15, 528), "③" + shown(whole(56 + g.num[7])) + "－５６＝" + shown(c.substr(1)) + "で");
    EXPECT_EQ(row(trace, 126, 13, 528), shown(c));
    EXPECT_EQ(row(trace, 216, 15, 528), "５６ｋｇちょうどだから");
    EXPECT_EQ(row(trace, 216, 13, 528), "０");
    EXPECT_EQ(row(trace, 306, 13, 528), shown(e));

    trace = run(1, practice_from(1, 10) + signed_keys);
    EXPECT_EQ(grid_mark(trace, 10), "○");
    EXPECT_EQ(count_text(trace, kSpacePrompt), 0);
}

// ---- problem 11 ---------------------------------------------------------------

TEST(OppositeWords, ValuesAndTheirOppositesWithoutTouchingTheFirstValue) {
    Starts starts(1);
    std::set<float> fewer, lighter, deficit, smaller;
    for (int seed = 0; seed < 60; ++seed) {
        g.last_first_value = 4;
        starts.start(11, static_cast<float>(seed));
        EXPECT_EQ(g.last_first_value, 4);
        fewer.insert(g.num[1]);
        lighter.insert(g.num[4]);
        deficit.insert(g.num[7]);
        smaller.insert(g.num[10]);
        for (int i : {1, 4, 7, 10}) EXPECT_EQ(g.num[i + 1], -g.num[i]);
    }
    EXPECT_EQ(fewer, (std::set<float>{3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(lighter, (std::set<float>{9, 10, 11, 12, 13, 14, 15, 16, 17}));
    EXPECT_EQ(deficit, (std::set<float>{-1000, -2000, -3000, -4000, -5000}));
    EXPECT_EQ(smaller, (std::set<float>{-3, -4, -5, -6, -7, -8, -9, -10, -11}));
    EXPECT_EQ(g.expected_all, "1");
    EXPECT_EQ(g.alternative2, g.pen_x_text + g.pen_y_text);
}

TEST(OppositeWords, ZeroBringsHintsOneAtATimeThenTheAnswers) {
    Trace trace = practice_screen(run(1, practice_from(1, 11) + "0{Enter}"));
    EXPECT_EQ(row(trace, 536, 11), "ヒントなら０、解答なら１、を入力");
    EXPECT_EQ(row(trace, 90, 13, 528), "「＋」は「－」に、「－」は「＋」にかえる。");
    EXPECT_EQ(row(trace, 153, 11, 528), "");
    EXPECT_EQ(row(trace, 324, 13), "");
    EXPECT_EQ(count_text(trace, kSpacePrompt), 1);

    trace = practice_screen(run(1, practice_from(1, 11) + "0{Enter}{Space}0{Enter}{Space}0{Enter}"));
    EXPECT_EQ(row(trace, 153, 11, 528), "「少ない」→「多い」");
    EXPECT_EQ(row(trace, 234, 11, 528), "「小さい」→「大きい」");
    EXPECT_EQ(grid_mark(trace, 11), "×");
    // The deficit is negative in the question; its opposite gets an added "+".
    EXPECT_EQ(row(trace, 225, 15), "③" + shown(whole(g.num[7])) + "円の赤字");
    EXPECT_EQ(row(trace, 378, 13), "③＋" + shown(whole(-g.num[7])) + "円の黒字");
    EXPECT_EQ(row(trace, 324, 13), "①" + shown(whole(-g.num[1])) + "個多い");
    EXPECT_EQ(row(trace, 405, 13), "④＋" + shown(whole(-g.num[10])) + "大きい");
    EXPECT_TRUE(ended(trace));
}

TEST(OppositeWords, OneShowsEverythingAtOnce) {
    Trace trace = run(1, practice_from(1, 11) + "1{Enter}");
    EXPECT_EQ(g.mark_result, 2);
    EXPECT_EQ(grid_mark(trace, 11), "○");
    EXPECT_EQ(count_text(trace, kSpacePrompt), 0);
    EXPECT_NE(row(trace, 117, 13, 528), "");
    EXPECT_NE(row(trace, 207, 11, 528), "");
    EXPECT_NE(row(trace, 351, 13), "");
    EXPECT_TRUE(ended(trace));
}

}  // namespace
