#include "tests/model/test_figures.h"

const AnimationTable WALKER_ANIMATIONS = {
    // 0: destruction
    {keyframes(1, {POSITION, ROTATION},
               {{0, {{0, 0, 0}, {0, 0, 0, 0}}}, {1000, {{0, 10, 0}, {3, 1, 0, 0}}}})},
    // 1: idle loop
    {keyframes(1, ROTATION, {{0, {0, 0, 0, 0}}, {500, {1, 1, 0, 0}}, {1500, {0, 0, 0, 0}}}),
     keyframes(2, SCALE, {{0, {1, 1, 1}}, {750, {2, 2, 2}}, {1500, {1, 1, 1}}})},
    // 2: pulse
    {keyframes(2, SCALE, {{0, {1, 1, 1}}, {250, {1, 3, 1}}})},
    // 3: another pulse
    {keyframes(2, POSITION, {{0, {0, 0, 0}}, {250, {0, 3, 0}}})},
};

Model* makeSplinter(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance)
{
    static const FigureHeader header{FIGURE_TEST1, "splinter", 3, 2, nullptr};
    return new ScriptFigure(header, sceneManager, root, instance, [](Model& m) {
        m.addPart(SHAPE_CUBE, "CUBE0", 0);
        m.setScale(0.2, 0.2, 0.2);
        m.editVertex(0, -2.1, 0.79, 0.93);
        m.editVertex(1, 3.1, 0.9, 1.1);
    });
}

Model* makeWalker(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance)
{
    static const FigureHeader header{FIGURE_TEST2, "walker", 5, 0, &WALKER_ANIMATIONS};
    return new ScriptFigure(header, sceneManager, root, instance, [](Model& m) {
        m.pushNode();
        m.addNodeToGroup(1);
        m.addPart(SHAPE_SPHERE, "SPHERE0", 0);
        m.pushNode();
        m.addNodeToGroup(2);
        m.addPart(SHAPE_PYRAMID, "PYRAMID0", 3);
        m.setPosition(0, 2, 0);
    });
}

FilledFigureTable::FilledFigureTable()
{
    const FigureTable& game = gameFigureTable();
    types.assign(game.types, game.types + game.typeCount);
    for (FigureType& row : types)
        row.build = row.typeCode == BULLET_TYPE ? makeSplinter : makeWalker;
    scenery.assign(game.scenery, game.scenery + game.sceneryCount);
    for (SceneryChoice& choice : scenery)
        choice.build = makeWalker;
    table = {types.data(), int(types.size()), scenery.data(), int(scenery.size()), game.sceneryScale};
}
