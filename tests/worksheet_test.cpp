// Printed sheets as a teacher gets them, read back with poppler's tools: a valid A4 PDF with its
// font embedded, every problem whole on one page and holding what the program draws on screen
// for its labelled clock, the answer key holding the accepted answer, and the same bytes again.
#include "shell/worksheet.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "brenwick/brenwick.h"
#include "halvard/halvard.h"
#include "morvane/morvane.h"
#include "quillon/quillon.h"
#include "runtime/canvas.h"
#include "runtime/fonts.h"
#include "runtime/glyphs.h"
#include "runtime/page.h"
#include "shell/mathtext.h"
#include "tests/harness.h"

namespace {

using testing_rig::json;

std::string Capture(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    pclose(p);
    return out;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int Sheet(const shell::Program& program, const std::string& path, const std::string& problems, int count,
          const std::string& clock = "09:12:30") {
    rt::Options o = testing_rig::Rig::makeOptions(program, "", clock, nullptr);
    o.keys.reset();
    o.worksheetFile = path;
    o.worksheetProblems = problems;
    o.worksheetCount = count;
    setenv("SOURCE_DATE_EPOCH", "1765000000", 1);
    return shell::RunProgram(program, o);
}

// Characters without blanks, counted.
std::map<char32_t, int> Chars(const std::string& utf8) {
    std::map<char32_t, int> m;
    for (char32_t c : rt::fromUtf8(utf8))
        if (c != U' ' && c != U'\u3000' && c != U'\n' && c != U'\f') ++m[c];
    return m;
}

// What `have` lacks of `want`, as text; empty when it holds every character.
std::string Missing(const std::map<char32_t, int>& want, const std::map<char32_t, int>& have) {
    rt::Text out;
    for (const auto& [c, n] : want) {
        const auto it = have.find(c);
        if (it == have.end() || it->second < n) out.push_back(c);
    }
    return rt::toUtf8(out);
}

struct Section {
    int index, number, page;
    std::string clock, text;
    bool key;
};

// Each labelled problem's text, from its label to the next label or the end of its page.
std::vector<Section> Sections(const std::string& pdf) {
    const std::string text = Capture("pdftotext -layout '" + pdf + "' -");
    const std::regex label(R"(\((\d+)\)\s+(\d+)番.*--clock (\d\d:\d\d:\d\d))");
    std::vector<Section> out;
    bool key = false;
    int page = 1;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        for (size_t f; (f = line.find('\f')) != std::string::npos; line.erase(f, 1)) {
            ++page;
            if (!out.empty()) out.back().page = -out.back().page;  // closed by the page end
        }
        if (line.find(" 解答") != std::string::npos) key = true;
        std::smatch m;
        if (std::regex_search(line, m, label)) {
            out.push_back({std::stoi(m[1]), std::stoi(m[2]), page, m[3], "", key});
        } else if (!out.empty() && out.back().page > 0) {
            out.back().text += line + "\n";
        }
    }
    for (auto& s : out) s.page = std::abs(s.page);
    return out;
}

// What the program draws for the first problem of a round from `number` at `clock`.
std::string DrawnOnScreen(const shell::Program& program, int number, const std::string& clock) {
    const auto run = testing_rig::runProgram(program, "1" + std::to_string(number) + "{Enter}", clock);
    std::string drawn;
    bool presented = false;
    // Present ends where the practice driver clears the band of the first attempt.
    const shell::Layout& layout = program.layout;
    for (const json& e : run.events) {
        if (e.at("op") == "Present") presented = true;
        if (presented && e.at("op") == "fillBox" && e.at("x1").get<float>() == layout.answerAnchor.x &&
            e.at("y1").get<float>() == layout.answerAnchor.y - layout.attemptBandAbove)
            break;
        if (presented && e.at("op") == "drawScaledText" && e.at("c").get<int>() != 0)
            drawn += e.at("text").get<std::string>();
    }
    return drawn;
}

struct Case {
    const char* name;
    const shell::Program& (*program)();
};

class Worksheet : public ::testing::TestWithParam<Case> {};

TEST_P(Worksheet, EveryProblemPrintsWholeWithItsAnswerAndRepeatsExactly) {
    const shell::Program& program = GetParam().program();
    const std::string pdf = ::testing::TempDir() + "/sheet_" + GetParam().name + ".pdf";
    ASSERT_EQ(Sheet(program, pdf, "", 1), 0);

    const std::string info = Capture("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
    const std::string fonts = Capture("pdffonts '" + pdf + "'");
    int fontCount = 0;
    std::istringstream rows(fonts);
    std::string row;
    for (int n = 0; std::getline(rows, row); ++n) {
        if (n < 2) continue;  // the heading and its rule
        std::vector<std::string> cols;
        std::istringstream words(row);
        for (std::string w; words >> w;) cols.push_back(w);
        ASSERT_GE(cols.size(), 6u) << row;
        EXPECT_EQ(cols[cols.size() - 5], "yes") << "not embedded: " << row;
        ++fontCount;
    }
    EXPECT_GT(fontCount, 0) << fonts;

    const std::vector<Section> sections = Sections(pdf);
    ASSERT_EQ(static_cast<int>(sections.size()), 2 * program.problemCount) << "labels on the sheet";
    for (const Section& s : sections) {
        SCOPED_TRACE(std::string(s.key ? "answer " : "problem ") + std::to_string(s.index) + " on page " +
                     std::to_string(s.page));
        EXPECT_EQ(s.number, s.index) << "one problem of each number, in order";
        const std::string screen = DrawnOnScreen(program, s.number, s.clock);
        ASSERT_FALSE(screen.empty());
        EXPECT_EQ(Missing(Chars(screen), Chars(s.text)), "")
            << "on screen: " << screen << "\nprinted: " << s.text;
        if (s.key) {
            const shell::SheetProblem p = shell::DrawSheetProblem(
                *std::make_unique<rt::Screen>(testing_rig::Rig::makeOptions(program, "", s.clock, nullptr)),
                program, s.number, rt::fromUtf8(s.clock));
            ASSERT_FALSE(p.ans.accepted.empty());
            // The answer as typed, drawn: the editor's marks and a fraction's slash become layout,
            // the rest full-width.
            const shell::KeyMeanings& k = program.keys;
            rt::Text drawn;
            for (char32_t c : p.ans.accepted)
                if (c != k.fraction && c != k.root && c != k.tallRoot && c != k.escape && c != U'/')
                    drawn.push_back(shell::ToFullWidth(*program.symbols, c));
            EXPECT_EQ(Missing(Chars(rt::toUtf8(drawn)), Chars(s.text)), "")
                << "accepted " << rt::toUtf8(p.ans.accepted) << "\nprinted: " << s.text;
        }
    }

    const std::string again = ::testing::TempDir() + "/sheet_again_" + GetParam().name + ".pdf";
    ASSERT_EQ(Sheet(program, again, "", 1), 0);
    EXPECT_TRUE(Bytes(pdf) == Bytes(again)) << "two runs with the same options differ";
    std::remove(pdf.c_str());
    std::remove(again.c_str());
}

// A PGM (binary, 8-bit) as rows of grey values.
struct Grey {
    int w = 0, h = 0;
    std::vector<unsigned char> v;
    bool dark(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && v[size_t(y) * w + x] < 128; }
};

Grey ReadPgm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int max = 0;
    Grey g;
    in >> magic >> g.w >> g.h >> max;
    in.get();
    g.v.resize(size_t(g.w) * g.h);
    in.read(reinterpret_cast<char*>(g.v.data()), static_cast<std::streamsize>(g.v.size()));
    if (magic != "P5" || !in) g = {};
    return g;
}

// The share of `a`'s ink that `b` has within one pixel.
double Covered(const std::vector<std::pair<int, int>>& a, const auto& inkAt) {
    if (a.empty()) return 0;
    long hit = 0;
    for (auto [x, y] : a) {
        bool near = false;
        for (int dy = -1; dy <= 1 && !near; ++dy)
            for (int dx = -1; dx <= 1 && !near; ++dx) near = inkAt(x + dx, y + dy);
        hit += near;
    }
    return double(hit) / double(a.size());
}

TEST_P(Worksheet, APrintedProblemLooksLikeTheScreen) {
    const shell::Program& program = GetParam().program();
    const int number = program.problemCount;  // the last, often the richest figure
    rt::Options options = testing_rig::Rig::makeOptions(program, "", "09:12:30", nullptr);
    rt::Screen screen(options);
    const shell::SheetProblem p = shell::DrawSheetProblem(screen, program, number, U"09:12:30");

    // The screen's ink: the problem painted at one pixel per unit with its filled areas left out,
    // since paper shows them as pale tints.
    const rt::Bounds b = rt::visibleBounds(p.problem);
    ASSERT_LT(b.x1, b.x2);
    rt::Canvas canvas(program.canvasWidth, 900);
    rt::Glyphs glyphs(rt::findDefaultFont());
    rt::Painter painter(canvas, glyphs, 1.0);
    for (rt::DrawOp o : p.problem) {
        if (auto* r = std::get_if<rt::op::Rect>(&o)) r->c = 0;
        painter.apply(o);
    }
    std::vector<std::pair<int, int>> screenInk;
    for (int y = b.y1; y <= b.y2; ++y)
        for (int x = b.x1; x <= b.x2; ++x)
            if (x >= 0 && y >= 0 && x < canvas.width() && y < canvas.height() && canvas.at(x, y) != 0)
                screenInk.emplace_back(x - b.x1, y - b.y1);

    // The page alone, rendered at one pixel per unit when the drawing prints at its largest.
    const std::string pdf = ::testing::TempDir() + "/look_" + GetParam().name + ".pdf";
    {
        rt::PageDocument doc(pdf, "", U"", "2025-01-01T00:00:00");
        doc.place(U"", p.problem, 0);
        doc.finish();
    }
    const double scale = std::min(0.5, (595.276 - 84) / (b.x2 - b.x1 + 1));
    const double dpi = 72 / scale;
    const std::string base = ::testing::TempDir() + "/look_" + GetParam().name;
    ASSERT_EQ(std::system(("pdftoppm -gray -r " + std::to_string(dpi) + " -f 1 -l 1 -singlefile '" + pdf +
                           "' '" + base + "'")
                              .c_str()),
              0);
    const Grey page = ReadPgm(base + ".pgm");
    ASSERT_GT(page.w, 0);
    // Where the drawing starts: the first ink from the top left, above the page number.
    int top = page.h, left = page.w;
    std::vector<std::pair<int, int>> pageInk;
    for (int y = 0; y < page.h * 9 / 10; ++y)
        for (int x = 0; x < page.w; ++x)
            if (page.dark(x, y)) {
                top = std::min(top, y);
                left = std::min(left, x);
                pageInk.emplace_back(x, y);
            }
    int inkTop = b.y2, inkLeft = b.x2;
    for (auto [x, y] : screenInk) inkTop = std::min(inkTop, y), inkLeft = std::min(inkLeft, x);
    for (auto& [x, y] : pageInk) x -= left - inkLeft, y -= top - inkTop;

    std::set<std::pair<int, int>> pageSet(pageInk.begin(), pageInk.end()),
        screenSet(screenInk.begin(), screenInk.end());
    const double onPaper = Covered(screenInk, [&](int x, int y) { return pageSet.count({x, y}) > 0; });
    const double onScreen = Covered(pageInk, [&](int x, int y) { return screenSet.count({x, y}) > 0; });
    EXPECT_GT(onPaper, 0.9) << "of the screen's ink printed, problem " << number;
    EXPECT_GT(onScreen, 0.9) << "of the printed ink on screen, problem " << number;
    std::remove(pdf.c_str());
    std::remove((base + ".pgm").c_str());
}

INSTANTIATE_TEST_SUITE_P(AllPrograms, Worksheet,
                         ::testing::Values(Case{"halvard", halvard::HalvardProgram},
                                           Case{"morvane", morvane::MorvaneProgram},
                                           Case{"quillon", quillon::QuillonProgram},
                                           Case{"brenwick", brenwick::BrenwickProgram}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WorksheetProblems, ProblemsOfOneNumberDiffer) {
    for (Case c : {Case{"halvard", halvard::HalvardProgram}, Case{"morvane", morvane::MorvaneProgram},
                   Case{"quillon", quillon::QuillonProgram}, Case{"brenwick", brenwick::BrenwickProgram}}) {
        const shell::Program& program = c.program();
        rt::Screen screen(testing_rig::Rig::makeOptions(program, "", "23:59:58", nullptr));
        std::vector<int> all;
        for (int n = 1; n <= program.problemCount; ++n) all.push_back(n);
        const auto problems = shell::ChooseSheetProblems(screen, program, all, 3, U"23:59:58");
        ASSERT_EQ(static_cast<int>(problems.size()), 3 * program.problemCount) << c.name;
        for (size_t i = 0; i < problems.size(); ++i)
            for (size_t j = i + 1; j < problems.size() && problems[j].number == problems[i].number; ++j) {
                EXPECT_NE(problems[i].problem, problems[j].problem)
                    << c.name << " problem " << problems[i].number << " at " << rt::toUtf8(problems[i].clock)
                    << " and " << rt::toUtf8(problems[j].clock);
                EXPECT_NE(problems[i].clock, problems[j].clock);
            }
    }
}

TEST(WorksheetProblems, ClockLabelsCountOnRoundMidnight) {
    EXPECT_EQ(shell::ClockAfter(U"23:59:58", 3), U"00:00:01");
    EXPECT_EQ(shell::ClockAfter(U"09:12:30", 90), U"09:14:00");
}

TEST(WorksheetProblems, ProblemListsAreParsedOrRefused) {
    struct Row {
        const char32_t* list;
        std::vector<int> want;  // empty: refused
    };
    const Row rows[] = {
        {U"", {1, 2, 3, 4, 5}},
        {U"1-3,5", {1, 2, 3, 5}},
        {U"4, 2-3", {4, 2, 3}},
        {U"2,2,1-2", {2, 1}},
        {U"5", {5}},
        {U"0", {}},
        {U"6", {}},
        {U"3-2", {}},
        {U"1,", {}},
        {U"a", {}},
        {U"1-", {}},
        {U"1;2", {}},
    };
    for (const Row& r : rows) {
        if (r.want.empty()) {
            EXPECT_THROW(shell::ParseProblemList(r.list, 5), rt::StartupError) << rt::toUtf8(r.list);
        } else {
            EXPECT_EQ(shell::ParseProblemList(r.list, 5), r.want) << rt::toUtf8(r.list);
        }
    }
}

TEST(WorksheetProblems, ABadListOrAnUnwritableFileEndsTheRunWithAReason) {
    const shell::Program& program = halvard::HalvardProgram();
    EXPECT_EQ(Sheet(program, ::testing::TempDir() + "/never.pdf", "14", 1), 2);
    EXPECT_EQ(Sheet(program, "/nonexistent-dir/sheet.pdf", "1", 1), 74);
}

}  // namespace
