#include "app/SoundManager.h"

namespace {

struct SoundFile {
    const char* path;
    unsigned mode;
    bool hasDefaults;
    float frequency, volume, pan;
    int priority;
};

const SoundFile SOUND_FILES[SOUND_COUNT] = {
    {"./media/Kestor.mp3", audio::MODE_HARDWARE | audio::MODE_2D, false, 0, 0, 0, 0},
    {"./media/enemy_explode.wav", audio::MODE_HARDWARE, true, 44000.0f, 0.25f, 0.0f, 120},
    {"./media/kestor_explode.wav", audio::MODE_HARDWARE, false, 0, 0, 0, 0},
    {"./media/boss_explode.wav", audio::MODE_HARDWARE, false, 0, 0, 0, 0},
    {"./media/kestor_shoot.wav", audio::MODE_HARDWARE, false, 0, 0, 0, 0},
    {"./media/kestor_menu.mp3", audio::MODE_HARDWARE | audio::MODE_LOOP_NORMAL, false, 0, 0, 0, 0},
    {"./media/kestor_menu_over.wav", audio::MODE_HARDWARE, true, 44000.0f, 0.5f, 0.0f, 120},
    {"./media/kestor_menu_hit.wav", audio::MODE_HARDWARE, true, 44000.0f, 0.1f, 0.0f, 120},
};

bool valid(int k) { return k >= 0 && k < SOUND_COUNT; }

} // namespace

const audio::ReverbProperties& gameReverb()
{
    // A dizzy, slowly modulated hall.
    static const audio::ReverbProperties reverb = {
        0,      24,     1.8f,  0.6f,  -1000, -400,  0,      17.23f, 0.56f, 1.0f,  -1713, 0.02f,  {0, 0, 0}, -613,
        0.03f,  {0, 0, 0}, 0.25f, 1.0f, 0.81f, 0.31f, -5.0f, 5000.0f, 250.0f, 0.0f, 100.0f, 100.0f, 0x1F,
    };
    return reverb;
}

namespace {
SoundManager* instance = nullptr;
}

SoundManager& SoundManager::getSingleton()
{
    if (!instance) {
        audio::System* system = nullptr;
        audio::createSystem(&system);
        instance = new SoundManager(system);
        instance->ownedSystem.reset(system);
    }
    return *instance;
}

void SoundManager::shutdown()
{
    delete instance;
    instance = nullptr;
}

SoundManager::SoundManager(audio::System* s) : system(s)
{
    for (auto& entry : sounds)
        entry.first = nullptr;
    if (!system)
        return;
    system->init(100, audio::INIT_3D_RIGHTHANDED);
    system->setReverbProperties(gameReverb());
    for (int k = 0; k < SOUND_COUNT; ++k) {
        const SoundFile& f = SOUND_FILES[k];
        system->createStream(f.path, f.mode, &sounds[k].first);
        if (f.hasDefaults && sounds[k].first)
            sounds[k].first->setDefaults(f.frequency, f.volume, f.pan, f.priority);
    }
    play(SOUND_MENU_MUSIC);
}

void SoundManager::play(int k)
{
    if (!valid(k) || !system)
        return;
    // A play that failed keeps the channel it had: that one may still be
    // playing, and must stay reachable to be paused or stopped.
    audio::Channel channel;
    if (system->playSound(audio::CHANNEL_FREE, sounds[k].first, false, &channel))
        sounds[k].second = channel;
}

void SoundManager::setPaused(int k, bool paused)
{
    if (valid(k))
        sounds[k].second.setPaused(paused);
}

void SoundManager::setVolume(int k, float volume)
{
    if (valid(k))
        sounds[k].second.setVolume(volume);
}

unsigned SoundManager::getPositionMs(int k)
{
    unsigned position = 0;
    if (valid(k))
        sounds[k].second.getPosition(&position);
    return position;
}

void SoundManager::stop(int k)
{
    if (valid(k))
        sounds[k].second.stop();
}
