// Typing a name at the end of a game.
#include "app/NameEntry.h"

#include "platform/devices/keyboard.h"

#include <gtest/gtest.h>

namespace {

// Key codes of letters as the keyboard reports them, with their characters.
const int KC_A = 30, KC_B = 48, KC_1 = 2;

NameKey type(std::string& name, int key, char c) { return nameEntryKey(name, key, static_cast<unsigned char>(c)); }

} // namespace

TEST(NameEntryTest, TypingBackspaceAndTheEightCharacterLimit)
{
    std::string name;
    EXPECT_EQ(nameEntryKey(name, input::KC_BACK, 8), NameKey::IGNORED); // nothing to erase
    EXPECT_EQ(type(name, KC_A, 'a'), NameKey::CHANGED);
    EXPECT_EQ(type(name, KC_B, 'B'), NameKey::CHANGED);
    EXPECT_EQ(type(name, KC_1, '1'), NameKey::CHANGED);
    EXPECT_EQ(shownName(name), "aB1_");
    EXPECT_EQ(nameEntryKey(name, input::KC_BACK, 8), NameKey::CHANGED);
    EXPECT_EQ(name, "aB");
    for (int i = 0; i < 10; ++i)
        type(name, KC_A, 'x');
    EXPECT_EQ(name, "aBxxxxxx");
    EXPECT_EQ(type(name, KC_A, 'y'), NameKey::IGNORED);
    EXPECT_EQ(name.size(), HIGH_SCORE_NAME_MAX);
    EXPECT_EQ(nameEntryKey(name, input::KC_RETURN, '\r'), NameKey::DONE);
    EXPECT_EQ(name, "aBxxxxxx");
}

TEST(NameEntryTest, KeysThatTypeNoPrintableCharacterAreIgnored)
{
    std::string name = "ab";
    const struct {
        int key;
        unsigned character;
    } keys[] = {{input::KC_SPACE, ' '}, {input::KC_UP, 0}, {input::KC_LEFT, 0}, {15, '\t'}, {input::KC_ESCAPE, 27}, {83, 127}};
    for (const auto& k : keys)
        EXPECT_EQ(nameEntryKey(name, k.key, k.character), NameKey::IGNORED) << k.key;
    EXPECT_EQ(name, "ab");
}
