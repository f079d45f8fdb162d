// Timing of the figures on a headless engine: for the framework's own small
// recipe and then for every figure class of the game's table, building 200
// figures from a warm shape cache, and one frame of animation updates for 200
// animating figures. Prints the median of several rounds.
#include "app/NodePool.h"
#include "figures/FigureTable.h"
#include "model/Model.h"
#include "model/ModelManager.h"

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>
#include <cstdio>
#include <string>
#include <set>
#include <vector>

namespace {

// Eight parts on twelve nodes, two animations of two and three tracks, some
// of whose writes meet on one node and are blended.
const AnimationTable ANIMATIONS = {
    {keyframes(1, {POSITION, ROTATION}, {{0, {{0, 0, 0}, {0, 0, 0, 0}}}, {1000, {{0, 50, 0}, {20, 1, 0, 1}}}})},
    {keyframes(1, ROTATION, {{0, {0, 0, 0, 0}}, {500, {1.07, 1, 0, 0}}, {750, {1.07, 1, 0, 0}}, {1500, {0, 0, 0, 0}}}),
     keyframes(2, ROTATION, {{0, {0, 0, 0, 0}}, {500, {0.8, 1, 0, 0}}, {1000, {-0.8, 1, 0, 0}}, {1500, {0, 0, 0, 0}}}),
     keyframes(2, SCALE, {{0, {1, 1, 1}}, {750, {1, 1.3, 1}}, {1500, {1, 1, 1}}})},
};

class critter : public Model {
public:
    critter(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance)
    {
        static const FigureHeader header{FIGURE_TEST1, "critter", 5, 0, &ANIMATIONS};
        beginFigure(header, sceneManager, root, instance);
        pushNode();
        setScale(0.1, 0.1, 0.1);
        addPart(SHAPE_SPHERE, "SPHERE0", 0);
        for (int side : {1, -1}) {
            selectPart(0);
            pushNode();
            setPosition(0.95 * side, 0.3, 0);
            rotateNode(1.23f, 0, 0, float(-side));
            repeat(2, [&](int) {
                pushNode();
                addNodeToGroup(1);
                addPart(SHAPE_PYRAMID, "PYRAMID0", 0);
                setPosition(0, 1.84, 0);
                hangAtVertex(4);
            });
        }
        selectPart(0);
        repeat(3, [&](int) {
            pushNode();
            addNodeToGroup(2);
            addPart(SHAPE_CUBE, "CUBE0", 2);
            setPosition(0, -2, 0);
            editVertex(0, -0.5, 0, -0.5);
        });
    }
};

Model* makeCritter(Ogre::SceneManager* s, Ogre::SceneNode* r, int n) { return new critter(s, r, n); }

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// Builds FIGURES figures of one type code from a warm cache ROUNDS times and
// runs FRAMES animation frames of them each round; prints the medians.
void benchType(Ogre::SceneManager* scene, const char* label, int typeCode, int environmentVariant)
{
    const int FIGURES = 200, ROUNDS = 15, FRAMES = 60;
    std::vector<double> buildMs, frameMs;
    std::size_t parts = 0;
    std::string figureName;
    {
        NodePool pool(scene);
        ModelManager manager(scene);
        manager.environmentVariant = environmentVariant;
        std::vector<Model*> figures;
        auto buildAll = [&] {
            for (int i = 0; i < FIGURES; ++i)
                figures.push_back(manager.createModel(typeCode, Ogre::Vector3(float(i % 20), 0, float(i / 20)),
                                                      Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_SCALE,
                                                      nullptr));
        };
        auto deleteAll = [&] {
            for (Model* m : figures)
                delete m;
            figures.clear();
        };
        buildAll(); // warms the cache: every variant of each mesh
        if (!figures.empty() && figures[0]) {
            parts = figures[0]->parts.size();
            // the figure's class
            int status = 0;
            char* demangled = abi::__cxa_demangle(typeid(*figures[0]).name(), nullptr, nullptr, &status);
            figureName = status == 0 && demangled ? demangled : typeid(*figures[0]).name();
            std::free(demangled);
            const std::string local = "(anonymous namespace)::";
            if (figureName.compare(0, local.size(), local) == 0)
                figureName.erase(0, local.size());
        }
        deleteAll();
        int now = 0;
        for (int round = 0; round < ROUNDS; ++round) {
            auto t = Clock::now();
            buildAll();
            buildMs.push_back(msSince(t));
            for (std::size_t i = 0; i < figures.size(); ++i)
                if (i % 2 && figures[i]->animationCount > 0)
                    figures[i]->startAnimation(0, true, now); // two animations on half of them
            for (int frame = 0; frame < FRAMES; ++frame) {
                now += 16;
                t = Clock::now();
                for (Model* m : figures)
                    m->update(now);
                frameMs.push_back(msSince(t));
            }
            deleteAll();
        }
    }
    std::string title = std::string(label) + (figureName.empty() ? "" : " " + figureName);
    std::printf("%-30s %3zu parts  build %d: median %7.3f ms (min %7.3f)  one frame of %d: median %6.3f ms (min %6.3f)\n",
                title.c_str(), parts, FIGURES, median(buildMs), *std::min_element(buildMs.begin(), buildMs.end()),
                FIGURES, median(frameMs), *std::min_element(frameMs.begin(), frameMs.end()));
}

} // namespace

int main()
{
    auto* logs = new Ogre::LogManager();
    logs->createLog("model-bench.log", true, false, true);
    auto* root = new Ogre::Root("", "", "");
    auto* buffers = new Ogre::DefaultHardwareBufferManager();
    Ogre::MaterialManager::getSingleton().initialise();
    Ogre::SceneManager* scene = root->createSceneManager();

    // The framework alone, on a recipe of its own.
    static const FigureType types[] = {{5, makeCritter, 1, {1, 1, 1}}};
    static const SceneryChoice scenery[] = {{nullptr, NO_ANIMATION}};
    static const FigureTable table{types, 1, scenery, 1, {1, 1, 1}};
    ModelManager::useFigureTable(&table);
    benchType(scene, "framework recipe", 5, 0);

    // Every figure of the game, once per builder.
    const FigureTable& game = gameFigureTable();
    ModelManager::useFigureTable(&game);
    std::set<FigureBuilder> seen;
    char label[64];
    for (int i = 0; i < game.typeCount; ++i)
        if (game.types[i].build && seen.insert(game.types[i].build).second) {
            std::snprintf(label, sizeof label, "type %d", game.types[i].typeCode);
            benchType(scene, label, game.types[i].typeCode, 0);
        }
    for (int v = 0; v < game.sceneryCount; ++v)
        if (game.scenery[v].build && seen.insert(game.scenery[v].build).second) {
            std::snprintf(label, sizeof label, "scenery variant %d", v);
            benchType(scene, label, SCENERY_TYPE, v);
        }

    ModelManager::useFigureTable(nullptr);
    delete root;
    delete buffers;
    delete logs;
    return 0;
}
