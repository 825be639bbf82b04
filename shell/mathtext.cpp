#include "shell/mathtext.h"

#include <algorithm>
#include <cmath>

#include "shell/numtext.h"

namespace shell {

namespace {

constexpr char32_t kPoint = U'．';
constexpr char32_t kRootSign = U'√';

constexpr float kCell = 16;

char32_t Lookup(const Text& from, const Text& to, char32_t ch) {
    const auto p = from.find(ch);
    return p != Text::npos && p < to.size() ? to[p] : ch;
}

// Cells a fraction part takes on the screen: "^" is invisible and blanks are not drawn.
int PartCells(const Text& part) {
    return static_cast<int>(
        std::count_if(part.begin(), part.end(), [](char32_t c) { return c != kCaret && c != U' '; }));
}

int MarkupCells(const Text& s) { return static_cast<int>(StripMarkup(s).size()); }

}  // namespace

// The first table's result goes through the second table too. With the standard tables no
// result of the first is found in the second, so this is the same as "first match wins";
// tables that fold letters first and then convert them rely on the chaining.
char32_t ToFullWidth(const SymbolTables& tables, char32_t ch) {
    return Lookup(tables.from2, tables.to2, Lookup(tables.from1, tables.to1, ch));
}

namespace {

// Every character takes a 16-pixel cell, an empty text included: that is how a blank inside
// DrawText advances.
float StandardDrawChars(Shell& sh, const Text& text) {
    const Text chars = TrimBlanks(text);
    float x = sh.pen.x;
    const std::size_t count = std::max<std::size_t>(chars.size(), 1);
    for (std::size_t i = 0; i < count; ++i) {
        char32_t ch = i < chars.size() ? chars[i] : 0;
        if (ch == kCaret) {
            sh.escapeNext = true;
            continue;
        }
        if (sh.escapeNext)
            sh.escapeNext = false;
        else if (ch != 0)
            ch = ToFullWidth(*sh.prog.symbols, ch);
        // Half-width glyphs sit low in their cell; lifting them lines them up with full-width ones.
        const float raise = ch != 0 && !rt::isFullWidth(ch) ? 4 : 0;
        // The point sits between two digits: drawn over the right of the previous cell,
        // taking no cell of its own.
        if (ch == kPoint) x -= 4;
        if (ch == kRootSign) {
            if (sh.rootState == RootState::TallStarting) {
                DrawTallRoot(sh, x, sh.pen.y);
                sh.rootState = RootState::Tall;
            } else {
                DrawShortRoot(sh, x, sh.pen.y);
            }
        } else if (ch != 0) {
            sh.scr.drawScaledText(x, sh.pen.y - raise, Text(1, ch), 1, 1, sh.colour);
        }
        if (ch == kPoint) x -= 12;
        x += kCell;
    }
    sh.charsEndX = x;
    return x;
}

void StandardDrawMarkup(Shell& sh, const Text& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t h = text[i++];
        // An escaped character is drawn as it is, even when it is a mark.
        const bool escaped = sh.escapeNext;
        if (!escaped && h == kFraction) {
            const auto close = text.find(kFraction, i);
            if (close == Text::npos) continue;  // a lone bar mark is dropped
            const float y = sh.pen.y;
            sh.pen.x = DrawTypedFraction(sh, sh.pen.x, y, text.substr(i, close - i));
            sh.pen.y = y;
            i = close + 1;
        } else if (!escaped && h == kFrame) {
            const Text framed = text.substr(i, 1);
            i += framed.size();
            DrawFramedText(sh, sh.pen.x, sh.pen.y, framed);
        } else if (!escaped && h == kTallRoot) {
            sh.rootState = RootState::TallStarting;
            sh.pen.x = DrawChars(sh, U"!");
        } else if (!escaped && h == kRoot) {
            DrawRootBarNext(sh, sh.pen.x, sh.pen.y);
            DrawChars(sh, U"!");
            sh.rootState = RootState::Short;
            sh.pen.x = sh.charsEndX;
        } else if (!escaped && h == kEndMark) {
            sh.rootState = RootState::None;
        } else if (!escaped && h == kCaret) {
            sh.escapeNext = true;
        } else {
            if (sh.rootState == RootState::Short) DrawRootBar(sh, sh.pen.x, sh.pen.y);
            if (sh.rootState == RootState::TallStarting || sh.rootState == RootState::Tall)
                DrawTallRootBar(sh, sh.pen.x, sh.pen.y);
            sh.pen.x = DrawChars(sh, Text(1, h));
        }
    }
}

}  // namespace

