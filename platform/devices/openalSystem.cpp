// The audio system over OpenAL Soft, with libsndfile decoding WAV and MP3.
//
// Every playing channel owns one OpenAL source fed with a small ring of
// buffers. A streaming thread decodes ahead and queues buffers, so opening a
// stream costs a file open and a play costs two buffers' worth of decoding,
// whatever the length of the file. Without a sound card the mix goes to an
// OpenAL loopback device whose render thread keeps pace with the wall clock,
// so positions advance exactly as they would with a card.
//
// One mutex guards the channel slots; the caller's thread and the streaming
// thread take it, the render thread never does.
//
// A channel holds its source, buffers and decoder only while it plays: a
// sound that ends or is stopped gives them all back, so a game of a
// thousand shots leaves the heap as it found it.
#include "platform/devices/audio.h"
#include "platform/regularFile.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <AL/efx.h>
#include <alsa/asoundlib.h>
#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace audio {
namespace {

// About 93 ms of a 44.1 kHz file per buffer; four buffers give the streaming
// thread a third of a second of slack on a loaded machine.
constexpr int kBufferFrames = 4096;
constexpr int kBuffersPerChannel = 4;
// Decoded on the caller's thread when a sound starts, so it starts at once.
constexpr int kBuffersAtStart = 2;
constexpr int kMaxChannels = 256;
constexpr auto kStreamPeriod = std::chrono::milliseconds(10);

// The silent output: 44.1 kHz stereo, rendered in 10 ms steps.
constexpr int kSilentRate = 44100;
constexpr int kRenderFrames = 441;

constexpr float kMinPitch = 1.0f / 64.0f;
constexpr float kMaxPitch = 16.0f;

float clampf(float v, float lo, float hi) { return std::min(std::max(v, lo), hi); }

// Millibels to a linear gain.
float fromMillibels(float mB) { return std::pow(10.0f, mB / 2000.0f); }

// A file opened for decoding to 16-bit PCM, one or two channels (files with
// more channels give their first two).
class OpenedFile {
public:
    static std::unique_ptr<OpenedFile> open(const std::string& path)
    {
        // Only a regular file: a FIFO in its place would block the open.
        const int fd = plat::openRegularFile(path);
        if (fd < 0)
            return nullptr;
        SF_INFO info{};
        // The library owns the descriptor from here, and closes it also
        // when the open fails.
        SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
        if (!file)
            return nullptr;
        if (info.channels < 1 || info.samplerate <= 0) {
            sf_close(file);
            return nullptr;
        }
        // Decoded MP3 peaks above full scale would otherwise wrap around.
        sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
        return std::unique_ptr<OpenedFile>(new OpenedFile(file, info));
    }

    ~OpenedFile() { sf_close(file); }
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;

    int rate() const { return info.samplerate; }
    int outputChannels() const { return info.channels == 1 ? 1 : 2; }

    // Up to maxFrames frames into out; 0 at the end of the file or on an error.
    long read(int16_t* out, long maxFrames)
    {
        if (info.channels <= 2)
            return static_cast<long>(sf_readf_short(file, out, maxFrames));
        wide.resize(static_cast<size_t>(maxFrames) * info.channels);
        long got = static_cast<long>(sf_readf_short(file, wide.data(), maxFrames));
        for (long i = 0; i < got; ++i) {
            out[2 * i] = wide[static_cast<size_t>(i) * info.channels];
            out[2 * i + 1] = wide[static_cast<size_t>(i) * info.channels + 1];
        }
        return got;
    }

    bool rewind() { return sf_seek(file, 0, SEEK_SET) == 0; }

private:
    OpenedFile(SNDFILE* f, const SF_INFO& i) : file(f), info(i) {}

    SNDFILE* file;
    SF_INFO info;
    std::vector<int16_t> wide;
};

class OpenAlSound : public Sound {
public:
    OpenAlSound(std::string p, bool loop, int fileRate, int fileChannels)
        : path(std::move(p)), looping(loop), rate(fileRate), channels(fileChannels) {}

