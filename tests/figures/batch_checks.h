#pragma once
// A figure's batches as they stand against what drawing every part by its
// own entity shows: where each batched vertex lands and the normal it is lit
// by, which triangle faces are drawn, which material and which lights each
// batch takes, and that every shown part is drawn once. Reads only: the
// batches are not brought up to date first (FigureBatch::refresh does that,
// as the drawing does).
#include "model/FigureBatch.h"
#include "model/Model.h"
#include "model/Shape.h"

#include <OgreEntity.h>
#include <OgreHardwareBuffer.h>
#include <OgreLight.h>
#include <OgreMatrix3.h>
#include <OgreRenderOperation.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

struct BatchMismatch {
    // The farthest batched vertex from the part's own, in world units, and
    // the same as a share of max(1, distance from the world's origin).
    float distance = 0;
    float share = 0;
    // The largest difference of the unit normals the two are lit by.
    float normal = 0;
    // Triangles whose drawn face is the other side of the part's.
    std::size_t turnedFaces = 0;
    // Shown parts that no batch draws, hidden ones that one does, and parts
    // in more than one batch.
    std::size_t partsAmiss = 0;
    // Batched parts showing another material than their batch.
    std::size_t materials = 0;
    // Batches lit by other lights than the engine gives their parts.
    std::size_t lights = 0;
    // Where the worst distance was.
    std::string where;

    bool none(float shareTolerance = 1e-4f) const
    {
        return share < shareTolerance && normal < 1e-3f && turnedFaces == 0 && partsAmiss == 0 && materials == 0 &&
               lights == 0;
    }
};

inline std::ostream& operator<<(std::ostream& out, const BatchMismatch& m)
{
    return out << "vertices up to " << m.distance << " units off (share " << m.share << ", at " << m.where
               << "), normals " << m.normal << ", " << m.turnedFaces << " faces turned, " << m.partsAmiss
               << " parts amiss, " << m.materials << " materials, " << m.lights << " light sets";
}

