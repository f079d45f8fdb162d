#include "model/Model.h"

#include "app/NodePool.h"
#include "model/ColourScheme.h"
#include "model/FigureBatch.h"
#include "model/ModelManager.h"
#include "platform/random.h"

#include <OgreEntity.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>

#include <algorithm>
#include <cmath>
#include <sstream>

int instanceCounter[FIGURE_CLASS_COUNT] = {};

std::string formatNumber(double x)
{
    std::ostringstream out;
    out << x;
    return out.str();
}

std::int32_t randomInt(double a, double b)
{
    return std::int32_t(randomReal(a, b));
}

double randomReal(double a, double b)
{
    int r = plat::rand() % 10000;
    return std::min(a, b) + r * 0.0001 * std::fabs(a - b);
}

Model::~Model()
{
    if (flashManager)
        flashManager->forgetModel(this);
    clearParts();
    animations.clear();
    name.clear();
    if (root) {
        root->removeAndDestroyAllChildren();
        if (nodePool)
            nodePool->giveBack(root);
    }
}

void Model::beginFigure(const FigureHeader& header, Ogre::SceneManager* manager,
                        Ogre::SceneNode* rootNode, int instance)
{
    sceneManager = manager;
    animationTable = header.animations;
    animationCount = header.animations ? std::int32_t(header.animations->size()) : 0;
    variantLimit = header.variantLimit;
    paletteKind = header.paletteKind;
    instanceNumber = instance;
    currentNodeIndex = 0;
    animations.assign(animationCount, AnimationState());
    for (std::int32_t id = 0; id < animationCount; ++id) {
        AnimationState& state = animations[id];
        state.trackCount = std::int32_t((*header.animations)[id].size());
        state.trackDone.assign(state.trackCount, false);
    }
    setRoot(rootNode);
    reset();
    variant = ++instanceCounter[header.figureClass];
    name = header.name;
    if (header.nameWithInstance)
        name += formatNumber(instance);
    variantPrefix = header.meshKeysWithInstance ? name : std::string(header.name);
}

void Model::setRoot(Ogre::SceneNode* node)
{
    root = node;
    activeAnimations.clear();
    currentNode = root;
    currentNodeIndex = 0;
    currentPartIndex = 0;
    nodes.push_back(root);
    ++nodeCount;
}

void Model::reset()
{
    // The parts are deleted here rather than merely forgotten: a reset figure
    // is only ever cleared and deleted afterwards, and nothing reads them.
    clearParts();
    currentNode = root;
    if (root)
        root->removeAndDestroyAllChildren();
    currentNodeIndex = 0;
    currentPartIndex = 0;
    nodeCount = 1;
    nodes.push_back(root);
    ++instanceNumber;
}

void Model::clearParts()
{
    delete batch;
    batch = nullptr;
    for (Shape* part : parts)
        delete part;
    parts.clear();
    materialParts.clear();
    blendCounts.clear();
    groups.clear();
    activeAnimations.clear();
    nodes.clear();
}

void Model::pushNode()
{
    currentNode = currentNode->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    ++nodeCount;
    currentNodeIndex = std::int32_t(nodes.size());
    nodes.push_back(currentNode);
}