    bool setDefaults(float frequency, float vol, float panning, int prio) override
    {
        if (!(frequency > 0.0f) || std::isnan(vol) || std::isnan(panning))
            return false;
        pitch = clampf(frequency / static_cast<float>(rate), kMinPitch, kMaxPitch);
        volume = clampf(vol, 0.0f, 1.0f);
        pan = clampf(panning, -1.0f, 1.0f);
        priority = prio;
        return true;
    }

    const std::string path;
    const bool looping;
    const int rate;
    const int channels;
    float pitch = 1.0f;
    float volume = 1.0f;
    float pan = 0.0f;
    int priority = 128; // kept for completeness: voices are never stolen
};

struct QueuedBuffer {
    ALuint id;
    int64_t firstFrame; // file frame of its first sample
    int frames;
};

struct Slot {
    ALuint source = 0;
    std::vector<ALuint> spare;         // buffers not on the source's queue
    std::deque<QueuedBuffer> queued;   // in play order
    std::unique_ptr<OpenedFile> file;
    ALenum format = AL_FORMAT_STEREO16;
    int channels = 2;
    int rate = 44100;
    int64_t nextFrame = 0;    // file frame the next decoded sample comes from
    int64_t passFrames = 0;   // length of the file once a loop has wrapped, else 0
    int64_t playedFrame = 0;  // where the last unqueued buffer ended
    bool looping = false;
    bool paused = false;
    bool decoded = false;     // the decoder has nothing more to give
    bool refilledWhileStopped = false; // ran dry while paused: holds unplayed buffers
    bool active = false;
    unsigned generation = 0;
};

class OpenAlSystem : public System {
public:
    explicit OpenAlSystem(Output o) : output(o) {}
    ~OpenAlSystem() override;

    bool init(int maxChannels, unsigned flags) override;
    bool setReverbProperties(const ReverbProperties& properties) override;
    bool createStream(const std::string& path, unsigned mode, Sound** sound) override;
    bool playSound(int channelIndex, Sound* sound, bool paused, Channel* channel) override;

    // Closes the device and stops the threads; every later call fails, as
    // on a system that was never initialised. Closing again does nothing.
    void close();

protected:
    bool channelSetPaused(int slot, unsigned generation, bool paused) override;
    bool channelSetVolume(int slot, unsigned generation, float volume) override;
    bool channelGetPosition(int slot, unsigned generation, unsigned* positionMs) override;
    bool channelStop(int slot, unsigned generation) override;
    bool channelGetVolume(int slot, unsigned generation, float* volume) override;

private:
    bool openOutput();
    bool acquire(Slot& s);
    void loadEffects();
    void bindContext();
    Slot* live(int slot, unsigned generation);
    void release(Slot& s);
    bool queueNext(Slot& s);
    void service(Slot& s, bool& wantsMore);
    void attachReverb(Slot& s);
    void streamLoop();
    void renderLoop();

    const Output output;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    bool loopback = false;
    PFNALCSETTHREADCONTEXTPROC setThreadContext = nullptr;
    LPALCRENDERSAMPLESSOFT renderSamples = nullptr;

    // EFX, when the device has it.
    LPALGENEFFECTS genEffects = nullptr;
    LPALDELETEEFFECTS deleteEffects = nullptr;
    LPALEFFECTI effecti = nullptr;
    LPALEFFECTF effectf = nullptr;
    LPALEFFECTFV effectfv = nullptr;
    LPALGENAUXILIARYEFFECTSLOTS genSlots = nullptr;
    LPALDELETEAUXILIARYEFFECTSLOTS deleteSlots = nullptr;
    LPALAUXILIARYEFFECTSLOTI slotI = nullptr;
    ALuint effect = 0;
    ALuint effectSlot = 0;
    bool reverbOn = false;

    std::vector<std::unique_ptr<OpenAlSound>> sounds;
    std::vector<Slot> slots;
    std::vector<int16_t> pcm; // decode scratch, used under the mutex

