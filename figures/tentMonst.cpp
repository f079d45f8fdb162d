#include "figures/tentMonst.h"

namespace {

const FigureHeader TENTMONST{FIGURE_TENTMONST, "tentMonst", 5, 0, &TENTMONST_ANIMATIONS};

struct Corner {
    double x, z;
};
const Corner SPIKE_CORNERS[4] = {{-0.7, -0.7}, {0.7, 0.7}, {-0.7, 0.7}, {0.7, -0.7}};

const Value NECK_SEGMENT_POSITION = {0, 1.5, 0};
const Value NECK_SEGMENT_SCALE = {0.95, 1.1, 0.95};
const Value COLLAR_SCALE = {2, 0.4, 2};

} // namespace

const AnimationTable TENTMONST_ANIMATIONS = {
    // 0: destruction: the neck writhes, shrinks and is thrown off, the sphere
    // bulges and bursts flat
    {
        keyframes(TENTMONST_NECK, {POSITION, SCALE, ROTATION},
                  {{0, {NECK_SEGMENT_POSITION, NECK_SEGMENT_SCALE, {0, 1, 0, 1}}},
                   {750, {NECK_SEGMENT_POSITION, NECK_SEGMENT_SCALE, {0.3, -1, 0, 1}}},
                   {900, {NECK_SEGMENT_POSITION, NECK_SEGMENT_SCALE, {0, 1, 0, 1}}},
                   {1150, {NECK_SEGMENT_POSITION, NECK_SEGMENT_SCALE, {0.9, 0, 0, -1}}},
                   {1300, {NECK_SEGMENT_POSITION, NECK_SEGMENT_SCALE, {0, 0, 0, 1}}},
                   {2100, {{0, 0.5, 0}, {0.85, 0.8, 0.85}, {-0.4, -1, 0, 1}}},
                   {2200, {{5, 55, -6}, {0.7, 4, 0.8}, {0.2, 1, 0, 1}}}}),
        keyframes(TENTMONST_SPHERE, SCALE,
                  {{0, {6, 5, 6}},
                   {750, {4, 4, 4}},
                   {900, {6, 5, 6}},
                   {1150, {7, 8, 7}},
                   {1300, {6, 5, 6}},
                   {2100, {6.5, 5, 6.5}},
                   {2200, {25, 5, 25}}}),
    },
    // 1: idle loop: the neck sways
    {keyframes(TENTMONST_NECK, ROTATION,
               {{0, {0, 1, 0, 0}},
                {750, {0.2, 1, 0, 1}},
                {1500, {-0.2, 1, 0, 0}},
                {2250, {0.3, -1, 0, 1}},
                {2900, {-0.3, -1, 0, 1}},
                {3650, {0, 1, 0, 0}}})},
    // 2: hit reaction: collar and spikes flare
    {
        keyframes(TENTMONST_COLLAR, SCALE, {{0, COLLAR_SCALE}, {250, {4.3, 0.8, 4.3}}, {500, COLLAR_SCALE}}),
        keyframes(TENTMONST_SPIKES, SCALE, {{0, {0.3, 0.4, 0.3}}, {250, {0.4, 1.2, 0.4}}, {500, {0.3, 0.4, 0.3}}}),
    },
    // 3: firing: the neck spins once and back, then recoils and spits
    {
        keyframes(TENTMONST_NECK_BASE, ROTATION,
                  {{0, {0, 0, 1, 0}}, {1400, {6.28, 0, 1, 0}}, {1700, {0, 0, 1, 0}}}),
        keyframes(TENTMONST_NECK, {ROTATION, POSITION},
                  {{0, {{0, 1, 0, 1}, NECK_SEGMENT_POSITION}},
                   {1400, {{0.2, 1, 0, 1}, NECK_SEGMENT_POSITION}},
                   {1700, {{0, 1, 0, 1}, NECK_SEGMENT_POSITION}},
                   {2100, {{0, 1, 0, 1}, {0, 0.3, 0}}},
                   {2200, {{0, 1, 0, 1}, {0, 0.3, 0}}},
                   {2500, {{0, 1, 0, 1}, {0, 2, 0}}},
                   {2700, {{0, 1, 0, 1}, {0, 2, 0}}}}),
        keyframes(TENTMONST_COLLAR, SCALE,
                  {{0, COLLAR_SCALE},
                   {1400, COLLAR_SCALE},
                   {1700, COLLAR_SCALE},
                   {2100, {1.5, 0.4, 1.5}},
                   {2200, {4.5, 4.4, 4.5}},
                   {2500, {1.5, 0.4, 1.5}},
                   {2700, {2.5, 1.4, 2.5}}}),
    },
};

void tentMonst::addSpikes(int backToPlate)
{
    for (int k = 0; k < 4; ++k) {
        addPart(SHAPE_TETRAHEDRON, "TETRAHEDRON0", 0);
        addNodeToGroup(TENTMONST_SPIKES);
        setPosition(SPIKE_CORNERS[k].x, 1, SPIKE_CORNERS[k].z);
        setScale(0.3, 0.4, 0.3);
        if (k < backToPlate)
            selectPart(currentPartIndex - (k + 1));
    }
}

tentMonst::tentMonst(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    beginFigure(TENTMONST, sceneManager, root, instanceNumber);

    // body
    pushNode();
    rotateNode(1.57f, 1, 0, 0);
    addPart(SHAPE_SPHERE, "SPHERE0", 0);
    addNodeToGroup(TENTMONST_SPHERE);
    setScale(6, 5, 6);

    // neck, out of the top of the sphere
    selectNode(1);
    pushNode();
    addNodeToGroup(TENTMONST_NECK_BASE);
    setScale(0.6, 0.4, 0.6);
    setPosition(0, 4, 0);
    repeat(10, [&](int) {
        addPart(SHAPE_CUBE, "CUBE0", 0);
        addNodeToGroup(TENTMONST_NECK);
        setPosition(0, 1.5, 0);
        setScale(0.95, 1.1, 0.95);
    });

    // collar: the collar cube, a plate on it and a turned plate on that,
    // each plate with its four spikes
    pushNode();
    addNodeToGroup(TENTMONST_COLLAR);
    setScale(2, 0.4, 2);
    setPosition(0, 0.8, 0);
    addPart(SHAPE_CUBE, "CUBE0", 0);
    setPosition(0, 1, 0);
    addPart(SHAPE_CUBE, "CUBE0", 0);
    addSpikes(4);
    addPart(SHAPE_CUBE, "CUBE0", 0);
    rotateNode(0.85f, 0, 1, 0);
    addSpikes(3);
}

Model* makeTentMonst(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new tentMonst(sceneManager, root, instanceNumber);
}
