// The layout docs/how-it-works.md gives a new problem of varnel2, held against
// every problem the program has: where the question's lines lie and how its
// panel is sized, the colours of questions, hints, answers and figure labels;
// and the choice of a label's side on the long number line.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "problems/script/long_number_line.hpp"
#include "tests/problem_play.hpp"

namespace {

using namespace problem_play;
namespace colour = script::colour;

bool is_text(const rt::TraceEntry& e) { return e.op == "symbol" && e.text != "　" && e.text != " " && !e.text.empty(); }

TEST(Bank2Layout, EveryProblemKeepsTheDocumentedLinesPanelAndColours) {
    const int count = program_of_bank(2).problem_count;
    Starts starts(2);
    for (int n = 1; n <= count; ++n) {
        SCOPED_TRACE("varnel2 problem " + std::to_string(n));
        const Trace question = starts.start(n, 5);
        Trace later;
        for (auto routine : {&Bank::hint1, &Bank::hint2, &Bank::answer}) {
            const Trace t = drawn_by(2, routine, n);
            later.insert(later.end(), t.begin(), t.end());
        }

        // The panel: left 48, top 63, right 640 or 400.
        const auto panels = fills(question, 2);
        ASSERT_EQ(panels.size(), 1u);
        const float right = panels[0].x2, bottom = panels[0].y2 - 4;
        EXPECT_EQ(panels[0].x1, 48);
        EXPECT_EQ(panels[0].y1, 63 - 4);
        EXPECT_TRUE(right == 640 || right == 400) << right;

        // The question's lines start at x 64 (the first, at y 72) or 96, 36 dots
        // apart (54 before a line of fractions); its text lies inside the
        // panel, whose bottom is its last line + 36 (+ 27 at least), 144 at
        // least.
        std::set<float> lines;
        float lowest = 0;
        for (const auto& e : question) {
            if (!is_text(e) || e.c != colour::question || e.y1 >= 500) continue;
            if (e.x1 == 64 || e.x1 == 96) lines.insert(e.y1);
            EXPECT_LE(e.x1 + 16, right) << e.text << " at " << e.x1;
            lowest = std::max(lowest, e.y1 + 16);
        }
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(*lines.begin(), 72);
        for (auto y = std::next(lines.begin()); y != lines.end(); ++y)
            EXPECT_TRUE(*y - *std::prev(y) == 36 || *y - *std::prev(y) == 54) << "a line at y " << *y;
        const float last = *lines.rbegin();
        EXPECT_TRUE(bottom - last == 36 || bottom - last == 27 || (bottom == 144 && last < 144)) << bottom;
        EXPECT_LE(lowest, bottom + 4);

        // Figures beside the panel begin right of it.
        for (const auto& e : later)
            if (e.op == "line" && e.mode == "line" && e.y1 >= 63 && e.y1 <= bottom + 4) {
                EXPECT_GT(std::min(e.x1, e.x2), right);
            }

        // Hints and answers: sentences in colour::hint, what works the answer
        // out in colour::answer (a line "答え…" all of it), at least one of
        // those; figures' own texts (x 704 on) in colour::scale or
        // colour::point_label.
        int answer_glyphs = 0;
        for (const auto& e : later) {
            if (!is_text(e) || e.y1 >= 500) continue;
            if (e.x1 >= 704) {
                EXPECT_TRUE(e.c == colour::scale || e.c == colour::point_label) << e.text << " in " << e.c;
            } else {
                EXPECT_TRUE(e.c == colour::hint || e.c == colour::answer) << e.text << " in " << e.c;
                answer_glyphs += e.c == colour::answer;
            }
        }
        EXPECT_GT(answer_glyphs, 0);
        for (const auto& e : later)
            if (e.op == "symbol" && e.text == "答" && e.y1 < 500) {
                EXPECT_EQ(row(later, e.y1), row(later, e.y1, colour::answer));
            }
    }
}

// A label above its point touches the end of a hop from there: a problem puts
// it below, clear of the hop. The hop's first and last dots lie on the line.
TEST(Bank2Layout, APointsLabelGoesToTheSideTheProblemChooses) {
    const float y = 256, x1 = x_on_line(2), x2 = x_on_line(5);
    const struct {
        script::LabelSides sides;
        float first_at, second_at;
        bool touches_hop;
    } cases[] = {
        {{}, y - 24, y + 28, true},
        {{side::below, side::below}, y + 28, y + 28, false},
        {{side::above, side::above}, y - 24, y - 24, true},
    };
    start_up(2);
    for (const auto& c : cases) {
        fresh_screen(0);
        Trace trace;
        rt::set_trace(&trace);
        script::number_line_two_points(y, 2, "+2", 5, "+5", c.sides);
        script::hop_from_point(y, 2, 3, "3");
        rt::set_trace(nullptr);
        EXPECT_TRUE(text_at(trace, "+2", x1 - 12, c.first_at, colour::point_label));
        EXPECT_TRUE(text_at(trace, "+5", x2 - 12, c.second_at, colour::point_label));
        EXPECT_EQ(points(trace), 2);
        const auto dots = hop_dots(trace);
        bool touches = false;   // a dot inside the first label's cells (three of 8 x 16 dots)
        for (const auto& d : dots)
            touches |= d.x1 >= x1 - 12 && d.x1 <= x1 + 12 && d.y1 >= c.first_at && d.y1 <= c.first_at + 16;
        EXPECT_EQ(touches, c.touches_hop);
        const auto on_line_at = [&](float x) {
            return std::any_of(dots.begin(), dots.end(),
                               [&](const auto& d) { return std::fabs(d.x1 - x) < 0.01f && std::fabs(d.y1 - y) < 0.01f; });
        };
        EXPECT_TRUE(on_line_at(x1));
        EXPECT_TRUE(on_line_at(x2));
    }
}

}  // namespace
