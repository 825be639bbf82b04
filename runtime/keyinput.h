// How the window turns keyboard and input-method events into the program's keys. Kept apart from
// SDL so its rules can be tested without a display.
//
// An input method composes text before handing it over: what is being composed is never a key,
// and the keys that edit or confirm a composition (Enter above all) belong to the input method,
// not to the answer line.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "runtime/text.h"

namespace rt {

class KeyInput {
public:
    // How the window system hands over keys and an input method's text.
    enum class Order {
        // As they happened; a key the input method used may be handed over too, next to its event.
        AsTyped,
        // Each key goes to the input method first and only keys it leaves are handed over (an
        // X11 window talking to ibus or fcitx itself). All keys of one batch of events come
        // before all of the input method's text for that batch, whatever the order of typing.
        KeysFirstInBatch,
    };
    explicit KeyInput(Order order = Order::AsTyped) : order_(order) {}

    // `ms` is the event's time stamp in milliseconds.
    // The composition changed; `active` when text is being composed, false when none is left.
    void composing(bool active, std::uint32_t ms, std::deque<char32_t>& keys);
    // Text handed over (typed, or the composition confirmed).
    void committed(const Text& text, std::uint32_t ms, std::deque<char32_t>& keys);
    // Enter 13, Backspace 8, Delete 127 or the clear key 12 pressed.
    void control(char32_t key, std::uint32_t ms, std::deque<char32_t>& keys);
    // The batch of events the window system handed over in one go is complete.
    void endBatch(std::deque<char32_t>& keys);
    bool isComposing() const { return composing_; }

private:
    void release(std::deque<char32_t>& keys);

    Order order_;
    bool composing_ = false;
    std::optional<std::uint32_t> endedAt_;  // when the last composition was confirmed or dropped
    // KeysFirstInBatch: control keys of this batch waiting for the composition they followed.
    std::vector<char32_t> held_;
    bool composedInBatch_ = false;  // the input method's text of this batch has begun
};

// The half-width key a typed character stands for: an input method in full-width mode types
// "１" for 1 and "＝" for =, and in kana mode it turns -, . and , into the long-vowel mark and the
// Japanese full stop and comma (full-width or, in half-width kana mode, half-width).
constexpr char32_t halfWidthKey(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) return c - 0xFEE0;
    switch (c) {
        case 0x3000:
            return U' ';
        case 0x30FC:  // ー
        case 0xFF70:  // ｰ
            return U'-';
        case 0x3002:  // 。
        case 0xFF61:  // ｡
            return U'.';
        case 0x3001:  // 、
        case 0xFF64:  // ､
            return U',';
        default:
            return c;
    }
}

}  // namespace rt
