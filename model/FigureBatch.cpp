#include "model/FigureBatch.h"

#include "model/Model.h"
#include "model/ModelManager.h"
#include "model/Shape.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreHardwareBufferManager.h>
#include <OgreLight.h>
#include <OgreSceneManager.h>
#include <OgreRenderQueue.h>
#include <OgreSubEntity.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>

std::uint64_t meshEditCount = 0;

namespace {

bool batching = true;

// Part entities while batches draw them: no viewport's mask matches.
constexpr Ogre::uint32 HIDDEN_FLAGS = 0;

// Below this a scale component counts as zero: nothing of the batch shows.
constexpr float DEGENERATE_SCALE = 1e-12f;

bool flatScale(const Ogre::Vector3& scale)
{
    return std::fabs(scale.x) < DEGENERATE_SCALE || std::fabs(scale.y) < DEGENERATE_SCALE ||
           std::fabs(scale.z) < DEGENERATE_SCALE;
}

// Whether two scales, neither flat, differ by more than a common factor (a
// zero component would make every product zero and any two scales alike).
bool sameShape(const Ogre::Vector3& a, const Ogre::Vector3& b)
{
    const float tolerance = 1e-6f;
    auto close = [tolerance](float p, float q) {
        return std::fabs(p - q) <= tolerance * std::max(std::fabs(p), std::fabs(q));
    };
    return close(a.y * b.x, a.x * b.y) && close(a.z * b.x, a.x * b.z);
}

// The lights the engine gives a part: of the lights that reach the view,
// those whose range reaches the part's bounding sphere (its mesh's, scaled
// by its node) around its node, one bit each in the view's order.
std::uint32_t lightsOf(const Shape& part, const Ogre::LightList& candidates)
{
    std::uint32_t bits = 0;
    const Ogre::Vector3& at = part.node->_getDerivedPosition();
    const Ogre::Real radius = part.entity->getBoundingRadiusScaled();
    const std::size_t n = std::min<std::size_t>(candidates.size(), 32);
    for (std::size_t i = 0; i < n; ++i) {
        const Ogre::Light* light = candidates[i];
        if (!(light->getLightMask() & part.entity->getLightMask()))
            continue;
        if (light->getType() == Ogre::Light::LT_DIRECTIONAL) {
            bits |= 1u << i;
            continue;
        }
        const Ogre::Real reach = light->getAttenuationRange() + radius;
        if ((light->getDerivedPosition() - at).squaredLength() <= reach * reach)
            bits |= 1u << i;
    }
    return bits;
}

const Ogre::MaterialPtr& shownMaterial(const Shape* part)
{
    return part->entity->getSubEntity(0)->getMaterial();
}

} // namespace

void setBatchedDrawing(bool on) { batching = on; }
bool batchedDrawing() { return batching; }

// One batch: the parts of one figure with one material and one set of lights.
class FigureBatch::Cluster : public Ogre::Renderable {
public:
    Cluster() : vertexData(new Ogre::VertexData()), indexData(new Ogre::IndexData())
    {
        Ogre::VertexDeclaration* decl = vertexData->vertexDeclaration;
        decl->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
        decl->addElement(0, 12, Ogre::VET_FLOAT3, Ogre::VES_NORMAL);
        decl->addElement(0, 24, Ogre::VET_FLOAT2, Ogre::VES_TEXTURE_COORDINATES, 0);
    }
    ~Cluster() override
    {
        delete indexData;
        delete vertexData;
    }

    // What the first part's entity shows (a part given an empty handle
    // keeps the material it had).
    const Ogre::MaterialPtr& getMaterial() const override { return shownMaterial(parts.front()); }
    void getRenderOperation(Ogre::RenderOperation& op) override
    {
        op.operationType = Ogre::RenderOperation::OT_TRIANGLE_LIST;
        op.useIndexes = true;
        op.vertexData = vertexData;
        op.indexData = indexData;
        op.srcRenderable = this;
    }
    void getWorldTransforms(Ogre::Matrix4* xform) const override
    {
        *xform = anchor->_getFullTransform();
    }
    Ogre::Real getSquaredViewDepth(const Ogre::Camera* cam) const override
    {
        return anchor->getSquaredViewDepth(cam);
    }
    // The set of lights every part of the batch gets, kept from when the
    // batch was made (the engine sorts a part's lights by distance anew
    // whenever it moves, which only reorders the same lights).
    const Ogre::LightList& getLights() const override { return lightList; }

