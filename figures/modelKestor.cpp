// The player's ship: a two-pyramid hull on a pivot turned about x, with a
// wing mount under the tail carrying the main pair of wings and two rear
// pairs. Every wing is a flat panel with a sheared fin ("CUBE4") hanging
// from it. No idle loop: animation 1 is the power-shot reaction, 2 the shot,
// 3 to 5 the damage states held while lives are low, 0 the destruction.
#include "figures/modelKestor.h"

namespace {

// Animation groups.
enum {
    REAR_MOUNT_B = 2,
    MAIN_FINS = 4,
    FIN_A1 = 6,
    FIN_A2 = 7,
    NOSE = 20,
    FINS_B = 21,
    WING_MOUNT = 22,
    TAIL = 25,
};

const AnimationTable KESTOR_ANIMATIONS = {
    // 0: destruction: nose, tail, rear mount B and the main fins fly apart
    {
        keyframes(REAR_MOUNT_B, {POSITION, ROTATION},
                  {{0, {{0, -0.5, 0}, {3.14, 0, 0, 1}}},
                   {750, {{1, 15, -5}, {15.1, 1, 0, -1}}},
                   {1000, {{0, 200, 0}, {25.1, 1, 0, -1}}}}),
        keyframes(NOSE, {POSITION, ROTATION},
                  {{0, {{0, 0, 0}, {0, 0, 1, 1}}},
                   {750, {{-5, -4, -10}, {-15, 0, 1, 1}}},
                   {1000, {{0, -200, 0}, {25, 0, 1, 1}}}}),
        keyframes(TAIL, {ROTATION, POSITION},
                  {{0, {{3.14, 0, 0, 1}, {0, -4, 0}}},
                   {750, {{-3, 0, 1, 0}, {2, -4, 1}}},
                   {1000, {{-3, 0, 1, 0}, {2, -400, 1}}}}),
        keyframes(MAIN_FINS, {POSITION, ROTATION},
                  {{0, {{0, 0, 0}, {0, 0, 1, 1}}},
                   {750, {{15, -4, 1}, {15, 0, 1, 1}}},
                   {1000, {{0, -200, 0}, {25, 0, 1, 1}}}}),
    },
    // 1: power shot: rear mount B stretches, the main fins swing in, and both
    // come back to their built transforms
    {
        keyframes(REAR_MOUNT_B, SCALE,
                  {{0, {0.53, 0.35, 0.61}}, {550, {0.53, 1.35, 0.61}}, {1700, {0.53, 0.35, 0.61}}}),
        keyframes(MAIN_FINS, {ROTATION, POSITION},
                  {{0, {{0, 0, 0, 1}, {1.56, -0.92, 0}}},
                   {550, {{-0.4, 0, 0, 1}, {0.5, -0.92, 0}}},
                   {1700, {{0, 0, 0, 1}, {1.56, -0.92, 0}}}}),
    },
    // 2: shot: the fins of rear mount A dip one after the other
    {
        keyframes(FIN_A1, POSITION,
                  {{0, {0, -1, 0}}, {250, {0, -1, 0}}, {500, {0, -2, 0}}, {750, {0, -1, 0}}}),
        keyframes(FIN_A2, POSITION,
                  {{0, {0, -1, 0}}, {250, {0, -2, 0}}, {500, {0, -1, 0}}, {750, {0, -1, 0}}}),
    },
    // 3: first damage state: the fins of rear mount B thrown off
    {
        keyframes(FINS_B, {POSITION, ROTATION},
                  {{0, {{0, -0.5, 0}, {3.14, 0, 0, 1}}},
                   {750, {{1, -15, -5}, {15.1, 1, 0, -1}}},
                   {1000, {{0, -2000, 0}, {25.1, 1, 0, -1}}}}),
    },
    // 4: second damage state: the fin of A1 thrown off, the fin of A2 twisted
    {
        keyframes(FIN_A1, {POSITION, ROTATION},
                  {{0, {{0, -1, 0}, {0, -1, 0.5, 0.9}}},
                   {500, {{14, 5, 13}, {10, -1, 0.5, 0.9}}},
                   {750, {{4, 2000, 3}, {50, -1, 0.5, 0.9}}}}),
        keyframes(FIN_A2, {POSITION, SCALE, ROTATION},
                  {{0, {{0, -1, 0}, {0.75, 2.75, 3.9}, {0, 0, 1, 0}}},
                   {500, {{0, 0, 0}, {0.7, 2.5, 3.8}, {-0.5, 0.1, 1, 0}}},
                   {750, {{0.2, -1, 0.3}, {0.6, 2, 3.4}, {0.3, 0, 1, 0.1}}}}),
    },
    // 5: third damage state: the wing mount wobbles
    {
        keyframes(WING_MOUNT, {POSITION, ROTATION},
                  {{0, {{0, 0, 0}, {0, 0, 1, 0}}},
                   {250, {{0.5, 0, 0}, {-0.6, 0, 1, 0}}},
                   {400, {{0, 0, 0.5}, {0.4, 0, 1, 0}}},
                   {500, {{0, 0.5, 0}, {-0.3, 0, 1, 0}}},
                   {750, {{0, 0, 0}, {0.2, 0, 1, 0}}}}),
    },
};

const FigureHeader KESTOR{FIGURE_MODELKESTOR, "modelKestor", 5, 0, &KESTOR_ANIMATIONS};

// One wing of a rear mount, built under the current node.
struct RearWing {
    float turn;
    double offset[3];
    int panelColour;
    float panelRotation[4];
    int finGroup;
};

const RearWing REAR_WINGS[] = {
    // under rear mount A (node 5)
    {-0.2f, {1.9, -2, 0.4}, 4, {0.5f, 0.05f, 1, -0.01f}, FIN_A1},
    {3.34f, {1.9, -2, -0.4}, 4, {0.5f, -0.05f, -1, -0.01f}, FIN_A2},
    // under rear mount B (node 6)
    {-0.2f, {0.15, -2, -0.4}, 2, {-0.5f, 0.05f, 1, -0.01f}, FINS_B},
    {3.34f, {0.15, -2, 0.4}, 2, {-0.5f, -0.05f, -1, 0.01f}, FINS_B},
};

const int REAR_MOUNT_A_NODE = 5;
const int REAR_MOUNT_B_NODE = 6;

} // namespace

