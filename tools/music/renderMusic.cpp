// Renders the game music from the song score, so that the notes the rhythm
// judges grade are the notes the player hears.
//
// The score is built and its section started at song time -2, exactly as the
// world does, and every note (a leaf with a value above 0) of every track
// becomes a short synthesized tone at its occurrence's song time: sample
// position = song time, so the music's playing position is song time. The
// value picks the pitch (a step of a minor pentatonic scale), the track the
// register and timbre. Writes a mono 16-bit 44.1 kHz WAV; the build encodes
// it to MP3.
//
// Usage: renderMusic OUT.wav
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "song/scoreData.h"
#include "song/songScore.h"

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
// The file runs on past the end of the song by this much.
constexpr int kTailMs = 1500;
constexpr int kSectionStartMs = -2;

enum class Kind { Pluck, Lead, Bell, Pad, Kick, Snare, Hat, Click };

struct Voice {
    Kind kind;
    double baseHz;   // pitch of the lowest value
    double gain;
};

// Register and timbre of each track.
Voice voiceOf(int trackId)
{
    switch (trackId) {
    case 0: return {Kind::Lead, 440.0, 0.30};
    case 1: return {Kind::Pluck, 440.0, 0.30};
    case 2: return {Kind::Lead, 440.0, 0.28};
    case 3: return {Kind::Pad, 110.0, 0.30};
    case 4: return {Kind::Bell, 880.0, 0.22};
    case 5: return {Kind::Pad, 110.0, 0.28};
    case 6: return {Kind::Hat, 0.0, 0.22};
    case 7: return {Kind::Pluck, 220.0, 0.22};
    case 8: return {Kind::Pad, 220.0, 0.22};
    case 9: return {Kind::Pad, 110.0, 0.30};
    case 10: return {Kind::Lead, 440.0, 0.26};
    case 11: return {Kind::Pluck, 880.0, 0.20};
    case 12: return {Kind::Kick, 0.0, 0.55};
    case 13: return {Kind::Hat, 0.0, 0.18};
    case 14: return {Kind::Pluck, 440.0, 0.24};
    case 15: return {Kind::Pluck, 110.0, 0.32};
    case 16: return {Kind::Pad, 220.0, 0.22};
    case 17: return {Kind::Pad, 220.0, 0.20};
    case 19: return {Kind::Bell, 880.0, 0.18};
    case 20: return {Kind::Lead, 440.0, 0.24};
    case 21: return {Kind::Pluck, 110.0, 0.30};
    case 22: return {Kind::Pad, 220.0, 0.20};
    case 23: return {Kind::Pad, 220.0 * 1.5, 0.16};
    case 24: return {Kind::Pad, 110.0, 0.20};
    case 25: return {Kind::Pad, 110.0 * 1.5, 0.16};
    case 27: return {Kind::Bell, 440.0, 0.20};
    case 28: return {Kind::Click, 1760.0, 0.12};
    case 29: return {Kind::Snare, 0.0, 0.22};
    default: return {Kind::Pluck, 440.0, 0.2};
    }
}

// The song's note values in rising order, each a step of the scale.
int scaleStep(float value)
{
    static const float values[] = {0.1f, 0.2f, 0.25f, 0.3f, 0.4f, 0.5f, 0.55f, 0.6f, 0.7f, 0.8f, 0.9f};
    static const int semitones[] = {0, 3, 5, 7, 10, 12, 15, 17, 19, 22, 24};
    int best = 0;
    for (int i = 0; i < 11; ++i)
        if (std::fabs(values[i] - value) < std::fabs(values[best] - value))
            best = i;
    return semitones[best];
}

// A small deterministic noise source.
struct Noise {
    std::uint32_t state = 0x12345678u;
    double next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }
};

