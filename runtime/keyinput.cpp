#include "runtime/keyinput.h"

namespace rt {

namespace {
// A key that confirms or drops a composition may reach the program too, just before or just
// after the input method's own event; a person's next key comes much later than this.
constexpr std::uint32_t kSameKeyMs = 50;
}  // namespace

void KeyInput::composing(bool active, std::uint32_t ms, std::deque<char32_t>& keys) {
    const bool ended = composing_ && !active;
    if (ended) endedAt_ = ms;
    composing_ = active;
    if (order_ != Order::KeysFirstInBatch) return;
    if (active) composedInBatch_ = true;
    // A key handed over was left by the input method, so nothing was being composed when it was
    // pressed: it came after this composition.
    if (ended) release(keys);
}

void KeyInput::committed(const Text& text, std::uint32_t ms, std::deque<char32_t>& keys) {
    const bool wasComposing = composing_;
    if (composing_) endedAt_ = ms;
    composing_ = false;
    if (order_ == Order::KeysFirstInBatch) {
        if (!wasComposing && !composedInBatch_) {
            // Text typed without the input method: reported in its place among the keys.
            release(keys);
        } else {
            // The input method's text comes after every key of its batch, yet it was composed
            // from keys typed before the control keys held back: those go after it.
            composedInBatch_ = true;
            keys.insert(keys.end(), text.begin(), text.end());
            release(keys);
            return;
        }
    }
    keys.insert(keys.end(), text.begin(), text.end());
}

void KeyInput::control(char32_t key, std::uint32_t ms, std::deque<char32_t>& keys) {
    if (order_ == Order::KeysFirstInBatch) {
        // The input method kept every key it used, so this one is the pupil's; it waits only for
        // the text it may have been typed after.
        if (composedInBatch_) endBatch(keys);
        held_.push_back(key);
        return;
    }
    if (composing_) return;
    if (endedAt_ && ms - *endedAt_ <= kSameKeyMs) {
        endedAt_.reset();
        return;
    }
    endedAt_.reset();
    keys.push_back(key);
}

void KeyInput::endBatch(std::deque<char32_t>& keys) {
    release(keys);
    composedInBatch_ = false;
}

void KeyInput::release(std::deque<char32_t>& keys) {
    keys.insert(keys.end(), held_.begin(), held_.end());
    held_.clear();
}

}  // namespace rt
