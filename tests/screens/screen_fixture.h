#pragma once
// The screens in a real window (under Xvfb in CI): an engine with the GL
// render system, the overlay system and the game's font, and a game manager
// around it whose stack the tests drive directly, key by key and frame by
// frame, on a manual clock. Runs in the game's run folder, so the menu's
// sound manager finds the media. Skipped without a display.
#include "app/GameManager.h"
#include "app/GameState.h"
#include "app/TextItem.h"
#include "platform/clock.h"

#include <OgreColourValue.h>

#include <gtest/gtest.h>

#include <string>

namespace Ogre {
class OverlayElement;
}

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override { start(800, 600); }
    void TearDown() override;
    // A fresh engine whose window has the given size.
    void start(unsigned width, unsigned height);

    // One frame as the render loop runs it; returns whether to go on.
    bool frame(long nowMs);
    // The two halves of a frame: up to the drawing of the scene, and after.
    bool frameStart(long nowMs);
    bool frameEnd();
    void press(int key, unsigned character = 0);
    GameState* top() const { return game->states.empty() ? nullptr : game->states.back(); }

    static Ogre::OverlayElement* element(const TextItem* item);
    static std::string caption(const TextItem* item);
    static Ogre::ColourValue colourOf(const TextItem* item);
    static float leftOf(const TextItem* item);
    static float topOf(const TextItem* item);
    static bool shownOnScreen(const TextItem* item);

    plat::ManualClock clock{1000, 1700000000};
    GameManager* game = nullptr;
    std::string oldFolder;
};