    std::mutex mutex;
    std::condition_variable wake;
    bool quit = false;
    std::atomic<bool> renderQuit{false};
    std::thread streamer;
    std::thread renderer;
};

// OpenAL Soft runs its own clean-up at exit and aborts when a device is
// still open then, possibly while our threads still use it. A system its
// owner never deleted (a singleton, a test that exits early) is closed by
// our exit handler, which runs first because it is registered after the
// library's.
std::mutex& openSystemsMutex()
{
    static auto* m = new std::mutex;
    return *m;
}

std::vector<OpenAlSystem*>& openSystems()
{
    static auto* list = new std::vector<OpenAlSystem*>;
    return *list;
}

void closeOpenSystemsAtExit()
{
    std::vector<OpenAlSystem*> open;
    {
        std::lock_guard<std::mutex> lock(openSystemsMutex());
        open.swap(openSystems());
    }
    for (OpenAlSystem* system : open)
        system->close();
}

void registerOpen(OpenAlSystem* system)
{
    static bool handlerRegistered = false;
    std::lock_guard<std::mutex> lock(openSystemsMutex());
    openSystems().push_back(system);
    if (!handlerRegistered)
        handlerRegistered = std::atexit(closeOpenSystemsAtExit) == 0;
}

void unregisterOpen(OpenAlSystem* system)
{
    std::lock_guard<std::mutex> lock(openSystemsMutex());
    auto& list = openSystems();
    list.erase(std::remove(list.begin(), list.end(), system), list.end());
}

OpenAlSystem::~OpenAlSystem()
{
    unregisterOpen(this);
    close();
}

void OpenAlSystem::close()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        quit = true;
    }
    wake.notify_all();
    if (streamer.joinable())
        streamer.join();
    if (!device)
        return;

    bindContext();
    for (Slot& s : slots)
        if (s.active)
            release(s);
    slots.clear();
    if (effectSlot)
        deleteSlots(1, &effectSlot);
    if (effect)
        deleteEffects(1, &effect);
    effectSlot = effect = 0;
    reverbOn = false;

    renderQuit = true;
    if (renderer.joinable())
        renderer.join();

    if (setThreadContext)
        setThreadContext(nullptr);
    else
        alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
}

void OpenAlSystem::bindContext()
{
    // With thread-local contexts two systems in one process do not steal
    // each other's current context.
    if (setThreadContext)
        setThreadContext(context);
}

// Both libraries print every step of their search for a sound card to
// stderr; on a machine without one that is nine lines of errors for what is
// a normal case, which the caller reports in one line of its own. A log
// level the user set for OpenAL is kept.
void silentAlsa(const char*, int, const char*, int, const char*, ...) {}

ALCdevice* openDefaultDeviceQuietly()
{
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    snd_lib_error_set_handler(silentAlsa);
    ALCdevice* device = alcOpenDevice(nullptr);
    snd_lib_error_set_handler(nullptr);
    return device;
}

bool OpenAlSystem::openOutput()
{
    if (output == Output::Default) {
        device = openDefaultDeviceQuietly();
        if (!device)
            std::fprintf(stderr, "No sound device: playing without sound.\n");
    }
    if (device) {
        context = alcCreateContext(device, nullptr);
        if (context)
            return true;
        alcCloseDevice(device);
        device = nullptr;
    }

    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"))
        return false;
    auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto formatSupported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
        alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
    renderSamples = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
        alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!openLoopback || !formatSupported || !renderSamples)
        return false;
    device = openLoopback(nullptr);
    if (!device)
        return false;
    if (!formatSupported(device, kSilentRate, ALC_STEREO_SOFT, ALC_SHORT_SOFT)) {
        alcCloseDevice(device);
        device = nullptr;
        return false;
    }
    const ALCint attributes[] = {
        ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
        ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT,
        ALC_FREQUENCY, kSilentRate,
        0,
    };
    context = alcCreateContext(device, attributes);
    if (!context) {
        alcCloseDevice(device);
        device = nullptr;
        return false;
    }
    loopback = true;
    return true;
}