void Model::addPart(ShapeCache* record, Ogre::SceneManager* manager, int kind, int colour,
                    bool newMesh)
{
    const char* word = shapeKindWord(kind);
    if (!word)
        return;
    Shape* shape = new Shape();
    shape->makeKind(kind);
    shape->buildMesh(record->meshName, record, newMesh);

    std::string entityName =
        name + std::to_string(instanceNumber) + "_" + word + std::to_string(nodeCount);
    Ogre::Entity* entity = manager->createEntity(entityName, shape->mesh);
    currentNode = currentNode->createChildSceneNode(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    currentNode->attachObject(entity);
    shape->entity = entity;
    shape->setMaterial(getColourMaterial(colour, paletteKind));
    if (!batch && root) {
        batch = new FigureBatch(*this);
        root->attachObject(batch);
    }
    if (batch)
        batch->invalidate();

    materialParts.push_back(shape);
    currentPartIndex = std::int32_t(parts.size());
    currentNodeIndex = std::int32_t(nodes.size());
    ++nodeCount;
    shape->node = currentNode;
    shape->computeFaceCentres();
    parts.push_back(shape);
    nodes.push_back(currentNode);
}

void Model::addPart(int kind, const char* partKey, int colour)
{
    if (!shapeKindWord(kind))
        return;
    std::string key = variantName(std::uint32_t(variant)) + partKey;
    auto found = shapeCacheMap.find(key);
    bool newMesh = found == shapeCacheMap.end();
    ShapeCache* record = newMesh ? new ShapeCache() : found->second;
    if (newMesh)
        record->meshName = key;
    addPart(record, sceneManager, kind, colour, newMesh);
    if (newMesh)
        shapeCacheMap.emplace(key, record);
}

void Model::rotateNode(float angle, float x, float y, float z)
{
    currentNode->setOrientation(rotationOf(angle, x, y, z));
    nodesChanged();
}

void Model::nodesChanged()
{
    if (batch)
        batch->invalidate();
}

void Model::setRootOrientation(float y, float z)
{
    root->setOrientation(rotationOf(-1.7, 0.0, y, z));
}

void Model::addNodeToGroup(std::int32_t group)
{
    auto range = groups.equal_range(group);
    for (auto it = range.first; it != range.second; ++it)
        if (it->second == currentNodeIndex)
            return;
    groups.emplace(group, currentNodeIndex);
}

void Model::selectNode(std::int32_t index)
{
    if (index >= nodeCount)
        index = nodeCount - 1;
    if (index < 0)
        index = 0;
    if (index >= std::int32_t(nodes.size()))
        return;
    currentNodeIndex = index;
    currentNode = nodes[index];
}

void Model::selectPart(std::int32_t index)
{
    if (parts.empty())
        return;
    if (index >= std::int32_t(parts.size()))
        index = std::int32_t(parts.size()) - 1;
    if (index < 0)
        index = 0;
    currentPartIndex = index;
    currentNode = parts[index]->node;
}

Shape* Model::currentPart() const
{
    if (currentPartIndex < 0 || currentPartIndex >= std::int32_t(parts.size()))
        return nullptr;
    return parts[currentPartIndex];
}

std::string Model::variantName(std::uint32_t v)
{
    if (v > std::uint32_t(variantLimit))
        v = std::uint32_t(randomInt(1.0, variantLimit));
    return (variantPrefix.empty() ? name : variantPrefix) + formatNumber(v);
}

void Model::setPosition(double x, double y, double z)
{
    currentNode->setPosition(float(x), float(y), float(z));
    nodesChanged();
}

void Model::setScale(double x, double y, double z)
{
    currentNode->setScale(float(x), float(y), float(z));
    nodesChanged();
}

void Model::editVertex(int vertex, double x, double y, double z)
{
    Shape* part = currentPart();
    if (!part)
        return;
    part->selectVertex(vertex);
    if (part->builtMesh)
        part->setVertex(x, y, z);
}

void Model::editVertexAlways(int vertex, double x, double y, double z)
{
    Shape* part = currentPart();
    if (!part)
        return;
    part->selectVertex(vertex);
    part->setVertex(x, y, z);
}

namespace {

// The shortest turn taking unit vector a onto unit vector b; only asked for
// pairs at most about 125 degrees apart, so it is never degenerate.
Ogre::Quaternion shortestTurn(const Ogre::Vector3& a, const Ogre::Vector3& b)
{
    Ogre::Vector3 axis = a.crossProduct(b);
    Ogre::Quaternion q(1.0f + a.dotProduct(b), axis.x, axis.y, axis.z);
    q.normalise();
    return q;
}

// The turn of a socket hung at p (in its part's coordinates); a zero or
// non-finite p gives none.
Ogre::Quaternion socketOrientation(const Ogre::Vector3& p)
{
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z) || p.isZeroLength())
        return Ogre::Quaternion::IDENTITY;
    Ogre::Vector3 d = p.normalisedCopy();
    // +Y has no shortest turn onto -Y (the engine's own answer there is a
    // half turn about +Y, and near it a flip over), so a face that points
    // mostly downward keeps +Y up: its socket turns -Y toward the centre
    // after that half turn. Straight down gives exactly the half turn, and
    // the edited and the plain copy of one face hang their parts alike.
    if (-d.y > std::fabs(d.x) && -d.y > std::fabs(d.z))
        return shortestTurn(Ogre::Vector3::NEGATIVE_UNIT_Y, d) * Ogre::Quaternion(0, 0, 1, 0);
    return shortestTurn(Ogre::Vector3::UNIT_Y, d);
}

} // namespace

