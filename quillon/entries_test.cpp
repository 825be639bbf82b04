// Every Quillon entry over every seed the clock can give: what is shown, where and in which
// colour, the order in which the numbers are drawn, and whether the answer the shell accepts is
// the right one for the problem on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <set>

#include "quillon/test_support.h"
#include "shell/editor.h"

namespace {

using namespace quillon_test;

constexpr int kSeeds = 142;  // the clock's seed is hours + minutes + seconds: 0 to 141

// A line as it must be drawn. A line whose x is kAfter goes on from the end of the last line
// drawn before it on the same row.
constexpr float kAfter = -1;
struct Want {
    float x, y;
    int c;
    std::string text;
};
using Steps = std::array<std::vector<Want>, 4>;  // hint steps 1 to 3

std::string N(long v) { return std::to_string(v); }

// The cells a marked-up text takes: one a character, a blank included; a fraction as many as
// its longer part.
int Cells(const std::string& utf8) {
    const Text s = rt::fromUtf8(utf8);
    int cells = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != U'ﾀ') {
            ++cells;
            continue;
        }
        const size_t close = s.find(U'ﾀ', i + 1);
        const Text inner = s.substr(i + 1, close - i - 1);
        const size_t slash = inner.find(U'/');
        cells += static_cast<int>(std::max(slash, inner.size() - slash - 1));
        i = close;
    }
    return cells;
}

void ExpectLines(const std::vector<Drawn>& got, const std::vector<Want>& want, std::vector<Drawn>& before,
                 const std::string& where) {
    ASSERT_EQ(got.size(), want.size()) << where;
    for (size_t i = 0; i < want.size(); ++i) {
        float x = want[i].x;
        if (x == kAfter) {
            auto prev = std::find_if(before.rbegin(), before.rend(),
                                     [&](const Drawn& d) { return d.y == want[i].y; });
            ASSERT_NE(prev, before.rend()) << where << "nothing drawn before on row " << want[i].y;
            x = prev->x + 16 * static_cast<float>(Cells(prev->text));
        }
        EXPECT_NEAR(got[i].x, x, 0.01) << where << want[i].text;
        EXPECT_NEAR(got[i].y, want[i].y, 0.01) << where << want[i].text;
        EXPECT_EQ(got[i].c, want[i].c) << where << want[i].text;
        EXPECT_EQ(got[i].text, want[i].text) << where;
        before.push_back(got[i]);
    }
}

// What one problem must look like: the lines of Present and of each hint step, the accepted
// answer, and answers a pupil might type that must be marked wrong.
struct Expected {
    std::vector<Want> present;
    Steps steps;
    std::string accepted;
    std::vector<std::string> wrong;
};

const std::regex kSides("縦が(\\d+)cm、横が(\\d+)cm の長方形について、");
const std::regex kRatio3("①　(\\d+):(\\d+)");
const std::regex kRatio4("②　(\\d+):(\\d+)");
const std::regex kXFirst("① x:(\\d+)=(\\d+):(\\d+)");
const std::regex kXSecond("② (\\d+):(\\d+)=x:(\\d+)");
const std::regex kBinomial("① (\\d+):\\((\\d+)x(-\\d+)\\)=(\\d+):(\\d+)");

std::vector<long> Match(const std::string& line, const std::regex& form) {
    std::smatch m;
    if (!std::regex_match(line, m, form)) return {};
    std::vector<long> out;
    for (size_t i = 1; i < m.size(); ++i) out.push_back(std::stol(m[i].str()));
    return out;
}

const std::vector<Want> kRatioNotation = {{112, 198, 13, "比は　：　を使って表す。"}};
const std::vector<Want> kRatioValueRule = {{112, 198, 13, "a:b の比の値は ﾀa/bﾀ で、"},
                                           {kAfter, 198, 13, "a:b=ﾀa/bﾀ"}};
const std::vector<Want> kRatioValuePanel = {
    {48, 117, 11, "＜比の値＞"},
    {64, 153, 13, "①　a:b で　前の項a をうしろの項b でわった値 ﾀa/bﾀ"},
    {64, 189, 9, " 例　2:3 の比の値は　ﾀ2/3ﾀ"},
};
const std::vector<Want> kProductPanel = {
    {48, 117, 11, "＜比例式の性質＞"},
    {64, 153, 13, "①　比例式の外側の項の積と内側の項の積は等しい。"},
    {64, 189, 9, "    a:b=c:d ならば ad=bc"},
};
const std::string kNote = "x= も入力、+はつけない";

