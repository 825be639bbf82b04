#include "shell/editor.h"

#include "shell/mathtext.h"
#include "shell/numtext.h"

namespace shell {

namespace {

constexpr int kColour = 15;
// Label 1 stands ten cells after the start of the line; typing into its cell clears it.
constexpr float kLabelOffset = 160;

bool EndsWith(const Text& s, char32_t c) { return !s.empty() && s.back() == c; }

// Drops the last character of a fraction part, and the "^" that made it literal with it:
// the escape took no cell, so it must not cost a cell when deleted.
void DropLast(Text& part) {
    part.pop_back();
    if (EndsWith(part, kCaret)) part.pop_back();
}

class Editor {
public:
    Editor(Shell& sh, Text& typed)
        : sh_(sh),
          keys_(sh.prog.keys),
          layout_(sh.prog.layout),
          typed_(typed),
          penX_(sh.pen.x),
          penY_(sh.pen.y),
          lineY_(sh.pen.y),
          lineStartX_(sh.anchor.x) {
        sh_.colour = kColour;
        sh_.rootState = RootState::None;
        sh_.escapeNext = false;
    }

    // The root and escape state belong to this answer only; leaving them set would put
    // overlines or unconverted characters into whatever is drawn next.
    ~Editor() {
        sh_.rootState = RootState::None;
        sh_.escapeNext = false;
    }

    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    EditEnd Run() {
        for (;;) {
            if (penX_ == lineStartX_ + kLabelOffset)
                Fill(penX_, penY_ - 16, layout_.answerRowRight, penY_ + 54);
            if (penX_ >= layout_.answerLineEnd) {
                typed_.clear();
                return EditEnd::LineFull;
            }
            Cursor(kColour);
            const Text key = sh_.scr.readKey();
            if (key.empty()) {
                Cursor(0);
                continue;
            }
            if (key.size() != 1) continue;
            char32_t k = key[0];
            if (k == keys_.clear) {
                typed_.clear();
                return EditEnd::Cleared;
            }
            if (k == keys_.fraction && mode_ == Mode::Main) {
                StartFraction();
                continue;
            }
            // Roots are stored as the root mark, whichever key typed them.
            if (k == keys_.root) {
                sh_.rootState = RootState::ShortStarting;
                k = kRoot;
            }
            if (k == keys_.tallRoot) {
                sh_.rootState = RootState::TallStarting;
                k = kRoot;
            }
            if (keys_.escape != 0 && k == keys_.escape) {
                // On the line the escape only changes how the next character is drawn; in a
                // fraction part the "^" is stored too, so the part draws the same when typeset.
                sh_.escapeNext = mode_ == Mode::Main;
                escapeInPart_ = mode_ != Mode::Main;
                continue;
            }
            if (k == keys_.enter) {
                if (Enter()) return EditEnd::Complete;
            } else if (k == keys_.backspace || k == keys_.del) {
                Delete();
            } else if (k >= U'!' && k <= U'~') {
                if (mode_ == Mode::Main)
                    TypeOnLine(k);
                else
                    TypeInPart(k);
            }
        }
    }

private:
    enum class Mode { Main, Denominator, Numerator };

    void Fill(float x1, float y1, float x2, float y2) { sh_.scr.fillBox(x1, y1, x2, y2, 0); }
    void Cursor(int c) { sh_.scr.drawCircle(penX_ + 8, penY_ + 8, 4, c, true); }

    float DrawAt(float x, float y, const Text& text) {
        sh_.pen.x = x;
        sh_.pen.y = y;
        return DrawChars(sh_, text);
    }

    void Reset() {
        sh_.rootState = RootState::None;
        mode_ = Mode::Main;
        lineY_ = penY_;
    }

