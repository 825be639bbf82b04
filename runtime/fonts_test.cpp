#include "runtime/fonts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/glyphs.h"
#include "runtime/options.h"

namespace rt {
namespace {

constexpr const char* kLatinOnly = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";  // fonts-dejavu-core

TEST(Fonts, TheDefaultIsFoundAndDrawsEveryCharacterTheDrillsUse) {
    const std::string file = findDefaultFont();
    EXPECT_TRUE(std::ifstream(file).good()) << file;
    EXPECT_NO_THROW(Glyphs{file}) << file;
    // With IPAGothic installed (tools/setup.sh), it is the one chosen, under whichever name.
    EXPECT_EQ(std::filesystem::canonical(file).filename(), "ipag.ttf") << file;
}

TEST(Fonts, AFontWithoutJapaneseIsRefusedNamingWhatItLacks) {
    if (!std::ifstream(kLatinOnly)) GTEST_SKIP() << kLatinOnly << " is not installed (tools/setup.sh)";
    try {
        Glyphs glyphs(kLatinOnly);
        FAIL() << "a Latin-only font was accepted";
    } catch (const StartupError& e) {
        const std::string what = e.what();
        for (const char* named : {"答", "あ", "＝", "fonts-ipafont-gothic", kLatinOnly})
            EXPECT_NE(what.find(named), std::string::npos) << named << " in: " << what;
        // It has these, so they are not named.
        for (const char* present : {"χ", "√", "×"}) EXPECT_EQ(what.find(present), std::string::npos) << present;
        EXPECT_EQ(what.find('\n'), std::string::npos);
    }
}

}  // namespace
}  // namespace rt
