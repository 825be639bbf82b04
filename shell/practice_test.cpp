// Whole flows typed as a pupil would, read back from the trace as a short story of what
// the pupil saw: screens, answers checked, marks, hint steps, prompts and menus.
#include "shell/practice.h"

#include <algorithm>
#include <string>
#include <vector>

#include "shell/frame.h"
#include "tests/harness.h"

namespace {

using testing_rig::json;

void Hint1(shell::Shell& sh) { sh.scr.trace("hint", {{"step", 1}}); }
void Hint2(shell::Shell& sh) { sh.scr.trace("hint", {{"step", 2}}); }
void Hint3(shell::Shell& sh) { sh.scr.trace("hint", {{"step", 3}}); }
// Every test problem has the answer 3, in any of its three accepted forms.
void PresentThree(shell::Shell& sh) {
    sh.ans.accepted = U"3";
    sh.ans.accepted2 = U"x=3";
    sh.ans.accepted3 = U"+3";
}

const std::vector<shell::Entry> kEntries{
    {1, U"three", PresentThree, Hint1, Hint2, Hint3},
    {2, U"three", PresentThree, Hint1, Hint2, Hint3},
    {3, U"three", PresentThree, Hint1, Hint2, Hint3},
};

const shell::Program& ThreeProblems() {
    static const shell::Program program{U"Tester", 3, kEntries};
    return program;
}

// A program whose last problem is not written yet.
const shell::Program& FourWithOneMissing() {
    static const shell::Program program{U"Tester", 4, kEntries};
    return program;
}

double Num(const json& e, const char* field) { return e.at(field).get<double>(); }

std::string Story(const std::vector<json>& events) {
    std::vector<std::string> out;
    for (const auto& e : events) {
        const std::string op = e.at("op");
        if (op == "Present") {
            out.push_back("P" + std::to_string(e.at("entry").get<int>()));
        } else if (op == "hint") {
            out.push_back("H" + std::to_string(e.at("step").get<int>()));
        } else if (op == "CheckAnswer") {
            out.push_back(e.at("typed").get<std::string>() + (e.at("result") == 2 ? ":right" : ":wrong"));
        } else if (op == "LineFull") {
            out.push_back("full");
        } else if (op == "endProgram") {
            out.push_back("end");
        } else if (op == "drawCircle" && Num(e, "r") == 22) {
            out.push_back(Num(e, "x") == 504 && Num(e, "y") == 584 ? "○" : "misplaced○");
        } else if (op == "drawLine" && Num(e, "x1") == 488 && Num(e, "y1") == 566 && Num(e, "x2") == 520 &&
                   Num(e, "y2") == 602) {
            out.push_back("×");
        } else if (op == "drawScaledText") {
            const std::string text = e.at("text");
            const double x = Num(e, "x"), y = Num(e, "y");
            const std::string cell = std::to_string(static_cast<int>(x - 240) / 16 + 1);
            if (y == 18 && (text == "○" || text == "×"))
                out.push_back("cell" + cell + text);
            else if (y == 38)
                out.push_back("count" + cell + "=" + text);
            else if (text == "スペース　キーを押す")
                out.push_back("space");
            else if (text.rfind("☆この問題をもう１度", 0) == 0)
                out.push_back("menuA");
            else if (text.rfind("☆もう１度", 0) == 0)
                out.push_back("menuB");
            else if (x == 256 && y == 90)
                out.push_back("contents");
            else if (text == "問題を見る")
                out.push_back("view");
            else if (text == "Enterキーを押す")
                out.push_back("pause");
            else if (text.rfind("何番から", 0) == 0)
                out.push_back("ask");
            else if (x == 0 && y == 9)
                out.push_back("practice");
            else if (text == "回")
                out.push_back("table");
        }
    }
    std::string s;
    for (const auto& w : out) s += (s.empty() ? "" : " ") + w;
    return s;
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

struct FlowCase {
    const char* name;
    const shell::Program& (*program)();
    std::string keys;
    std::string story;
};

TEST(PracticeFlow, WholeFlowsTypedAsAPupilWould) {
    const std::string start = "contents ask practice table ";
    const std::vector<FlowCase> cases{
        {"contents: only 1, 2 and 3 act; Enter and other keys do nothing", ThreeProblems, "{Enter}04x {F1}3",
         "contents end"},
        {"contents: 1 opens the start-number prompt", ThreeProblems, "1", "contents ask"},
        {"view mode walks every problem, pausing for Enter only, then returns", ThreeProblems,
         "2x {Enter}3{Enter}{Enter}", "contents view P1 pause P2 pause P3 pause contents"},
        {"start number: 0, empty, letters and above the count ask again", ThreeProblems,
         "10{Enter}{Enter}abc{Enter}4{Enter}-1{Enter}.5{Enter}2.5{Enter}",
         "contents ask ask ask ask ask ask ask practice table P2"},
        {"right at the first attempt: all steps at once, circle, count 1", ThreeProblems, "11{Enter}3{Enter}",
         start + "P1 3:right ○ cell1○ H1 H2 H3 count1=1 menuB"},
        {"each accepted form is right", ThreeProblems, "11{Enter}x=3{Enter}2+3{Enter}",
         start +
             "P1 x=3:right ○ cell1○ H1 H2 H3 count1=1 menuB P2 +3:right ○ cell2○ H1 H2 H3 count2=1 menuB"},
        {"wrong three times: steps 1 and 2 each with the space prompt, then step 3", ThreeProblems,
         "11{Enter}5{Enter}x{Enter} 6{Enter} 7{Enter}",
         start + "P1 5:wrong × cell1× H1 space 6:wrong × H2 space 7:wrong × H3 count1=1 menuB"},
        {"right at the second attempt: steps 2 and 3", ThreeProblems, "11{Enter}5{Enter} 3{Enter}",
         start + "P1 5:wrong × cell1× H1 space 3:right ○ H2 H3 count1=1 menuB"},
        {"right at the third attempt: step 3", ThreeProblems, "11{Enter}5{Enter} 6{Enter} 3{Enter}",
         start + "P1 5:wrong × cell1× H1 space 6:wrong × H2 space 3:right ○ H3 count1=1 menuB"},
        {"menu after a problem: other keys ignored, 1 repeats, 2 goes on", ThreeProblems,
         "11{Enter}3{Enter}x{Enter}3 1{BS}3{Enter}2",
         start + "P1 3:right ○ cell1○ H1 H2 H3 count1=1 menuB P1 3:right ○ H1 H2 H3 count1=2 menuB P2"},
        {"menu after the last problem: 4 and Enter ignored, 1 repeats, 3 back to contents", ThreeProblems,
         "13{Enter}3{Enter}4{Enter}13{Enter}3",
         start + "P3 3:right ○ cell3○ H1 H2 H3 count3=1 menuA P3 3:right ○ H1 H2 H3 count3=2 menuA contents"},
        {"last problem's menu, 2: a new round from entry 1 with a fresh table", ThreeProblems,
         "13{Enter}3{Enter}23{Enter}",
         start +
             "P3 3:right ○ cell3○ H1 H2 H3 count3=1 menuA table P1 3:right ○ cell1○ H1 H2 H3 count1=1 menuB"},
        {"a line-full answer counts an attempt with no mark", ThreeProblems,
         "11{Enter}" + Repeat("1", 39) + "3{Enter}", start + "P1 full 3:right ○ cell1○ H2 H3 count1=1 menuB"},
        {"past the third attempt the problem completes with the steps not yet shown", ThreeProblems,
         "11{Enter}5{Enter} " + Repeat("1", 39) + Repeat("2", 39) + "7{Enter}",
         start + "P1 5:wrong × cell1× H1 space full full 7:wrong × H2 H3 count1=1 menuB"},
        {"three abandoned attempts, then any answer completes with every step", ThreeProblems,
         "11{Enter}" + Repeat(Repeat("1", 39), 3) + "3{Enter}",
         start + "P1 full full full 3:right ○ cell1○ H1 H2 H3 count1=1 menuB"},
        {"an entry not written yet shows a placeholder and still completes", FourWithOneMissing,
         "14{Enter}3{Enter} 3{Enter} 3{Enter}3",
         start + "P4 3:wrong × cell4× space 3:wrong × space 3:wrong × count4=1 menuA contents"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = testing_rig::runProgram(c.program(), c.keys);
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(Story(run.events), c.story);
    }
}

TEST(PracticeFlow, RepeatingACompletedProblemCountsUpToNineAndKeepsItsMark) {
    // Wrong first, so the cell holds "×"; then ten right repeats.
    const auto run = testing_rig::runProgram(ThreeProblems(),
                                             "11{Enter}5{Enter} 6{Enter} 7{Enter}" + Repeat("13{Enter}", 10));
    std::vector<std::string> counts;
    int cellMarks = 0;
    for (const auto& e : testing_rig::ops(run.events, "drawScaledText")) {
        if (Num(e, "y") == 38) counts.push_back(e.at("text"));
        if (Num(e, "y") == 18 && (e.at("text") == "○" || e.at("text") == "×")) ++cellMarks;
    }
    EXPECT_EQ(counts, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "9", "9"}));
    EXPECT_EQ(cellMarks, 1);
    // The count cell is cleared before each digit, so digits never pile up.
    EXPECT_EQ(std::count_if(run.events.begin(), run.events.end(),
                            [](const json& e) {
                                return e.at("op") == "fillBox" && e.at("x1") == 244 && e.at("y1") == 38 &&
                                       e.at("x2") == 251 && e.at("y2") == 53 && e.at("fill") == 0;
                            }),
              11);
}

TEST(PracticeFlow, ScreensDrawTheirTextsWhereTheyBelong) {
    const auto run = testing_rig::runProgram(ThreeProblems(), "1x{Enter}2{Enter}3{Enter}1");
    const auto texts = testing_rig::drawnTexts(run.events);
    for (const std::string want :
         {"★ 練習3題・・・・・・・・・・・・・１", "★ 練習3題を見る・・・・・・・・・・２",
          "★ 終わる・・・・・・・・・・・・・・・３", "実行途中で元に戻りたいときは、マウスで×をクリックする",
          "分数→F1, △→F2, ", " →F3, ±→F4, ≦≧→F5,F6, π→F7", "度°→F8,∠→F9,≡→F10,∽→F11, 大",
          "→F12,２乗→ﾍ2,3乗→ﾍ3"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), want), texts.end()) << want;

