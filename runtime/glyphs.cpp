#include "runtime/glyphs.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <stdexcept>

#ifndef __EMSCRIPTEN__
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "runtime/fonts.h"
#include "runtime/options.h"
#include "runtime/text.h"

namespace rt {

namespace {
// Characters every program draws: kana and kanji of the screens, full-width digits and signs,
// the marks and the mathematical symbols. A page's font is cut down from the same file
// (tools/drawn_characters.py), so it always passes this check.
constexpr std::u32string_view kNeeded =
#include "runtime/needed_characters.inc"
    ;
}  // namespace

Glyphs::Glyphs(const std::string& fontFile) : file_(fontFile) {
    if (!TTF_WasInit() && TTF_Init() != 0)
        throw StartupError(std::string("cannot start the font renderer: ") + TTF_GetError());
    // Fail at start-up, not at the first character: a font without these would show empty
    // boxes where the drills' answers, marks and symbols belong.
    TTF_Font* f = font(16);
    Text missing;
    for (char32_t ch : kNeeded)
        if (!TTF_GlyphIsProvided32(f, ch)) missing.push_back(ch);
    if (!missing.empty()) {
        std::string list;
        for (char32_t ch : missing) list += (list.empty() ? "" : " ") + toUtf8(Text(1, ch));
        throw StartupError("the font " + file_ + " has no " + list +
                           "; install fonts-ipafont-gothic or name another with --font");
    }
}

Glyphs::~Glyphs() {
    if (font_) TTF_CloseFont(font_);
#ifndef __EMSCRIPTEN__
    if (mapped_) munmap(mapped_, mappedSize_);
#endif
}

// The font file mapped into memory, so FreeType reads its tables and glyphs straight from the
// page cache instead of through thousands of small seeks and reads; nullptr when it cannot be.
// A page reads its own font from the program itself.
SDL_RWops* Glyphs::mapFile() {
#ifdef __EMSCRIPTEN__
    if (file_ != findDefaultFont()) return nullptr;
    return SDL_RWFromConstMem(drills_page_font, static_cast<int>(drills_page_font_size));
#else
    const int fd = open(file_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    void* p = fstat(fd, &st) == 0 && st.st_size > 0
                  ? mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0)
                  : MAP_FAILED;
    close(fd);
    if (p == MAP_FAILED) return nullptr;
    mapped_ = p;
    mappedSize_ = static_cast<size_t>(st.st_size);
    return SDL_RWFromConstMem(mapped_, static_cast<int>(std::min<size_t>(mappedSize_, INT32_MAX)));
#endif
}

// One face serves every height: each further face would read the font's tables again and keep
// its own copy of them.
TTF_Font* Glyphs::font(int pixelHeight) {
    if (font_) {
        if (pixelHeight != height_ && TTF_SetFontSize(font_, pixelHeight) != 0)
            throw std::runtime_error(std::string("cannot size the font: ") + TTF_GetError());
        height_ = pixelHeight;
        return font_;
    }
    SDL_RWops* mapped = mapFile();
    TTF_Font* f = mapped ? TTF_OpenFontRW(mapped, 1, pixelHeight) : TTF_OpenFont(file_.c_str(), pixelHeight);
    if (!f)
        throw StartupError("cannot read the font " + file_ + " (" + TTF_GetError() +
                           "); install fonts-ipafont-gothic or name another with --font");
    TTF_SetFontHinting(f, TTF_HINTING_MONO);
    font_ = f;
    height_ = pixelHeight;
    return f;
}

GlyphMask Glyphs::rendered(char32_t ch, int fontHeight) {
    GlyphMask r;
    // Glyphs outside the basic plane are not in the font; they draw as an empty cell.
    SDL_Surface* s = ch <= 0xFFFF && ch >= 0x20
                         ? TTF_RenderGlyph_Solid(font(fontHeight), static_cast<Uint16>(ch), {255, 255, 255, 255})
                         : nullptr;
    if (!s) return r;
    r.width = s->w;
    r.height = s->h;
    r.bits.assign(static_cast<size_t>(r.width) * r.height, 0);
    for (int y = 0; y < s->h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < s->w; ++x) r.bits[static_cast<size_t>(y) * r.width + x] = row[x] ? 1 : 0;
    }
    SDL_FreeSurface(s);
    return r;
}

const GlyphMask& Glyphs::mask(char32_t ch, int fontHeight, int width, int height) {
    auto key = std::make_tuple(ch, fontHeight, width, height);
    auto it = cache_.find(key);
    if (it != cache_.end()) return it->second;

    const int cells = isFullWidth(ch) ? 2 : 1;
    GlyphMask m;
    m.width = width;
    m.height = height;
    m.bits.assign(static_cast<size_t>(m.width) * m.height, 0);

    const GlyphMask r = rendered(ch, fontHeight);
    // The font's natural cell at this height; stretch it to the asked width.
    const int naturalWidth = std::max(1, cells * fontHeight / 2);
    std::vector<int> from(static_cast<size_t>(m.width));  // the rendered column each column shows
    for (int x = 0; x < m.width; ++x) from[static_cast<size_t>(x)] = x * naturalWidth / m.width;
    for (int y = 0; y < m.height && y < r.height; ++y) {
        const std::uint8_t* in = r.bits.data() + static_cast<size_t>(y) * r.width;
        std::uint8_t* out = m.bits.data() + static_cast<size_t>(y) * m.width;
        for (int x = 0; x < m.width; ++x) {
            const int srcX = from[static_cast<size_t>(x)];
            if (srcX < r.width && in[srcX]) out[x] = 1;
        }
    }
    if (ch == U'―') {
        // The bar cells of a fraction join into one unbroken line: the font's bar stops short
        // of its cell's edges, so its rows are drawn across the whole cell.
        for (int y = 0; y < m.height; ++y) {
            auto row = m.bits.begin() + static_cast<long>(y) * m.width;
            if (std::find(row, row + m.width, 1) != row + m.width) std::fill(row, row + m.width, 1);
        }
    }
    return cache_.emplace(key, std::move(m)).first->second;
}

}  // namespace rt
