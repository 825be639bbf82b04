#include "runtime/fonts.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
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

// A folder of its own under the build's temporary folder, empty.
std::string FreshDir(const std::string& name) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("drills_fonts_" + name + "_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

// Sets a path's change time to `seconds` from now.
void Touch(const std::string& path, int seconds) {
    const auto when = std::filesystem::file_time_type::clock::now() + std::chrono::seconds(seconds);
    std::filesystem::last_write_time(path, when);
}

TEST(Fonts, TheDefaultIsRememberedUntilWhatFontconfigReadsChanges) {
    const std::string dir = FreshDir("remembered");
    const std::string font = dir + "/chosen.ttf", config = dir + "/conf.d",
                      cache = dir + "/cache/drills/default-font";
    std::ofstream(font) << "a font";
    std::filesystem::create_directories(config);
    Touch(font, -60);
    Touch(config, -60);
    int lookups = 0;
    std::string answer = font;
    auto lookUp = [&] {
        ++lookups;
        return answer;
    };
    const std::vector<std::string> watched{config, dir + "/not-there-yet"};
    auto remembered = [&] { return rememberedDefaultFont(cache, watched, lookUp); };
    EXPECT_EQ(remembered(), font);
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(remembered(), font);
    EXPECT_EQ(lookups, 1) << "looked up again with nothing changed";

    // Each change since the answer was kept (two minutes ago) asks again: the configuration,
    // a folder that appears, the font file replaced.
    Touch(cache, -120);
    EXPECT_EQ(remembered(), font);
    EXPECT_EQ(lookups, 2) << "a changed configuration";
    EXPECT_EQ(remembered(), font);
    EXPECT_EQ(lookups, 2);
    std::filesystem::create_directories(dir + "/not-there-yet");
    Touch(dir + "/not-there-yet", -30);
    Touch(cache, -120);
    answer = dir + "/other.ttf";
    std::ofstream(answer) << "another font";
    Touch(answer, -60);
    EXPECT_EQ(remembered(), answer);
    EXPECT_EQ(lookups, 3) << "a new folder";
    EXPECT_EQ(remembered(), answer);
    EXPECT_EQ(lookups, 3);
    Touch(cache, -120);
    Touch(config, -180);
    Touch(dir + "/not-there-yet", -180);
    Touch(answer, -30);
    EXPECT_EQ(remembered(), answer);
    EXPECT_EQ(lookups, 4) << "the font file replaced";

    // A font that is gone, or a kept answer that is empty, is looked up.
    std::filesystem::remove(answer);
    answer = font;
    EXPECT_EQ(remembered(), font);
    EXPECT_EQ(lookups, 5);
    std::ofstream(cache, std::ios::trunc) << "";
    EXPECT_EQ(remembered(), font);
    EXPECT_EQ(lookups, 6);
}

TEST(Fonts, AnAnswerThatCannotBeKeptIsStillGiven) {
    const std::string dir = FreshDir("unkept");
    std::ofstream(dir + "/cache") << "a file where the cache's folder would be";
    int lookups = 0;
    auto lookUp = [&] {
        ++lookups;
        return std::string(kLatinOnly);
    };
    EXPECT_EQ(rememberedDefaultFont(dir + "/cache/drills/default-font", {}, lookUp), kLatinOnly);
    EXPECT_EQ(rememberedDefaultFont(dir + "/cache/drills/default-font", {}, lookUp), kLatinOnly);
    EXPECT_EQ(lookups, 2);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()),
              1)
        << "something was left beside it";
}

}  // namespace
}  // namespace rt