    void TypeOnLine(char32_t k) {
        Cursor(0);
        switch (sh_.rootState) {
            case RootState::Short:
                DrawRootBar(sh_, penX_, penY_);
                break;
            case RootState::ShortStarting:
                DrawRootBarNext(sh_, penX_, penY_);
                sh_.rootState = RootState::Short;
                break;
            case RootState::Tall:
            case RootState::TallStarting:
                DrawTallRootBar(sh_, penX_, penY_);
                break;
            case RootState::None:
                break;
        }
        penX_ = DrawAt(penX_, penY_, Text(1, k));
        penY_ = lineY_;
        typed_ += k;
    }

    void TypeInPart(char32_t k) {
        Cursor(0);
        Text& part = mode_ == Mode::Denominator ? den_ : num_;
        const float rowY = mode_ == Mode::Denominator ? lineY_ + 15 : lineY_ - 12;
        if (sh_.rootState == RootState::Short) {
            DrawRootBar(sh_, penX_, rowY);
        } else if (sh_.rootState == RootState::ShortStarting) {
            DrawRootBarNext(sh_, penX_, rowY);
            sh_.rootState = RootState::Short;
        }
        if (escapeInPart_) {
            part += kCaret;
            escapeInPart_ = false;
            sh_.escapeNext = true;
        }
        DrawAt(penX_, rowY, Text(1, k));
        penX_ += 16;
        part += k;
    }

    // The denominator is typed first, below a provisional bar of three cells.
    void StartFraction() {
        Cursor(0);
        DrawAt(penX_, penY_, U"ﾀﾀﾀ");
        fractionX_ = penX_;
        den_.clear();
        mode_ = Mode::Denominator;
        penY_ = lineY_ + 15;
    }

    // Returns true when the answer is confirmed.
    bool Enter() {
        Cursor(0);
        if (mode_ == Mode::Main && typed_.empty()) return false;
        if (mode_ == Mode::Main && sh_.rootState == RootState::None) {
            Confirm();
            return true;
        }
        if (sh_.rootState == RootState::ShortStarting || sh_.rootState == RootState::Short ||
            (mode_ == Mode::Main && sh_.rootState == RootState::Tall)) {
            // Enter closes an open root; nothing is stored for it.
            sh_.rootState = RootState::None;
            return false;
        }
        if (mode_ == Mode::Denominator) {
            den_ += kEndMark;
            denEndX_ = penX_;
            num_.clear();
            mode_ = Mode::Numerator;
            penX_ = fractionX_;
            penY_ = lineY_ - 12;
        } else if (mode_ == Mode::Numerator) {
            num_ += kEndMark;
            Fill(fractionX_, lineY_ - 18, fractionX_ + 320, lineY_ + 30);
            const float end = DrawTypedFraction(sh_, fractionX_, lineY_, num_ + U"/" + den_);
            typed_ += kEndMark + StripCaret(num_) + U"/" + StripCaret(den_) + kEndMark;
            penX_ = end;
            penY_ = lineY_;
            mode_ = Mode::Main;
        }
        return false;
    }

    void Confirm() {
        Fill(penX_, penY_ - 20, penX_ + layout_.confirmClearWidth, penY_ + 54);
        DrawText(sh_, penX_, penY_, kColour, sh_.ans.labels[1]);
        DrawText(sh_, sh_.pen.x + kLabelOffset, penY_, kColour, sh_.ans.labels[2]);
        typed_ = StripEndMarks(typed_);
    }

