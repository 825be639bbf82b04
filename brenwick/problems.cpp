// The five word problems. Each Present draws its numbers in a fixed order, so that a clock
// always gives the same problem, and keeps the key value of the problem it shows.
#include "brenwick/problems.h"

#include <algorithm>

#include "brenwick/frame.h"
#include "brenwick/text.h"
#include "shell/numtext.h"

namespace brenwick {

using shell::RandomInt;

namespace {

auto& T(Shell& sh) { return sh.tab.T; }
auto& F(Shell& sh) { return sh.tab.F; }

}  // namespace

// --- Apples and a watermelon -------------------------------------------------------------

void ApplesAndMelon::Present(Shell& sh) {
    OpenProblem(sh, 800, 126);
    auto& t = T(sh);
    auto& f = F(sh);
    const int price = FreshKey(sh, [&] { return 10 * RandomInt(sh, 5, 10); });
    t[1] = static_cast<float>(RandomInt(sh, 4, 9));         // apples bought
    f[1] = static_cast<float>(10 * RandomInt(sh, 90, 99));  // the watermelon
    f[2] = f[1] + t[1] * static_cast<float>(price);         // paid in all
    f[3] = -f[1];
    f[4] = f[2] + f[3];
    FormatTexts(sh, static_cast<float>(price));
    const NumberTexts n{sh.tab};
    DrawProblemText(sh, {U"リンゴ" + n.T(1) + U"個と、" + n.F(1) + U"円のスイカを1個買ったら、代金が" +
                             n.F(2) + U"円だった。",
                         U"リンゴ1個の値段を求めなさい。"});
    CloseProblem(sh, U"リンゴ1個", U" 円", price);
}

void ApplesAndMelon::HintStep1(Shell& sh) {
    const NumberTexts n{sh.tab};
    DrawLines(sh, {
                      {112, 162, kHeadingColour, U"＜代金の関係＞"},
                      {32, 198, kLineColour, U"（リンゴの代金）＋（スイカの代金）＝" + n.F(2) + U"円"},
                      {48, 234, kLineColour, U"（リンゴの代金）＝(1個の値段）×(買った個数）"},
                      {32, 306, kLineColour, U"リンゴ1個の値段を X 円とすると"},
                      {32, 342, kLineColour, n.T(1) + U"X" + n.sF(1) + U"=" + n.F(2)},
                  });
    DrawMethodPanel(sh);
}

void ApplesAndMelon::HintStep2(Shell& sh) {
    const NumberTexts n{sh.tab};
    DrawLines(sh, {
                      {112, 378, kLineColour, n.T(1) + U"X=" + n.F(2) + n.sF(3)},
                      {112, 414, kLineColour, n.T(1) + U"X=" + n.F(4)},
                  });
}

void ApplesAndMelon::HintStep3(Shell& sh) {
    const NumberTexts n{sh.tab};
    DrawClosingLines(sh, {{112, 450}, {112, 486}, {112, 522}}, n.F(4), n.T(1),
                     U"答え、リンゴ1個 " + n.A() + U"円");
}

// --- Money between brothers ----------------------------------------------------------------

void MoneyBetweenBrothers::Present(Shell& sh) {
    OpenProblem(sh, 800, 126);
    auto& t = T(sh);
    auto& f = F(sh);
    const int gift = FreshKey(sh, [&] { return 10 * RandomInt(sh, 10, 15); });
    const auto g = static_cast<float>(gift);
    f[2] = static_cast<float>(10 * RandomInt(sh, 10, 16));  // the younger brother's money
    f[3] = static_cast<float>(RandomInt(sh, 2, 4));         // the multiple
    f[1] = g + f[3] * (f[2] + g);                           // the elder brother's money
    f[4] = f[3] * f[2];
    f[5] = -f[1];
    f[6] = f[4] + f[5];
    t[1] = -f[3];
    t[2] = t[1] - 1;
    FormatTexts(sh, g);
    const NumberTexts n{sh.tab};
    DrawProblemText(
        sh, {U"兄は" + n.F(1) + U"円、弟は" + n.F(2) + U"円持っている。兄の所持金が弟の" + n.F(3) + U"倍に",
             U"なるようにするには、兄が弟にいくらあげればよいですか。"});
    DrawMethodPanel(sh);
    CloseProblem(sh, U"", U" 円", gift);
}

void MoneyBetweenBrothers::HintStep1(Shell& sh) {
    const NumberTexts n{sh.tab};
    DrawLines(sh, {
                      {112, 162, kHeadingColour, U"＜何倍の関係＞"},
                      {32, 198, kLineColour, U"○　が　△　の" + n.F(3) + U"倍　→　○＝" + n.F(3) + U"*△"},
                      {48, 234, kLineColour,
                       U"（あげたあとの兄の所持金）＝" + n.F(3) + U"*(もらったあとの弟の所持金）"},
                      {32, 306, kHeadingColour, U"兄が弟にあげる金額を X 円とすると"},
                      {48, 342, kLineColour, n.F(1) + U"-X=" + n.F(3) + U"(" + n.F(2) + U"+X)"},
                  });
}

void MoneyBetweenBrothers::HintStep2(Shell& sh) {
    const NumberTexts n{sh.tab};
    DrawLines(sh, {
                      {48, 378, kLineColour, n.F(1) + U"-X=" + n.F(4) + n.sF(3) + U"X"},
                      {48, 414, kLineColour, U"-X" + n.sT(1) + U"X=" + n.F(4) + n.sF(5)},
                      {64, 450, kLineColour, n.T(2) + U"X=" + n.F(6)},
                  });
}

void MoneyBetweenBrothers::HintStep3(Shell& sh) {
    const NumberTexts n{sh.tab};
    // Both parts of the fraction are negative: it reads as the last equation divided out.
    DrawClosingLines(sh, {{96, 486}, {96, 522}, {112, 558}}, n.F(6), n.T(2), U"答え、" + n.A() + U"円");
}

// --- Sweets shared -------------------------------------------------------------------------

void SweetsShared::Present(Shell& sh) {
    OpenProblem(sh, 640, 126);
    auto& t = T(sh);
    auto& f = F(sh);
    int pupils = 0;
    // A first share equal to the number of pupils is drawn again, pupils included.
    do {
        pupils = FreshKey(sh, [&] { return RandomInt(sh, 7, 12); });
        t[1] = static_cast<float>(RandomInt(sh, 3, 8));         // sweets each, the first way
        t[2] = t[1] + static_cast<float>(RandomInt(sh, 1, 3));  // sweets each, the second way
    } while (t[1] == static_cast<float>(pupils));
    f[1] = static_cast<float>(RandomInt(sh, 1, pupils - 1));   // left over the first way
    f[2] = (t[2] - t[1]) * static_cast<float>(pupils) - f[1];  // missing the second way
    t[3] = -t[2];
    f[3] = -f[2];
    f[4] = -f[1];
    t[4] = t[1] + t[3];
    f[5] = f[3] + f[4];
    FormatTexts(sh, static_cast<float>(pupils));
    const NumberTexts n{sh.tab};
    DrawProblemText(sh, {U"何人かの生徒で、あめを同じ数ずつ分けます。" + n.T(1) + U"個ずつ分けると" + n.F(1) +
                             U"個余り、",
                         n.T(2) + U"個ずつ分けると" + n.F(2) + U"個たりません。生徒の人数を求めなさい。"});
    DrawMethodPanel(sh);
    CloseProblem(sh, U"", U" 人", pupils);
}

void SweetsShared::HintStep1(Shell& sh) {
    const NumberTexts n{sh.tab};
    DrawLines(sh, {
                      {112, 162, kHeadingColour, U"＜1つの数量を２通りの式で表す＞"},
                      {32, 198, kLineColour, U"（あめの個数）＝" + n.T(1) + U"*(人数）＋" + n.F(1)},
                      {32, 234, kLineColour, U"（あめの個数）＝" + n.T(2) + U"*(人数）" + n.F(3)},
                      {32, 306, kHeadingColour, U"生徒の人数を X 人とすると"},
                      {48, 342, kLineColour, n.T(1) + U"X" + n.sF(1) + U"=" + n.T(2) + U"X" + n.F(3)},
                  });
}

void SweetsShared::HintStep2(Shell& sh) {
    const NumberTexts n{sh.tab};
    // A coefficient of 1 or -1 is written as no number at all.
    const float c = sh.tab.T[4];
    const Text coefficient = c == 1 ? U"" : c == -1 ? U"-" : n.T(4);
    DrawLines(sh, {
                      {48, 378, kLineColour, n.T(1) + U"X" + n.sT(3) + U"X=" + n.F(3) + n.sF(4)},
                      {64, 414, kLineColour, coefficient + U"X=" + n.F(5)},
                  });
}

void SweetsShared::HintStep3(Shell& sh) {
    const NumberTexts n{sh.tab};
    DrawClosingLines(sh, {{96, 468}, {96, 522}, {112, 558}}, n.F(5), n.T(4), U"答え、" + n.A() + U"人");
}

// --- The sister chases her brother ---------------------------------------------------------

void SisterChasesBrother::Present(Shell& sh) {
    OpenProblem(sh, 720, 162);
    auto& t = T(sh);
    auto& f = F(sh);
    float minutes = 0;  // after the sister's start
    for (;;) {
        const int speed = 10 * RandomInt(sh, 6, 9);
        const int times = RandomInt(sh, 2, 3);
        t[1] = static_cast<float>(times * speed);         // the sister's speed, metres a minute
        t[2] = static_cast<float>(speed);                 // the brother's
        f[2] = static_cast<float>(RandomInt(sh, 5, 12));  // minutes between the two starts
        if (t[1] == sh.repeatGuard) continue;
        f[3] = t[2] * f[2];  // the brother's lead in metres
        t[3] = -t[2];
        t[4] = t[1] + t[3];
        const Reduced r = ReduceQuotient(f[3], t[4]);
        // Whole minutes only: with a sister three times as fast, an odd gap is drawn again.
        if (r.coefficient != 1) continue;
        minutes = r.right;
        // The station is minutes / 4 km away. A sister who would pass it before catching up
        // (270 m a minute) would find her brother already there: drawn again.
        if (t[1] * minutes > 1000 * minutes / 4) continue;
        break;
    }
    f[1] = minutes / 4;  // km to the station
    FormatTexts(sh, minutes);
    // The number text of a value below 1 has no zero before the point.
    if (f[1] < 1) sh.tab.Ftext[1] = U"0" + sh.tab.Ftext[1];
    const NumberTexts n{sh.tab};
    DrawProblemText(
        sh, {U"弟が" + n.F(1) + U"ｋｍ　離れた駅に向かって家を出発しました。それから" + n.F(2) +
                 U"分たって、姉が",
             U"弟の忘れ物に気づき、自転車で同じ道を追いかけました。弟は分速" + n.T(2) + U"ｍ、 ",
             U"姉は分速" + n.T(1) + U"ｍ で進むとすると、姉は出発してから何分後に弟に追いつきますか。"});
    DrawMethodPanel(sh);
    CloseProblem(sh, U"", U" 分", static_cast<int>(t[1]));
}

namespace {

// The speed, time and distance of sister and brother: a grid of 4 rows by 3 columns, the
// row heads in the first column, the sister's values in the second and the brother's in the
// third.
void DrawSpeedTable(Shell& sh) {
    constexpr float kLeft = 560, kTop = 198, kWidth = 112, kHeight = 36;
    constexpr int kColour = 13;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            const float x = kLeft + kWidth * static_cast<float>(c),
                        y = kTop + kHeight * static_cast<float>(r);
            sh.scr.drawBox(x, y, x + kWidth, y + kHeight, 15);
        }
    sh.scr.drawScaledText(720, 207, U"姉", 1, 1, kColour);
    sh.scr.drawScaledText(832, 207, U"弟", 1, 1, kColour);
    sh.scr.drawScaledText(576, 243, U"分速（ｍ）", 1, 1, kColour);
    sh.scr.drawScaledText(576, 279, U"時間（分）", 1, 1, kColour);
    sh.scr.drawScaledText(568, 315, U"道のり（ｍ）", 1, 1, kColour);

