// Entries 1 and 2: an equation and its solution, checked by substituting. Entry 1 asks which
// of three equations x=3 solves, entry 2 which of 1, 2, 3 solves one equation. The value that
// decides the right choice is remembered, so that the next problem of either entry changes it.
#include <utility>

#include "morvane/entries.h"
#include "morvane/frame.h"
#include "shell/mathtext.h"
#include "shell/numtext.h"

namespace morvane {
namespace {

constexpr int kSolution = 3;  // the solution entry 1 asks about

Text Digit(int k) { return shell::Num(static_cast<float>(k)); }

// The "したがって" closing of both entries: the right choice in its own colour.
void ClosingChoice(Shell& sh, float x, float y, const Text& digit) {
    shell::DrawText(sh, x, y, kTitleColour, U"したがって、答えは");
    shell::DrawText(sh, x + 32, y + 36, kAnswerColour, digit + U"番");
}

}  // namespace

// Equation k reads (a+1)x + (r + F(k)) = x + (3a + r): at x=3 its sides differ by F(k), so the
// one equation whose F(k) is 0 has the solution 3. T(6), T(7), T(8) are the left constants.
void WhichEquation::Present(Shell& sh) {
    OpenProblem(sh, 688, 126);
    auto& T = sh.tab.T;
    auto& F = sh.tab.F;
    for (;;) {
        const float a = Draw(sh, 2, 4);
        T[1] = a;
        F[2] = Draw(sh, 2, 4);
        F[3] = -Draw(sh, 2, 4);
        F[1] = 0;
        for (int n = 0; n < 2; ++n) {
            const int i = shell::RandomInt(sh, 1, 3);
            const int j = shell::RandomInt(sh, 1, 3);
            std::swap(F[i], F[j]);
        }
        if (F[1] == sh.remembered) continue;
        const float r = Draw(sh, 1, 3);
        T[3] = r;
        T[2] = kSolution * a;
        T[4] = kSolution * a + r;
        T[5] = a + 1;
        for (int k = 1; k <= 3; ++k) T[5 + k] = r + F[k];
        // A left constant of 0 would vanish from its equation (4x=x+11).
        if (T[6] != 0 && T[7] != 0 && T[8] != 0) break;
    }
    // Only the problem shown is remembered: a draw thrown away above must not become the value
    // the next problem avoids.
    sh.remembered = F[1];
    T[14] = kSolution * T[5];
    for (int k = 1; k <= 3; ++k) T[14 + k] = T[14] + T[5 + k];
    T[18] = kSolution + T[4];

    FormatSignedTexts(sh, false);
    auto& tb = sh.tab;
    const auto equation = [&](int k) {
        return tb.Ttext[5] + U"x" + Signed(sh, 5 + k) + U"=x" + Signed(sh, 4);
    };
    shell::DrawText(sh, 80, 72, kQuestionColour, U"解が 3 である方程式の番号を答えなさい。");
    shell::DrawText(sh, 80, 99, kQuestionColour,
                    U"① " + equation(1) + U" ② " + equation(2) + U" ③ " + equation(3));
    TermsPanel(sh);
    int right = 1;
    while (F[right] != 0) ++right;
    tb.solution[1] = Digit(right);
    CloseChoiceProblem(sh, tb.solution[1]);
}

void WhichEquation::HintStep1(Shell& sh) {
    const auto& tb = sh.tab;
    shell::DrawText(sh, 112, 162, kTitleColour, U"それぞれの方程式の左辺に、x=3 を代入すると");
    for (int k = 1; k <= 3; ++k) {
        const float y = 198 + 108 * static_cast<float>(k - 1);
        const Text& constant = Signed(sh, 5 + k);
        shell::DrawText(sh, 80, y, kQuestionColour, U"左辺=" + tb.Ttext[5] + U"x" + constant);
        shell::DrawText(sh, 112, y + 36, kQuestionColour, U"=" + tb.Ttext[5] + U"*3" + constant);
        shell::DrawText(sh, 112, y + 72, kQuestionColour,
                        U"=" + tb.Ttext[14] + constant + U"=" + tb.Ttext[14 + k]);
    }
}

void WhichEquation::HintStep2(Shell& sh) {
    shell::DrawText(sh, 112, 522, kTitleColour, U"方程式の右辺に、x=3 を代入すると");
    shell::DrawText(sh, 80, 558, kQuestionColour, U"右辺=3" + Signed(sh, 4));
    // The value goes on where the substitution ended: one line of two texts.
    shell::DrawText(sh, U"=" + sh.tab.Ttext[18]);
}

void WhichEquation::HintStep3(Shell& sh) { ClosingChoice(sh, 432, 306, sh.tab.solution[1]); }

namespace {

// Entry 2's values of the left side ax+b at x = 1, 2, 3: the coefficient cells of a*x and of
// the sum.
constexpr std::pair<int, int> kLeftValues[] = {{1, 4}, {5, 6}, {7, 8}};

// Where entry 2 substitutes into the right side: the title's place; the line goes one cell
// left and one row down.
constexpr float kRightAt[][2] = {{112, 486}, {512, 162}, {512, 234}};

}  // namespace

// a*x + b = x + c with c = (a - 1)s + b has the solution s. T(4) to T(8) are the left side at
// 1, 2, 3 (a*x and the sum), T(9) to T(11) the right side.
void WhichValue::Present(Shell& sh) {
    OpenProblem(sh, 448, 126);
    auto& T = sh.tab.T;
    auto& F = sh.tab.F;
    float s = 0;
    do {
        s = Draw(sh, 1, 3);
        T[1] = Draw(sh, 2, 4);
        T[2] = Draw(sh, 2, 7);
        F[1] = s;
        T[3] = (T[1] - 1) * s + T[2];
    } while (s == sh.remembered);
    sh.remembered = s;
    for (int k = 1; k <= 3; ++k) {
        T[kLeftValues[k - 1].first] = static_cast<float>(k) * T[1];
        T[kLeftValues[k - 1].second] = static_cast<float>(k) * T[1] + T[2];
        T[8 + k] = T[3] + static_cast<float>(k);
    }

    FormatSignedTexts(sh, true);
    const auto& tb = sh.tab;
    shell::DrawText(
        sh, 80, 72, kQuestionColour,
        tb.Ttext[1] + U"x" + Signed(sh, 2) + U"=x" + Signed(sh, 3) + U" の解の番号を答えなさい。");
    shell::DrawText(sh, 80, 99, kQuestionColour,
                    U"① 1  "
                    U" ② 2  "
                    U" ③ 3 ");
    TermsPanel(sh);
    CloseChoiceProblem(sh, tb.Ftext[1]);
}

void WhichValue::HintStep1(Shell& sh) {
    const auto& tb = sh.tab;
    for (int k = 1; k <= 3; ++k) {
        const float y = 162 + 108 * static_cast<float>(k - 1);
        const auto [times, sum] = kLeftValues[k - 1];
        shell::DrawText(sh, 112, y, kTitleColour, U"方程式の左辺に、x=" + Digit(k) + U" を代入すると");
        shell::DrawText(sh, 80, y + 36, kQuestionColour,
                        U"左辺=" + tb.Ttext[1] + U"*" + Digit(k) + Signed(sh, 2));
        shell::DrawText(sh, 112, y + 72, kQuestionColour,
                        U"=" + tb.Ttext[times] + Signed(sh, 2) + U"=" + tb.Ttext[sum]);
    }
}

void WhichValue::HintStep2(Shell& sh) {
    for (int k = 1; k <= 3; ++k) {
        const float x = kRightAt[k - 1][0], y = kRightAt[k - 1][1];
        shell::DrawText(sh, x, y, kTitleColour, U"方程式の右辺に、x=" + Digit(k) + U" を代入すると");
        shell::DrawText(sh, x - 32, y + 36, kQuestionColour,
                        U"右辺=" + Digit(k) + Signed(sh, 3) + U"=" + sh.tab.Ttext[8 + k]);
    }
}

void WhichValue::HintStep3(Shell& sh) { ClosingChoice(sh, 512, 306, sh.tab.Ftext[1]); }

}  // namespace morvane
