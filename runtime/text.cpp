#include "runtime/text.h"

#include <utf8.h>

namespace rt {

std::string toUtf8(const Text& text) {
    std::string out;
    utf8::utf32to8(text.begin(), text.end(), std::back_inserter(out));
    return out;
}

Text fromUtf8(std::string_view utf8) {
    std::string valid;
    utf8::replace_invalid(utf8.begin(), utf8.end(), std::back_inserter(valid));
    Text out;
    utf8::utf8to32(valid.begin(), valid.end(), std::back_inserter(out));
    return out;
}

}  // namespace rt
