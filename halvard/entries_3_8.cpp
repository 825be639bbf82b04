// Entries 3 to 8: x on both sides (3 to 6, one routine with a table of what differs) and a
// parenthesis removed first (7 and 8).
#include "halvard/entries.h"
#include "halvard/frame.h"
#include "shell/numtext.h"

namespace halvard {
namespace {

// Entries 3 to 6 and the layout of their worked solution.
void BothSidesRows(Shell& sh) {
    SetColumns(sh, 64, 384, 64, 384);
    SetRows(sh, {288, 324, 360, 396, 432, 486});
}

struct BothSidesShape {
    Terms terms;
    const char32_t* label;
    int rightSign;  // sign of the right x term: cx or -cx
    enum Constants {
        RightIsKTimesCollected,  // 0 on the left, k(a - c) on the right: a whole answer
        RightPositive,           // 0 on the left, d on the right
        LeftAndNegativeRight,    // b on the left, -e on the right
        LeftAndPositiveRight,    // b on the left, d on the right
    } constants;
    bool commentNamesConstant;  // the constant moves too: "+3 と 2x を移項して"
    bool collectedInStep2;
};

constexpr BothSidesShape kBothSides[] = {
    {{1}, U"① ", +1, BothSidesShape::RightIsKTimesCollected, false, true},
    {{11}, U"② ", -1, BothSidesShape::RightPositive, false, false},
    {{1}, U"① ", +1, BothSidesShape::LeftAndNegativeRight, true, true},
    {{11}, U"② ", -1, BothSidesShape::LeftAndPositiveRight, true, false},
};

}  // namespace

template <int Shape>
void BothSides<Shape>::Present(Shell& sh) {
    constexpr const BothSidesShape& shape = kBothSides[Shape];
    constexpr Terms t = shape.terms;
    OpenProblem(sh);
    auto& T = sh.tab.T;
    auto& F = sh.tab.F;
    const auto [a, c] = SpreadPair(sh, 1, 9);
    T[t.L] = static_cast<float>(a);
    T[t.R()] = static_cast<float>(shape.rightSign * c);
    switch (shape.constants) {
        case BothSidesShape::RightIsKTimesCollected:
            F[t.L] = 0;
            F[t.R()] = static_cast<float>(shell::RandomInt(sh, 1, 9) * (a - c));
            break;
        case BothSidesShape::RightPositive:
            F[t.L] = 0;
            F[t.R()] = static_cast<float>(shell::RandomInt(sh, 1, 9));
            break;
        case BothSidesShape::LeftAndNegativeRight:
            F[t.L] = static_cast<float>(shell::RandomInt(sh, 1, 9));
            F[t.R()] = static_cast<float>(-shell::RandomInt(sh, 1, 9));
            break;
        case BothSidesShape::LeftAndPositiveRight:
            F[t.L] = static_cast<float>(shell::RandomInt(sh, 1, 9));
            F[t.R()] = static_cast<float>(shell::RandomInt(sh, 1, 9));
            break;
    }
    MoveAndCollect(sh, t);
    SolveCollected(sh, t, ChainCell(t));

    FormatTexts(sh);
    BothSidesRows(sh);
    const auto& tb = sh.tab;
    // The right side opens with its x term, so its constant keeps its "+".
    CloseProblem(sh, shape.label + tb.A2text[t.L] + tb.Ftext[t.L] + U"=" + tb.A2text[t.R()] + tb.Ftext[t.R()],
                 tb.solution[ChainCell(t) + 1]);
}

template <int Shape>
void BothSides<Shape>::HintStep2(Shell& sh) {
    constexpr const BothSidesShape& shape = kBothSides[Shape];
    constexpr Terms t = shape.terms;
    const auto& tb = sh.tab;
    const Text moved =
        shape.commentNamesConstant ? tb.Ftext[t.L] + U" と " + tb.A2text[t.R()] : tb.A2text[t.R()];
    Comment(sh, kCommentX, 2, moved + U" を移項して");
    MovingEquation(sh, t, kEquationX, 3);
    if (shape.collectedInStep2) CollectedEquation(sh, t, kEquationX, 4);
}

template <int Shape>
void BothSides<Shape>::HintStep3(Shell& sh) {
    constexpr const BothSidesShape& shape = kBothSides[Shape];
    constexpr Terms t = shape.terms;
    if (!shape.collectedInStep2) CollectedEquation(sh, t, kEquationX, 4);
    DivideComment(sh, t, kCommentX, 5);
    ClosingLine(sh, kEquationX, 6, ChainCell(t));
}

template struct BothSides<0>;
template struct BothSides<1>;
template struct BothSides<2>;
template struct BothSides<3>;

namespace {

void ParenthesisRows(Shell& sh) {
    SetColumns(sh, 64, 384, 64, 384);
    SetRows(sh, {288, 324, 360, 396, 432, 468, 522});
}

// m(px+q)=cx+d.
constexpr Terms kTerms7{1};

}  // namespace

void BracketOnLeft::Present(Shell& sh) {
    OpenProblem(sh);
    auto& T = sh.tab.T;
    auto& F = sh.tab.F;
    // The factor m and the bracket px+q are shown as they are, so they live in term 5 and 6's
    // cells; c and d are the right side.
    float& m = F[5];
    float& p = T[5];
    float& q = F[6];
    float& c = T[2];
    m = static_cast<float>(shell::RandomInt(sh, 2, 4));
    p = static_cast<float>(shell::RandomInt(sh, 1, 3));
    q = static_cast<float>(shell::RandomInt(sh, 1, 3));
    c = static_cast<float>(shell::RandomInt(sh, 1, 9));
    // Keep the expanded coefficient mp at least 2 away from c, so that the collected
    // coefficient is never -1, 0 or 1.
    for (;;) {
        T[1] = m * p;
        F[1] = m * q;
        if (T[1] - c == 0 || T[1] - c == 1)
            p += 1;
        else if (c - T[1] == 0 || c - T[1] == 1)
            c += 2;
        else
            break;
    }
    F[2] = static_cast<float>(shell::RandomInt(sh, 1, 9));
    MoveAndCollect(sh, kTerms7);
    SolveCollected(sh, kTerms7, 1);

    FormatTexts(sh);
    auto& tb = sh.tab;
    StripPlusIn(tb.Ftext[5]);
    ParenthesisRows(sh);
    CloseProblem(sh,
                 U"① " + tb.Ftext[5] + U"(" + tb.A2text[5] + tb.Ftext[6] + U")=" + tb.A2text[2] + tb.Ftext[2],
                 tb.solution[2]);
}

void BracketOnLeft::HintStep2(Shell& sh) {
    const auto& tb = sh.tab;
    Equation(sh, kEquationX, 2, tb.A2text[1] + tb.Ftext[1] + U"=" + tb.A2text[2] + tb.Ftext[2]);
    Comment(sh, kCommentX, 3, tb.Ftext[1] + U" と " + tb.A2text[2] + U" を移項して");
    MovingEquation(sh, kTerms7, kEquationX, 4);
}

void BracketOnLeft::HintStep3(Shell& sh) {
    CollectedEquation(sh, kTerms7, kEquationX, 5);
    DivideComment(sh, kTerms7, kCommentX, 6);
    ClosingLine(sh, kEquationX, 7, 1);
}

namespace {

// ax-m(px+q)=d. The factor F(15) is negative; T(12) holds the expanded |m|p.
constexpr Terms kTerms8{11};

}  // namespace

void BracketSubtracted::Present(Shell& sh) {
    OpenProblem(sh);
    auto& T = sh.tab.T;
    auto& F = sh.tab.F;
    // The factor -m and the bracket px+q are shown as they are, in term 15 and 16's cells.
    float& minusM = F[15];
    float& p = T[15];
    float& q = F[16];
    minusM = static_cast<float>(-shell::RandomInt(sh, 2, 4));
    p = static_cast<float>(shell::RandomInt(sh, 1, 3));
    q = static_cast<float>(shell::RandomInt(sh, 1, 3));
    T[11] = static_cast<float>(shell::RandomInt(sh, 1, 9));
    // The expanded |m|p stays at least 2 away from a, so the collected coefficient is never
    // -1, 0 or 1.
    for (;;) {
        T[12] = -minusM * p;
        F[11] = minusM * q;
        const float gap = T[11] - T[12];
        if (gap == -1 || gap == 0 || gap == 1)
            p += 1;
        else
            break;
    }
    F[12] = static_cast<float>(shell::RandomInt(sh, 1, 9));
    MoveAndCollect(sh, kTerms8);
    SolveCollected(sh, kTerms8, 3);

    FormatTexts(sh);
    auto& tb = sh.tab;
    StripPlusIn(tb.Ftext[12]);
    ParenthesisRows(sh);
    CloseProblem(
        sh, U"② " + tb.A2text[11] + tb.Ftext[15] + U"(" + tb.A2text[15] + tb.Ftext[16] + U")=" + tb.Ftext[12],
        tb.solution[4]);
}

void BracketSubtracted::HintStep2(Shell& sh) {
    const auto& tb = sh.tab;
    Equation(sh, kEquationX, 2, tb.A2text[11] + tb.A2text[13] + tb.Ftext[11] + U"=" + tb.Ftext[12]);
    Comment(sh, kCommentX, 3, tb.Ftext[11] + U" を移項して");
    MovingEquation(sh, kTerms8, kEquationX, 4);
}

void BracketSubtracted::HintStep3(Shell& sh) {
    CollectedEquation(sh, kTerms8, kEquationX, 5);
    DivideComment(sh, kTerms8, kCommentX, 6);
    ClosingLine(sh, kEquationX, 7, 3);
}

}  // namespace halvard