// The rectangle's labels: the width centred over the top side, the height left of the left
// side, for a rectangle of `tall` by `wide` scaled to 10 cells high or 15 wide.
std::vector<Want> FigureLabels(long tall, long wide) {
    double v = 10.0 * static_cast<double>(wide) / static_cast<double>(tall), h = 10;
    if (v > 15) v = 15, h = 15.0 * static_cast<double>(tall) / static_cast<double>(wide);
    const std::string w = N(wide) + "cm", t = N(tall) + "cm";
    return {{static_cast<float>(640 + 8 * v - 8 * static_cast<double>(rt::fromUtf8(w).size())), 90, 13, w},
            {static_cast<float>(640 - 16 * static_cast<double>(rt::fromUtf8(t).size()) - 2),
             static_cast<float>(126 + 8 * h - 8), 13, t}};
}

// The expected problem, worked out from the numbers on the problem line alone. Empty when
// the line does not have the entry's form.
std::optional<Expected> Work(int entry, const std::string& problem) {
    Expected e;
    switch (entry) {
        case 1:
        case 2: {
            const auto n = Match(problem, kSides);
            if (n.empty()) return std::nullopt;
            const long a = n[0], b = n[1];
            const Rational value(a, b);
            const std::string ratio = N(a) + ":" + N(b);
            e.present = FigureLabels(a, b);
            e.present.push_back({80, 72, 15, problem});
            if (entry == 1)
                e.present.push_back({80, 108, 15, "① 縦と横の長さの比を求めなさい。"});
            else
                e.present.push_back({80, 126, 15, "② 縦と横の長さの比の値を求めなさい。"});
            e.present.push_back({432, 536, 11, ""});
            const std::vector<Want> sides = {{112, 234, 15, "縦が" + N(a) + "、横が" + N(b) + " だから"}};
            const std::vector<Want> ratioLine = {{112, 270, 13, ratio}};
            if (entry == 1) {
                e.steps = {{{}, kRatioNotation, sides, ratioLine}};
                e.accepted = ratio;
                e.wrong = {N(value.n) + ":" + N(value.d), N(b) + ":" + N(a), value.answerText()};
            } else {
                e.steps[1] = kRatioNotation;
                e.steps[1].insert(e.steps[1].end(), sides.begin(), sides.end());
                e.steps[1].insert(e.steps[1].end(), ratioLine.begin(), ratioLine.end());
                e.steps[2] = {{112, 324, 13, "a:b の比の値は ﾀa/bﾀ で、"}, {kAfter, 324, 13, "a:b=ﾀa/bﾀ"}};
                e.steps[3] = {{112, 378, 15, ratio + "=ﾀ" + N(a) + "/" + N(b) + "ﾀ"},
                              {kAfter, 378, 13, "=" + Markup(value)},
                              {112, 432, 11, "約分できるときは約分する。"}};
                e.accepted = value.answerText();
                e.wrong = {N(a) + "/" + N(b), N(value.n) + ":" + N(value.d), "x=" + value.answerText()};
            }
            return e;
        }
        case 3:
        case 4: {
            const auto n = Match(problem, entry == 3 ? kRatio3 : kRatio4);
            if (n.empty()) return std::nullopt;
            const long a = n[0], b = n[1];
            const Rational value(a, b);
            e.present = {{80, 72, 15, "次の比の値を求めなさい。"}, {80, 99, 15, problem}, {432, 536, 11, ""}};
            e.steps[1] = kRatioValueRule;
            e.steps[2] = {{112, 270, 15, N(a) + ":" + N(b) + "=ﾀ" + N(a) + "/" + N(b) + "ﾀ="},
                          {112, 306, 11, "約分できるときは約分する。"}};
            e.steps[3] = {{kAfter, 270, 13, Markup(value)}};
            e.accepted = value.answerText();
            e.wrong = {N(a) + "/" + N(b), (value + Rational(1)).answerText(), "x=" + value.answerText()};
            return e;
        }
        case 5:
        case 6:
        case 7:
        case 8: {
            const bool xFirst = entry % 2 == 1;
            auto n = Match(problem, xFirst ? kXFirst : kXSecond);
            if (n.empty()) return std::nullopt;
            if (!xFirst) n = {n[2], n[0], n[1]};
            const long X = n[0], P = n[1], Q = n[2];
            const Rational S = SolveProportion(WithoutLabel(problem));
            const std::string x = N(X), p = N(P), q = N(Q), s = S.answerText();
            const std::string instruction = entry <= 6 ? "次の比例式を比の値を使って解きなさい。"
                                                       : "次の比例式を比例式の性質を使って解きなさい。";
            e.present = {{64, 72, 15, instruction}, {64, 252, 15, problem}, {432, 536, 11, kNote}};
            if (entry <= 6) {
                const std::string withX = "x:" + x + "=ﾀx/" + x + "ﾀ";
                const std::string other = p + ":" + q + "=ﾀ" + p + "/" + q + "ﾀ";
                const Want comment{112, 432, 11, "両辺に " + x + " をかけて"};
                e.steps[1] = kRatioValuePanel;
                e.steps[2] = {{112, 288, 11, "比の値を求めると、"},
                              {80, 333, 15, (xFirst ? withX : other) + " , "},
                              {kAfter, 333, 15, (xFirst ? other : withX) + " だから"},
                              {128, 387, 15, "ﾀx/" + x + "ﾀ=ﾀ" + p + "/" + q + "ﾀ"}};
                e.steps[3] = {{80, 477, 15, x + "*ﾀx/" + x + "ﾀ=" + x + "*ﾀ" + p + "/" + q + "ﾀ"},
                              {128, 522, 13, "x=" + s}};
                if (xFirst)
                    e.steps[2].push_back(comment);
                else
                    e.steps[3].insert(e.steps[3].begin(), comment);
            } else {
                const std::string r = (Rational(Q) * S).answerText();
                const Want comment{112, 387, 11, "両辺を " + q + " でわって"};
                e.steps[1] = kProductPanel;
                e.steps[2] = {{80, 288, 15, q + "*x=" + (xFirst ? x + "*" + p : p + "*" + x)},
                              {80, 333, 15, q + "x=" + r}};
                e.steps[3] = {{80, 432, 15, "ﾀ" + q + "x/" + q + "ﾀ=ﾀ" + r + "/" + q + "ﾀ"},
                              {96, 477, 13, "x=" + s}};
                if (xFirst)
                    e.steps[2].push_back(comment);
                else
                    e.steps[3].insert(e.steps[3].begin(), comment);
            }
            e.accepted = "x=" + s;
            e.wrong = {s, "x=" + (S + Rational(1)).answerText()};
            return e;
        }
        case 9: {
            const auto n = Match(problem, kBinomial);
            if (n.empty()) return std::nullopt;
            const long a = n[0], p = n[1], q = n[2], c = n[3], d = n[4];
            const Rational S = SolveProportion(WithoutLabel(problem));
            const std::string cp = N(c * p), cq = N(c * q), ad = N(a * d), right = N(a * d - c * q);
            e.present = {{64, 72, 15, "次の比例式を比例式の性質を使って解きなさい。"},
                         {64, 252, 15, problem},
                         {432, 536, 9, kNote}};
            e.steps[1] = kProductPanel;
            e.steps[2] = {{80, 288, 15, N(c) + "(" + N(p) + "x" + N(q) + ")=" + N(a) + "*" + N(d)},
                          {112, 324, 11, "かっこをはずして､整理する"},
                          {80, 360, 15, cp + "x" + cq + "=" + ad}};
            e.steps[3] = {{112, 396, 11, cq + " を移項して"},
                          {80, 432, 15, cp + "x=" + ad + "+" + N(-c * q)},
                          {400, 324, 15, cp + "x=" + right},
                          {432, 360, 11, "両辺を " + cp + " でわって"},
                          {400, 396, 15, "ﾀ" + cp + "x/" + cp + "ﾀ=ﾀ" + right + "/" + cp + "ﾀ"},
                          {416, 468, 13, "x=" + Markup(S)}};
            e.accepted = "x=" + S.answerText();
            e.wrong = {S.answerText(), "x=" + (S + Rational(1)).answerText()};
            // The quotient as it comes, before it is reduced.
            if (S.d != c * p) e.wrong.push_back("x=" + right + "/" + cp);
            return e;
        }
    }
    return std::nullopt;
}

