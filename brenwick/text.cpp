#include "brenwick/text.h"

#include "shell/mathtext.h"
#include "shell/numtext.h"

namespace brenwick {

namespace {

using shell::RootState;
using shell::Shell;

constexpr char32_t kPoint = U'．';
constexpr char32_t kRootSign = U'√';
constexpr float kCell = 16;
constexpr float kRootSignWidth = 8;
constexpr float kHalfWidthRaise = 2;
constexpr float kTallRise = 24;  // the tall sign stands over a fraction whose bar is on the pen row
// The root sign is a glyph whose bar runs one pixel under the top of its cell; the overline
// of the radicand carries that bar on.
constexpr float kRadicalBarDrop = 1;

class BrenwickStyle final : public shell::TextStyle {
public:
    float DrawChars(Shell& sh, const Text& text) const override {
        float x = sh.pen.x;
        const float y = sh.pen.y;
        for (const char32_t typed : shell::TrimBlanks(text)) {
            const char32_t ch = shell::ToFullWidth(*sh.prog.symbols, typed);
            if (ch == kRootSign && sh.rootState == RootState::TallStarting) {
                sh.scr.drawScaledText(x, y - kTallRise, Text(1, ch), 2, 3, sh.colour);
                sh.rootState = RootState::Tall;
            } else if (ch == kPoint) {
                // The point sits between two digits, over the right of the cell before it.
                sh.scr.drawScaledText(x - 4, y, Text(1, ch), 1, 1, sh.colour);
            } else {
                const float raise = rt::isFullWidth(ch) ? 0 : kHalfWidthRaise;
                sh.scr.drawScaledText(x, y - raise, Text(1, ch), 1, 1, sh.colour);
            }
            x += CellWidth(sh, typed);
        }
        sh.charsEndX = x;
        return x;
    }

    void DrawMarkup(Shell& sh, const Text& text) const override {
        std::size_t i = 0;
        while (i < text.size()) {
            const char32_t h = text[i++];
            if (h == shell::kFraction) {
                const auto close = text.find(shell::kFraction, i);
                if (close == Text::npos) continue;  // a lone bar mark is dropped
                const float y = sh.pen.y;
                sh.pen.x = shell::DrawTypedFraction(sh, sh.pen.x, y, text.substr(i, close - i));
                sh.pen.y = y;
                i = close + 1;
            } else if (h == kRadical) {
                sh.pen.x = DrawChars(sh, Text(1, kRadical));
                sh.rootState = RootState::Short;
            } else if (h == kTallRadical) {
                sh.rootState = RootState::TallStarting;
                sh.pen.x = DrawChars(sh, Text(1, kRadical));
            } else if (h == shell::kEndMark) {
                sh.rootState = RootState::None;
            } else {
                if (CellWidth(sh, h) == kCell) {
                    if (sh.rootState == RootState::Short) DrawRadicalBar(sh, sh.pen.x, sh.pen.y);
                    if (sh.rootState == RootState::Tall) shell::DrawTallRootBar(sh, sh.pen.x, sh.pen.y);
                }
                sh.pen.x = DrawChars(sh, Text(1, h));
            }
        }
    }

    // A root runs from its sign to the next end mark; the sign's own half cell has no overline.
    void DrawRootBarsInPart(Shell& sh, float x, float y, const Text& part) const override {
        bool inRoot = false;
        float cx = x;
        for (const char32_t ch : part) {
            if (ch == shell::kEndMark) {
                inRoot = false;
                continue;
            }
            const float width = CellWidth(sh, ch);
            if (ch == kRadical) {
                inRoot = true;
            } else if (inRoot && width == kCell) {
                DrawRadicalBar(sh, cx, y);
            }
            cx += width;
        }
    }
};

}  // namespace

const shell::SymbolTables& BrenwickSymbols() {
    static const shell::SymbolTables tables{
        U" abxycdlmn",
        U" ABXYCDLMN",
        U" 0123456789 :*/+-ﾀ=.?()QWERTUI@[]XYAB<>,CDLMN",
        U"　０１２３４５６７８９　：×÷＋－―＝．∽（）√23456±π≦≧χｙａｂ＜＞，ｃｄｌｍｎ",
    };
    return tables;
}

const shell::TextStyle& BrenwickTextStyle() {
    static const BrenwickStyle style;
    return style;
}

float CellWidth(const shell::Shell& sh, char32_t typed) {
    if (typed == U' ') return 0;
    if (typed == kTallRadical) return kRootSignWidth;
    const char32_t ch = shell::ToFullWidth(*sh.prog.symbols, typed);
    if (ch == kPoint) return 0;
    if (ch == kRootSign) return kRootSignWidth;
    return kCell;
}

void DrawRadicalBar(Shell& sh, float x, float y) {
    sh.scr.drawLine(x, y + kRadicalBarDrop, x + kCell, y + kRadicalBarDrop, sh.colour);
}

int ByteLength(const Text& text) {
    int n = 0;
    for (const char32_t c : text) n += rt::isFullWidth(c) ? 2 : 1;
    return n;
}

}  // namespace brenwick
