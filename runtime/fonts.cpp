#include "runtime/fonts.h"

#ifdef __EMSCRIPTEN__

namespace rt {

// A page carries its own font, compiled into the program; this is the name it goes by.
std::string findDefaultFont() { return "drills-gothic.ttf"; }

}  // namespace rt

#else

#include <fontconfig/fontconfig.h>

#include <memory>

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

}  // namespace rt

#endif
