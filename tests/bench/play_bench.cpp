// Frame time of the play screen (a benchmark, not a test): the real screens
// in a real 800 x 600 window, the render loop uncapped, a scripted player on
// the keyboard, and song time moved on 16 ms per frame, so a whole song
// takes 22,500 frames however fast they are drawn. Plays GAMES whole games
// from the menu to the end screen and back, and prints per game the median,
// 99th percentile and worst frame, the frames over 16.7 ms (all, and after
// the first second of play), the process's CPU time per frame, the draws
// (batches) per frame as the window counts them (median, and the mean of
// the busiest second of song time), and the resident memory back at the menu.
//   cd build/run && taskset -c 0,1 ../tests/bench/play_bench [GAMES] [--no-figures|--per-part]
// (--no-figures: every type code makes no figure, to tell the figures'
// share of the frame and of the memory from the rest; --per-part: every
// part of a figure drawn by its own entity, as before figures were batched.)
// Needs DISPLAY (tools/bench-play.sh starts Xvfb and runs it).
#include <Ogre.h>
#include <Overlay/OgreFontManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <string>
#include <vector>

#include "app/GameManager.h"
#include "app/InputManager.h"
#include "app/Screens.h"
#include "app/SoundManager.h"
#include "figures/FigureTable.h"
#include "model/FigureBatch.h"
#include "model/ModelManager.h"
#include "platform/clock.h"
#include "platform/devices/fontLocation.h"
#include "world/gameWorld.h"
#include "world/kestor.h"

namespace {

constexpr int SONG_STEP_MS = 16;
constexpr int SPARE_LIVES = 1000;
// A frame longer than this misses a 60 Hz display's beat.
constexpr double SLOT_MS = 1000.0 / 60.0;
constexpr int FRAMES_PER_SECOND = 1000 / SONG_STEP_MS;

double cpuSeconds()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

double wallSeconds()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// A keyboard played by a script: keys go down and up when told, and every
// change is reported as a key event at the next capture, as a real keyboard
// would.
class ScriptedKeyboard : public input::KeyboardDevice, public input::InputReader {
public:
    void set(int key, bool down)
    {
        if (held[key] != down)
            pending.push_back({key, down});
        held[key] = down;
    }
    void tap(int key)
    {
        pending.push_back({key, true});
        pending.push_back({key, false});
    }
    void capture(input::KeyTarget& target) override
    {
        std::vector<std::pair<int, bool>> events;
        events.swap(pending);
        for (const auto& e : events) {
            if (e.second)
                target.firePressed(e.first, 0);
            else
                target.fireReleased(e.first, 0);
        }
    }
    input::InputReader* reader() override { return this; }
    bool isKeyDown(int key) const override { return key >= 0 && key < 256 && held[key]; }

private:
    bool held[256] = {};
    std::vector<std::pair<int, bool>> pending;
};

// Fires all the time (a short release every half second re-arms a tapped
// shot) and sweeps round the tube, left and right by turns.
void scriptPlayer(ScriptedKeyboard& keys, long frame)
{
    const long ms = frame * SONG_STEP_MS;
    keys.set(input::KC_SPACE, ms % 500 >= 48);
    const long sweep = (ms / 1500) % 4;
    keys.set(input::KC_LEFT, sweep == 0);
    keys.set(input::KC_RIGHT, sweep == 2);
}

void setUpResources()
{
    Ogre::ConfigFile file;
    file.load("resources.cfg", "\t:=", true);
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const auto& r : resourceLocations(file))
        groups.addResourceLocation(r.location, r.type, r.group, false);
    groups.addResourceLocation(plat::fontFolder(), "FileSystem",
                               Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME, false);
    auto font = Ogre::FontManager::getSingleton().create("MyFont", "General");
    font->setParameter("type", "truetype");
    font->setParameter("source", "solo5.ttf");
    font->setParameter("size", "26");
    font->setParameter("resolution", "96");
    font->load();
}

std::size_t resourceCount(Ogre::ResourceManager& manager)
{
    std::size_t n = 0;
    for (auto it = manager.getResourceIterator(); it.hasMoreElements(); it.moveNext())
        ++n;
    return n;
}

// One game's frame samples. The vectors are kept from game to game with
// their capacity, so the heap measured at the menu holds no benchmark growth.
struct GameStats {
    std::vector<double> frameMs;
    std::vector<std::size_t> draws;
    double cpu = 0;
    long residentAtMenu = 0;
    double heapInUseMiB = 0;
    bool won = false;
};

struct MemoryAtMenu {
    long residentKiB;
    double heapInUseMiB;
};

} // namespace

