// Synthesizes the game's sound effects and its menu tune.
//
//   tess_mediagen EFFECTS_DIR TUNE_WAV
//
// writes the six effects as 44.1 kHz mono 16-bit WAV files into EFFECTS_DIR
// and the menu tune as a 44.1 kHz stereo WAV file to TUNE_WAV (the build
// encodes it to MP3). Everything is computed from fixed seeds, so every
// build makes the same files.
//
// The tune is rendered into a ring exactly one loop long: notes that ring
// past the end fold back onto the start, so the loop has no seam.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// A small deterministic noise source (xorshift), values in -1..1.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed ? seed : 1) {}
    double next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state / 2147483648.0 - 1.0;
    }

private:
    uint32_t state;
};

// Chamberlin state-variable low-pass; stable for cut-offs below about a
// sixth of the sample rate, which every caller keeps to.
class LowPass {
public:
    double step(double in, double cutoffHz, double damping = 1.0)
    {
        const double f = 2.0 * std::sin(kPi * std::min(cutoffHz, kRate / 7.0) / kRate);
        low += f * band;
        const double high = in - low - damping * band;
        band += f * high;
        return low;
    }

private:
    double low = 0.0;
    double band = 0.0;
};

double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Exponential glide from a to b over the duration, t in seconds.
double glide(double a, double b, double t, double duration)
{
    return a * std::pow(b / a, std::min(t / duration, 1.0));
}

void normalize(std::vector<float>& samples, double peak)
{
    float most = 0.0f;
    for (float s : samples)
        most = std::max(most, std::fabs(s));
    if (most > 0.0f)
        for (float& s : samples)
            s = float(s * peak / most);
}

void put16(FILE* f, unsigned v)
{
    std::fputc(int(v & 0xFF), f);
    std::fputc(int((v >> 8) & 0xFF), f);
}

void put32(FILE* f, uint32_t v)
{
    put16(f, v & 0xFFFF);
    put16(f, v >> 16);
}

// Interleaved float samples in -1..1 to a 16-bit PCM WAV file.
bool writeWav(const std::string& path, const std::vector<float>& samples, int channels)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    const uint32_t bytes = uint32_t(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 1);
    put16(f, unsigned(channels));
    put32(f, kRate);
    put32(f, uint32_t(kRate * channels * 2));
    put16(f, unsigned(channels * 2));
    put16(f, 16);
    std::fwrite("data", 1, 4, f);
    put32(f, bytes);
    for (float s : samples) {
        const long v = std::lround(std::max(-1.0f, std::min(1.0f, s)) * 32767.0);
        put16(f, unsigned(uint16_t(int16_t(v))));
    }
    const bool ok = std::fclose(f) == 0;
    if (!ok)
        std::perror(path.c_str());
    return ok;
}

// ---- Effects ---------------------------------------------------------------

struct Blast {
    double seconds;
    double cutoffFrom, cutoffTo; // the noise's colour falls with it
    double thumpFrom, thumpTo;   // a sine body under the noise
    double decay;                // time constant of the loudness, s
    double thumpLevel;
    double crackle;              // density of sharp debris clicks, per second
    uint32_t seed;
};

// An explosion: a noise burst whose low-pass closes down, over a falling
// sine thump, with a few clicks of debris and a little saturation.
std::vector<float> blast(const Blast& b, double delay = 0.0)
{
    const size_t frames = size_t((b.seconds + delay) * kRate);
    std::vector<float> out(frames, 0.0f);
    Noise noise(b.seed);
    LowPass filter;
    LowPass clickFilter;
    double phase = 0.0;
    for (size_t i = size_t(delay * kRate); i < frames; ++i) {
        const double t = double(i) / kRate - delay;
        const double attack = std::min(t / 0.004, 1.0);
        const double tail = std::min((b.seconds - t) / 0.05, 1.0); // reach silence at the end
        const double env = attack * std::exp(-t / b.decay) * std::max(tail, 0.0);
        const double cutoff = glide(b.cutoffFrom, b.cutoffTo, t, b.seconds);
        double v = filter.step(noise.next(), cutoff, 0.7);
        phase += 2.0 * kPi * glide(b.thumpFrom, b.thumpTo, t, b.seconds * 0.6) / kRate;
        v += b.thumpLevel * std::sin(phase) * std::exp(-t / (b.decay * 0.7));
        const double click = noise.next() > 1.0 - 2.0 * b.crackle / kRate ? (noise.next() > 0 ? 3.0 : -3.0) : 0.0;
        v += clickFilter.step(click, 3000.0) * std::exp(-t / (b.decay * 2));
        out[i] = float(std::tanh(1.6 * v * env));
    }
    return out;
}