    void Delete() {
        Cursor(0);
        if (EndsWith(typed_, kRoot) || EndsWith(den_, kRoot) || EndsWith(num_, kRoot))
            sh_.rootState = RootState::None;
        switch (mode_) {
            case Mode::Main:
                if (EndsWith(typed_, kEndMark)) {
                    // A fraction cannot be taken apart once typeset, so the whole answer goes;
                    // clear what was drawn of it too, so the line shows what is stored.
                    Fill(lineStartX_ + 16, lineY_ - 18, penX_, lineY_ + 30);
                    typed_.clear();
                    Reset();
                    return;
                }
                Fill(penX_ - 16, lineY_ - 18, penX_, lineY_ + 30);
                if (typed_.empty()) {
                    Reset();
                    return;
                }
                penX_ -= 16;
                typed_.pop_back();
                if (typed_.empty()) Reset();
                return;
            case Mode::Numerator:
                ReopenPart(num_);
                if (num_.empty()) {
                    mode_ = Mode::Denominator;
                    penX_ = denEndX_;
                    penY_ = lineY_ + 14;
                    return;
                }
                Fill(penX_ - 16, lineY_ - 18, penX_, lineY_ + 5);
                penX_ -= 16;
                penY_ = lineY_ - 12;
                DropLast(num_);
                return;
            case Mode::Denominator:
                ReopenPart(den_);
                if (den_.empty()) {
                    mode_ = Mode::Main;
                    penX_ = fractionX_;
                    penY_ = lineY_;
                    Fill(fractionX_, lineY_ - 18, fractionX_ + 320, lineY_ + 30);
                    return;
                }
                Fill(penX_ - 16, lineY_ + 12, penX_, lineY_ + 40);
                penX_ -= 16;
                penY_ = lineY_ + 14;
                DropLast(den_);
                return;
        }
    }

    // Deleting back into a finished part takes off its end mark; a root in that part ran
    // to the mark, so it is open again. A part without a root opens none.
    void ReopenPart(Text& part) {
        if (!EndsWith(part, kEndMark)) return;
        part.pop_back();
        if (part.find(kRoot) != Text::npos) sh_.rootState = RootState::Short;
    }

    Shell& sh_;
    const KeyMeanings& keys_;
    const Layout& layout_;
    Text& typed_;
    float penX_, penY_;
    float lineY_;
    float lineStartX_;
    Mode mode_ = Mode::Main;
    float fractionX_ = 0;
    float denEndX_ = 0;
    Text den_, num_;
    bool escapeInPart_ = false;  // a "^" typed in a fraction part, not yet stored
};

class StandardAnswerEditor final : public AnswerEditor {
public:
    void ShowPrompt(Shell& sh) const override {
        const float x = sh.anchor.x, y = sh.anchor.y;
        sh.scr.fillBox(x, y - 18, sh.prog.layout.answerRowRight, y + 54, 0);
        sh.scr.showTextCursor(false);
        const Text& label0 = sh.ans.labels[0];
        // Label 0 ends where typing starts; the ten blanks put label 1 ten cells further on.
        const float left = x - 16 * static_cast<float>(label0.size() + 1);
        DrawText(sh, left, y, kColour, U"答 " + label0 + Text(10, U' ') + sh.ans.labels[1]);
        sh.pen.x = x + 16;
        sh.pen.y = y;
    }

    EditEnd Edit(Shell& sh, Text& typed) const override {
        Editor editor(sh, typed);
        return editor.Run();
    }
};

}  // namespace

const AnswerEditor& StandardEditor() {
    static const StandardAnswerEditor editor;
    return editor;
}

EditEnd AnswerInput(Shell& sh) {
    for (;;) {
        ShowAnswerPrompt(sh);
        Text typed;
        const EditEnd end = EditAnswer(sh, typed);
        if (end == EditEnd::Cleared) continue;
        if (end == EditEnd::LineFull) {
            sh.scr.trace("LineFull", {});
            return end;
        }
        const Text answer = StripEndMarks(typed);
        sh.lastResult = CheckAnswer(sh, answer);
        sh.lastAnswer = answer;
        sh.scr.trace("CheckAnswer", {{"typed", answer}, {"result", static_cast<int>(sh.lastResult)}});
        return end;
    }
}

void ShowAnswerPrompt(Shell& sh) { sh.prog.editor->ShowPrompt(sh); }

EditEnd EditAnswer(Shell& sh, Text& typed) { return sh.prog.editor->Edit(sh, typed); }

Result CheckAnswer(const Shell& sh, const Text& typed) {
    const Text answer = TrimBlanks(typed);
    return answer == sh.ans.accepted || answer == sh.ans.accepted2 || answer == sh.ans.accepted3
               ? Result::Right
               : Result::Wrong;
}

}  // namespace shell
