// Every Brenwick word problem over every seed the clock can give: the numbers are drawn in
// their order, every line stands where it should in its colour, every equation of the
// guidance has the problem's answer, and the shell accepts that answer and nothing else.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <stdexcept>

#include "brenwick/test_support.h"
#include "shell/editor.h"

namespace {

using namespace brenwick_test;

std::string S(long v) { return std::to_string(v); }

const Lines kMethodPanel = {
    {912, 162, 11, "＜問題の解き方＞"},
    {912, 198, 13, "１　問題の中の数量に着目し、数量の間の関係を見つける。"},
    {912, 234, 13, "２　まだわかっていない数量のうち、"},
    {912, 270, 13, "  適当なものをxとして方程式をつくる。"},
    {912, 306, 13, "３　方程式を解く。"},
    {912, 342, 13, "４　解が問題にあてはまるかどうかを調べ、答えを書く。"},
};

Lines Plus(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A problem as its text states it, and what must be drawn for it, worked out from the numbers
// in the text alone.
struct Expected {
    long key = 0;             // the value a following problem must not repeat
    long answer = 0;          // found from the story, not from the program's tables
    long first = 0;           // the problem's first number T1, which a pupil could type as ±T1
    std::vector<long> drawn;  // the numbers in the order they were drawn
    Lines present, step[4];
    std::string equation;  // the equation of the first hint
};

// The random draws of a problem replayed: a + INT(n * randomUnit), in order.
struct Draws {
    const std::vector<float>& u;
    size_t next = 0;
    long Int(long a, long b) {
        if (next == u.size()) throw std::runtime_error("the story needs more draws than the problem made");
        return a + static_cast<long>(static_cast<float>(b - a + 1) * u[next++]);
    }
};

// --- what each problem must show, from its text ---------------------------------------------

Expected Apples(const std::vector<std::string>& text, Draws& d, float guard) {
    Expected e;
    long price;
    do price = 10 * d.Int(5, 10);
    while (price == guard);
    e.drawn = {price, d.Int(4, 9), 10 * d.Int(90, 99)};
    const auto n =
        Numbers(text.at(0), "リンゴ(\\d+)個と、(\\d+)円のスイカを1個買ったら、代金が(\\d+)円だった。");
    if (n.size() != 3) return e;
    const long a = std::stol(n[0]), m = std::stol(n[1]), t = std::stol(n[2]);
    e.key = e.answer = (t - m) / a;
    EXPECT_EQ((t - m) % a, 0);
    EXPECT_EQ((std::vector<long>{e.key, a, m}), e.drawn);
    e.first = a;
    e.present = {{80, 72, 15, text[0]}, {80, 99, 15, "リンゴ1個の値段を求めなさい。"}};
    e.equation = S(a) + "X+" + S(m) + "=" + S(t);
    e.step[1] = Plus({{112, 162, 13, "＜代金の関係＞"},
                      {32, 198, 15, "（リンゴの代金）＋（スイカの代金）＝" + S(t) + "円"},
                      {48, 234, 15, "（リンゴの代金）＝(1個の値段）×(買った個数）"},
                      {32, 306, 15, "リンゴ1個の値段を X 円とすると"},
                      {32, 342, 15, e.equation}},
                     kMethodPanel);
    e.step[2] = {{112, 378, 15, S(a) + "X=" + S(t) + "-" + S(m)}, {112, 414, 15, S(a) + "X=" + S(t - m)}};
    e.step[3] = {{112, 450, 15, "X=ﾀ" + S(t - m) + "/" + S(a) + "ﾀ"},
                 {112, 486, 13, "X=" + S(e.answer)},
                 {112, 522, 5, "答え、リンゴ1個 " + S(e.answer) + "円"}};
    return e;
}

Expected Brothers(const std::vector<std::string>& text, Draws& d, float guard) {
    Expected e;
    long gift;
    do gift = 10 * d.Int(10, 15);
    while (gift == guard);
    e.drawn = {gift, 10 * d.Int(10, 16), d.Int(2, 4)};
    const auto n = Numbers(text.at(0), "兄は(\\d+)円、弟は(\\d+)円持っている。兄の所持金が弟の(\\d+)倍に");
    if (n.size() != 3) return e;
    const long elder = std::stol(n[0]), younger = std::stol(n[1]), k = std::stol(n[2]);
    // elder - X = k (younger + X)
    e.key = e.answer = (elder - k * younger) / (k + 1);
    EXPECT_EQ((elder - k * younger) % (k + 1), 0);
    EXPECT_EQ((std::vector<long>{e.key, younger, k}), e.drawn);
    e.first = -k;
    e.present =
        Plus({{80, 72, 15, text[0]}, {80, 99, 15, "なるようにするには、兄が弟にいくらあげればよいですか。"}},
             kMethodPanel);
    e.equation = S(elder) + "-X=" + S(k) + "(" + S(younger) + "+X)";
    e.step[1] = {{112, 162, 13, "＜何倍の関係＞"},
                 {32, 198, 15, "○　が　△　の" + S(k) + "倍　→　○＝" + S(k) + "*△"},
                 {48, 234, 15, "（あげたあとの兄の所持金）＝" + S(k) + "*(もらったあとの弟の所持金）"},
                 {32, 306, 13, "兄が弟にあげる金額を X 円とすると"},
                 {48, 342, 15, e.equation}};
    const long right = k * younger - elder, coefficient = -k - 1;
    e.step[2] = {{48, 378, 15, S(elder) + "-X=" + S(k * younger) + "+" + S(k) + "X"},
                 {48, 414, 15, "-X-" + S(k) + "X=" + S(k * younger) + "-" + S(elder)},
                 {64, 450, 15, S(coefficient) + "X=" + S(right)}};
    // Both parts of the fraction are negative.
    e.step[3] = {{96, 486, 15, "X=ﾀ" + S(right) + "/" + S(coefficient) + "ﾀ"},
                 {96, 522, 13, "X=" + S(e.answer)},
                 {112, 558, 5, "答え、" + S(e.answer) + "円"}};
    return e;
}

Expected Sweets(const std::vector<std::string>& text, Draws& d, float guard) {
    Expected e;
    long pupils, first, second;
    do {
        do pupils = d.Int(7, 12);
        while (pupils == guard);
        first = d.Int(3, 8);
        second = first + d.Int(1, 3);
    } while (first == pupils);
    e.drawn = {pupils, first, second, d.Int(1, pupils - 1)};
    const auto n1 =
        Numbers(text.at(0), "何人かの生徒で、あめを同じ数ずつ分けます。(\\d+)個ずつ分けると(\\d+)個余り、");
    const auto n2 = Numbers(text.at(1), "(\\d+)個ずつ分けると(\\d+)個たりません。生徒の人数を求めなさい。");
    if (n1.size() != 2 || n2.size() != 2) return e;
    const long a = std::stol(n1[0]), over = std::stol(n1[1]), b = std::stol(n2[0]), short_ = std::stol(n2[1]);
    // a N + over = b N - short
    e.key = e.answer = (over + short_) / (b - a);
    EXPECT_EQ((over + short_) % (b - a), 0);
    EXPECT_EQ((std::vector<long>{e.key, a, b, over}), e.drawn);
    EXPECT_GE(short_, 1);
    e.first = a;
    e.present = Plus({{80, 72, 15, text[0]}, {80, 99, 15, text[1]}}, kMethodPanel);
    e.equation = S(a) + "X+" + S(over) + "=" + S(b) + "X-" + S(short_);
    e.step[1] = {{112, 162, 13, "＜1つの数量を２通りの式で表す＞"},
                 {32, 198, 15, "（あめの個数）＝" + S(a) + "*(人数）＋" + S(over)},
                 {32, 234, 15, "（あめの個数）＝" + S(b) + "*(人数）-" + S(short_)},
                 {32, 306, 13, "生徒の人数を X 人とすると"},
                 {48, 342, 15, e.equation}};
    const long c = a - b, right = -short_ - over;
    e.step[2] = {{48, 378, 15, S(a) + "X-" + S(b) + "X=-" + S(short_) + "-" + S(over)},
                 {64, 414, 15, (c == -1 ? "-" : S(c)) + "X=" + S(right)}};
    e.step[3] = {{96, 468, 15, "X=ﾀ" + S(right) + "/" + S(c) + "ﾀ"},
                 {96, 522, 13, "X=" + S(e.answer)},
                 {112, 558, 5, "答え、" + S(e.answer) + "人"}};
    return e;
}

// A distance in km as the problem writes it: a zero before the point, no trailing zeros.
std::string Km(long quarterKm) {
    std::string s = S(quarterKm / 4);
    static const char* const kFraction[] = {"", ".25", ".5", ".75"};
    return s + kFraction[quarterKm % 4];
}

Expected Chase(const std::vector<std::string>& text, Draws& d, float guard) {
    Expected e;
    long sister, brother, gap, minutes;
    for (;;) {
        brother = 10 * d.Int(6, 9);
        sister = d.Int(2, 3) * brother;
        gap = d.Int(5, 12);
        if (sister == guard) continue;
        if (brother * gap % (sister - brother) != 0) continue;
        minutes = brother * gap / (sister - brother);
        if (sister * minutes > 250 * minutes) continue;  // past the station
        break;
    }
    e.drawn = {sister, brother, gap};
    const auto n1 = Numbers(
        text.at(0), "弟が([0-9.]+)ｋｍ　離れた駅に向かって家を出発しました。それから(\\d+)分たって、姉が");
    const auto n2 =
        Numbers(text.at(1), "弟の忘れ物に気づき、自転車で同じ道を追いかけました。弟は分速(\\d+)ｍ、 ");
    const auto n3 =
        Numbers(text.at(2), "姉は分速(\\d+)ｍ で進むとすると、姉は出発してから何分後に弟に追いつきますか。");
    if (n1.size() != 2 || n2.size() != 1 || n3.size() != 1) return e;
    const long m = std::stol(n1[1]), vb = std::stol(n2[0]), vs = std::stol(n3[0]);
    // vs X = vb (m + X)
    e.answer = vb * m / (vs - vb);
    EXPECT_EQ(vb * m % (vs - vb), 0) << "a catch-up time that is not whole";
    e.key = vs;
    EXPECT_EQ((std::vector<long>{vs, vb, m}), e.drawn);
    EXPECT_EQ(n1[0], Km(e.answer)) << "the station is X/4 km away";
    EXPECT_LE(vs * e.answer, 250 * e.answer) << "the sister passes the station before she catches up";
    e.first = vs;
    e.present = Plus({{80, 72, 15, text[0]}, {80, 99, 15, text[1]}, {80, 126, 15, text[2]}}, kMethodPanel);
    e.equation = S(vs) + "X=" + S(vb) + "(" + S(m) + "+X)";
    e.step[1] = {{112, 180, 13, "出発してからX分後に追いつくとすると"},
                 {32, 216, 15, "（弟のかかった時間）＝X分+" + S(m) + "分"},
                 {32, 252, 15, "（道のり）＝（速さ）×(時間）"},
                 {48, 306, 15, e.equation},
                 // The table's values; the brother's x is checked on its own.
                 {704, 243, 13, S(vs)},
                 {0, 243, 13, S(vb)},
                 {704, 279, 13, " X"},
                 {0, 279, 13, S(m) + "+X"},
                 {704, 315, 13, S(vs) + "X"},
                 {0, 315, 13, S(vb) + "(" + S(m) + "+X)"}};
    e.step[2] = {{48, 342, 15, S(vs) + "X=" + S(vb * m) + "+" + S(vb) + "X"},
                 {48, 378, 15, S(vs) + "X-" + S(vb) + "X=" + S(vb * m)},
                 {80, 414, 15, S(vs - vb) + "X=" + S(vb * m)}};
    e.step[3] = {{96, 468, 15, "X=ﾀ" + S(vb * m) + "/" + S(vs - vb) + "ﾀ"},
                 {96, 522, 13, "X=" + S(e.answer)},
                 {112, 558, 5, "答え、" + S(e.answer) + "分"}};
    return e;
}

Expected Dressing(const std::vector<std::string>& text, Draws& d, float guard) {
    Expected e;
    long p, q, scale, added;
    do {
        p = d.Int(3, 4);
        q = d.Int(5, 7);
        scale = 10 * d.Int(3, 4);
        added = d.Int(10, 20);
    } while (added == guard);
    e.drawn = {added, scale * p - added, scale * q - added, p, q};
    const auto n1 = Numbers(
        text.at(0), "酢が(\\d+)ｍＬ、サラダ油が(\\d+)ｍＬあります。この酢とサラダ油を、それぞれ同じ量ずつ");
    const auto n2 =
        Numbers(text.at(1),
                "増やして混ぜ合わせ、酢とサラダ油の量の比が (\\d+):(\\d+) となるドレッシングをつくります。");
    if (n1.size() != 2 || n2.size() != 2) return e;
    const long a = std::stol(n1[0]), b = std::stol(n1[1]), r = std::stol(n2[0]), s = std::stol(n2[1]);
    // (a + X) : (b + X) = r : s
    e.key = e.answer = (r * b - s * a) / (s - r);
    EXPECT_EQ((r * b - s * a) % (s - r), 0);
    EXPECT_EQ((std::vector<long>{e.key, a, b, r, s}), e.drawn);
    e.first = s;
    e.present =
        Plus({{80, 72, 15, text[0]}, {80, 99, 15, text[1]}, {80, 126, 15, "何ｍＬ増やせばよいですか。"}},
             kMethodPanel);
    e.equation = "(" + S(a) + "+X):(" + S(b) + "+X)=" + S(r) + ":" + S(s);
    e.step[1] = {{112, 180, 13, "X　ｍＬずつ増やすとすると"},
                 {32, 216, 15, "（酢の量）＝（" + S(a) + "+X)ｍＬ"},
                 {32, 252, 15, "（サラダ油の量）＝（" + S(b) + "+X)ｍＬ"},
                 {48, 306, 15, e.equation}};
    // A difference of one leaves "1X" standing.
    e.step[2] = {{48, 342, 15, S(s) + "(" + S(a) + "+X)=" + S(r) + "(" + S(b) + "+X)"},
                 {48, 378, 15, S(s * a) + "+" + S(s) + "X=" + S(r * b) + "+" + S(r) + "X"},
                 {80, 414, 15, S(s) + "X-" + S(r) + "X=" + S(r * b) + "-" + S(s * a)},
                 {80, 450, 15, S(s - r) + "X=" + S(r * b - s * a)}};
    e.step[3] = {{96, 504, 15, "X=ﾀ" + S(r * b - s * a) + "/" + S(s - r) + "ﾀ"},
                 {96, 540, 13, "X=" + S(e.answer)},
                 {112, 576, 5, "答え、" + S(e.answer) + "ｍＬ"}};
    return e;
}

using Expectation = std::function<Expected(const std::vector<std::string>&, Draws&, float)>;
const std::map<int, Expectation> kProblems = {
    {1, Apples}, {2, Brothers}, {3, Sweets}, {4, Chase}, {5, Dressing},
};

// Runs a problem for one seed after a problem whose key was `guard`, and works out what it
// must have shown.
Expected RunAfter(EntryRig& rig, int problem, int seed, float guard, EntryRun& r, int steps = 3) {
    rig.shell().repeatGuard = guard;
    r = rig.run(seed, steps);
    Draws d{r.randoms};
    Expected e;
    try {
        e = kProblems.at(problem)(ProblemLines(r), d, guard);
    } catch (const std::exception& x) {
        ADD_FAILURE() << "problem " << problem << " seed " << seed << ": " << x.what();
        return e;
    }
    EXPECT_EQ(d.next, r.randoms.size()) << "the problem made draws the story does not need";
    return e;
}

// The brother's value in its column: centred under "弟" when it fits, else filling the column
// from its left edge; never into the sister's column.
void ExpectInBrotherColumn(const Line& d, const std::string& where) {
    const float width = 16.0f * static_cast<float>(rt::fromUtf8(d.text).size());
    if (width <= 112) {
        EXPECT_GE(d.x, 784) << where << d;
        EXPECT_LE(d.x + width, 896) << where << d;
        EXPECT_NEAR(d.x + width / 2, 840, 8) << where << d;
    } else {
        EXPECT_EQ(d.x, 784) << where << d;
        EXPECT_LE(d.x + width, 912) << where << d << " runs into the method panel";
    }
}

TEST(BrenwickProblems, EverySeedShowsItsStoryWithGuidanceThatSolvesIt) {
    const auto& program = brenwick::BrenwickProgram();
    ASSERT_EQ(program.problemCount, 5);
    for (int p = 1; p <= 5; ++p) {
        ASSERT_TRUE(program.FindEntry(p)) << p;
        EntryRig rig(p);
        std::set<long> answers;
        for (int seed = 0; seed < kSeeds; ++seed) {
            const std::string where = "problem " + S(p) + " seed " + S(seed) + ": ";
            EntryRun r;
            const Expected e = RunAfter(rig, p, seed, 0, r);
            ASSERT_FALSE(e.present.empty()) << where << "the problem text does not read as it should";
            answers.insert(e.answer);
            const auto& sh = rig.shell();

            // The plate and frame come first: nothing drawn above the problem text.
            EXPECT_EQ(Of(r.present), e.present) << where;
            EXPECT_EQ(Of(r.step[2]), e.step[2]) << where;
            EXPECT_EQ(Of(r.step[3]), e.step[3]) << where;
            Lines step1 = Of(r.step[1]);
            if (p == 4) {
                ASSERT_EQ(step1.size(), 10u) << where;
                for (int i : {5, 7, 9}) {
                    ExpectInBrotherColumn(step1[static_cast<size_t>(i)], where);
                    step1[static_cast<size_t>(i)].x = 0;
                }
            }
            EXPECT_EQ(step1, e.step[1]) << where;

            // Every equation of the guidance has the answer the story gives.
            const Rational x(e.answer);
            const auto first = SolveInX(e.equation);
            ASSERT_TRUE(first && *first == x) << where << e.equation;
            for (int k = 2; k <= 3; ++k)
                for (const auto& d : r.step[k]) {
                    if (d.c != 15) continue;
                    EXPECT_TRUE(SolveInX(d.text) == x) << where << d.text;
                }

            // The shell accepts the answer typed as digits, and nothing a pupil could type
            // instead: not a neighbour, not an empty line, not the ±T1 or -T1,T1 forms.
            EXPECT_EQ(r.answer.accepted, rt::fromUtf8(S(e.answer))) << where;
            EXPECT_EQ(shell::CheckAnswer(sh, rt::fromUtf8(S(e.answer))), shell::Result::Right) << where;
            for (const std::string& wrong : {S(e.answer + 1), std::string(), "X=" + S(e.answer),
                                             "I" + S(e.first), "-" + S(e.first) + " ," + S(e.first)})
                EXPECT_EQ(shell::CheckAnswer(sh, rt::fromUtf8(wrong)), shell::Result::Wrong)
                    << where << wrong;
            EXPECT_EQ(r.answer.partCount, 1);
            EXPECT_EQ(r.answer.labels[0], p == 1 ? U"リンゴ1個" : U"");
            const char32_t* units[] = {U"", U" 円", U" 円", U" 人", U" 分", U" ｍＬ"};
            EXPECT_EQ(r.answer.labels[1], units[p]);
            EXPECT_EQ(sh.repeatGuard, static_cast<float>(e.key)) << where << "the guard keeps the key shown";
            EXPECT_EQ(sh.attempts, 0);
        }
        EXPECT_GE(answers.size(), 5u) << "problem " << p << " shows few different answers";
    }
}

// A key never repeats the key of the problem shown last, whichever problem showed it: the
// same seed after itself, and every value of the key's range set by a problem before.
TEST(BrenwickProblems, TheKeyOfTheLastProblemIsNeverRepeated) {
    const std::map<int, std::vector<float>> keys = {
        {1, {50, 60, 70, 80, 90, 100}},
        {2, {100, 110, 120, 130, 140, 150}},
        {3, {7, 8, 9, 10, 11, 12}},
        {4, {120, 140, 160, 180, 210, 240}},
        {5, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
    };
    for (const auto& [p, values] : keys) {
        EntryRig rig(p);
        for (int seed = 0; seed < kSeeds; ++seed) {
            const std::string where = "problem " + S(p) + " seed " + S(seed) + ": ";
            EntryRun r;
            const long shown = RunAfter(rig, p, seed, 0, r, 0).key;
            // The same numbers again, but the guard holds the key just shown.
            const Expected again = RunAfter(rig, p, seed, rig.shell().repeatGuard, r, 0);
            EXPECT_NE(again.key, shown) << where;
            EXPECT_EQ(rig.shell().repeatGuard, static_cast<float>(again.key)) << where;
            // Every key a problem before could have left; a sample of seeds is enough here.
            if (seed % 5 != 0) continue;
            for (float guard : values)
                EXPECT_NE(RunAfter(rig, p, seed, guard, r, 0).key, guard) << where << guard;
        }
    }
}

// The shapes a careless implementation gets wrong, each found among the seeds.
TEST(BrenwickProblems, EdgeShapesAppearAndReadAsTheyShould) {
    struct Shape {
        int problem;
        const char* what;
        std::function<bool(const EntryRun&)> shows;
    };
    auto drew = [](const std::vector<Drawn>& lines, float x, float y, const std::string& prefix) {
        for (const auto& d : lines)
            if (d.x == x && d.y == y && d.text.rfind(prefix, 0) == 0) return true;
        return false;
    };
    const std::vector<Shape> shapes = {
        {4, "a station 0.75 km away",
         [](const EntryRun& r) { return ProblemLines(r)[0].find("弟が0.75ｋｍ") == 0; }},
        {4, "a station 2 km away",
         [](const EntryRun& r) { return ProblemLines(r)[0].find("弟が2ｋｍ") == 0; }},
        {4, "a station 2.5 km away",
         [](const EntryRun& r) { return ProblemLines(r)[0].find("弟が2.5ｋｍ") == 0; }},
        {3, "shares one apart: -X=", [&](const EntryRun& r) { return drew(r.step[2], 64, 414, "-X="); }},
        {5, "ratio 4:5: 1X=", [&](const EntryRun& r) { return drew(r.step[2], 80, 450, "1X="); }},
        {5, "ratio 4:6 as drawn",
         [](const EntryRun& r) { return ProblemLines(r)[1].find(" 4:6 ") != std::string::npos; }},
        {2, "a negative over a negative fraction",
         [](const EntryRun& r) { return std::regex_match(r.step[3][0].text, std::regex("X=ﾀ-\\d+/-\\dﾀ")); }},
    };
    for (const auto& shape : shapes) {
        EntryRig rig(shape.problem);
        int seed = 0;
        for (; seed < kSeeds; ++seed) {
            rig.shell().repeatGuard = 0;
            if (shape.shows(rig.run(seed))) break;
        }
        EXPECT_LT(seed, kSeeds) << "no seed shows problem " << shape.problem << " with " << shape.what;
    }
    // Problem 2's fraction is negative over negative for every seed; problem 3's first share
    // never equals the number of pupils (checked with the draws above).
    EntryRig rig(2);
    for (int seed = 0; seed < kSeeds; ++seed)
        EXPECT_TRUE(std::regex_match(rig.run(seed).step[3][0].text, std::regex("X=ﾀ-\\d+/-\\dﾀ"))) << seed;
}

// The table of problem 4: 12 boxes of 112 by 36 from (560, 198), its heads, outlined in 15.
TEST(BrenwickProblems, TheSpeedTableIsAGridWithItsHeads) {
    EntryRig rig(4);
    rig.run(30, 0);
    rig.rig().clearTrace();
    brenwick::BrenwickProgram().FindEntry(4)->HintStep1(rig.shell());
    const auto events = rig.rig().events();
    std::set<std::vector<float>> boxes;
    for (const auto& b : testing_rig::ops(events, "drawBox")) {
        EXPECT_EQ(b.at("c"), 15);
        boxes.insert({b.at("x1").get<float>(), b.at("y1").get<float>(), b.at("x2").get<float>(),
                      b.at("y2").get<float>()});
    }
    std::set<std::vector<float>> grid;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            const float x = 560.0f + 112.0f * static_cast<float>(c),
                        y = 198.0f + 36.0f * static_cast<float>(r);
            grid.insert({x, y, x + 112, y + 36});
        }
    EXPECT_EQ(boxes, grid);
    std::vector<std::tuple<float, float, std::string>> heads,
        want = {
            {720, 207, "姉"},         {832, 207, "弟"},           {576, 243, "分速（ｍ）"},
            {576, 279, "時間（分）"}, {568, 315, "道のり（ｍ）"},
        };
    for (const auto& t : testing_rig::ops(events, "drawScaledText"))
        // Heads are drawn whole; text lines go one character at a time.
        if (rt::fromUtf8(t.at("text").get<std::string>()).size() > 1 || t.at("y") == 207)
            heads.push_back({t.at("x"), t.at("y"), t.at("text")});
    EXPECT_EQ(heads, want);
}

}  // namespace