void OpenAlSystem::loadEffects()
{
    if (!alcIsExtensionPresent(device, "ALC_EXT_EFX"))
        return;
    genEffects = reinterpret_cast<LPALGENEFFECTS>(alGetProcAddress("alGenEffects"));
    deleteEffects = reinterpret_cast<LPALDELETEEFFECTS>(alGetProcAddress("alDeleteEffects"));
    effecti = reinterpret_cast<LPALEFFECTI>(alGetProcAddress("alEffecti"));
    effectf = reinterpret_cast<LPALEFFECTF>(alGetProcAddress("alEffectf"));
    effectfv = reinterpret_cast<LPALEFFECTFV>(alGetProcAddress("alEffectfv"));
    genSlots = reinterpret_cast<LPALGENAUXILIARYEFFECTSLOTS>(
        alGetProcAddress("alGenAuxiliaryEffectSlots"));
    deleteSlots = reinterpret_cast<LPALDELETEAUXILIARYEFFECTSLOTS>(
        alGetProcAddress("alDeleteAuxiliaryEffectSlots"));
    slotI = reinterpret_cast<LPALAUXILIARYEFFECTSLOTI>(alGetProcAddress("alAuxiliaryEffectSloti"));
    if (!genEffects || !deleteEffects || !effecti || !effectf || !effectfv || !genSlots
        || !deleteSlots || !slotI)
        genEffects = nullptr;
}

bool OpenAlSystem::init(int maxChannels, unsigned flags)
{
    // OpenAL is right-handed already, and 2D sounds ignore handedness.
    if (device || maxChannels < 1)
        return false;
    if (!openOutput())
        return false;
    if (alcIsExtensionPresent(device, "ALC_EXT_thread_local_context"))
        setThreadContext = reinterpret_cast<PFNALCSETTHREADCONTEXTPROC>(
            alcGetProcAddress(device, "alcSetThreadContext"));
    if (setThreadContext)
        setThreadContext(context);
    else
        alcMakeContextCurrent(context);
    loadEffects();

    slots.resize(static_cast<size_t>(std::min(maxChannels, kMaxChannels)));
    pcm.resize(static_cast<size_t>(kBufferFrames) * 2);
    streamer = std::thread([this] { streamLoop(); });
    if (loopback)
        renderer = std::thread([this] { renderLoop(); });
    registerOpen(this);
    return true;
}

