// The song score's costs: building it, starting its section and binding its
// groups (once per game), and one frame's worth of the queries the game
// makes (every frame).
#include <benchmark/benchmark.h>

#include "song/scoreData.h"
#include "song/songScore.h"
#include "song/windowQuery.h"
#include "world/gameWorld.h"
#include "world/kestor.h"

namespace {

void BM_BuildStartBind(benchmark::State& state)
{
    gameWorld world(gameWorld::bare_t{});
    for (auto _ : state) {
        songScore score;
        timeEventSection* section = score.buildSong();
        section->start(-2);
        score.bindGroups(&world);
        benchmark::DoNotOptimize(score.groups[24].index.size());
    }
}
BENCHMARK(BM_BuildStartBind)->Unit(benchmark::kMillisecond);

void BM_BuildSong(benchmark::State& state)
{
    for (auto _ : state) {
        songScore score;
        benchmark::DoNotOptimize(score.buildSong());
    }
}
BENCHMARK(BM_BuildSong)->Unit(benchmark::kMicrosecond);

// Reading the score text: once per process, before the first build.
void BM_ReadScoreText(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(scoredata::parse(scoredata::songText()).blocks.size());
}
BENCHMARK(BM_ReadScoreText)->Unit(benchmark::kMicrosecond);

void BM_StartSection(benchmark::State& state)
{
    songScore score;
    timeEventSection* section = score.buildSong();
    for (auto _ : state)
        section->start(-2);
}
BENCHMARK(BM_StartSection)->Unit(benchmark::kMicrosecond);

// A frame of play at 60 frames per second, walking through the song: the
// wave rules' event and group queries (about forty), the play screen's
// colour changes (eight) and the seven judges with a shot every 10th frame.
void BM_FrameQueries(benchmark::State& state)
{
    songScore score;
    timeEventSection* section = score.buildSong();
    gameWorld world(gameWorld::bare_t{});
    kestor player;
    world.section = section;
    world.player = &player;
    section->start(-2);
    score.bindGroups(&world);
    const int colourEvents[8] = {169, 159, 255, 357, 732, 729, 609, 633};
    const int colourModulus[8] = {0, 0, 0, 0, 0, 4, 8, 1};
    timeEvent* named[15] = {&score.track1RestA(),   &score.track1RestB(),  &score.track6Rest(),
                            &score.track3Phrase(),  &score.track10Bar(),   &score.track4Phrase(),
                            &score.track9Phrase(),  &score.track14Bar(),   &score.track16Phrase(),
                            &score.track19Note(),   &score.track15Bar(),   &score.track20Note(),
                            &score.track20Bar(),    &score.track14Section(), &score.track17Phrase()};
    int now = -2;
    int frame = 0;
    int hits = 0;
    for (auto _ : state) {
        now += 16;
        if (now > 391199)
            now = -2;
        section->previousFrameMs = section->currentFrameMs;
        section->currentFrameMs = now;
        world.now = now;
        player.events.clear();
        if (++frame % 10 == 0)
            player.events.push_back(EVENT_FIRED);
        for (int i = 0; i < 15; ++i) {
            hits += occurredInWindow(*named[i], *section, WindowQuery().offset(4794));
            hits += occurredInWindow(*named[i], *section, WindowQuery().every(4, 1).offset(8000).occurrences(1, 9));
        }
        for (int g : {0, 1, 5, 12, 23, 9, 10, 13})
            hits += groupOccurredInWindow(score.groups[g].index, *section, WindowQuery().offset(8000));
        hits += groupOccurredInWindow(score.groups[23].index, *section, WindowQuery().lead(999999).every(4, 1));
        for (int i = 0; i < 8; ++i)
            hits += occurredInWindow(score.event(colourEvents[i]), *section, WindowQuery().every(colourModulus[i], 0));
        score.judges[6].update();
        for (int j = 0; j < 6; ++j)
            score.judges[j].update();
    }
    benchmark::DoNotOptimize(hits);
    world.section = nullptr;
    world.player = nullptr;
}
BENCHMARK(BM_FrameQueries)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
