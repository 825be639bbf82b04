// The Program record: what makes one program of the family. Its defaults are the standard
// program on a 1440-wide canvas; a program that differs says so in its own record.
#pragma once

#include <array>
#include <vector>

#include "runtime/screen.h"

namespace shell {

using rt::Point;
using rt::Text;

struct Shell;

// One problem entry: draws a new problem, and adds the three parts of its worked solution.
struct Entry {
    int number = 0;
    const char32_t* name = U"";  // the form of the problem, for tests and for a teacher to read
    void (*Present)(Shell&) = nullptr;
    void (*HintStep1)(Shell&) = nullptr;
    void (*HintStep2)(Shell&) = nullptr;
    void (*HintStep3)(Shell&) = nullptr;
};

// The symbol conversion of ToFullWidth: a character found in `from` becomes the character at
// the same position of `to`; the first table is searched first.
struct SymbolTables {
    Text from1, to1;
    Text from2, to2;
};

// Halvard's, Morvane's and Quillon's symbol tables.
const SymbolTables& StandardSymbols();

// What the editor's keys mean. A function key delivers its assigned text, so a key here is
// whatever character the program's function keys type.
struct KeyMeanings {
    char32_t fraction = U'\\';  // starts a fraction: denominator first
    char32_t root = U'!';       // a root sign; Enter closes the root
    char32_t tallRoot = U'#';   // a tall root over a fraction
    char32_t escape = U'^';     // the next character as typed; 0 when the program has none
    char32_t clear = 12;        // the answer starts again
    char32_t enter = 13;
    char32_t backspace = 8;
    char32_t del = 127;
};

// Where things go on the practice screen. Every value is in canvas pixels.
struct Layout {
    Point answerAnchor{480, 576};    // where the answer line starts
    float answerLineEnd = 1120;      // a pen that reaches this x has run off the answer line
    float answerRowRight = 1600;     // the answer prompt clears its rows up to here
    float attemptBandRight = 1280;   // the band cleared before each attempt ends here
    float promptBandRight = 1281;    // the start-number prompt clears its band up to here
    float confirmClearWidth = 1120;  // Enter clears this far right of the typed answer
    float workAreaTop = 54;          // ClearWorkArea clears from here down
    float attemptBandAbove = 11;     // the band cleared before each attempt starts this far above the anchor
};

// The contents screen's frame round the title and its three menu lines. The first two read
// "★ 練習" + the problem count + their rest.
struct ContentsScreen {
    float frameTop = 70, frameBottom = 143;
    Text practiseRest = U"題・・・・・・・・・・・・・１";
    float practiseY = 216;
    Text viewRest = U"題を見る・・・・・・・・・・２";
    float viewY = 270;
    Text endLine = U"★ 終わる・・・・・・・・・・・・・・・３";
    float endY = 324;
};

enum class EditEnd { Complete, Cleared, LineFull };

// The answer line of one attempt: the prompt, then editing until Enter, the clear key or a
// full line. A program whose answers need other keys brings its own.
class AnswerEditor {
public:
    virtual ~AnswerEditor() = default;
    virtual void ShowPrompt(Shell& sh) const = 0;
    // Edits the typed answer in place.
    virtual EditEnd Edit(Shell& sh, Text& typed) const = 0;
};

// The editor with fractions typed denominator first, roots, tall roots and the escape key.
const AnswerEditor& StandardEditor();

// How marked-up text reaches the screen: the characters in their cells, the marks DrawText
// acts on, and the root overlines inside a typeset fraction part. A program whose text looks
// different brings its own.
class TextStyle {
public:
    virtual ~TextStyle() = default;
    // Draws the characters at the pen in the current colour; returns the pen x after them.
    virtual float DrawChars(Shell& sh, const Text& text) const = 0;
    // Draws a marked-up text at the pen; the pen is left at its end.
    virtual void DrawMarkup(Shell& sh, const Text& text) const = 0;
    virtual void DrawRootBarsInPart(Shell& sh, float x, float y, const Text& part) const = 0;
};

// Blanks take a cell, roots are "!" and "#", "^" escapes and "ﾜ" frames.
const TextStyle& StandardTextStyle();

// The key help strip at the top of the practice screen.
void DrawStandardKeyHelp(Shell& sh);

// What makes one program of the family.
struct Program {
    Text title;
    int problemCount = 0;
    // The problem entries with their numbers; a number the table lacks shows a placeholder.
    std::vector<Entry> entries;
    const SymbolTables* symbols = &StandardSymbols();
    int canvasWidth = 1440;
    int defaultColour = 4;
    Layout layout{};
    KeyMeanings keys{};
    const AnswerEditor* editor = &StandardEditor();
    void (*DrawKeyHelp)(Shell&) = DrawStandardKeyHelp;
    // The texts the function keys F1..F12 type.
    std::array<Text, 12> functionKeys{U"\\", U"~", U"!", U"@", U"[", U"]",
                                      U"&",  U"%", U"'", U"$", U"?", U"#"};
    const TextStyle* textStyle = &StandardTextStyle();
    ContentsScreen contents{};

    // The entry with this number, or nullptr.
    const Entry* FindEntry(int number) const;
};

}  // namespace shell
