// The real audio back end on its silent output, which every machine has:
// positions there follow the wall clock as they would on a sound card.
#include "platform/devices/audio.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <malloc.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

long msSince(Clock::time_point t)
{
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

void put16(std::ofstream& out, uint16_t v) { out.put(char(v & 0xFF)).put(char(v >> 8)); }
void put32(std::ofstream& out, uint32_t v)
{
    put16(out, uint16_t(v & 0xFFFF));
    put16(out, uint16_t(v >> 16));
}

// A 16-bit PCM sine tone.
void writeWav(const std::string& path, double seconds, int rate, int channels, double hz)
{
    const uint32_t frames = uint32_t(seconds * rate);
    const uint32_t bytes = frames * uint32_t(channels) * 2;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, uint16_t(channels));
    put32(out, uint32_t(rate));
    put32(out, uint32_t(rate * channels * 2));
    put16(out, uint16_t(channels * 2));
    put16(out, 16);
    out.write("data", 4);
    put32(out, bytes);
    for (uint32_t i = 0; i < frames; ++i) {
        const auto v = int16_t(8000.0 * std::sin(2.0 * M_PI * hz * i / rate));
        for (int c = 0; c < channels; ++c)
            put16(out, uint16_t(v));
    }
}

class AudioBackEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tess-audio-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        audio::System* s = nullptr;
        ASSERT_TRUE(audio::createSystem(&s, audio::Output::Silent));
        system.reset(s);
        ASSERT_TRUE(system->init(100, audio::INIT_3D_RIGHTHANDED));
    }

    void TearDown() override
    {
        system.reset(); // stops its threads while files are still there
        std::system(("rm -rf '" + dir + "'").c_str());
    }

    std::string wav(const std::string& name, double seconds, int rate = 44100, int channels = 2)
    {
        const std::string path = dir + "/" + name;
        writeWav(path, seconds, rate, channels, 440.0);
        return path;
    }

    audio::Sound* open(const std::string& path, unsigned mode = audio::MODE_HARDWARE)
    {
        audio::Sound* sound = nullptr;
        EXPECT_TRUE(system->createStream(path, mode, &sound)) << path;
        return sound;
    }

    audio::Channel play(audio::Sound* sound, bool paused = false)
    {
        audio::Channel channel;
        EXPECT_TRUE(system->playSound(audio::CHANNEL_FREE, sound, paused, &channel));
        return channel;
    }

    static unsigned position(audio::Channel& channel)
    {
        unsigned ms = 123456;
        EXPECT_TRUE(channel.getPosition(&ms));
        return ms;
    }

    std::string dir;
    std::unique_ptr<audio::System> system;
};

TEST_F(AudioBackEnd, PositionFollowsTheWallClock)
{
    // Four seconds: longer than the queued buffers, so the streaming thread
    // has to keep refilling for the position to keep pace.
    audio::Channel channel = play(open(wav("tone.wav", 4.0)));
    sleepMs(100);
    const unsigned before = position(channel);
    const Clock::time_point start = Clock::now();
    sleepMs(1000);
    const unsigned after = position(channel);
    const long wall = msSince(start);
    EXPECT_NEAR(double(after - before), double(wall), 50.0);
}

TEST_F(AudioBackEnd, TwoMusicStreamsAndSixEffectsPlayAtOnce)
{
    // Under the game's long-tailed reverb, which every voice is sent through.
    const audio::ReverbProperties dizzy = {0, 24, 1.8f, 0.6f, -1000, -400, 0, 17.23f, 0.56f, 1.0f,
                                           -1713, 0.02f, {0, 0, 0}, -613, 0.03f, {0, 0, 0},
                                           0.25f, 1.0f, 0.81f, 0.31f, -5.0f, 5000.0f, 250.0f,
                                           0.0f, 100.0f, 100.0f, 0x1F};
    EXPECT_TRUE(system->setReverbProperties(dizzy));
    // Different rates and layouts on purpose: the mixer resamples each.
    audio::Sound* musicA = open(wav("a.wav", 4.0, 44100, 2));
    audio::Sound* musicB = open(wav("b.wav", 4.0, 22050, 1), audio::MODE_LOOP_NORMAL);
    audio::Sound* effect = open(wav("fx.wav", 3.0, 44100, 1));
    std::vector<audio::Channel> channels{play(musicA), play(musicB)};
    for (int i = 0; i < 6; ++i)
        channels.push_back(play(effect));

    sleepMs(100);
    std::vector<unsigned> before;
    for (auto& c : channels)
        before.push_back(position(c));
    const Clock::time_point start = Clock::now();
    sleepMs(600);
    const long wall = msSince(start);
    for (size_t i = 0; i < channels.size(); ++i)
        EXPECT_NEAR(double(position(channels[i]) - before[i]), double(wall), 50.0)
            << "channel " << i;
}