    // The contents title box fits the six characters of "Tester".
    bool titleBox = false;
    for (const auto& e : testing_rig::ops(run.events, "fillBox"))
        titleBox |= e.at("x1") == 240 && e.at("y1") == 70 && e.at("x2") == 464 && e.at("y2") == 143 &&
                    e.at("c") == 15 && e.at("fill") == 10;
    EXPECT_TRUE(titleBox);

    // The prompt's area is cleared once, however often the number is asked again.
    int promptClears = 0;
    for (const auto& e : testing_rig::ops(run.events, "fillBox"))
        promptClears += e.at("x1") == 1 && e.at("y1") == 252 && e.at("x2") == 1281 && e.at("y2") == 612;
    EXPECT_EQ(promptClears, 1);

    // The two roots of the key help sit lower than the text around them.
    std::vector<double> rootYs;
    for (const auto& e : testing_rig::ops(run.events, "DrawText"))
        if (e.at("text") == "√") rootYs.push_back(Num(e, "y"));
    EXPECT_EQ(rootYs, (std::vector<double>{6, 25.6}));

    // The round is seeded from the clock again (12 + 34 + 56) and the seed is used.
    const auto seeds = testing_rig::ops(run.events, "seedRandom");
    ASSERT_EQ(seeds.size(), 2u);
    EXPECT_EQ(seeds[1].at("n"), 102);
}

