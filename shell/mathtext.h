// Drawing of marked-up mathematical text: symbol conversion, characters in 16-pixel cells,
// stacked fractions, root signs with their overlines and framed boxes.
//
// Markup: "ﾀ"a"/"b"ﾀ" a fraction, "!" a root, "#" a tall root over a fraction, "ﾝ" closes a
// root or a fraction part, "^" draws the next character as typed, "ﾜ" frames the next character.
#pragma once

#include "shell/shell.h"

namespace shell {

// One character through the program's symbol tables.
char32_t ToFullWidth(const SymbolTables& tables, char32_t ch);

// The drawing routines below go through the program's TextStyle; the comments describe the
// standard one.

// Draws the characters of `text` (blanks removed) at the pen in the current colour, one 16-pixel
// cell each; leaves the pen x after them in charsEndX and returns it.
float DrawChars(Shell& sh, const Text& text);

// Draws a marked-up text at the pen in the current colour; the pen is left at its end. The trace
// records the text as asked, marks included.
void DrawText(Shell& sh, const Text& text);
// The same, placing the pen and colour first.
void DrawText(Shell& sh, float x, float y, int colour, const Text& text);

// Typesets numerator "/" denominator with its bar on row y; returns the pen x after it.
float DrawTypedFraction(Shell& sh, float x, float y, const Text& fraction);
// The root overlines inside one fraction part drawn at (x, y).
void DrawRootBarsInPart(Shell& sh, float x, float y, const Text& part);

// Root signs and their overlines, in the current colour.
void DrawShortRoot(Shell& sh, float x, float y);
void DrawTallRoot(Shell& sh, float x, float y);
void DrawRootBar(Shell& sh, float x, float y);      // over the current cell
void DrawRootBarNext(Shell& sh, float x, float y);  // over the next cell
void DrawTallRootBar(Shell& sh, float x, float y);  // tall overline (next cell in root state 22)

// A framed box sized to the text, with the settings in sh.box; returns the pen x after it.
float DrawFramedText(Shell& sh, float x, float y, const Text& text);

// Adds the width in cells of a text with fraction markup to `count` and returns it.
int MeasureMarkup(const Text& text, int count = 0);

}  // namespace shell
