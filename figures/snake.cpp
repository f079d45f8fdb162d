#include "figures/snake.h"

namespace {

// A sixth of a turn, as the figure has always used it (not pi / 3).
constexpr float SIXTH_TURN = 1.0472f;
constexpr double RING_RADIUS = 0.725;

// The one reshaping of the star cube mesh: each cube becomes a flat blade
// pointing out of the star's centre.
struct VertexEdit {
    int vertex;
    double x, y, z;
};
const VertexEdit STAR_CUBE_EDITS[] = {
    {0, 0, -1, 1},    {1, 0, -1, 1},  {2, 0, -1, 1},     {3, 0, -1, 1},
    {4, 0.5, -1, 0},  {5, -0.5, -1, 0}, {6, 0, -1, 0.725}, {7, 0, -1, 0.725},
};

// The flings of animations 3 to 5: one track over keys at 0, 450 and
// 1100 ms, position and rotation; the first window writes its channels in
// the order given, the second always position first.
struct FlingKey {
    Value position;
    Value rotation;
};

Track fling(int group, Channel firstWrite, const FlingKey (&k)[3])
{
    auto write = [](Channel c, const FlingKey& from, const FlingKey& to) {
        return c == POSITION ? ChannelWrite{POSITION, from.position, to.position}
                             : ChannelWrite{ROTATION, from.rotation, to.rotation};
    };
    Channel secondWrite = firstWrite == POSITION ? ROTATION : POSITION;
    return Track{group,
                 {{0, 450, {write(firstWrite, k[0], k[1]), write(secondWrite, k[0], k[1])}},
                  {450, 1100, {write(POSITION, k[1], k[2]), write(ROTATION, k[1], k[2])}}}};
}

const FlingKey TAIL_STAR_FLING[3] = {
    {{0.77, 0.47, 0}, {0, 1, 0, 1}},
    {{10, -12, -8}, {-5, 1, 0, 1}},
    {{-59, -2000, -15}, {-26, 1, 0, 1}},
};
const FlingKey TAIL_RING_FLING[3] = {
    {{-0.77, 0.47, 0}, {0, 1, 0, 1}},
    {{-6.95, 3, 5}, {-15, 1, 0, 1}},
    {{-59, 2000, 15}, {-26, 1, 0, 1}},
};
const FlingKey STAR2_FLING[3] = {
    {{-0.95, 0.3, 0}, {0, 1, 0, 1}},
    {{-5.95, -3, -5}, {-5, 1, 0, 1}},
    {{-59, -2000, -15}, {-26, 1, 0, 1}},
};

// Destruction: every joint winds up and the body is carried away.
const std::vector<MultiKey> WIND_UP = {
    {0, {{0, 0, 0, 0}, {0, 0, 0}}},
    {1000, {{10, 0, 1, 1}, {-25, -25, 1}}},
};

const FigureHeader SNAKE{FIGURE_SNAKE, "snake", 5, 0, &SNAKE_ANIMATIONS};

} // namespace

const AnimationTable SNAKE_ANIMATIONS = {
    // 0: destruction
    {keyframes(SNAKE_TAIL_SECTIONS, {ROTATION, POSITION}, WIND_UP),
     keyframes(SNAKE_JOINTS, {ROTATION, POSITION}, WIND_UP)},
    // 1: idle loop, each tail section swinging against the one before
    {keyframes(SNAKE_TAIL_SECTIONS, ROTATION,
               {{0, {1, 0, 0, 0}},
                {250, {1, 0.3, 0.1, 0}},
                {500, {0, 0, 0, 0}},
                {750, {-1, 0.3, 0.1, 0}},
                {1000, {0, 0, 0, 0}}})},
    // 2: beat pulse and hit reaction
    {keyframes(SNAKE_TAIL_SECTIONS, SCALE,
               {{0, {1, 1, 1}}, {100, {2, 1, 1}}, {200, {1, 2, 1}}, {250, {1, 1, 2}}, {500, {1, 1, 1}}})},
    // 3 to 5: fling the hinges of the tail stars, the tail rings, star 2
    {fling(SNAKE_TAIL_STAR_HINGES, POSITION, TAIL_STAR_FLING)},
    {fling(SNAKE_TAIL_RING_HINGES, ROTATION, TAIL_RING_FLING)},
    {fling(SNAKE_STAR2_HINGES, ROTATION, STAR2_FLING)},
};

