// The numbers of the Morvane entries: drawn one by one from the random units in a fixed order,
// the value remembered between the choice problems, and the shapes at the edges of the ranges.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <numeric>

#include "morvane/test_support.h"

namespace {

using namespace morvane_test;

// Replays the random units a Present used, one draw each.
class Draws {
public:
    explicit Draws(const std::vector<float>& u) : u_(u) {}
    int next(int a, int b) { return a + static_cast<int>(static_cast<float>(b - a + 1) * u_.at(k_++)); }
    size_t used() const { return k_; }

private:
    const std::vector<float>& u_;
    size_t k_ = 0;
};

using Equation = std::pair<Linear, Linear>;

// What a Present must show for its draws, and the value it must leave remembered.
struct Shown {
    std::vector<Equation> equations;
    Rational remembered;
    int rejectedByZero = 0;  // entry 1: draws thrown away for a left constant of 0
};

Linear L(Rational c1, Rational c0) { return {c1, c0}; }

Shown WhichEquation(Draws& d, Rational remembered) {
    Shown shown;
    for (;;) {
        const int a = d.next(2, 4);
        int f[4] = {0, 0, d.next(2, 4), -d.next(2, 4)};
        for (int n = 0; n < 2; ++n) {
            const int i = d.next(1, 3), j = d.next(1, 3);
            std::swap(f[i], f[j]);
        }
        if (Rational(f[1]) == remembered) continue;
        const int r = d.next(1, 3);
        if (r + f[1] == 0 || r + f[2] == 0 || r + f[3] == 0) {
            ++shown.rejectedByZero;
            continue;
        }
        for (int k = 1; k <= 3; ++k) shown.equations.push_back({L(a + 1, r + f[k]), L(1, 3 * a + r)});
        shown.remembered = f[1];
        return shown;
    }
}

Shown WhichValue(Draws& d, Rational remembered) {
    for (;;) {
        const int s = d.next(1, 3), a = d.next(2, 4), b = d.next(2, 7);
        if (Rational(s) != remembered) return {{{L(a, b), L(1, (a - 1) * s + b)}}, s};
    }
}

// The one-step equations, x alone on the left but for its coefficient.
const std::map<int, std::function<Equation(Draws&)>>& OneStepModels() {
    static const std::map<int, std::function<Equation(Draws&)>> models = {
        {3,
         [](Draws& d) {
             const int a = d.next(2, 8);
             return Equation{L(1, -a), L(0, d.next(10, 17))};
         }},
        {4,
         [](Draws& d) {
             const int a = d.next(10, 16);
             return Equation{L(1, Rational(-a, 10)), L(0, Rational(d.next(10, 17), 10))};
         }},
        {5,
         [](Draws& d) {
             const int a = d.next(1, 7);
             return Equation{L(1, a), L(0, d.next(10, 17))};
         }},
        {6,
         [](Draws& d) {
             std::vector<int> list = {1, 2, 5, 7, 11, 13};
             const int i = d.next(3, 6), q = list[i - 1];
             list.erase(list.begin() + (i - 1));
             const int p = list[d.next(1, 5) - 1], r = list[d.next(1, 5) - 1];
             return Equation{L(1, Rational(p, q)), L(0, Rational(r, q))};
         }},
        {7,
         [](Draws& d) {
             const int a = d.next(2, 9);
             return Equation{L(Rational(1, a), 0), L(0, d.next(1, 8))};
         }},
        {8,
         [](Draws& d) {
             const int a = d.next(2, 9);
             return Equation{L(Rational(-1, a), 0), L(0, d.next(1, 8))};
         }},
        {9,
         [](Draws& d) {
             const int a = d.next(2, 6);
             return Equation{L(a, 0), L(0, d.next(1, 14))};
         }},
        {10,
         [](Draws& d) {
             const int a = -d.next(2, 6);
             return Equation{L(a, 0), L(0, d.next(1, 15))};
         }},
    };
    return models;
}

std::vector<Equation> ShownEquations(int e, const EntryRun& r) {
    std::vector<std::string> texts;
    if (e == 1) texts = Choices(r.problem);
    if (e == 2) texts = {QuestionEquation(LineAt(r.present, 80, 72))};
    if (e >= 3) texts = {WithoutLabel(r.problem)};
    std::vector<Equation> out;
    for (const auto& t : texts) {
        const auto sides = Sides(t);
        out.push_back({sides.at(0), sides.at(1)});
    }
    return out;
}

bool Same(const std::vector<Equation>& a, const std::vector<Equation>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!(a[i].first.c1 == b[i].first.c1 && a[i].first.c0 == b[i].first.c0 &&
              a[i].second.c1 == b[i].second.c1 && a[i].second.c0 == b[i].second.c0))
            return false;
    return true;
}

