#pragma once
// The base of every figure: a tree of scene nodes under one pooled root node,
// primitive parts at some of them, integer groups of nodes that the
// animations move, and the material handles that damage flashes need.
//
// A figure class is a build script and an animation table. Its constructor
// calls beginFigure (the common start) and then runs its script with the
// build steps below (pushNode, addPart, setPosition, ...), which read like
// the figure's step tables; its animations are plain AnimationTable data.
// A figure file then looks like this:
//
//   const AnimationTable SPLINTER_ANIMATIONS = {
//       /* 0 */ {keyframes(1, ROTATION, {{0, {0, 0, 0, 1}}, {500, {3.14, 0, 0, 1}}})},
//   };
//   const FigureHeader SPLINTER{FIGURE_CRYSTAL, "splinter", 3, 2, &SPLINTER_ANIMATIONS};
//
//   splinter::splinter(Ogre::SceneManager* s, Ogre::SceneNode* root, int n)
//   {
//       beginFigure(SPLINTER, s, root, n);
//       addPart(SHAPE_CUBE, "CUBE0", 0);
//       addNodeToGroup(1);
//       setScale(0.2, 0.2, 0.2);
//       editVertex(0, -2.1, 0.79, 0.93);
//   }
//
// plus a builder `Model* makeSplinter(s, root, n)` in the factory's table
// (model/FigureTable.cpp).
#include "model/Animation.h"
#include "model/Shape.h"

#include <OgreColourValue.h>
#include <OgreMaterial.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Ogre {
class SceneManager;
class SceneNode;
} // namespace Ogre

class FigureBatch;
class ModelManager;

// The text a default-formatted string stream gives for x ("3", "10").
std::string formatNumber(double x);
// min(a, b) + (rand() mod 10000) * 0.0001 * |a - b|, truncated toward zero:
// randomInt(1, 5) gives 1 to 4.
std::int32_t randomInt(double a, double b);
// The same without the truncation.
double randomReal(double a, double b);

// The figure classes; each has its own instance counter, which numbers its
// mesh variants and is set back to 0 by every ModelManager construction.
enum FigureClass {
    FIGURE_BEE,
    FIGURE_BLOCKER,
    FIGURE_BUMPER,
    FIGURE_CRYSTAL,
    FIGURE_DRAGONFLY,
    FIGURE_E2,
    FIGURE_E3,
    FIGURE_E4,
    FIGURE_E5,
    FIGURE_E6,
    FIGURE_ENVIRON3,
    FIGURE_ER,
    FIGURE_FLOWER,
    FIGURE_MODASTEROID,
    FIGURE_MODELKESTOR,
    FIGURE_MOSQUITO,
    FIGURE_SCORPION,
    FIGURE_SNAKE,
    FIGURE_SPIKE,
    FIGURE_TEN1,
    FIGURE_TENTMONST,
    // Spare counters for figures that exist only in tests.
    FIGURE_TEST1,
    FIGURE_TEST2,
    FIGURE_CLASS_COUNT
};

extern int instanceCounter[FIGURE_CLASS_COUNT];

// The header of a figure class: what beginFigure sets before the script.
struct FigureHeader {
    FigureClass figureClass;
    const char* name;
    std::int32_t variantLimit;
    std::int32_t paletteKind;
    // null for a figure without animations
    const AnimationTable* animations;
    // e2 and the asteroid append the instance number to their name
    bool nameWithInstance = false;
    // With a numbered name, whether the mesh keys carry the number too. The
    // asteroid's do, since every asteroid shapes a mesh of its own; a figure
    // whose meshes are shared by variant keys them by the class literal, so
    // that their number stays bounded by the variant limit.
    bool meshKeysWithInstance = true;
};

class Model {
public:
    Model() = default;
    virtual ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // Runs the driver of animation id. The base runs the figure's table when
    // it has one (ids outside it do nothing); a class overrides it only to run
    // another class's animation as its own.
    virtual void animate(int animationId, int nowMs);

