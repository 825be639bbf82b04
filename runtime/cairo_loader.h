// Whether the printed sheets can be made: cairo is loaded on first use (cairo_loader.cpp).
#pragma once

namespace rt {

// Loads cairo the first time; false when it or one of the functions the sheets call is missing.
bool cairoLoaded();

}  // namespace rt