void Model::hangAt(const Ogre::Vector3& p)
{
    pushNode();
    currentNode->setPosition(p);
    currentNode->setOrientation(socketOrientation(p));
    nodesChanged();
}

void Model::hangAtVertex(int vertex)
{
    Shape* part = currentPart();
    if (!part)
        return;
    part->selectVertex(vertex);
    hangAt(part->getVertex());
}

void Model::hangAtFace(int face)
{
    Shape* part = currentPart();
    if (!part)
        return;
    part->selectFace(face);
    hangAt(part->getFaceCentre());
}

Ogre::MaterialPtr Model::getMaterial() const
{
    if (materialParts.empty() || !materialParts.front())
        return Ogre::MaterialPtr();
    return materialParts.front()->getMaterial();
}

void Model::setMaterial(const Ogre::MaterialPtr& m)
{
    for (Shape* part : materialParts)
        if (part)
            part->setMaterial(m);
}

void Model::restoreMaterials()
{
    for (Shape* part : materialParts)
        if (part)
            part->setMaterial(part->getPreviousMaterial());
}

void Model::setColour(const Ogre::ColourValue& c)
{
    flashColour = c;
    Ogre::MaterialPtr m = getMaterial();
    if (m)
        baseAmbient = m->getTechnique(0)->getPass(0)->getAmbient();
}

void Model::startAnimation(std::int32_t id, bool loop, std::int32_t startMs)
{
    if (id < 0 || id >= animationCount)
        return;
    // A running destruction blocks every start, its own restart included.
    if (!activeAnimations.empty() && activeAnimations.back() == 0)
        return;
    if (std::find(activeAnimations.begin(), activeAnimations.end(), id) == activeAnimations.end())
        activeAnimations.push_back(id);
    AnimationState& state = animations[id];
    state.loop = loop;
    state.startMs = startMs;
    std::fill(state.trackDone.begin(), state.trackDone.end(), false);
}

void Model::playAnimation(std::int32_t id, bool loop, std::int32_t startMs)
{
    activeAnimations.clear();
    if (id >= 0)
        startAnimation(id, loop, startMs);
}

void Model::update(std::int32_t nowMs)
{
    if (activeAnimations.empty())
        return;
    if (blendCounts.size() != nodes.size())
        blendCounts.assign(nodes.size(), 0);
    else
        std::fill(blendCounts.begin(), blendCounts.end(), 0);
    // Marked from the root down before the writes, every node is known to
    // its parent as needing an update, and the engine keeps no list of
    // moved children (which it would allocate for every write); the whole
    // figure is brought up to date anyway when its root moves.
    for (Ogre::SceneNode* node : nodes)
        if (node)
            node->needUpdate();
    // The length is read again every pass: an animation that ends leaves the
    // list, and the one that moves into its place waits for the next frame.
    for (std::size_t i = 0; i < activeAnimations.size(); ++i)
        animate(activeAnimations[i], nowMs);
    std::fill(blendCounts.begin(), blendCounts.end(), 0);
}

