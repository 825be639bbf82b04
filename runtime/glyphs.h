// Glyph masks from a TrueType font, one per character and size, cached. A mask is exactly the
// character's cell, so nothing spills out of it: the glyph rasterised at a font height, its
// natural cell (half the height wide per half-width cell) stretched to the asked width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

struct _TTF_Font;
struct SDL_RWops;

namespace rt {

struct GlyphMask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bits;  // width x height, non-zero where the glyph has a pixel
};

class Glyphs {
public:
    // Throws StartupError when the font cannot be read.
    explicit Glyphs(const std::string& fontFile);
    ~Glyphs();
    Glyphs(const Glyphs&) = delete;
    Glyphs& operator=(const Glyphs&) = delete;

    const GlyphMask& mask(char32_t ch, int fontHeight, int width, int height);
    // The glyph exactly as SDL2_ttf rasterises it at this font height, on the font's own line.
    GlyphMask rendered(char32_t ch, int fontHeight);

private:
    // The one face, set to this height.
    _TTF_Font* font(int pixelHeight);
    SDL_RWops* mapFile();

    std::string file_;
    _TTF_Font* font_ = nullptr;
    void* mapped_ = nullptr;  // the font file, when it could be mapped
    size_t mappedSize_ = 0;
    int height_ = 0;
    std::map<std::tuple<char32_t, int, int, int>, GlyphMask> cache_;
};

}  // namespace rt
