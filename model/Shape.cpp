#include "model/Shape.h"

#include "model/FigureBatch.h"

#include <OgreEntity.h>
#include <OgreHardwareBufferManager.h>
#include <OgreMath.h>
#include <OgreMeshManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>

#include <cmath>

const char* const MESH_GROUP = "Custom";

std::map<std::string, ShapeCache*> shapeCacheMap;
int shapeCacheEra = 0;

void ensureMeshGroup()
{
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    if (!groups.resourceGroupExists(MESH_GROUP))
        groups.createResourceGroup(MESH_GROUP);
}

const char* shapeKindWord(int kind)
{
    static const char* const words[] = {"Cube", "Pyramid", "Tetrahedron", "Sphere", "Cylinder"};
    return kind >= 1 && kind <= 5 ? words[kind - 1] : nullptr;
}

void ShapeCache::destroy()
{
    vertexOffsets.clear();
    meshName.clear();
    vertexBuffer.reset();
    delete this;
}

Shape::~Shape()
{
    // The entity goes with its part, so that a figure that is rebuilt or
    // deleted leaves nothing behind in its scene manager.
    if (entity)
        entity->_getManager()->destroyEntity(entity);
    entity = nullptr;
    node = nullptr;
    cache = nullptr;
}

void Shape::addFace(int a, int b, int c, int d)
{
    Face f;
    f.vertexIndex[0] = a;
    f.vertexIndex[1] = b;
    f.vertexIndex[2] = c;
    f.vertexIndex[3] = d;
    f.vertexCount = d < 0 ? 3 : 4;
    faces.push_back(f);
}

void Shape::makeCube()
{
    kind = SHAPE_CUBE;
    vertices = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    faces.clear();
    addFace(0, 1, 2, 3);
    addFace(1, 5, 6, 2);
    addFace(5, 4, 7, 6);
    addFace(4, 0, 3, 7);
    addFace(4, 5, 1, 0);
    addFace(3, 2, 6, 7);
}