namespace batch_checks {

// The vertices a part's shared mesh draws.
inline const std::vector<Ogre::Vector3>& drawnVertices(const Shape& part)
{
    return part.cache && !part.cache->drawnVertices.empty() ? part.cache->drawnVertices : part.vertices;
}

inline Ogre::Matrix3 linearOf(const Ogre::Matrix4& m) { return m.linear(); }

// The direction a normal is lit along under a transform: its inverse
// transpose (zero where the transform flattens everything).
inline Ogre::Vector3 litNormal(const Ogre::Matrix3& linear, const Ogre::Vector3& n)
{
    Ogre::Matrix3 inverse;
    if (!linear.Inverse(inverse, 0))
        return Ogre::Vector3::ZERO;
    Ogre::Vector3 out = inverse.Transpose() * n;
    if (!out.isZeroLength())
        out.normalise();
    return out;
}

// The side of triangle (a, b, c) that the engine draws under a transform
// of this linear part: counter-clockwise in front, and the other side
// when the transform mirrors (the engine turns its culling round then).
inline Ogre::Vector3 drawnSide(const Ogre::Matrix3& linear, const Ogre::Vector3& a, const Ogre::Vector3& b,
                               const Ogre::Vector3& c)
{
    const Ogre::Vector3 side = (linear * (b - a)).crossProduct(linear * (c - a));
    return linear.Determinant() < 0 ? -side : side;
}

struct Batch {
    Ogre::Renderable* renderable = nullptr;
    // Positions and normals in the anchor's space, and the index list.
    std::vector<Ogre::Vector3> positions, normals;
    std::vector<std::uint32_t> indices;
};

class Collect : public Ogre::Renderable::Visitor {
public:
    void visit(Ogre::Renderable* r, Ogre::ushort, bool, Ogre::Any*) override
    {
        Batch b;
        b.renderable = r;
        Ogre::RenderOperation op;
        r->getRenderOperation(op);
        if (op.indexData && op.indexData->indexCount > 0) {
            const auto& buffer = op.indexData->indexBuffer;
            Ogre::HardwareBufferLockGuard lock(buffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
            const bool wide = buffer->getType() == Ogre::HardwareIndexBuffer::IT_32BIT;
            for (std::size_t k = op.indexData->indexStart; k < op.indexData->indexStart + op.indexData->indexCount;
                 ++k)
                b.indices.push_back(wide ? static_cast<const std::uint32_t*>(lock.pData)[k]
                                         : static_cast<const std::uint16_t*>(lock.pData)[k]);
        }
        batches.push_back(std::move(b));
    }
    std::vector<Batch> batches;
};

inline bool degenerate(const Ogre::Vector3& scale)
{
    return std::fabs(scale.x) < 1e-12f || std::fabs(scale.y) < 1e-12f || std::fabs(scale.z) < 1e-12f;
}

inline std::vector<const Ogre::Light*> sorted(const Ogre::LightList& lights)
{
    std::vector<const Ogre::Light*> out(lights.begin(), lights.end());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace batch_checks

// The node transforms must be current (the drawing, or root->_update).
inline BatchMismatch batchMismatch(Model& figure)
{
    using namespace batch_checks;
    BatchMismatch m;
    FigureBatch* batch = figure.batch;
    if (!batch) {
        m.partsAmiss = figure.parts.size();
        return m;
    }
    Collect collect;
    batch->visitRenderables(&collect, false);
    // The vertices as the batch draws them: none for a batch it leaves out
    // as flat.
    for (std::size_t b = 0; b < collect.batches.size(); ++b)
        batch->readVertices(b, collect.batches[b].positions, collect.batches[b].normals);
    std::vector<int> times(figure.parts.size(), 0);
    for (std::size_t b = 0; b < batch->batchCount() && b < collect.batches.size(); ++b) {
        const Batch& got = collect.batches[b];
        const Ogre::SceneNode& anchor = *batch->anchorOf(b);
        const Ogre::Matrix4& anchorFull = anchor._getFullTransform();
        const Ogre::Matrix3 anchorLinear = linearOf(anchorFull);
        // Nothing of a batch shows while its anchor is flat; the parts are
        // flat with it.
        const bool flat = degenerate(anchor._getDerivedScale());
        const std::vector<Shape*>& parts = batch->partsOf(b);
        const Ogre::MaterialPtr& shown = got.renderable->getMaterial();
        const auto batchLights = sorted(got.renderable->getLights());
        std::size_t base = 0, at = 0, triangle = 0;
        for (const Shape* part : parts) {
            const auto index = std::find(figure.parts.begin(), figure.parts.end(), part) - figure.parts.begin();
            if (index < std::ptrdiff_t(times.size()))
                ++times[std::size_t(index)];
            if (part->entity->getSubEntity(0)->getMaterial() != shown)
                ++m.materials;
            if (sorted(part->entity->queryLights()) != batchLights)
                ++m.lights;
            if (flat)
                continue;
            const Ogre::Matrix4& partFull = part->node->_getFullTransform();
            const Ogre::Matrix3 partLinear = linearOf(partFull);
            const std::vector<Ogre::Vector3>& drawn = drawnVertices(*part);
            for (const Ogre::Vector3& v : drawn) {
                if (at >= got.positions.size()) {
                    m.share = std::max(m.share, 1.0f);
                    m.where = part->entity->getName() + ": no batched vertex";
                    break;
                }
                const Ogre::Vector3 want = partFull * v;
                const Ogre::Vector3 have = anchorFull * got.positions[at];
                const float distance = (want - have).length();
                const float share = distance / std::max(1.0f, want.length());
                if (share > m.share) {
                    std::ostringstream where;
                    where << part->entity->getName() << " vertex " << at - base << " at " << have << " for "
                          << want;
                    m.where = where.str();
                }
                m.distance = std::max(m.distance, distance);
                m.share = std::max(m.share, share);
                const Ogre::Vector3 normal = v.isZeroLength() ? Ogre::Vector3::ZERO : v.normalisedCopy();
                m.normal = std::max(m.normal, (litNormal(partLinear, normal) -
                                               litNormal(anchorLinear, got.normals[at])).length());
                ++at;
            }
            // Each triangle of the part's mesh against the batch's triangle
            // in its place (a part's triangles follow the previous part's),
            // which must join the same corners.
            for (const auto& t : Shape::primitiveTriangles(part->kind)) {
                const std::size_t k = triangle++ * 3;
                std::array<std::uint32_t, 3> corners{std::uint32_t(base + t[0]), std::uint32_t(base + t[1]),
                                                     std::uint32_t(base + t[2])};
                std::array<std::uint32_t, 3> mine{};
                if (k + 2 < got.indices.size())
                    mine = {got.indices[k], got.indices[k + 1], got.indices[k + 2]};
                std::array<std::uint32_t, 3> sortedCorners = corners, sortedMine = mine;
                std::sort(sortedCorners.begin(), sortedCorners.end());
                std::sort(sortedMine.begin(), sortedMine.end());
                if (sortedMine != sortedCorners || sortedMine[2] >= got.positions.size()) {
                    ++m.turnedFaces;
                    continue;
                }
                const Ogre::Vector3& p0 = got.positions[mine[0]];
                const Ogre::Vector3& p1 = got.positions[mine[1]];
                const Ogre::Vector3& p2 = got.positions[mine[2]];
                // A triangle so thin that the rounding of its corners could
                // turn it has no side to compare (nor has the engine's).
                const float longest = std::max({(p1 - p0).length(), (p2 - p1).length(), (p0 - p2).length()});
                const float noise = 1e-5f * longest * std::max({1.0f, p0.length(), p1.length(), p2.length()});
                if ((p1 - p0).crossProduct(p2 - p0).length() <= noise)
                    continue;
                const Ogre::Vector3 want = drawnSide(partLinear, drawn[t[0]], drawn[t[1]], drawn[t[2]]);
                const Ogre::Vector3 have = drawnSide(anchorLinear, p0, p1, p2);
                if (want.dotProduct(have) < 0)
                    ++m.turnedFaces;
            }
            base += drawn.size();
        }
        if (!flat && at != got.positions.size()) {
            m.share = std::max(m.share, 1.0f);
            m.where = "batch " + std::to_string(b) + " holds other vertices than its parts";
        }
    }
    for (std::size_t i = 0; i < figure.parts.size(); ++i) {
        const Shape* part = figure.parts[i];
        const bool shown = part && part->entity && part->entity->getVisible();
        if (times[i] != (shown ? 1 : 0))
            ++m.partsAmiss;
    }
    return m;
}
