#include "runtime/screen.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>

#include "runtime/canvas.h"
#include "runtime/trace.h"

namespace rt {
namespace {

using json = nlohmann::ordered_json;

struct Headless {
    explicit Headless(std::string keys = "", int width = 1440) {
        o.headless = true;
        o.keys = std::move(keys);
        o.clock = "12:34:56";
        o.canvasWidth = width;
        o.traceStream = &out;
    }
    std::vector<json> events() {
        std::vector<json> v;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);) v.push_back(json::parse(line));
        return v;
    }
    std::ostringstream out;
    Options o;
};

TEST(Random, SameSeedSameSequenceAlwaysBelowOne) {
    Headless h;
    Screen a(h.o), b(h.o);
    a.seedRandom(102);
    b.seedRandom(102);
    float lowest = 1, highest = 0;
    for (int i = 0; i < 100000; ++i) {
        float x = a.randomUnit();
        ASSERT_EQ(x, b.randomUnit());
        ASSERT_GE(x, 0.0f);
        ASSERT_LT(x, 1.0f);
        lowest = std::min(lowest, x);
        highest = std::max(highest, x);
    }
    EXPECT_LT(lowest, 0.001f);
    EXPECT_GT(highest, 0.999f);
    // A fresh seed restarts the sequence; another seed gives another one.
    a.seedRandom(102);
    b.seedRandom(103);
    Headless h2;
    Screen c(h2.o);
    c.seedRandom(102);
    float first = c.randomUnit();
    EXPECT_EQ(a.randomUnit(), first);
    EXPECT_NE(b.randomUnit(), first);
}

TEST(Trace, WritesOpsWithTheirArgumentsAsGiven) {
    Headless h;
    {
        Screen s(h.o);
        s.fillBox(480, 565, 1280, 603, 0, 0);
        s.drawScaledText(256, 90, U"Halvard", 2, 2, 13);
        s.drawCircle(504, 584, 22, 5, false);
        s.drawCircle(10, 10, 4, 15, true, 3);
        s.fillBox(640, 0, 1328, 48.6f, 11, 4);
        s.seedRandom(102);
        s.setFunctionKey(1, U"\\");
        s.drawPolyline({{0, 12}, {2, 8.5f}}, 4);
        s.finish();
    }
    auto ev = h.events();
    ASSERT_EQ(ev.size(), 8u);
    EXPECT_EQ(ev[0], json::parse(R"({"op":"fillBox","x1":480,"y1":565,"x2":1280,"y2":603,"c":0,"fill":0})"));
    EXPECT_EQ(ev[0].dump(), R"({"op":"fillBox","x1":480,"y1":565,"x2":1280,"y2":603,"c":0,"fill":0})");
    EXPECT_EQ(ev[1].dump(),
              R"({"op":"drawScaledText","x":256,"y":90,"text":"Halvard","sx":2,"sy":2,"c":13})");
    EXPECT_EQ(ev[2].dump(), R"({"op":"drawCircle","x":504,"y":584,"r":22,"c":5,"filled":false})");
    EXPECT_EQ(ev[3].dump(), R"({"op":"drawCircle","x":10,"y":10,"r":4,"c":15,"filled":true,"fill":3})");
    EXPECT_EQ(ev[4]["y2"].dump(), "48.6");
    EXPECT_EQ(ev[5].dump(), R"({"op":"seedRandom","n":102})");
    EXPECT_EQ(ev[6].dump(), R"({"op":"setFunctionKey","n":1,"text":"\\"})");
    EXPECT_EQ(ev[7].dump(), R"({"op":"drawPolyline","points":[[0,12],[2,8.5]],"c":4})");
}

// A trace file is written in large blocks; a flush hands over what was written so far, so a
// program waiting for a key can be followed, and a flush that fails is still reported at the end.
TEST(Trace, FlushHandsOverEventsSoFarAndKeepsAFailureForClose) {
    const std::string path = ::testing::TempDir() + "/flushed.jsonl";
    auto fileText = [&] {
        std::string text;
        if (std::FILE* f = std::fopen(path.c_str(), "r")) {
            char buf[256];
            for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
            std::fclose(f);
        }
        return text;
    };
    {
        Trace t(nullptr, path);
        t.write("seedRandom", {{"n", 7}});
        EXPECT_EQ(fileText(), "");
        t.flush();
        EXPECT_EQ(fileText(), "{\"op\":\"seedRandom\",\"n\":7}\n");
        t.write("seedRandom", {{"n", 8}});
        t.flush();
        EXPECT_EQ(fileText(), "{\"op\":\"seedRandom\",\"n\":7}\n{\"op\":\"seedRandom\",\"n\":8}\n");
        EXPECT_EQ(t.close(), "");
    }
    std::remove(path.c_str());

    Trace full(nullptr, "/dev/full");
    full.write("seedRandom", {{"n", 7}});
    full.flush();
    EXPECT_EQ(full.close(), "cannot write the trace /dev/full: No space left on device");
}

