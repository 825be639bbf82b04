#include "runtime/fonts.h"

#ifdef __EMSCRIPTEN__

namespace rt {

// A page carries its own font, compiled into the program; this is the name it goes by.
std::string findDefaultFont() { return "drills-gothic.ttf"; }

}  // namespace rt

#else

#include <fontconfig/fontconfig.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "runtime/options.h"

namespace rt {

namespace {
struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

std::string fileOf(FcPattern* font) {
    FcChar8* file = nullptr;
    return FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch ? reinterpret_cast<char*>(file) : "";
}

// Any file of the family, as listed (not matched: a match always returns something).
std::string familyFile(const char* family) {
    Pattern want(FcPatternCreate());
    FcPatternAddString(want.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> fields(FcObjectSetBuild(FC_FILE, nullptr));
    std::unique_ptr<FcFontSet, FontSetDeleter> found(FcFontList(nullptr, want.get(), fields.get()));
    for (int i = 0; found && i < found->nfont; ++i)
        if (std::string f = fileOf(found->fonts[i]); !f.empty()) return f;
    return "";
}

// The best installed font whose coverage fontconfig counts as Japanese.
std::string japaneseFile() {
    Pattern want(FcPatternCreate());
    FcPatternAddString(want.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddInteger(want.get(), FC_SPACING, FC_MONO);
    FcConfigSubstitute(nullptr, want.get(), FcMatchPattern);
    FcDefaultSubstitute(want.get());
    FcResult result;
    std::unique_ptr<FcFontSet, FontSetDeleter> sorted(
        FcFontSort(nullptr, want.get(), FcFalse, nullptr, &result));
    for (int i = 0; sorted && i < sorted->nfont; ++i) {
        FcLangSet* langs = nullptr;
        if (FcPatternGetLangSet(sorted->fonts[i], FC_LANG, 0, &langs) != FcResultMatch) continue;
        if (FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangDifferentLang) continue;
        if (std::string f = fileOf(sorted->fonts[i]); !f.empty()) return f;
    }
    return "";
}
}  // namespace

std::string findDefaultFont() {
    // Looked up once: tests open many screens in one process.
    static const std::string found = [] {
        if (!FcInit()) return std::string();
        std::string f = familyFile(kDefaultFamily);
        return f.empty() ? japaneseFile() : f;
    }();
    if (found.empty())
        throw StartupError(
            std::string("no font for Japanese is installed; install fonts-ipafont-gothic "
                        "or name a font with --font"));
    return found;
}

namespace {
// When the path last changed; nullopt when it is not there.
std::optional<timespec> changedAt(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return st.st_mtim;
}

bool later(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

std::string envOr(const char* name, const std::string& otherwise) {
    const char* v = std::getenv(name);
    return v && *v ? v : otherwise;
}
}  // namespace

std::string rememberedDefaultFont(const std::string& cacheFile, const std::vector<std::string>& watched,
                                  const std::function<std::string()>& lookUp) {
    if (const auto kept = changedAt(cacheFile)) {
        std::string font;
        std::getline(std::ifstream(cacheFile), font);
        bool current = !font.empty();
        if (const auto f = changedAt(font); !f || later(*f, *kept)) current = false;
        for (const std::string& path : watched)
            if (const auto t = changedAt(path); t && later(*t, *kept)) current = false;
        if (current) return font;
    }
    const std::string font = lookUp();
    // Kept for next time if it can be: written whole under a name of its own, then renamed, so a
    // program starting meanwhile never reads half a path.
    const std::string folder = cacheFile.substr(0, cacheFile.rfind('/'));
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::string part = cacheFile + "." + std::to_string(getpid());
    if (std::ofstream out(part); out << font << '\n' && out.flush())
        std::rename(part.c_str(), cacheFile.c_str());
    else
        std::remove(part.c_str());
    return font;
}

std::string rememberedDefaultFont() {
    if (std::getenv("FONTCONFIG_FILE") || std::getenv("FONTCONFIG_PATH")) return findDefaultFont();
    const std::string home = envOr("HOME", "");
    if (home.empty()) return findDefaultFont();
    const std::string config = envOr("XDG_CONFIG_HOME", home + "/.config");
    const std::string cache = envOr("XDG_CACHE_HOME", home + "/.cache");
    const std::string data = envOr("XDG_DATA_HOME", home + "/.local/share");
    // What fontconfig reads: a change to any of them may change its answer.
    const std::vector<std::string> watched{"/etc/fonts",
                                           "/etc/fonts/fonts.conf",
                                           "/etc/fonts/conf.d",
                                           "/var/cache/fontconfig",
                                           "/usr/share/fonts",
                                           "/usr/local/share/fonts",
                                           config + "/fontconfig",
                                           config + "/fontconfig/fonts.conf",
                                           config + "/fontconfig/conf.d",
                                           cache + "/fontconfig",
                                           data + "/fonts",
                                           home + "/.fonts",
                                           home + "/.fonts.conf",
                                           home + "/.fonts.conf.d"};
    return rememberedDefaultFont(cache + "/drills/default-font", watched, findDefaultFont);
}

}  // namespace rt

#endif
