#pragma once
// All of the game's sound: two music streams and six effects, played,
// paused and queried by number. The game music's position is the song clock.
#include <memory>
#include <utility>

#include "platform/devices/audio.h"

enum SoundId {
    SOUND_GAME_MUSIC = 0,
    SOUND_ENEMY_EXPLODE = 1,
    SOUND_PLAYER_EXPLODE = 2,
    SOUND_BOSS_EXPLODE = 3,
    SOUND_PLAYER_SHOOT = 4,
    SOUND_MENU_MUSIC = 5,
    SOUND_MENU_MOVE = 6,
    SOUND_MENU_SELECT = 7,
    SOUND_COUNT = 8,
};

class SoundManager {
public:
    // Created on first use (the menu's first entry) and kept for the rest of
    // the run.
    static SoundManager& getSingleton();
    // Stops all sound and releases the audio system at the end of the run:
    // its streaming threads must be gone before the audio library's own
    // exit-time clean-up runs, or the process dies on the way out.
    static void shutdown();

    // Opens the eight sounds on the given system and starts the menu music.
    // The system is not owned.
    explicit SoundManager(audio::System* system);

    // Each takes a sound number; a number out of range, a sound that could
    // not be opened or a channel that has ended does nothing.
    void play(int k);
    void setPaused(int k, bool paused);
    void setVolume(int k, float volume);
    unsigned getPositionMs(int k);
    void stop(int k);

    audio::System* system;
    // Set when the manager made its own system (the singleton).
    std::unique_ptr<audio::System> ownedSystem;
    // Each sound with the channel it was last started on.
    std::pair<audio::Sound*, audio::Channel> sounds[SOUND_COUNT];
};

// The global reverb the game plays under.
const audio::ReverbProperties& gameReverb();
