#include "shell/annotate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/harness.h"

namespace {

using shell::LabelSide;
using shell::Point;
using testing_rig::json;
using testing_rig::ops;
using testing_rig::Rig;

const shell::Program& TestProgram() {
    static const shell::Program program{U"Test", 9, {}};
    return program;
}

std::vector<Point> Dots(const Rig& rig) {
    std::vector<Point> out;
    for (const auto& e : ops(rig.events(), "drawCircle")) {
        EXPECT_EQ(e.at("r"), 0.5);
        EXPECT_EQ(e.at("filled"), true);
        out.push_back({e.at("x").get<float>(), e.at("y").get<float>()});
    }
    return out;
}

// Signed distance of p from the line through a and b: positive on the left of the direction
// from a to b as seen on screen (y downwards).
float LeftOf(Point a, Point b, Point p) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    return (dy * (p.x - a.x) - dx * (p.y - a.y)) / std::hypot(dx, dy);
}

float Distance(Point p, Point q) { return std::hypot(p.x - q.x, p.y - q.y); }

TEST(RayAngle, CountsCounterClockwiseFromTheRightWithUpAsAQuarterTurn) {
    constexpr float pi = 3.14159f;
    struct Row {
        Point to;
        float angle;
    };
    const std::vector<Row> rows = {
        {{10, 0}, 0},           {{10, -10}, pi / 4},     {{0, -10}, pi / 2},    {{-10, -10}, 3 * pi / 4},
        {{-10, 0}, pi},         {{-10, 10}, 5 * pi / 4}, {{0, 10}, 3 * pi / 2}, {{10, 10}, 7 * pi / 4},
        {{20, -10}, 0.463646f}, {{-20, 10}, 3.605240f},
    };
    for (const auto& r : rows)
        EXPECT_NEAR(shell::RayAngle({100, 100}, {100 + r.to.x, 100 + r.to.y}), r.angle, 1e-4)
            << r.to.x << "," << r.to.y;
}

TEST(DrawSpanArc, HalfEllipseTurnedOntoTheSegmentOnTheChosenSide) {
    struct Row {
        const char* what;
        Point a, b;
        int side;
        float bulge;
    };
    const std::vector<Row> rows = {
        {"left to right, above", {640, 126}, {853.333f, 126}, -1, 1},
        {"left to right, below", {100, 300}, {300, 300}, 1, 1},
        {"downwards, on its left (the screen's right)", {640, 126}, {640, 286}, -1, 1},
        {"downwards, on its right (the screen's left)", {640, 126}, {640, 286}, 1, 1},
        {"right to left, on its left (below)", {500, 200}, {300, 200}, 0, 1},
        {"upwards, on its right", {200, 400}, {200, 240}, 1, 1},
        {"diagonal, twice the bulge", {100, 100}, {220, 190}, -1, 2},
        {"diagonal the other way", {400, 100}, {280, 190}, 1, 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        Rig rig(TestProgram());
        shell::DrawSpanArc(rig.sh, r.a, r.b, r.side, 2, r.bulge, 15);
        for (const auto& e : ops(rig.events(), "drawCircle")) EXPECT_EQ(e.at("c"), 15);
        const auto dots = Dots(rig);
        ASSERT_EQ(dots.size(), 91u);
        // The arc runs from b back to a on the left, from a to b on the right.
        const Point first = r.side <= 0 ? r.b : r.a, last = r.side <= 0 ? r.a : r.b;
        EXPECT_LT(Distance(dots.front(), first), 0.01f);
        EXPECT_LT(Distance(dots.back(), last), 0.01f);
        const float sign = r.side <= 0 ? 1 : -1;
        const float length = Distance(r.a, r.b);
        float highest = 0;
        for (const auto& p : dots) {
            const float off = sign * LeftOf(r.a, r.b, p);
            EXPECT_GT(off, -0.01f) << "a dot on the wrong side at " << p.x << "," << p.y;
            highest = std::max(highest, off);
            // Every dot lies on the ellipse over the segment.
            const float along = ((p.x - r.a.x) * (r.b.x - r.a.x) + (p.y - r.a.y) * (r.b.y - r.a.y)) / length;
            const float u = (along - length / 2) / (length / 2), v = off / (16 * r.bulge);
            EXPECT_NEAR(u * u + v * v, 1, 1e-3) << p.x << "," << p.y;
        }
        EXPECT_NEAR(highest, 16 * r.bulge, 0.01f);
        // The farthest dot is over the middle of the segment.
        const Point mid = dots[45];
        EXPECT_NEAR(Distance(mid, r.a), Distance(mid, r.b), 0.05f);
    }
}

TEST(DrawSpanArc, TheStepSetsTheDotsAndNothingIsDrawnWithoutALengthOrAStep) {
    struct Row {
        Point a, b;
        float step;
        size_t dots;
    };
    const std::vector<Row> rows = {
        {{100, 100}, {200, 100}, 2, 91},  {{100, 100}, {200, 100}, 45, 5}, {{100, 100}, {200, 100}, 7, 26},
        {{100, 100}, {200, 100}, 200, 1}, {{100, 100}, {100, 100}, 2, 0},  {{100, 100}, {200, 100}, 0, 0},
        {{100, 100}, {200, 100}, -2, 0},
    };
    for (const auto& r : rows) {
        Rig rig(TestProgram());
        shell::DrawSpanArc(rig.sh, r.a, r.b, -1, r.step, 1, 13);
        EXPECT_EQ(ops(rig.events(), "drawCircle").size(), r.dots) << "step " << r.step;
    }
}

TEST(PlaceLabelBySide, FourSidesAndTheLift) {
    struct Row {
        const char32_t* label;
        LabelSide side;
        float lift;
        float x, y;
    };
    const std::vector<Row> rows = {
        {U"8cm", LabelSide::Above, 3, 200 - 24, 100 - 36},
        {U"8cm", LabelSide::Above, 0, 200 - 24, 100 - 12},
        {U"12cm", LabelSide::Below, 1, 200 - 32, 100 + 4},
        {U"6cm", LabelSide::Left, 1, 200 - 48 - 2, 100 - 8},
        {U"6cm", LabelSide::Right, 2, 202, 100 - 16},
        {U"", LabelSide::Left, 0, 198, 100},
    };
    for (const auto& r : rows) {
        Rig rig(TestProgram());
        rig.sh.colour = 13;
        shell::PlaceLabelBySide(rig.sh, {200, 100}, r.label, r.side, r.lift);
        const auto drawn = ops(rig.events(), "DrawText");
        ASSERT_EQ(drawn.size(), 1u);
        const json want = {
            {"op", "DrawText"}, {"x", r.x}, {"y", r.y}, {"c", 13}, {"text", rt::toUtf8(r.label)}};
        EXPECT_EQ(drawn[0], want);
    }
}

}  // namespace