float AsFloat(const Rational& v) { return static_cast<float>(v.n) / static_cast<float>(v.d); }

TEST(MorvaneNumbers, AreDrawnInOrderFromTheRandomUnits) {
    for (int e = 1; e <= 10; ++e) {
        EntryRig rig(e);
        Rational remembered = 0;
        for (int seed = 0; seed < kSeeds; ++seed) {
            const EntryRun r = rig.run(seed, 0);
            SCOPED_TRACE("entry " + std::to_string(e) + " seed " + std::to_string(seed) + ": " + r.problem);
            Draws draws(r.randoms);
            Shown want;
            if (e == 1) want = WhichEquation(draws, remembered);
            if (e == 2) want = WhichValue(draws, remembered);
            if (e >= 3) want = {{OneStepModels().at(e)(draws)}, remembered};
            EXPECT_TRUE(Same(ShownEquations(e, r), want.equations));
            EXPECT_EQ(draws.used(), r.randoms.size());
            remembered = want.remembered;
            EXPECT_EQ(rig.shell().remembered, AsFloat(remembered));
        }
    }
}

// Runs one entry on a shell that may have run others, as the practice screen does.
std::vector<Drawn> Present(testing_rig::Rig& rig, int e, int seed) {
    rig.screen.seedRandom(static_cast<float>(seed));
    rig.clearTrace();
    rig.sh.currentProblem = e;
    morvane::MorvaneProgram().FindEntry(e)->Present(rig.sh);
    return testing_rig::DrawnLines(rig.events());
}

TEST(MorvaneNumbers, ChoiceProblemsNeverRepeatTheValueRememberedLast) {
    // Two problems in a row, of one entry or of both: the second differs from the first in the
    // value that decides its right choice, and that value is what stays remembered.
    const std::pair<int, int> pairs[] = {{1, 1}, {2, 2}, {1, 2}, {2, 1}};
    for (const auto& [first, second] : pairs) {
        testing_rig::Rig rig(morvane::MorvaneProgram());
        for (int seed = 0; seed < kSeeds; ++seed) {
            SCOPED_TRACE("entries " + std::to_string(first) + ", " + std::to_string(second) + " seed " +
                         std::to_string(seed));
            const Rational v1 = ChoiceValue(first, Present(rig, first, seed));
            EXPECT_EQ(rig.sh.remembered, AsFloat(v1));
            const Rational v2 = ChoiceValue(second, Present(rig, second, (seed * 7 + 3) % kSeeds));
            EXPECT_FALSE(v2 == v1);
            EXPECT_EQ(rig.sh.remembered, AsFloat(v2));
        }
    }
}

TEST(MorvaneNumbers, ADrawThrownAwayIsNotRemembered) {
    // Whatever value the last problem left, a draw rejected for a zero left constant must not
    // take its place: the problem shown still differs from the value left by the last one. A
    // fresh start (0) therefore never has equation ① as the right one.
    int rejected = 0;
    for (int left : {0, 2, 3, 4, -2, -3, -4, 1}) {
        testing_rig::Rig rig(morvane::MorvaneProgram());
        for (int seed = 0; seed < kSeeds; ++seed) {
            SCOPED_TRACE("remembered " + std::to_string(left) + " seed " + std::to_string(seed));
            rig.sh.remembered = static_cast<float>(left);
            const Rational v = ChoiceValue(1, Present(rig, 1, seed));
            EXPECT_FALSE(v == Rational(left));
            std::vector<float> units;
            for (const auto& ev : testing_rig::ops(rig.events(), "randomUnit"))
                units.push_back(ev.at("value"));
            Draws draws(units);
            rejected += WhichEquation(draws, left).rejectedByZero;
        }
    }
    // The seeds do reach the draws this is about.
    EXPECT_GT(rejected, 20);
}

bool Matches(const std::string& s, const char* pattern) { return std::regex_search(s, std::regex(pattern)); }
bool Full(const std::string& s, const char* pattern) { return std::regex_match(s, std::regex(pattern)); }
const std::string& Line(const EntryRun& r, int step, size_t n) { return r.step[step].at(n).text; }
std::string K(const EntryRun& r) { return rt::toUtf8(r.answer.accepted); }

// A shape at the edge of an entry's ranges: the first seed that shows it (or every seed), and
// what the pupil must then see.
struct Edge {
    int entry;
    const char* name;
    std::function<bool(const EntryRun&)> shows;  // nullptr: every seed
    std::function<void(const EntryRun&)> check;
};

