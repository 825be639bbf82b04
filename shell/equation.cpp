#include "shell/equation.h"

#include "shell/frame.h"
#include "shell/mathtext.h"
#include "shell/numtext.h"

namespace shell {

void OpenEquationProblem(Shell& sh, float right, float bottom) {
    sh.colour = 7;
    ClearWorkArea(sh);
    DrawProblemPlate(sh, sh.currentProblem, 63, 48, right, bottom);
    for (int i = 1; i <= 5; ++i) {
        sh.ans.labels[i].clear();
        sh.ans.expectedParts[i][0].clear();
        sh.ans.typedParts[i].clear();
    }
    for (auto& pair : sh.tab.graphPoints) pair.fill(0);
}

Text AcceptSingleAnswer(Shell& sh, const Text& answer) {
    auto& ans = sh.ans;
    ans.partCount = 1;
    ans.labels[0] = U"  ";
    ans.labels[1] = U"　　";
    ans.labels[2] = U"  ";
    ans.labels[3] = U" 　";
    ans.labels[4] = U" 　";
    ans.expectedParts[1] = {StripMarkup(answer), Text()};
    ans.accepted = ans.expectedParts[1][0];
    ans.accepted2.clear();
    ans.accepted3.clear();
    return ans.accepted;
}

Text CloseEquationProblem(Shell& sh, Point line, const Text& problemLine, const Text& answer,
                          int noteColour) {
    DrawText(sh, 64, 72, 15, U"次の方程式を解きなさい。");
    DrawText(sh, line.x, line.y, 15, problemLine);
    const Text accepted = AcceptSingleAnswer(sh, U"x=" + answer);
    DrawText(sh, 432, 536, noteColour, U"x= も入力、+はつけない");
    sh.attempts = 0;
    return accepted;
}

void SetColumns(Shell& sh, float c1, float c2, float c3, float c4) {
    sh.tab.columnX[31] = c1;
    sh.tab.columnX[32] = c2;
    sh.tab.columnX[33] = c3;
    sh.tab.columnX[34] = c4;
}

void SetRows(Shell& sh, std::initializer_list<float> rows) {
    int k = 31;
    for (float y : rows) sh.tab.rowY[k++] = y;
}

float Row(const Shell& sh, int k) { return sh.tab.rowY[30 + k]; }

void SetNumberList(Shell& sh, std::initializer_list<float> numbers) {
    int i = 1;
    for (float v : numbers) sh.tab.columnX[i++] = v;
}

int PickNumber(Shell& sh, int from, int to, bool remove) {
    auto& list = sh.tab.columnX;
    const int i = RandomInt(sh, from, to);
    const int value = static_cast<int>(list[i]);
    if (remove)
        for (int k = i; k < to; ++k) list[k] = list[k + 1];
    return value;
}

}  // namespace shell