TEST_F(AudioBackEnd, PauseHoldsThePositionAndResumeGoesOnFromIt)
{
    audio::Channel channel = play(open(wav("tone.wav", 3.0)));
    sleepMs(300);
    ASSERT_TRUE(channel.setPaused(true));
    const unsigned paused = position(channel);
    EXPECT_GE(paused, 200u);
    sleepMs(400);
    EXPECT_EQ(position(channel), paused);

    // Unpausing twice must not restart the stream.
    ASSERT_TRUE(channel.setPaused(false));
    ASSERT_TRUE(channel.setPaused(false));
    sleepMs(300);
    const unsigned resumed = position(channel);
    EXPECT_GE(resumed, paused + 200);
    EXPECT_LE(resumed, paused + 450);
}

TEST_F(AudioBackEnd, SoundStartedPausedWaitsAtTheStart)
{
    audio::Channel channel = play(open(wav("tone.wav", 3.0)), true);
    sleepMs(300);
    EXPECT_EQ(position(channel), 0u);
    ASSERT_TRUE(channel.setPaused(false));
    sleepMs(300);
    EXPECT_GE(position(channel), 200u);
}

TEST_F(AudioBackEnd, LoopingStreamWrapsAndOneShotEnds)
{
    audio::Channel loop = play(open(wav("loop.wav", 0.4), audio::MODE_HARDWARE | audio::MODE_LOOP_NORMAL));
    audio::Channel once = play(open(wav("once.wav", 0.3)));

    // Sample the looping channel for three passes: it stays below its length
    // and goes back to the start at least twice.
    unsigned last = 0;
    int wraps = 0;
    const Clock::time_point start = Clock::now();
    while (msSince(start) < 1200) {
        const unsigned now = position(loop);
        EXPECT_LT(now, 400u);
        if (now < last)
            ++wraps;
        last = now;
        sleepMs(20);
    }
    EXPECT_GE(wraps, 2);

    // The one-shot has ended: its handle is stale.
    unsigned ms = 999;
    EXPECT_FALSE(once.getPosition(&ms));
    EXPECT_EQ(ms, 0u);
    EXPECT_FALSE(once.setPaused(false));
    EXPECT_FALSE(once.stop());
}

TEST_F(AudioBackEnd, EmptyStoppedAndReusedHandlesDoNothing)
{
    audio::System* s = nullptr;
    ASSERT_TRUE(audio::createSystem(&s, audio::Output::Silent));
    std::unique_ptr<audio::System> single(s);
    ASSERT_TRUE(single->init(1, audio::INIT_NORMAL));
    audio::Sound* sound = nullptr;
    ASSERT_TRUE(single->createStream(wav("tone.wav", 3.0), audio::MODE_HARDWARE, &sound));

    audio::Channel stopped;
    ASSERT_TRUE(single->playSound(audio::CHANNEL_FREE, sound, false, &stopped));
    ASSERT_TRUE(stopped.stop());
    // The only channel is free again: the new sound takes it over.
    audio::Channel reused;
    ASSERT_TRUE(single->playSound(audio::CHANNEL_FREE, sound, false, &reused));
    audio::Channel replaced = reused;
    audio::Channel current;
    ASSERT_TRUE(single->playSound(0, sound, false, &current));

    struct Case {
        const char* name;
        audio::Channel channel;
    } cases[] = {{"empty", audio::Channel()}, {"stopped", stopped}, {"replaced", replaced}};
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        unsigned ms = 777;
        float volume = 7.0f;
        EXPECT_FALSE(c.channel.setPaused(true));
        EXPECT_FALSE(c.channel.setVolume(0.1f));
        EXPECT_FALSE(c.channel.getPosition(&ms));
        EXPECT_EQ(ms, 0u);
        EXPECT_FALSE(c.channel.getVolume(&volume));
        EXPECT_EQ(volume, 0.0f);
        EXPECT_FALSE(c.channel.stop());
    }

    // None of that touched the channel now on the slot.
    sleepMs(200);
    float volume = 0.0f;
    ASSERT_TRUE(current.getVolume(&volume));
    EXPECT_EQ(volume, 1.0f);
    EXPECT_GE(position(current), 100u);

    // With every channel busy there is no free one to start.
    audio::Channel none;
    EXPECT_FALSE(single->playSound(audio::CHANNEL_FREE, sound, false, &none));
    EXPECT_TRUE(none.isEmpty());
}

