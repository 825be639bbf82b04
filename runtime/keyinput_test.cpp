#include "runtime/keyinput.h"

#include <gtest/gtest.h>

#include <vector>

namespace rt {
namespace {

// One event: 'e' composing (text non-empty), 'n' composition emptied, 't' text handed over,
// 'k' a control key; at `ms`.
struct Event {
    char kind;
    std::uint32_t ms;
    Text text;  // 't': the text; 'k': the key
};

Text feed(const std::vector<Event>& events) {
    KeyInput input;
    std::deque<char32_t> keys;
    for (const auto& e : events) {
        if (e.kind == 'e') input.composing(true, e.ms);
        if (e.kind == 'n') input.composing(false, e.ms);
        if (e.kind == 't') input.committed(e.text, e.ms, keys);
        if (e.kind == 'k') input.control(e.text.at(0), e.ms, keys);
    }
    return Text(keys.begin(), keys.end());
}

TEST(KeyInput, ComposedTextAndTheKeysThatEditOrConfirmItAreNeverKeys) {
    struct Row {
        const char* what;
        std::vector<Event> events;
        Text keys;
    };
    const Row rows[] = {
        {"plain typing and Enter", {{'t', 0, U"12"}, {'k', 10, U"\r"}}, U"12\r"},
        {"Enter right after plain typing is kept", {{'t', 0, U"1"}, {'k', 5, U"\r"}}, U"1\r"},
        {"composing, then Enter confirms: the Enter is the input method's",
         {{'e', 0, U""}, {'e', 100, U""}, {'k', 200, U"\r"}, {'n', 200, U""}, {'t', 200, U"１２"}},
         U"１２"},
        {"the confirming Enter reported after the text",
         {{'e', 0, U""}, {'t', 200, U"ｘ"}, {'k', 201, U"\r"}},
         U"ｘ"},
        {"the next Enter is the pupil's",
         {{'e', 0, U""}, {'t', 200, U"ｘ"}, {'k', 201, U"\r"}, {'k', 600, U"\r"}},
         U"ｘ\r"},
        {"Backspace while composing edits the composition",
         {{'e', 0, U""}, {'k', 50, U"\b"}, {'e', 50, U""}},
         U""},
        {"Escape drops the composition and is not the clear key",
         {{'e', 0, U""}, {'n', 100, U""}, {'k', 100, U"\f"}},
         U""},
        {"after a dropped composition keys count again",
         {{'e', 0, U""}, {'n', 100, U""}, {'k', 500, U"\b"}},
         U"\b"},
    };
    for (const auto& row : rows) EXPECT_EQ(feed(row.events), row.keys) << row.what;
}

TEST(KeyInput, FullWidthFormsAndKanaPunctuationStandForTheirHalfWidthKeys) {
    const std::pair<char32_t, char32_t> rows[] = {
        {U'１', U'1'},
        {U'０', U'0'},
        {U'ｘ', U'x'},
        {U'＝', U'='},
        {U'－', U'-'},
        {U'．', U'.'},
        {U'／', U'/'},
        {U'！', U'!'},
        {U'～', U'~'},
        {U'　', U' '},
        {U'x', U'x'},
        {U'χ', U'χ'},
        {U'答', U'答'},
        {U'ｱ', U'ｱ'},
        {U'｟', U'｟'},
        // Kana punctuation, full-width and half-width; its neighbours stay as typed.
        {U'ー', U'-'},
        {U'ｰ', U'-'},
        {U'。', U'.'},
        {U'｡', U'.'},
        {U'、', U','},
        {U'､', U','},
        {U'ヽ', U'ヽ'},
        {U'・', U'・'},
        {U'〃', U'〃'},
        {U'｢', U'｢'},
        {U'･', U'･'},
        {U'ｱ', U'ｱ'},
    };
    for (auto [typed, key] : rows) EXPECT_EQ(halfWidthKey(typed), key) << static_cast<unsigned>(typed);
}

}  // namespace
}  // namespace rt