TEST(PracticeFlow, RoundNumberGrowsWithEveryRound) {
    // Two rounds from the prompt and one from the last problem's menu.
    const auto run = testing_rig::runProgram(ThreeProblems(), "13{Enter}3{Enter}313{Enter}3{Enter}2");
    std::vector<double> rounds;
    for (const auto& e : testing_rig::ops(run.events, "printNumber2")) rounds.push_back(Num(e, "value"));
    EXPECT_EQ(rounds, (std::vector<double>{1, 2, 3}));
}

TEST(ProgressTable, Placement) {
    struct Row {
        int count;
        double x1;  // right end of the table
        double lastNumberX;
    };
    for (const Row row : {Row{13, 448, 431}, Row{3, 288, 276}, Row{9, 384, 372}, Row{29, 704, 687}}) {
        SCOPED_TRACE(row.count);
        testing_rig::Rig rig(ThreeProblems());
        rig.sh.round = 7;
        shell::DrawProgressTable(rig.sh, 30, 0, row.count);
        const auto events = rig.events();
        const auto fills = testing_rig::ops(events, "fillBox");
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_EQ(fills[0].at("x1"), 220);
        EXPECT_EQ(Num(fills[0], "x2"), row.x1);
        EXPECT_EQ(fills[0].at("y2"), 54);  // the repeat counts too
        const auto boxes = testing_rig::ops(events, "drawBox");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(Num(boxes[0], "x2"), row.x1);
        EXPECT_EQ(boxes[0].at("y2"), 32);
        // One inner line per cell border plus the line between the rows.
        EXPECT_EQ(testing_rig::ops(events, "drawLine").size(), static_cast<size_t>(row.count));
        const auto locate = testing_rig::ops(events, "locateText");
        ASSERT_EQ(locate.size(), 1u);
        EXPECT_EQ(locate[0].at("column"), 27);
        EXPECT_EQ(locate[0].at("row"), 0);
        EXPECT_EQ(testing_rig::ops(events, "printNumber2").at(0).at("value"), 7);
        std::vector<json> numbers;
        for (const auto& e : testing_rig::ops(events, "drawScaledText"))
            if (e.at("text") != "回") numbers.push_back(e);
        ASSERT_EQ(numbers.size(), static_cast<size_t>(row.count));
        EXPECT_EQ(numbers.front().at("x"), 244);
        EXPECT_EQ(numbers.back().at("text"), std::to_string(row.count));
        EXPECT_EQ(Num(numbers.back(), "x"), row.lastNumberX);
    }
    for (int count : {2, 30}) {
        testing_rig::Rig rig(ThreeProblems());
        shell::DrawProgressTable(rig.sh, 30, 0, count);
        EXPECT_TRUE(rig.events().empty()) << count;
    }
}

}  // namespace

