#include "figures/environ3.h"

namespace {

const int ROOT_GROUP = 1;
const int STEM_GROUP = 2;
const int CHAIN_GROUP = 3;

const int STEMS = 9;
const int CHAIN_CUBES = 3;

} // namespace

// 0: the whole figure swings about z over five seconds and back in 0.8 s,
// the stems turning on the same beat. Group 3 is tagged but never moved.
const AnimationTable ENVIRON3_ANIMATIONS = {
    {
        keyframes(ROOT_GROUP, ROTATION, {{0, {-1.7, 0, 0, 1}}, {5000, {1.7, 0, 0, 1}}, {5800, {-1.7, 0, 0, 1}}}),
        keyframes(STEM_GROUP, ROTATION, {{0, {0.76, 0, 0, 1}}, {5000, {1.5, 0, 0, 1}}, {5800, {0.76, 0, 0, 1}}}),
    },
};

namespace {
const FigureHeader ENVIRON3{FIGURE_ENVIRON3, "environ3", 5, 1, &ENVIRON3_ANIMATIONS};
}

environ3::environ3(Ogre::SceneManager* sceneManager, Ogre::SceneNode* rootNode, int instance)
{
    beginFigure(ENVIRON3, sceneManager, rootNode, instance);
    rotateNode(0, 0, 0, 1);
    setPosition(0, 0, -20);
    addNodeToGroup(ROOT_GROUP);
    pushNode();
    setPosition(-5, 8, 0);
    addPart(SHAPE_CUBE, "CUBE0", 0);
    rotateNode(1.7f, 0, 0, 1);
    setScale(0.4, 5, 1);
    repeat(STEMS, [&](int) {
        // Each stem hangs on the -X face of the cube before it.
        selectPart(currentPartIndex);
        hangAtFace(3);
        addPart(SHAPE_CUBE, "CUBE0", 0);
        rotateNode(0.76f, 0, 0, 1);
        addNodeToGroup(STEM_GROUP);
        setPosition(0, 3.5, 4);
        repeat(CHAIN_CUBES, [&](int) {
            addPart(SHAPE_CUBE, "CUBE0", 0);
            setPosition(0.34, 0.2, -5);
            setScale(1, 0.5, 3);
            addNodeToGroup(CHAIN_GROUP);
            // The zero axis leaves the cube unturned.
            rotateNode(1.7f, 0, 0, 0);
        });
        selectPart(currentPartIndex - CHAIN_CUBES);
    });
}

Model* makeEnviron3(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new environ3(sceneManager, root, instanceNumber);
}
