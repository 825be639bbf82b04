#include "halvard/frame.h"

#include "shell/equation.h"
#include "shell/frame.h"
#include "shell/mathtext.h"
#include "shell/numtext.h"

namespace halvard {

void OpenProblem(Shell& sh) { shell::OpenEquationProblem(sh, 448, 99); }

void FormatTexts(Shell& sh) {
    shell::FormatNumberTexts(sh);
    CommonTextRules(sh);
}

void CommonTextRules(Shell& sh) {
    auto& tb = sh.tab;
    for (int j = 1; j <= 20; ++j) {
        if (tb.T[j] == 0)
            tb.A2text[j].clear();
        else if (tb.T[j] == 1)
            tb.A2text[j] = U"x";
        else if (tb.T[j] == -1)
            tb.A2text[j] = U"-x";
        else
            tb.A2text[j] = tb.Ttext[j] + U"x";
    }
    for (int j = 1; j <= 20; ++j)
        if (tb.F[j] > 0) tb.Ftext[j] = U"+" + tb.Ftext[j];
    PlusIfPositive(sh, 3);
    // The left constant, the right constant and the moved constant vanish when they are 0;
    // the collected constant keeps its "0" (7x=0).
    for (int j : {1, 2, 3, 11, 12, 13})
        if (tb.F[j] == 0) tb.Ftext[j].clear();
}

Text CloseProblem(Shell& sh, const Text& problemLine, const Text& answer, int noteColour) {
    const float column = sh.tab.columnX[sh.currentProblem % 2 == 1 ? 31 : 33];
    return shell::CloseEquationProblem(sh, {column, Row(sh, 1)}, problemLine, answer, noteColour);
}

void MoveAndCollect(Shell& sh, const Terms& t) {
    auto& T = sh.tab.T;
    auto& F = sh.tab.F;
    T[t.M()] = -T[t.R()];
    F[t.M()] = -F[t.L];
    T[t.C()] = T[t.L] - T[t.R()];
    F[t.C()] = F[t.R()] - F[t.L];
}

void SolveCollected(Shell& sh, const Terms& t, int chain) {
    const auto q = shell::QuotientTexts(sh.tab.F[t.C()], sh.tab.T[t.C()]);
    sh.tab.solution[chain] = q.chain;
    sh.tab.solution[chain + 1] = q.answer;
}

void StripPlusIn(Text& text) { text = shell::StripPlus(text); }

void PlusIfPositive(Shell& sh, int term) {
    Text& x = sh.tab.A2text[term];
    if (sh.tab.T[term] > 0 && (x.empty() || x.front() != U'+')) x = U"+" + x;
}

void Equation(Shell& sh, float x, int row, const Text& text) {
    shell::DrawText(sh, x, Row(sh, row), kEquationColour, text);
}

void Comment(Shell& sh, float x, int row, const Text& text) {
    shell::DrawText(sh, x, Row(sh, row), kCommentColour, text);
}

void MovingEquation(Shell& sh, const Terms& t, float x, int row) {
    auto& tb = sh.tab;
    PlusIfPositive(sh, t.M());
    StripPlusIn(tb.Ftext[t.R()]);
    Equation(sh, x, row, tb.A2text[t.L] + tb.A2text[t.M()] + U"=" + tb.Ftext[t.R()] + tb.Ftext[t.M()]);
}

void CollectedEquation(Shell& sh, const Terms& t, float x, int row) {
    auto& tb = sh.tab;
    StripPlusIn(tb.Ftext[t.C()]);
    Equation(sh, x, row, tb.A2text[t.C()] + U"=" + tb.Ftext[t.C()]);
}

void DivideComment(Shell& sh, const Terms& t, float x, int row) {
    Comment(sh, x, row, U"両辺を " + sh.tab.Ttext[t.C()] + U" でわって");
}

void ClosingLine(Shell& sh, float x, int row, int chain) {
    shell::DrawText(sh, x, Row(sh, row), kClosingColour, U"x=" + sh.tab.solution[chain]);
}

namespace {

struct PanelLine {
    const char32_t* text;
    int colour;
    float x;
    float y, yWithDecimalRule;  // y < 0: only in the panel with the decimal rule
};

// clang-format off
constexpr PanelLine kPanel[] = {
    {U"＜方程式の基本事項＞", 11, 48, 117, 117},
    {U"①　かっこをはずす", 13, 64, 153, 144},
    {U"②　移項するとき符号を変える", 9, 64, 180, 171},
    {U"③　(文字をふくむ項）=(数の項)　", 13, 64, 207, 198},
    {U"　　の形に整理する", 13, 64, 234, 225},
    {U"④　小数、分数の係数は整数になおす", 5, 64, -1, 252},
    {U"⑤ ax+b=c → ax=c-b(移項)", 13, 384, 126, 126},
    {U"⑥ ax-b=c → ax=c+b(移項)", 9, 384, 153, 153},
    {U"⑦ ax=b → x=ﾀb/aﾀ", 13, 384, 189, 189},
    {U"⑧ ﾀx/aﾀ=b → x=a*b", 9, 384, 234, 234},
};
// clang-format on

void DrawPanel(Shell& sh, bool withDecimalRule) {
    for (const auto& line : kPanel) {
        const float y = withDecimalRule ? line.yWithDecimalRule : line.y;
        if (y >= 0) shell::DrawText(sh, line.x, y, line.colour, line.text);
    }
}

}  // namespace

void FundamentalsPanel(Shell& sh) { DrawPanel(sh, false); }
void FundamentalsPanelWithDecimalRule(Shell& sh) { DrawPanel(sh, true); }

std::pair<int, int> SpreadPair(Shell& sh, int lo, int hi) {
    int a = shell::RandomInt(sh, lo, hi);
    int d = shell::RandomInt(sh, lo, hi);
    if (a - d == 0 || a - d == 1)
        a += 2;
    else if (d - a == 1)
        d += 2;
    return {a, d};
}

void ResetNumberList(Shell& sh) { shell::SetNumberList(sh, {1, 2, 3, 5, 7, 11}); }

}  // namespace halvard