float DrawChars(Shell& sh, const Text& text) { return sh.prog.textStyle->DrawChars(sh, text); }

void DrawText(Shell& sh, const Text& text) {
    sh.scr.trace("DrawText", {{"x", sh.pen.x}, {"y", sh.pen.y}, {"c", sh.colour}, {"text", text}});
    sh.prog.textStyle->DrawMarkup(sh, text);
}

void DrawText(Shell& sh, float x, float y, int colour, const Text& text) {
    sh.pen.x = x;
    sh.pen.y = y;
    sh.colour = colour;
    DrawText(sh, text);
}

float DrawTypedFraction(Shell& sh, float x, float y, const Text& fraction) {
    const auto slash = fraction.find(U'/');
    const Text rawN = fraction.substr(0, slash);
    const Text rawD = slash == Text::npos ? Text() : fraction.substr(slash + 1);
    const Text n = StripEndMarks(rawN);
    const Text d = StripEndMarks(rawD);
    const int cellsN = PartCells(n);
    const int cellsD = PartCells(d);
    const int cells = std::max(cellsN, cellsD);
    // The shorter part is centred over the longer one: half a cell per missing cell.
    const float shiftN = 8.0f * static_cast<float>(cells - cellsN);
    const float shiftD = 8.0f * static_cast<float>(cells - cellsD);

    PenSaver pen(sh);
    sh.pen.x = x + shiftN;
    sh.pen.y = y - 12;
    DrawChars(sh, n);
    sh.pen.x = x + shiftD;
    sh.pen.y = y + 16;
    DrawChars(sh, d);
    sh.pen.y = y;
    for (int i = 0; i < cells; ++i) {
        const float cx = x + kCell * static_cast<float>(i);
        sh.pen.x = cx;
        DrawChars(sh, Text(1, kFraction));
        // Under a tall root its overline runs on over the whole fraction.
        if (sh.rootState == RootState::Tall) sh.scr.drawLine(cx, y - 16, cx + kCell, y - 16, sh.colour);
    }
    if (sh.rootState == RootState::Short) sh.rootState = RootState::None;
    DrawRootBarsInPart(sh, x + shiftN, y - 12, rawN);
    DrawRootBarsInPart(sh, x + shiftD, y + 16, rawD);
    return x + kCell * static_cast<float>(cells);
}

void DrawRootBarsInPart(Shell& sh, float x, float y, const Text& part) {
    sh.prog.textStyle->DrawRootBarsInPart(sh, x, y, part);
}

namespace {

// A root runs from "!" to the next end mark, or to the end of the part when none follows.
void StandardRootBarsInPart(Shell& sh, float x, float y, const Text& part) {
    bool inRoot = false;
    bool escaped = false;
    float cx = x;
    for (const char32_t ch : part) {
        if (ch == U' ') continue;
        if (ch == kCaret) {
            escaped = true;
            continue;
        }
        if (!escaped && ch == kEndMark) {
            inRoot = false;
            continue;
        }
        if (!escaped && ch == kRoot) {
            inRoot = true;  // the sign's own cell has no overline
        } else if (inRoot) {
            DrawRootBar(sh, cx, y);
        }
        escaped = false;
        cx += kCell;
    }
}

class Standard final : public TextStyle {
public:
    float DrawChars(Shell& sh, const Text& text) const override { return StandardDrawChars(sh, text); }
    void DrawMarkup(Shell& sh, const Text& text) const override { StandardDrawMarkup(sh, text); }
    void DrawRootBarsInPart(Shell& sh, float x, float y, const Text& part) const override {
        StandardRootBarsInPart(sh, x, y, part);
    }
};

}  // namespace