    const NumberTexts n{sh.tab};
    // Blanks take no room, so each brother's value is placed in its column: centred under
    // its head, and never left of the column, which the longest value fills and a cell more.
    constexpr float kBrotherLeft = kLeft + 2 * kWidth, kBrotherCentre = kBrotherLeft + kWidth / 2;
    auto brother = [&](float y, const Text& value) {
        float width = 0;
        for (const char32_t c : value) width += CellWidth(sh, c);
        DrawLines(sh, {{std::max(kBrotherLeft, kBrotherCentre - width / 2), y, kColour, value}});
    };
    constexpr float kSister = 704;
    DrawLines(sh, {{kSister, 243, kColour, n.T(1)}});
    brother(243, n.T(2));
    DrawLines(sh, {{kSister, 279, kColour, U" X"}});
    brother(279, n.F(2) + U"+X");
    DrawLines(sh, {{kSister, 315, kColour, n.T(1) + U"X"}});
    brother(315, n.T(2) + U"(" + n.F(2) + U"+X)");
}

}  // namespace

void SisterChasesBrother::HintStep1(Shell& sh) {
    const NumberTexts n{sh.tab};
    DrawLines(sh, {
                      {112, 180, kHeadingColour, U"出発してからX分後に追いつくとすると"},
                      {32, 216, kLineColour, U"（弟のかかった時間）＝X分+" + n.F(2) + U"分"},
                      {32, 252, kLineColour, U"（道のり）＝（速さ）×(時間）"},
                      {48, 306, kLineColour, n.T(1) + U"X=" + n.T(2) + U"(" + n.F(2) + U"+X)"},
                  });
    DrawSpeedTable(sh);
}