TEST_F(AudioBackEnd, VolumeIsClampedAndDefaultsApply)
{
    audio::Sound* sound = open(wav("tone.wav", 3.0));
    ASSERT_TRUE(sound->setDefaults(44100.0f, 0.25f, 0.0f, 120));
    audio::Channel channel = play(sound);
    float volume = 0.0f;
    ASSERT_TRUE(channel.getVolume(&volume));
    EXPECT_FLOAT_EQ(volume, 0.25f);

    const struct {
        float asked, got;
    } cases[] = {{-1.0f, 0.0f}, {0.3f, 0.3f}, {2.0f, 1.0f}, {1.0f, 1.0f}};
    for (const auto& c : cases) {
        EXPECT_TRUE(channel.setVolume(c.asked)) << c.asked;
        ASSERT_TRUE(channel.getVolume(&volume));
        EXPECT_FLOAT_EQ(volume, c.got) << c.asked;
    }

    audio::Sound* loud = open(wav("loud.wav", 1.0));
    ASSERT_TRUE(loud->setDefaults(44100.0f, 3.0f, 0.0f, 120));
    audio::Channel second = play(loud);
    ASSERT_TRUE(second.getVolume(&volume));
    EXPECT_FLOAT_EQ(volume, 1.0f);
    EXPECT_FALSE(loud->setDefaults(0.0f, 0.5f, 0.0f, 120));
}

TEST_F(AudioBackEnd, DefaultFrequencySetsThePlaybackRate)
{
    // Played at half its rate, a second of wall time covers half a second of file.
    audio::Sound* sound = open(wav("tone.wav", 3.0));
    ASSERT_TRUE(sound->setDefaults(22050.0f, 1.0f, 0.0f, 120));
    audio::Channel channel = play(sound);
    sleepMs(100);
    const unsigned before = position(channel);
    const Clock::time_point start = Clock::now();
    sleepMs(1000);
    const unsigned after = position(channel);
    EXPECT_NEAR(double(after - before), msSince(start) / 2.0, 50.0);
}

TEST_F(AudioBackEnd, UnopenableFileGivesNullSoundThatPlaysNothing)
{
    const std::string text = dir + "/notes.wav";
    std::ofstream(text) << "not a sound file\n";
    for (const std::string& path : {dir + "/missing.wav", text, dir}) {
        audio::Sound* sound = reinterpret_cast<audio::Sound*>(0x1);
        EXPECT_FALSE(system->createStream(path, audio::MODE_HARDWARE, &sound)) << path;
        EXPECT_EQ(sound, nullptr) << path;
    }
    audio::Channel channel;
    EXPECT_FALSE(system->playSound(audio::CHANNEL_FREE, nullptr, false, &channel));
    EXPECT_TRUE(channel.isEmpty());
}

TEST_F(AudioBackEnd, NothingOpensBeforeInit)
{
    audio::System* s = nullptr;
    ASSERT_TRUE(audio::createSystem(&s, audio::Output::Silent));
    std::unique_ptr<audio::System> fresh(s);
    audio::Sound* sound = nullptr;
    EXPECT_FALSE(fresh->createStream(wav("tone.wav", 0.5), audio::MODE_HARDWARE, &sound));
    EXPECT_EQ(sound, nullptr);
}