const TextStyle& StandardTextStyle() {
    static const Standard style;
    return style;
}

void DrawShortRoot(Shell& sh, float x, float y) {
    sh.scr.drawPolyline({{x, y + 12}, {x + 2, y + 8}, {x + 6, y + 16}, {x + 11, y - 5}, {x + 16, y - 5}},
                        sh.colour);
}

void DrawTallRoot(Shell& sh, float x, float y) {
    sh.scr.drawPolyline({{x, y + 20}, {x + 2, y + 16}, {x + 6, y + 28}, {x + 11, y - 16}, {x + 16, y - 16}},
                        sh.colour);
}

void DrawRootBar(Shell& sh, float x, float y) { sh.scr.drawLine(x, y - 5, x + kCell, y - 5, sh.colour); }

void DrawRootBarNext(Shell& sh, float x, float y) {
    sh.scr.drawLine(x + kCell, y - 5, x + 2 * kCell, y - 5, sh.colour);
}

// While the tall sign is still to be drawn (state 22) the pen is on the sign's cell, so the
// overline belongs over the next one.
void DrawTallRootBar(Shell& sh, float x, float y) {
    const float from = sh.rootState == RootState::TallStarting ? x + kCell : x;
    sh.scr.drawLine(from, y - 16, from + kCell, y - 16, sh.colour);
}

float DrawFramedText(Shell& sh, float x, float y, const Text& text) {
    FrameBox& box = sh.box;
    const bool fraction = text.find(kFraction) != Text::npos;
    const int cells = fraction ? MeasureMarkup(text) : MarkupCells(text);
    const float width = kCell * static_cast<float>(cells);
    if (width > box.width) box.width = kCell * static_cast<float>(cells + 1);
    if (fraction && box.height < 30)
        box.height = 32;
    else if (!fraction && !text.empty() && box.height < 16)
        box.height = 16;

    const float margin = (box.width - width) / 2;
    const float top = y + std::floor((box.height - 18) / 2);
    const float bottom = y + box.height;
    sh.scr.fillBox(x, y, x + box.width, bottom, box.border, box.fill);
    if (box.marker) {
        const float marker = box.height >= 36 ? 12 : 8;
        sh.scr.drawCircle(x + marker / 2, (y + bottom) / 2, marker / 2, box.border, true,
                          box.fill == 3 ? 5 : 3);
    }
    if (!text.empty()) {
        sh.pen.x = x + margin + 2;
        sh.pen.y = top;
        DrawText(sh, text);
    }
    sh.pen.x = x + box.width;
    sh.pen.y = y;
    box.marker = false;
    return sh.pen.x;
}

int MeasureMarkup(const Text& text, int count) {
    Text rest = text;
    for (;;) {
        const auto open = rest.find(kFraction);
        if (open == Text::npos) return count + MarkupCells(rest);
        count += MarkupCells(rest.substr(0, open));
        const auto close = rest.find(kFraction, open + 1);
        const Text inner = rest.substr(open + 1, close == Text::npos ? Text::npos : close - open - 1);
        const auto slash = inner.find(U'/');
        const Text numerator = inner.substr(0, slash);
        const Text denominator = slash == Text::npos ? Text() : inner.substr(slash + 1);
        count += std::max(MarkupCells(numerator), MarkupCells(denominator));
        if (close == Text::npos) return count;
        rest = rest.substr(close + 1);
    }
}

}  // namespace shell