std::vector<float> enemyExplode()
{
    return blast({0.75, 6000.0, 260.0, 190.0, 45.0, 0.18, 0.6, 40.0, 11u});
}

std::vector<float> playerExplode()
{
    return blast({1.5, 5500.0, 140.0, 140.0, 32.0, 0.35, 0.8, 60.0, 23u});
}

// The tentacle head: a deep blast with a second, later boom inside it.
std::vector<float> bossExplode()
{
    std::vector<float> first = blast({2.4, 4200.0, 90.0, 95.0, 24.0, 0.55, 1.0, 70.0, 37u});
    const std::vector<float> second = blast({1.9, 3000.0, 80.0, 80.0, 22.0, 0.45, 0.9, 30.0, 41u}, 0.42);
    for (size_t i = 0; i < first.size() && i < second.size(); ++i)
        first[i] = float(std::tanh(first[i] + 0.8 * second[i]));
    return first;
}

// A laser zap: a square wave diving from high to low, softened by a
// low-pass that follows it down.
std::vector<float> shoot()
{
    const double seconds = 0.17;
    std::vector<float> out(size_t(seconds * kRate));
    LowPass filter;
    double phase = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        const double hz = glide(1900.0, 240.0, t, seconds);
        phase += hz / kRate;
        const double square = std::fmod(phase, 1.0) < 0.5 ? 1.0 : -1.0;
        const double v = filter.step(square, hz * 3.0, 0.5);
        const double env = std::min(t / 0.002, 1.0) * std::exp(-t / 0.06) * std::min((seconds - t) / 0.01, 1.0);
        out[i] = float(v * env);
    }
    return out;
}

// The menu cursor moving: a short bright blip with a slight upward chirp.
std::vector<float> menuMove()
{
    const double seconds = 0.075;
    std::vector<float> out(size_t(seconds * kRate));
    double phase = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        phase += 2.0 * kPi * glide(1250.0, 1480.0, t, seconds) / kRate;
        const double tone = std::sin(phase) + 0.25 * std::sin(2.0 * phase);
        const double env = std::min(t / 0.003, 1.0) * std::exp(-t / 0.025) * std::min((seconds - t) / 0.008, 1.0);
        out[i] = float(tone * env);
    }
    return out;
}

// A bell: inharmonic partials, the higher ones dying sooner.
void bell(std::vector<float>& out, double start, double hz, double level)
{
    static const double ratios[] = {1.0, 2.0, 2.76, 4.07, 5.4};
    static const double levels[] = {1.0, 0.45, 0.3, 0.15, 0.08};
    static const double decays[] = {0.45, 0.3, 0.2, 0.12, 0.08};
    for (size_t i = size_t(start * kRate); i < out.size(); ++i) {
        const double t = double(i) / kRate - start;
        double v = 0.0;
        for (int p = 0; p < 5; ++p)
            v += levels[p] * std::sin(2.0 * kPi * hz * ratios[p] * t) * std::exp(-t / decays[p]);
        out[i] += float(level * v * std::min(t / 0.002, 1.0));
    }
}

// A menu item chosen: a rising two-note chime, C6 then G6.
std::vector<float> menuSelect()
{
    const double seconds = 1.0;
    std::vector<float> out(size_t(seconds * kRate), 0.0f);
    bell(out, 0.0, midiHz(84), 0.8);
    bell(out, 0.07, midiHz(91), 0.7);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        out[i] *= float(std::min((seconds - t) / 0.1, 1.0));
    }
    return out;
}

// ---- The menu tune -----------------------------------------------------------

constexpr double kBpm = 100.0;
constexpr double kBeat = 60.0 / kBpm;
constexpr int kBars = 16;
constexpr double kLoopSeconds = kBars * 4 * kBeat; // 38.4 s

// A stereo ring one loop long.
class Ring {
public:
    Ring() : frames(size_t(std::llround(kLoopSeconds * kRate))), left(frames), right(frames) {}

    // Adds a voice that starts at `start` seconds and lasts `seconds`; the
    // voice gives one stereo sample for a time t since its start.
    void add(double start, double seconds, const std::function<void(double, double&, double&)>& voice)
    {
        const size_t first = size_t(std::llround(start * kRate));
        const size_t count = size_t(seconds * kRate);
        for (size_t i = 0; i < count; ++i) {
            double l = 0.0, r = 0.0;
            voice(double(i) / kRate, l, r);
            const size_t at = (first + i) % frames;
            left[at] += l;
            right[at] += r;
        }
    }

