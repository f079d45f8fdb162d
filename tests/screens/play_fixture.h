#pragma once
// The play screen in a real window, driven frame by frame on the manual
// clock and playing through an audio system that plays nothing.
#include "tests/screens/screen_fixture.h"
#include "tests/app/fake_audio.h"

#include "app/PlayState.h"
#include "app/Screens.h"
#include "app/SoundManager.h"
#include "world/gameWorld.h"

class PlayScreenTest : public ScreenTest {
protected:
    static constexpr const char* GAME_MUSIC = "./media/Kestor.mp3";

    void TearDown() override;

    // A fresh play screen playing through the silent audio.
    void newGame();

    gameWorld& world() { return *playState.world; }
    int songMs() { return int(clock.clockMs()) + world().clockOffset; }

    void frameAfter(int ms);

    // P as a player presses it: the music stops where song time stands and,
    // on the resume, goes on from there.
    void pressP();

    FakeSystem audio;
    SoundManager sounds{&audio};
    long now = 0;
    int pausedAtMs = 0;
    // The play screen is one global: only the first game of a process
    // starts from what the program's start left in it.
    static int gamesInThisProcess;
};
