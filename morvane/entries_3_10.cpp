// Entries 3 to 10: one-step equations, solved by doing the same to both sides. Four pairs, one
// per operation; the odd entry of a pair has whole numbers, the even one a harder kind of number
// (decimals, fractions, a negative factor). One routine serves all eight with a table of what
// differs.
#include "morvane/entries.h"
#include "morvane/frame.h"
#include "shell/frame.h"
#include "shell/mathtext.h"
#include "shell/numtext.h"

namespace morvane {
namespace {

// What is done to both sides: the operand c is a, or -a where the table says so.
enum class Operation { Add, Subtract, Multiply, Divide };

enum class Numbers {
    Whole,
    Tenths,     // a and b drawn in tenths: one decimal digit
    Fractions,  // x+p/q=r/q, drawn from a list (SameDenominator)
};

struct OneStepShape {
    Operation operation;
    Numbers numbers;
    int aFrom, aTo, aSign;  // a = aSign * (aFrom to aTo)
    int bFrom, bTo;
    int operandSign;        // c = operandSign * a
    bool roomForFractions;  // rows 54 apart, for stacked fractions
    // In the texts, "A" stands for the text of a and "B" for that of b.
    const char32_t* problem;  // with its label
    const char32_t* comment;  // hint step 2
    const char32_t* applied;  // hint step 3: c applied to both sides
};

// clang-format off
constexpr OneStepShape kShapes[] = {
    {Operation::Add, Numbers::Whole, 2, 8, 1, 10, 17, 1, false,
        U"① x-A=B", U"両辺に A をたして", U"x-A+A=B+A"},
    {Operation::Add, Numbers::Tenths, 10, 16, 1, 10, 17, 1, false,
        U"② x-A=B", U"両辺に A をたして", U"x-A+A=B+A"},
    {Operation::Subtract, Numbers::Whole, 1, 7, 1, 10, 17, 1, true,
        U"① x+A=B", U"両辺から A をひいて", U"x+A-A=B-A"},
    {Operation::Subtract, Numbers::Fractions, 0, 0, 1, 0, 0, 1, true,
        U"② x+A=B", U"両辺から A をひいて", U"x+A-A=B-A"},
    {Operation::Multiply, Numbers::Whole, 2, 9, 1, 1, 8, 1, true,
        U"① ﾀx/Aﾀ=B", U"両辺に A をかけて", U"ﾀx/Aﾀ*A=B*A"},
    {Operation::Multiply, Numbers::Whole, 2, 9, 1, 1, 8, -1, true,
        U"② -ﾀx/Aﾀ=B", U"両辺に -A をかけて", U"-ﾀx/Aﾀ*(-A)=B*(-A)"},
    {Operation::Divide, Numbers::Whole, 2, 6, 1, 1, 14, 1, true,
        U"① Ax=B", U"両辺を A でわって", U"ﾀAx/Aﾀ=ﾀB/Aﾀ"},
    {Operation::Divide, Numbers::Whole, 2, 6, -1, 1, 15, 1, true,
        U"② Ax=B", U"両辺を (A) でわって", U"ﾀAx/Aﾀ=ﾀB/Aﾀ"},
};
// clang-format on

// The odd entry of each pair keeps its numbers in T, the even one in A2: cells 1 and 2 hold a
// and b, cell 3 the solution when it is a number. A quotient's chain and answer texts go to
// solution cells 1 and 2, the fractions of entry 6 to cells 3 and 4.
constexpr bool KeptInT(int shape) { return shape % 2 == 0; }

struct Texts {
    Text a, b;
    Text closing;  // after "x=" on the closing line
    Text answer;   // after "x=" in the accepted answer
};

Texts TextsOf(const Shell& sh, const OneStepShape& shape, bool inT) {
    const auto& tb = sh.tab;
    const auto number = [&](int i) -> const Text& { return inT ? tb.Ttext[i] : tb.A2text[i]; };
    if (shape.numbers == Numbers::Fractions)
        return {tb.solution[3], tb.solution[4], tb.solution[1], tb.solution[2]};
    if (shape.operation == Operation::Divide) return {number(1), number(2), tb.solution[1], tb.solution[2]};
    return {number(1), number(2), number(3), number(3)};
}

// The text with "A" and "B" replaced.
Text Fill(const char32_t* pattern, const Texts& texts) {
    Text out;
    for (const char32_t* p = pattern; *p; ++p) {
        if (*p == U'A')
            out += texts.a;
        else if (*p == U'B')
            out += texts.b;
        else
            out += *p;
    }
    return out;
}

// x + p/q = r/q: q one of the primes 5, 7, 11, 13, and p and r from the other five numbers of
// the list (they may be equal), so both fractions are in lowest terms; either may be improper.
void SameDenominator(Shell& sh) {
    auto& X = sh.tab.solution;
    shell::SetNumberList(sh, {1, 2, 5, 7, 11, 13});
    const auto q = static_cast<float>(shell::PickNumber(sh, 3, 6, true));
    const auto p = static_cast<float>(shell::PickNumber(sh, 1, 5, false));
    const auto r = static_cast<float>(shell::PickNumber(sh, 1, 5, false));
    X[3] = shell::QuotientTexts(p, q).answer;
    X[4] = shell::QuotientTexts(r, q).answer;
    const shell::FractionSum difference = shell::FractionSumTexts(-p, q, r, q);
    const shell::Quotient x = shell::QuotientTexts(difference.numeratorSum, difference.denominator);
    X[1] = x.chain;
    X[2] = x.answer;
}

// a, b and the solution: in T or A2 when they are numbers, quotient texts in the solution cells.
void WholeOrTenths(Shell& sh, const OneStepShape& shape, bool inT) {
    // Decimals are drawn and summed as whole tenths, so that their sum stays exact (2.8, not
    // 2.8000002).
    const int scale = shape.numbers == Numbers::Tenths ? 10 : 1;
    const int a = shape.aSign * shell::RandomInt(sh, shape.aFrom, shape.aTo);
    const int b = shell::RandomInt(sh, shape.bFrom, shape.bTo);
    const int c = shape.operandSign * a;
    auto& tb = sh.tab;
    const auto cell = [&](int i) -> float& { return inT ? tb.T[i] : tb.A2[i]; };
    const auto value = [scale](int n) { return static_cast<float>(n) / static_cast<float>(scale); };
    cell(1) = value(a);
    cell(2) = value(b);
    switch (shape.operation) {
        case Operation::Add:
            cell(3) = value(b + c);
            break;
        case Operation::Subtract:
            cell(3) = value(b - c);
            break;
        case Operation::Multiply:
            cell(3) = static_cast<float>(b * c) / static_cast<float>(scale * scale);
            break;
        case Operation::Divide: {
            const shell::Quotient x = shell::QuotientTexts(static_cast<float>(b), static_cast<float>(c));
            tb.solution[1] = x.chain;
            tb.solution[2] = x.answer;
            break;
        }
    }
}

}  // namespace

template <int Shape>
void OneStep<Shape>::Present(Shell& sh) {
    constexpr const OneStepShape& shape = kShapes[Shape];
    OpenProblem(sh);
    if (shape.numbers == Numbers::Fractions)
        SameDenominator(sh);
    else
        WholeOrTenths(sh, shape, KeptInT(Shape));
    shell::FormatNumberTexts(sh);

    shell::SetColumns(sh, 64, 384, 64, 384);
    if (shape.roomForFractions)
        shell::SetRows(sh, {288, 342, 396, 450});
    else
        shell::SetRows(sh, {288, 324, 360, 396});
    const Texts texts = TextsOf(sh, shape, KeptInT(Shape));
    const float column = sh.tab.columnX[KeptInT(Shape) ? 31 : 33];
    shell::CloseEquationProblem(sh, {column, shell::Row(sh, 1)}, Fill(shape.problem, texts), texts.answer,
                                kNoteColour);
}

template <int Shape>
void OneStep<Shape>::HintStep2(Shell& sh) {
    constexpr const OneStepShape& shape = kShapes[Shape];
    shell::DrawText(sh, 112, shell::Row(sh, 2), kTitleColour,
                    Fill(shape.comment, TextsOf(sh, shape, KeptInT(Shape))));
}

template <int Shape>
void OneStep<Shape>::HintStep3(Shell& sh) {
    constexpr const OneStepShape& shape = kShapes[Shape];
    const Texts texts = TextsOf(sh, shape, KeptInT(Shape));
    shell::DrawText(sh, 80, shell::Row(sh, 3), kQuestionColour, Fill(shape.applied, texts));
    shell::DrawText(sh, 80, shell::Row(sh, 4), kTitleColour, U"x=" + texts.closing);
}

template struct OneStep<0>;
template struct OneStep<1>;
template struct OneStep<2>;
template struct OneStep<3>;
template struct OneStep<4>;
template struct OneStep<5>;
template struct OneStep<6>;
template struct OneStep<7>;

}  // namespace morvane
