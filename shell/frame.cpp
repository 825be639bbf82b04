#include "shell/frame.h"

#include "shell/mathtext.h"
#include "shell/numtext.h"

namespace shell {

void ClearWorkArea(Shell& sh) {
    sh.scr.fillBox(0, sh.prog.layout.workAreaTop, static_cast<float>(sh.prog.canvasWidth),
                   static_cast<float>(sh.scr.canvasHeight()), 0);
}

void DrawProblemPlate(Shell& sh, int number, float y, float left, float right, float bottom) {
    sh.scr.fillBox(4, y, 4 + 32, y + 36, 13, 8);
    sh.scr.drawScaledText(4, y, U"ＮＯ", 1, 1, 7);
    // The number keeps its leading blank, so one and two digits both sit centred on the plate.
    const float x = number < 10 ? 12 : 4;
    sh.scr.drawScaledText(x, y + 18, NumberText(static_cast<float>(number)), 1, 1, 5);
    sh.scr.fillBox(left, y - 4, right, bottom + 4, 13, 2);
}

void FormatNumberTexts(Shell& sh) {
    Tables& t = sh.tab;
    for (std::size_t i = 0; i < t.T.size(); ++i) {
        t.Ttext[i] = Num(t.T[i]);
        t.Ftext[i] = Num(t.F[i]);
    }
    for (std::size_t i = 0; i < t.A2.size(); ++i) {
        t.A2text[i] = Num(t.A2[i]);
        t.B2text[i] = Num(t.B2[i]);
    }
}

Text InputNumber(Shell& sh, float x, float y) {
    const auto cursor = [&sh](float px, float py, int colour) {
        sh.scr.drawCircle(px + 8, py + 8, 4, colour, true);
    };
    float px = x;
    const float py = y;
    Text typed;
    for (;;) {
        cursor(px, py, 15);
        const Text key = sh.scr.readKey();
        if (key.empty()) {
            cursor(px, py, 0);
            continue;
        }
        if (key == U"\b") {
            sh.scr.fillBox(x - 112, y - 10, x - 112 + 480, y - 10 + 30, 0);
            typed.clear();
            px = x;
            continue;
        }
        cursor(px, py, 0);
        if (key == U"\r") return typed;
        PenSaver pen(sh);
        sh.pen.x = px;
        sh.pen.y = py;
        sh.colour = 13;
        // Half a cell per character: the digits of a number sit close together.
        px = DrawChars(sh, key) - 8;
        typed += key;
    }
}

}  // namespace shell