TEST(Keys, ScriptedKeysArriveOneAtATimeAndTheEndCloses) {
    Headless h("a{F1}{Enter}");
    Screen s(h.o);
    s.setFunctionKey(1, U"\\");
    std::u32string got;
    int emptyPolls = 0;
    try {
        for (int i = 0; i < 100; ++i) {
            Text k = s.readKey();
            if (k.empty()) ++emptyPolls;
            got += k;
        }
        FAIL() << "the script's end did not end the run";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.status, 0);
    }
    EXPECT_EQ(got, U"a\\\r");
    EXPECT_EQ(emptyPolls, 4);  // one before each key and one after the last; the next ends the run
    auto ev = h.events();
    std::vector<std::string> keys;
    for (auto& e : ev)
        if (e["op"] == "readKey") keys.push_back(e["key"]);
    EXPECT_EQ(keys, (std::vector<std::string>{"a", "\\", "\r"}));
}

TEST(Keys, AFullWidthScriptTypesTheHalfWidthKeys) {
    auto typed = [](const char* script) {
        Headless h(script);
        Screen s(h.o);
        Text got;
        try {
            for (;;) got += s.readKey();
        } catch (const ProgramEnd&) {
        }
        return std::make_pair(got, h.out.str());
    };
    const auto half = typed("x=12{Enter}-3./4");
    EXPECT_EQ(half.first, U"x=12\r-3./4");
    EXPECT_EQ(typed("ｘ＝１２{Enter}－３．／４"), half);
    // Kana mode: the long-vowel mark, the Japanese full stop and comma.
    EXPECT_EQ(typed("x=12{Enter}ー3。/4"), half);
    EXPECT_EQ(typed("ー１、２｡5ｰ"), typed("-1,2.5-"));
}

TEST(Keys, CloseKeyEndsAtOnce) {
    Headless h("{Close}x");
    Screen s(h.o);
    EXPECT_EQ(s.readKey(), U"");
    EXPECT_THROW(s.readKey(), ProgramEnd);
    // An empty script lets a flush poll once and ends the run at the first wait.
    Headless empty("");
    Screen e(empty.o);
    EXPECT_EQ(e.readKey(), U"");
    EXPECT_THROW(e.readKey(), ProgramEnd);
}

TEST(Keys, DiscardingKeysIsTheReadLoopWithoutShowingOrWaiting) {
    // The same calls with either way of emptying the keyboard: the same trace, the same keys
    // read afterwards and the same end; only discardKeys never shows the canvas.
    struct Outcome {
        std::string trace;
        Text read;
        int calls = 0;  // calls made before the run ended
        long presentsInFlushes = 0;
    };
    auto drive = [](const std::string& script, bool discard) {
        Headless h(script);
        Screen s(h.o);
        s.setFunctionKey(1, U"\\");
        s.setFunctionKey(2, U"~~");
        Outcome out;
        auto flush = [&] {
            const long before = s.activity().presents + s.activity().waits;
            if (discard)
                s.discardKeys();
            else
                while (!s.readKey().empty()) {
                }
            out.presentsInFlushes += s.activity().presents + s.activity().waits - before;
        };
        try {
            for (int round = 0; round < 20; ++round, ++out.calls) {
                flush();
                ++out.calls;
                out.read += s.readKey();
                ++out.calls;
                flush();
            }
        } catch (const ProgramEnd& end) {
            EXPECT_EQ(end.status, 0);
        }
        out.trace = h.out.str();
        return out;
    };
    for (const char* script : {"", "a", "ab{F1}c", "{F2}x{F2}", "{Close}", "1{Enter}{BS}{Close}z", "{F1}"}) {
        SCOPED_TRACE(script);
        const Outcome loop = drive(script, false), discard = drive(script, true);
        EXPECT_EQ(discard.trace, loop.trace);
        EXPECT_EQ(discard.read, loop.read);
        EXPECT_EQ(discard.calls, loop.calls);
        EXPECT_EQ(discard.presentsInFlushes, 0);
    }
    // The loop does show the canvas while a script is being typed; that is what is avoided.
    EXPECT_GT(drive("ab", false).presentsInFlushes, 0);
}

