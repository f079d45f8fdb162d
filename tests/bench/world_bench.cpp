// A whole song with a scripted player that steers and fires, at render
// frames of 16 ms and of 1 ms side by side: the world runs the same 16-ms
// steps either way (the same game: same score, same steps), so the song must
// cost no more at 1 ms. Reports the total time, the time per render frame
// (median, 99th percentile), the peak number of live objects, and the same
// at 16 ms for the reactive player of the older whole-song tests; and the
// render frames that catch up 10-s stalls.
#include "platform/clock.h"
#include "tests/world/worldHarness.h"
#include "world/formation.h"
#include "world/gameWorld.h"
#include "world/kestor.h"
#include "world/levelDirector.h"
#include "world/simulationObject.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#if __has_include(<benchmark/benchmark.h>)
#define TESS_HAVE_BENCHMARK 1
#include <benchmark/benchmark.h>
#endif

namespace {

struct SongRun {
    double totalSeconds = 0;
    std::vector<double> frameMicros;
    size_t peakObjects = 0;
    int frames = 0;
    long steps = 0;
    int phase = 0;
    int score = 0;
};

enum class Input { periodKeys, reactive };

volatile float benchmark_guard = 0.0f;

// The player stays in its protected respawn state (it steers and fires,
// nothing can hit it): a full game to its end, not how soon a script dies.
SongRun runSong(int frameMs, Input input, bool timeFrames)
{
    SongRun run;
    plat::ManualClock clock(100000);
    auto start = std::chrono::steady_clock::now();
    std::unique_ptr<gameWorld> world(new gameWorld());
    world->now = 0;
    world->clockOffset = -static_cast<int>(plat::clock());
    if (timeFrames)
        run.frameMicros.reserve(static_cast<size_t>(400000 / frameMs) + 16);
    harness::PeriodKeys keys;
    int music = 0;
    while (world->phase != PHASE_WON && world->phase != PHASE_LOST) {
        world->player->respawning = true;
        world->player->invulnerableUntil = 2000000000;
        if (input == Input::reactive) {
            harness::scriptedPlayer(*world, run.frames);
        } else {
            const bool periodStart = music % harness::KEY_PERIOD_MS == 0;
            if (periodStart)
                keys.decide(*world);
            keys.press(*world->player, periodStart);
        }
        clock.advance(frameMs);
        music += frameMs;
        if (timeFrames) {
            auto f0 = std::chrono::steady_clock::now();
            world->update(music);
            auto f1 = std::chrono::steady_clock::now();
            run.frameMicros.push_back(std::chrono::duration<double, std::micro>(f1 - f0).count());
        } else {
            world->update(music);
        }
        run.peakObjects = std::max(run.peakObjects, world->objects.size());
        ++run.frames;
    }
    run.phase = world->phase;
    run.steps = world->stepsRun;
    run.score = world->player->scoreValue;
    world.reset();
    run.totalSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

void reportOne(const char* what, int frameMs, Input input)
{
    runSong(frameMs, input, false);  // warm up
    std::vector<double> totals;
    for (int i = 0; i < 7; ++i)
        totals.push_back(runSong(frameMs, input, false).totalSeconds);
    const SongRun timed = runSong(frameMs, input, true);
    std::sort(totals.begin(), totals.end());
    std::vector<double> f = timed.frameMicros;
    std::sort(f.begin(), f.end());
    std::printf("%s: %d render frames of %d ms, %ld steps, outcome phase %d, score %d\n", what, timed.frames,
                frameMs, timed.steps, timed.phase, timed.score);
    std::printf("  total (world construction to deletion, input included), best of 7: %.3f s, median %.3f s\n",
                totals.front(), totals[totals.size() / 2]);
    std::printf("  per render frame: median %.2f us, 99th percentile %.1f us, max %.1f us\n",
                f[f.size() / 2], f[static_cast<size_t>(f.size() * 0.99)], f.back());
    std::printf("  peak live objects: %zu\n", timed.peakObjects);
}

// The scripted keys and the clock alone, for as many render frames: what a
// run pays besides the world.
double inputAlone(int frames)
{
    plat::ManualClock clock(100000);
    gameWorld::bare_t bare;
    gameWorld world(bare);
    kestor player;
    player.world = &world;
    player.respawning = false;
    harness::PeriodKeys keys;
    keys.steer = 1;
    auto start = std::chrono::steady_clock::now();
    for (int music = 0; music < frames; ++music) {
        keys.press(player, music % harness::KEY_PERIOD_MS == 0);
        clock.advance(1);
        player.idleFrame();
        if (player.events.size() > 64)
            player.clearEvents();
    }
    benchmark_guard = player.velocityU;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Render frames that catch up a stall of 10 s of song time (625 steps, each
// with its own window of the score): one whole song of 16-ms frames with
// the period keys, the game's thread held up for 10 s every 30 s of song.
void reportStalls()
{
    constexpr int STALL_MS = 10000;
    plat::ManualClock clock(100000);
    std::unique_ptr<gameWorld> world(new gameWorld());
    world->anchor(0);
    harness::PeriodKeys keys;
    std::vector<double> micros;
    std::vector<long> steps;
    int music = 0;
    int nextStall = 30000;
    while (world->phase != PHASE_WON && world->phase != PHASE_LOST) {
        world->player->respawning = true;
        world->player->invulnerableUntil = 2000000000;
        const bool periodStart = music % harness::KEY_PERIOD_MS == 0;
        if (periodStart)
            keys.decide(*world);
        keys.press(*world->player, periodStart);
        const bool stall = music >= nextStall;
        const int ms = stall ? STALL_MS : 16;
        clock.advance(ms);
        music += ms;
        if (!stall) {
            world->update(music);
            continue;
        }
        nextStall += 30000;
        const long before = world->stepsRun;
        auto f0 = std::chrono::steady_clock::now();
        world->update(music);
        auto f1 = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(f1 - f0).count());
        steps.push_back(world->stepsRun - before);
    }
    std::vector<double> sorted = micros;
    std::sort(sorted.begin(), sorted.end());
    std::printf("a render frame that catches up a 10-s stall, %zu stalls in one song (every 30 s):\n", micros.size());
    std::printf("  median %.2f ms, worst %.2f ms; steps run in the frame:", sorted[sorted.size() / 2] / 1000.0,
                sorted.back() / 1000.0);
    for (long n : steps)
        std::printf(" %ld", n);
    std::printf("\n  outcome phase %d, %ld steps\n", world->phase, world->stepsRun);
}

void report()
{
    reportStalls();
    reportOne("whole song, period keys, 16-ms frames", 16, Input::periodKeys);
    reportOne("whole song, period keys, 1-ms frames", 1, Input::periodKeys);
    double best = 1e9;
    for (int i = 0; i < 7; ++i)
        best = std::min(best, inputAlone(383008));
    std::printf("  of which keys and clock alone for 383,008 frames, best of 7: %.4f s\n", best);
    reportOne("whole song, reactive player, 16-ms frames", 16, Input::reactive);
}

} // namespace

#ifdef TESS_HAVE_BENCHMARK
static void BM_WholeSong(benchmark::State& state, int frameMs)
{
    size_t peak = 0;
    for (auto _ : state) {
        SongRun run = runSong(frameMs, Input::periodKeys, false);
        peak = run.peakObjects;
        benchmark::DoNotOptimize(run.frames);
    }
    state.counters["peak_objects"] = static_cast<double>(peak);
}
BENCHMARK_CAPTURE(BM_WholeSong, 16ms_frames, 16)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WholeSong, 1ms_frames, 1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    report();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
#else
int main()
{
    report();
    return 0;
}
#endif