namespace {

// Runs a program headless on a key script and keeps its screen, to read back pixels.
struct Screenful {
    explicit Screenful(const shell::Program& program, const std::string& keys) : rig(program, keys) {
        try {
            shell::StartUp(rig.sh);
            shell::RunLessons(rig.sh);
        } catch (const rt::ProgramEnd&) {
        }
    }
    // How many pixels of the rectangle are not the background.
    int inked(int x1, int y1, int x2, int y2) const {
        int n = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x) n += rig.screen.canvas().at(x, y) != 0;
        return n;
    }
    testing_rig::Rig rig;
};

}  // namespace

TEST(ProgressTable, ANewRoundStartsWithEmptyCells) {
    // Round 1: problem 1 wrong then right and repeated, 2 and 3 right; then a new round from the
    // last problem's menu, which stops at the first problem of round 2.
    const std::string round1 = "11{Enter}5{Enter} 3{Enter}13{Enter}23{Enter}23{Enter}";
    const Screenful before(ThreeProblems(), round1);
    const Screenful after(ThreeProblems(), round1 + "2");
    // Cells 1 to 3 from x 240, 16 px each; the marks sit on row y 18, the counts below them.
    // Inside each cell, between the table's lines.
    auto marks = [](const Screenful& s) {
        return s.inked(241, 19, 255, 31) + s.inked(257, 19, 271, 31) + s.inked(273, 19, 287, 31);
    };
    ASSERT_GT(marks(before), 0);
    ASSERT_GT(before.inked(241, 36, 287, 54), 0);
    EXPECT_EQ(marks(after), 0) << "marks of the last round are left";
    EXPECT_EQ(after.inked(241, 36, 287, 56), 0) << "repeat counts of the last round are left";
}