// Every line that states an equation in x has the solution of the proportion: a slip in the
// worked solution shows as a different x.
void ExpectSameSolution(const Drawn& d, const Rational& x, const std::string& where) {
    if (d.c == 11 || d.c == 9 || d.text.find(':') != std::string::npos) return;
    for (unsigned char ch : d.text)
        if (ch >= 0x80 && d.text.find("ﾀ") == std::string::npos) return;  // a sentence, not an equation
    const auto sides = exact::Sides(d.text);
    ASSERT_EQ(sides.size(), 2u) << where << d.text;
    const exact::Linear diff = sides[0] - sides[1];
    ASSERT_FALSE(diff.c1.zero()) << where << d.text;
    EXPECT_TRUE(Rational(0) - diff.c0 / diff.c1 == x) << where << d.text;
}

TEST(QuillonEntries, EverySeedShowsItsProblemAndAcceptsOnlyTheRightAnswer) {
    const auto& program = quillon::QuillonProgram();
    ASSERT_EQ(program.title, U"Quillon");
    ASSERT_EQ(program.problemCount, 9);
    ASSERT_EQ(program.entries.size(), 9u);
    for (int e = 1; e <= 9; ++e) {
        const shell::Entry* entry = program.FindEntry(e);
        ASSERT_TRUE(entry && entry->Present && entry->HintStep1 && entry->HintStep2 && entry->HintStep3) << e;
        EntryRig rig(e);
        std::set<std::string> problems;
        for (int seed = 0; seed < kSeeds; ++seed) {
            const std::string where = "entry " + N(e) + " seed " + N(seed) + ": ";
            const EntryRun r = rig.run(seed);
            const auto want = Work(e, r.problem);
            ASSERT_TRUE(want.has_value()) << where << "the problem reads " << r.problem;
            problems.insert(r.problem);

            std::vector<Drawn> before;
            ExpectLines(r.present, want->present, before, where + "Present: ");
            for (int k = 1; k <= 3; ++k)
                ExpectLines(r.step[k], want->steps[k], before, where + "step " + N(k) + ": ");

            const auto& sh = rig.shell();
            EXPECT_EQ(rt::toUtf8(r.answer.accepted), want->accepted) << where << r.problem;
            EXPECT_EQ(shell::CheckAnswer(sh, rt::fromUtf8(want->accepted)), shell::Result::Right) << where;
            for (const auto& wrong : want->wrong)
                EXPECT_EQ(shell::CheckAnswer(sh, rt::fromUtf8(wrong)), shell::Result::Wrong)
                    << where << r.problem << " accepts " << wrong;
            EXPECT_TRUE(r.answer.accepted2.empty()) << where;
            EXPECT_TRUE(r.answer.accepted3.empty()) << where;
            EXPECT_EQ(r.answer.partCount, 1);
            const std::array<Text, 5> labels =
                e <= 2 ? std::array<Text, 5>{U"  ", U"　　", U"  ", U" 　", U" 　"}
                       : std::array<Text, 5>{U"　", U" 　", U"  ", U" 　", U" 　"};
            for (int i = 0; i < 5; ++i) EXPECT_EQ(r.answer.labels[i], labels[i]) << where << "label " << i;
            EXPECT_EQ(sh.currentProblem, e);
            EXPECT_EQ(sh.attempts, 0);

            if (e >= 5) {
                const Rational x = SolveProportion(WithoutLabel(r.problem));
                for (int k = 2; k <= 3; ++k)
                    for (const auto& d : r.step[k]) ExpectSameSolution(d, x, where);
            }
            for (int k = 1; k <= 3; ++k)
                for (const auto& d : r.step[k])
                    EXPECT_LE(d.x + 16 * static_cast<float>(Cells(d.text)), 1440) << where << d.text;
        }
        // The seeds give many different problems, not one repeated.
        EXPECT_GT(problems.size(), e <= 2 ? 15u : e <= 4 ? 12u : 20u) << "entry " << e;
    }
}