    Ogre::SceneNode* anchor = nullptr;
    std::vector<Shape*> parts;
    Ogre::VertexData* vertexData;
    Ogre::IndexData* indexData;
    std::size_t vertexCapacity = 0;
    std::size_t indexCapacity = 0;
    Ogre::HardwareIndexBuffer::IndexType indexType = Ogre::HardwareIndexBuffer::IT_16BIT;
    // In the anchor's space, for culling.
    Ogre::AxisAlignedBox box;
    // The anchor's derived scale the vertices were placed for.
    Ogre::Vector3 bakedScale = Ogre::Vector3::UNIT_SCALE;
    // Placed for a flat anchor: it holds no vertices at all.
    bool degenerate = false;
    // The edits of the parts' meshes the vertices were placed from
    // (FigureBatch::editsOf).
    std::uint64_t edits = 0;
    // Per part: its place in the anchor's space mirrors, and its triangles
    // are wound the other way, as the engine turns its culling round for
    // the part's own mirrored transform.
    std::vector<char> mirrored;
    std::uint32_t lights = 0;
    Ogre::LightList lightList;
};

FigureBatch::FigureBatch(Model& m) : model(m)
{
    cacheEra = shapeCacheEra;
    editsSeen = meshEditCount;
}

FigureBatch::~FigureBatch()
{
    showParts(true);
    for (Shape* part : model.parts)
        if (part && part->batch == this)
            part->batch = nullptr;
    // Their buffers serve the next figures while a model manager lives,
    // until a manager goes (ModelManager::~ModelManager).
    spares.insert(spares.end(), clusters.begin(), clusters.end());
    for (Cluster* c : spares) {
        c->parts.clear();
        c->anchor = nullptr;
        if (ModelManager::liveManagers() > 0)
            pool().push_back(c);
        else
            delete c;
    }
    detachFromParent();
}

const Ogre::String& FigureBatch::getMovableType() const
{
    static const Ogre::String type = "FigureBatch";
    return type;
}

const Ogre::AxisAlignedBox& FigureBatch::getBoundingBox() const
{
    // The part entities stay attached, so their nodes' bounds already cover
    // the figure; the batches are culled one by one when drawn.
    static const Ogre::AxisAlignedBox none;
    return none;
}

const std::vector<Shape*>& FigureBatch::partsOf(std::size_t i) const
{
    static const std::vector<Shape*> none;
    return i < clusters.size() ? clusters[i]->parts : none;
}

void FigureBatch::readVertices(std::size_t i, std::vector<Ogre::Vector3>& positions,
                               std::vector<Ogre::Vector3>& normals) const
{
    positions.clear();
    normals.clear();
    if (i >= clusters.size() || clusters[i]->degenerate)
        return;
    const Cluster& c = *clusters[i];
    Ogre::HardwareBufferLockGuard lock(c.vertexData->vertexBufferBinding->getBuffer(0), 0,
                                       c.vertexData->vertexCount * 32, Ogre::HardwareBuffer::HBL_READ_ONLY);
    const auto* in = static_cast<const float*>(lock.pData);
    for (std::size_t v = 0; v < c.vertexData->vertexCount; ++v, in += 8) {
        positions.emplace_back(in[0], in[1], in[2]);
        normals.emplace_back(in[3], in[4], in[5]);
    }
}

Ogre::SceneNode* FigureBatch::anchorOf(std::size_t i) const
{
    return i < clusters.size() ? clusters[i]->anchor : nullptr;
}

void FigureBatch::showParts(bool shown)
{
    if (partsHidden == !shown)
        return;
    for (Shape* part : model.parts)
        if (part && part->entity)
            part->entity->setVisibilityFlags(shown ? Ogre::MovableObject::getDefaultVisibilityFlags()
                                                   : HIDDEN_FLAGS);
    partsHidden = !shown;
}

void FigureBatch::_notifyCurrentCamera(Ogre::Camera* cam)
{
    MovableObject::_notifyCurrentCamera(cam);
    camera = cam;
}

