// What a real window showed, read back from the X server (xwd), against the same screen drawn
// headless at the window's scale. Run by tests/window_test.sh under Xvfb, which passes the
// screenshot and the keys typed; ctest's own run leaves it disabled.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "halvard/halvard.h"
#include "runtime/drawing.h"
#include "runtime/fonts.h"
#include "runtime/glyphs.h"
#include "shell/practice.h"
#include "shell/startup.h"

namespace {

// An X window dump in the server's 24/32-bit true-colour form.
struct Dump {
    int width = 0, height = 0;
    std::vector<std::uint32_t> rgb;
    std::uint32_t at(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

Dump readXwd(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
    auto field = [&](int i) {
        const size_t o = static_cast<size_t>(i) * 4;
        return std::uint32_t(b.at(o)) << 24 | std::uint32_t(b.at(o + 1)) << 16 | std::uint32_t(b.at(o + 2)) << 8 |
               b.at(o + 3);
    };
    Dump d;
    const std::uint32_t headerSize = field(0), bitsPerPixel = field(11), bytesPerLine = field(12),
                        byteOrder = field(7), colours = field(19);
    d.width = static_cast<int>(field(4));
    d.height = static_cast<int>(field(5));
    if (bitsPerPixel != 32) throw std::runtime_error("xwd: only 32 bits per pixel are read");
    const size_t data = headerSize + colours * 12;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const size_t o = data + static_cast<size_t>(y) * bytesPerLine + static_cast<size_t>(x) * 4;
            const std::uint32_t p = byteOrder == 0 ? (b.at(o) | b.at(o + 1) << 8 | b.at(o + 2) << 16)
                                                   : (b.at(o + 3) | b.at(o + 2) << 8 | b.at(o + 1) << 16);
            d.rgb.push_back(p & 0xFFFFFF);
        }
    return d;
}

TEST(WindowShot, DISABLED_TheWindowShowsTheScreenDrawnAtItsScale) {
    const char* shot = std::getenv("DRILLS_WINDOW_SHOT");
    const char* keys = std::getenv("DRILLS_WINDOW_KEYS");
    ASSERT_NE(shot, nullptr) << "run by tests/window_test.sh";
    const Dump window = readXwd(shot);

    // The same screen headless: the run ends at the first wait once the keys are used up.
    rt::Options o;
    o.headless = true;
    o.keys = keys ? keys : "";
    o.clock = "12:34:56";
    rt::Screen screen(o);
    shell::Shell sh(screen, halvard::HalvardProgram());
    try {
        shell::StartUp(sh);
        shell::RunLessons(sh);
    } catch (const rt::ProgramEnd&) {
    }

    const double scale = std::min(window.width / 1440.0, window.height / 900.0);
    const int w = static_cast<int>(1440 * scale), h = static_cast<int>(900 * scale);
    const int ox = (window.width - w) / 2, oy = (window.height - h) / 2;
    rt::Canvas expected(w, h);
    rt::Glyphs glyphs(rt::findDefaultFont());
    rt::Painter painter(expected, glyphs, scale);
    for (const auto& op : screen.drawing().ops) painter.apply(op);

    long lit = 0, differ = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t want = rt::kPalette[expected.at(x, y)];
            lit += want != 0;
            if (window.at(ox + x, oy + y) != want && differ++ < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << window.at(ox + x, oy + y)
                              << ", drawn " << want;
        }
    SCOPED_TRACE(testing::Message() << window.width << "x" << window.height << " scale " << scale);
    EXPECT_GT(lit, 2000);
    EXPECT_EQ(differ, 0);
}

}  // namespace