TEST(MorvaneNumbers, EdgesShowAsThePupilShouldSeeThem) {
    const std::vector<Edge> edges = {
        {4, "a = 1.0", [](const EntryRun& r) { return Matches(r.problem, "^② x-1="); },
         [](const EntryRun& r) {
             EXPECT_EQ(Line(r, 2, 0), "両辺に 1 をたして");
             EXPECT_TRUE(Matches(Line(r, 3, 0), "^x-1\\+1=")) << Line(r, 3, 0);
         }},
        {4, "a whole sum", [](const EntryRun& r) { return Full(K(r), "x=\\d"); },
         [](const EntryRun& r) { EXPECT_FALSE(Matches(Line(r, 3, 1), "\\.")) << Line(r, 3, 1); }},
        {6, "r = p", [](const EntryRun& r) { return K(r) == "x=0"; },
         [](const EntryRun& r) { EXPECT_TRUE(Full(Line(r, 3, 1), "x=ﾀ0/(5|7|11|13)ﾀ=0")) << Line(r, 3, 1); }},
        {6, "r < p", [](const EntryRun& r) { return Full(K(r), "x=-\\d+/\\d+"); },
         [](const EntryRun& r) {
             EXPECT_TRUE(Full(Line(r, 3, 1), "x=ﾀ-(\\d+)/(\\d+)ﾀ=-ﾀ\\1/\\2ﾀ")) << Line(r, 3, 1);
         }},
        {6, "p > q",
         [](const EntryRun& r) {
             std::smatch m;
             return std::regex_search(r.problem, m, std::regex("x\\+ﾀ(\\d+)/(\\d+)ﾀ")) &&
                    std::stoi(m[1]) > std::stoi(m[2]);
         },
         [](const EntryRun& r) {
             const std::string p =
                 r.problem.substr(r.problem.find("ﾀ"), r.problem.find('=') - r.problem.find("ﾀ"));
             EXPECT_EQ(Line(r, 2, 0), "両辺から " + p + " をひいて");
         }},
        {9, "b a multiple of a", [](const EntryRun& r) { return Full(K(r), "x=\\d+"); },
         [](const EntryRun& r) { EXPECT_TRUE(Full(Line(r, 3, 1), "x=ﾀ\\d+/\\dﾀ=\\d+")) << Line(r, 3, 1); }},
        {9, "b and a coprime", [](const EntryRun& r) { return Full(Line(r, 3, 1), "x=ﾀ\\d+/\\dﾀ"); },
         [](const EntryRun& r) {
             std::smatch m;
             ASSERT_TRUE(std::regex_match(r.problem, m, std::regex("① (\\d)x=(\\d+)")));
             EXPECT_EQ(std::gcd(std::stoi(m[1]), std::stoi(m[2])), 1);
             EXPECT_EQ(K(r), "x=" + m[2].str() + "/" + m[1].str());
         }},
        {9, "a common factor, not a multiple",
         [](const EntryRun& r) { return Full(K(r), "x=\\d+/\\d") && Matches(Line(r, 3, 1), "=ﾀ.*=ﾀ"); },
         [](const EntryRun& r) {
             EXPECT_TRUE(Full(Line(r, 3, 1), "x=ﾀ\\d+/\\dﾀ=ﾀ\\d+/\\dﾀ")) << Line(r, 3, 1);
         }},
        {10, "a parenthesised divisor", nullptr,
         [](const EntryRun& r) {
             std::smatch m;
             ASSERT_TRUE(std::regex_match(r.problem, m, std::regex("② (-\\d)x=(\\d+)")));
             const std::string a = m[1], b = m[2];
             EXPECT_EQ(Line(r, 2, 0), "両辺を (" + a + ") でわって");
             EXPECT_EQ(Line(r, 3, 0), "ﾀ" + a + "x/" + a + "ﾀ=ﾀ" + b + "/" + a + "ﾀ");
             EXPECT_TRUE(Full(Line(r, 3, 1), "x=ﾀ\\d+/-\\dﾀ=-(\\d+|ﾀ\\d+/\\dﾀ)")) << Line(r, 3, 1);
         }},
    };
    for (const auto& edge : edges) {
        EntryRig rig(edge.entry);
        int found = 0;
        const int seeds = edge.shows ? 3000 : kSeeds;
        for (int seed = 0; seed < seeds && (!edge.shows || found == 0); ++seed) {
            const EntryRun r = rig.run(seed);
            if (edge.shows && !edge.shows(r)) continue;
            ++found;
            SCOPED_TRACE("entry " + std::to_string(edge.entry) + " (" + edge.name + ") seed " +
                         std::to_string(seed) + ": " + r.problem);
            edge.check(r);
        }
        EXPECT_GT(found, 0) << "no seed shows entry " << edge.entry << " with " << edge.name;
    }
}

}  // namespace