// Replays the random units a Present used, one draw each, in the order the entry draws them.
class Draws {
public:
    explicit Draws(const std::vector<float>& u) : u_(u) {}
    long next(long a, long b) { return a + static_cast<long>(static_cast<float>(b - a + 1) * u_.at(k_++)); }
    // Takes list[position drawn from `from` to `to`], removing it when asked.
    long pick(std::vector<long>& list, long from, long to, bool remove) {
        const long i = next(from, to);
        const long v = list.at(static_cast<size_t>(i - 1));
        if (remove) list.erase(list.begin() + (i - 1));
        return v;
    }
    size_t used() const { return k_; }

private:
    const std::vector<float>& u_;
    size_t k_ = 0;
};

// The numbers each entry must show for its draws, in the order they stand on the problem line.
const std::map<int, std::function<std::vector<long>(Draws&)>>& Models() {
    static const auto rectangle = [](Draws& d) -> std::vector<long> {
        for (;;) {
            const long a = d.next(1, 4), b = d.next(1, 4), w = d.next(2, 5);
            if (Rational(a, b).d != 1) return {w * a, w * b};
        }
    };
    static const auto ratios = [](Draws& d) -> std::vector<long> {
        const long f1 = d.next(2, 5), f2 = d.next(2, 6);
        long p = d.next(1, 3), q = d.next(2, 4);
        if (p == 2) p = 5;
        if (q == 3) q = 7;
        const long f7 = d.next(2, 5);
        return {f1 * f2, f2, p * f7, q * f7};
    };
    // k, b, c with c from 2 to 5 and b any other number from 1 to 5.
    static const auto proportion = [](Draws& d) -> std::array<long, 3> {
        std::vector<long> list = {1, 2, 3, 4, 5};
        const long c = d.pick(list, 2, 5, true);
        const long b = d.pick(list, 1, 4, false);
        return {d.next(2, 3), b, c};
    };
    static const auto xFirst = [](Draws& d) -> std::vector<long> {
        const auto [k, b, c] = proportion(d);
        return {k * c, b, c};
    };
    static const auto xSecond = [](Draws& d) -> std::vector<long> {
        const auto [k, b, c] = proportion(d);
        return {b * k, k * c, c};
    };
    static const std::map<int, std::function<std::vector<long>(Draws&)>> models = {
        {1, rectangle},
        {2, rectangle},
        {3,
         [](Draws& d) -> std::vector<long> {
             auto n = ratios(d);
             return {n[0], n[1]};
         }},
        {4,
         [](Draws& d) -> std::vector<long> {
             auto n = ratios(d);
             return {n[2], n[3]};
         }},
        {5, xFirst},
        {6, xSecond},
        {7, xFirst},
        {8, xSecond},
        {9,
         [](Draws& d) -> std::vector<long> {
             std::vector<long> list = {1, 2, 3, 4, 5, 6, 7, 8, 9};
             const long c = d.pick(list, 2, 9, true), dd = d.pick(list, 2, 8, false);
             const long a = d.next(1, 9), q = -d.next(1, 9), p = d.next(2, 5);
             return {a, p, q, c, dd};
         }},
    };
    return models;
}