    // A ping-pong echo that wraps: run twice so the first pass's echoes
    // reach the start of the loop as they will when it repeats.
    void echo(std::vector<double>& sendL, std::vector<double>& sendR, double delaySeconds, double feedback)
    {
        const size_t d = size_t(delaySeconds * kRate);
        std::vector<double> tapL(frames, 0.0), tapR(frames, 0.0);
        for (int pass = 0; pass < 3; ++pass)
            for (size_t i = 0; i < frames; ++i) {
                const size_t from = (i + frames - d) % frames;
                tapL[i] = sendR[from] + feedback * tapR[from];
                tapR[i] = sendL[from] + feedback * tapL[from];
            }
        for (size_t i = 0; i < frames; ++i) {
            left[i] += tapL[i];
            right[i] += tapR[i];
        }
    }

    std::vector<float> interleaved() const
    {
        std::vector<float> out(frames * 2);
        for (size_t i = 0; i < frames; ++i) {
            out[2 * i] = float(left[i]);
            out[2 * i + 1] = float(right[i]);
        }
        return out;
    }

    const size_t frames;
    std::vector<double> left, right;
};

double adsr(double t, double length, double attack, double release)
{
    if (t < attack)
        return t / attack;
    if (t < length)
        return 1.0;
    return std::max(0.0, 1.0 - (t - length) / release);
}

struct Chord {
    int bass;
    int tones[3];
};

// Two bars each: Am F C G Am F Dm E, the E turning back to the Am.
const Chord kChords[8] = {
    {45, {57, 60, 64}}, {41, {57, 60, 65}}, {48, {55, 60, 64}}, {43, {55, 59, 62}},
    {45, {57, 60, 64}}, {41, {57, 60, 65}}, {38, {57, 62, 65}}, {40, {56, 59, 64}},
};

struct Note {
    double beat, beats;
    int midi;
};

// The lead of the second half, in beats from bar 9.
const Note kMelody[] = {
    {0, 2, 76}, {2, 1, 72}, {3, 1, 74}, {4, 2, 76}, {6, 2, 69},
    {8, 2, 77}, {10, 1, 76}, {11, 1, 72}, {12, 3, 69},
    {16, 2, 74}, {18, 1, 77}, {19, 1, 76}, {20, 2, 74}, {22, 2, 69},
    {24, 2, 71}, {26, 1, 68}, {27, 1, 71}, {28, 4, 76},
};