bool FigureBatch::needsRebuild()
{
    if (dirty)
        return true;
    const std::vector<Shape*>& parts = model.parts;
    if (parts.size() != partShown.size())
        return true;
    static const Ogre::LightList noLights;
    const Ogre::LightList& candidates =
        model.sceneManager ? model.sceneManager->_getLightsAffectingFrustum() : noLights;
    const std::size_t lightCount = std::min<std::size_t>(candidates.size(), 32);
    if (lightCount != viewLights.size() || !std::equal(viewLights.begin(), viewLights.end(), candidates.begin()))
        return true;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Shape* part = parts[i];
        if (!part || !part->entity || !part->node)
            continue;
        const bool shown = part->entity->getVisible();
        if (char(shown) != partShown[i] || (shown && lightsOf(*part, candidates) != partLights[i]))
            return true;
    }
    if (editsSeen != meshEditCount) {
        editsSeen = meshEditCount;
        if (cacheEra == shapeCacheEra)
            for (std::size_t i = 0; i < parts.size(); ++i)
                if (parts[i] && parts[i]->cache && parts[i]->cache->edits != partEdits[i]) {
                    rebakeAll = true;
                    return true;
                }
    }
    if (materialsChanged) {
        materialsChanged = false;
        for (const Cluster* c : clusters)
            for (const Shape* part : c->parts)
                if (shownMaterial(part) != shownMaterial(c->parts.front()))
                    return true;
    }
    return false;
}

void FigureBatch::refresh()
{
    if (needsRebuild()) {
        rebuild();
        moved = false;
    } else if (moved) {
        moved = false;
        for (Cluster* c : clusters)
            bake(*c, true);
    }
    // Placed for one anchor scale, the vertices hold for its multiples only;
    // placed for a flat one, there are none to hold.
    for (std::size_t k = 0; k < clusters.size(); ++k) {
        Cluster& c = *clusters[k];
        const Ogre::Vector3& scale = c.anchor->_getDerivedScale();
        if (flatScale(scale) != c.degenerate || (!c.degenerate && !sameShape(scale, c.bakedScale)))
            bake(c);
    }
}

void FigureBatch::rebuild()
{
    dirty = false;
    materialsChanged = false;
    editsSeen = meshEditCount;

    const std::vector<Shape*>& parts = model.parts;
    partShown.assign(parts.size(), 0);
    partEdits.assign(parts.size(), 0);
    partLights.assign(parts.size(), 0);
    static const Ogre::LightList noLights;
    const Ogre::LightList& candidates =
        model.sceneManager ? model.sceneManager->_getLightsAffectingFrustum() : noLights;
    viewLights.assign(candidates.begin(), candidates.begin() + std::min<std::size_t>(candidates.size(), 32));
    for (std::size_t g = 0; g < groupCount; ++g)
        groups[g].parts.clear();
    groupCount = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        Shape* part = parts[i];
        if (!part || !part->entity || !part->node)
            continue;
        partShown[i] = part->entity->getVisible();
        if (partsHidden)
            part->entity->setVisibilityFlags(HIDDEN_FLAGS);
        if (cacheEra == shapeCacheEra && part->cache)
            partEdits[i] = part->cache->edits;
        part->batch = this;
        if (!partShown[i])
            continue;
        partLights[i] = lightsOf(*part, candidates);
        const Ogre::Material* material = shownMaterial(part).get();
        Group* group = nullptr;
        for (std::size_t g = 0; g < groupCount && !group; ++g)
            if (groups[g].lights == partLights[i] && groups[g].material == material)
                group = &groups[g];
        if (!group) {
            if (groupCount == groups.size())
                groups.emplace_back();
            group = &groups[groupCount++];
            group->lights = partLights[i];
            group->material = material;
        }
        group->parts.push_back(part);
    }

    // A batch drawn until now whose parts are the same keeps its vertices,
    // if they still hold: no node moved and no mesh of its parts was edited
    // since they were placed (the move of this frame included). It takes
    // the lights of its group as they are now. The rest are placed anew, in
    // buffers this figure or an earlier one left.
    spares.insert(spares.end(), clusters.begin(), clusters.end());
    clusters.clear();
    const bool placesHold = !rebakeAll && !moved;
    for (std::size_t g = 0; g < groupCount; ++g) {
        const Group& group = groups[g];
        auto same = spares.end();
        if (placesHold) {
            const std::uint64_t edits = editsOf(group.parts);
            same = std::find_if(spares.begin(), spares.end(), [&group, edits](const Cluster* c) {
                return c->parts == group.parts && c->edits == edits;
            });
        }
        if (same != spares.end()) {
            Cluster* c = *same;
            spares.erase(same);
            c->lights = group.lights;
            c->lightList = group.parts.front()->entity->queryLights();
            clusters.push_back(c);
            continue;
        }
        Cluster* c = takeCluster();
        c->anchor = model.root;
        c->lights = group.lights;
        c->parts = group.parts;
        c->lightList = group.parts.front()->entity->queryLights();
        bake(*c);
        clusters.push_back(c);
    }
    // A batch no longer drawn misses every later placing: it is kept for its
    // buffers only, and no later rebuild may take its vertices for current.
    for (Cluster* c : spares)
        c->parts.clear();
    rebakeAll = false;
}

