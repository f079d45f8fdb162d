#pragma once
// Draws a figure in a few batches instead of one draw per part: the parts
// that show one material and get the same lights are merged into one vertex
// buffer in the root's space, drawn with the root's transform (which the
// screens move every frame at no cost to the batches). A frame in which an
// animation wrote some node of the figure places the batches' vertices anew
// from the parts' nodes.
//
// The parts keep everything that makes the figure: their nodes, entities,
// shared meshes and materials. While batches draw, the part entities stay
// attached to their nodes but are left out of rendering (their visibility
// flags are cleared); a hidden part entity (setVisible(false)) leaves its
// batch too. A batch is made again before it is drawn whenever what it was
// made from changes: a part added, a material that no longer matches its
// batch's, a shared mesh edited, a part hidden or shown, a part reaching or
// leaving a light, the view's lights changing. The vertices are placed so
// that the drawn picture is the one the engine gives the parts' own nodes,
// non-uniform scales and mirroring transforms included. A batch is only
// ever drawn from vertices placed since its parts last moved or changed
// shape: one that is no longer drawn keeps its buffers but not its parts.
#include <OgreAxisAlignedBox.h>
#include <OgreHardwareIndexBuffer.h>
#include <OgreHardwareVertexBuffer.h>
#include <OgreMovableObject.h>
#include <OgreRenderable.h>
#include <OgreVector.h>

#include <cstdint>
#include <vector>

class Model;
class Shape;

// Process-wide choice of drawing: batches (the game's) or every part by its
// own entity, as before batching. Switchable at any time; each figure
// follows at its next drawing.
void setBatchedDrawing(bool on);
bool batchedDrawing();

// Counts every figure vertex buffer edit (Shape::fillVertices), so that
// batches notice an edit of a mesh they copied.
extern std::uint64_t meshEditCount;

class FigureBatch : public Ogre::MovableObject {
public:
    explicit FigureBatch(Model& model);
    ~FigureBatch() override;
    FigureBatch(const FigureBatch&) = delete;
    FigureBatch& operator=(const FigureBatch&) = delete;

    // Made again before the next drawing.
    void invalidate() { dirty = rebakeAll = true; }
    // A part's material changed: checked against its batch before drawing.
    void materialChanged() { materialsChanged = true; }
    // Some node of the figure was moved (an animation wrote it): the
    // vertices are placed anew before the next drawing.
    void nodesMoved() { moved = true; }

    // Brings the batches up to date now (the drawing does it by itself).
    void refresh();
    // How many batches the figure was last drawn in.
    std::size_t batchCount() const { return clusters.size(); }
    // The node batch i is drawn at (the root), its parts, and its vertices
    // as written (in the node's space; a part's vertices follow the previous
    // part's).
    Ogre::SceneNode* anchorOf(std::size_t i) const;
    const std::vector<Shape*>& partsOf(std::size_t i) const;
    void readVertices(std::size_t i, std::vector<Ogre::Vector3>& positions,
                      std::vector<Ogre::Vector3>& normals) const;

    // Ogre::MovableObject
    const Ogre::String& getMovableType() const override;
    const Ogre::AxisAlignedBox& getBoundingBox() const override;
    Ogre::Real getBoundingRadius() const override { return 0; }
    void _notifyCurrentCamera(Ogre::Camera* cam) override;
    void _updateRenderQueue(Ogre::RenderQueue* queue) override;
    void visitRenderables(Ogre::Renderable::Visitor* visitor, bool debugRenderables) override;

    // Frees the buffers that deleted figures left for later ones; every
    // model manager calls it when its screen ends (the engine must outlive
    // every buffer).
    static void releasePool();

private:
    class Cluster;
    struct Group {
        std::uint32_t lights = 0;
        const Ogre::Material* material = nullptr;
        std::vector<Shape*> parts;
    };
    static std::vector<Cluster*>& pool();
    Cluster* takeCluster();

    void showParts(bool shown);
    bool needsRebuild();
    void rebuild();
    // The sum of the edit counts of the parts' mesh records: it grows with
    // every edit of any of them.
    std::uint64_t editsOf(const std::vector<Shape*>& parts) const;
    // Places the vertices of c's parts; again: into the buffers c has, for
    // the same parts.
    void bake(Cluster& c, bool again = false);

    Model& model;
    std::vector<Cluster*> clusters;
    // Batches not drawn now, kept for their buffers.
    std::vector<Cluster*> spares;
    // Scratch of rebuild, kept for its capacity.
    std::vector<Group> groups;
    std::size_t groupCount = 0;
    // What the batches were made from: every part's visibility and the edit
    // count of its mesh record, in part order.
    std::vector<char> partShown;
    std::vector<std::uint64_t> partEdits;
    // The lights the engine gives each part (bits of the scene's lights that
    // reach the view), which decide its lighting: a batch holds parts of
    // one set only.
    std::vector<std::uint32_t> partLights;
    // The lights that reached the view then, which the bits stand for: the
    // same bits mean other lights once the view's list changes.
    std::vector<const Ogre::Light*> viewLights;
    std::uint64_t editsSeen = 0;
    int cacheEra = 0;
    bool dirty = true;
    // The parts' places or vertices may have changed: no batch keeps its
    // vertices at the next rebuild.
    bool rebakeAll = true;
    bool materialsChanged = false;
    bool moved = false;
    bool partsHidden = false;
    Ogre::Camera* camera = nullptr;
};