bool OpenAlSystem::setReverbProperties(const ReverbProperties& p)
{
    if (!device || !genEffects)
        return false;
    bindContext();
    std::lock_guard<std::mutex> lock(mutex);
    alGetError();
    if (!effect) {
        genEffects(1, &effect);
        genSlots(1, &effectSlot);
        if (alGetError() != AL_NO_ERROR) {
            effect = effectSlot = 0;
            return false;
        }
    }

    // The classic environmental description, converted the way the EFX
    // presets were derived from it: levels in millibels become gains, the
    // environment size sets the density.
    const float density = clampf(p.envSize * p.envSize * p.envSize / 16.0f, 0.0f, 1.0f);
    const float diffusion = clampf(p.envDiffusion, 0.0f, 1.0f);
    const float gain = clampf(fromMillibels(static_cast<float>(p.room)), 0.0f, 1.0f);
    const float gainHF = clampf(fromMillibels(static_cast<float>(p.roomHF)), 0.0f, 1.0f);
    const float gainLF = clampf(fromMillibels(static_cast<float>(p.roomLF)), 0.0f, 1.0f);
    const float decay = clampf(p.decayTime, 0.1f, 20.0f);
    const float decayHF = clampf(p.decayHFRatio, 0.1f, 2.0f);
    const float decayLF = clampf(p.decayLFRatio, 0.1f, 2.0f);
    const float reflections = clampf(fromMillibels(static_cast<float>(p.reflections)), 0.0f, 3.16f);
    const float reflectionsDelay = clampf(p.reflectionsDelay, 0.0f, 0.3f);
    const float late = clampf(fromMillibels(static_cast<float>(p.reverb)), 0.0f, 10.0f);
    const float lateDelay = clampf(p.reverbDelay, 0.0f, 0.1f);
    const float airHF = clampf(fromMillibels(p.airAbsorptionHF), 0.892f, 1.0f);
    const float rolloff = clampf(p.roomRolloffFactor, 0.0f, 10.0f);
    const ALint decayHFLimit = (p.flags & 0x20u) ? AL_TRUE : AL_FALSE;

    effecti(effect, AL_EFFECT_TYPE, AL_EFFECT_EAXREVERB);
    if (alGetError() == AL_NO_ERROR) {
        effectf(effect, AL_EAXREVERB_DENSITY, density);
        effectf(effect, AL_EAXREVERB_DIFFUSION, diffusion);
        effectf(effect, AL_EAXREVERB_GAIN, gain);
        effectf(effect, AL_EAXREVERB_GAINHF, gainHF);
        effectf(effect, AL_EAXREVERB_GAINLF, gainLF);
        effectf(effect, AL_EAXREVERB_DECAY_TIME, decay);
        effectf(effect, AL_EAXREVERB_DECAY_HFRATIO, decayHF);
        effectf(effect, AL_EAXREVERB_DECAY_LFRATIO, decayLF);
        effectf(effect, AL_EAXREVERB_REFLECTIONS_GAIN, reflections);
        effectf(effect, AL_EAXREVERB_REFLECTIONS_DELAY, reflectionsDelay);
        effectfv(effect, AL_EAXREVERB_REFLECTIONS_PAN, p.reflectionsPan);
        effectf(effect, AL_EAXREVERB_LATE_REVERB_GAIN, late);
        effectf(effect, AL_EAXREVERB_LATE_REVERB_DELAY, lateDelay);
        effectfv(effect, AL_EAXREVERB_LATE_REVERB_PAN, p.reverbPan);
        effectf(effect, AL_EAXREVERB_ECHO_TIME, clampf(p.echoTime, 0.075f, 0.25f));
        effectf(effect, AL_EAXREVERB_ECHO_DEPTH, clampf(p.echoDepth, 0.0f, 1.0f));
        effectf(effect, AL_EAXREVERB_MODULATION_TIME, clampf(p.modulationTime, 0.04f, 4.0f));
        effectf(effect, AL_EAXREVERB_MODULATION_DEPTH, clampf(p.modulationDepth, 0.0f, 1.0f));
        effectf(effect, AL_EAXREVERB_AIR_ABSORPTION_GAINHF, airHF);
        effectf(effect, AL_EAXREVERB_HFREFERENCE, clampf(p.hfReference, 1000.0f, 20000.0f));
        effectf(effect, AL_EAXREVERB_LFREFERENCE, clampf(p.lfReference, 20.0f, 1000.0f));
        effectf(effect, AL_EAXREVERB_ROOM_ROLLOFF_FACTOR, rolloff);
        effecti(effect, AL_EAXREVERB_DECAY_HFLIMIT, decayHFLimit);
    } else {
        effecti(effect, AL_EFFECT_TYPE, AL_EFFECT_REVERB);
        effectf(effect, AL_REVERB_DENSITY, density);
        effectf(effect, AL_REVERB_DIFFUSION, diffusion);
        effectf(effect, AL_REVERB_GAIN, gain);
        effectf(effect, AL_REVERB_GAINHF, gainHF);
        effectf(effect, AL_REVERB_DECAY_TIME, decay);
        effectf(effect, AL_REVERB_DECAY_HFRATIO, decayHF);
        effectf(effect, AL_REVERB_REFLECTIONS_GAIN, clampf(reflections, 0.0f, 3.16f));
        effectf(effect, AL_REVERB_REFLECTIONS_DELAY, reflectionsDelay);
        effectf(effect, AL_REVERB_LATE_REVERB_GAIN, late);
        effectf(effect, AL_REVERB_LATE_REVERB_DELAY, lateDelay);
        effectf(effect, AL_REVERB_AIR_ABSORPTION_GAINHF, airHF);
        effectf(effect, AL_REVERB_ROOM_ROLLOFF_FACTOR, rolloff);
        effecti(effect, AL_REVERB_DECAY_HFLIMIT, decayHFLimit);
    }
    slotI(effectSlot, AL_EFFECTSLOT_EFFECT, static_cast<ALint>(effect));
    if (alGetError() != AL_NO_ERROR)
        return false;
    reverbOn = true;
    for (Slot& s : slots)
        if (s.active)
            attachReverb(s);
    return true;
}

