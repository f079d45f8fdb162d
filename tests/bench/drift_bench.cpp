// Song time against the music (a measurement, not a test): plays the game
// music through the sound manager on the real audio back end and runs a
// world on the real clock, as the play screen does (anchored to the music
// position at the start, updated every ~16 ms), for a whole song. Prints
// the difference song time minus music position over the run.
//   drift_bench [SECONDS]   (default: the whole song)
#include "app/SoundManager.h"
#include "platform/clock.h"
#include "world/gameWorld.h"
#include "world/kestor.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 395;
    SoundManager& sound = SoundManager::getSingleton();
    sound.setPaused(SOUND_MENU_MUSIC, true);
    gameWorld world;
    world.player->lives = 1000000;  // the clock is measured, not the play
    sound.play(SOUND_GAME_MUSIC);
    world.now = int(sound.getPositionMs(SOUND_GAME_MUSIC));
    world.clockOffset = world.now - int(plat::clock());
    std::vector<int> drift;
    const long start = plat::clock();
    int lastPosition = -1;
    while (plat::clock() - start < seconds * 1000L) {
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
        const int position = int(sound.getPositionMs(SOUND_GAME_MUSIC));
        world.update(position);
        if (position < lastPosition)
            break;  // the stream ended and the channel is gone
        lastPosition = position;
        drift.push_back(world.now - position);
        if (drift.size() % 625 == 0)
            std::printf("t=%6.1f s  song %7d ms  music %7d ms  drift %+d ms\n",
                        (plat::clock() - start) / 1000.0, world.now, position, drift.back());
    }
    if (drift.empty())
        return 1;
    std::vector<int> sorted = drift;
    std::sort(sorted.begin(), sorted.end());
    std::printf("frames %zu, last music position %d ms\n", drift.size(), lastPosition);
    std::printf("drift (song time - music position): first %+d, last %+d, min %+d, median %+d, max %+d ms\n",
                drift.front(), drift.back(), sorted.front(), sorted[sorted.size() / 2], sorted.back());
    SoundManager::shutdown();
    return 0;
}