void Shape::makePyramid()
{
    kind = SHAPE_PYRAMID;
    vertices = {{-1, -1, 1}, {1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {0, 1, 0}};
    faces.clear();
    addFace(0, 1, 4);
    addFace(3, 4, 1);
    addFace(3, 2, 4);
    addFace(0, 4, 2);
    addFace(3, 2, 0, 1);
}

void Shape::makeTetrahedron()
{
    kind = SHAPE_TETRAHEDRON;
    vertices = {{-1, -1, 1}, {1, -1, 1}, {0, -1, -0.732f}, {0, 1, 0}};
    faces.clear();
    addFace(0, 1, 3);
    addFace(2, 3, 1);
    addFace(0, 3, 2);
    addFace(1, 0, 2);
}

void Shape::makeSphere()
{
    kind = SHAPE_SPHERE;
    // Eleven bands of eleven columns, two vertices per step; the first band
    // starts past the south pole and its first twenty vertices are in no face.
    auto lat = [](int k) { return (0.1 * k - 0.5) * 3.14; };
    auto lon = [](int j) { return 0.628 * (j - 1); };
    auto point = [](double a, double b) {
        return Ogre::Vector3(float(std::cos(a) * std::cos(b)), float(std::cos(a) * std::sin(b)),
                             float(std::sin(a)));
    };
    vertices.clear();
    vertices.reserve(242);
    for (int i = 0; i <= 10; ++i)
        for (int j = 0; j <= 10; ++j) {
            vertices.push_back(point(lat(i - 1), lon(j)));
            vertices.push_back(point(lat(i), lon(j)));
        }
    faces.clear();
    for (int k = 20; k < 240; ++k) {
        if (k % 2)
            addFace(k, k + 1, k + 2);
        else
            addFace(k + 2, k + 1, k);
    }
}

void Shape::makeCylinder()
{
    kind = SHAPE_CYLINDER;
    vertices.clear();
    faces.clear();
    double degrees = 0.0;
    for (int r = 0; r < 10; ++r)
        for (int k = 0; k < 20; ++k) {
            float radians = float(degrees) * Ogre::Math::fDeg2Rad;
            double x = std::trunc(10.0 * std::cos(double(radians)));
            double z = std::trunc(10.0 * std::sin(double(radians)));
            vertices.emplace_back(float(x), float(2 * r), float(z));
            degrees += 18.0;
            int c = 20 * r + k;
            if (r < 9) {
                if (k < 19)
                    addFace(c + 1, c + 21, c + 20, c);
                else
                    addFace(c - 19, c + 1, c + 20, c);
            }
        }
    vertices.emplace_back(0, 0, 0);
    vertices.emplace_back(0, 18, 0);
    for (int k = 0; k < 20; ++k) {
        int next = k < 19 ? k + 1 : 0;
        addFace(k, next, 200);
        addFace(180 + k, 201, 180 + next);
    }
}

bool Shape::makeKind(int k)
{
    switch (k) {
    case SHAPE_CUBE: makeCube(); return true;
    case SHAPE_PYRAMID: makePyramid(); return true;
    case SHAPE_TETRAHEDRON: makeTetrahedron(); return true;
    case SHAPE_SPHERE: makeSphere(); return true;
    case SHAPE_CYLINDER: makeCylinder(); return true;
    default: return false;
    }
}

void Shape::triangulate()
{
    triangles.clear();
    for (const Face& f : faces) {
        const int* v = f.vertexIndex;
        if (f.vertexCount == 3) {
            triangles.push_back({std::uint16_t(v[0]), std::uint16_t(v[1]), std::uint16_t(v[2])});
        } else {
            triangles.push_back({std::uint16_t(v[0]), std::uint16_t(v[3]), std::uint16_t(v[1])});
            triangles.push_back({std::uint16_t(v[1]), std::uint16_t(v[3]), std::uint16_t(v[2])});
        }
    }
}

Ogre::MeshPtr Shape::createManualMesh(const std::string& name)
{
    triangulate();
    ensureMeshGroup();
    auto& meshes = Ogre::MeshManager::getSingleton();
    // The engine keeps manual meshes after the shape cache that named them is
    // gone; a screen entered again makes its meshes anew under the same names.
    // Entities of other screens that still show the old mesh keep it alive
    // through their own handles.
    if (meshes.resourceExists(name, MESH_GROUP))
        meshes.remove(name, MESH_GROUP);
    mesh = meshes.createManual(name, MESH_GROUP);
    Ogre::SubMesh* sub = mesh->createSubMesh();

    mesh->sharedVertexData = new Ogre::VertexData();
    Ogre::VertexDeclaration* decl = mesh->sharedVertexData->vertexDeclaration;
    decl->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
    decl->addElement(0, 12, Ogre::VET_FLOAT3, Ogre::VES_NORMAL);
    decl->addElement(0, 24, Ogre::VET_FLOAT2, Ogre::VES_TEXTURE_COORDINATES, 0);
    mesh->sharedVertexData->vertexCount = vertices.size();

    auto& buffers = Ogre::HardwareBufferManager::getSingleton();
    vertexBuffer = buffers.createVertexBuffer(32, vertices.size(),
                                              Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, false);
    mesh->sharedVertexData->vertexBufferBinding->setBinding(0, vertexBuffer);
    fillVertices();

    sub->useSharedVertices = true;
    sub->indexData->indexStart = 0;
    sub->indexData->indexCount = triangles.size() * 3;
    sub->indexData->indexBuffer = buffers.createIndexBuffer(
        Ogre::HardwareIndexBuffer::IT_16BIT, triangles.size() * 3,
        Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, false);
    {
        Ogre::HardwareBufferLockGuard lock(sub->indexData->indexBuffer,
                                           Ogre::HardwareBuffer::HBL_DISCARD);
        auto* out = static_cast<std::uint16_t*>(lock.pData);
        for (const auto& t : triangles) {
            *out++ = t[0];
            *out++ = t[1];
            *out++ = t[2];
        }
    }
    mesh->load();
    return mesh;
}

Ogre::MeshPtr Shape::buildMesh(const std::string& name, ShapeCache* record, bool newMesh)
{
    if (newMesh) {
        createManualMesh(name);
        builtMesh = true;
        record->meshName = name;
        record->vertexBuffer = vertexBuffer;
        if (record->vertexOffsets.size() < vertices.size())
            record->vertexOffsets.resize(vertices.size(), Ogre::Vector3::ZERO);
        record->drawnVertices = vertices;
        cache = record;
    } else {
        mesh = Ogre::MeshManager::getSingleton().getByName(record->meshName, MESH_GROUP);
        cache = record;
        vertexBuffer = record->vertexBuffer;
    }
    return mesh;
}

Ogre::MeshPtr Shape::buildNamedMesh(const std::string& name)
{
    return createManualMesh(name);
}

void Shape::fillVertices()
{
    if (!vertexBuffer)
        return;
    Ogre::AxisAlignedBox box;
    {
        Ogre::HardwareBufferLockGuard lock(vertexBuffer, Ogre::HardwareBuffer::HBL_DISCARD);
        auto* out = static_cast<float*>(lock.pData);
        std::size_t count = std::min(vertices.size(), vertexBuffer->getNumVertices());
        for (std::size_t i = 0; i < count; ++i) {
            const Ogre::Vector3& p = vertices[i];
            Ogre::Vector3 n = p.isZeroLength() ? Ogre::Vector3::ZERO : p.normalisedCopy();
            *out++ = p.x;
            *out++ = p.y;
            *out++ = p.z;
            *out++ = n.x;
            *out++ = n.y;
            *out++ = n.z;
            *out++ = 0.0f;
            *out++ = 0.0f;
            box.merge(p);
        }
    }
    if (cache && cache->vertexBuffer == vertexBuffer) {
        cache->drawnVertices.assign(vertices.begin(), vertices.begin() + std::min(vertices.size(), vertexBuffer->getNumVertices()));
        ++cache->edits;
    }
    ++meshEditCount;
    if (mesh) {
        mesh->_setBounds(box, true);
        mesh->_setBoundingSphereRadius((box.getMaximum() - box.getMinimum()).length() * 0.5f);
    }
}

void Shape::selectFace(int i)
{
    if (i >= int(faces.size()))
        i = int(faces.size()) - 1;
    selectedFace = i;
}

void Shape::selectVertex(int i)
{
    if (i >= int(vertices.size()))
        i = int(vertices.size()) - 1;
    selectedVertex = i;
}

void Shape::setVertex(double x, double y, double z)
{
    int i = selectedVertex;
    if (i < 0 || i >= int(vertices.size()) || !cache)
        return;
    if (cache->vertexOffsets.size() < vertices.size())
        cache->vertexOffsets.resize(vertices.size(), Ogre::Vector3::ZERO);
    cache->edited = true;
    Ogre::Vector3& offset = cache->vertexOffsets[i];
    Ogre::Vector3& v = vertices[i];
    // The corner is the primitive's plus the new offset. Stepping the part's
    // own copy by the change of offset gives the same in the part that made
    // the mesh, but a part that found the mesh holds the plain corner, and
    // would end at the new offset minus the old one.
    const std::vector<Ogre::Vector3>& corners = primitiveVertices(kind);
    const Ogre::Vector3 base = i < int(corners.size()) ? corners[i] : v - offset;
    v.x = float(base.x + x);
    v.y = float(base.y + y);
    v.z = float(base.z + z);
    offset = Ogre::Vector3(float(x), float(y), float(z));
    for (std::size_t f = 0; f < faces.size(); ++f) {
        const Face& face = faces[f];
        for (int c = 0; c < face.vertexCount; ++c)
            if (face.vertexIndex[c] == i) {
                computeFaceCentre(int(f));
                break;
            }
    }
    fillVertices();
}

Ogre::Vector3 Shape::getVertex() const
{
    int i = selectedVertex;
    if (i < 0 || i >= int(vertices.size()))
        return Ogre::Vector3::ZERO;
    return sharedVertex(i);
}

Ogre::Vector3 Shape::sharedVertex(int i) const
{
    if (!cache || !cache->edited || i >= int(cache->vertexOffsets.size()))
        return vertices[i];
    // Where the shared mesh draws it: the primitive's corner plus the key's
    // offset, whichever part made the edit.
    const std::vector<Ogre::Vector3>& corners = primitiveVertices(kind);
    if (i >= int(corners.size()))
        return vertices[i];
    return corners[i] + cache->vertexOffsets[i];
}

const std::vector<Ogre::Vector3>& Shape::primitiveVertices(int kind)
{
    static std::vector<Ogre::Vector3> tables[6];
    static bool made = false;
    if (!made) {
        for (int k = 1; k <= 5; ++k) {
            Shape s;
            s.makeKind(k);
            tables[k] = s.vertices;
        }
        made = true;
    }
    return tables[kind >= 1 && kind <= 5 ? kind : 0];
}

const std::vector<std::array<std::uint16_t, 3>>& Shape::primitiveTriangles(int kind)
{
    static std::vector<std::array<std::uint16_t, 3>> tables[6];
    static bool made = false;
    if (!made) {
        for (int k = 1; k <= 5; ++k) {
            Shape s;
            s.makeKind(k);
            s.triangulate();
            tables[k] = s.triangles;
        }
        made = true;
    }
    return tables[kind >= 1 && kind <= 5 ? kind : 0];
}

Ogre::Vector3 Shape::getFaceCentre() const
{
    int f = selectedFace;
    if (f < 0 || f >= int(faces.size()))
        return Ogre::Vector3::ZERO;
    double c[3];
    sharedFaceCentre(f, c);
    return Ogre::Vector3(float(c[0]), float(c[1]), float(c[2]));
}

// From the shared mesh rather than this part's own vertices, so that a part
// that took its mesh from the cache hangs its sockets where the part that
// made and edited the mesh would.
void Shape::sharedFaceCentre(int f, double* centre) const
{
    const Face& face = faces[f];
    double sum[3] = {0, 0, 0};
    for (int c = 0; c < face.vertexCount; ++c) {
        Ogre::Vector3 v = sharedVertex(face.vertexIndex[c]);
        sum[0] += v.x;
        sum[1] += v.y;
        sum[2] += v.z;
    }
    for (int k = 0; k < 3; ++k)
        centre[k] = sum[k] / face.vertexCount;
}

void Shape::computeFaceCentre(int f)
{
    sharedFaceCentre(f, faces[f].centre);
}

void Shape::computeFaceCentres()
{
    for (std::size_t f = 0; f < faces.size(); ++f)
        computeFaceCentre(int(f));
}

void Shape::setMaterial(const Ogre::MaterialPtr& m)
{
    previousMaterial = material;
    material = m;
    // An empty handle leaves the entity with the material it shows.
    if (entity && m)
        entity->setMaterial(m);
    if (batch)
        batch->materialChanged();
}