TEST_F(AudioBackEnd, Mp3StreamsPlayAndLoop)
{
    if (std::system("command -v lame >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "lame is not installed";
    const std::string source = wav("tone.wav", 1.0);
    const std::string mp3 = dir + "/tone.mp3";
    ASSERT_EQ(std::system(("lame --quiet '" + source + "' '" + mp3 + "'").c_str()), 0);

    audio::Channel once = play(open(mp3));
    audio::Channel loop = play(open(mp3, audio::MODE_LOOP_NORMAL));
    sleepMs(500);
    const unsigned half = position(once);
    EXPECT_GE(half, 400u);
    EXPECT_LE(half, 600u);

    sleepMs(1000);
    unsigned ended = 1;
    EXPECT_FALSE(once.getPosition(&ended)); // a one-second file, over
    // 1.5 s into a 1 s loop.
    const unsigned wrapped = position(loop);
    EXPECT_GE(wrapped, 400u);
    EXPECT_LE(wrapped, 600u);
}

long heapInUse() { return long(mallinfo2().uordblks); }

TEST_F(AudioBackEnd, SoundsThatEndGiveBackTheirMemory)
{
    // A game's worth of shots: 1,500 short sounds, many at once, each left
    // to end on its own or stopped.
    audio::Sound* shot = open(wav("shot.wav", 0.02));
    const auto burst = [&](int count, bool stopHalf) {
        std::vector<audio::Channel> channels;
        for (int i = 0; i < count; ++i)
            channels.push_back(play(shot));
        if (stopHalf)
            for (size_t i = 0; i < channels.size(); i += 2)
                channels[i].stop();
        // The mixer keeps real time, but a loaded machine may run it late:
        // the sounds are given a few seconds to end, not a fixed 120 ms.
        const auto playing = [&channels] {
            int n = 0;
            for (audio::Channel& c : channels) {
                unsigned ms = 1;
                n += c.getPosition(&ms) ? 1 : 0;
            }
            return n;
        };
        for (int waited = 0; waited < 5000 && playing() > 0; waited += 20)
            sleepMs(20);
        EXPECT_EQ(playing(), 0) << "20 ms sounds still playing after 5 s";
    };
    const long before = heapInUse();
    burst(50, false);
    const long afterOne = heapInUse();
    for (int i = 0; i < 29; ++i)
        burst(50, i % 2 == 1);
    const long afterAll = heapInUse();
    std::printf("heap in use: before %ld, after 50 sounds %ld, after 1500 %ld\n", before, afterOne,
                afterAll);
    // 1,450 more sounds: keeping even 24 bytes each would pass the bound.
    // What does grow is the library's own pools when a loaded machine lets
    // more sounds overlap (10 KiB on a quiet machine, up to 18 under load).
    EXPECT_LT(afterAll - afterOne, 32 * 1024);
    // What stays is the library's tables of sources and buffers (about
    // 70 KiB). Channels that kept their sources and buffers, sound data and
    // all, left about 240 KiB here.
    EXPECT_LT(afterAll - before, 128 * 1024);
}

// OpenAL cleans up at exit and complains, or aborts, when a device is still
// open then. A system its owner never deleted, with a sound playing, must
// let the process exit quietly with its own status.
TEST(AudioExit, ASystemLeftOpenClosesBeforeTheLibraryCleansUp)
{
    char dir[] = "/tmp/tess-audio-exit-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string tone = std::string(dir) + "/tone.wav";
    const std::string err = std::string(dir) + "/stderr.txt";
    writeWav(tone, 2.0, 44100, 2, 440.0);
    std::fflush(nullptr);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (!std::freopen(err.c_str(), "w", stderr))
            _exit(3);
        audio::System* system = nullptr;
        audio::Sound* sound = nullptr;
        audio::Channel channel;
        if (!audio::createSystem(&system, audio::Output::Silent) || !system->init(8, 0)
            || !system->createStream(tone, audio::MODE_HARDWARE, &sound)
            || !system->playSound(audio::CHANNEL_FREE, sound, false, &channel))
            _exit(4);
        sleepMs(100);
        std::exit(7); // the system is never deleted
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    std::ifstream in(err);
    const std::string printed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::system(("rm -rf '" + std::string(dir) + "'").c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << ": " << printed;
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_EQ(printed, "");
}

} // namespace
