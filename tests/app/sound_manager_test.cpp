#include "app/SoundManager.h"
#include "tests/app/fake_audio.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SoundManager, ConstructionOpensTheEightSoundsAndStartsTheMenuMusic)
{
    FakeSystem system;
    SoundManager manager(&system);
    const std::vector<std::string> expected = {
        "init 100 2",
        "reverb 24",
        "stream ./media/Kestor.mp3",
        "stream ./media/enemy_explode.wav",
        "stream ./media/kestor_explode.wav",
        "stream ./media/boss_explode.wav",
        "stream ./media/kestor_shoot.wav",
        "stream ./media/kestor_menu.mp3",
        "stream ./media/kestor_menu_over.wav",
        "stream ./media/kestor_menu_hit.wav",
        "play ./media/kestor_menu.mp3",
    };
    EXPECT_EQ(system.log, expected);
    ASSERT_EQ(system.sounds.size(), 8u);
    EXPECT_EQ(system.sounds[SOUND_GAME_MUSIC]->mode, 0x28u);
    EXPECT_EQ(system.sounds[SOUND_MENU_MUSIC]->mode, 0x22u);
    EXPECT_EQ(system.sounds[SOUND_PLAYER_SHOOT]->mode, 0x20u);
    EXPECT_EQ(system.sounds[SOUND_ENEMY_EXPLODE]->defaults, (std::vector<float>{44000, 0.25f, 0, 120}));
    EXPECT_EQ(system.sounds[SOUND_MENU_MOVE]->defaults, (std::vector<float>{44000, 0.5f, 0, 120}));
    EXPECT_EQ(system.sounds[SOUND_MENU_SELECT]->defaults, (std::vector<float>{44000, 0.1f, 0, 120}));
    EXPECT_TRUE(system.sounds[SOUND_BOSS_EXPLODE]->defaults.empty());
    EXPECT_FLOAT_EQ(system.reverb.decayTime, 17.23f);
    EXPECT_EQ(system.reverb.flags, 0x1Fu);
}

TEST(SoundManager, OperationsActOnTheNewestChannelOnly)
{
    FakeSystem system;
    SoundManager manager(&system);
    manager.play(SOUND_GAME_MUSIC);
    const int first = static_cast<int>(system.slots.size()) - 1;
    system.slots[first].position = 1234;
    EXPECT_EQ(manager.getPositionMs(SOUND_GAME_MUSIC), 1234u);

    manager.stop(SOUND_GAME_MUSIC);
    manager.play(SOUND_GAME_MUSIC);
    const int second = static_cast<int>(system.slots.size()) - 1;
    manager.setPaused(SOUND_GAME_MUSIC, true);
    manager.setVolume(SOUND_GAME_MUSIC, 0.3f);
    EXPECT_TRUE(system.slots[second].paused);
    EXPECT_FLOAT_EQ(system.slots[second].volume, 0.3f);
    EXPECT_FALSE(system.slots[first].paused);
    EXPECT_EQ(manager.getPositionMs(SOUND_GAME_MUSIC), 0u);
}

TEST(SoundManager, EmptyStaleMissingAndOutOfRangeDoNothing)
{
    FakeSystem system;
    system.missing = "./media/boss_explode.wav";
    SoundManager manager(&system);
    const std::size_t before = system.slots.size();

    // Never played: an empty channel.
    manager.stop(SOUND_ENEMY_EXPLODE);
    manager.setPaused(SOUND_PLAYER_SHOOT, true);
    EXPECT_EQ(manager.getPositionMs(SOUND_ENEMY_EXPLODE), 0u);
    // A file that could not be opened stays silent.
    manager.play(SOUND_BOSS_EXPLODE);
    EXPECT_EQ(system.slots.size(), before);
    // Out of range.
    manager.play(-1);
    manager.play(SOUND_COUNT);
    manager.setVolume(99, 1.0f);
    EXPECT_EQ(manager.getPositionMs(99), 0u);
    EXPECT_EQ(system.slots.size(), before);

    // The menu music keeps its channel: pause and unpause resume it.
    manager.setPaused(SOUND_MENU_MUSIC, true);
    EXPECT_TRUE(system.slots[0].paused);
    manager.setPaused(SOUND_MENU_MUSIC, false);
    EXPECT_FALSE(system.slots[0].paused);
}

TEST(SoundManager, APlayThatFailsKeepsTheLiveChannelReachable)
{
    FakeSystem system;
    SoundManager manager(&system);
    manager.play(SOUND_GAME_MUSIC);
    const int live = static_cast<int>(system.slots.size()) - 1;
    system.slots[live].position = 777;

    system.noFreeChannel = true;
    manager.play(SOUND_GAME_MUSIC);
    EXPECT_EQ(manager.getPositionMs(SOUND_GAME_MUSIC), 777u);
    manager.stop(SOUND_GAME_MUSIC);
    EXPECT_FALSE(system.slots[live].playing);
}

TEST(SoundManager, WithoutAnAudioSystemEverythingIsSilent)
{
    SoundManager manager(nullptr);
    manager.play(SOUND_MENU_MOVE);
    EXPECT_EQ(manager.getPositionMs(SOUND_MENU_MUSIC), 0u);
}

} // namespace
