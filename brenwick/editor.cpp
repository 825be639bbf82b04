#include "brenwick/editor.h"

#include "brenwick/text.h"
#include "shell/mathtext.h"
#include "shell/numtext.h"

namespace brenwick {

namespace {

using rt::Text;
using shell::EditEnd;
using shell::RootState;
using shell::Shell;

constexpr int kColour = 15;
// The prompt and the editor clear bands from 20 above to 54 below the answer line.
constexpr float kBandAbove = 20;
constexpr float kBandBelow = 54;
constexpr float kPromptBandWidth = 224;
constexpr float kEditBandWidth = 480;
constexpr float kDenominatorDrop = 12;  // the denominator row below the line
constexpr float kNumeratorRise = 12;    // the numerator row above it
constexpr float kFractionBoxWidth = 320;
constexpr float kCell = 16;

bool EndsWith(const Text& s, char32_t c) { return !s.empty() && s.back() == c; }

bool IsRootMark(char32_t c) { return c == kRadical || c == kTallRadical; }

// Drops the last typed character; a comma takes its blank with it, as it was typed with one.
void DropLast(Text& s) {
    const bool comma = s.back() == U',';
    s.pop_back();
    if (comma && EndsWith(s, U' ')) s.pop_back();
}

class Editor {
public:
    Editor(Shell& sh, Text& typed) : sh_(sh), keys_(sh.prog.keys), typed_(typed) {}

    // The root state belongs to this answer only; left set, it would put overlines into
    // whatever is drawn next.
    ~Editor() { sh_.rootState = RootState::None; }

    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    EditEnd Run() {
        Start();
        for (;;) {
            if (penX_ >= sh_.prog.layout.answerLineEnd) {
                // The answer ran off the line: it is thrown away and typing starts again.
                sh_.scr.trace("LineFull", {});
                Start();
            }
            Cursor(kColour);
            const Text key = sh_.scr.readKey();
            if (key.empty()) {
                Cursor(0);
                continue;
            }
            if (key.size() != 1) continue;
            const char32_t k = key[0];
            if (k == keys_.clear) {
                typed_.clear();
                return EditEnd::Cleared;
            }
            if (k == keys_.enter) {
                if (Enter()) return EditEnd::Complete;
            } else if (k == keys_.backspace || k == keys_.del) {
                Delete();
            } else if (const Text t = TypedForKey(k); !t.empty()) {
                Type(t);
            }
        }
    }

private:
    enum class Mode { Main, Denominator, Numerator };

    void Fill(float x1, float y1, float x2, float y2) { sh_.scr.fillBox(x1, y1, x2, y2, 0); }
    void Cursor(int c) { sh_.scr.drawCircle(penX_ + 8, penY_ + 8, 4, c, true); }

    // Every start and restart: an empty line, typing right after the prompt.
    void Start() {
        const rt::Point a = sh_.anchor;
        Fill(a.x, a.y - kBandAbove, a.x + kEditBandWidth, a.y + kBandBelow);
        typed_.clear();
        sh_.colour = kColour;
        sh_.rootState = RootState::None;
        mode_ = Mode::Main;
        lineY_ = a.y;
        penX_ = a.x + kCell;
        penY_ = lineY_;
    }

    float RowY() const {
        switch (mode_) {
            case Mode::Denominator:
                return lineY_ + kDenominatorDrop;
            case Mode::Numerator:
                return lineY_ - kNumeratorRise;
            case Mode::Main:
                break;
        }
        return lineY_;
    }

    Text& Part() { return mode_ == Mode::Denominator ? den_ : num_; }

    // Draws one typed character (a root mark as its sign) at the pen and moves the pen on. Inside
    // a root each cell gets its overline; a tall root's overline over the fraction comes with the
    // typeset fraction.
    void DrawTyped(char32_t k) {
        if (CellWidth(sh_, k) == kCell) {
            if (sh_.rootState == RootState::Short) DrawRadicalBar(sh_, penX_, penY_);
            if (sh_.rootState == RootState::Tall && mode_ == Mode::Main)
                shell::DrawTallRootBar(sh_, penX_, penY_);
        }
        sh_.pen.x = penX_;
        sh_.pen.y = penY_;
        penX_ = shell::DrawChars(sh_, Text(1, IsRootMark(k) ? kRadical : k));
    }

    void Type(Text t) {
        const char32_t k = t.back();
        if (k == keys_.fraction) {
            // Fractions do not nest: in a fraction part the key does nothing.
            if (mode_ == Mode::Main) StartFraction();
            return;
        }
        // A tall root stands over a fraction, which a fraction part cannot hold.
        if (k == keys_.tallRoot && mode_ != Mode::Main) return;
        Cursor(0);
        penY_ = RowY();
        if (k == keys_.tallRoot) {
            sh_.rootState = RootState::TallStarting;  // drawing the sign opens the tall root
            t = Text(1, kTallRadical);
        }
        DrawTyped(k);
        if (k == keys_.root) {
            sh_.rootState = RootState::Short;
            t = Text(1, kRadical);
        }
        (mode_ == Mode::Main ? typed_ : Part()) += t;
    }

    // The denominator is typed first, below a provisional bar of three cells.
    void StartFraction() {
        Cursor(0);
        sh_.pen.x = penX_;
        sh_.pen.y = lineY_;
        shell::DrawChars(sh_, Text(3, shell::kFraction));
        fractionX_ = penX_;
        den_.clear();
        mode_ = Mode::Denominator;
        penY_ = RowY();
    }

