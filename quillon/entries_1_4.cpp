// Entries 1 to 4: ratios and ratio values. Entries 1 and 2 share a rectangle whose sides are
// marked with their lengths; entries 3 and 4 share the numbers of two ratios, one with a whole
// ratio value and one with a fraction, and each asks for one of them.
#include "quillon/entries.h"
#include "quillon/frame.h"
#include "shell/annotate.h"
#include "shell/frame.h"
#include "shell/mathtext.h"
#include "shell/numtext.h"

namespace quillon {
namespace {

struct RectangleShape {
    const char32_t* question;
    float questionY;
    bool ratioValue;  // asks for the ratio value in lowest terms, not the ratio as given
};

constexpr RectangleShape kRectangles[] = {
    {U"① 縦と横の長さの比を求めなさい。", 108, false},
    {U"② 縦と横の長さの比の値を求めなさい。", 126, true},
};

// Where the rectangle's top-left corner is, and how many cells its longer side may take.
constexpr float kFigureX = 640;
constexpr float kFigureY = 126;
constexpr float kCell = 16;
constexpr float kTallest = 10;
constexpr float kWidest = 15;

// The rectangle at its corner, scaled so that its height is 10 cells, or its width 15 cells
// when it is too wide for that; each side is spanned by a dotted arc and labelled with its
// length. The corners are kept in the column and row tables, the size in cells in B2.
void DrawRectangle(Shell& sh) {
    auto& tb = sh.tab;
    const float tall = tb.F[1], wide = tb.F[2];
    float h = kTallest;
    float v = kTallest * wide / tall;
    if (v > kWidest) {
        v = kWidest;
        h = kWidest * tall / wide;
    }
    tb.B2[1] = h;
    tb.B2[2] = v;
    tb.columnX[1] = kFigureX;
    tb.columnX[2] = kFigureX + kCell * v;
    tb.rowY[1] = kFigureY;
    tb.rowY[2] = kFigureY + kCell * h;
    const float left = tb.columnX[1], right = tb.columnX[2], top = tb.rowY[1], bottom = tb.rowY[2];

    sh.box.width = right - left;
    sh.box.height = bottom - top;
    sh.box.border = 15;
    sh.box.fill = 8;
    sh.colour = kResultColour;
    shell::DrawFramedText(sh, left, top, U"");

    shell::DrawSpanArc(sh, {left, top}, {right, top}, -1, 2, 1, 15);
    sh.colour = kResultColour;
    shell::PlaceLabelBySide(sh, {(left + right) / 2, top}, tb.Ftext[2] + U"cm", shell::LabelSide::Above, 3);
    shell::DrawSpanArc(sh, {left, top}, {left, bottom}, 1, 2, 1, 15);
    sh.colour = kResultColour;
    shell::PlaceLabelBySide(sh, {left, (top + bottom) / 2}, tb.Ftext[1] + U"cm", shell::LabelSide::Left, 1);
}

Text Ratio(const Shell& sh) { return sh.tab.Ftext[1] + U":" + sh.tab.Ftext[2]; }

}  // namespace

template <int Shape>
void Rectangle<Shape>::Present(Shell& sh) {
    constexpr const RectangleShape& shape = kRectangles[Shape];
    OpenProblem(sh, 480, 162);
    auto& F = sh.tab.F;
    // A ratio whose reduced second term is 1 would have a whole ratio value, and a square
    // would be 1:1: such sides are drawn again.
    do {
        const int a = shell::RandomInt(sh, 1, 4);
        const int b = shell::RandomInt(sh, 1, 4);
        const int w = shell::RandomInt(sh, 2, 5);
        F[1] = static_cast<float>(w * a);
        F[2] = static_cast<float>(w * b);
        const auto reduced = shell::QuotientTexts(F[1], F[2]);
        F[3] = reduced.numerator;
        F[4] = reduced.denominator;
    } while (F[4] == 1);
    shell::FormatNumberTexts(sh);

    const auto& tb = sh.tab;
    DrawRectangle(sh);
    Line(sh, 80, 72, kProblemColour,
         U"縦が" + tb.Ftext[1] + U"cm、横が" + tb.Ftext[2] + U"cm の長方形について、");
    Line(sh, 80, shape.questionY, kProblemColour, shape.question);

    const Text answer = shape.ratioValue ? tb.Ftext[3] + U"/" + tb.Ftext[4] : Ratio(sh);
    CloseProblem(sh, answer, AnswerLabels::Rectangle, U"", kCommentColour);
}

template struct Rectangle<0>;
template struct Rectangle<1>;

void RatioNotation(Shell& sh) { Line(sh, 112, 198, kResultColour, U"比は　：　を使って表す。"); }

void SidesOfRectangle(Shell& sh) {
    Line(sh, 112, 234, kProblemColour, U"縦が" + sh.tab.Ftext[1] + U"、横が" + sh.tab.Ftext[2] + U" だから");
}

void RatioOfSides(Shell& sh) { Line(sh, 112, 270, kResultColour, Ratio(sh)); }

void RatioOfSidesAtOnce(Shell& sh) {
    RatioNotation(sh);
    SidesOfRectangle(sh);
    RatioOfSides(sh);
}

void RatioValueRuleBelowSides(Shell& sh) { RatioValueRuleAt(sh, 324); }

void RatioValueOfSides(Shell& sh) {
    const auto& t = sh.tab.Ftext;
    Line(sh, 112, 378, kProblemColour, Ratio(sh) + U"=ﾀ" + t[1] + U"/" + t[2] + U"ﾀ");
    Continue(sh, kResultColour, U"=ﾀ" + t[3] + U"/" + t[4] + U"ﾀ");
    ReduceNoteAt(sh, 432);
}

namespace {

// The ratio shown is F[first]:F[second]; its value is F[numerator], over F[denominator] when
// that is not 0.
struct RatioShape {
    const char32_t* label;
    int first, second;
    int numerator, denominator;
};

constexpr RatioShape kRatios[] = {
    {U"①　", 3, 2, 1, 0},
    // The label lines up with entry 3's ①, without a blank before it.
    {U"②　", 8, 9, 5, 6},
};

}  // namespace

template <int Shape>
void RatioValue<Shape>::Present(Shell& sh) {
    constexpr const RatioShape& shape = kRatios[Shape];
    OpenProblem(sh, 480, 144);
    auto& F = sh.tab.F;
    // Both entries draw the numbers of both ratios and show one of them.
    F[1] = static_cast<float>(shell::RandomInt(sh, 2, 5));
    F[2] = static_cast<float>(shell::RandomInt(sh, 2, 6));
    F[3] = F[1] * F[2];
    // The fraction p/q is always in lowest terms: p is 1, 3 or 5 and q is 2, 4 or 7.
    int p = shell::RandomInt(sh, 1, 3);
    if (p == 2) p = 5;
    int q = shell::RandomInt(sh, 2, 4);
    if (q == 3) q = 7;
    F[5] = static_cast<float>(p);
    F[6] = static_cast<float>(q);
    F[7] = static_cast<float>(shell::RandomInt(sh, 2, 5));
    F[8] = F[5] * F[7];
    F[9] = F[6] * F[7];
    shell::FormatNumberTexts(sh);

    const auto& t = sh.tab.Ftext;
    Line(sh, 80, 72, kProblemColour, U"次の比の値を求めなさい。");
    Line(sh, 80, 99, kProblemColour, shape.label + t[shape.first] + U":" + t[shape.second]);
    const Text answer =
        shape.denominator == 0 ? t[shape.numerator] : t[shape.numerator] + U"/" + t[shape.denominator];
    CloseProblem(sh, answer, AnswerLabels::Plain, U"", kCommentColour);
}

template <int Shape>
void RatioValue<Shape>::HintStep2(Shell& sh) {
    constexpr const RatioShape& shape = kRatios[Shape];
    const auto& t = sh.tab.Ftext;
    const Text a = t[shape.first], b = t[shape.second];
    Line(sh, 112, 270, kProblemColour, a + U":" + b + U"=ﾀ" + a + U"/" + b + U"ﾀ=");
    // The value completes this line in the last step.
    sh.tab.columnX[1] = sh.pen.x;
    sh.tab.rowY[1] = sh.pen.y;
    ReduceNoteAt(sh, 306);
}

template <int Shape>
void RatioValue<Shape>::HintStep3(Shell& sh) {
    constexpr const RatioShape& shape = kRatios[Shape];
    const auto& t = sh.tab.Ftext;
    const Text value = shape.denominator == 0
                           ? t[shape.numerator]
                           : U"ﾀ" + t[shape.numerator] + U"/" + t[shape.denominator] + U"ﾀ";
    Line(sh, sh.tab.columnX[1], sh.tab.rowY[1], kResultColour, value);
}

template struct RatioValue<0>;
template struct RatioValue<1>;

void RatioValueRule(Shell& sh) { RatioValueRuleAt(sh, 198); }

}  // namespace quillon
