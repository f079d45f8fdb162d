#pragma once
// The game's audio layer: a small system of streamed sounds played on
// channels, shaped after the calls the sound manager makes. Streams play in
// the background on their own; the caller never pumps audio.
//
// Channels are handles: a handle to a channel that was stopped, has ended or
// was reused by a newer sound does nothing, and an empty handle does nothing.
#include <string>

namespace audio {

// Open modes (bit flags).
enum Mode : unsigned {
    MODE_DEFAULT = 0x00,
    MODE_LOOP_OFF = 0x01,
    MODE_LOOP_NORMAL = 0x02,
    MODE_2D = 0x08,
    MODE_HARDWARE = 0x20,
};

// Init flags.
enum InitFlags : unsigned {
    INIT_NORMAL = 0x00,
    INIT_3D_RIGHTHANDED = 0x02,
};

// Ask playSound for any free channel.
constexpr int CHANNEL_FREE = -1;

// A global reverb, described the way the classic environmental presets are.
struct ReverbProperties {
    int instance;
    int environment;
    float envSize;
    float envDiffusion;
    int room;
    int roomHF;
    int roomLF;
    float decayTime;
    float decayHFRatio;
    float decayLFRatio;
    int reflections;
    float reflectionsDelay;
    float reflectionsPan[3];
    int reverb;
    float reverbDelay;
    float reverbPan[3];
    float echoTime;
    float echoDepth;
    float modulationTime;
    float modulationDepth;
    float airAbsorptionHF;
    float hfReference;
    float lfReference;
    float roomRolloffFactor;
    float diffusion;
    float density;
    unsigned flags;
};

class System;

// An opened stream; owned by the system that created it.
class Sound {
public:
    virtual ~Sound() = default;
    // Defaults for every later play of this sound. frequency is the playback
    // rate in Hz, volume 0..1 (clamped), pan -1..1, priority 0..256.
    virtual bool setDefaults(float frequency, float volume, float pan, int priority) = 0;
};

class Channel {
public:
    Channel() = default;

    bool setPaused(bool paused);
    // volume is clamped to 0..1.
    bool setVolume(float volume);
    // Playing position in milliseconds; writes 0 when the position cannot be
    // read (empty or stale handle), never leaves *positionMs unset.
    bool getPosition(unsigned* positionMs);
    // The volume the channel plays at, after clamping; writes 0 when it
    // cannot be read.
    bool getVolume(float* volume);
    bool stop();

    bool isEmpty() const { return system == nullptr; }

private:
    friend class System;
    Channel(System* s, int slotIndex, unsigned gen) : system(s), slot(slotIndex), generation(gen) {}

    System* system = nullptr;
    int slot = -1;
    unsigned generation = 0;
};

// Every call returns true on success; callers may ignore the result.
class System {
public:
    virtual ~System() = default;

    virtual bool init(int maxChannels, unsigned flags) = 0;
    virtual bool setReverbProperties(const ReverbProperties& properties) = 0;
    // The sound stays owned by the system. A file that cannot be opened
    // returns false and sets *sound to null.
    virtual bool createStream(const std::string& path, unsigned mode, Sound** sound) = 0;
    // Starts the sound on a channel (CHANNEL_FREE picks one) and returns its
    // handle; a null sound returns false and an empty handle.
    virtual bool playSound(int channelIndex, Sound* sound, bool paused, Channel* channel) = 0;

protected:
    friend class Channel;
    static Channel makeChannel(System* system, int slot, unsigned generation)
    {
        return Channel(system, slot, generation);
    }
    // Channel operations, addressed by slot and generation; a generation
    // that no longer matches the slot's is a stale handle.
    virtual bool channelSetPaused(int slot, unsigned generation, bool paused) = 0;
    virtual bool channelSetVolume(int slot, unsigned generation, float volume) = 0;
    virtual bool channelGetPosition(int slot, unsigned generation, unsigned* positionMs) = 0;
    virtual bool channelStop(int slot, unsigned generation) = 0;
    // A back end that cannot read a channel's volume keeps this, which
    // reports failure.
    virtual bool channelGetVolume(int slot, unsigned generation, float* volume) { return false; }
};

// Where the real back end sends its sound. Silent renders the mix into
// nothing at the pace of the wall clock, so positions advance as they would
// on a sound card; tests use it to behave the same on every machine.
enum class Output { Default, Silent };

// The real back end: plays through the default output device, or, on a
// machine without one, through the silent output.
bool createSystem(System** system);
bool createSystem(System** system, Output output);

} // namespace audio
