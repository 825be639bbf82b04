#include "runtime/keyinput.h"

#include <gtest/gtest.h>

#include <vector>

namespace rt {
namespace {

// One event: 'e' composing (text non-empty), 'n' composition emptied, 't' text handed over,
// 'k' a control key, '|' the end of a batch of events; at `ms`.
struct Event {
    char kind;
    std::uint32_t ms;
    Text text;  // 't': the text; 'k': the key
};

Text feed(const std::vector<Event>& events, KeyInput::Order order = KeyInput::Order::AsTyped) {
    KeyInput input(order);
    std::deque<char32_t> keys;
    for (const auto& e : events) {
        if (e.kind == 'e') input.composing(true, e.ms, keys);
        if (e.kind == 'n') input.composing(false, e.ms, keys);
        if (e.kind == 't') input.committed(e.text, e.ms, keys);
        if (e.kind == 'k') input.control(e.text.at(0), e.ms, keys);
        if (e.kind == '|') input.endBatch(keys);
    }
    input.endBatch(keys);
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

// An X11 window with ibus and Anthy in hiragana mode, as it was seen: keys the input method uses
// are never reported, and within one batch every key the program gets comes before the input
// method's text, even when that text was typed first.
TEST(KeyInput, KeysReportedBeforeTheirBatchsTextAreTakenInTheOrderTyped) {
    struct Row {
        const char* what;
        std::vector<Event> events;
        Text keys;
    };
    const Row rows[] = {
        {"x=-3 composed, committed with Return; then the confirming Return",
         {{'e', 3448, U""}, {'|', 0, U""}, {'e', 3559, U""}, {'|', 0, U""}, {'e', 3580, U""}, {'|', 0, U""},
          {'e', 3644, U""}, {'|', 0, U""}, {'t', 3727, U"x＝ー３"}, {'n', 3727, U""}, {'|', 0, U""},
          {'k', 4041, U"\r"}},
         U"x＝ー３\r"},
        {"8, Return, Return typed before the program looked: the Return reported first",
         {{'k', 3315, U"\r"}, {'e', 3331, U""}, {'t', 3331, U"８"}, {'n', 3331, U""}},
         U"８\r"},
        {"the same with 8 already composing in the batch before",
         {{'e', 3300, U""}, {'|', 0, U""}, {'k', 3315, U"\r"}, {'t', 3331, U"８"}, {'n', 3331, U""}},
         U"８\r"},
        {"the confirming Return 9 ms after the commit, in the next batch",
         {{'e', 4535, U""}, {'|', 0, U""}, {'t', 4569, U"７"}, {'n', 4569, U""}, {'|', 0, U""},
          {'k', 4578, U"\r"}},
         U"７\r"},
        {"Return and then a composition begun in the same batch",
         {{'k', 100, U"\r"}, {'e', 110, U""}, {'|', 0, U""}, {'t', 400, U"９"}, {'n', 400, U""}},
         U"\r９"},
        {"a composition dropped with Backspace; the next Backspace is the pupil's",
         {{'e', 2180, U""}, {'|', 0, U""}, {'e', 2260, U""}, {'|', 0, U""}, {'e', 2356, U""}, {'|', 0, U""},
          {'n', 2638, U""}, {'|', 0, U""}, {'k', 2881, U"\b"}},
         U"\b"},
        {"a composition dropped with Escape; the next Escape is the clear key",
         {{'e', 3496, U""}, {'|', 0, U""}, {'n', 3780, U""}, {'|', 0, U""}, {'k', 4212, U"\f"}},
         U"\f"},
        {"typing without the input method keeps its order",
         {{'t', 10, U"1"}, {'k', 20, U"\r"}, {'t', 30, U"2"}, {'k', 40, U"\b"}},
         U"1\r2\b"},
        {"two keys held behind the text of their batch",
         {{'k', 10, U"\r"}, {'e', 12, U""}, {'t', 12, U"１"}, {'n', 12, U""}, {'|', 0, U""},
          {'k', 30, U"\r"}, {'k', 31, U"\b"}, {'e', 32, U""}, {'t', 32, U"２"}},
         U"１\r２\r\b"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(feed(row.events, KeyInput::Order::KeysFirstInBatch), row.keys) << row.what;
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
