// Quillon as a pupil uses it: whole scripted runs from the contents screen, view mode through
// every entry, the rectangle figure with its marked sides, and the worked solutions compared
// pixel by pixel with reference images.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <regex>

#include "quillon/test_support.h"

namespace {

using namespace quillon_test;
using testing_rig::json;

// The keys a pupil types for an answer: 6:8, x=4, or a fraction with the fraction key (F1,
// denominator, Enter, numerator, Enter) after whatever comes before it.
std::string KeysFor(const std::string& answer) {
    std::smatch m;
    if (!std::regex_match(answer, m, std::regex("(.*?)(\\d+)/(\\d+)"))) return answer;
    return m[1].str() + "{F1}" + m[3].str() + "{Enter}" + m[2].str() + "{Enter}";
}

// The first seed from `from` whose problem for `entry` satisfies `wanted`, or -1.
int SeedWhere(EntryRig& rig, const std::function<bool(const EntryRun&)>& wanted, int from = 0) {
    for (int seed = from; seed < 3000; ++seed)
        if (wanted(rig.run(seed, 0))) return seed;
    return -1;
}

bool Sides(const EntryRun& r, int tall, int wide) {
    return r.problem ==
           "縦が" + std::to_string(tall) + "cm、横が" + std::to_string(wide) + "cm の長方形について、";
}

struct Flow {
    int entry;
    const char* what;
    std::function<bool(const EntryRun&)> wanted;        // the problem the clock must give
    std::function<std::string(const EntryRun&)> typed;  // nullptr: the right answer
};

TEST(QuillonPractice, TypedAnswersAreMarkedAndTheHintStepsFollow) {
    const auto any = [](const EntryRun&) { return true; };
    const auto fraction = [](const EntryRun& r) {
        return std::regex_search(AnswerFor(9, r.problem), std::regex("/"));
    };
    const std::vector<Flow> flows = {
        {1, "sides 6 and 8", [](const EntryRun& r) { return Sides(r, 6, 8); }, nullptr},
        {2, "sides 6 and 8, 3/4 typed as a fraction", [](const EntryRun& r) { return Sides(r, 6, 8); },
         nullptr},
        {3, "a whole value", any, nullptr},
        {4, "a fraction", any, nullptr},
        {5, "x first", any, nullptr},
        {6, "x second", any, nullptr},
        {7, "x first", any, nullptr},
        {8, "x second", any, nullptr},
        {9, "a fraction typed after x=", fraction, nullptr},
        {9, "a whole answer",
         [](const EntryRun& r) { return !std::regex_search(AnswerFor(9, r.problem), std::regex("/")); },
         nullptr},
        {1, "the ratio reduced", any,
         [](const EntryRun& r) {
             const std::string a = AnswerFor(1, r.problem);
             const auto colon = a.find(':');
             const Rational v(std::stol(a.substr(0, colon)), std::stol(a.substr(colon + 1)));
             return std::to_string(v.n) + ":" + std::to_string(v.d);
         }},
        {2, "the ratio value not reduced", any,
         [](const EntryRun& r) {
             std::smatch m;
             std::regex_search(r.problem, m, std::regex("縦が(\\d+)cm、横が(\\d+)cm"));
             return KeysFor(m[1].str() + "/" + m[2].str());
         }},
        {6, "the solution without x=", any,
         [](const EntryRun& r) { return AnswerFor(6, r.problem).substr(2); }},
        {9, "the fraction without x=", fraction,
         [](const EntryRun& r) { return KeysFor(AnswerFor(9, r.problem).substr(2)); }},
    };
    const auto& program = quillon::QuillonProgram();
    for (const auto& flow : flows) {
        EntryRig rig(flow.entry);
        const int seed = SeedWhere(rig, flow.wanted);
        ASSERT_GE(seed, 0) << "no seed gives entry " << flow.entry << " with " << flow.what;
        ASSERT_LT(seed, 142) << "no clock gives entry " << flow.entry << " with " << flow.what;
        const EntryRun shown = rig.run(seed);
        const bool right = !flow.typed;
        const std::string answer = right ? KeysFor(AnswerFor(flow.entry, shown.problem)) : flow.typed(shown);
        const std::string keys = "1" + std::to_string(flow.entry) + "{Enter}" + answer + "{Enter}";
        const std::string clock = ClockForSeed(seed);
        SCOPED_TRACE("entry " + std::to_string(flow.entry) + " (" + flow.what + ") clock " + clock +
                     " keys " + keys + ": " + shown.problem);

        const auto run = testing_rig::runProgram(program, keys, clock);
        EXPECT_EQ(run.status, 0) << run.errors;
        const auto at = ProblemAt(flow.entry);
        EXPECT_TRUE(testing_rig::hasOp(run.events, "DrawText",
                                       {{"x", at.x}, {"y", at.y}, {"c", 15}, {"text", shown.problem}}));
        const auto checks = testing_rig::ops(run.events, "CheckAnswer");
        ASSERT_EQ(checks.size(), 1u);
        const int cell = 240 + 16 * (flow.entry - 1);
        const auto& last = shown.step[3].back();
        const bool closed = testing_rig::hasOp(
            run.events, "DrawText", {{"x", last.x}, {"y", last.y}, {"c", last.c}, {"text", last.text}});
        const auto& first = shown.step[1].front();
        const bool firstStep = testing_rig::hasOp(
            run.events, "DrawText", {{"x", first.x}, {"y", first.y}, {"c", first.c}, {"text", first.text}});
        if (right) {
            EXPECT_EQ(checks[0].at("result"), 2) << checks[0].dump();
            EXPECT_TRUE(
                testing_rig::hasOp(run.events, "drawCircle", {{"x", 504}, {"y", 584}, {"r", 22}, {"c", 5}}));
            EXPECT_TRUE(
                testing_rig::hasOp(run.events, "drawScaledText", {{"x", cell}, {"y", 18}, {"text", "○"}}));
            EXPECT_TRUE(firstStep && closed) << "a right first answer shows the whole worked solution";
        } else {
            EXPECT_EQ(checks[0].at("result"), 1) << checks[0].dump();
            EXPECT_TRUE(
                testing_rig::hasOp(run.events, "drawScaledText", {{"x", cell}, {"y", 18}, {"text", "×"}}));
            EXPECT_TRUE(firstStep) << "hint step 1 follows a wrong answer";
            EXPECT_FALSE(closed) << "the last step waits for the later attempts";
        }
    }
}

TEST(QuillonPractice, ViewModeShowsEveryEntryInTurn) {
    std::string keys = "2";
    for (int e = 1; e <= 9; ++e) keys += "{Enter}";
    keys += "3";
    const auto run = testing_rig::runProgram(quillon::QuillonProgram(), keys, "10:20:30");
    EXPECT_EQ(run.status, 0) << run.errors;
    std::vector<int> presented;
    for (const auto& e : testing_rig::ops(run.events, "Present"))
        presented.push_back(e.at("entry").get<int>());
    EXPECT_EQ(presented, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(testing_rig::ops(run.events, "CheckAnswer").empty());
    EXPECT_FALSE(testing_rig::drewText(run.events, "この問題は準備中です。"));
    // Each entry drew its problem line where it belongs, with an answer to work out from it.
    std::vector<std::string> problems(10);
    int current = 0;
    for (const auto& e : run.events) {
        if (e.at("op") == "Present") current = e.at("entry").get<int>();
        if (current == 0 || e.at("op") != "DrawText") continue;
        const auto at = ProblemAt(current);
        if (e.at("x") == at.x && e.at("y") == at.y && e.at("c") == 15) problems[current] = e.at("text");
    }
    for (int e = 1; e <= 9; ++e) {
        ASSERT_FALSE(problems[e].empty()) << "entry " << e;
        EXPECT_NO_THROW(AnswerFor(e, problems[e])) << "entry " << e << ": " << problems[e];
    }
}

struct Dot {
    float x, y;
};

std::vector<Dot> Dots(const std::vector<json>& events) {
    std::vector<Dot> out;
    for (const auto& e : testing_rig::ops(events, "drawCircle")) {
        EXPECT_EQ(e.at("r"), 0.5);
        EXPECT_EQ(e.at("c"), 15);
        out.push_back({e.at("x").get<float>(), e.at("y").get<float>()});
    }
    return out;
}

// The rectangle of the sides problems: its box, the arc over its top side and the arc left
// of its left side meeting its corners, and the two labels.
TEST(QuillonFigure, RectangleWithBothSidesMarked) {
    struct Case {
        int tall, wide;
        float widthCells, heightCells;
    };
    const Case cases[] = {{6, 8, 80.0f / 6, 10}, {4, 16, 15, 3.75f}};
    for (int entry = 1; entry <= 2; ++entry)
        for (const auto& c : cases) {
            EntryRig rig(entry);
            const int seed = SeedWhere(rig, [&](const EntryRun& r) { return Sides(r, c.tall, c.wide); });
            ASSERT_GE(seed, 0) << "no seed gives sides " << c.tall << " and " << c.wide;
            rig.run(seed, 0);
            const auto events = rig.rig().events();
            SCOPED_TRACE("entry " + std::to_string(entry) + " sides " + std::to_string(c.tall) + " and " +
                         std::to_string(c.wide) + " seed " + std::to_string(seed));
            const float left = 640, top = 126;
            const float right = left + 16 * c.widthCells, bottom = top + 16 * c.heightCells;

            const auto boxes = testing_rig::ops(events, "fillBox");
            const auto box = std::find_if(boxes.begin(), boxes.end(),
                                          [](const json& b) { return b.at("c") == 15 && b.at("fill") == 8; });
            ASSERT_NE(box, boxes.end());
            EXPECT_FLOAT_EQ(box->at("x1").get<float>(), left);
            EXPECT_FLOAT_EQ(box->at("y1").get<float>(), top);
            EXPECT_NEAR(box->at("x2").get<float>(), right, 0.01);
            EXPECT_NEAR(box->at("y2").get<float>(), bottom, 0.01);
            EXPECT_EQ(box->at("c"), 15);

            const auto dots = Dots(events);
            ASSERT_EQ(dots.size(), 182u);
            const std::vector<Dot> topArc(dots.begin(), dots.begin() + 91),
                leftArc(dots.begin() + 91, dots.end());
            auto near = [](Dot d, float x, float y) { return std::hypot(d.x - x, d.y - y) < 0.01; };
            EXPECT_TRUE(near(topArc.front(), right, top) && near(topArc.back(), left, top));
            EXPECT_TRUE(near(leftArc.front(), left, top) && near(leftArc.back(), left, bottom));
            for (const auto& d : topArc)
                EXPECT_TRUE(d.y <= top + 0.01 && d.x >= left - 0.01 && d.x <= right + 0.01);
            for (const auto& d : leftArc)
                EXPECT_TRUE(d.x <= left + 0.01 && d.y >= top - 0.01 && d.y <= bottom + 0.01);
            const auto peak =
                std::min_element(topArc.begin(), topArc.end(), [](Dot a, Dot b) { return a.y < b.y; });
            EXPECT_NEAR(peak->y, top - 16, 0.01);
            EXPECT_NEAR(peak->x, (left + right) / 2, 0.01);
            const auto outmost =
                std::min_element(leftArc.begin(), leftArc.end(), [](Dot a, Dot b) { return a.x < b.x; });
            EXPECT_NEAR(outmost->x, left - 16, 0.01);
            EXPECT_NEAR(outmost->y, (top + bottom) / 2, 0.01);

            // The width label centred 36 px above the top side, the height label ending 2 px
            // left of the left side, 8 px above its middle.
            const std::string w = std::to_string(c.wide) + "cm", t = std::to_string(c.tall) + "cm";
            const auto labels = DrawnLines(events);
            ASSERT_GE(labels.size(), 2u);
            EXPECT_EQ(labels[0].text, w);
            EXPECT_NEAR(labels[0].x, (left + right) / 2 - 8 * static_cast<float>(w.size()), 0.01);
            EXPECT_EQ(labels[0].y, top - 36);
            EXPECT_EQ(labels[1].text, t);
            EXPECT_EQ(labels[1].x, left - 16 * static_cast<float>(t.size()) - 2);
            EXPECT_NEAR(labels[1].y, (top + bottom) / 2 - 8, 0.01);
            EXPECT_EQ(labels[0].c, 13);
            EXPECT_EQ(labels[1].c, 13);
        }
}

// One worked solution per family, all three hint steps drawn.
TEST(QuillonReference, WorkedSolutionsMatchTheirImages) {
    struct Reference {
        const char* name;
        int entry;
        std::function<bool(const EntryRun&)> wanted;
    };
    const Reference references[] = {
        {"quillon_1_2", 2, [](const EntryRun& r) { return Sides(r, 6, 8); }},
        {"quillon_3_4", 4, [](const EntryRun& r) { return AnswerFor(4, r.problem) == "5/2"; }},
        {"quillon_5_6", 6, [](const EntryRun&) { return true; }},
        {"quillon_7_8", 7, [](const EntryRun&) { return true; }},
        {"quillon_9", 9, [](const EntryRun& r) { return AnswerFor(9, r.problem) == "x=43/12"; }},
    };
    for (const auto& ref : references) {
        EntryRig rig(ref.entry);
        const int seed = SeedWhere(rig, ref.wanted, 7);
        ASSERT_GE(seed, 0) << ref.name;
        rig.run(seed);
        testing_rig::ExpectMatchesReference(rig.rig().screen.canvas(), ref.name);
    }
}

}  // namespace