void OpenAlSystem::attachReverb(Slot& s)
{
    if (reverbOn)
        alSource3i(s.source, AL_AUXILIARY_SEND_FILTER, static_cast<ALint>(effectSlot), 0,
                   AL_FILTER_NULL);
}

bool OpenAlSystem::createStream(const std::string& path, unsigned mode, Sound** sound)
{
    if (!sound)
        return false;
    *sound = nullptr;
    if (!device)
        return false;
    // Only the header is read here; decoding waits for the first play.
    auto file = OpenedFile::open(path);
    if (!file)
        return false;
    const bool looping = (mode & MODE_LOOP_NORMAL) && !(mode & MODE_LOOP_OFF);
    sounds.push_back(std::make_unique<OpenAlSound>(path, looping, file->rate(),
                                                   file->outputChannels()));
    *sound = sounds.back().get();
    return true;
}

bool OpenAlSystem::playSound(int channelIndex, Sound* sound, bool paused, Channel* channel)
{
    if (channel)
        *channel = Channel();
    if (!device || !sound)
        return false;
    auto owned = std::find_if(sounds.begin(), sounds.end(),
                              [sound](const auto& s) { return s.get() == sound; });
    if (owned == sounds.end())
        return false;
    const OpenAlSound& snd = **owned;

    // Every play decodes from its own handle, so one effect can overlap itself.
    auto file = OpenedFile::open(snd.path);
    if (!file)
        return false;

    bindContext();
    std::unique_lock<std::mutex> lock(mutex);
    int index = -1;
    if (channelIndex == CHANNEL_FREE) {
        for (size_t i = 0; i < slots.size(); ++i)
            if (!slots[i].active) {
                index = static_cast<int>(i);
                break;
            }
    } else if (channelIndex >= 0 && channelIndex < static_cast<int>(slots.size())) {
        index = channelIndex;
    }
    if (index < 0)
        return false;

    Slot& s = slots[static_cast<size_t>(index)];
    if (s.active)
        release(s);
    if (!acquire(s))
        return false;

    ++s.generation;
    s.file = std::move(file);
    s.channels = s.file->outputChannels();
    s.format = s.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    s.rate = s.file->rate();
    s.nextFrame = 0;
    s.passFrames = 0;
    s.playedFrame = 0;
    s.looping = snd.looping;
    s.paused = paused;
    s.decoded = false;
    s.refilledWhileStopped = false;
    s.active = true;

    // A 2D voice: it stays at the listener, panned only if it is mono.
    alSourcei(s.source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(s.source, AL_ROLLOFF_FACTOR, 0.0f);
    alSourcei(s.source, AL_LOOPING, AL_FALSE);
    alSource3f(s.source, AL_POSITION, snd.pan, 0.0f, -std::sqrt(1.0f - snd.pan * snd.pan));
    alSourcef(s.source, AL_PITCH, snd.pitch);
    alSourcef(s.source, AL_GAIN, snd.volume);
    attachReverb(s);

    for (int i = 0; i < kBuffersAtStart && !s.decoded; ++i)
        queueNext(s);
    if (!paused)
        alSourcePlay(s.source);

    if (channel)
        *channel = makeChannel(this, index, s.generation);
    lock.unlock();
    wake.notify_one();
    return true;
}

Slot* OpenAlSystem::live(int slot, unsigned generation)
{
    if (slot < 0 || slot >= static_cast<int>(slots.size()))
        return nullptr;
    Slot& s = slots[static_cast<size_t>(slot)];
    return s.active && s.generation == generation ? &s : nullptr;
}

bool OpenAlSystem::acquire(Slot& s)
{
    alGetError();
    alGenSources(1, &s.source);
    if (alGetError() != AL_NO_ERROR) {
        s.source = 0;
        return false;
    }
    ALuint ids[kBuffersPerChannel];
    alGenBuffers(kBuffersPerChannel, ids);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &s.source);
        s.source = 0;
        return false;
    }
    s.spare.assign(ids, ids + kBuffersPerChannel);
    return true;
}