    // --- figure start and build operations ---
    // The common start of every figure constructor: header fields, the
    // animation table, setRoot, reset, the class counter + 1 (the build's
    // variant number) and the name.
    void beginFigure(const FigureHeader& header, Ogre::SceneManager* sceneManager,
                     Ogre::SceneNode* rootNode, int instance);
    void setRoot(Ogre::SceneNode* node);
    // Back to an empty build: parts deleted (the lists emptied), groups,
    // counts, running animations and nodes emptied, the root's children
    // destroyed, the root the only node, instance number + 1.
    void reset();
    void clearParts();
    void pushNode();
    // A part on the record's mesh (made when newMesh). Kinds outside 1..5 do
    // nothing.
    void addPart(ShapeCache* record, Ogre::SceneManager* sceneManager, int kind, int colour,
                 bool newMesh);
    void rotateNode(float angle, float x, float y, float z);
    void setRootOrientation(float y, float z);
    void addNodeToGroup(std::int32_t group);
    void selectNode(std::int32_t index);
    void selectPart(std::int32_t index);
    Shape* currentPart() const;
    std::string variantName(std::uint32_t variant);

    // --- build steps of the figure scripts, on the cursor and current part ---
    // The part step: the mesh key is the variant name + partKey; the key's
    // mesh is shared if the cache has it, else made and entered.
    void addPart(int kind, const char* partKey, int colour);
    void setPosition(double x, double y, double z);
    void setScale(double x, double y, double z);
    // Sets the vertex only when the current part made its mesh.
    void editVertex(int vertex, double x, double y, double z);
    void editVertexAlways(int vertex, double x, double y, double z);
    void hangAtVertex(int vertex);
    void hangAtFace(int face);
    template <class Block> void repeat(int n, Block block)
    {
        for (int i = 0; i < n; ++i)
            block(i);
    }
    // The bound is drawn again before every pass, the failing test included.
    template <class Block> void repeatRandom(double a, double b, Block block)
    {
        for (int i = 0; i < randomInt(a, b); ++i)
            block(i);
    }

    // --- materials (damage flashes) ---
    Ogre::MaterialPtr getMaterial() const;
    void setMaterial(const Ogre::MaterialPtr& m);
    void setColour(const Ogre::ColourValue& c);
    void restoreMaterials();

    // --- animation ---
    void startAnimation(std::int32_t id, bool loop, std::int32_t startMs);
    void playAnimation(std::int32_t id, bool loop, std::int32_t startMs);
    void update(std::int32_t nowMs);
    void animationEnded(std::int32_t id, std::int32_t nowMs);
    bool isAnimating() const { return !activeAnimations.empty(); }
    // The driver of animation id with the tracks given (normally the
    // figure's own table entry of that id).
    void runAnimation(std::int32_t id, const Animation& tracks, std::int32_t nowMs);
    // One track at an elapsed time; sets the track's done flag once past it.
    void runTrack(const Track& track, std::uint32_t elapsed, bool& done);

    Ogre::SceneNode* root = nullptr;
    Ogre::SceneNode* currentNode = nullptr;
    bool flashing = false;
    bool finished = false;
    std::int32_t currentNodeIndex = 0;
    std::int32_t currentPartIndex = 0;
    std::int32_t nodeCount = 0;
    std::vector<Shape*> parts;
    std::vector<Ogre::SceneNode*> nodes;
    std::vector<std::int32_t> activeAnimations;
    std::string name;
    std::int32_t instanceNumber = 0;
    std::int32_t variantLimit = 0;
    std::int32_t paletteKind = 0;
    float flashStartMs = 0.0f;
    std::int32_t animationCount = 0;
    std::vector<AnimationState> animations;
    std::vector<Shape*> materialParts;
    std::multimap<std::int32_t, std::int32_t> groups;
    // Writes per node index in the current frame; all zero between frames.
    std::vector<std::int32_t> blendCounts;
    Ogre::ColourValue flashColour = Ogre::ColourValue(1, 1, 1, 1);
    Ogre::ColourValue baseAmbient = Ogre::ColourValue(1, 1, 1, 1);

    // The figure's animation data (null: no animations).
    const AnimationTable* animationTable = nullptr;
    // The build's variant number (the class counter after its raise).
    std::int32_t variant = 0;
    // What variant names (and so mesh keys) begin with: the name, or the
    // class literal alone (FigureHeader::meshKeysWithInstance).
    std::string variantPrefix;
    // The scene manager the figure is built on.
    Ogre::SceneManager* sceneManager = nullptr;
    // The manager whose flash list holds this figure, and the damage
    // material lent to it; both cleared when the flash ends.
    ModelManager* flashManager = nullptr;
    Ogre::MaterialPtr damageMaterial;
    // Draws the parts in batches (FigureBatch.h); made with the first part,
    // attached to the root, deleted with the parts.
    FigureBatch* batch = nullptr;

    // A build step changed a node: the batches are made again before drawing.
    void nodesChanged();

private:
    void writeChannel(const Track& track, Channel channel, const double* value);
    void hangAt(const Ogre::Vector3& p);
};