void Model::animate(int animationId, int nowMs)
{
    if (animationTable && animationId >= 0 && animationId < animationCount &&
        animationId < int(animationTable->size()))
        runAnimation(animationId, (*animationTable)[animationId], nowMs);
}

void Model::animationEnded(std::int32_t id, std::int32_t nowMs)
{
    if (id < 0 || id >= animationCount)
        return;
    AnimationState& state = animations[id];
    if (state.loop) {
        state.startMs = nowMs;
        std::fill(state.trackDone.begin(), state.trackDone.end(), false);
        return;
    }
    auto it = std::find(activeAnimations.begin(), activeAnimations.end(), id);
    if (it != activeAnimations.end())
        activeAnimations.erase(it);
    if (id == 0)
        finished = true;
}

void Model::runAnimation(std::int32_t id, const Animation& tracks, std::int32_t nowMs)
{
    if (id < 0 || id >= animationCount)
        return;
    AnimationState& state = animations[id];
    // A time before the start reads as a very large elapsed time.
    std::uint32_t elapsed = std::uint32_t(nowMs) - std::uint32_t(state.startMs);
    bool anyOpen = std::find(state.trackDone.begin(), state.trackDone.end(), false) !=
                   state.trackDone.end();
    if (!anyOpen) {
        animationEnded(id, nowMs);
        return;
    }
    std::size_t count = std::min(tracks.size(), state.trackDone.size());
    for (std::size_t t = 0; t < count; ++t) {
        bool done = state.trackDone[t];
        runTrack(tracks[t], elapsed, done);
        state.trackDone[t] = done;
    }
}

void Model::runTrack(const Track& track, std::uint32_t elapsed, bool& done)
{
    for (const Window& w : track.windows) {
        std::uint32_t start = std::uint32_t(w.startMs);
        std::uint32_t end = std::uint32_t(w.endMs);
        bool inside = w.startMs == 0 ? elapsed < end : (elapsed > start && elapsed < end);
        if (!inside)
            continue;
        double fraction = double(elapsed - start) / double(w.endMs - w.startMs);
        for (const ChannelWrite& write : w.writes) {
            double value[4];
            lerpArray(fraction, 4, write.from.data(), write.to.data(), value);
            writeChannel(track, write.channel, value);
        }
        break;
    }
    if (elapsed > std::uint32_t(track.endMs()))
        done = true;
}

void Model::writeChannel(const Track& track, Channel channel, const double* value)
{
    if (blendCounts.size() != nodes.size())
        blendCounts.resize(nodes.size(), 0);
    Ogre::Quaternion rotation;
    if (channel == ROTATION)
        rotation = rotationOf(value[0], value[1], value[2], value[3]);
    auto range = groups.equal_range(track.group);
    for (auto it = range.first; it != range.second; ++it) {
        std::int32_t index = it->second;
        if (index < 0 || index >= std::int32_t(nodes.size()))
            continue;
        Ogre::SceneNode* node = nodes[index];
        if (batch)
            batch->nodesMoved();
        std::int32_t& n = blendCounts[index];
        if (channel == ROTATION) {
            node->setOrientation(n == 0 ? rotation
                                        : blendRotation(rotation, node->getOrientation(), n));
        } else {
            double v[3] = {value[0], value[1], value[2]};
            if (n > 0) {
                const Ogre::Vector3& c =
                    channel == POSITION ? node->getPosition() : node->getScale();
                double current[3] = {c.x, c.y, c.z};
                blendAverage(3, n, current, v);
            }
            Ogre::Vector3 out{float(v[0]), float(v[1]), float(v[2])};
            if (channel == POSITION)
                node->setPosition(out);
            else
                node->setScale(out);
        }
        ++n;
    }
}
