// Entries 1 and 2: x on the left only, ax+b=c and ax-b=c. Both are one routine on their own
// terms; they differ in the sign of the left constant.
#include "halvard/entries.h"
#include "halvard/frame.h"
#include "shell/numtext.h"

namespace halvard {
namespace {

struct OneSideShape {
    Terms terms;
    const char32_t* label;
    int constantSign;  // sign of the left constant b
};

constexpr OneSideShape kShapes[] = {
    {{1}, U"① ", +1},
    {{11}, U"② ", -1},
};

}  // namespace

template <int Shape>
void OneSide<Shape>::Present(Shell& sh) {
    constexpr const OneSideShape& shape = kShapes[Shape];
    constexpr Terms t = shape.terms;
    OpenProblem(sh);
    auto& T = sh.tab.T;
    auto& F = sh.tab.F;
    // The second coefficient of the spread only keeps a away from a value the right side no
    // longer has; the right side is a number alone.
    const int a = SpreadPair(sh, 1, 9).first;
    T[t.L] = static_cast<float>(a);
    T[t.R()] = 0;
    F[t.L] = static_cast<float>(shape.constantSign * shell::RandomInt(sh, 1, 9));
    const int s = shell::RandomInt(sh, 1, 9);
    F[t.R()] = static_cast<float>(a * s) + F[t.L];
    MoveAndCollect(sh, t);
    SolveCollected(sh, t, ChainCell(t));

    FormatTexts(sh);
    auto& tb = sh.tab;
    // The right side opens with its constant. When b equals a*s in entry 2 that constant is
    // 0, which the zero rule has blanked; write it, so the line reads x-5=0, not x-5=.
    StripPlusIn(tb.Ftext[t.R()]);
    if (F[t.R()] == 0) tb.Ftext[t.R()] = U"0";

    SetColumns(sh, 64, 384, 64, 384);
    SetRows(sh, {288, 324, 360, 396, 432, 486});
    CloseProblem(sh, shape.label + tb.A2text[t.L] + tb.Ftext[t.L] + U"=" + tb.A2text[t.R()] + tb.Ftext[t.R()],
                 tb.solution[ChainCell(t) + 1]);
}

template <int Shape>
void OneSide<Shape>::HintStep2(Shell& sh) {
    constexpr const OneSideShape& shape = kShapes[Shape];
    constexpr Terms t = shape.terms;
    Comment(sh, kCommentX, 2, sh.tab.Ftext[t.L] + U" を移項して");
    MovingEquation(sh, t, kEquationX, 3);
}

template <int Shape>
void OneSide<Shape>::HintStep3(Shell& sh) {
    constexpr const OneSideShape& shape = kShapes[Shape];
    constexpr Terms t = shape.terms;
    CollectedEquation(sh, t, kEquationX, 4);
    DivideComment(sh, t, kCommentX, 5);
    ClosingLine(sh, kEquationX, 6, ChainCell(t));
}

template struct OneSide<0>;
template struct OneSide<1>;

}  // namespace halvard
