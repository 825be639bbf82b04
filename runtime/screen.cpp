#include "runtime/screen.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <thread>

#include "runtime/backend.h"
#include "runtime/drawing.h"
#include "runtime/fonts.h"
#include "runtime/glyphs.h"
#include "runtime/keyinput.h"
#include "runtime/keyscript.h"
#include "runtime/trace.h"

namespace rt {

namespace {
// How often drawing between polls looks for a click on the close box.
constexpr auto kPumpInterval = std::chrono::milliseconds(15);

int px(float v) { return static_cast<int>(std::lround(v)); }

// The character of each JIS X 0208 code, row by row (tools/jis0208.py).
constexpr std::array<std::uint16_t, 94 * 94> kJis0208{
#include "runtime/jis0208.inc"
};

// The text layer's cells are 8 x 18 pixels.
constexpr int kCellW = 8, kCellH = 18;

// A page has no files to keep a trace in. Leaving the trace out of it there also leaves the JSON
// library and the standard streams out of the page's code, which is then quicker to load.
#ifdef __EMSCRIPTEN__
constexpr bool kTraces = false;
#else
constexpr bool kTraces = true;
#endif
}  // namespace

Screen::Screen(const Options& options)
    : options_(options), canvas_(options.canvasWidth, options.canvasHeight) {
    // Headless without a script: nobody can type, so it runs as an empty script.
    if (options_.keys || options_.headless)
        script_ = std::make_unique<KeyScript>(parseKeyScript(options_.keys.value_or("")));
    if (kTraces && (options_.traceStream || !options_.traceFile.empty()))
        trace_ = std::make_unique<Trace>(options_.traceStream, options_.traceFile);
    // A window remembers the default font between starts; headless runs (tests, scripts) keep
    // nothing in the home folder. The font is read before the window opens, on this thread: a
    // font that fails ends the run before anything shows, and a second thread would cost the
    // window system's start more than reading the font takes (once a process has threads, the
    // C library locks each character the X library reads of the keyboard's compose table).
    std::string fontFile = options_.fontFile;
#ifndef __EMSCRIPTEN__
    if (fontFile.empty() && !options_.headless) fontFile = rememberedDefaultFont();
#endif
    glyphs_ = std::make_unique<Glyphs>(fontFile.empty() ? findDefaultFont() : fontFile);
    backend_ = options_.headless ? makeHeadlessBackend()
                                 : makeWindowBackend(options_.programName, canvas_.width(), canvas_.height());
    backend_->useGlyphs(*glyphs_);
    paintsCanvas_ = backend_->readsCanvas() || !options_.screenshotFile.empty();
    canvasAfterFirst_ = paintsCanvas_ && !backend_->readsFirstCanvas() && options_.screenshotFile.empty();
    painter_ = std::make_unique<Painter>(canvas_, *glyphs_, 1.0);
    drawn_ = std::make_unique<DrawList>();
}

Screen::~Screen() = default;

std::uint8_t Screen::colour(int c) {
    if (c < 0 || c > 15)
        throw std::out_of_range("colour " + std::to_string(c) + " is not in the palette (0 to 15)");
    return static_cast<std::uint8_t>(c);
}

void Screen::trace(std::string_view op, std::initializer_list<TraceField> fields) {
    if (kTraces && trace_) trace_->write(op, fields);
}

void Screen::pumpNow() {
    lastPump_ = std::chrono::steady_clock::now();
    if (backend_->pump(keys_, functionKeys_)) throw ProgramEnd{0};
}

void Screen::step() {
    if (!backend_->interactive()) return;
    if (std::chrono::steady_clock::now() - lastPump_ >= kPumpInterval) pumpNow();
}

void Screen::present() {
    ++activity_.presents;
    if (canvasAfterFirst_) {
        // The first picture does not wait for the canvas: it is drawn from the drawing now.
        backend_->present(canvas_, Rect{}, *drawn_);
        for (const DrawOp& op : drawn_->ops) painter_->apply(op);
        canvasAfterFirst_ = false;
        return;
    }
    backend_->present(canvas_, canvas_.takeDirty(), *drawn_);
}

void Screen::draw(DrawOp op) {
    if (paintsCanvas_ && !canvasAfterFirst_) painter_->apply(op);
    drawn_->add(std::move(op));
}

void Screen::maximiseWindow() {
    step();
    trace("maximiseWindow", {});
    backend_->maximise();
}

void Screen::setPixelMapping() {
    step();
    trace("setPixelMapping", {});
}

void Screen::setBackground(int c) {
    step();
    trace("setBackground", {{"c", c}});
    background_ = colour(c);
}

void Screen::clearScreen() {
    step();
    trace("clearScreen", {});
    draw(op::Fill{static_cast<std::uint8_t>(background_)});
}

void Screen::locateText(int column, int row) {
    step();
    trace("locateText", {{"column", column}, {"row", row}});
    cursorColumn_ = column;
    cursorRow_ = row;
}

void Screen::showTextCursor(bool on) {
    step();
    trace("showTextCursor", {{"on", on}});
    // The programs only ever hide it; the text layer has no visible cursor.
}

void Screen::printText(const Text& text) {
    step();
    trace("printText", {{"text", text}});
    writeCells(text);
}

void Screen::writeCells(const Text& text) {
    if (text.empty()) return;
    int cells = 0;
    for (char32_t ch : text) cells += isFullWidth(ch) ? 2 : 1;
    const int x = cursorColumn_ * kCellW, y = cursorRow_ * kCellH;
    // The cells' background, then each glyph one row down in its 18-row cell.
    draw(op::Rect{x, y, x + cells * kCellW - 1, y + kCellH - 1, static_cast<std::uint8_t>(background_)});
    draw(op::Glyphs{x, y + 1, text, 1, 1, 15, 1, kCellH - 16 - 1});
    cursorColumn_ += cells;
}

void Screen::printNumber2(float value) {
    step();
    trace("printNumber2", {{"value", value}});
    char buf[32];
    std::snprintf(buf, sizeof buf, "%2ld", std::lround(value));
    Text text;
    for (const char* p = buf; *p; ++p) text.push_back(static_cast<char32_t>(*p));
    // Written as printText would, without a second trace event.
    writeCells(text);
}

void Screen::drawScaledText(float x, float y, const Text& text, float sx, float sy, int c) {
    step();
    trace("drawScaledText", {{"x", x}, {"y", y}, {"text", text}, {"sx", sx}, {"sy", sy}, {"c", c}});
    const std::uint8_t ink = colour(c);
    // Every glyph is clipped to its own cell: some glyphs of the font are a pixel taller.
    draw(op::Glyphs{px(x), px(y), text, std::max(1, px(sx)), std::max(1, px(sy)), ink});
}

void Screen::drawLine(float x1, float y1, float x2, float y2, int c) {
    step();
    trace("drawLine", {{"x1", x1}, {"y1", y1}, {"x2", x2}, {"y2", y2}, {"c", c}});
    draw(op::Line{px(x1), px(y1), px(x2), px(y2), colour(c)});
}

void Screen::drawBox(float x1, float y1, float x2, float y2, int c) {
    step();
    trace("drawBox", {{"x1", x1}, {"y1", y1}, {"x2", x2}, {"y2", y2}, {"c", c}});
    draw(op::Box{px(x1), px(y1), px(x2), px(y2), colour(c)});
}

void Screen::fillBox(float x1, float y1, float x2, float y2, int c, int fill) {
    step();
    trace("fillBox", {{"x1", x1}, {"y1", y1}, {"x2", x2}, {"y2", y2}, {"c", c}, {"fill", fill}});
    const std::uint8_t edge = colour(c), inside = colour(fill);
    draw(op::Rect{px(x1), px(y1), px(x2), px(y2), inside});
    draw(op::Box{px(x1), px(y1), px(x2), px(y2), edge});
}

void Screen::drawPolyline(const std::vector<Point>& points, int c) {
    step();
    if (kTraces && trace_) trace_->writePolyline(points, c);
    const std::uint8_t ink = colour(c);
    for (size_t i = 1; i < points.size(); ++i)
        draw(op::Line{px(points[i - 1].x), px(points[i - 1].y), px(points[i].x), px(points[i].y), ink});
}

void Screen::drawCircle(float cx, float cy, float r, int c, bool filled, int fill) {
    step();
    if (filled)
        trace("drawCircle", {{"x", cx}, {"y", cy}, {"r", r}, {"c", c}, {"filled", true}, {"fill", fill}});
    else
        trace("drawCircle", {{"x", cx}, {"y", cy}, {"r", r}, {"c", c}, {"filled", false}});
    const std::uint8_t edge = colour(c);
    if (filled) draw(op::Circle{cx, cy, r, colour(fill), true});
    draw(op::Circle{cx, cy, r, edge, false});
}

Text Screen::readKey() { return nextKey(true); }

void Screen::discardKeys() {
    while (!nextKey(false).empty()) {
    }
}

Text Screen::nextKey(bool idle) {
    if (backend_->interactive()) pumpNow();
    Text key;
    if (!keys_.empty()) {
        key.push_back(keys_.front());
        keys_.pop_front();
    } else if (script_) {
        bool finished = false;
        if (const ScriptKey* k = script_->poll(finished)) {
            if (k->kind == ScriptKey::Close) throw ProgramEnd{0};
            if (k->kind == ScriptKey::Char) {
                key.push_back(k->ch);
            } else {
                for (char32_t c : functionKeys_[static_cast<size_t>(k->n - 1)]) keys_.push_back(c);
                if (!keys_.empty()) {
                    key.push_back(keys_.front());
                    keys_.pop_front();
                }
            }
        } else if (finished) {
            throw ProgramEnd{0};
        } else if (idle) {
            present();  // so a scripted run in a window shows what it is doing
        }
    } else if (idle) {
        // Nothing typed: show what changed and sleep until the next event, so a waiting
        // screen costs no CPU and a keystroke still wakes the program at once.
        present();
        ++activity_.waits;
        if (kTraces && trace_) trace_->flush();
        if (beforeSleep_) beforeSleep_();
        backend_->wait();
        pumpNow();
        if (!keys_.empty()) {
            key.push_back(keys_.front());
            keys_.pop_front();
        }
    }
    if (key.empty()) return key;
    // Typed through an input method in full-width mode or scripted so, a key is its half-width one.
    key[0] = halfWidthKey(key[0]);
    trace("readKey", {{"key", key}});
    return key;
}

void Screen::setFunctionKey(int n, const Text& text) {
    step();
    trace("setFunctionKey", {{"n", n}, {"text", text}});
    if (n < 1 || n > 12)
        throw std::out_of_range("function key " + std::to_string(n) + " does not exist (1 to 12)");
    functionKeys_[static_cast<size_t>(n - 1)] = text;
}

Text Screen::timeOfDay() {
    step();
    std::string time;
    if (options_.clock) {
        time = *options_.clock;
    } else if (!backend_->interactive()) {
        // Headless runs never read the wall clock, so they repeat exactly.
        time = "00:00:00";
    } else {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char buf[16];
        std::strftime(buf, sizeof buf, "%H:%M:%S", &local);
        time = buf;
    }
    Text t = fromUtf8(time);
    trace("timeOfDay", {{"time", t}});
    return t;
}

void Screen::seedRandom(float n) {
    step();
    trace("seedRandom", {{"n", n}});
    random_.seed(static_cast<std::mt19937::result_type>(static_cast<long long>(n)));
}

float Screen::randomUnit() {
    // The top 24 bits of the generator, so every platform draws the same problems.
    const float v = static_cast<float>(random_() >> 8) / 16777216.0f;
    trace("randomUnit", {{"value", v}});
    return v;
}

Text Screen::jisChar(int code) {
    step();
    trace("jisChar", {{"code", code}});
    if (code >= 0x100 && code < 0x200 && (code & 0xFF) >= 0x20 && (code & 0xFF) < 0x7F)
        return Text(1, static_cast<char32_t>(code & 0xFF));
    const int row = code >> 8, cell = code & 0xFF;
    const char32_t ch = row < 0x21 || row > 0x7E || cell < 0x21 || cell > 0x7E
                            ? 0
                            : kJis0208[static_cast<size_t>((row - 0x21) * 94 + (cell - 0x21))];
    if (ch == 0) throw std::out_of_range("JIS code " + std::to_string(code) + " is not a character");
    return Text(1, ch);
}

void Screen::endProgram() {
    trace("endProgram", {});
    throw ProgramEnd{0};
}

void Screen::waitForClose(int status) {
    // A scripted run has nobody to click the close box: the keys left have no effect, so the
    // run ends at once with the failure's status.
    if (script_ || !backend_->interactive()) throw ProgramEnd{status};
    for (;;) {
        present();
        ++activity_.waits;
        if (kTraces && trace_) trace_->flush();
        if (beforeSleep_) beforeSleep_();
        backend_->wait();
        keys_.clear();
        if (backend_->pump(keys_, functionKeys_)) throw ProgramEnd{status};
    }
}

int Screen::canvasWidth() const { return canvas_.width(); }
int Screen::canvasHeight() const { return canvas_.height(); }

void Screen::finish() {
    // Both are attempted; a failure of either is reported in one line.
    std::string failed = kTraces && trace_ ? trace_->close() : "";
    if (!options_.screenshotFile.empty()) {
        try {
            savePng(canvas_, options_.screenshotFile);
        } catch (const std::runtime_error& e) {
            failed += (failed.empty() ? "" : "; ") + std::string(e.what());
        }
    }
    if (!failed.empty()) throw std::runtime_error(failed);
}

}  // namespace rt
