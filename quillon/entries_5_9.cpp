// Entries 5 to 9: proportions solved for x. Entries 5 to 8 put x into a simple ratio, in front
// (x:c=a:b) or behind (a:b=x:c), and solve by ratio values (5, 6) or by the products of the
// outer and inner terms (7, 8); entry 9 has a binomial term and solves by the products.
#include "quillon/entries.h"
#include "quillon/frame.h"
#include "shell/frame.h"
#include "shell/numtext.h"

namespace quillon {
namespace {

// The numbers of a proportion are T[base] to T[base + 6]: k, b, c, k*c, k*b and the two
// products k*b*c. P, Q, X, S and R are indices into T: the proportion pairs x:X with P:Q, its
// solution is x = S, and the products of its terms give Q*x = R.
struct ProportionForm {
    int base;
    const char32_t* label;
    bool xFirst;  // x:X=P:Q, else P:Q=x:X
    int P, Q, X, S, R;
};

constexpr ProportionForm kForms[] = {
    {1, U"① ", true, 2, 3, 4, 5, 7},
    {11, U"② ", false, 15, 14, 13, 12, 16},
};

// The form with x in front puts the comment that leads to the last step at the end of step 2;
// the other form opens step 3 with it.
constexpr bool CommentEndsStepTwo(const ProportionForm& form) { return form.xFirst; }

void PresentProportion(Shell& sh, const ProportionForm& form, bool byProducts) {
    OpenProblem(sh, 448, 99);
    auto& T = sh.tab.T;
    ResetNumberList(sh, 5);
    // c comes from 2 to 5 and is taken out of the list, so that b, from what is left, differs.
    const int c = PickNumber(sh, 2, 5, true);
    const int b = PickNumber(sh, 1, 4, false);
    const int k = shell::RandomInt(sh, 2, 3);
    const int n = form.base;
    T[n] = static_cast<float>(k);
    T[n + 1] = static_cast<float>(b);
    T[n + 2] = static_cast<float>(c);
    T[n + 3] = static_cast<float>(k * c);
    T[n + 4] = static_cast<float>(b * k);
    if (byProducts) {
        T[n + 5] = T[n + 4] * T[n + 2];
        T[n + 6] = T[n + 3] * T[n + 1];
    }
    shell::FormatNumberTexts(sh);

    SetColumns(sh, 64, 384, 64, 384);
    SetRows(sh, {252, 288, 333, 387, 432, 477, 522, 567});
    Line(sh, 64, 72, kProblemColour,
         byProducts ? U"次の比例式を比例式の性質を使って解きなさい。"
                    : U"次の比例式を比の値を使って解きなさい。");
    const auto& t = sh.tab.Ttext;
    const Text withX = U"x:" + t[form.X];
    const Text other = t[form.P] + U":" + t[form.Q];
    Line(sh, 64, Row(sh, 1), kProblemColour,
         form.label + (form.xFirst ? withX + U"=" + other : other + U"=" + withX));
    CloseProblem(sh, U"x=" + t[form.S], AnswerLabels::Plain, kTypeXNote, kCommentColour);
}

struct Panel {
    const char32_t* head;
    const char32_t* rule;
    const char32_t* example;
};

void DrawPanel(Shell& sh, const Panel& panel) {
    Line(sh, 48, 117, kCommentColour, panel.head);
    Line(sh, 64, 153, kResultColour, panel.rule);
    Line(sh, 64, 189, 9, panel.example);
}

}  // namespace

void RatioValuePanel(Shell& sh) {
    DrawPanel(sh, {U"＜比の値＞", U"①　a:b で　前の項a をうしろの項b でわった値 ﾀa/bﾀ",
                   U" 例　2:3 の比の値は　ﾀ2/3ﾀ"});
}

void ProductPanel(Shell& sh) {
    DrawPanel(sh, {U"＜比例式の性質＞", U"①　比例式の外側の項の積と内側の項の積は等しい。",
                   U"    a:b=c:d ならば ad=bc"});
}

template <int Form>
void ByRatioValues<Form>::Present(Shell& sh) {
    PresentProportion(sh, kForms[Form], false);
}

namespace {

void MultiplyComment(Shell& sh, const ProportionForm& form) {
    Line(sh, 112, Row(sh, 5), kCommentColour, U"両辺に " + sh.tab.Ttext[form.X] + U" をかけて");
}

void DivideComment(Shell& sh, const ProportionForm& form) {
    Line(sh, 112, Row(sh, 4), kCommentColour, U"両辺を " + sh.tab.Ttext[form.Q] + U" でわって");
}

}  // namespace

template <int Form>
void ByRatioValues<Form>::HintStep2(Shell& sh) {
    constexpr const ProportionForm& form = kForms[Form];
    const auto& t = sh.tab.Ttext;
    const Text x = t[form.X], p = t[form.P], q = t[form.Q];
    const Text withX = U"x:" + x + U"=ﾀx/" + x + U"ﾀ";
    const Text other = p + U":" + q + U"=ﾀ" + p + U"/" + q + U"ﾀ";
    Line(sh, 112, Row(sh, 2), kCommentColour, U"比の値を求めると、");
    Line(sh, 80, Row(sh, 3), kProblemColour, (form.xFirst ? withX : other) + U" , ");
    Continue(sh, kProblemColour, (form.xFirst ? other : withX) + U" だから");
    Line(sh, 128, Row(sh, 4), kProblemColour, U"ﾀx/" + x + U"ﾀ=ﾀ" + p + U"/" + q + U"ﾀ");
    if (CommentEndsStepTwo(form)) MultiplyComment(sh, form);
}

template <int Form>
void ByRatioValues<Form>::HintStep3(Shell& sh) {
    constexpr const ProportionForm& form = kForms[Form];
    const auto& t = sh.tab.Ttext;
    const Text x = t[form.X];
    if (!CommentEndsStepTwo(form)) MultiplyComment(sh, form);
    Line(sh, 80, Row(sh, 6), kProblemColour,
         x + U"*ﾀx/" + x + U"ﾀ=" + x + U"*ﾀ" + t[form.P] + U"/" + t[form.Q] + U"ﾀ");
    Line(sh, 128, Row(sh, 7), kResultColour, U"x=" + t[form.S]);
}

template <int Form>
void ByProducts<Form>::Present(Shell& sh) {
    PresentProportion(sh, kForms[Form], true);
}

template <int Form>
void ByProducts<Form>::HintStep2(Shell& sh) {
    constexpr const ProportionForm& form = kForms[Form];
    const auto& t = sh.tab.Ttext;
    // The inner terms are written in the order they stand in the proportion.
    const Text inner = form.xFirst ? t[form.X] + U"*" + t[form.P] : t[form.P] + U"*" + t[form.X];
    Line(sh, 80, Row(sh, 2), kProblemColour, t[form.Q] + U"*x=" + inner);
    Line(sh, 80, Row(sh, 3), kProblemColour, t[form.Q] + U"x=" + t[form.R]);
    if (CommentEndsStepTwo(form)) DivideComment(sh, form);
}

template <int Form>
void ByProducts<Form>::HintStep3(Shell& sh) {
    constexpr const ProportionForm& form = kForms[Form];
    const auto& t = sh.tab.Ttext;
    const Text q = t[form.Q];
    if (!CommentEndsStepTwo(form)) DivideComment(sh, form);
    Line(sh, 80, Row(sh, 5), kProblemColour, U"ﾀ" + q + U"x/" + q + U"ﾀ=ﾀ" + t[form.R] + U"/" + q + U"ﾀ");
    Line(sh, 96, Row(sh, 6), kResultColour, U"x=" + t[form.S]);
}

template struct ByRatioValues<0>;
template struct ByRatioValues<1>;
template struct ByProducts<0>;
template struct ByProducts<1>;

// a:(px+q)=c:d with a = T[1], q = T[2], c = T[3], d = T[4] and p = A2[1]. The products give
// c*p x + c*q = a*d, so c*p x = a*d - c*q: T[5] = c*q, T[6] = a*d, T[7] = -T[5] and
// T[8] = T[6] + T[7], and x = T[8] / (c*p) with c*p in A2[2]. The answer text is solution
// cell 1, the chain cell 2.
void BinomialProportion::Present(Shell& sh) {
    OpenProblem(sh, 448, 99);
    auto& T = sh.tab.T;
    auto& A2 = sh.tab.A2;
    // c and d are two different numbers from 2 to 9.
    ResetNumberList(sh, 9);
    T[3] = static_cast<float>(PickNumber(sh, 2, 9, true));
    T[4] = static_cast<float>(PickNumber(sh, 2, 8, false));
    T[1] = static_cast<float>(shell::RandomInt(sh, 1, 9));
    T[2] = static_cast<float>(-shell::RandomInt(sh, 1, 9));
    A2[1] = static_cast<float>(shell::RandomInt(sh, 2, 5));
    A2[2] = T[3] * A2[1];
    T[5] = T[3] * T[2];
    T[6] = T[4] * T[1];
    T[7] = -T[5];
    T[8] = T[6] + T[7];
    const auto x = shell::QuotientTexts(T[8], A2[2]);
    sh.tab.solution[1] = x.answer;
    sh.tab.solution[2] = x.chain;
    shell::FormatNumberTexts(sh);

    SetColumns(sh, 64, 64, 384, 64);
    SetRows(sh, {252, 288, 324, 360, 396, 432, 468, 504});
    const auto& t = sh.tab.Ttext;
    Line(sh, 64, 72, kProblemColour, U"次の比例式を比例式の性質を使って解きなさい。");
    Line(sh, 64, Row(sh, 1), kProblemColour,
         U"① " + t[1] + U":(" + sh.tab.A2text[1] + U"x" + t[2] + U")=" + t[3] + U":" + t[4]);
    for (int i = 2; i <= 4; ++i) {
        sh.ans.expectedParts[i][0].clear();
        sh.ans.expectedParts[i][1].clear();
    }
    CloseProblem(sh, U"x=" + sh.tab.solution[1], AnswerLabels::Plain, kTypeXNote, 9);
}

void BinomialProportion::HintStep2(Shell& sh) {
    const auto& t = sh.tab.Ttext;
    const auto& a2 = sh.tab.A2text;
    Line(sh, 80, Row(sh, 2), kProblemColour, t[3] + U"(" + a2[1] + U"x" + t[2] + U")=" + t[1] + U"*" + t[4]);
    Line(sh, 112, Row(sh, 3), kCommentColour, U"かっこをはずして､整理する");
    Line(sh, 80, Row(sh, 4), kProblemColour, a2[2] + U"x" + t[5] + U"=" + t[6]);
}

void BinomialProportion::HintStep3(Shell& sh) {
    const auto& t = sh.tab.Ttext;
    const Text cp = sh.tab.A2text[2];
    Line(sh, 112, Row(sh, 5), kCommentColour, t[5] + U" を移項して");
    Line(sh, 80, Row(sh, 6), kProblemColour, cp + U"x=" + t[6] + U"+" + t[7]);
    // The working goes on in the right column.
    const float right = sh.tab.columnX[33];
    Line(sh, right + 16, Row(sh, 3), kProblemColour, cp + U"x=" + t[8]);
    Line(sh, right + 48, Row(sh, 4), kCommentColour, U"両辺を " + cp + U" でわって");
    Line(sh, right + 16, Row(sh, 5), kProblemColour,
         U"ﾀ" + cp + U"x/" + cp + U"ﾀ=ﾀ" + t[8] + U"/" + cp + U"ﾀ");
    Line(sh, right + 32, Row(sh, 7), kResultColour, U"x=" + sh.tab.solution[1]);
}

}  // namespace quillon
