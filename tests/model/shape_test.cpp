// Primitive geometry, triangulation, selection, vertex edits on shared
// meshes, and the manual mesh layout read back from its buffers.
#include "tests/model/ogre_fixture.h"

#include <OgreSubMesh.h>

#include <cmath>

namespace {

void expectVec(const Ogre::Vector3& actual, float x, float y, float z, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

std::vector<int> faceIndices(const Face& f)
{
    return std::vector<int>(f.vertexIndex, f.vertexIndex + f.vertexCount);
}

} // namespace

TEST(Primitives, VertexFaceAndTriangleCounts)
{
    struct Case {
        int kind;
        std::size_t vertices, faces, triangles;
    };
    const Case cases[] = {
        {SHAPE_CUBE, 8, 6, 12},       {SHAPE_PYRAMID, 5, 5, 6},      {SHAPE_TETRAHEDRON, 4, 4, 4},
        {SHAPE_SPHERE, 242, 220, 220}, {SHAPE_CYLINDER, 202, 220, 400},
    };
    for (const Case& c : cases) {
        Shape s;
        ASSERT_TRUE(s.makeKind(c.kind));
        s.triangulate();
        EXPECT_EQ(s.vertices.size(), c.vertices) << "kind " << c.kind;
        EXPECT_EQ(s.faces.size(), c.faces) << "kind " << c.kind;
        EXPECT_EQ(s.triangles.size(), c.triangles) << "kind " << c.kind;
        for (const auto& t : s.triangles)
            for (auto index : t)
                EXPECT_LT(index, c.vertices);
    }
    Shape none;
    EXPECT_FALSE(none.makeKind(0));
    EXPECT_FALSE(none.makeKind(6));
}

TEST(Primitives, TabledCoordinatesAndFaces)
{
    Shape cube;
    cube.makeCube();
    expectVec(cube.vertices[0], -1, -1, -1);
    expectVec(cube.vertices[2], 1, 1, -1);
    expectVec(cube.vertices[5], 1, -1, 1);
    expectVec(cube.vertices[7], -1, 1, 1);
    EXPECT_EQ(faceIndices(cube.faces[1]), (std::vector<int>{1, 5, 6, 2}));
    EXPECT_EQ(faceIndices(cube.faces[4]), (std::vector<int>{4, 5, 1, 0}));
    cube.computeFaceCentres();
    const float centres[6][3] = {{0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, -1, 0}, {0, 1, 0}};
    for (int f = 0; f < 6; ++f) {
        cube.selectFace(f);
        expectVec(cube.getFaceCentre(), centres[f][0], centres[f][1], centres[f][2]);
    }

    Shape pyramid;
    pyramid.makePyramid();
    expectVec(pyramid.vertices[4], 0, 1, 0);
    EXPECT_EQ(faceIndices(pyramid.faces[4]), (std::vector<int>{3, 2, 0, 1}));

    Shape tetra;
    tetra.makeTetrahedron();
    EXPECT_EQ(tetra.vertices[2].z, -0.732f);
    EXPECT_EQ(faceIndices(tetra.faces[3]), (std::vector<int>{1, 0, 2}));

    Shape sphere;
    sphere.makeSphere();
    auto p = [](double a, double b) {
        return Ogre::Vector3(float(std::cos(a) * std::cos(b)), float(std::cos(a) * std::sin(b)),
                             float(std::sin(a)));
    };
    auto lat = [](int k) { return (0.1 * k - 0.5) * 3.14; };
    auto lon = [](int j) { return 0.628 * (j - 1); };
    // vertex 22 i + 2 j on lat(i - 1), the next on lat(i)
    EXPECT_EQ(sphere.vertices[0], p(lat(-1), lon(0)));
    EXPECT_EQ(sphere.vertices[22 * 3 + 2 * 4], p(lat(2), lon(4)));
    EXPECT_EQ(sphere.vertices[22 * 3 + 2 * 4 + 1], p(lat(3), lon(4)));
    EXPECT_EQ(sphere.vertices[241], p(lat(10), lon(10)));
    EXPECT_NEAR(sphere.vertices[0].z, std::sin(-1.884), 1e-6);
    EXPECT_EQ(faceIndices(sphere.faces[0]), (std::vector<int>{22, 21, 20}));
    EXPECT_EQ(faceIndices(sphere.faces[1]), (std::vector<int>{21, 22, 23}));
    EXPECT_EQ(faceIndices(sphere.faces[219]), (std::vector<int>{239, 240, 241}));

    Shape cylinder;
    cylinder.makeCylinder();
    expectVec(cylinder.vertices[0], 10, 0, 0);
    expectVec(cylinder.vertices[20], 9, 2, 0);
    expectVec(cylinder.vertices[5], 0, 0, 9);
    expectVec(cylinder.vertices[13], -5, 0, -8);
    expectVec(cylinder.vertices[199], 9, 18, -3);
    expectVec(cylinder.vertices[200], 0, 0, 0);
    expectVec(cylinder.vertices[201], 0, 18, 0);
    EXPECT_EQ(faceIndices(cylinder.faces[0]), (std::vector<int>{1, 21, 20, 0}));
    EXPECT_EQ(faceIndices(cylinder.faces[19]), (std::vector<int>{0, 20, 39, 19}));
    EXPECT_EQ(faceIndices(cylinder.faces[180]), (std::vector<int>{0, 1, 200}));
    EXPECT_EQ(faceIndices(cylinder.faces[181]), (std::vector<int>{180, 201, 181}));
    EXPECT_EQ(faceIndices(cylinder.faces[219]), (std::vector<int>{199, 201, 180}));
}

TEST(Primitives, QuadsSplitIntoOutwardTriangles)
{
    Shape cube;
    cube.makeCube();
    cube.triangulate();
    EXPECT_EQ(cube.triangles[0], (std::array<std::uint16_t, 3>{0, 3, 1}));
    EXPECT_EQ(cube.triangles[1], (std::array<std::uint16_t, 3>{1, 3, 2}));
    // Every triangle of the convex solids faces away from the centre.
    for (int kind : {SHAPE_CUBE, SHAPE_PYRAMID, SHAPE_TETRAHEDRON}) {
        Shape s;
        s.makeKind(kind);
        s.triangulate();
        for (const auto& t : s.triangles) {
            Ogre::Vector3 a = s.vertices[t[0]], b = s.vertices[t[1]], c = s.vertices[t[2]];
            Ogre::Vector3 normal = (b - a).crossProduct(c - a);
            Ogre::Vector3 centre = (a + b + c) / 3.0f;
            EXPECT_GT(normal.dotProduct(centre), 0.0f) << "kind " << kind;
        }
    }
}

TEST(Primitives, SelectionsClampAtTheTop)
{
    Shape cube;
    cube.makeCube();
    cube.computeFaceCentres();
    expectVec(cube.getFaceCentre(), 0, 0, -1); // fresh: face 0
    cube.selectVertex(100);
    EXPECT_EQ(cube.selectedVertex, 7);
    cube.selectFace(9);
    EXPECT_EQ(cube.selectedFace, 5);
    Shape empty;
    empty.selectFace(2);
    EXPECT_EQ(empty.selectedFace, -1);
}

using MeshTest = OgreTest;

TEST_F(MeshTest, ManualMeshLayoutBoundsAndIndices)
{
    Shape cube;
    cube.makeCube();
    Ogre::MeshPtr mesh = cube.buildNamedMesh("cube.test");
    ASSERT_TRUE(Ogre::MeshManager::getSingleton().resourceExists("cube.test", MESH_GROUP));
    ASSERT_EQ(mesh->getNumSubMeshes(), 1u);
    EXPECT_EQ(mesh->sharedVertexData->vertexCount, 8u);
    Ogre::SubMesh* sub = mesh->getSubMesh(0);
    EXPECT_TRUE(sub->useSharedVertices);
    EXPECT_EQ(sub->indexData->indexCount, 36u);
    EXPECT_EQ(sub->indexData->indexBuffer->getType(), Ogre::HardwareIndexBuffer::IT_16BIT);
    EXPECT_NEAR(mesh->getBoundingSphereRadius(), std::sqrt(3.0f), 1e-5);
    EXPECT_NEAR(mesh->getBounds().getMinimum().x, -1.0f, 0.05f);
    EXPECT_NEAR(mesh->getBounds().getMaximum().y, 1.0f, 0.05f);

    Ogre::VertexDeclaration* decl = mesh->sharedVertexData->vertexDeclaration;
    EXPECT_EQ(decl->getVertexSize(0), 32u);
    EXPECT_EQ(decl->findElementBySemantic(Ogre::VES_NORMAL)->getOffset(), 12u);
    EXPECT_EQ(decl->findElementBySemantic(Ogre::VES_TEXTURE_COORDINATES)->getOffset(), 24u);
    {
        Ogre::HardwareBufferLockGuard lock(cube.vertexBuffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
        const float* v = static_cast<const float*>(lock.pData) + 6 * 8;
        EXPECT_FLOAT_EQ(v[0], 1); // position of vertex 6
        EXPECT_FLOAT_EQ(v[3], 1 / std::sqrt(3.0f)); // its unit normal
        EXPECT_FLOAT_EQ(v[6], 0);
    }
    {
        Ogre::HardwareBufferLockGuard lock(sub->indexData->indexBuffer,
                                           Ogre::HardwareBuffer::HBL_READ_ONLY);
        const auto* i = static_cast<const std::uint16_t*>(lock.pData);
        EXPECT_EQ((std::vector<int>{i[0], i[1], i[2], i[3], i[4], i[5]}),
                  (std::vector<int>{0, 3, 1, 1, 3, 2}));
    }
}

TEST_F(MeshTest, VertexEditsReplaceTheOffsetAndShowInTheSharedMesh)
{
    auto* record = new ShapeCache();
    Shape maker;
    maker.makeCube();
    maker.buildMesh("edit.test", record, true);
    maker.computeFaceCentres();
    EXPECT_TRUE(maker.builtMesh);
    ASSERT_EQ(record->vertexOffsets.size(), 8u);

    maker.selectVertex(6);
    maker.setVertex(1.5, 0, 0);
    maker.setVertex(2, 0, 0);
    expectVec(maker.vertices[6], 3, 1, 1);
    expectVec(record->vertexOffsets[6], 2, 0, 0);
    maker.selectFace(1);
    expectVec(maker.getFaceCentre(), 1.5, 0, 0);
    maker.selectFace(2);
    expectVec(maker.getFaceCentre(), 0.5, 0, 1);
    maker.selectFace(5);
    expectVec(maker.getFaceCentre(), 0.5, 1, 0);

    Shape sharer;
    sharer.makeCube();
    sharer.buildMesh("edit.test", record, false);
    sharer.computeFaceCentres();
    EXPECT_FALSE(sharer.builtMesh);
    EXPECT_EQ(sharer.mesh, maker.mesh);
    EXPECT_EQ(sharer.vertexBuffer, maker.vertexBuffer);
    expectVec(sharer.vertices[6], 1, 1, 1);
    sharer.selectVertex(6);
    expectVec(sharer.getVertex(), 3, 1, 1);
    // Its face centres are those of the shared, edited mesh too, though its
    // own vertices are the primitive's.
    sharer.selectFace(1);
    expectVec(sharer.getFaceCentre(), 1.5, 0, 0);
    EXPECT_NEAR(sharer.faces[1].centre[0], 1.5, 1e-6);

    auto bufferVertex = [&](int i) {
        Ogre::HardwareBufferLockGuard lock(maker.vertexBuffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
        const float* v = static_cast<const float*>(lock.pData) + 8 * i;
        return Ogre::Vector3(v[0], v[1], v[2]);
    };
    expectVec(bufferVertex(6), 3, 1, 1);
    // An edit through the sharing part rewrites the buffer from its own,
    // unedited vertices.
    sharer.selectVertex(0);
    sharer.setVertex(0.5, 0, 0);
    expectVec(bufferVertex(0), -0.5, -1, -1);
    expectVec(bufferVertex(6), 1, 1, 1);
    record->destroy();
}

TEST_F(MeshTest, AMeshNameTheEngineHoldsIsMadeAgain)
{
    Shape first;
    first.makeCube();
    first.buildNamedMesh("again.test");
    Shape second;
    second.makePyramid();
    EXPECT_NO_THROW(second.buildNamedMesh("again.test"));
    Ogre::MeshPtr held = Ogre::MeshManager::getSingleton().getByName("again.test", MESH_GROUP);
    EXPECT_EQ(held, second.mesh);
    EXPECT_EQ(held->sharedVertexData->vertexCount, 5u);
    // The first shape's handle keeps its old mesh alive and intact.
    EXPECT_EQ(first.mesh->sharedVertexData->vertexCount, 8u);
}
