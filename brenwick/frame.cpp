#include "brenwick/frame.h"

#include <cmath>

#include "shell/frame.h"
#include "shell/mathtext.h"
#include "shell/numtext.h"

namespace brenwick {

namespace {

// A text no typed answer equals: the check sees the typed answer with its end marks removed.
const Text kNeverTyped(1, shell::kEndMark);

}  // namespace

void OpenProblem(Shell& sh, float right, float bottom) {
    shell::ClearWorkArea(sh);
    shell::DrawProblemPlate(sh, sh.currentProblem, 63, 48, right, bottom);
    for (int i = 1; i <= 5; ++i) {
        sh.ans.labels[i].clear();
        sh.ans.expectedParts[i] = {};
        sh.ans.typedParts[i].clear();
    }
}

void FormatTexts(Shell& sh, float answer) {
    shell::FormatNumberTexts(sh);
    auto& tb = sh.tab;
    for (int k = 1; k <= 20; ++k) {
        Text t = tb.Ttext[k];
        if (tb.T[k] > 0) t = U"+" + t;
        if (std::fabs(tb.T[k]) == 1) t.resize(1);
        tb.Ttext[kSignedTexts + k] = t;
        tb.Ftext[kSignedTexts + k] = tb.F[k] > 0 ? U"+" + tb.Ftext[k] : tb.Ftext[k];
    }
    tb.solution[kAnswerCell] = shell::Num(answer);
}

void DrawProblemText(Shell& sh, std::initializer_list<Text> lines) {
    float y = 72;
    for (const Text& line : lines) {
        shell::DrawText(sh, 80, y, kLineColour, line);
        y += 27;
    }
}

void DrawMethodPanel(Shell& sh) {
    DrawLines(sh, {
                      {912, 162, 11, U"＜問題の解き方＞"},
                      {912, 198, 13, U"１　問題の中の数量に着目し、数量の間の関係を見つける。"},
                      {912, 234, 13, U"２　まだわかっていない数量のうち、"},
                      {912, 270, 13, U"  適当なものをxとして方程式をつくる。"},
                      {912, 306, 13, U"３　方程式を解く。"},
                      {912, 342, 13, U"４　解が問題にあてはまるかどうかを調べ、答えを書く。"},
                  });
}

void DrawLines(Shell& sh, std::initializer_list<Line> lines) {
    for (const Line& line : lines) shell::DrawText(sh, line.x, line.y, line.colour, line.text);
}

void CloseProblem(Shell& sh, const Text& label0, const Text& unit, int key) {
    auto& ans = sh.ans;
    ans.partCount = 1;
    ans.labels[0] = label0;
    ans.labels[1] = unit;
    ans.accepted = sh.tab.solution[kAnswerCell];
    // No answer here is a "±" form or a pair "-a,a", which a pupil can type all the same: the
    // other two accepted texts accept nothing. Not empty, since an empty answer is checked too.
    ans.accepted2 = kNeverTyped;
    ans.accepted3 = kNeverTyped;
    sh.repeatGuard = static_cast<float>(key);
    sh.attempts = 0;
}

void DrawClosingLines(Shell& sh, const ClosingPlaces& at, const Text& numerator, const Text& denominator,
                      const Text& sentence) {
    const NumberTexts t{sh.tab};
    DrawLines(sh,
              {
                  {at.fraction.x, at.fraction.y, kLineColour, U"X=ﾀ" + numerator + U"/" + denominator + U"ﾀ"},
                  {at.value.x, at.value.y, 13, U"X=" + t.A()},
                  {at.sentence.x, at.sentence.y, 5, sentence},
              });
}

Reduced ReduceQuotient(float right, float coefficient) {
    if (right == 0) return {right, coefficient};
    Reduced r{std::fabs(right), std::fabs(coefficient), right * coefficient < 0 ? -1.0f : 1.0f};
    const float g = shell::GcdLcm(r.right, r.coefficient).gcd;
    r.right /= g;
    r.coefficient /= g;
    return r;
}

}  // namespace brenwick
