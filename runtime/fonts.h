// Finding the font the way desktop programs do, and making sure it can draw the drills.
#pragma once

#include <string>

namespace rt {

// The default font's file: IPAGothic when installed, else the installed font fontconfig ranks
// first for Japanese. Throws StartupError when there is none.
std::string findDefaultFont();

}  // namespace rt

#ifdef __EMSCRIPTEN__
// A page's font, compiled into the program (tools/build-web.sh): a page has no files.
extern "C" const unsigned char drills_page_font[];
extern "C" const unsigned int drills_page_font_size;
#endif