void OpenAlSystem::release(Slot& s)
{
    alSourceStop(s.source);
    alSourcei(s.source, AL_BUFFER, 0); // unqueues every buffer of a stopped source
    alDeleteSources(1, &s.source);
    s.source = 0;
    for (const QueuedBuffer& q : s.queued)
        s.spare.push_back(q.id);
    s.queued.clear();
    alDeleteBuffers(static_cast<ALsizei>(s.spare.size()), s.spare.data());
    s.spare.clear();
    s.file.reset();
    s.refilledWhileStopped = false;
    s.active = false;
}

bool OpenAlSystem::queueNext(Slot& s)
{
    if (s.spare.empty() || s.decoded)
        return false;
    const int64_t first = s.nextFrame;
    long got = 0;
    while (got < kBufferFrames) {
        long n = s.file->read(pcm.data() + got * s.channels, kBufferFrames - got);
        if (n > 0) {
            got += n;
            s.nextFrame += n;
            continue;
        }
        // The end (or an unreadable rest) of the file. A loop starts over;
        // a file that gives nothing from its start would loop forever.
        if (!s.looping || s.nextFrame == 0 || !s.file->rewind()) {
            s.decoded = true;
            break;
        }
        s.passFrames = s.nextFrame;
        s.nextFrame = 0;
    }
    if (got == 0)
        return false;
    const ALuint id = s.spare.back();
    alBufferData(id, s.format, pcm.data(),
                 static_cast<ALsizei>(got * s.channels * static_cast<long>(sizeof(int16_t))), s.rate);
    alSourceQueueBuffers(s.source, 1, &id);
    s.spare.pop_back();
    s.queued.push_back({id, first, static_cast<int>(got)});
    return true;
}

void OpenAlSystem::service(Slot& s, bool& wantsMore)
{
    // Processed first, state second: a source seen stopped has played every
    // buffer it held, whatever the earlier count said.
    ALint processed = 0;
    alGetSourcei(s.source, AL_BUFFERS_PROCESSED, &processed);
    ALint state = AL_INITIAL;
    alGetSourcei(s.source, AL_SOURCE_STATE, &state);
    const bool stopped = state == AL_STOPPED;
    if (stopped && s.refilledWhileStopped) {
        // A stopped source reports even its fresh buffers as processed;
        // they wait, unplayed, for the channel to be unpaused.
        if (!s.paused) {
            s.refilledWhileStopped = false;
            alSourcePlay(s.source);
        }
        return;
    }
    if (stopped)
        processed = static_cast<ALint>(s.queued.size());
    for (; processed > 0 && !s.queued.empty(); --processed) {
        ALuint id = 0;
        alSourceUnqueueBuffers(s.source, 1, &id);
        const QueuedBuffer& q = s.queued.front();
        s.playedFrame = q.firstFrame + q.frames;
        s.spare.push_back(q.id);
        s.queued.pop_front();
    }

    if (stopped) {
        for (int i = 0; i < kBuffersAtStart; ++i)
            queueNext(s);
        if (s.queued.empty())
            release(s); // played to the end: the channel is over
        else if (s.paused)
            s.refilledWhileStopped = true;
        else
            alSourcePlay(s.source); // ran dry while the machine was busy
        return;
    }

    // One buffer per pass, so a channel starting a long file does not hold
    // the lock while it decodes a whole queue.
    if (queueNext(s) && !s.decoded && !s.spare.empty())
        wantsMore = true;
}

void OpenAlSystem::streamLoop()
{
    if (setThreadContext)
        setThreadContext(context);
    std::unique_lock<std::mutex> lock(mutex);
    while (!quit) {
        bool wantsMore = false;
        for (Slot& s : slots)
            if (s.active)
                service(s, wantsMore);
        if (wantsMore) {
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
            continue;
        }
        wake.wait_for(lock, kStreamPeriod);
    }
    lock.unlock();
    if (setThreadContext)
        setThreadContext(nullptr);
}

