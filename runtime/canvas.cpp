#include "runtime/canvas.h"

#include <SDL.h>
#ifndef __EMSCRIPTEN__
#include <SDL_image.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace rt {

// Black background; 13 (yellow) stands out on the dark fills 2, 4, 8 and 10.
const std::uint32_t kPalette[16] = {
    0x000000,  // 0 black, the background
    0x3050D0,  // 1 blue: table lines
    0x8A1C1C,  // 2 dark red: title box, prompts
    0xB040C0,  // 3 purple
    0x1E5E2A,  // 4 dark green: key help strip
    0xFF5050,  // 5 red: marks and numbers
    0x20B0B0,  // 6 teal
    0x70E0FF,  // 7 light cyan: problem colour
    0x3C3C5C,  // 8 slate: plates and pause boxes
    0x7FA8FF,  // 9 light blue
    0x1D5A6E,  // 10 deep teal: the contents title
    0x80F080,  // 11 light green: comments, the progress table
    0xFFA040,  // 12 orange
    0xFFFF60,  // 13 yellow: messages
    0xFF90E0,  // 14 pink
    0xFFFFFF,  // 15 white: problems and answers
};

void Rect::add(const Rect& r) {
    if (r.empty()) return;
    if (empty()) {
        *this = r;
        return;
    }
    x1 = std::min(x1, r.x1);
    y1 = std::min(y1, r.y1);
    x2 = std::max(x2, r.x2);
    y2 = std::max(y2, r.y2);
}

// Squares of the pen along the line: few per line, each a span per row.
void DrawTarget::line(int x1, int y1, int x2, int y2, int pen, std::uint8_t c) {
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        fillRect(x1, y1, x1 + pen - 1, y1 + pen - 1, c);
        if (x1 == x2 && y1 == y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y1 += sy;
        }
    }
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

void Canvas::touch(int x1, int y1, int x2, int y2) {
    Rect r{std::max(0, std::min(x1, x2)), std::max(0, std::min(y1, y2)),
           std::min(width_ - 1, std::max(x1, x2)), std::min(height_ - 1, std::max(y1, y2))};
    dirty_.add(r);
}

Rect Canvas::takeDirty() {
    Rect r = dirty_;
    dirty_ = Rect{};
    return r;
}

void Canvas::fill(std::uint8_t c) {
    if (c != 0 || !allZero_) std::fill(pixels_.begin(), pixels_.end(), c);
    allZero_ = c == 0;
    touch(0, 0, width_ - 1, height_ - 1);
}

void Canvas::plot(int x, int y, std::uint8_t c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    set(x, y, c);
    touch(x, y, x, y);
}

void Canvas::fillRect(int x1, int y1, int x2, int y2, std::uint8_t c) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width_ - 1);
    y2 = std::min(y2, height_ - 1);
    if (x1 > x2 || y1 > y2) return;
    if (c != 0 || !allZero_)
        for (int y = y1; y <= y2; ++y)
            std::fill_n(pixels_.begin() + static_cast<long>(y) * width_ + x1, x2 - x1 + 1, c);
    allZero_ = allZero_ && c == 0;
    touch(x1, y1, x2, y2);
}

void Canvas::blit(int x, int y, const std::uint8_t* mask, int w, int h, std::uint8_t c, const Rect& clip) {
    int xa = std::max({x, clip.x1, 0}), xb = std::min({x + w - 1, clip.x2, width_ - 1});
    int ya = std::max({y, clip.y1, 0}), yb = std::min({y + h - 1, clip.y2, height_ - 1});
    if (xa > xb || ya > yb) return;
    allZero_ = allZero_ && c == 0;
    for (int py = ya; py <= yb; ++py) {
        const std::uint8_t* row = mask + static_cast<size_t>(py - y) * w;
        std::uint8_t* out = pixels_.data() + static_cast<size_t>(py) * width_;
        for (int px = xa; px <= xb; ++px)
            if (row[px - x]) out[px] = c;
    }
    touch(xa, ya, xb, yb);
}

