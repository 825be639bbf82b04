// Finding the font the way desktop programs do, and making sure it can draw the drills.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace rt {

// The default font's file: IPAGothic when installed, else the installed font fontconfig ranks
// first for Japanese. Throws StartupError when there is none.
std::string findDefaultFont();

#ifndef __EMSCRIPTEN__
// What a window's start-up uses: the default font as fontconfig chose it at an earlier start,
// kept in `cacheFile`, while none of `watched` (fontconfig's configuration and caches, the font
// folders) has changed since and the font is still there; else `lookUp` (findDefaultFont), whose
// answer is kept for next time. Fontconfig reads its whole configuration to answer, which costs
// each start several milliseconds.
std::string rememberedDefaultFont(const std::string& cacheFile, const std::vector<std::string>& watched,
                                  const std::function<std::string()>& lookUp);
// The same with this desktop user's cache file and fontconfig's folders; the plain lookup when
// fontconfig is pointed elsewhere by FONTCONFIG_FILE or FONTCONFIG_PATH.
std::string rememberedDefaultFont();
#endif

}  // namespace rt

#ifdef __EMSCRIPTEN__
// A page's font, compiled into the program (tools/build-web.sh): a page has no files.
extern "C" const unsigned char drills_page_font[];
extern "C" const unsigned int drills_page_font_size;
#endif