void OpenAlSystem::renderLoop()
{
    using clock = std::chrono::steady_clock;
    std::vector<int16_t> discard(static_cast<size_t>(kRenderFrames) * 2);
    const clock::time_point start = clock::now();
    int64_t rendered = 0;
    while (!renderQuit) {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::microseconds>(clock::now() - start).count();
        const int64_t due = static_cast<int64_t>(elapsed) * kSilentRate / 1000000;
        // After a stall longer than a second, give up the excess rather than
        // race through it: the streams could not have kept up anyway.
        if (due - rendered > kSilentRate)
            rendered = due - kSilentRate;
        while (rendered + kRenderFrames <= due) {
            renderSamples(device, discard.data(), kRenderFrames);
            rendered += kRenderFrames;
        }
        std::this_thread::sleep_until(
            start + std::chrono::microseconds((rendered + kRenderFrames) * 1000000 / kSilentRate));
    }
}

bool OpenAlSystem::channelSetPaused(int slot, unsigned generation, bool paused)
{
    bindContext();
    std::unique_lock<std::mutex> lock(mutex);
    Slot* s = live(slot, generation);
    if (!s)
        return false;
    s->paused = paused;
    ALint state = AL_INITIAL;
    alGetSourcei(s->source, AL_SOURCE_STATE, &state);
    if (paused && state == AL_PLAYING)
        alSourcePause(s->source);
    // Playing an already playing source would restart it.
    else if (!paused && (state == AL_PAUSED || state == AL_INITIAL || s->refilledWhileStopped)) {
        s->refilledWhileStopped = false;
        alSourcePlay(s->source);
    }
    lock.unlock();
    wake.notify_one();
    return true;
}

bool OpenAlSystem::channelSetVolume(int slot, unsigned generation, float volume)
{
    if (std::isnan(volume))
        return false;
    bindContext();
    std::lock_guard<std::mutex> lock(mutex);
    Slot* s = live(slot, generation);
    if (!s)
        return false;
    alSourcef(s->source, AL_GAIN, clampf(volume, 0.0f, 1.0f));
    return true;
}

bool OpenAlSystem::channelGetVolume(int slot, unsigned generation, float* volume)
{
    bindContext();
    std::lock_guard<std::mutex> lock(mutex);
    Slot* s = live(slot, generation);
    if (!s)
        return false;
    ALfloat gain = 0.0f;
    alGetSourcef(s->source, AL_GAIN, &gain);
    *volume = gain;
    return true;
}

bool OpenAlSystem::channelGetPosition(int slot, unsigned generation, unsigned* positionMs)
{
    bindContext();
    std::lock_guard<std::mutex> lock(mutex);
    Slot* s = live(slot, generation);
    if (!s)
        return false;

    // What the listener hears: the file frame under the source's read point,
    // found by walking the queue (processed buffers still on it included,
    // as the sample offset counts them).
    int64_t frame = s->playedFrame;
    if (!s->queued.empty()) {
        ALint state = AL_INITIAL;
        alGetSourcei(s->source, AL_SOURCE_STATE, &state);
        const QueuedBuffer& last = s->queued.back();
        frame = s->refilledWhileStopped ? s->queued.front().firstFrame : last.firstFrame + last.frames;
        if (state != AL_STOPPED) {
            ALint offset = 0;
            alGetSourcei(s->source, AL_SAMPLE_OFFSET, &offset);
            for (const QueuedBuffer& q : s->queued) {
                if (offset < q.frames) {
                    frame = q.firstFrame + offset;
                    break;
                }
                offset -= q.frames;
            }
        }
    }
    if (s->passFrames > 0)
        frame %= s->passFrames;
    *positionMs = static_cast<unsigned>(frame * 1000 / s->rate);
    return true;
}

bool OpenAlSystem::channelStop(int slot, unsigned generation)
{
    bindContext();
    std::lock_guard<std::mutex> lock(mutex);
    Slot* s = live(slot, generation);
    if (!s)
        return false;
    release(*s);
    return true;
}

} // namespace

bool createSystem(System** system, Output output)
{
    if (!system)
        return false;
    *system = new OpenAlSystem(output);
    return true;
}

bool createSystem(System** system)
{
    return createSystem(system, Output::Default);
}

} // namespace audio