TEST(Clock, FixedClockAndJisCharacters) {
    Headless h;
    Screen s(h.o);
    EXPECT_EQ(s.timeOfDay(), U"12:34:56");
    EXPECT_EQ(s.jisChar(8543), U"×");
    EXPECT_EQ(s.jisChar(8571), U"○");
    EXPECT_EQ(s.jisChar(8740), U"△");
    EXPECT_EQ(s.jisChar(288), U" ");
    for (int d = 0; d <= 9; ++d) EXPECT_EQ(s.jisChar(304 + d), Text(1, static_cast<char32_t>(U'0' + d)));
    EXPECT_THROW(s.jisChar(5), std::out_of_range);
}

// The JIS table the programs carry says what the C library's converter says, code for code.
TEST(Clock, JisCharactersAsTheCLibraryConvertsThem) {
    Headless h;
    Screen s(h.o);
    iconv_t cd = iconv_open("UTF-32LE", "EUC-JP");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int characters = 0;
    for (int row = 0x21; row <= 0x7E; ++row) {
        for (int cell = 0x21; cell <= 0x7E; ++cell) {
            char in[2] = {static_cast<char>(row | 0x80), static_cast<char>(cell | 0x80)};
            char32_t out[2] = {};
            char* inp = in;
            char* outp = reinterpret_cast<char*>(out);
            size_t inLeft = 2, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const bool converted =
                iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) && outLeft != sizeof out;
            const int code = row << 8 | cell;
            if (converted) {
                ++characters;
                EXPECT_EQ(s.jisChar(code), Text(1, out[0])) << std::hex << code;
            } else {
                EXPECT_THROW(s.jisChar(code), std::out_of_range) << std::hex << code;
            }
        }
    }
    iconv_close(cd);
    EXPECT_EQ(characters, 6879);  // all of JIS X 0208
    EXPECT_THROW(s.jisChar(0x7F21), std::out_of_range);
    EXPECT_THROW(s.jisChar(0x2120), std::out_of_range);
}

TEST(Canvas, TextCellsCirclesAndBoxesLandWhereAsked) {
    Headless h;
    Screen s(h.o);
    const Canvas& c = s.canvas();
    // A full-width glyph stays inside its 16 x 16 cell, a half-width one inside 8 x 16 (scaled by 2 here).
    s.drawScaledText(100, 100, U"■", 1, 1, 13);
    s.drawScaledText(200, 100, U"W", 2, 2, 13);
    int inside = 0, outside = 0;
    for (int y = 90; y < 140; ++y)
        for (int x = 90; x < 240; ++x) {
            bool inCell =
                (x >= 100 && x < 116 && y >= 100 && y < 116) || (x >= 200 && x < 216 && y >= 100 && y < 132);
            if (c.at(x, y) == 13) (inCell ? inside : outside)++;
        }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);
    // Only the glyph's pixels are set: the box's colour stays around the text.
    s.fillBox(300, 300, 340, 330, 15, 2);
    s.drawScaledText(304, 306, U"1", 1, 1, 13);
    EXPECT_EQ(c.at(301, 301), 2);
    EXPECT_EQ(c.at(300, 300), 15);
    EXPECT_EQ(c.at(311, 320), 2);
    // A circle of radius 22 passes through its four extreme points and leaves its centre alone.
    s.drawCircle(504, 584, 22, 5);
    EXPECT_EQ(c.at(504 + 22, 584), 5);
    EXPECT_EQ(c.at(504, 584 - 22), 5);
    EXPECT_EQ(c.at(504, 584), 0);
    s.drawCircle(600, 600, 4, 15, true);
    EXPECT_EQ(c.at(600, 600), 15);
    EXPECT_EQ(c.at(604, 600), 15);
    EXPECT_EQ(c.at(606, 600), 0);
    // Colour 0 erases.
    s.drawCircle(600, 600, 4, 0, true);
    EXPECT_EQ(c.at(600, 600), 0);
    EXPECT_THROW(s.fillBox(0, 0, 1, 1, 16), std::out_of_range);
}