// Adds one tone starting at sample `at` (may be negative: the part before 0 is cut).
void addTone(std::vector<float>& mix, long at, const Voice& v, float value, int durationMs, Noise& noise)
{
    const double hz = v.baseHz * std::pow(2.0, scaleStep(value) / 12.0);
    int lengthMs = 0;
    double decayMs = 0;
    switch (v.kind) {
    case Kind::Pluck: lengthMs = std::clamp(durationMs, 120, 450); decayMs = lengthMs / 3.5; break;
    case Kind::Lead: lengthMs = std::clamp(durationMs, 110, 400); decayMs = lengthMs / 2.5; break;
    case Kind::Bell: lengthMs = 700; decayMs = 220; break;
    case Kind::Pad: lengthMs = std::clamp(durationMs, 250, 1800); decayMs = 0; break;
    case Kind::Kick: lengthMs = 220; decayMs = 70; break;
    case Kind::Snare: lengthMs = 160; decayMs = 45; break;
    case Kind::Hat: lengthMs = 60; decayMs = 14; break;
    case Kind::Click: lengthMs = 45; decayMs = 10; break;
    }
    const long length = static_cast<long>(lengthMs) * kRate / 1000;
    const long attack = kRate * 3 / 1000;
    const long release = kRate * 8 / 1000;
    double phase = 0.0, lowpass = 0.0;
    for (long i = 0; i < length; ++i) {
        const long pos = at + i;
        if (pos >= static_cast<long>(mix.size()))
            break;
        const double t = static_cast<double>(i) / kRate;
        double env;
        if (v.kind == Kind::Pad) {
            // Soft swell, held, then faded over the last third.
            const double a = std::min(1.0, i / (kRate * 0.03));
            const double r = std::min(1.0, (length - i) / (length / 3.0));
            env = a * r;
        } else {
            env = std::exp(-t * 1000.0 / decayMs) * std::min(1.0, static_cast<double>(i) / attack);
        }
        env *= std::min(1.0, static_cast<double>(length - i) / release);
        double s = 0.0;
        switch (v.kind) {
        case Kind::Pluck:
            phase += hz / kRate;
            s = std::sin(2 * kPi * phase) + 0.35 * std::sin(4 * kPi * phase) * std::exp(-t * 30);
            break;
        case Kind::Lead: {
            phase += hz / kRate;
            const double x = phase - std::floor(phase);
            const double tri = 4.0 * std::fabs(x - 0.5) - 1.0;
            s = 0.8 * tri + 0.25 * std::sin(6 * kPi * phase);
            break;
        }
        case Kind::Bell:
            phase += hz / kRate;
            s = std::sin(2 * kPi * phase) + 0.4 * std::sin(2 * kPi * phase * 2.76) * std::exp(-t * 8);
            break;
        case Kind::Pad:
            phase += hz / kRate;
            s = std::sin(2 * kPi * phase) + 0.3 * std::sin(4 * kPi * phase) + 0.12 * std::sin(6 * kPi * phase);
            break;
        case Kind::Kick: {
            // A falling sine: the pitch sweeps from 150 Hz down to 45 Hz.
            const double f = 45.0 + 105.0 * std::exp(-t * 30);
            phase += f / kRate;
            s = std::sin(2 * kPi * phase) * (value > 0.15f ? 0.75 : 1.0);
            break;
        }
        case Kind::Snare:
            phase += 190.0 / kRate;
            s = 0.6 * noise.next() + 0.5 * std::sin(2 * kPi * phase) * std::exp(-t * 40);
            break;
        case Kind::Hat: {
            // High-passed noise; higher values sound brighter.
            const double n = noise.next();
            const double k = 0.35 + 0.6 * value;
            lowpass += (n - lowpass) * (1.0 - k);
            s = n - lowpass;
            break;
        }
        case Kind::Click:
            phase += hz * std::pow(2.0, scaleStep(value) / 24.0) / kRate;
            s = std::sin(2 * kPi * phase);
            break;
        }
        if (pos >= 0)
            mix[static_cast<std::size_t>(pos)] += static_cast<float>(s * env * v.gain);
    }
}

void put16(std::FILE* f, std::uint16_t v)
{
    const unsigned char b[2] = {static_cast<unsigned char>(v & 0xff), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

void put32(std::FILE* f, std::uint32_t v)
{
    put16(f, static_cast<std::uint16_t>(v & 0xffff));
    put16(f, static_cast<std::uint16_t>(v >> 16));
}

bool writeWav(const char* path, const std::vector<float>& mix, float scale)
{
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr)
        return false;
    const std::uint32_t bytes = static_cast<std::uint32_t>(mix.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 1);            // PCM
    put16(f, 1);            // mono
    put32(f, kRate);
    put32(f, kRate * 2);    // bytes per second
    put16(f, 2);            // block align
    put16(f, 16);           // bits
    std::fwrite("data", 1, 4, f);
    put32(f, bytes);
    std::vector<std::int16_t> out(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i) {
        const float s = std::clamp(mix[i] * scale, -1.0f, 1.0f);
        out[i] = static_cast<std::int16_t>(std::lround(s * 32767.0f));
    }
    std::fwrite(out.data(), 2, out.size(), f);
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.wav\n", argv[0]);
        return 2;
    }
    songScore score;
    timeEventSection* section = score.buildSong();
    section->start(kSectionStartMs);   // as the world starts it
    const int endMs = kSectionStartMs + section->getDuration();
    std::vector<float> mix(static_cast<std::size_t>((static_cast<long>(endMs) + kTailMs) * kRate / 1000), 0.0f);

    Noise noise;
    long notes = 0;
    for (const scoredata::Block& block : scoredata::song().blocks) {
        const Voice voice = voiceOf(block.trackId);
        for (int n = block.firstEvent; n <= block.lastEvent; ++n) {
            const timeEvent& e = score.event(n);
            if (!e.children.empty() || e.value <= 0.0f)
                continue;
            for (const auto& occurrence : e.occurrences) {
                // Sample position = song time; exact to the sample.
                const long at = static_cast<long>(occurrence.first) * kRate / 1000;
                addTone(mix, at, voice, e.value, e.duration, noise);
                ++notes;
            }
        }
    }

    float peak = 0.0f;
    for (float s : mix)
        peak = std::max(peak, std::fabs(s));
    const float scale = peak > 0.0f ? 0.89f / peak : 1.0f;   // about -1 dBFS at the loudest
    if (!writeWav(argv[1], mix, scale)) {
        std::fprintf(stderr, "renderMusic: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("renderMusic: %ld notes, %.1f s, song ends at %d ms\n", notes,
                static_cast<double>(mix.size()) / kRate, endMs);
    return 0;
}