const std::map<int, const std::regex*> kForms = {
    {1, &kSides},   {2, &kSides},  {3, &kRatio3},  {4, &kRatio4},   {5, &kXFirst},
    {6, &kXSecond}, {7, &kXFirst}, {8, &kXSecond}, {9, &kBinomial},
};

TEST(QuillonNumbers, FollowTheRandomUnitsInTurn) {
    bool drawnAgain = false;
    for (const auto& [e, model] : Models()) {
        EntryRig rig(e);
        for (int seed = 0; seed < kSeeds; ++seed) {
            const EntryRun r = rig.run(seed, 0);
            Draws draws(r.randoms);
            const auto want = model(draws);
            const std::string where = "entry " + N(e) + " seed " + N(seed) + ": " + r.problem;
            EXPECT_EQ(Match(r.problem, *kForms.at(e)), want) << where;
            EXPECT_EQ(draws.used(), r.randoms.size()) << where;
            if (e <= 2 && r.randoms.size() > 3) drawnAgain = true;
        }
    }
    EXPECT_TRUE(drawnAgain) << "no seed drew the rectangle's sides again";
}

// A shape at the edge of an entry's ranges: every seed, or the first seed that shows it, and
// what the pupil must then see.
struct Edge {
    int entry;
    const char* name;
    bool everySeed;
    std::function<bool(const std::vector<long>&)> shows;
    std::function<void(const std::vector<long>&, const EntryRun&)> check;
};

