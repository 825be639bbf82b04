// Finding the font the way desktop programs do, and making sure it can draw the drills.
#pragma once

#include <string>

namespace rt {

// The default font's file: IPAGothic when installed, else the installed font fontconfig ranks
// first for Japanese. Throws StartupError when there is none.
std::string findDefaultFont();

}  // namespace rt