namespace {

// A made-up program: a wider canvas, its own layout and key meanings.
void PresentSeven(shell::Shell& sh) {
    shell::ClearWorkArea(sh);
    sh.ans.accepted = U"7";
}
void NoHint(shell::Shell&) {}

const shell::Program& WideProgram() {
    static const shell::Program program = [] {
        shell::Program p{U"Wide",
                         3,
                         {{1, U"seven", PresentSeven, NoHint, NoHint, NoHint},
                          {2, U"seven", PresentSeven, NoHint, NoHint, NoHint},
                          {3, U"seven", PresentSeven, NoHint, NoHint, NoHint}}};
        p.canvasWidth = 1920;
        p.layout.answerAnchor = {640, 500};
        p.layout.answerRowRight = 1900;
        p.layout.attemptBandRight = 1700;
        p.layout.answerLineEnd = 1500;
        p.layout.promptBandRight = 1800;
        p.keys.clear = U'Z';  // "Z" clears the answer
        p.keys.fraction = U'F';
        p.keys.enter = U'=';  // "=" confirms
        p.DrawKeyHelp = [](shell::Shell& sh) { sh.scr.drawScaledText(1000, 0, U"help", 1, 1, 13); };
        return p;
    }();
    return program;
}

}  // namespace

TEST(PracticeFlow, AProgramBringsItsOwnCanvasLayoutAndKeys) {
    // View mode, then practice: "Z" clears, "=" confirms; Enter does nothing on the answer line.
    const auto run = testing_rig::runProgram(WideProgram(), "2{Enter}{Enter}{Enter}11{Enter}5{Enter}Z7=");
    const std::string story = Story(run.events);
    EXPECT_NE(story.find("view P1 pause P2 pause P3 pause contents"), std::string::npos) << story;
    const auto checks = testing_rig::ops(run.events, "CheckAnswer");
    ASSERT_EQ(checks.size(), 1u) << story;
    EXPECT_EQ(checks[0].at("typed"), "7");
    EXPECT_EQ(checks[0].at("result"), 2);

    bool workAreaToEdge = false, helpDrawn = false, circleAtAnchor = false, promptBand = false;
    for (const auto& e : run.events) {
        const std::string op = e.at("op");
        if (op == "fillBox" && e.at("y1") == 54 && e.at("x2") == 1920) workAreaToEdge = true;
        if (op == "fillBox" && e.at("x1") == 640 && e.at("y1") == 482 && e.at("x2") == 1900)
            promptBand = true;
        if (op == "drawScaledText" && e.at("text") == "help") helpDrawn = true;
        if (op == "drawCircle" && e.at("r") == 22 && e.at("x") == 664 && e.at("y") == 508)
            circleAtAnchor = true;
        if (op == "fillBox") {
            EXPECT_NE(e.at("x2"), 1440) << e.dump();
        }
    }
    EXPECT_TRUE(workAreaToEdge) << "the work area is not cleared to the canvas edge";
    EXPECT_TRUE(promptBand) << "the answer prompt does not clear its row";
    EXPECT_TRUE(helpDrawn) << "the program's key help is not drawn";
    EXPECT_TRUE(circleAtAnchor) << "the mark is not at the program's answer anchor";
}
