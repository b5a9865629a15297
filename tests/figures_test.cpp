// Hop arcs, their direction and point labels, from the dots and glyphs they draw.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/draw_trace.hpp"

namespace {

constexpr float kPi = 3.14159f;

struct Dot {
    float x, y;
};

class Figures : public DrawTest {
protected:
    // Draws one hop and returns its dots, checking each is a one-dot disc in the hop's colour.
    std::vector<Dot> hop(float x1, float y1, float x2, float y2, float side, float step, float height,
                         float colour = 15) {
        g.arc_x1 = x1, g.arc_y1 = y1, g.arc_x2 = x2, g.arc_y2 = y2;
        g.arc_side = side, g.arc_step = step, g.arc_height = height, g.arc_colour = colour;
        draw_hop_arc();
        std::vector<Dot> dots;
        for (const rt::TraceEntry& e : trace()) {
            EXPECT_EQ(e.op, "circle");
            EXPECT_EQ(e.r, 0.5f);
            EXPECT_EQ(e.c, colour);
            EXPECT_EQ(e.fill, colour);   // filled: a single dot
            dots.push_back({e.x1, e.y1});
        }
        trace().clear();
        return dots;
    }

    static bool has_dot(const std::vector<Dot>& dots, float x, float y) {
        for (const Dot& d : dots)
            if (std::fabs(d.x - x) < 0.01f && std::fabs(d.y - y) < 0.01f) return true;
        return false;
    }

    float angle_to(float x2, float y2) {
        g.arc_x1 = 100, g.arc_y1 = 100, g.arc_x2 = x2, g.arc_y2 = y2;
        direction_angle();
        return g.arc_angle;
    }
};

TEST_F(Figures, DirectionAngleCountsCounterClockwiseWithYUp) {
    EXPECT_FLOAT_EQ(angle_to(150, 100), 0);
    EXPECT_FLOAT_EQ(angle_to(100, 40), kPi / 2);      // straight up the screen
    EXPECT_FLOAT_EQ(angle_to(20, 100), kPi);
    EXPECT_FLOAT_EQ(angle_to(100, 130), 3 * kPi / 2);  // straight down
    EXPECT_FLOAT_EQ(angle_to(100, 100), kPi);          // no direction at all
    EXPECT_NEAR(angle_to(110, 90), kPi / 4, 1e-5);
    EXPECT_NEAR(angle_to(90, 90), 3 * kPi / 4, 1e-5);
    EXPECT_NEAR(angle_to(90, 110), 5 * kPi / 4, 1e-5);
    EXPECT_NEAR(angle_to(110, 110), 7 * kPi / 4, 1e-5);
}

TEST_F(Figures, HopToTheRightJoinsItsEndsOverTheTop) {
    std::vector<Dot> dots = hop(100, 300, 164, 300, -1, 2, 1);
    ASSERT_EQ(dots.size(), 91u);
    EXPECT_NEAR(dots.front().x, 164, 0.01);   // t = 0 is the end point
    EXPECT_NEAR(dots.front().y, 300, 0.01);
    EXPECT_NEAR(dots.back().x, 100, 0.01);    // t = 180 the start
    EXPECT_NEAR(dots.back().y, 300, 0.01);
    EXPECT_TRUE(has_dot(dots, 132, 284));     // 16 dots high in the middle
    for (const Dot& d : dots) {
        EXPECT_LE(d.y, 300.01f);
        EXPECT_GE(d.y, 283.99f);
        EXPECT_GE(d.x, 99.99f);
        EXPECT_LE(d.x, 164.01f);
    }
}

TEST_F(Figures, HopToTheLeftWithSideOneStillLiesAboveTheLine) {
    std::vector<Dot> dots = hop(164, 300, 100, 300, 1, 2, 1);
    ASSERT_EQ(dots.size(), 91u);
    EXPECT_TRUE(has_dot(dots, 164, 300));
    EXPECT_TRUE(has_dot(dots, 100, 300));
    EXPECT_TRUE(has_dot(dots, 132, 284));
    for (const Dot& d : dots) EXPECT_LE(d.y, 300.01f);
    // The same side on a hop to the right bulges below it.
    std::vector<Dot> below = hop(100, 300, 164, 300, 1, 2, 1);
    EXPECT_TRUE(has_dot(below, 132, 316));
    for (const Dot& d : below) EXPECT_GE(d.y, 299.99f);
}

TEST_F(Figures, StepAndHeightSetTheDotCountAndTheBulge) {
    std::vector<Dot> fine = hop(800, 400, 1120, 400, 1, 1, 3, 9);
    EXPECT_EQ(fine.size(), 181u);
    EXPECT_TRUE(has_dot(fine, 960, 448));   // 3 x 16 below the middle
    EXPECT_TRUE(has_dot(fine, 800, 400));
    EXPECT_TRUE(has_dot(fine, 1120, 400));
    // A step that does not divide the range stops before passing its end.
    EXPECT_EQ(hop(100, 300, 164, 300, -1, 7, 1).size(), 26u);
}

TEST_F(Figures, VerticalHopIsTurnedWithItsDirection) {
    // Straight up: the arc bulges to the left of the direction of travel.
    std::vector<Dot> dots = hop(300, 300, 300, 236, -1, 2, 1);
    EXPECT_TRUE(has_dot(dots, 300, 300));
    EXPECT_TRUE(has_dot(dots, 300, 236));
    EXPECT_TRUE(has_dot(dots, 284, 268));
    for (const Dot& d : dots) EXPECT_LE(d.x, 300.01f);
}

TEST_F(Figures, HopThatGoesNowhereDrawsNothing) {
    EXPECT_TRUE(hop(200, 200, 200, 200, -1, 2, 1).empty());
    EXPECT_TRUE(hop(200, 200, 200, 200, 1, 1, 3).empty());
}

TEST_F(Figures, PointLabelSitsBesideItsPoint) {
    auto label = [&](const Text& markup, float x, float y, float side, float lines) {
        g.markup_text = markup;
        g.pen_x = x, g.pen_y = y, g.label_side = side, g.label_lines = lines, g.ink = 13;
        place_point_label();
        Lines out = drawn();
        return out;
    };
    EXPECT_EQ(label("12", 200, 268, 1, 1), (Lines{"１ 184,248", "２ 200,248"}));   // centred above
    EXPECT_EQ(g.pen_x, 216);
    EXPECT_EQ(label("12", 200, 268, 2, 1), (Lines{"１ 184,272", "２ 200,272"}));   // centred below
    EXPECT_EQ(label("12", 200, 268, 3, 1), (Lines{"１ 166,260", "２ 182,260"}));   // ends 2 dots left
    EXPECT_EQ(label("12", 200, 268, 4, 1), (Lines{"１ 202,260", "２ 218,260"}));   // starts 2 dots right
    EXPECT_EQ(label("7", 200, 268, 1, 2), (Lines{"７ 192,240"}));
    // Characters, not bytes: a full-width label is centred the same way.
    EXPECT_EQ(label("１２"_sj, 200, 268, 1, 1), (Lines{"１ 184,248", "２ 200,248"}));
}

}  // namespace