TEST(QuillonNumbers, EdgesShowAsThePupilShouldSeeThem) {
    const auto properRatio = [](const std::vector<long>& n, const EntryRun& r) {
        EXPECT_NE(n[0], n[1]) << "a square";
        EXPECT_NE(Rational(n[0], n[1]).d, 1) << "a whole ratio value";
        EXPECT_EQ(rt::toUtf8(r.answer.accepted), N(n[0]) + ":" + N(n[1]));
    };
    // k, b and c of a proportion x:kc=b:c or bk:kc=x:c.
    const auto ratioApart = [](const std::vector<long>& kbc, const EntryRun&) {
        const long k = kbc[0], b = kbc[1], c = kbc[2];
        EXPECT_NE(b, c);
        EXPECT_TRUE(c >= 2 && c <= 5) << c;
        EXPECT_TRUE(b >= 1 && b <= 5) << b;
        EXPECT_TRUE(k == 2 || k == 3) << k;
    };
    const std::vector<Edge> edges = {
        {1, "never a square nor a whole ratio value", true, nullptr, properRatio},
        {3, "a whole value from 2 to 5", true, nullptr,
         [](const std::vector<long>& n, const EntryRun& r) {
             const Rational v(n[0], n[1]);
             EXPECT_EQ(v.d, 1);
             EXPECT_TRUE(v.n >= 2 && v.n <= 5) << v.n;
             EXPECT_EQ(rt::toUtf8(r.answer.accepted), N(v.n));
         }},
        {4, "5/2", false, [](const std::vector<long>& n) { return Rational(n[0], n[1]) == Rational(5, 2); },
         [](const std::vector<long>&, const EntryRun& r) {
             EXPECT_EQ(rt::toUtf8(r.answer.accepted), "5/2");
             EXPECT_EQ(r.step[3].at(0).text, "ﾀ5/2ﾀ");
         }},
        {5, "b and c apart, c never 1", true, nullptr, ratioApart},
        {6, "b and c apart, c never 1", true, nullptr, ratioApart},
        {7, "b and c apart, c never 1", true, nullptr, ratioApart},
        {8, "b and c apart, c never 1", true, nullptr, ratioApart},
        {9, "a = 1", false, [](const std::vector<long>& n) { return n[0] == 1; },
         [](const std::vector<long>&, const EntryRun& r) {
             EXPECT_EQ(r.problem.rfind("① 1:(", 0), 0u) << r.problem;
             EXPECT_TRUE(std::regex_match(r.step[2].at(0).text, std::regex("\\d\\(\\dx-\\d\\)=1\\*\\d")))
                 << r.step[2].at(0).text;
         }},
        {9, "a whole answer", false,
         [](const std::vector<long>& n) { return (n[0] * n[4] - n[3] * n[2]) % (n[3] * n[1]) == 0; },
         [](const std::vector<long>&, const EntryRun& r) {
             EXPECT_TRUE(std::regex_match(rt::toUtf8(r.answer.accepted), std::regex("x=\\d+")));
             EXPECT_TRUE(std::regex_match(r.step[3].back().text, std::regex("x=\\d+")))
                 << r.step[3].back().text;
         }},
    };
    for (const auto& edge : edges) {
        EntryRig rig(edge.entry);
        int found = 0;
        const int seeds = edge.everySeed ? kSeeds : 3000;
        for (int seed = 0; seed < seeds && (edge.everySeed || found == 0); ++seed) {
            const EntryRun r = rig.run(seed);
            const auto n = Match(r.problem, *kForms.at(edge.entry));
            ASSERT_FALSE(n.empty()) << r.problem;
            // Entries 5 to 8 as k, b and c, whichever side x is on.
            std::vector<long> shown = n;
            if (edge.entry == 5 || edge.entry == 7) {
                ASSERT_EQ(n[0] % n[2], 0) << r.problem;
                shown = {n[0] / n[2], n[1], n[2]};
            } else if (edge.entry == 6 || edge.entry == 8) {
                ASSERT_EQ(n[1] % n[2], 0) << r.problem;
                const long k = n[1] / n[2];
                ASSERT_EQ(n[0] % k, 0) << r.problem;
                shown = {k, n[0] / k, n[2]};
            }
            if (edge.shows && !edge.shows(shown)) continue;
            ++found;
            SCOPED_TRACE("entry " + N(edge.entry) + " (" + edge.name + ") seed " + N(seed) + ": " +
                         r.problem);
            edge.check(shown, r);
        }
        EXPECT_GT(found, 0) << "no seed shows entry " << edge.entry << " with " << edge.name;
    }
}

}  // namespace
