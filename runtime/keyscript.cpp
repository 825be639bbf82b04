#include "runtime/keyscript.h"

#include <map>
#include <string>

#include "runtime/options.h"

namespace rt {

std::vector<ScriptKey> parseKeyScript(std::string_view script) {
    static const std::map<std::string, ScriptKey, std::less<>> names = [] {
        std::map<std::string, ScriptKey, std::less<>> m{
            {"Enter", {ScriptKey::Char, 13, 0}}, {"BS", {ScriptKey::Char, 8, 0}},
            {"Del", {ScriptKey::Char, 127, 0}},  {"Clear", {ScriptKey::Char, 12, 0}},
            {"Close", {ScriptKey::Close, 0, 0}},
        };
        for (int n = 1; n <= 12; ++n) m["F" + std::to_string(n)] = {ScriptKey::Function, 0, n};
        return m;
    }();

    std::vector<ScriptKey> keys;
    const Text text = fromUtf8(script);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c != U'{') {
            keys.push_back({ScriptKey::Char, c, 0});
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == U'{') {
            keys.push_back({ScriptKey::Char, U'{', 0});
            ++i;
            continue;
        }
        size_t close = text.find(U'}', i);
        if (close == Text::npos)
            throw StartupError("key script: \"{\" without \"}\" (write {{ for a literal {)");
        std::string name = toUtf8(text.substr(i + 1, close - i - 1));
        auto it = names.find(name);
        if (it == names.end()) throw StartupError("key script: unknown key {" + name + "}");
        keys.push_back(it->second);
        i = close;
    }
    return keys;
}

const ScriptKey* KeyScript::poll(bool& finished) {
    finished = false;
    if (pending_) {
        pending_ = false;
        idle_ = false;
        return &keys_[next_++];
    }
    if (next_ < keys_.size()) {
        pending_ = true;
        return nullptr;
    }
    // Used up. A single empty poll is a flush looking for leftovers; the run ends only when
    // the program polls again, that is, when it waits for a key nobody will type.
    finished = idle_;
    idle_ = true;
    return nullptr;
}

}  // namespace rt
