// A key script: what a person would type, handed over one key at a time.
//
// Each character is typed as itself (a blank is the space bar) except braces: {Enter}, {BS},
// {Del}, {Clear}, {F1} ... {F12}, {Close} and {{ for a literal "{".
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "runtime/text.h"

namespace rt {

struct ScriptKey {
    enum Kind { Char, Function, Close } kind = Char;
    char32_t ch = 0;  // Char: the character (Enter 13, BS 8, Del 127, Clear 12)
    int n = 0;        // Function: 1..12
    bool operator==(const ScriptKey&) const = default;
};

// Throws StartupError naming the first thing it cannot read.
std::vector<ScriptKey> parseKeyScript(std::string_view script);

class KeyScript {
public:
    explicit KeyScript(std::vector<ScriptKey> keys) : keys_(std::move(keys)) {}

    // A key becomes pending only when the program has polled and found the keyboard empty,
    // as with a person at the keyboard; so a flush never swallows a scripted key.
    // Returns the pending key, if any; otherwise makes the next key pending.
    // `finished` is set when the program polls twice in a row and the script is used up.
    const ScriptKey* poll(bool& finished);

private:
    std::vector<ScriptKey> keys_;
    std::size_t next_ = 0;
    bool pending_ = false;
    bool idle_ = false;  // the last poll found the script used up
};

}  // namespace rt