void snake::ringSegment(int hingeGroup)
{
    pushNode();
    addNodeToGroup(SNAKE_JOINTS);
    pushNode();
    if (hingeGroup)
        addNodeToGroup(hingeGroup);
    rotateNode(SIXTH_TURN, 0, 1, 0);
    setPosition(0, 0, -RING_RADIUS);
    addPart(SHAPE_TETRAHEDRON, "TETRAHEDRON1", 0);
    setPosition(0, 0, RING_RADIUS);
}

void snake::starSegment(int hingeGroup)
{
    pushNode();
    addNodeToGroup(SNAKE_JOINTS);
    pushNode();
    if (hingeGroup)
        addNodeToGroup(hingeGroup);
    rotateNode(SIXTH_TURN, 0, 1, 0);
    addPart(SHAPE_CUBE, "CUBE1", 0);
}

void snake::starCentre()
{
    pushNode();
    addNodeToGroup(SNAKE_JOINTS);
    pushNode();
    setPosition(0, -1, -RING_RADIUS);
}

snake::snake(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    beginFigure(SNAKE, sceneManager, root, instanceNumber);

    // head
    pushNode();
    setScale(0.1, 0.1, 0.1);
    rotateNode(1.7f, 1, 0, 0);
    addNodeToGroup(SNAKE_JOINTS);
    addPart(SHAPE_TETRAHEDRON, "TETRAHEDRON1", 0);
    setPosition(0, 0, 0);
    rotateNode(0, 0, 0, 0);
    setScale(1, 1, 1);
    editVertex(3, 0.02, 0, -RING_RADIUS);
    selectPart(0);

    // ring 1: its joint pivots carry the turn and the offset themselves
    repeat(5, [&](int) {
        pushNode();
        addNodeToGroup(SNAKE_JOINTS);
        rotateNode(SIXTH_TURN, 0, 1, 0);
        setPosition(0, 0, -RING_RADIUS);
        addPart(SHAPE_TETRAHEDRON, "TETRAHEDRON1", 0);
        setPosition(0, 0, RING_RADIUS);
    });

    // star 1: its first cube sits on the centre itself
    starCentre();
    addPart(SHAPE_CUBE, "CUBE1", 0);
    for (const VertexEdit& e : STAR_CUBE_EDITS)
        editVertex(e.vertex, e.x, e.y, e.z);
    selectPart(6);
    repeat(5, [&](int) { starSegment(0); });

    // the rest of the body hangs upside down below the head
    pushNode();
    addNodeToGroup(SNAKE_JOINTS);
    pushNode();
    setPosition(0, -5, -RING_RADIUS);
    rotateNode(3.14f, 1, 0, 0);

    repeat(6, [&](int) { ringSegment(0); });
    starCentre();
    repeat(6, [&](int) { starSegment(SNAKE_STAR2_HINGES); });

    repeatRandom(1, 5, [&](int) {
        pushNode();
        addNodeToGroup(SNAKE_JOINTS);
        addNodeToGroup(SNAKE_TAIL_SECTIONS);
        pushNode();
        setPosition(0.02, 4.5, RING_RADIUS);
        rotateNode(3.14f, 0, 0, 0); // the zero axis leaves it unturned
        repeat(6, [&](int) { ringSegment(SNAKE_TAIL_RING_HINGES); });
        starCentre();
        repeat(6, [&](int) { starSegment(SNAKE_TAIL_STAR_HINGES); });
    });
}

Model* makeSnake(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new snake(sceneManager, root, instanceNumber);
}
