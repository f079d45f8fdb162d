// A whole song simulated at 16-ms frames with a scripted player that steers
// and fires: total time, time per frame (median, 99th percentile) and the
// peak number of live objects.
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
    int phase = 0;
};

SongRun runSong(bool timeFrames)
{
    SongRun run;
    plat::ManualClock clock(100000);
    auto start = std::chrono::steady_clock::now();
    std::unique_ptr<gameWorld> world(new gameWorld());
    world->now = 0;
    world->clockOffset = -static_cast<int>(plat::clock());
    if (timeFrames)
        run.frameMicros.reserve(25000);
    int music = 0;
    while (world->phase != PHASE_WON && world->phase != PHASE_LOST) {
        // Keep the player in its protected respawn state (it steers and
        // fires, nothing can hit it): the benchmark measures a full game to
        // its won end, not how soon a script dies.
        world->player->respawning = true;
        world->player->invulnerableUntil = 2000000000;
        harness::scriptedPlayer(*world, run.frames);
        clock.advance(16);
        music += 16;
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
    world.reset();
    run.totalSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

void report()
{
    runSong(false);  // warm up
    std::vector<double> totals;
    SongRun timed;
    for (int i = 0; i < 5; ++i)
        totals.push_back(runSong(false).totalSeconds);
    timed = runSong(true);
    std::sort(totals.begin(), totals.end());
    std::vector<double> f = timed.frameMicros;
    std::sort(f.begin(), f.end());
    const double median = f[f.size() / 2];
    const double p99 = f[static_cast<size_t>(f.size() * 0.99)];
    std::printf("whole song, 16-ms frames: %d frames, outcome phase %d\n", timed.frames, timed.phase);
    std::printf("total (world construction to deletion), best of 5: %.3f s, median %.3f s\n", totals.front(),
                totals[totals.size() / 2]);
    std::printf("per frame: median %.1f us, 99th percentile %.1f us, max %.1f us\n", median, p99, f.back());
    std::printf("peak live objects: %zu\n", timed.peakObjects);
}

} // namespace

#ifdef TESS_HAVE_BENCHMARK
static void BM_WholeSong16ms(benchmark::State& state)
{
    size_t peak = 0;
    for (auto _ : state) {
        SongRun run = runSong(false);
        peak = run.peakObjects;
        benchmark::DoNotOptimize(run.frames);
    }
    state.counters["peak_objects"] = static_cast<double>(peak);
}
BENCHMARK(BM_WholeSong16ms)->Unit(benchmark::kMillisecond);

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
