// The numbers of the Halvard entries: drawn in the listed order from the random units, and the
// shapes at the edges of each entry's ranges shown as a pupil should see them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <regex>

#include "halvard/test_support.h"
#include "shell/numtext.h"

namespace {

using namespace halvard_test;

// Replays the random units a Present used, as the draws of the listed order.
class Draws {
public:
    explicit Draws(const std::vector<float>& u) : u_(u) {}
    int next(int a, int b) { return a + static_cast<int>(static_cast<float>(b - a + 1) * u_.at(k_++)); }
    // The spread rule: records which coefficient it raised.
    std::pair<int, int> spread(int lo, int hi) {
        int a = next(lo, hi), d = next(lo, hi);
        if (a - d == 0 || a - d == 1)
            a += 2, raisedA = true;
        else if (d - a == 1)
            d += 2, raisedD = true;
        return {a, d};
    }
    // Picks from the list 1, 2, 3, 5, 7, 11 (positions from 1), removing the pick if asked.
    int pick(int from, int to, bool remove) {
        const int i = next(from, to);
        const int v = list_.at(i - 1);
        if (remove && i < to) list_.erase(list_.begin() + (i - 1));
        return v;
    }
    void resetList() { list_ = {1, 2, 3, 5, 7, 11}; }
    size_t used() const { return k_; }
    bool raisedA = false, raisedD = false;

private:
    const std::vector<float>& u_;
    size_t k_ = 0;
    std::vector<int> list_{1, 2, 3, 5, 7, 11};
};

Linear L(Rational c1, Rational c0) { return {c1, c0}; }
using Sides2 = std::pair<Linear, Linear>;

// The equation each entry must show for the draws, as left and right side.
const std::map<int, std::function<Sides2(Draws&)>>& Models() {
    static const std::map<int, std::function<Sides2(Draws&)>> models = {
        {1,
         [](Draws& d) {
             const int a = d.spread(1, 9).first, b = d.next(1, 9), s = d.next(1, 9);
             return Sides2{L(a, b), L(0, a * s + b)};
         }},
        {2,
         [](Draws& d) {
             const int a = d.spread(1, 9).first, b = d.next(1, 9), s = d.next(1, 9);
             return Sides2{L(a, -b), L(0, a * s - b)};
         }},
        {3,
         [](Draws& d) {
             const auto [a, c] = d.spread(1, 9);
             const int k = d.next(1, 9);
             return Sides2{L(a, 0), L(c, k * (a - c))};
         }},
        {4,
         [](Draws& d) {
             const auto [a, c] = d.spread(1, 9);
             return Sides2{L(a, 0), L(-c, d.next(1, 9))};
         }},
        {5,
         [](Draws& d) {
             const auto [a, c] = d.spread(1, 9);
             const int b = d.next(1, 9), e = d.next(1, 9);
             return Sides2{L(a, b), L(c, -e)};
         }},
        {6,
         [](Draws& d) {
             const auto [a, c] = d.spread(1, 9);
             const int b = d.next(1, 9), dd = d.next(1, 9);
             return Sides2{L(a, b), L(-c, dd)};
         }},
        {7,
         [](Draws& d) {
             const int m = d.next(2, 4);
             int p = d.next(1, 3);
             const int q = d.next(1, 3);
             int c = d.next(1, 9);
             while (true) {
                 if (m * p - c == 0 || m * p - c == 1)
                     ++p;
                 else if (c - m * p == 0 || c - m * p == 1)
                     c += 2;
                 else
                     break;
             }
             return Sides2{L(m * p, m * q), L(c, d.next(1, 9))};
         }},
        {8,
         [](Draws& d) {
             const int m = d.next(2, 4);
             int p = d.next(1, 3);
             const int q = d.next(1, 3), a = d.next(1, 9);
             while (std::abs(a - m * p) <= 1) ++p;
             return Sides2{L(a - m * p, -m * q), L(0, d.next(1, 9))};
         }},
        {9,
         [](Draws& d) {
             const auto [a, c] = d.spread(1, 7);
             const int b = d.next(1, 9), e = d.next(1, 9);
             return Sides2{L(Rational(a, 10), Rational(b, 10)), L(Rational(c, 10), Rational(-e, 10))};
         }},
        {10,
         [](Draws& d) {
             const auto [a, c] = d.spread(1, 7);
             const int b = d.next(1, 9), dd = d.next(1, 9);
             return Sides2{L(Rational(a, 10), Rational(b, 10)), L(Rational(-c, 10), dd)};
         }},
        {11,
         [](Draws& d) {
             d.resetList();
             const int p = d.pick(2, 6, true), q = d.pick(2, 5, false), k = d.next(1, 3);
             return Sides2{L(Rational(1, p), 0), L(Rational(1, q), -k)};
         }},
        {12,
         [](Draws& d) {
             d.resetList();
             const int q1 = d.pick(3, 5, true), q2 = d.pick(3, 4, true);
             const int p1 = d.pick(1, 3, true), p2 = d.pick(1, 2, false), k = d.next(1, 3);
             return Sides2{L(Rational(p1, q1), k), L(Rational(p2, q2), 0)};
         }},
        {13,
         [](Draws& d) {
             for (;;) {
                 d.resetList();
                 const int m = d.pick(2, 5, true), n = d.pick(2, 4, false), a = d.next(1, 3);
                 int b = d.next(1, 3);
                 if (b == a) ++b;
                 const int c = d.next(1, 3), e = d.next(1, 3);
                 if (n * a != m * c)
                     return Sides2{L(Rational(a, m), Rational(b, m)), L(Rational(c, n), Rational(-e, n))};
             }
         }},
    };
    return models;
}

TEST(HalvardNumbers, AreDrawnInTheListedOrder) {
    bool raisedA = false, raisedD = false;
    for (const auto& [e, model] : Models()) {
        EntryRig rig(e);
        for (int seed = 0; seed < 142; ++seed) {
            const EntryRun r = rig.run(seed, 0);
            Draws draws(r.randoms);
            const Sides2 want = model(draws);
            const auto got = Sides(WithoutLabel(r.problem));
            ASSERT_EQ(got.size(), 2u) << r.problem;
            const std::string where =
                "entry " + std::to_string(e) + " seed " + std::to_string(seed) + ": " + r.problem;
            EXPECT_TRUE(got[0].c1 == want.first.c1 && got[0].c0 == want.first.c0) << where;
            EXPECT_TRUE(got[1].c1 == want.second.c1 && got[1].c0 == want.second.c0) << where;
            EXPECT_EQ(draws.used(), r.randoms.size()) << where;
            raisedA |= draws.raisedA;
            raisedD |= draws.raisedD;
        }
    }
    // Both branches of the spread rule occurred among the seeds.
    EXPECT_TRUE(raisedA && raisedD);
}

// A shape at the edge of an entry's ranges: the first seed that shows it (or every seed), and
// what the pupil must then see.
struct Edge {
    int entry;
    const char* name;
    bool everySeed;
    std::function<bool(const EntryRun&)> shows;
    std::function<void(const EntryRun&)> check;
};

bool Matches(const std::string& s, const char* pattern) { return std::regex_search(s, std::regex(pattern)); }
bool Full(const std::string& s, const char* pattern) { return std::regex_match(s, std::regex(pattern)); }
// The text of the n-th line a hint step drew (0 first).
const std::string& Line(const EntryRun& r, int step, size_t n) { return r.step[step].at(n).text; }
std::string K(const EntryRun& r) { return rt::toUtf8(r.answer.accepted); }

TEST(HalvardNumbers, EdgesShowAsThePupilShouldSeeThem) {
    const std::vector<Edge> edges = {
        {1, "a = 1", false, [](const EntryRun& r) { return Matches(r.problem, "^① x\\+"); },
         [](const EntryRun& r) {
             EXPECT_EQ(Line(r, 3, 1), "両辺を 1 でわって");
             EXPECT_TRUE(Full(Line(r, 3, 2), "x=ﾀ(\\d+)/1ﾀ=\\1")) << Line(r, 3, 2);
         }},
        {2, "negative right constant", false, [](const EntryRun& r) { return Matches(r.problem, "=-\\d+$"); },
         [](const EntryRun& r) {
             EXPECT_EQ(Line(r, 2, 0).rfind("-", 0), 0u) << Line(r, 2, 0);
             EXPECT_TRUE(Full(Line(r, 2, 1), "\\d*x=-\\d+\\+\\d+")) << Line(r, 2, 1);
         }},
        {2, "right constant 0 is written", false, [](const EntryRun& r) { return Matches(r.problem, "=0$"); },
         [](const EntryRun& r) {
             EXPECT_TRUE(Full(r.problem, "② \\d*x-\\d+=0")) << r.problem;
             EXPECT_TRUE(Full(Line(r, 2, 1), "\\d*x=0\\+\\d+")) << Line(r, 2, 1);
         }},
        {3, "c > a", false, [](const EntryRun& r) { return Matches(r.problem, "=\\d*x-"); },
         [](const EntryRun& r) {
             EXPECT_TRUE(Full(Line(r, 3, 1), "x=ﾀ-\\d+/-\\d+ﾀ=\\d+")) << Line(r, 3, 1);
             EXPECT_TRUE(Full(K(r), "x=\\d+")) << K(r);
         }},
        {4, "fraction in lowest terms", false,
         [](const EntryRun& r) { return Matches(K(r), "/") && Full(Line(r, 3, 2), "x=ﾀ\\d+/\\d+ﾀ"); },
         [](const EntryRun& r) {
             EXPECT_TRUE(Full(K(r), "x=\\d+/\\d+")) << K(r);
             EXPECT_EQ(K(r), rt::toUtf8(shell::StripMarkup(rt::fromUtf8(Line(r, 3, 2)))));
         }},
        {6, "d = b", false, [](const EntryRun& r) { return Matches(Line(r, 3, 0), "=0$"); },
         [](const EntryRun& r) {
             EXPECT_TRUE(Full(Line(r, 3, 0), "\\d+x=0")) << Line(r, 3, 0);
             EXPECT_TRUE(Full(Line(r, 3, 2), "x=ﾀ0/\\d+ﾀ=0")) << Line(r, 3, 2);
             EXPECT_EQ(K(r), "x=0");
         }},
        {6, "d < b", false, [](const EntryRun& r) { return Matches(K(r), "^x=-\\d+/"); },
         [](const EntryRun& r) {
             EXPECT_TRUE(Matches(Line(r, 3, 2), "=-ﾀ\\d+/\\d+ﾀ$|^x=ﾀ-\\d+/\\d+ﾀ$")) << Line(r, 3, 2);
         }},
        {7, "p raised", false,
         [](const EntryRun& r) {
             std::smatch m;
             const std::string s = r.problem;
             if (!std::regex_search(s, m, std::regex("^① \\d\\((\\d*)x"))) return false;
             const int shown = m[1].str().empty() ? 1 : std::stoi(m[1].str());
             return shown > 1 + static_cast<int>(3.0f * r.randoms.at(1));
         },
         [](const EntryRun& r) {
             const auto sides = Sides(WithoutLabel(r.problem));
             const Rational gap = sides[0].c1 - sides[1].c1;
             EXPECT_TRUE(gap.n >= 2 || gap.n <= -2) << r.problem;
         }},
        {7, "collected coefficient never -1, 0 or 1", true, nullptr,
         [](const EntryRun& r) { EXPECT_FALSE(Full(Line(r, 3, 0), "(-?x|)=.*")) << Line(r, 3, 0); }},
        {8, "collected coefficient never -1, 0 or 1", true, nullptr,
         [](const EntryRun& r) { EXPECT_FALSE(Full(Line(r, 3, 0), "(-?x|)=.*")) << Line(r, 3, 0); }},
        {8, "negative collected coefficient", false,
         [](const EntryRun& r) { return Matches(Line(r, 3, 1), "両辺を -"); },
         [](const EntryRun& r) {
             EXPECT_TRUE(Full(Line(r, 3, 1), "両辺を -\\d+ でわって")) << Line(r, 3, 1);
             EXPECT_TRUE(Matches(Line(r, 3, 2), "^x=ﾀ-?\\d+/-\\d+ﾀ=")) << Line(r, 3, 2);
         }},
        {9, "a = 1", false, [](const EntryRun& r) { return Matches(r.problem, "^① 0\\.1x"); },
         [](const EntryRun& r) { EXPECT_TRUE(Full(Line(r, 2, 1), "x\\+\\d=\\d?x-\\d")) << Line(r, 2, 1); }},
        {9, "tenths with their zero", true, nullptr,
         [](const EntryRun& r) {
             EXPECT_TRUE(Full(r.problem, "① 0\\.\\dx\\+0\\.\\d=0\\.\\dx-0\\.\\d")) << r.problem;
         }},
        {10, "whole right constant", true, nullptr,
         [](const EntryRun& r) {
             EXPECT_TRUE(Full(r.problem, "② 0\\.\\dx\\+0\\.\\d=-0\\.\\dx\\+\\d")) << r.problem;
             EXPECT_TRUE(Full(Line(r, 2, 1), "\\d?x\\+\\d=-\\d?x\\+\\d0")) << Line(r, 2, 1);
         }},
        {11, "p = 11", false, [](const EntryRun& r) { return Matches(r.problem, "^① ﾀ1/11ﾀx="); },
         [](const EntryRun& r) {
             std::smatch m;
             ASSERT_TRUE(std::regex_search(r.problem, m, std::regex("=ﾀ1/(\\d+)ﾀx")));
             EXPECT_EQ(Line(r, 2, 0), "両辺に" + std::to_string(11 * std::stoi(m[1].str())) + " をかけて");
         }},
        {11, "q - p = -1", false, [](const EntryRun& r) { return Matches(Line(r, 3, 2), "^-x="); },
         [](const EntryRun& r) {
             EXPECT_EQ(Line(r, 3, 3), "両辺を -1 でわって");
             EXPECT_TRUE(Full(Line(r, 3, 4), "x=ﾀ-\\d+/-1ﾀ=\\d+")) << Line(r, 3, 4);
         }},
        {12, "improper fraction", false,
         [](const EntryRun& r) {
             const std::string s = r.problem;
             static const std::regex fraction("ﾀ(\\d+)/(\\d+)ﾀ");
             for (auto it = std::sregex_iterator(s.begin(), s.end(), fraction); it != std::sregex_iterator();
                  ++it)
                 if (std::stoi((*it)[1]) > std::stoi((*it)[2])) return true;
             return false;
         },
         [](const EntryRun& r) {
             std::smatch m;
             ASSERT_TRUE(std::regex_search(r.problem, m, std::regex("/(\\d)ﾀx.*/(\\d)ﾀx")));
             const int product = std::stoi(m[1]) * std::stoi(m[2]);
             EXPECT_EQ(Line(r, 2, 0), "両辺に" + std::to_string(product) + " をかけて");
         }},
        {12, "collected coefficient 1", false,
         [](const EntryRun& r) { return Matches(Line(r, 3, 2), "^x="); },
         [](const EntryRun& r) {
             EXPECT_EQ(Line(r, 3, 3), "両辺を 1 でわって");
             EXPECT_TRUE(Full(Line(r, 3, 4), "x=ﾀ-(\\d+)/1ﾀ=-\\1")) << Line(r, 3, 4);
         }},
        {12, "negative collected coefficient", false,
         [](const EntryRun& r) { return Matches(Line(r, 3, 2), "^-"); },
         [](const EntryRun& r) {
             EXPECT_TRUE(Full(Line(r, 3, 3), "両辺を -\\d+ でわって")) << Line(r, 3, 3);
         }},
        {13, "b raised to 4", false, [](const EntryRun& r) { return Matches(r.problem, "^問 ﾀ\\d?x\\+4/"); },
         [](const EntryRun& r) { EXPECT_TRUE(Matches(r.problem, "^問 ﾀ3x\\+4/")) << r.problem; }},
        {13, "never b = a", true, nullptr,
         [](const EntryRun& r) {
             std::smatch m;
             ASSERT_TRUE(std::regex_search(r.problem, m, std::regex("^問 ﾀ(\\d?)x\\+(\\d)/")));
             EXPECT_NE(m[1].str().empty() ? "1" : m[1].str(), m[2].str()) << r.problem;
         }},
        {13, "x terms that cancel are drawn again", false,
         [](const EntryRun& r) { return r.randoms.size() > 6; },
         [](const EntryRun& r) {
             // The first six draws: m, n from the list, a, b, c, e.
             const int ms[] = {2, 3, 5, 7};
             const int mi = static_cast<int>(4.0f * r.randoms[0]);
             std::vector<int> rest = {2, 3, 5, 7};
             rest.erase(rest.begin() + mi);
             const int n = rest.at(static_cast<size_t>(3.0f * r.randoms[1]));
             const int a = 1 + static_cast<int>(3.0f * r.randoms[2]);
             const int c = 1 + static_cast<int>(3.0f * r.randoms[4]);
             EXPECT_EQ(n * a, ms[mi] * c);
             EXPECT_EQ(r.randoms.size() % 6, 0u);
         }},
    };

    for (const auto& edge : edges) {
        EntryRig rig(edge.entry);
        int found = 0;
        const int seeds = edge.everySeed ? 142 : 3000;
        for (int seed = 0; seed < seeds && (edge.everySeed || found == 0); ++seed) {
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
