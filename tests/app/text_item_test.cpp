#include "app/TextItem.h"
#include "tests/model/test_log.h"

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreRoot.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A headless engine with its overlay system. The font "MyFont" does not
// exist here, so every text item fails half-way through its construction.
class TextItemFailure : public ::testing::Test {
protected:
    void SetUp() override
    {
        testLogManager();
        root = std::make_unique<Ogre::Root>("", "", "");
        buffers = std::make_unique<Ogre::DefaultHardwareBufferManager>();
        overlays = std::make_unique<Ogre::OverlaySystem>();
    }
    void TearDown() override
    {
        overlays.reset();
        root.reset();
        buffers.reset();
    }
    std::unique_ptr<Ogre::Root> root;
    std::unique_ptr<Ogre::DefaultHardwareBufferManager> buffers;
    std::unique_ptr<Ogre::OverlaySystem> overlays;
};

TEST_F(TextItemFailure, AFailedItemTakesNoNumberAndLeavesNoPanel)
{
    auto& manager = Ogre::OverlayManager::getSingleton();
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_ANY_THROW(TextItem item);
        EXPECT_EQ(TextItem::liveCount(), 0);
        EXPECT_FALSE(manager.hasOverlayElement("PanelName"));
        EXPECT_FALSE(manager.hasOverlayElement("TextAreaName1"));
        EXPECT_EQ(manager.getByName("OverlayName"), nullptr);
    }
}

} // namespace
