// The menu without the engine: where its texts stand for a window size and
// what every key does to the highlight.
#include "app/MenuLogic.h"

#include "platform/devices/keyboard.h"

#include <gtest/gtest.h>

namespace {

struct LayoutCase {
    unsigned width, height;
    float column;
    float tops[4];
    TextPosition title;
};

const LayoutCase LAYOUTS[] = {
    {800, 600, 355, {250, 300, 350, 400}, {310, 150}},
    {1024, 768, 454, {320, 384, 448, 512}, {396, 192}},
    // 1280 * 0.44375 = 568, 1024 * 7/12 = 597.33 truncated
    {1280, 1024, 568, {426, 512, 597, 682}, {496, 256}},
};

} // namespace

TEST(MenuLayoutTest, ItemsAndTitleStandWhereTheWindowSizePutsThem)
{
    for (const LayoutCase& c : LAYOUTS) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        MenuLayout l = menuLayout(c.width, c.height);
        const TextPosition items[4] = {l.play, l.help, l.credits, l.exit};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(items[i].left, c.column) << "item " << i;
            EXPECT_EQ(items[i].top, c.tops[i]) << "item " << i;
        }
        EXPECT_EQ(l.title, c.title);
    }
}

TEST(MenuKeyTest, KeyTable)
{
    struct {
        int key;
        int selectedBefore;
        MenuCommand command;
        int selectedAfter;
    } cases[] = {
        {input::KC_UP, ITEM_PLAY, MenuCommand::NONE, ITEM_PLAY}, // silent at the top
        {input::KC_UP, ITEM_HELP, MenuCommand::MOVED, ITEM_PLAY},
        {input::KC_UP, ITEM_EXIT, MenuCommand::MOVED, ITEM_CREDITS},
        {input::KC_DOWN, ITEM_PLAY, MenuCommand::MOVED, ITEM_HELP},
        {input::KC_DOWN, ITEM_CREDITS, MenuCommand::MOVED, ITEM_EXIT},
        {input::KC_DOWN, ITEM_EXIT, MenuCommand::NONE, ITEM_EXIT}, // silent at the bottom
        {input::KC_RETURN, ITEM_CREDITS, MenuCommand::CHOOSE, ITEM_CREDITS},
        {input::KC_ESCAPE, ITEM_HELP, MenuCommand::QUIT, ITEM_HELP},
        {input::KC_O, ITEM_PLAY, MenuCommand::CYCLE_COLOURS, ITEM_PLAY},
        {input::KC_LEFT, ITEM_HELP, MenuCommand::NONE, ITEM_HELP},
        {input::KC_SPACE, ITEM_HELP, MenuCommand::NONE, ITEM_HELP},
        {input::KC_P, ITEM_EXIT, MenuCommand::NONE, ITEM_EXIT},
    };
    for (const auto& c : cases) {
        int selected = c.selectedBefore;
        EXPECT_EQ(menuKey(c.key, selected), c.command) << "key " << c.key << " at " << c.selectedBefore;
        EXPECT_EQ(selected, c.selectedAfter) << "key " << c.key << " at " << c.selectedBefore;
    }
}

TEST(MenuKeyTest, DownFourTimesFromPlayStopsAtExitWithThreeMoves)
{
    int selected = ITEM_PLAY;
    int moves = 0;
    for (int i = 0; i < 4; ++i)
        moves += menuKey(input::KC_DOWN, selected) == MenuCommand::MOVED;
    EXPECT_EQ(selected, ITEM_EXIT);
    EXPECT_EQ(moves, 3);
}
