#include "app/SoundManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every call; channels are slots whose generation moves on when the
// slot is reused or stopped, the way a real back end rejects stale handles.
class FakeSystem : public audio::System {
public:
    struct FakeSound : audio::Sound {
        std::string path;
        unsigned mode = 0;
        std::vector<float> defaults;
        bool setDefaults(float f, float v, float p, int pr) override
        {
            defaults = {f, v, p, static_cast<float>(pr)};
            return true;
        }
    };
    struct Slot {
        FakeSound* sound = nullptr;
        unsigned generation = 0;
        bool playing = false, paused = false;
        float volume = 1.0f;
        unsigned position = 0;
    };

    ~FakeSystem() override
    {
        for (auto* s : sounds)
            delete s;
    }
    bool init(int channels, unsigned flags) override
    {
        log.push_back("init " + std::to_string(channels) + " " + std::to_string(flags));
        return true;
    }
    bool setReverbProperties(const audio::ReverbProperties& p) override
    {
        log.push_back("reverb " + std::to_string(p.environment));
        reverb = p;
        return true;
    }
    bool createStream(const std::string& path, unsigned mode, audio::Sound** sound) override
    {
        log.push_back("stream " + path);
        if (path == missing) {
            *sound = nullptr;
            return false;
        }
        auto* s = new FakeSound;
        s->path = path;
        s->mode = mode;
        sounds.push_back(s);
        *sound = s;
        return true;
    }
    bool playSound(int, audio::Sound* sound, bool paused, audio::Channel* channel) override
    {
        *channel = audio::Channel();
        if (!sound || noFreeChannel)
            return false;
        log.push_back("play " + static_cast<FakeSound*>(sound)->path);
        int slot = static_cast<int>(slots.size());
        slots.push_back({static_cast<FakeSound*>(sound), 1, true, paused, 1.0f, 0});
        *channel = makeChannel(this, slot, 1);
        return true;
    }

    Slot* live(int slot, unsigned generation)
    {
        if (slot < 0 || slot >= static_cast<int>(slots.size()) || slots[slot].generation != generation ||
            !slots[slot].playing)
            return nullptr;
        return &slots[slot];
    }
    bool channelSetPaused(int slot, unsigned g, bool paused) override
    {
        if (auto* s = live(slot, g))
            return s->paused = paused, true;
        return false;
    }
    bool channelSetVolume(int slot, unsigned g, float v) override
    {
        if (auto* s = live(slot, g))
            return s->volume = v, true;
        return false;
    }
    bool channelGetPosition(int slot, unsigned g, unsigned* ms) override
    {
        if (auto* s = live(slot, g))
            return *ms = s->position, true;
        return false;
    }
    bool channelStop(int slot, unsigned g) override
    {
        if (auto* s = live(slot, g)) {
            s->playing = false;
            ++s->generation;
            return true;
        }
        return false;
    }

    std::vector<std::string> log;
    std::vector<FakeSound*> sounds;
    std::vector<Slot> slots;
    audio::ReverbProperties reverb{};
    std::string missing;
    bool noFreeChannel = false;
};

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
