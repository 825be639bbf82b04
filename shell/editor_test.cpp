// The answer line typed key by key: what is stored for the check, and what is drawn where.
#include "shell/editor.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "tests/harness.h"

namespace {

using testing_rig::json;

const shell::Program& Plain() {
    static const shell::Program program{U"Tester", 3, {}};
    return program;
}

struct Typing {
    shell::EditEnd end = shell::EditEnd::Cleared;
    bool checked = false;
    std::string typed;  // as the check saw it
    int result = 0;
    std::vector<json> events;  // from the prompt on
};

// One attempt on a fresh answer line, after start-up (which assigns the function keys).
Typing Type(const std::string& keys, const std::array<rt::Text, 7>& labels = {}) {
    testing_rig::Rig rig(Plain(), keys);
    shell::StartUp(rig.sh);
    rig.sh.ans.accepted = U"x=3";
    rig.sh.ans.labels = labels;
    rig.clearTrace();
    Typing t;
    try {
        t.end = shell::AnswerInput(rig.sh);
    } catch (const rt::ProgramEnd&) {
        ADD_FAILURE() << "the key script ran out before the attempt ended: " << keys;
    }
    t.events = rig.events();
    for (const auto& e : testing_rig::ops(t.events, "CheckAnswer")) {
        t.checked = true;
        t.typed = e.at("typed");
        t.result = e.at("result");
    }
    return t;
}

double Num(const json& e, const char* field) { return e.at(field).get<double>(); }

// The characters drawn after the prompt, as "text@x,y".
std::vector<std::string> Drawn(const std::vector<json>& events) {
    std::vector<std::string> out;
    for (const auto& e : testing_rig::ops(events, "drawScaledText")) {
        std::ostringstream s;
        s << e.at("text").get<std::string>() << "@" << Num(e, "x") << "," << Num(e, "y");
        out.push_back(s.str());
    }
    return out;
}

std::vector<std::string> Fills(const std::vector<json>& events) {
    std::vector<std::string> out;
    for (const auto& e : testing_rig::ops(events, "fillBox")) {
        std::ostringstream s;
        s << Num(e, "x1") << "," << Num(e, "y1") << "-" << Num(e, "x2") << "," << Num(e, "y2");
        out.push_back(s.str());
    }
    return out;
}

TEST(AnswerEditor, StoredAnswer) {
    struct Row {
        const char* name;
        std::string keys;
        const char* typed;  // nullptr: the line ran full and nothing was checked
    };
    const std::string ones38(38, '1');
    const std::vector<Row> rows{
        {"plain text", "x=3{Enter}", "x=3"},
        {"fraction: denominator first, then numerator", "{F1}3{Enter}2{Enter}{Enter}", "2/3"},
        {"fraction after text", "x={F1}3{Enter}2{Enter}{Enter}", "x=2/3"},
        {"escape stores only the character", "^x{Enter}", "x"},
        {"escape inside a fraction part", "{F1}^x{Enter}1{Enter}{Enter}", "1/x"},
        {"root on the line; Enter closes it", "!2{Enter}+1{Enter}", "!2+1"},
        {"root inside the denominator", "{F1}!2{Enter}{Enter}1{Enter}{Enter}", "1/!2"},
        {"tall root over a fraction", "{F12}{F1}3{Enter}2{Enter}{Enter}{Enter}", "!2/3"},
        {"function keys type their characters", "{F2}{F5}{F7}{F9}{Enter}", "~[&'"},
        {"a decimal point", "3.5{Enter}", "3.5"},
        {"Enter on an empty line is ignored", "{Enter}{Enter}5{Enter}", "5"},
        {"blanks and double-byte characters are ignored", "1 2あ{Enter}", "12"},
        {"delete the last character", "12{BS}3{Enter}", "13"},
        {"delete on an empty line does nothing", "{BS}{Del}1{Enter}", "1"},
        {"delete everything, then type again", "12{Del}{Del}{Del}4{Enter}", "4"},
        {"delete keeps a root open", "!2{BS}3{Enter}{Enter}", "!3"},
        {"delete right after a fraction empties the answer", "5{F1}3{Enter}2{Enter}{BS}7{Enter}", "7"},
        {"delete back through numerator and denominator", "{F1}3{Enter}2{BS}{BS}{BS}{BS}4{Enter}", "4"},
        {"delete an escaped character in one step", "5{F1}^x{BS}{BS}7{Enter}", "57"},
        {"the clear key restarts the attempt", "12{Clear}3{Enter}", "3"},
        {"the clear key inside a fraction", "{F1}3{Clear}8{Enter}", "8"},
        {"ten cells", "1234567890{Enter}", "1234567890"},
        {"38 cells still fit", ones38 + "{Enter}", ones38.c_str()},
        {"the 39th cell discards the input", ones38 + "1", nullptr},
        {"a long denominator runs off the line too", "{F1}" + ones38 + "1", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Typing t = Type(row.keys);
        if (row.typed) {
            EXPECT_EQ(t.end, shell::EditEnd::Complete);
            EXPECT_TRUE(t.checked);
            EXPECT_EQ(t.typed, row.typed);
        } else {
            EXPECT_EQ(t.end, shell::EditEnd::LineFull);
            EXPECT_FALSE(t.checked);
        }
    }
}

TEST(AnswerEditor, CheckAcceptsTheThreeTextsWithoutBlanks) {
    struct Row {
        const char* typed;
        int result;
    };
    testing_rig::Rig rig(Plain());
    rig.sh.ans.accepted = U"x=3";
    rig.sh.ans.accepted2 = U"3";
    rig.sh.ans.accepted3 = U"+3";
    for (const Row row : {Row{"x=3", 2}, Row{"3", 2}, Row{"+3", 2}, Row{"x = 3", 2}, Row{" +3 ", 2},
                          Row{"3.0", 1}, Row{"x=3　", 1}, Row{"X=3", 1}, Row{"", 1}})
        EXPECT_EQ(static_cast<int>(shell::CheckAnswer(rig.sh, rt::fromUtf8(row.typed))), row.result) << row.typed;
    // A problem with nothing accepted yet marks every answer wrong.
    rig.sh.ans = shell::AnswerSettings{};
    EXPECT_EQ(shell::CheckAnswer(rig.sh, U"3"), shell::Result::Wrong);
}

TEST(AnswerEditor, TypedCharactersAreShownAsSymbols) {
    EXPECT_EQ(Drawn(Type("x=3{Enter}").events),
              (std::vector<std::string>{"答@464,576", "χ@496,576", "＝@512,576", "３@528,576"}));
    // Escaped, the letter is drawn as typed: half-width, lifted 4 pixels.
    EXPECT_EQ(Drawn(Type("^x{Enter}").events), (std::vector<std::string>{"答@464,576", "x@496,572"}));
}

TEST(AnswerEditor, FractionIsTypedBelowThenAboveAndTypeset) {
    const Typing t = Type("{F1}3{Enter}2{Enter}{Enter}");
    EXPECT_EQ(Drawn(t.events), (std::vector<std::string>{
                                   "答@464,576", "―@496,576", "―@512,576", "―@528,576",  // provisional bar
                                   "３@496,591", "２@496,564",                           // as typed
                                   "２@496,564", "３@496,592", "―@496,576",              // typeset: one cell
                               }));
    // The provisional bar is cleared before the fraction is typeset; the answer is confirmed
    // right after its one cell.
    EXPECT_EQ(Fills(t.events),
              (std::vector<std::string>{"480,558-1600,630", "496,558-816,606", "512,556-1632,630"}));
}

TEST(AnswerEditor, DeletingBackThroughAFraction) {
    const Typing t = Type("{F1}3{Enter}2{BS}{BS}{BS}{BS}4{Enter}");
    EXPECT_EQ(Fills(t.events), (std::vector<std::string>{
                                   "480,558-1600,630",  // prompt
                                   "496,558-512,581",   // the numerator's 2
                                   "496,588-512,616",   // the denominator's 3
                                   "496,558-816,606",   // the abandoned fraction
                                   "512,556-1632,630",  // confirm after the 4
                               }));
    // Back in the denominator the cursor sits at its end, one pixel higher than typing.
    bool cursorAtDenominatorEnd = false;
    for (const auto& e : testing_rig::ops(t.events, "drawCircle"))
        cursorAtDenominatorEnd |= Num(e, "x") == 520 && Num(e, "y") == 598;
    EXPECT_TRUE(cursorAtDenominatorEnd);
    // The 4 goes where the fraction began; no root overline appears anywhere.
    EXPECT_EQ(Drawn(t.events).back(), "４@496,576");
    EXPECT_TRUE(testing_rig::ops(t.events, "drawLine").empty());
}

TEST(AnswerEditor, DeleteAfterAFractionClearsWhatItStoredAndKeepsThePen) {
    const Typing t = Type("5{F1}3{Enter}2{Enter}{BS}7{Enter}");
    const auto fills = Fills(t.events);
    ASSERT_GE(fills.size(), 2u);
    EXPECT_EQ(fills[fills.size() - 2], "496,558-528,606");
    EXPECT_EQ(Drawn(t.events).back(), "７@528,576");
}

TEST(AnswerEditor, RootOverlines) {
    const Typing t = Type("!2{Enter}+1{Enter}");
    std::vector<std::string> lines;
    for (const auto& e : testing_rig::ops(t.events, "drawLine")) {
        std::ostringstream s;
        s << Num(e, "x1") << "," << Num(e, "y1") << "-" << Num(e, "x2") << "," << Num(e, "y2");
        lines.push_back(s.str());
    }
    // Over the cell after the sign when the sign is typed, then over the 2 as it is typed;
    // the + after Enter gets none.
    EXPECT_EQ(lines, (std::vector<std::string>{"512,571-528,571", "512,571-528,571"}));
    EXPECT_EQ(testing_rig::ops(t.events, "drawPolyline").size(), 1u);
}

TEST(AnswerEditor, ClearKeyAndTenthCellWipe) {
    const auto count = [](const std::vector<std::string>& fills, const std::string& box) {
        return std::count(fills.begin(), fills.end(), box);
    };
    // The clear key brings a fresh prompt.
    EXPECT_EQ(count(Fills(Type("12{Clear}3{Enter}").events), "480,558-1600,630"), 2);
    // Reaching the tenth cell wipes label 1 and the band to its right before the cell is drawn.
    EXPECT_EQ(count(Fills(Type("12345678{Enter}").events), "640,560-1600,630"), 0);
    const Typing t = Type("1234567890{Enter}");
    const auto fills = Fills(t.events);
    EXPECT_GE(count(fills, "640,560-1600,630"), 1);
    EXPECT_EQ(Drawn(t.events).back(), "０@640,576");
}

TEST(AnswerEditor, LabelsAroundTheAnswer) {
    const Typing t = Type("3{Enter}", {U"x=", U"cm", U"kg"});
    const auto texts = testing_rig::ops(t.events, "DrawText");
    ASSERT_EQ(texts.size(), 3u);
    // Label 0 ends where typing starts; label 1 follows ten blanks.
    EXPECT_EQ(texts[0].at("text"), "答 x=          cm");
    EXPECT_EQ(texts[0].at("x"), 432);
    // On confirm label 1 follows the answer and label 2 comes 160 pixels after it.
    EXPECT_EQ(texts[1].at("text"), "cm");
    EXPECT_EQ(texts[1].at("x"), 512);
    EXPECT_EQ(texts[2].at("text"), "kg");
    EXPECT_EQ(texts[2].at("x"), 704);
}

}  // namespace
