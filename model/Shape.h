#pragma once
// One part of a figure: a primitive solid's vertices and faces, the manual
// mesh drawn from them, and the entity, node and material that show it.
// Parts of one mesh key share one mesh, one vertex buffer and one record of
// vertex edits (ShapeCache).
#include <OgreHardwareVertexBuffer.h>
#include <OgreMaterial.h>
#include <OgreMesh.h>
#include <OgreVector.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Ogre {
class Entity;
class SceneNode;
} // namespace Ogre

// The resource group of every figure mesh.
extern const char* const MESH_GROUP;

// Creates MESH_GROUP unless the engine has it already.
void ensureMeshGroup();

enum ShapeKind {
    SHAPE_CUBE = 1,
    SHAPE_PYRAMID = 2,
    SHAPE_TETRAHEDRON = 3,
    SHAPE_SPHERE = 4,
    SHAPE_CYLINDER = 5,
};

// "Cube", "Pyramid", ... for kinds 1 to 5; null for any other.
const char* shapeKindWord(int kind);

struct Face {
    int vertexIndex[4] = {-1, -1, -1, -1};
    int vertexCount = 0;
    double centre[3] = {0, 0, 0};
};

// The shared state of one mesh key: its vertex buffer and the edit offset of
// every vertex. Owned by shapeCacheMap.
struct ShapeCache {
    Ogre::HardwareVertexBufferSharedPtr vertexBuffer;
    std::string meshName;
    std::vector<Ogre::Vector3> vertexOffsets;
    // Some offset was set: until then every part's own vertices are the
    // mesh's, and nothing need be read through the offsets.
    bool edited = false;
    // The vertices last written to the buffer (what every part of the key
    // draws), and how many times it was written.
    std::vector<Ogre::Vector3> drawnVertices;
    std::uint64_t edits = 0;

    // Frees the record itself.
    void destroy();
};

// Mesh key -> record, process-wide. See ModelManager for when it is emptied.
extern std::map<std::string, ShapeCache*> shapeCacheMap;
// Raised whenever shapeCacheMap is emptied: records of an older era are gone.
extern int shapeCacheEra;

class FigureBatch;

class Shape {
public:
    Shape() = default;
    ~Shape();
    Shape(const Shape&) = delete;
    Shape& operator=(const Shape&) = delete;

    void makeCube();
    void makePyramid();
    void makeTetrahedron();
    void makeSphere();
    void makeCylinder();
    // The primitive of a kind (1 to 5); false for any other kind.
    bool makeKind(int kind);

    // A new manual mesh named `name` when newMesh, else the engine's mesh of
    // the record's name; either way the shape joins the record.
    Ogre::MeshPtr buildMesh(const std::string& name, ShapeCache* record, bool newMesh);
    // A manual mesh of this shape under `name`, tied to no record.
    Ogre::MeshPtr buildNamedMesh(const std::string& name);
    // Rewrites the whole shared vertex buffer from this shape's vertices.
    void fillVertices();
    void triangulate();

    void selectFace(int i);
    void selectVertex(int i);
    // Moves the selected vertex to the primitive's corner plus (x, y, z) in the
    // shared mesh (the offset replaces the previous one, it does not add).
    void setVertex(double x, double y, double z);
    // The selected vertex, and the centre of the selected face, as the shared
    // mesh places them (primitive plus the key's offsets), the same for every
    // part of the key whether it made the mesh or took it from the cache.
    Ogre::Vector3 getVertex() const;
    Ogre::Vector3 getFaceCentre() const;
    void computeFaceCentre(int face);
    void computeFaceCentres();

    void setMaterial(const Ogre::MaterialPtr& m);
    Ogre::MaterialPtr getMaterial() const { return material; }
    Ogre::MaterialPtr getPreviousMaterial() const { return previousMaterial; }

    Ogre::HardwareVertexBufferSharedPtr vertexBuffer;
    Ogre::MeshPtr mesh;
    int selectedFace = 0;
    int selectedVertex = 0;
    Ogre::SceneNode* node = nullptr;
    // Destroyed with the shape, through the scene manager that made it.
    Ogre::Entity* entity = nullptr;
    Ogre::MaterialPtr material;
    Ogre::MaterialPtr previousMaterial;
    std::vector<Ogre::Vector3> vertices;
    std::vector<Face> faces;
    std::vector<std::array<std::uint16_t, 3>> triangles;
    ShapeCache* cache = nullptr;
    // This part made its mesh (rather than sharing one that existed).
    bool builtMesh = false;
    // The primitive the shape was made as (0 before any).
    int kind = 0;

    // The batch that draws this part, told of material changes; null when
    // none does.
    FigureBatch* batch = nullptr;

    // The unedited corners of a primitive kind (empty for an unknown kind).
    static const std::vector<Ogre::Vector3>& primitiveVertices(int kind);
    // The index triangles of a primitive kind's mesh (empty for an unknown
    // kind).
    static const std::vector<std::array<std::uint16_t, 3>>& primitiveTriangles(int kind);

private:
    void addFace(int a, int b, int c, int d = -1);
    Ogre::Vector3 sharedVertex(int i) const;
    void sharedFaceCentre(int face, double* centre) const;
    Ogre::MeshPtr createManualMesh(const std::string& name);
};
