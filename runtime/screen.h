// The screen runtime: everything a drill program may do with the window, the keyboard,
// the clock and the random generator. Nothing above runtime/ sees SDL.
//
// One Screen, several backends: drawing goes into the same palette canvas at one pixel per unit
// and is recorded as a list of operations. A backend keeps the canvas in memory (headless) or
// paints the recorded operations at its own resolution (a real SDL window, a page), so at scale 1
// the window shows exactly the pixels of a headless run. A page reads only the recording, so
// there the canvas is drawn only for a screenshot.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "runtime/canvas.h"
#include "runtime/drawing.h"
#include "runtime/options.h"
#include "runtime/text.h"

namespace rt {

struct Point {
    float x;
    float y;
};

// Thrown to leave the program from any depth: the close box, endProgram, or the end of a
// key script. It is deliberately not a std::exception, so that the shell's error route
// (which catches runtime failures) never swallows it.
struct ProgramEnd {
    int status;
};

// A value in a trace event: numbers are written as the caller gave them.
using TraceValue = std::variant<float, int, bool, Text>;
struct TraceField {
    std::string_view name;
    TraceValue value;
};

class Backend;
class Glyphs;
class KeyScript;
class Trace;

class Screen {
public:
    // Opens the backend the options ask for. Throws StartupError (one line for the user).
    explicit Screen(const Options& options);
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    // --- The contract -------------------------------------------------------------
    void maximiseWindow();
    void setPixelMapping();
    void setBackground(int c);
    void clearScreen();
    void locateText(int column, int row);
    void showTextCursor(bool on);
    void printText(const Text& text);
    void printNumber2(float value);
    void drawScaledText(float x, float y, const Text& text, float sx, float sy, int c);
    void drawLine(float x1, float y1, float x2, float y2, int c);
    void drawBox(float x1, float y1, float x2, float y2, int c);
    void fillBox(float x1, float y1, float x2, float y2, int c, int fill);
    void fillBox(float x1, float y1, float x2, float y2, int c) { fillBox(x1, y1, x2, y2, c, c); }
    void drawPolyline(const std::vector<Point>& points, int c);
    void drawCircle(float cx, float cy, float r, int c, bool filled, int fill);
    void drawCircle(float cx, float cy, float r, int c, bool filled = false) {
        drawCircle(cx, cy, r, c, filled, c);
    }
    // Never waits: "" when no key is pending, else one character.
    Text readKey();
    void setFunctionKey(int n, const Text& text);
    Text timeOfDay();
    void seedRandom(float n);
    float randomUnit();
    Text jisChar(int code);
    [[noreturn]] void endProgram();

    // --- Services for the shell ------------------------------------------------------
    // Empties the keyboard as `while (!readKey().empty()) {}` does, with the same trace and the
    // same key-script pacing, but never shows the canvas and never sleeps: nothing is drawn yet
    // at start-up, and nobody should wait for nothing.
    void discardKeys();
    // How often the canvas was shown and the program slept for input, for tests of what waits.
    struct Activity {
        long presents = 0;
        long waits = 0;
    };
    const Activity& activity() const { return activity_; }
    // How the canvas was drawn since it was last cleared, in its own coordinates.
    const DrawList& drawing() const { return *drawn_; }
    // Adds a shell-level event to the trace (for example what DrawText was asked to draw).
    void trace(std::string_view op, std::initializer_list<TraceField> fields);
    // Runs each time before the program sleeps until the pupil does something: work that other
    // threads do behind the pupil's back can be brought to an end while nobody waits for it.
    void beforeSleep(std::function<void()> hook) { beforeSleep_ = std::move(hook); }
    // The error screen's wait: reads no keys, ends only when the window is closed (or the
    // key script runs out). Ends the program with `status`.
    [[noreturn]] void waitForClose(int status);
    // True when the run has a canvas wider than the standard one (Brenwick).
    int canvasWidth() const;
    int canvasHeight() const;
    const Canvas& canvas() const { return canvas_; }
    // Called once when the program ends: closes the trace and writes the screenshot if one
    // was asked for. Throws std::runtime_error (one line, with the system's reason) when
    // either could not be written completely.
    void finish();

private:
    void step();  // between two operations: honour the close box
    void pumpNow();
    static std::uint8_t colour(int c);
    void present();
    Text nextKey(bool idle);  // readKey; without `idle` it never shows the canvas nor sleeps
    void draw(DrawOp op);
    void writeCells(const Text& text);

    Options options_;
    Canvas canvas_;
    std::unique_ptr<Glyphs> glyphs_;
    std::unique_ptr<Painter> painter_;
    bool paintsCanvas_ = true;         // false when nothing will read canvas_ (a page without a screenshot)
    bool canvasAfterFirst_ = false;    // canvas_ is drawn once the first picture has gone out
    std::unique_ptr<DrawList> drawn_;  // replayed by a window at its own scale
    std::unique_ptr<Backend> backend_;
    std::unique_ptr<KeyScript> script_;
    std::function<void()> beforeSleep_;
    std::unique_ptr<Trace> trace_;
    std::array<Text, 12> functionKeys_;
    std::deque<char32_t> keys_;  // typed in the window, not yet read
    std::mt19937 random_;
    int cursorColumn_ = 0;
    int cursorRow_ = 0;
    int background_ = 0;
    Activity activity_;
    std::chrono::steady_clock::time_point lastPump_{};
};

}  // namespace rt