TEST(Canvas, DrawingStopsAtEveryEdge) {
    // Everything below is drawn across an edge of the canvas. Nothing may wrap round to the
    // other side of the canvas (a row on), and what lies inside must still be drawn.
    for (int width : {1440, 1920}) {
        Headless h("", width);
        Screen s(h.o);
        const Canvas& c = s.canvas();
        const float right = static_cast<float>(width) - 6;
        s.drawLine(right, 100, right + 40, 100, 15);
        s.drawLine(right, 120, right + 40, 160, 15);
        s.drawBox(right, 200, right + 30, 220, 13);
        s.fillBox(right, 240, right + 30, 260, 13, 5);
        s.drawScaledText(right, 300, U"ＷＷ", 3, 3, 13);
        s.drawCircle(right + 2, 400, 20, 11, true, 11);
        s.drawPolyline({{right, 500}, {right + 50, 520}, {right, 540}}, 9);
        s.drawScaledText(100, 890, U"ＷＷ", 3, 3, 13);
        s.fillBox(-10, -10, 5, 5, 12, 12);
        s.drawCircle(-3, 600, 10, 14);
        s.drawBox(200, 895, 260, 920, 6);
        auto lit = [&](int x1, int y1, int x2, int y2) {
            for (int y = y1; y <= y2; ++y)
                for (int x = x1; x <= x2; ++x)
                    if (c.at(x, y) != 0) return true;
            return false;
        };
        for (int y : {100, 200, 240, 250}) EXPECT_NE(c.at(width - 1, y), 0) << y;
        for (int y : {120, 300, 380, 500}) EXPECT_TRUE(lit(width - 6, y, width - 1, y + 40)) << y;
        EXPECT_EQ(c.at(0, 0), 12);
        EXPECT_TRUE(lit(0, 590, 7, 610));
        EXPECT_EQ(c.at(200, 899), 6);
        // Only these may be lit at the far left: the box in the corner and the circle at x = -3.
        for (int y = 0; y < 900; ++y)
            for (int x = 0; x < 40; ++x)
                if (c.at(x, y) != 0 && !(y <= 5 && x <= 5) && !(y >= 590 && y <= 610 && x <= 7))
                    FAIL() << "pixel " << x << "," << y << " of a " << width << " canvas is lit";
        // And nothing from the bottom row came round to the top.
        for (int x = 40; x < width; ++x) ASSERT_EQ(c.at(x, 0), 0) << x;
    }
}

TEST(Canvas, ClearingAfterAnyDrawingLeavesNothingBehind) {
    // A new canvas is all 0 without being written, and clearing it to 0 then writes nothing:
    // after any drawing in another colour, clearing must write again.
    const std::uint8_t mask[4] = {1, 0, 1, 1};
    const std::vector<std::pair<const char*, std::function<void(Canvas&)>>> drawings{
        {"plot", [](Canvas& c) { c.plot(5, 6, 9); }},
        {"set",
         [](Canvas& c) {
             c.set(7, 8, 9);
             c.touch(7, 8, 7, 8);
         }},
        {"fillRect", [](Canvas& c) { c.fillRect(3, 3, 9, 4, 12); }},
        {"blit",
         [&mask](Canvas& c) {
             c.blit(10, 10, mask, 2, 2, 15, {0, 0, 99, 99});
         }},
        {"line", [](Canvas& c) { c.line(0, 0, 30, 20, 2, 7); }},
        {"fill", [](Canvas& c) { c.fill(3); }},
    };
    for (const auto& [name, draw] : drawings) {
        SCOPED_TRACE(name);
        for (const bool whole : {true, false}) {
            Canvas c(40, 30);
            c.fill(0);
            c.fillRect(0, 0, 39, 29, 0);
            draw(c);
            ASSERT_TRUE(std::any_of(c.pixels().begin(), c.pixels().end(), [](auto p) { return p != 0; }));
            c.takeDirty();
            if (whole)
                c.fill(0);
            else
                c.fillRect(39, 29, 0, 0, 0);
            EXPECT_TRUE(std::all_of(c.pixels().begin(), c.pixels().end(), [](auto p) { return p == 0; }));
            const Rect d = c.takeDirty();
            EXPECT_TRUE(d.x1 == 0 && d.y1 == 0 && d.x2 == 39 && d.y2 == 29) << "the clearing is a change";
        }
    }
}

TEST(Clock, HeadlessWithoutAClockIsMidnight) {
    // A repeatable run must not depend on when it runs.
    Headless h;
    h.o.clock.reset();
    Screen s(h.o);
    EXPECT_EQ(s.timeOfDay(), U"00:00:00");
}

TEST(Canvas, ScreenshotIsAPngOfTheCanvasSize) {
    for (int width : {1440, 1920}) {
        Headless h("", width);
        std::string path = ::testing::TempDir() + "/shot" + std::to_string(width) + ".png";
        h.o.screenshotFile = path;
        {
            Screen s(h.o);
            s.fillBox(10, 10, 50, 40, 13, 8);
            s.finish();
        }
        Canvas back = loadPng(path);
        EXPECT_EQ(back.width(), width);
        EXPECT_EQ(back.height(), 900);
        EXPECT_EQ(back.at(10, 10), 13);
        EXPECT_EQ(back.at(20, 20), 8);
        EXPECT_EQ(back.at(60, 60), 0);
        std::remove(path.c_str());
    }
}

}  // namespace
}  // namespace rt
