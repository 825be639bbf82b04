// The lesson shell's state: one object, created at start-up and passed by reference to every
// routine and problem entry. Names follow the courseware's registers (a trailing "$" of a
// text register is dropped; where that would clash with a number register, the text gets "S").
#pragma once

#include <array>
#include <vector>

#include "runtime/screen.h"

namespace shell {

using rt::Text;

struct Shell;

// One problem entry: draws a new problem, and adds the three parts of its worked solution.
struct Entry {
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

enum class EditorKind { Standard, Slim };

// What makes one program of the family: data only; behaviour comes from the shell.
struct Program {
    Text title;                  // II1
    int problemCount = 0;        // D1
    std::vector<Entry> entries;  // index 1..problemCount; index 0 unused; may be shorter
    const SymbolTables* symbols = &StandardSymbols();
    int canvasWidth = 1440;
    EditorKind editor = EditorKind::Standard;
    // The function-key texts F1..F12.
    std::array<Text, 12> functionKeys{U"\\", U"~", U"!", U"@", U"[", U"]",
                                      U"&",  U"%", U"'", U"$", U"?", U"#"};
};

// Settings of DrawFramedText, kept between calls.
struct FrameBox {
    float HHKIG = 0;  // box width: a minimum, widened to fit and written back
    float UBX = 0;    // box height: raised to a minimum and written back
    int TI = 15;      // border colour
    int TJ = 0;       // fill colour
    int CCC2 = 1;     // -1: draw the marker disc once
};

// The answer settings that a problem entry prepares for the answer editor.
struct AnswerSettings {
    int WX1 = 1;                              // part count
    std::array<Text, 7> CX1{};                // part labels 0..6
    std::array<std::array<Text, 2>, 6> Y1{};  // accepted part texts 1..5, two forms
    std::array<Text, 6> typedParts{};         // typed part texts 1..5
    Text K, DX, third;                        // the three accepted answer texts
};

// The number and text tables of the problem entries.
struct Tables {
    std::array<float, 41> T{}, F{}, BB2{};
    std::array<float, 41> COL{};  // the column table (no register name)
    std::array<float, 21> A2{}, B2{};
    std::array<Text, 41> YKUMI{}, TITLE{};
    std::array<Text, 21> U{}, V{}, X{};  // X is the courseware's X$
    std::array<Text, 11> YITI{}, SAIGO{}, HH2{}, G{};
    std::array<float, 11> HH{}, ZX3{}, YW{};
    std::array<std::array<float, 3>, 11> ZX2{};  // graph-point pairs
    std::array<float, 6> SFU{}, KAIY{}, XKUMI{};
};

struct Shell {
    Shell(rt::Screen& screen, const Program& program);

    rt::Screen& scr;
    const Program& prog;

    Text II1;               // title
    int D1 = 0;             // problem count
    std::vector<int> KAIX;  // 1..D1: completed in this round
    int E1 = 0;             // entry in progress
    int IM = 0;             // attempts at the current problem
    int X = 0;              // completions of the current problem
    int X8 = 0;             // practice rounds started
    Text MIRU;              // start number as typed
    int LEM = 0;            // next problem in view mode
    bool viewMode = false;
    int AX1 = 0;  // last check: 2 right, 1 wrong

    // Drawing registers shared by the text routines, the editor and the entries.
    int BY = 4;                // colour
    float DSM1 = 0, DSM2 = 0;  // pen
    float DS4 = 0;             // pen x after DrawChars
    int A4 = 0;                // root state: 0, 1, 22, 2 (the editor also uses 11)
    int X1 = 0;                // escape flag

    float anchorX = 480, anchorY = 576;  // answer anchor

    FrameBox box;
    AnswerSettings ans;
    Tables tab;
};

// A whole number from a to b, drawn as a + INT(n * randomUnit) with n = b - a + 1.
inline int RandomInt(Shell& sh, int a, int b) {
    return a + static_cast<int>((b - a + 1) * sh.scr.randomUnit());
}

// Saves the pen and colour and puts them back when it goes out of scope, for drawing that
// must not disturb the caller's pen.
class PenSaver {
public:
    explicit PenSaver(Shell& sh) : sh_(sh), x_(sh.DSM1), y_(sh.DSM2), c_(sh.BY) {}
    ~PenSaver() {
        sh_.DSM1 = x_;
        sh_.DSM2 = y_;
        sh_.BY = c_;
    }
    PenSaver(const PenSaver&) = delete;
    PenSaver& operator=(const PenSaver&) = delete;

private:
    Shell& sh_;
    float x_, y_;
    int c_;
};

}  // namespace shell
