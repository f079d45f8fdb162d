// Timing of the figure framework on a headless engine: building 200 figures
// of a small recipe from a warm shape cache, and one frame of animation
// updates for 200 animating figures. Prints the median of several rounds.
#include "app/NodePool.h"
#include "model/Model.h"
#include "model/ModelManager.h"

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

class Critter : public Model {
public:
    Critter(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance)
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

Model* makeCritter(Ogre::SceneManager* s, Ogre::SceneNode* r, int n) { return new Critter(s, r, n); }

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

} // namespace

int main()
{
    auto* logs = new Ogre::LogManager();
    logs->createLog("model-bench.log", true, false, true);
    auto* root = new Ogre::Root("", "", "");
    auto* buffers = new Ogre::DefaultHardwareBufferManager();
    Ogre::MaterialManager::getSingleton().initialise();
    Ogre::SceneManager* scene = root->createSceneManager();

    static const FigureType types[] = {{5, makeCritter, 1, {1, 1, 1}}};
    static const SceneryChoice scenery[] = {{nullptr, NO_ANIMATION}};
    static const FigureTable table{types, 1, scenery, 1, {1, 1, 1}};
    ModelManager::useFigureTable(&table);

    const int FIGURES = 200, ROUNDS = 15, FRAMES = 60;
    std::vector<double> buildMs, frameMs;
    {
        NodePool pool(scene);
        ModelManager manager(scene);
        std::vector<Model*> figures;
        auto buildAll = [&] {
            for (int i = 0; i < FIGURES; ++i)
                figures.push_back(manager.createModel(5, Ogre::Vector3(float(i % 20), 0, float(i / 20)),
                                                      Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_SCALE,
                                                      nullptr));
        };
        auto deleteAll = [&] {
            for (Model* m : figures)
                delete m;
            figures.clear();
        };
        buildAll(); // warms the cache: five variants of each mesh
        deleteAll();
        int now = 0;
        for (int round = 0; round < ROUNDS; ++round) {
            auto t = Clock::now();
            buildAll();
            buildMs.push_back(msSince(t));
            for (std::size_t i = 0; i < figures.size(); ++i)
                if (i % 2)
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
        std::printf("figures per round: %d, parts per figure: %zu\n", FIGURES, std::size_t(8));
    }
    std::printf("build %d figures (warm cache): median %.3f ms, min %.3f ms over %d rounds\n", FIGURES,
                median(buildMs), *std::min_element(buildMs.begin(), buildMs.end()), ROUNDS);
    std::printf("one animation frame for %d figures: median %.3f ms, min %.3f ms over %zu frames\n",
                FIGURES, median(frameMs), *std::min_element(frameMs.begin(), frameMs.end()),
                frameMs.size());
    ModelManager::useFigureTable(nullptr);
    delete root;
    delete buffers;
    delete logs;
    return 0;
}
