#include "platform/devices/audio.h"

namespace audio {

bool Channel::setPaused(bool paused)
{
    return system && system->channelSetPaused(slot, generation, paused);
}

bool Channel::setVolume(float volume)
{
    if (volume < 0.0f)
        volume = 0.0f;
    if (volume > 1.0f)
        volume = 1.0f;
    return system && system->channelSetVolume(slot, generation, volume);
}

bool Channel::getPosition(unsigned* positionMs)
{
    if (!positionMs)
        return false;
    *positionMs = 0;
    return system && system->channelGetPosition(slot, generation, positionMs);
}

bool Channel::getVolume(float* volume)
{
    if (!volume)
        return false;
    *volume = 0.0f;
    return system && system->channelGetVolume(slot, generation, volume);
}

bool Channel::stop()
{
    return system && system->channelStop(slot, generation);
}

} // namespace audio
