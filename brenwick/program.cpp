#include "brenwick/brenwick.h"
#include "brenwick/editor.h"
#include "brenwick/problems.h"
#include "brenwick/text.h"

namespace brenwick {

namespace {

// One line of key help in text cells, under the title strip.
void DrawKeyHelp(shell::Shell& sh) {
    sh.scr.locateText(71, 1);
    sh.scr.printText(U"分数→f.10,  √→f.1, π→f.6, 累乗→f.2～f.5, ≦≧→f.8,f.9, ±→f.7 ,√分数→f.11");
}

shell::Program MakeProgram() {
    shell::Program p{
        .title = U"Brenwick",
        .problemCount = 5,
        // clang-format off
        .entries = {
            {1, U"apples and a watermelon", ApplesAndMelon::Present, ApplesAndMelon::HintStep1,
                ApplesAndMelon::HintStep2, ApplesAndMelon::HintStep3},
            {2, U"money between brothers", MoneyBetweenBrothers::Present, MoneyBetweenBrothers::HintStep1,
                MoneyBetweenBrothers::HintStep2, MoneyBetweenBrothers::HintStep3},
            {3, U"sweets shared two ways", SweetsShared::Present, SweetsShared::HintStep1,
                SweetsShared::HintStep2, SweetsShared::HintStep3},
            {4, U"a sister chases her brother", SisterChasesBrother::Present, SisterChasesBrother::HintStep1,
                SisterChasesBrother::HintStep2, SisterChasesBrother::HintStep3},
            {5, U"salad dressing to a ratio", SaladDressing::Present, SaladDressing::HintStep1,
                SaladDressing::HintStep2, SaladDressing::HintStep3},
        },
        // clang-format on
    };
    p.symbols = &BrenwickSymbols();
    p.canvasWidth = 1920;
    p.defaultColour = 4;
    p.layout.answerAnchor = {480, 540};
    p.layout.workAreaTop = 36;  // the key help is one text row, under the title strip
    p.layout.attemptBandAbove = 9;
    p.layout.attemptBandRight = 672;
    // The function keys type capitals that the text routines and the editor give a meaning:
    // F1 a root, F2 to F5 exponents 2 to 5, F6 π, F7 ±, F8 and F9 ≦ and ≧, F10 a fraction,
    // F11 a root over a fraction. F12 types nothing.
    p.functionKeys = {U"Q", U"W", U"E", U"R", U"T", U"@", U"I", U"[", U"]", U"S", U"V", U""};
    p.keys.fraction = U'S';
    p.keys.root = kRadical;
    p.keys.tallRoot = kTallRadical;
    p.keys.escape = 0;
    p.editor = &BrenwickEditor();
    p.DrawKeyHelp = DrawKeyHelp;
    p.textStyle = &BrenwickTextStyle();
    p.contents = {
        .frameTop = 72,
        .frameBottom = 142,
        .practiseRest = U" 題・・・・・・・・・・・・・１",
        .practiseY = 216,
        .viewRest = U" 題を見る・・・・・・・・・・２",
        .viewY = 252,
        .endLine = U"★ 終わる・・・・・・・・・・・・・・３",
        .endY = 324,
    };
    return p;
}

}  // namespace

const shell::Program& BrenwickProgram() {
    static const shell::Program program = MakeProgram();
    return program;
}

}  // namespace brenwick