#ifndef __EMSCRIPTEN__
namespace {
// SDL_image is opened at the first PNG written or read, not at every start: it brings the TIFF,
// WebP and JPEG libraries, milliseconds of each program's start for a file most runs never write.
struct ImageLibrary {
    decltype(&IMG_SavePNG_RW) savePng = nullptr;
    decltype(&IMG_Load) load = nullptr;
    std::string missing;  // why it could not be opened
};

const ImageLibrary& imageLibrary() {
    static const ImageLibrary library = [] {
        ImageLibrary l;
        void* handle = SDL_LoadObject("libSDL2_image-2.0.so.0");
        if (handle) {
            l.savePng = reinterpret_cast<decltype(&IMG_SavePNG_RW)>(SDL_LoadFunction(handle, "IMG_SavePNG_RW"));
            l.load = reinterpret_cast<decltype(&IMG_Load)>(SDL_LoadFunction(handle, "IMG_Load"));
        }
        if (!l.savePng || !l.load)
            l.missing = std::string("SDL_image cannot be loaded (install libsdl2-image-2.0-0): ") + SDL_GetError();
        return l;
    }();
    return library;
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;
}  // namespace

namespace {
// Writes `bytes` to `path` completely or throws with the system's reason. A regular file (or a
// new one) is written beside the target under a temporary name and renamed into place, so a
// failure never leaves a half-written image where a good one stood; anything else (a device, a
// pipe) is written in place, since it cannot be replaced.
void writeWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    struct stat st {};
    const bool inPlace = ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
    std::string written = path;
    std::FILE* f = nullptr;
    if (inPlace) {
        f = std::fopen(path.c_str(), "wb");
    } else {
        std::vector<char> name(path.begin(), path.end());
        for (char c : std::string(".XXXXXX")) name.push_back(c);
        name.push_back('\0');
        const int fd = ::mkstemp(name.data());
        if (fd >= 0) {
            written = name.data();
            ::fchmod(fd, 0644);
            f = ::fdopen(fd, "wb");
            if (!f) ::close(fd);
        }
    }
    auto fail = [&](int error) {
        if (written != path) std::remove(written.c_str());
        throw std::runtime_error("cannot write the screenshot " + path + ": " +
                                 std::strerror(error ? error : EIO));
    };
    if (!f) fail(errno);
    errno = 0;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int error = ok ? 0 : errno;
    if (std::fflush(f) != 0 && ok) ok = false, error = errno;
    if (std::fclose(f) != 0 && ok) ok = false, error = errno;
    if (!ok) fail(error);
    if (written != path && std::rename(written.c_str(), path.c_str()) != 0) fail(errno);
}
}  // namespace

void savePng(const Canvas& canvas, const std::string& path) {
    SurfacePtr s(
        SDL_CreateRGBSurfaceWithFormat(0, canvas.width(), canvas.height(), 8, SDL_PIXELFORMAT_INDEX8));
    if (!s) throw std::runtime_error(std::string("cannot make an image: ") + SDL_GetError());
    SDL_Color colours[16];
    for (int i = 0; i < 16; ++i)
        colours[i] = {static_cast<Uint8>(kPalette[i] >> 16), static_cast<Uint8>(kPalette[i] >> 8),
                      static_cast<Uint8>(kPalette[i]), 255};
    SDL_SetPaletteColors(s->format->palette, colours, 0, 16);
    for (int y = 0; y < canvas.height(); ++y)
        std::copy_n(canvas.pixels().begin() + static_cast<long>(y) * canvas.width(), canvas.width(),
                    static_cast<Uint8*>(s->pixels) + static_cast<long>(y) * s->pitch);
    // Encoded into memory first: SDL's file writer does not report a failed flush or close,
    // so a full disk would pass unnoticed.
    std::vector<std::uint8_t> png;
    SDL_RWops* sink = SDL_AllocRW();
    if (!sink) throw std::runtime_error(std::string("cannot make an image: ") + SDL_GetError());
    sink->hidden.unknown.data1 = &png;
    sink->size = [](SDL_RWops*) -> Sint64 { return -1; };
    sink->seek = [](SDL_RWops*, Sint64, int) -> Sint64 { return -1; };
    sink->read = [](SDL_RWops*, void*, size_t, size_t) -> size_t { return 0; };
    sink->write = [](SDL_RWops* rw, const void* data, size_t size, size_t n) -> size_t {
        auto* out = static_cast<std::vector<std::uint8_t>*>(rw->hidden.unknown.data1);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        out->insert(out->end(), bytes, bytes + size * n);
        return n;
    };
    sink->close = [](SDL_RWops* rw) -> int {
        SDL_FreeRW(rw);
        return 0;
    };
    const ImageLibrary& image = imageLibrary();
    if (!image.savePng) {
        SDL_FreeRW(sink);
        throw std::runtime_error("cannot write the screenshot " + path + ": " + image.missing);
    }
    if (image.savePng(s.get(), sink, 1) != 0)
        throw std::runtime_error("cannot write the screenshot " + path + ": " + IMG_GetError());
    writeWhole(path, png);
}

Canvas loadPng(const std::string& path) {
    const ImageLibrary& image = imageLibrary();
    if (!image.load) throw std::runtime_error("cannot read " + path + ": " + image.missing);
    SurfacePtr raw(image.load(path.c_str()));
    if (!raw) throw std::runtime_error("cannot read " + path + ": " + IMG_GetError());
    SurfacePtr s(SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_RGB888, 0));
    if (!s) throw std::runtime_error("cannot convert " + path + ": " + SDL_GetError());
    Canvas canvas(s->w, s->h);
    for (int y = 0; y < s->h; ++y) {
        const auto* row =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < s->w; ++x) {
            std::uint32_t rgb = row[x] & 0xFFFFFF;
            auto it = std::find(std::begin(kPalette), std::end(kPalette), rgb);
            if (it == std::end(kPalette))
                throw std::runtime_error(path + " has a colour outside the palette");
            canvas.plot(x, y, static_cast<std::uint8_t>(it - std::begin(kPalette)));
        }
    }
    canvas.takeDirty();
    return canvas;
}

#else

// A page has no files to write or read; the browser's own tools take its pictures.
void savePng(const Canvas&, const std::string& path) {
    throw std::runtime_error("cannot write the screenshot " + path + ": no files in the browser");
}

Canvas loadPng(const std::string& path) {
    throw std::runtime_error("cannot read " + path + ": no files in the browser");
}

#endif

}  // namespace rt