    // Returns true when the answer is given: Enter on the main line, empty or not, with no
    // root open.
    bool Enter() {
        Cursor(0);
        // Enter closes an open root, a tall one only back on the line; nothing is stored for it.
        if (sh_.rootState == RootState::Short || (sh_.rootState == RootState::Tall && mode_ == Mode::Main)) {
            sh_.rootState = RootState::None;
            return false;
        }
        switch (mode_) {
            case Mode::Main:
                // The unit stands right after the answer.
                shell::DrawText(sh_, penX_, penY_, kColour, sh_.ans.labels[1]);
                typed_ = shell::StripEndMarks(typed_);
                return true;
            case Mode::Denominator:
                den_ += shell::kEndMark;
                denEndX_ = penX_;
                num_.clear();
                mode_ = Mode::Numerator;
                penX_ = fractionX_;
                penY_ = RowY();
                return false;
            case Mode::Numerator: {
                num_ += shell::kEndMark;
                Fill(fractionX_, lineY_ - 18, fractionX_ + kFractionBoxWidth, lineY_ + 30);
                const float end = shell::DrawTypedFraction(sh_, fractionX_, lineY_, num_ + U"/" + den_);
                typed_ += shell::kEndMark + num_ + U"/" + den_ + shell::kEndMark;
                penX_ = end;
                mode_ = Mode::Main;
                penY_ = RowY();
                return false;
            }
        }
        return false;
    }

    // Erases the last character of the line or of the fraction part being typed.
    void EraseLast(const Text& from) {
        const char32_t last = from.back();
        const float width = CellWidth(sh_, last);
        const float x = penX_ - width;
        const float y = RowY();
        if (width == 0) {
            // The point took no cell: its glyph starts 4 px into the cell before it.
            Fill(x - 3, y + 8, x + 12, y + 18);
        } else if (last == kTallRadical) {
            Fill(x, y - 26, x + 2 * kCell, y + 30);
        } else {
            // A root sign is drawn a whole cell wide though it moves the pen half a cell.
            Fill(x, y - 6, x + kCell, y + 18);
        }
        penX_ = x;
    }

    void Delete() {
        Cursor(0);
        switch (mode_) {
            case Mode::Main:
                if (typed_.empty()) return;
                if (EndsWith(typed_, shell::kEndMark)) {
                    // A fraction cannot be taken apart once typeset, so the whole answer goes
                    // and the line is cleared with it.
                    Start();
                    return;
                }
                if (IsRootMark(typed_.back())) sh_.rootState = RootState::None;
                EraseLast(typed_);
                DropLast(typed_);
                return;
            case Mode::Numerator:
            case Mode::Denominator: {
                Text& part = Part();
                if (part.empty()) {
                    LeavePart();
                    return;
                }
                if (IsRootMark(part.back())) sh_.rootState = RootState::None;
                EraseLast(part);
                DropLast(part);
                return;
            }
        }
    }

    // Deleting past the start of a part: from the numerator back to the end of the
    // denominator, from the denominator out of the fraction, which is abandoned.
    void LeavePart() {
        if (mode_ == Mode::Numerator) {
            mode_ = Mode::Denominator;
            if (EndsWith(den_, shell::kEndMark)) den_.pop_back();  // it is being typed again
            penX_ = denEndX_;
            penY_ = RowY();
            return;
        }
        mode_ = Mode::Main;
        Fill(fractionX_, lineY_ - 18, fractionX_ + kFractionBoxWidth, lineY_ + 30);
        penX_ = fractionX_;
        penY_ = lineY_;
    }

    Shell& sh_;
    const shell::KeyMeanings& keys_;
    Text& typed_;
    float penX_ = 0, penY_ = 0;
    float lineY_ = 0;
    Mode mode_ = Mode::Main;
    float fractionX_ = 0;
    float denEndX_ = 0;
    Text den_, num_;
};

class BrenwickAnswerEditor final : public shell::AnswerEditor {
public:
    void ShowPrompt(Shell& sh) const override {
        const float x = sh.anchor.x, y = sh.anchor.y;
        sh.scr.fillBox(x, y - kBandAbove, x + kPromptBandWidth, y + kBandBelow, 0);
        sh.scr.showTextCursor(false);
        // Half a cell per byte, so that label 0 ends near the anchor whatever its characters.
        const Text& label0 = sh.ans.labels[0];
        shell::DrawText(sh, x - 8 * static_cast<float>(ByteLength(label0) + 4), y, kColour, U"答 " + label0);
    }

    EditEnd Edit(Shell& sh, Text& typed) const override {
        Editor editor(sh, typed);
        return editor.Run();
    }
};

}  // namespace

Text TypedForKey(char32_t key) {
    // With kana input on, the X, Y, A and B keys type ｻ, ﾝ, ﾁ and ｺ: they still mean the letter.
    struct Folded {
        char32_t key, letter;
    };
    constexpr Folded kFolded[] = {
        {U'x', U'X'}, {U'ｻ', U'X'}, {U'y', U'Y'}, {U'ﾝ', U'Y'}, {U'a', U'A'},
        {U'ﾁ', U'A'}, {U'b', U'B'}, {U'ｺ', U'B'}, {U'c', U'C'}, {U'd', U'D'},
    };
    for (const auto& f : kFolded)
        if (key == f.key) return Text(1, f.letter);
    // Digits, the letters, the operators and what the function keys F1 to F11 type.
    static const Text kTaken = U"0123456789XYABCDLMN()-+.=:*QWERTUI@[]SV";
    if (kTaken.find(key) != Text::npos) return Text(1, key);
    // A comma is stored with a blank before it; the check drops the blank.
    if (key == U',') return U" ,";
    return {};
}

const shell::AnswerEditor& BrenwickEditor() {
    static const BrenwickAnswerEditor editor;
    return editor;
}

}  // namespace brenwick
