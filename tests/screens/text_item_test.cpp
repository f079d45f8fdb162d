// Text items: each takes the lowest free number for its element's name, and
// the one shared panel and overlay live exactly while any item does.
#include "tests/screens/screen_fixture.h"

#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayManager.h>

#include "app/Screens.h"

#include <memory>

namespace {

bool panelExists()
{
    return Ogre::OverlayManager::getSingleton().hasOverlayElement("PanelName");
}
bool overlayExists() { return Ogre::OverlayManager::getSingleton().getByName("OverlayName") != nullptr; }

} // namespace

using TextItemTest = ScreenTest;

TEST_F(TextItemTest, NumbersFillTheLowestGapWhateverTheOrderOfDeletion)
{
    ASSERT_EQ(TextItem::liveCount(), 0);
    auto a = std::make_unique<TextItem>();
    auto b = std::make_unique<TextItem>();
    auto c = std::make_unique<TextItem>();
    EXPECT_EQ(a->elementName(), "TextAreaName1");
    EXPECT_EQ(b->elementName(), "TextAreaName2");
    EXPECT_EQ(c->elementName(), "TextAreaName3");
    b.reset(); // out of order
    auto d = std::make_unique<TextItem>();
    EXPECT_EQ(d->elementName(), "TextAreaName2");
    auto e = std::make_unique<TextItem>();
    EXPECT_EQ(e->elementName(), "TextAreaName4");
    EXPECT_EQ(TextItem::liveCount(), 4);
    a.reset();
    c.reset();
    auto f = std::make_unique<TextItem>();
    EXPECT_EQ(f->elementName(), "TextAreaName1");
}

TEST_F(TextItemTest, SharedPanelLivesWhileAnyItemDoes)
{
    EXPECT_FALSE(panelExists());
    EXPECT_FALSE(overlayExists());
    {
        auto first = std::make_unique<TextItem>();
        EXPECT_TRUE(panelExists());
        EXPECT_TRUE(overlayExists());
        EXPECT_FALSE(first->isShown());
        auto second = std::make_unique<TextItem>();
        first.reset();
        EXPECT_TRUE(panelExists()); // the second still stands on it
        second->setText("still here");
        second->show();
        EXPECT_TRUE(shownOnScreen(second.get()));
    }
    EXPECT_FALSE(panelExists());
    EXPECT_FALSE(overlayExists());
    // and a new item after that builds them again
    TextItem again;
    EXPECT_TRUE(panelExists());
    EXPECT_EQ(again.elementName(), "TextAreaName1");
}

TEST_F(TextItemTest, ScreenChangesLeaveNoTextBehind)
{
    game->changeState(&menuState);
    EXPECT_EQ(TextItem::liveCount(), 5);
    game->changeState(&helpState);
    EXPECT_EQ(TextItem::liveCount(), 9);
    game->changeState(&highScoresState);
    EXPECT_EQ(TextItem::liveCount(), 11);
    game->changeState(&creditsState);
    EXPECT_EQ(TextItem::liveCount(), 9);
    game->changeState(&menuState);
    EXPECT_EQ(TextItem::liveCount(), 5);
    EXPECT_EQ(menuState.playText->elementName(), "TextAreaName1");
}
