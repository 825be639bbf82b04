// Entries 9 to 13: decimal and fraction coefficients, cleared by multiplying both sides before
// the equation is solved as in the earlier entries. 9 and 10 are one routine with a table.
#include <utility>

#include "halvard/entries.h"
#include "halvard/frame.h"
#include "shell/frame.h"
#include "shell/numtext.h"

namespace halvard {
namespace {

// The number-to-text conversion drops the zero before the point (.5, -.6); a pupil reads
// decimals with it.
void InsertLeadingZero(Text& text) {
    if (!text.empty() && text.front() == U'.')
        text.insert(0, U"0");
    else if (text.size() > 1 && text[0] == U'-' && text[1] == U'.')
        text.insert(1, U"0");
}

// Entries 9 and 10: decimals with tenths, multiplied by 10. The integer form lives in terms
// L to L + 3, the shown form in terms L + 4 (left) and L + 5 (right).
struct DecimalShape {
    Terms terms;
    const char32_t* label;
    int rightSign;       // right x term: cx or -cx
    int constantFactor;  // right constant: -e (shown -0.e) or 10d (shown d)
};

constexpr DecimalShape kDecimals[] = {
    {{1}, U"① ", +1, -1},
    {{11}, U"② ", -1, 10},
};

}  // namespace

template <int Shape>
void Decimals<Shape>::Present(Shell& sh) {
    constexpr const DecimalShape& shape = kDecimals[Shape];
    constexpr Terms t = shape.terms;
    constexpr int shownLeft = shape.terms.L + 4;
    constexpr int shownRight = shape.terms.L + 5;
    OpenProblem(sh);
    auto& T = sh.tab.T;
    auto& F = sh.tab.F;
    // From 1 to 7, so that the spread leaves every coefficient at most 9: one tenth digit.
    const auto [a, c] = SpreadPair(sh, 1, 7);
    T[t.L] = static_cast<float>(a);
    T[t.R()] = static_cast<float>(shape.rightSign * c);
    F[t.L] = static_cast<float>(shell::RandomInt(sh, 1, 9));
    F[t.R()] = static_cast<float>(shape.constantFactor * shell::RandomInt(sh, 1, 9));
    MoveAndCollect(sh, t);
    SolveCollected(sh, t, ChainCell(t));
    T[shownLeft] = T[t.L] / 10;
    T[shownRight] = T[t.R()] / 10;
    F[shownLeft] = F[t.L] / 10;
    F[shownRight] = F[t.R()] / 10;

    shell::FormatNumberTexts(sh);
    auto& tb = sh.tab;
    for (int j : {shownLeft, shownRight}) {
        InsertLeadingZero(tb.Ttext[j]);
        InsertLeadingZero(tb.Ftext[j]);
    }
    CommonTextRules(sh);

    SetColumns(sh, 64, 384, 64, 384);
    SetRows(sh, {288, 324, 360, 396, 432, 468, 504, 540});
    CloseProblem(sh,
                 shape.label + tb.A2text[shownLeft] + tb.Ftext[shownLeft] + U"=" + tb.A2text[shownRight] +
                     tb.Ftext[shownRight],
                 tb.solution[ChainCell(t) + 1]);
}

template <int Shape>
void Decimals<Shape>::HintStep2(Shell& sh) {
    constexpr const DecimalShape& shape = kDecimals[Shape];
    constexpr Terms t = shape.terms;
    const auto& tb = sh.tab;
    Comment(sh, kCommentX, 2, U"両辺に１０をかけて");
    Equation(sh, kEquationX, 3, tb.A2text[t.L] + tb.Ftext[t.L] + U"=" + tb.A2text[t.R()] + tb.Ftext[t.R()]);
    Comment(sh, kCommentX, 4, tb.Ftext[t.L] + U" と " + tb.A2text[t.R()] + U" を移項して");
    MovingEquation(sh, t, kEquationX, 5);
}

template <int Shape>
void Decimals<Shape>::HintStep3(Shell& sh) {
    constexpr const DecimalShape& shape = kDecimals[Shape];
    constexpr Terms t = shape.terms;
    CollectedEquation(sh, t, kEquationX, 6);
    DivideComment(sh, t, kCommentX, 7);
    ClosingLine(sh, kEquationX, 8, ChainCell(t));
}

template struct Decimals<0>;
template struct Decimals<1>;

namespace {

void FractionRows(Shell& sh) { SetRows(sh, {288, 333, 378, 414, 450, 486, 522, 558, 594}); }

// (1/p)x=(1/q)x-k, multiplied by pq.
constexpr Terms kTerms11{1};

}  // namespace

void UnitFractions::Present(Shell& sh) {
    OpenProblem(sh);
    auto& T = sh.tab.T;
    auto& F = sh.tab.F;
    auto& X = sh.tab.solution;
    ResetNumberList(sh);
    const int p = PickNumber(sh, 2, 6, true);
    const int q = PickNumber(sh, 2, 5, false);
    X[5] = shell::QuotientTexts(1, static_cast<float>(p)).answer;
    X[6] = shell::QuotientTexts(1, static_cast<float>(q)).answer;
    // Multiplied by pq, (1/p)x becomes qx and (1/q)x becomes px.
    T[1] = static_cast<float>(q);
    T[2] = static_cast<float>(p);
    T[5] = static_cast<float>(p * q);
    F[1] = 0;
    const int k = shell::RandomInt(sh, 1, 3);
    F[6] = static_cast<float>(-k);
    F[2] = static_cast<float>(-k * p * q);
    MoveAndCollect(sh, kTerms11);
    SolveCollected(sh, kTerms11, 1);

    FormatTexts(sh);
    SetColumns(sh, 64, 384, 64, 384);
    FractionRows(sh);
    const auto& tb = sh.tab;
    CloseProblem(sh, U"① " + X[5] + U"x" + U"=" + X[6] + U"x" + tb.Ftext[6], X[2]);
}

void UnitFractions::HintStep2(Shell& sh) {
    const auto& tb = sh.tab;
    const Text& times = tb.Ttext[5];
    Comment(sh, kCommentX, 2, U"両辺に" + times + U" をかけて");
    Equation(sh, kEquationX, 3,
             times + U"*" + tb.solution[5] + U"x" + U"=" + times + U"*" + tb.solution[6] + U"x+" + times +
                 U"*(" + tb.Ftext[6] + U")");
    Equation(sh, kEquationX, 4, tb.A2text[1] + tb.Ftext[1] + U"=" + tb.A2text[2] + tb.Ftext[2]);
}

void UnitFractions::HintStep3(Shell& sh) {
    Comment(sh, kCommentX, 5, sh.tab.A2text[2] + U" を移項して");
    MovingEquation(sh, kTerms11, kEquationX, 6);
    // The last three lines go to the second column, beside the first.
    CollectedEquation(sh, kTerms11, 432, 2);
    DivideComment(sh, kTerms11, 480, 3);
    ClosingLine(sh, 432, 4, 1);
}

// (p1/q1)x+k=(p2/q2)x, multiplied by q1q2.
constexpr Terms kTerms12{11};

void FractionCoefficients::Present(Shell& sh) {
    OpenProblem(sh);
    auto& T = sh.tab.T;
    auto& F = sh.tab.F;
    auto& B2 = sh.tab.B2;
    ResetNumberList(sh);
    // Two denominators of 3, 5, 7; then numerators from 1, 2 and the one left of 3, 5, 7, so
    // that all four differ and the collected coefficient is never 0.
    const int q1 = PickNumber(sh, 3, 5, true);
    const int q2 = PickNumber(sh, 3, 4, true);
    const int p1 = PickNumber(sh, 1, 3, true);
    const int p2 = PickNumber(sh, 1, 2, false);
    sh.tab.solution[7] = shell::QuotientTexts(static_cast<float>(p1), static_cast<float>(q1)).answer;
    sh.tab.solution[8] = shell::QuotientTexts(static_cast<float>(p2), static_cast<float>(q2)).answer;
    B2[1] = static_cast<float>(p1);
    B2[2] = static_cast<float>(q1);
    B2[3] = static_cast<float>(p2);
    B2[4] = static_cast<float>(q2);
    std::swap(B2[2], B2[4]);
    B2[5] = static_cast<float>(q1 * q2);
    T[11] = static_cast<float>(p1 * q2);
    T[12] = static_cast<float>(p2 * q1);
    F[12] = 0;
    const int k = shell::RandomInt(sh, 1, 3);
    F[16] = static_cast<float>(k);
    F[11] = static_cast<float>(k * q1 * q2);
    MoveAndCollect(sh, kTerms12);
    SolveCollected(sh, kTerms12, 3);

    FormatTexts(sh);
    SetColumns(sh, 64, 384, 64, 384);
    FractionRows(sh);
    const auto& tb = sh.tab;
    CloseProblem(sh, U"② " + tb.solution[7] + U"x" + tb.Ftext[16] + U"=" + tb.solution[8] + U"x",
                 tb.solution[4]);
}

void FractionCoefficients::HintStep2(Shell& sh) {
    auto& tb = sh.tab;
    const Text& times = tb.B2text[5];
    Comment(sh, kCommentX, 2, U"両辺に" + times + U" をかけて");
    StripPlusIn(tb.Ftext[16]);
    Equation(sh, kEquationX, 3,
             times + U"*" + tb.solution[7] + U"x+" + times + U"*" + tb.Ftext[16] + U"=" + times + U"*" +
                 tb.solution[8] + U"x");
    Equation(sh, kEquationX, 4, tb.A2text[11] + tb.Ftext[11] + U"=" + tb.A2text[12] + tb.Ftext[12]);
}

void FractionCoefficients::HintStep3(Shell& sh) {
    Comment(sh, kCommentX, 5, sh.tab.A2text[12] + U" を移項して");
    MovingEquation(sh, kTerms12, kEquationX, 6);
    // Beside the first column, at x 384.
    CollectedEquation(sh, kTerms12, 400, 2);
    DivideComment(sh, kTerms12, 432, 3);
    ClosingLine(sh, 400, 4, 3);
}

// (ax+b)/m=(cx-e)/n, multiplied by mn. The shown numerators are terms 6 and 7, the
// denominators B2 cells 1 and 2 and their product cell 3.
constexpr Terms kTerms13{1};

void FractionsOfBinomials::Present(Shell& sh) {
    OpenProblem(sh);
    auto& T = sh.tab.T;
    auto& F = sh.tab.F;
    auto& B2 = sh.tab.B2;
    // With m = 2, n = 3, a = 2, c = 3 (or m = 3, n = 2, a = 3, c = 2) the x terms cancel and
    // the equation has no solution: such numbers are drawn again.
    do {
        ResetNumberList(sh);
        const int m = PickNumber(sh, 2, 5, true);
        const int n = PickNumber(sh, 2, 4, false);
        B2[1] = static_cast<float>(m);
        B2[2] = static_cast<float>(n);
        B2[3] = static_cast<float>(m * n);
        const int a = shell::RandomInt(sh, 1, 3);
        int b = shell::RandomInt(sh, 1, 3);
        if (b == a) b += 1;  // never the same number as coefficient and constant
        const int c = shell::RandomInt(sh, 1, 3);
        const int e = shell::RandomInt(sh, 1, 3);
        T[6] = static_cast<float>(a);
        F[6] = static_cast<float>(b);
        T[7] = static_cast<float>(c);
        F[7] = static_cast<float>(-e);
        T[1] = static_cast<float>(n * a);
        F[1] = static_cast<float>(n * b);
        T[2] = static_cast<float>(m * c);
        F[2] = static_cast<float>(-m * e);
        MoveAndCollect(sh, kTerms13);
    } while (T[4] == 0);
    SolveCollected(sh, kTerms13, 1);

    FormatTexts(sh);
    SetColumns(sh, 64, 384, 704, 1024);
    SetRows(sh, {288, 333, 378, 432, 468, 504, 540, 576, 612});
    const auto& tb = sh.tab;
    CloseProblem(sh,
                 U"問 ﾀ" + tb.A2text[6] + tb.Ftext[6] + U"/" + tb.B2text[1] + U"ﾀ=ﾀ" + tb.A2text[7] +
                     tb.Ftext[7] + U"/" + tb.B2text[2] + U"ﾀ",
                 tb.solution[2], 7);
    // This entry also hands its answer over as the second accepted text; both hold the same.
    sh.ans.accepted2 = sh.ans.accepted;
}

void FractionsOfBinomials::HintStep2(Shell& sh) {
    const auto& tb = sh.tab;
    const Text& times = tb.B2text[3];
    Comment(sh, kCommentX, 2, U"両辺に" + times + U" をかけて");
    Equation(sh, kEquationX, 3,
             times + U"*ﾀ" + tb.A2text[6] + tb.Ftext[6] + U"/" + tb.B2text[1] + U"ﾀ=" + times + U"*ﾀ" +
                 tb.A2text[7] + tb.Ftext[7] + U"/" + tb.B2text[2] + U"ﾀ");
    Equation(sh, kEquationX, 4,
             tb.B2text[2] + U"(" + tb.A2text[6] + tb.Ftext[6] + U")=" + tb.B2text[1] + U"(" + tb.A2text[7] +
                 tb.Ftext[7] + U")");
}

void FractionsOfBinomials::HintStep3(Shell& sh) {
    const auto& tb = sh.tab;
    // Second column (x 384).
    Comment(sh, 432, 2, U"かっこをはずして");
    Equation(sh, 400, 3, tb.A2text[1] + tb.Ftext[1] + U"=" + tb.A2text[2] + tb.Ftext[2]);
    Comment(sh, 432, 4, tb.Ftext[1] + U" と " + tb.A2text[2] + U" を移項して");
    MovingEquation(sh, kTerms13, 400, 5);
    // Third column (x 704).
    CollectedEquation(sh, kTerms13, 752, 2);
    DivideComment(sh, kTerms13, 800, 3);
    ClosingLine(sh, 752, 4, 1);
}

}  // namespace halvard
