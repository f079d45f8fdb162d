// The sound manager over the real audio back end with the media the build
// made: every file opens, the menu music plays and loops, and the game music
// lasts past the end of the song.
#include "app/SoundManager.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

class GameMedia : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The sound files are named relative to the game's folder.
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(TESS_RUN_DIR), 0);
        audio::System* s = nullptr;
        ASSERT_TRUE(audio::createSystem(&s, audio::Output::Silent));
        system.reset(s);
        manager = std::make_unique<SoundManager>(system.get());
    }
    void TearDown() override
    {
        manager.reset();
        system.reset();
        ASSERT_EQ(chdir(previous), 0);
    }
    char previous[4096] = {};
    std::unique_ptr<audio::System> system;
    std::unique_ptr<SoundManager> manager;
};

TEST_F(GameMedia, EverySoundOpensAndTheMenuMusicPlaysAtOnce)
{
    for (int k = 0; k < SOUND_COUNT; ++k)
        EXPECT_NE(manager->sounds[k].first, nullptr) << "sound " << k;
    const unsigned start = manager->getPositionMs(SOUND_MENU_MUSIC);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const unsigned later = manager->getPositionMs(SOUND_MENU_MUSIC);
    EXPECT_GT(later, start + 200);
    EXPECT_LT(later, start + 2000);
}

TEST_F(GameMedia, PausedMenuMusicHoldsItsPositionWhileGameMusicRuns)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    manager->setPaused(SOUND_MENU_MUSIC, true);
    const unsigned held = manager->getPositionMs(SOUND_MENU_MUSIC);
    manager->play(SOUND_GAME_MUSIC);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(manager->getPositionMs(SOUND_MENU_MUSIC), held);
    EXPECT_GT(manager->getPositionMs(SOUND_GAME_MUSIC), 150u);
    manager->stop(SOUND_GAME_MUSIC);
    EXPECT_EQ(manager->getPositionMs(SOUND_GAME_MUSIC), 0u);
}

double lengthMs(const char* path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (!file)
        return -1;
    sf_close(file);
    return 1000.0 * static_cast<double>(info.frames) / info.samplerate;
}

TEST(GameMediaFiles, GameMusicOutlastsTheSongAndTheMenuTuneIsALoop)
{
    // The song's last track ends 391,199 ms after the tracks start at -2.
    EXPECT_GT(lengthMs(TESS_RUN_DIR "/media/Kestor.mp3"), 391199.0 - 2.0);
    const double menu = lengthMs(TESS_RUN_DIR "/media/kestor_menu.mp3");
    EXPECT_GE(menu, 20000.0);
    EXPECT_LE(menu, 120000.0);
}

} // namespace