int main(int argc, char** argv)
{
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::string option = argc > 2 ? argv[2] : "";
    const bool figures = option != "--no-figures";
    setBatchedDrawing(option != "--per-part");
    plat::ManualClock clock(1000);

    auto* logs = new Ogre::LogManager();
    logs->createLog("play_bench.log", true, false, false);
    auto* manager = new GameManager();
    manager->root = new Ogre::Root("plugins.cfg", "", "play_bench.log");
    manager->overlaySystem = new Ogre::OverlaySystem();
    Ogre::RenderSystem* gl = manager->root->getRenderSystemByName("OpenGL Rendering Subsystem");
    if (!gl) {
        std::fprintf(stderr, "play_bench: no OpenGL render system (run from build/run)\n");
        return 1;
    }
    gl->setConfigOption("Full Screen", "No");
    gl->setConfigOption("Video Mode", "800 x 600");
    gl->setConfigOption("VSync", "No");
    gl->setConfigOption("Fixed Pipeline Enabled", "Yes");
    manager->root->setRenderSystem(gl);
    manager->window = manager->root->initialise(true, "Tessaline");
    ModelManager::useFigureTable(figures ? &gameFigureTable() : nullptr);
    setUpResources();
    manager->root->addFrameListener(manager);
    // The measurement wants every frame, not the display's rate.
    manager->pacer.setRate(0);
    manager->changeState(&loadState);
    auto* device = new ScriptedKeyboard();
    manager->inputManager = new InputManager(std::unique_ptr<input::KeyboardDevice>(device));
    manager->inputManager->eventProcessor->getKeyTarget()->addKeyListener(manager);
    manager->changeState(&menuState);

    std::printf("game  frames  median_ms  p99_ms  worst_ms  over_16.7ms  over_after_1s  cpu_ms/frame  draws_median  draws_busiest_s  outcome  resident_MiB_at_menu  heap_in_use_MiB  scene_managers  meshes  materials\n");
    std::vector<MemoryAtMenu> memory;
    memory.reserve(std::size_t(games));
    GameStats stats;
    stats.frameMs.reserve(1 << 14);
    stats.draws.reserve(1 << 14);
    long frame = 0;
    for (int g = 0; g < games; ++g) {
        stats.frameMs.clear();
        stats.draws.clear();
        // "Play" is the item the menu highlights on every entry.
        device->tap(input::KC_RETURN);
        manager->inputManager->eventProcessor->processEvents();
        // The scripted player cannot dodge; spare lives keep it playing to
        // the end of the song, so every game measures the whole song.
        if (manager->states.back() == &playState)
            playState.world->player->lives = SPARE_LIVES;
        const double cpu0 = cpuSeconds();
        while (manager->states.back() == &playState) {
            scriptPlayer(*device, frame++);
            clock.advance(SONG_STEP_MS);
            const double t0 = wallSeconds();
            manager->inputManager->eventProcessor->processEvents();
            manager->root->renderOneFrame();
            stats.frameMs.push_back((wallSeconds() - t0) * 1000.0);
            stats.draws.push_back(manager->window->getStatistics().batchCount);
        }
        stats.cpu = cpuSeconds() - cpu0;
        stats.won = gameWon;
        device->set(input::KC_SPACE, false);
        device->set(input::KC_LEFT, false);
        device->set(input::KC_RIGHT, false);
        // The end screen: one frame of it, then Return back to the menu.
        manager->root->renderOneFrame();
        device->tap(input::KC_RETURN);
        manager->inputManager->eventProcessor->processEvents();
        for (int i = 0; i < 3; ++i) {
            clock.advance(SONG_STEP_MS);
            manager->root->renderOneFrame();
        }
        stats.residentAtMenu = residentKiB();
        stats.heapInUseMiB = double(mallinfo2().uordblks) / (1024.0 * 1024.0);
        std::vector<double> sorted = stats.frameMs;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t n = sorted.size();
        std::size_t over = 0, overAfterFirstSecond = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (stats.frameMs[i] > SLOT_MS) {
                ++over;
                if (i >= std::size_t(FRAMES_PER_SECOND))
                    ++overAfterFirstSecond;
            }
        std::vector<std::size_t> draws = stats.draws;
        std::sort(draws.begin(), draws.end());
        double busiest = 0;
        for (std::size_t i = 0; i + FRAMES_PER_SECOND <= stats.draws.size(); i += FRAMES_PER_SECOND) {
            double sum = 0;
            for (int k = 0; k < FRAMES_PER_SECOND; ++k)
                sum += double(stats.draws[i + k]);
            busiest = std::max(busiest, sum / FRAMES_PER_SECOND);
        }
        std::printf("%4d  %6zu  %9.2f  %6.2f  %8.2f  %11zu  %13zu  %12.2f  %12zu  %15.1f  %-7s  %20.1f  %15.2f  %14zu  %6zu  %9zu\n", g + 1, n, sorted[n / 2],
                    sorted[std::min(n - 1, n * 99 / 100)], sorted.back(), over, overAfterFirstSecond,
                    stats.cpu * 1000.0 / n, draws[n / 2], busiest,
                    stats.won ? "won" : "lost", stats.residentAtMenu / 1024.0, stats.heapInUseMiB,
                    manager->root->getSceneManagers().size(),
                    resourceCount(Ogre::MeshManager::getSingleton()),
                    resourceCount(Ogre::MaterialManager::getSingleton()));
        // Where the longest frames fell, by song time.
        std::vector<std::size_t> order(n);
        for (std::size_t i = 0; i < n; ++i)
            order[i] = i;
        std::partial_sort(order.begin(), order.begin() + std::min<std::size_t>(5, n), order.end(),
                          [&](std::size_t a, std::size_t b) { return stats.frameMs[a] > stats.frameMs[b]; });
        std::printf("      longest frames:");
        for (std::size_t i = 0; i < std::min<std::size_t>(5, n); ++i)
            std::printf(" %.1f ms at %.1f s (%zu draws);", stats.frameMs[order[i]],
                        double(order[i] * SONG_STEP_MS) / 1000.0, stats.draws[order[i]]);
        std::printf("\n");
        std::fflush(stdout);
        memory.push_back({stats.residentAtMenu, stats.heapInUseMiB});
    }
    std::printf("at the menu: after game 1 resident %.1f MiB, heap in use %.2f MiB; "
                "after game %d resident %.1f MiB, heap in use %.2f MiB\n",
                memory.front().residentKiB / 1024.0, memory.front().heapInUseMiB, games,
                memory.back().residentKiB / 1024.0, memory.back().heapInUseMiB);

    delete manager;
    SoundManager::shutdown();
    delete logs;
    return 0;
}
