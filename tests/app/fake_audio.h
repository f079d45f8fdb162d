#pragma once
// An audio system that plays nothing: tests of the sound manager and of the
// screens that play through it read what was asked of it.
#include "platform/devices/audio.h"

#include <string>
#include <vector>

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

    // The newest channel a sound was started on, or null.
    Slot* newest(const std::string& path)
    {
        for (auto it = slots.rbegin(); it != slots.rend(); ++it)
            if (it->sound && it->sound->path == path)
                return &*it;
        return nullptr;
    }
    // How often a sound was started.
    int plays(const std::string& path) const
    {
        int n = 0;
        for (const std::string& line : log)
            n += line == "play " + path;
        return n;
    }

    std::vector<std::string> log;
    std::vector<FakeSound*> sounds;
    std::vector<Slot> slots;
    audio::ReverbProperties reverb{};
    std::string missing;
    bool noFreeChannel = false;
};
