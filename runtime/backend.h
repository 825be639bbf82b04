// What differs between a real window and a headless run: showing the canvas, delivering
// keyboard and window events, and sleeping while nothing happens. Drawing is not here.
#pragma once

#include <array>
#include <deque>
#include <memory>
#include <string>

#include "runtime/canvas.h"
#include "runtime/drawing.h"
#include "runtime/text.h"

namespace rt {

class Backend {
public:
    virtual ~Backend() = default;
    virtual void maximise() = 0;
    // Moves pending events into `keys` (function keys as their assigned texts).
    // Returns true when the window has been closed.
    virtual bool pump(std::deque<char32_t>& keys, const std::array<Text, 12>& functionKeys) = 0;
    // Shows the canvas if it differs from what is on screen; `dirty` bounds what may have changed.
    // `drawn` is how the canvas was drawn, for a backend that draws at its own resolution.
    virtual void present(const Canvas& canvas, const Rect& dirty, const DrawList& drawn) = 0;
    // Sleeps until an event arrives, however long that takes: nothing on the screen changes by
    // itself, so a waiting program need not wake up until the pupil does something.
    virtual void wait() = 0;
    // False for the headless backend: no person, no events, never sleeps.
    virtual bool interactive() const = 0;
    // The glyphs for a backend that draws at its own resolution, handed over before the first
    // present; they must outlive the backend.
    virtual void useGlyphs(Glyphs&) {}
    // False for a backend that makes its whole picture from the recorded drawing and never reads
    // the canvas handed to present(): the canvas is then drawn only for a screenshot.
    virtual bool readsCanvas() const { return true; }
    // False for one that makes its first picture from the recorded drawing alone: the canvas is
    // then drawn once that picture has gone out, and what it holds comes to the next present as
    // changed.
    virtual bool readsFirstCanvas() const { return readsCanvas(); }
};

std::unique_ptr<Backend> makeHeadlessBackend();
// Throws StartupError when no display can be opened. The window opens hidden; it draws its own
// pixels at its scale with the glyphs given to useGlyphs().
std::unique_ptr<Backend> makeWindowBackend(const std::string& title, int width, int height);

}  // namespace rt
