#include "figures/dragonfly.h"
#include "figures/flowerAnimations.h"

namespace {

constexpr int WING_JOINT_GROUP = 1;
constexpr int WING_ROOT_GROUP = 2;

// Each body pair: a pyramid (hung from the body pivot's first pyramid for the
// later pairs) and a second, stretched one upside down in a socket at the
// middle of its base.
struct BodyPair {
    int groups[2];
    double drop;    // the first pyramid's place on -Y
    double stretch; // the first pyramid's scale along Y
    float turn;     // about (0, 0.75, 0)
    int tailGroup;
    double tailLength; // the second pyramid's drop and scale along Y
};

const BodyPair BODY[] = {
    {{3, 4}, 0, 0.8, 0.0f, 3, 1.2},
    {{4, 11}, -4, 1, 1.0f, 4, 1.7},
    {{5, 10}, -9, 1, 1.0f, 5, 1.9},
};

// The ranges of the random draws: the wing root's scale and the yaw of the
// wings 2, 3 and 4, each about the Y axis of the wing before.
const double ROOT_SCALE_X[] = {0.9, 1.3};
const double ROOT_SCALE_Y[] = {0.3, 0.7};
const double ROOT_SCALE_Z[] = {0.8, 1.4};
const double WING_YAW[3][2] = {{-0.1, 0.3}, {-2.6, -2.4}, {-0.6, -0.2}};

// The cubes of wing 1, 2, 3 and 4.
const int WING_CUBE_GROUP[] = {6, 7, 8, 9};

// One wing below the cursor: pivot, inner cube, joint, outer cube, each cube
// (5, 0, -5) beyond its parent. The first inner cube of a variant pulls the
// shared cube mesh into a blade.
void buildWing(Model& m, int cubeGroup, bool shapesBlade)
{
    m.pushNode(); // wing pivot
    m.addNodeToGroup(WING_JOINT_GROUP);
    m.addPart(SHAPE_CUBE, "CUBE4", 4);
    m.addNodeToGroup(cubeGroup);
    if (shapesBlade) {
        m.editVertex(4, -4, 1, 4);
        m.editVertex(5, -0.6, 0, -0.5);
        m.editVertex(6, -0.6, 0, -0.5);
        m.editVertex(7, -4, -1, 4);
    }
    m.setPosition(5, 0, -5);
    m.pushNode(); // joint
    m.addNodeToGroup(WING_JOINT_GROUP);
    m.addPart(SHAPE_CUBE, "CUBE4", 3);
    m.addNodeToGroup(cubeGroup);
    m.setPosition(5, 0, -5);
}

} // namespace

const AnimationTable& dragonflyAnimations()
{
    const Value zero{0, 0, 0, 0};
    static const AnimationTable table = {
        // 0: destruction: the body and the wings fly apart
        {
            keyframes(4, {POSITION, ROTATION},
                      {{0, {zero, {0, 0, 1, 0}}}, {750, {{12, 25, -15}, {-15, 0, 1, 0}}}}),
            keyframes(5, {POSITION, ROTATION},
                      {{0, {zero, {0, 1, 0, 0}}}, {750, {{0, -15, 12}, {-20, 1, 0, 0}}}}),
            keyframes(6, POSITION, {{0, zero}, {750, {-15, 32, -12}}}),
            keyframes(7, {POSITION, ROTATION},
                      {{0, {zero, {0, 1, 0, 0}}}, {750, {{16, -12, 0}, {25, 1, 0, 0}}}}),
            keyframes(8, {POSITION, ROTATION},
                      {{0, {zero, {0, 0, 1, 0}}}, {750, {{0, 12, 14}, {25, 1, 0, 0}}}}),
            keyframes(9, {POSITION, ROTATION},
                      {{0, {zero, {0, 0, 0, 1}}}, {750, {{-15, -14, 0}, {-14, 0, 0, 1}}}}),
        },
        // 1: idle wing beat (looping from creation)
        {keyframes(1, ROTATION, {{0, {-0.7, 1, 0, 0}}, {250, {0.7, 1, 0, 0}}, {500, {-0.7, 1, 0, 0}}})},
        // 2: beat pulse and hit reaction: the wing root's proportions
        {keyframes(2, SCALE, {{0, {0.9, 0.5, 1}}, {125, {0.9, 0.5, 2}}, {250, {0.9, 0.5, 1}}})},
        // 3 to 5: the flower's flings, on wing 4, part 4 and part 2
        flowerFling(3, 9),
        flowerFling(4, 10),
        flowerFling(5, 11),
        // 6: wing beat about Z
        {keyframes(1, ROTATION, {{0, {-0.2, 0, 0, 1}}, {250, {0.2, 0, 0, 1}}, {500, {-0.2, 0, 0, 1}}})},
        // 7: stretches parts 0, 2 and 3 along Y
        {keyframes(4, SCALE, {{0, {1, 1, 1}}, {125, {1, 4, 1}}, {250, {1, 1, 1}}})},
        // 8: wing beat about Y
        {keyframes(1, ROTATION, {{0, {-0.3, 0, 1, 0}}, {250, {0.3, 0, 1, 0}}, {500, {-0.3, 0, 1, 0}}})},
    };
    return table;
}

dragonfly::dragonfly(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    const FigureHeader header{FIGURE_DRAGONFLY, "dragonfly", 5, 0, &dragonflyAnimations()};
    beginFigure(header, sceneManager, root, instanceNumber);

    pushNode(); // body pivot
    setScale(0.11, 0.11, 0.11);
    rotateNode(-0.38f, -4.93f, -7.7f, -8.41f);
    for (const BodyPair& pair : BODY) {
        if (&pair != &BODY[0])
            selectNode(2); // the later pairs hang from the first pyramid
        addPart(SHAPE_PYRAMID, "PYRAMID0", 0);
        addNodeToGroup(pair.groups[0]);
        addNodeToGroup(pair.groups[1]);
        setPosition(0, pair.drop, 0);
        setScale(1, pair.stretch, 1);
        if (pair.turn != 0.0f)
            rotateNode(pair.turn, 0, 0.75f, 0);
        hangAtFace(5); // clamped to the base, face 4
        addPart(SHAPE_PYRAMID, "PYRAMID0", 0);
        addNodeToGroup(pair.tailGroup);
        setPosition(0, -pair.tailLength, 0);
        setScale(1, pair.tailLength, 1);
        rotateNode(3.14f, 1, 0, 0);
    }

    selectNode(1);
    pushNode(); // wing root
    // drawn z first, then y, then x
    double z = randomReal(ROOT_SCALE_Z[0], ROOT_SCALE_Z[1]);
    double y = randomReal(ROOT_SCALE_Y[0], ROOT_SCALE_Y[1]);
    double x = randomReal(ROOT_SCALE_X[0], ROOT_SCALE_X[1]);
    setScale(x, y, z);
    setPosition(0, -3, 0);
    addNodeToGroup(WING_ROOT_GROUP);

    buildWing(*this, WING_CUBE_GROUP[0], true);
    for (int wing = 1; wing < 4; ++wing) {
        // back to the wing root, then to each yaw pivot in turn: the yaws add up
        selectNode(currentNodeIndex - 4);
        pushNode(); // yaw pivot
        double yaw = randomReal(WING_YAW[wing - 1][0], WING_YAW[wing - 1][1]);
        rotateNode(float(yaw), 0, 1, 0);
        buildWing(*this, WING_CUBE_GROUP[wing], false);
    }
}

Model* makeDragonfly(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new dragonfly(sceneManager, root, instanceNumber);
}
