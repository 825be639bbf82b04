#include "runtime/keyscript.h"

#include <gtest/gtest.h>

#include "runtime/options.h"

namespace rt {
namespace {

TEST(KeyScript, ParsesCharactersAndNamedKeys) {
    struct Row {
        const char* script;
        std::vector<ScriptKey> keys;
    };
    const ScriptKey enter{ScriptKey::Char, 13, 0};
    const Row rows[] = {
        {"", {}},
        {"1 x", {{ScriptKey::Char, U'1', 0}, {ScriptKey::Char, U' ', 0}, {ScriptKey::Char, U'x', 0}}},
        {"{Enter}{BS}{Del}{Clear}",
         {enter, {ScriptKey::Char, 8, 0}, {ScriptKey::Char, 127, 0}, {ScriptKey::Char, 12, 0}}},
        {"{F1}{F12}{Close}",
         {{ScriptKey::Function, 0, 1}, {ScriptKey::Function, 0, 12}, {ScriptKey::Close, 0, 0}}},
        {"{{x}", {{ScriptKey::Char, U'{', 0}, {ScriptKey::Char, U'x', 0}, {ScriptKey::Char, U'}', 0}}},
        {"ﾀ答", {{ScriptKey::Char, U'ﾀ', 0}, {ScriptKey::Char, U'答', 0}}},
    };
    for (const auto& row : rows) EXPECT_EQ(parseKeyScript(row.script), row.keys) << row.script;
}

TEST(KeyScript, RejectsUnknownNamesAndOpenBraces) {
    for (const char* bad : {"{Enterr}", "{F13}", "{F0}", "abc{Enter", "{}"})
        EXPECT_THROW(parseKeyScript(bad), StartupError) << bad;
}

TEST(KeyScript, HandsOverOneKeyPerEmptyPoll) {
    KeyScript script(parseKeyScript("ab"));
    bool finished = true;
    // The first poll finds the keyboard empty; only then does "a" become pending.
    EXPECT_EQ(script.poll(finished), nullptr);
    EXPECT_FALSE(finished);
    const ScriptKey* k = script.poll(finished);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->ch, U'a');
    // A flush polls until empty: it stops at the empty poll and never swallows "b".
    EXPECT_EQ(script.poll(finished), nullptr);
    EXPECT_FALSE(finished);
    k = script.poll(finished);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->ch, U'b');
    // Used up: the first empty poll may be a flush; the program waiting again ends the run.
    EXPECT_EQ(script.poll(finished), nullptr);
    EXPECT_FALSE(finished);
    EXPECT_EQ(script.poll(finished), nullptr);
    EXPECT_TRUE(finished);
}

}  // namespace
}  // namespace rt
