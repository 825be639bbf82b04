#include "morvane/frame.h"

#include <cmath>

#include "shell/frame.h"
#include "shell/mathtext.h"

namespace morvane {

void OpenProblem(Shell& sh, float right, float bottom) { shell::OpenEquationProblem(sh, right, bottom); }

void FormatSignedTexts(Shell& sh, bool unitCoefficients) {
    shell::FormatNumberTexts(sh);
    auto& tb = sh.tab;
    for (int j = 1; j <= 20; ++j) {
        tb.Ttext[20 + j] = (tb.T[j] > 0 ? U"+" : U"") + tb.Ttext[j];
        tb.Ftext[20 + j] = (tb.F[j] > 0 ? U"+" : U"") + tb.Ftext[j];
    }
    if (unitCoefficients)
        for (int j = 1; j <= 20; ++j)
            if (std::fabs(tb.T[j]) == 1) {
                tb.Ttext[20 + j] = tb.T[j] > 0 ? U"+" : U"-";
                tb.Ttext[j] = tb.T[j] > 0 ? U"" : U"-";
            }
    for (int j = 1; j <= 20; ++j) {
        if (tb.T[j] == 0) tb.Ttext[j].clear();
        if (tb.F[j] == 0) tb.Ftext[j].clear();
    }
}

const Text& Signed(const Shell& sh, int j) { return sh.tab.Ttext[20 + j]; }

namespace {

struct PanelLine {
    const char32_t* text;
    float x, y;
    int colour;
};

void DrawPanel(Shell& sh, std::initializer_list<PanelLine> lines) {
    for (const auto& line : lines) shell::DrawText(sh, line.x, line.y, line.colour, line.text);
}

}  // namespace

void TermsPanel(Shell& sh) {
    DrawPanel(sh, {
                      {U"＜方程式＞　例　2x+3=5", 800, 270, 11},
                      {U"まだわかっていない数を表す文字をふくむ式", 800, 297, 13},
                      {U"＜方程式の解＞　例　x=1", 800, 324, 11},
                      {U"方程式を成り立たせる文字の値", 800, 351, 13},
                      {U"＜方程式を解く＞", 800, 378, 11},
                      {U"解を求めること", 800, 405, 13},
                  });
}

void PropertiesOfEqualityPanel(Shell& sh) {
    DrawPanel(sh, {
                      {U"＜等式の性質＞", 48, 117, 11},
                      {U"両辺に同じ数を、たしても、ひいても、", 64, 153, 11},
                      {U"かけても、わっても等式が成り立つ", 64, 180, 11},
                      {U"① A=B → A+c=B+c", 384, 126, 13},
                      {U"② A=B → A-c=B-c", 384, 153, 9},
                      {U"③ A=B → A*c=B*c", 384, 180, 13},
                      {U"④ A=B → A/c=B/c", 384, 207, 9},
                  });
}

void CloseChoiceProblem(Shell& sh, const Text& digit) {
    shell::AcceptSingleAnswer(sh, digit);
    sh.attempts = 0;
}

}  // namespace morvane
