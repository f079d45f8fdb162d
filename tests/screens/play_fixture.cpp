#include "tests/screens/play_fixture.h"

#include "platform/devices/keyboard.h"

namespace {

// Somewhere to be between two games.
class Elsewhere : public DefaultGameState {
public:
    void enter() override {}
};
Elsewhere elsewhere;

} // namespace

int PlayScreenTest::gamesInThisProcess = 0;

void PlayScreenTest::TearDown()
{
    ScreenTest::TearDown();
    playState.sounds = nullptr;
}

void PlayScreenTest::newGame()
{
    ++gamesInThisProcess;
    game->changeState(&elsewhere);
    playState.sounds = &sounds;
    game->changeState(&playState);
    ASSERT_EQ(top(), &playState);
    now = clock.clockMs();
}

void PlayScreenTest::frameAfter(int ms)
{
    now += ms;
    ASSERT_TRUE(frame(now));
}

void PlayScreenTest::pressP()
{
    if (world().phase == PHASE_PAUSED)
        audio.newest(GAME_MUSIC)->position = unsigned(pausedAtMs);
    else
        pausedAtMs = songMs();
    press(input::KC_P);
}
