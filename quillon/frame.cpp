#include "quillon/frame.h"

#include "shell/frame.h"
#include "shell/mathtext.h"
#include "shell/numtext.h"

namespace quillon {

void OpenProblem(Shell& sh, float plateRight, float plateBottom) {
    sh.colour = 7;
    shell::ClearWorkArea(sh);
    shell::DrawProblemPlate(sh, sh.currentProblem, 63, 48, plateRight, plateBottom);
    for (int i = 1; i <= 5; ++i) {
        sh.ans.labels[i].clear();
        sh.ans.expectedParts[i][0].clear();
        sh.ans.typedParts[i].clear();
    }
    for (auto& pair : sh.tab.graphPoints) pair.fill(0);
}

Text CloseProblem(Shell& sh, const Text& answer, AnswerLabels labels, const Text& note, int noteColour) {
    auto& ans = sh.ans;
    static constexpr const char32_t* kRectangleLabels[] = {U"  ", U"　　", U"  ", U" 　", U" 　"};
    static constexpr const char32_t* kPlainLabels[] = {U"　", U" 　", U"  ", U" 　", U" 　"};
    const auto& set = labels == AnswerLabels::Rectangle ? kRectangleLabels : kPlainLabels;
    ans.partCount = 1;
    for (int i = 0; i < 5; ++i) ans.labels[i] = set[i];
    ans.expectedParts[1][0] = shell::StripMarkup(answer);
    ans.expectedParts[1][1].clear();
    ans.accepted.clear();
    for (int i = 1; i <= 5; ++i) ans.accepted += ans.expectedParts[i][0];
    // Only the one answer is right. The other two accepted texts stay empty, which no answer
    // can match because Enter on an empty line is ignored.
    ans.accepted2.clear();
    ans.accepted3.clear();

    shell::DrawText(sh, 432, 536, noteColour, note);
    sh.attempts = 0;
    return ans.accepted;
}

void Line(Shell& sh, float x, float y, int colour, const Text& text) {
    shell::DrawText(sh, x, y, colour, text);
}

void Continue(Shell& sh, int colour, const Text& text) {
    sh.colour = colour;
    shell::DrawText(sh, text);
}

void RatioValueRuleAt(Shell& sh, float y) {
    Line(sh, 112, y, kResultColour, U"a:b の比の値は ﾀa/bﾀ で、");
    Continue(sh, kResultColour, U"a:b=ﾀa/bﾀ");
}

void ReduceNoteAt(Shell& sh, float y) { Line(sh, 112, y, kCommentColour, U"約分できるときは約分する。"); }

void ResetNumberList(Shell& sh, int n) {
    for (int i = 1; i <= n; ++i) sh.tab.columnX[i] = static_cast<float>(i);
}

}  // namespace quillon