void SisterChasesBrother::HintStep2(Shell& sh) {
    const NumberTexts n{sh.tab};
    DrawLines(sh, {
                      {48, 342, kLineColour, n.T(1) + U"X=" + n.F(3) + n.sT(2) + U"X"},
                      {48, 378, kLineColour, n.T(1) + U"X" + n.sT(3) + U"X=" + n.F(3)},
                      {80, 414, kLineColour, n.T(4) + U"X=" + n.F(3)},
                  });
}

void SisterChasesBrother::HintStep3(Shell& sh) {
    const NumberTexts n{sh.tab};
    DrawClosingLines(sh, {{96, 468}, {96, 522}, {112, 558}}, n.F(3), n.T(4), U"答え、" + n.A() + U"分");
}

// --- Salad dressing ------------------------------------------------------------------------

void SaladDressing::Present(Shell& sh) {
    OpenProblem(sh, 800, 162);
    auto& t = T(sh);
    auto& f = F(sh);
    int added = 0;  // mL of each
    float scale = 0;
    for (;;) {
        f[3] = static_cast<float>(RandomInt(sh, 3, 4));  // vinegar's part of the ratio
        f[4] = static_cast<float>(RandomInt(sh, 5, 7));  // oil's part
        scale = static_cast<float>(10 * RandomInt(sh, 3, 4));
        added = RandomInt(sh, 10, 20);
        if (static_cast<float>(added) != sh.repeatGuard) break;
    }
    const auto x = static_cast<float>(added);
    f[1] = scale * f[3] - x;  // vinegar, mL
    f[2] = scale * f[4] - x;  // oil, mL
    f[5] = f[4] * f[1];
    f[6] = f[3] * f[2];
    t[1] = f[4];
    t[2] = f[3];
    t[3] = -t[2];
    f[7] = -f[5];
    t[4] = t[1] + t[3];
    f[8] = f[6] + f[7];
    FormatTexts(sh, x);
    const NumberTexts n{sh.tab};
    // The ratio is shown as drawn, reducible or not.
    DrawProblemText(sh, {U"酢が" + n.F(1) + U"ｍＬ、サラダ油が" + n.F(2) +
                             U"ｍＬあります。この酢とサラダ油を、それぞれ同じ量ずつ",
                         U"増やして混ぜ合わせ、酢とサラダ油の量の比が " + n.F(3) + U":" + n.F(4) +
                             U" となるドレッシングをつくります。",
                         U"何ｍＬ増やせばよいですか。"});
    DrawMethodPanel(sh);
    CloseProblem(sh, U"", U" ｍＬ", added);
}

