// Texts are sequences of characters (UTF-32), never of bytes: a full-width character and a
// half-width katakana mark each count as one.
#pragma once

#include <string>
#include <string_view>

namespace rt {

using Text = std::u32string;

std::string toUtf8(const Text& text);
// Invalid UTF-8 is replaced character by character, never cut.
Text fromUtf8(std::string_view utf8);

// A character that a JIS text screen shows in a full cell: everything except ASCII and
// half-width katakana (U+FF61..U+FF9F).
constexpr bool isFullWidth(char32_t c) {
    if (c < 0x80) return false;
    if (c >= 0xFF61 && c <= 0xFF9F) return false;
    return true;
}

}  // namespace rt