std::uint64_t FigureBatch::editsOf(const std::vector<Shape*>& parts) const
{
    std::uint64_t sum = 0;
    if (cacheEra == shapeCacheEra)
        for (const Shape* part : parts)
            if (part->cache)
                sum += part->cache->edits;
    return sum;
}

FigureBatch::Cluster* FigureBatch::takeCluster()
{
    if (!spares.empty()) {
        Cluster* c = spares.back();
        spares.pop_back();
        return c;
    }
    std::vector<Cluster*>& shared = pool();
    if (!shared.empty()) {
        Cluster* c = shared.back();
        shared.pop_back();
        return c;
    }
    return new Cluster();
}

std::vector<FigureBatch::Cluster*>& FigureBatch::pool()
{
    static std::vector<Cluster*> clusters;
    return clusters;
}

void FigureBatch::releasePool()
{
    for (Cluster* c : pool())
        delete c;
    pool().clear();
    pool().shrink_to_fit();
}

// The vertices of every part of c in the anchor's space, placed so that the
// anchor's transform puts them where the engine puts the part's own (the
// part's full transform taken back by the anchor's), with normals that the
// anchor's inverse transpose turns as the part's would turn the part's own.
void FigureBatch::bake(Cluster& c, bool again)
{
    const Ogre::Vector3 anchorScale = c.anchor->_getDerivedScale();
    c.bakedScale = anchorScale;
    c.degenerate = flatScale(anchorScale);
    c.edits = editsOf(c.parts);
    c.box.setNull();
    if (c.degenerate) {
        // Nothing is written: the buffers hold nothing of these parts, and
        // the next placing writes them whole.
        c.vertexData->vertexCount = 0;
        c.indexData->indexCount = 0;
        return;
    }

    std::size_t vertexCount = 0, indexCount = 0;
    for (const Shape* part : c.parts) {
        vertexCount += Shape::primitiveVertices(part->kind).size();
        indexCount += Shape::primitiveTriangles(part->kind).size() * 3;
    }
    auto& buffers = Ogre::HardwareBufferManager::getSingleton();
    const auto indexType =
        vertexCount > 65535 ? Ogre::HardwareIndexBuffer::IT_32BIT : Ogre::HardwareIndexBuffer::IT_16BIT;
    again = again && vertexCount == c.vertexData->vertexCount;
    if (vertexCount > c.vertexCapacity) {
        c.vertexCapacity = vertexCount;
        c.vertexData->vertexBufferBinding->setBinding(
            0, buffers.createVertexBuffer(32, vertexCount, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, false));
    }
    if (!again && (indexCount > c.indexCapacity || indexType != c.indexType)) {
        c.indexCapacity = indexCount;
        c.indexType = indexType;
        c.indexData->indexBuffer = buffers.createIndexBuffer(indexType, indexCount,
                                                             Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, false);
    }
    if (!again)
        c.mirrored.assign(c.parts.size(), 0);
    // The indices are written again when a part's mirroring changed since.
    bool rewind = !again;
    c.vertexData->vertexStart = 0;
    c.vertexData->vertexCount = vertexCount;
    c.indexData->indexStart = 0;
    c.indexData->indexCount = indexCount;

    const Ogre::Affine3& anchorFull = c.anchor->_getFullTransform();
    const Ogre::Affine3 toAnchor = anchorFull.inverse();
    const Ogre::Matrix3 anchorLinearT = anchorFull.linear().Transpose();
    // Placed in one scratch array (kept, so placing allocates nothing) and
    // written in one go: placed again each frame a figure moves, written
    // over in place (the previous frame is drawn by then), with no read back
    // that a lock of the buffer would make.
    static std::vector<float> scratch;
    if (scratch.size() < vertexCount * 8)
        scratch.resize(vertexCount * 8);
    float* out = scratch.data();
    for (std::size_t k = 0; k < c.parts.size(); ++k) {
        const Shape* part = c.parts[k];
        const Ogre::Affine3& partFull = part->node->_getFullTransform();
        const Ogre::Affine3 place = toAnchor * partFull;
        const char mirrored = place.linear().Determinant() < 0;
        if (c.mirrored[k] != mirrored) {
            c.mirrored[k] = mirrored;
            rewind = true;
        }
        Ogre::Matrix3 partInverse;
        const bool flat = !partFull.linear().Inverse(partInverse, 0);
        const Ogre::Matrix3 turn = anchorLinearT * partInverse.Transpose();
        // What the part's shared mesh draws: the last vertices written to it.
        const std::vector<Ogre::Vector3>* drawn = &part->vertices;
        if (cacheEra == shapeCacheEra && part->cache && !part->cache->drawnVertices.empty())
            drawn = &part->cache->drawnVertices;
        const std::size_t count = Shape::primitiveVertices(part->kind).size();
        for (std::size_t v = 0; v < count; ++v) {
            const Ogre::Vector3 p = v < drawn->size() ? (*drawn)[v] : Ogre::Vector3::ZERO;
            const Ogre::Vector3 placed = place * p;
            Ogre::Vector3 normal = Ogre::Vector3::ZERO;
            if (!p.isZeroLength() && !flat) {
                normal = turn * p.normalisedCopy();
                if (!normal.isZeroLength())
                    normal.normalise();
            }
            *out++ = placed.x;
            *out++ = placed.y;
            *out++ = placed.z;
            *out++ = normal.x;
            *out++ = normal.y;
            *out++ = normal.z;
            *out++ = 0.0f;
            *out++ = 0.0f;
            c.box.merge(placed);
        }
    }
    c.vertexData->vertexBufferBinding->getBuffer(0)->writeData(0, vertexCount * 32, scratch.data(), !again);
    if (!rewind)
        return;
    Ogre::HardwareBufferLockGuard indexLock(c.indexData->indexBuffer, Ogre::HardwareBuffer::HBL_DISCARD);
    auto* out16 = static_cast<std::uint16_t*>(indexLock.pData);
    auto* out32 = static_cast<std::uint32_t*>(indexLock.pData);
    std::size_t base = 0;
    for (std::size_t k = 0; k < c.parts.size(); ++k) {
        const Shape* part = c.parts[k];
        for (const auto& t : Shape::primitiveTriangles(part->kind)) {
            const std::uint16_t corners[3] = {t[0], c.mirrored[k] ? t[2] : t[1], c.mirrored[k] ? t[1] : t[2]};
            for (std::uint16_t index : corners) {
                if (c.indexType == Ogre::HardwareIndexBuffer::IT_16BIT)
                    *out16++ = std::uint16_t(base + index);
                else
                    *out32++ = std::uint32_t(base + index);
            }
        }
        base += Shape::primitiveVertices(part->kind).size();
    }
}

void FigureBatch::_updateRenderQueue(Ogre::RenderQueue* queue)
{
    if (!batching) {
        showParts(true);
        return;
    }
    showParts(false);
    refresh();
    // The screens move every figure's root each frame, all of them children
    // of one node: marked as moving as a whole, it keeps no list of moved
    // children for the next frame (which the engine would allocate).
    if (Ogre::Node* parent = model.root->getParent())
        parent->needUpdate();
    for (std::size_t k = 0; k < clusters.size(); ++k) {
        Cluster& c = *clusters[k];
        if (c.degenerate || c.box.isNull())
            continue;
        if (camera) {
            Ogre::AxisAlignedBox world = c.box;
            world.transform(c.anchor->_getFullTransform());
            if (!camera->isVisible(world))
                continue;
        }
        queue->addRenderable(&c, mRenderQueueID, mRenderQueuePriority);
    }
}

void FigureBatch::visitRenderables(Ogre::Renderable::Visitor* visitor, bool)
{
    for (std::size_t k = 0; k < clusters.size(); ++k)
        visitor->visit(clusters[k], 0, false);
}