const AnimationTable& modelKestorAnimations() { return KESTOR_ANIMATIONS; }

modelKestor::modelKestor(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance)
{
    beginFigure(KESTOR, sceneManager, root, instance);

    // hull pivot (node 1)
    pushNode();
    rotateNode(0.4f, 4.45f, 0, 0);
    setScale(0.1, 0.1, 0.1);

    // nose (node 2, part 0)
    addPart(SHAPE_PYRAMID, "PYRAMID1", 3);
    addNodeToGroup(NOSE);
    setScale(1, 3, 1);
    selectPart(0);
    editVertex(0, 0, 0.75, 0);
    editVertex(1, 0, 0.75, 0);
    editVertex(4, 0, 0, 1);

    // tail (node 3, part 1)
    selectNode(1);
    addPart(SHAPE_PYRAMID, "PYRAMID2", 3);
    rotateNode(3.14f, 0, 0, 1);
    setPosition(0, -4, 0);
    addNodeToGroup(TAIL);
    selectPart(1);
    editVertex(0, 0, -2.25, 0);
    editVertex(1, 0, -2.25, 0);
    editVertex(4, 0, 0, -0.25);
    selectPart(currentPartIndex + 1); // only two parts yet: stays on the tail

    // wing mount (node 4) and rear mounts A (node 5) and B (node 6)
    pushNode();
    addNodeToGroup(WING_MOUNT);
    pushNode();
    setPosition(0, -3.4, 0);
    setScale(0.3, 0.5, 0.5);
    selectNode(currentNodeIndex - 1);
    pushNode();
    addNodeToGroup(REAR_MOUNT_B);
    setPosition(0, -0.5, 0);
    setScale(0.53, 0.35, 0.61);
    rotateNode(3.14f, 0, 0, 1);
    selectNode(currentNodeIndex - 2);

    // main wing 1 (nodes 7 to 10, parts 2 and 3)
    pushNode();
    setPosition(1.11, -2, 0);
    addPart(SHAPE_CUBE, "CUBE0", 2);
    setScale(1, 1, 0.05);
    setPosition(1, 1, 0);
    rotateNode(0.4f, -0.6f, -0.2f, 2.1f);
    pushNode();
    setPosition(0, -1.5, 0);
    addPart(SHAPE_CUBE, "CUBE4", 4);
    addNodeToGroup(MAIN_FINS);
    setPosition(1.56, -0.92, 0);
    setScale(0.75, 4, 3.9);
    editVertex(0, -1, 0, 0);
    editVertex(1, -2.5, 0, 0);
    editVertex(4, -1.25, 0, 0);
    editVertex(5, -2.25, 0, 0);

    // main wing 2, mirrored (nodes 11 to 14, parts 4 and 5)
    selectNode(4);
    pushNode();
    rotateNode(3.14f, 0, 1, 0);
    setPosition(-1.11, -2, 0);
    addPart(SHAPE_CUBE, "CUBE0", 2);
    rotateNode(0.4f, 0.6f, 0.2f, 2.1f);
    setScale(1, 1, 0.05);
    setPosition(1, 1, 0);
    pushNode();
    setPosition(0, -1.5, 0);
    addPart(SHAPE_CUBE, "CUBE4", 4);
    addNodeToGroup(MAIN_FINS);
    setPosition(1.56, -0.92, 0);
    setScale(0.75, 4, 3.9);

    // rear wings (nodes 15 to 34, parts 6 to 13)
    for (int i = 0; i < 4; ++i) {
        const RearWing& w = REAR_WINGS[i];
        selectNode(i < 2 ? REAR_MOUNT_A_NODE : REAR_MOUNT_B_NODE);
        pushNode();
        rotateNode(w.turn, 0, 1, 0);
        pushNode();
        setPosition(w.offset[0], w.offset[1], w.offset[2]);
        addPart(SHAPE_CUBE, "CUBE0", w.panelColour);
        setScale(1, 1, 0.05);
        setPosition(1, 1, 0);
        rotateNode(w.panelRotation[0], w.panelRotation[1], w.panelRotation[2], w.panelRotation[3]);
        pushNode();
        setPosition(1.5, 0, 0);
        addPart(SHAPE_CUBE, "CUBE4", 4);
        addNodeToGroup(w.finGroup);
        setPosition(0, -1, 0);
        setScale(0.75, 2.75, 3.9);
    }
}

Model* makeModelKestor(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance)
{
    return new modelKestor(sceneManager, root, instance);
}