std::vector<float> menuTune()
{
    Ring ring;
    const double bar = 4 * kBeat;

    for (int c = 0; c < 8; ++c) {
        const Chord& chord = kChords[c];
        const double start = c * 2 * bar;

        // Pad: an additive, softly rolled-off saw per chord tone, detuned
        // between the ears.
        for (int tone : chord.tones) {
            const double hz = midiHz(tone);
            const double length = 2 * bar;
            ring.add(start, length + 1.2, [=](double t, double& l, double& r) {
                const double env = adsr(t, length, 0.5, 1.2) * 0.05;
                double a = 0.0, b = 0.0;
                for (int h = 1; h <= 6; ++h) {
                    const double amp = 1.0 / std::pow(h, 1.6);
                    a += amp * std::sin(2.0 * kPi * hz * 1.0023 * h * t);
                    b += amp * std::sin(2.0 * kPi * hz * 0.9977 * h * t);
                }
                l += env * a;
                r += env * b;
            });
        }

        // Bass: eighth notes on the root, the off-beats an octave up.
        for (int e = 0; e < 16; ++e) {
            const double hz = midiHz(chord.bass + (e % 2 ? 12 : 0));
            ring.add(start + e * kBeat / 2, 0.4, [=](double t, double& l, double& r) {
                const double env = std::min(t / 0.005, 1.0) * std::exp(-t / 0.12) * std::min((0.4 - t) / 0.02, 1.0);
                const double v = env * 0.22 * (std::sin(2.0 * kPi * hz * t) + 0.3 * std::sin(4.0 * kPi * hz * t));
                l += v;
                r += v;
            });
        }
    }

    // Arpeggio: sixteenths over the chord an octave up, plucked, alternating
    // sides, and sent to the echo.
    std::vector<double> sendL(ring.frames, 0.0), sendR(ring.frames, 0.0);
    {
        static const int pattern[8] = {0, 1, 2, 3, 2, 1, 3, 1};
        Ring dry;
        for (int s = 0; s < kBars * 16; ++s) {
            const Chord& chord = kChords[s / 32];
            const int notes[4] = {chord.tones[0] + 12, chord.tones[1] + 12, chord.tones[2] + 12,
                                  chord.tones[0] + 24};
            const double hz = midiHz(notes[pattern[s % 8]]);
            const double pan = s % 2 ? 0.75 : 0.25;
            const double accent = s % 4 == 0 ? 1.0 : 0.7;
            dry.add(s * kBeat / 4, 0.5, [=](double t, double& l, double& r) {
                const double env = std::min(t / 0.003, 1.0) * std::exp(-t / 0.09) * std::min((0.5 - t) / 0.02, 1.0);
                const double v = accent * env * 0.07
                                 * (std::sin(2.0 * kPi * hz * t) + 0.35 * std::sin(6.0 * kPi * hz * t) * std::exp(-t / 0.03));
                l += v * (1.0 - pan);
                r += v * pan;
            });
        }
        for (size_t i = 0; i < ring.frames; ++i) {
            ring.left[i] += dry.left[i];
            ring.right[i] += dry.right[i];
            sendL[i] = 0.45 * dry.left[i];
            sendR[i] = 0.45 * dry.right[i];
        }
    }
    ring.echo(sendL, sendR, kBeat * 0.75, 0.4);

    // Lead over the second half: a soft sine with a little vibrato.
    for (const Note& n : kMelody) {
        const double hz = midiHz(n.midi);
        const double length = n.beats * kBeat * 0.95;
        ring.add(8 * bar + n.beat * kBeat, length + 0.35, [=](double t, double& l, double& r) {
            const double vibrato = 1.0 + 0.004 * std::sin(2.0 * kPi * 5.0 * t) * std::min(t / 0.4, 1.0);
            const double phase = 2.0 * kPi * hz * vibrato * t;
            const double env = adsr(t, length, 0.03, 0.35) * 0.14;
            const double v = env * (std::sin(phase) + 0.2 * std::sin(2 * phase) + 0.08 * std::sin(3 * phase));
            l += v;
            r += v;
        });
    }

    // Drums: kick on one and three, a soft snare on two and four, closed
    // hats on the off-beats.
    for (int beat = 0; beat < kBars * 4; ++beat) {
        const double at = beat * kBeat;
        if (beat % 2 == 0) {
            ring.add(at, 0.3, [](double t, double& l, double& r) {
                const double phase = 2.0 * kPi * (45.0 * t + 65.0 * 0.03 * (1.0 - std::exp(-t / 0.03)));
                const double v = 0.4 * std::sin(phase) * std::exp(-t / 0.09) * std::min((0.3 - t) / 0.02, 1.0);
                l += v;
                r += v;
            });
        } else {
            ring.add(at, 0.25, [n = Noise(100u + uint32_t(beat)), f = LowPass()](double t, double& l, double& r) mutable {
                const double body = 0.5 * std::sin(2.0 * kPi * 185.0 * t) * std::exp(-t / 0.04);
                const double v = 0.12 * (f.step(n.next(), 5000.0) + body) * std::exp(-t / 0.07)
                                 * std::min((0.25 - t) / 0.02, 1.0);
                l += v;
                r += v;
            });
        }
        ring.add(at + kBeat / 2, 0.06, [n = Noise(500u + uint32_t(beat)), prev = 0.0](double t, double& l, double& r) mutable {
            const double x = n.next();
            const double hiss = x - prev; // a first difference keeps only the top
            prev = x;
            const double v = 0.035 * hiss * std::exp(-t / 0.015);
            l += 0.8 * v;
            r += v;
        });
    }

    std::vector<float> out = ring.interleaved();
    normalize(out, 0.85);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s EFFECTS_DIR TUNE_WAV\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    struct Effect {
        const char* name;
        std::vector<float> (*make)();
    } effects[] = {
        {"enemy_explode.wav", enemyExplode}, {"kestor_explode.wav", playerExplode},
        {"boss_explode.wav", bossExplode},   {"kestor_shoot.wav", shoot},
        {"kestor_menu_over.wav", menuMove},  {"kestor_menu_hit.wav", menuSelect},
    };
    for (const Effect& e : effects) {
        std::vector<float> samples = e.make();
        normalize(samples, 0.9);
        if (!writeWav(dir + "/" + e.name, samples, 1))
            return 1;
    }
    return writeWav(argv[2], menuTune(), 2) ? 0 : 1;
}
