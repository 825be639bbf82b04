// How Brenwick's text looks: its symbol tables, its character cells and its radical marks.
#pragma once

#include "shell/shell.h"

namespace brenwick {

using rt::Text;

// Markup of radicals: "Q" opens a root whose overline runs over the following characters,
// "V" a tall root over the fraction that follows; the end mark closes either.
inline constexpr char32_t kRadical = U'Q';
inline constexpr char32_t kTallRadical = U'V';

// Lower-case letters are folded to capitals first; then typed characters become their
// symbols: digits full-width, "*" "×", "X" "χ", the exponent keys small digits.
const shell::SymbolTables& BrenwickSymbols();

// Half-width blanks take no room, a character still half-width after conversion sits 2 px
// higher, the point takes no cell, the root sign takes half a cell and a tall one is drawn
// 2 by 3 over the fraction.
const shell::TextStyle& BrenwickTextStyle();

// The pen advance of one typed character: 0 for a blank or the point, 8 for a root sign, 16
// for every other character.
float CellWidth(const shell::Shell& sh, char32_t typed);

// The overline of a radicand over the 16-pixel cell at (x, y), level with the sign's bar.
void DrawRadicalBar(shell::Shell& sh, float x, float y);

// The length of a text counted as a two-byte character set does: 2 for a full-width
// character, 1 for a half-width one.
int ByteLength(const Text& text);

}  // namespace brenwick