void SaladDressing::HintStep1(Shell& sh) {
    const NumberTexts n{sh.tab};
    DrawLines(
        sh, {
                {112, 180, kHeadingColour, U"X　ｍＬずつ増やすとすると"},
                {32, 216, kLineColour, U"（酢の量）＝（" + n.F(1) + U"+X)ｍＬ"},
                {32, 252, kLineColour, U"（サラダ油の量）＝（" + n.F(2) + U"+X)ｍＬ"},
                {48, 306, kLineColour, U"(" + n.F(1) + U"+X):(" + n.F(2) + U"+X)=" + n.F(3) + U":" + n.F(4)},
            });
}

void SaladDressing::HintStep2(Shell& sh) {
    const NumberTexts n{sh.tab};
    // A difference of 1 in the ratio leaves "1X": only the signed texts shorten a coefficient.
    DrawLines(sh,
              {
                  {48, 342, kLineColour, n.F(4) + U"(" + n.F(1) + U"+X)=" + n.F(3) + U"(" + n.F(2) + U"+X)"},
                  {48, 378, kLineColour, n.F(5) + n.sT(1) + U"X=" + n.F(6) + n.sT(2) + U"X"},
                  {80, 414, kLineColour, n.T(1) + U"X" + n.sT(3) + U"X=" + n.F(6) + n.sF(7)},
                  {80, 450, kLineColour, n.T(4) + U"X=" + n.F(8)},
              });
}

void SaladDressing::HintStep3(Shell& sh) {
    const NumberTexts n{sh.tab};
    DrawClosingLines(sh, {{96, 504}, {96, 540}, {112, 576}}, n.F(8), n.T(4), U"答え、" + n.A() + U"ｍＬ");
}

}  // namespace brenwick
