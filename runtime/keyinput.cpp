#include "runtime/keyinput.h"

namespace rt {

namespace {
// A key that confirms or drops a composition may reach the program too, just before or just
// after the input method's own event; a person's next key comes much later than this.
constexpr std::uint32_t kSameKeyMs = 50;
}  // namespace

void KeyInput::composing(bool active, std::uint32_t ms) {
    if (composing_ && !active) endedAt_ = ms;
    composing_ = active;
}

void KeyInput::committed(const Text& text, std::uint32_t ms, std::deque<char32_t>& keys) {
    if (composing_) endedAt_ = ms;
    composing_ = false;
    keys.insert(keys.end(), text.begin(), text.end());
}

void KeyInput::control(char32_t key, std::uint32_t ms, std::deque<char32_t>& keys) {
    if (composing_) return;
    if (endedAt_ && ms - *endedAt_ <= kSameKeyMs) {
        endedAt_.reset();
        return;
    }
    endedAt_.reset();
    keys.push_back(key);
}

}  // namespace rt
