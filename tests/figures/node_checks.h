#pragma once
// Small checks on figure nodes and on the engine's meshes, for the figure
// tests.
#include "model/Animation.h"
#include "model/Shape.h"

#include <OgreMeshManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

inline void expectVec(const Ogre::Vector3& actual, double x, double y, double z, double tolerance = 1e-5)
{
    EXPECT_NEAR(actual.x, x, tolerance) << actual;
    EXPECT_NEAR(actual.y, y, tolerance) << actual;
    EXPECT_NEAR(actual.z, z, tolerance) << actual;
}

inline void expectNear(const Ogre::Vector3& actual, const Ogre::Vector3& expected, float tolerance)
{
    expectVec(actual, expected.x, expected.y, expected.z, tolerance);
}

// The same turn (q and -q are one orientation).
inline void expectTurn(const Ogre::Quaternion& actual, const Ogre::Quaternion& expected,
                       double tolerance = 1e-4)
{
    EXPECT_NEAR(std::fabs(actual.Dot(expected)), 1.0, tolerance)
        << "orientation " << actual << ", expected " << expected;
}

inline void expectTurn(const Ogre::Quaternion& actual, double angle, double x, double y, double z)
{
    expectTurn(actual, rotationOf(angle, x, y, z));
}

// Meshes the engine holds in the figures' resource group.
inline int customMeshCount()
{
    int count = 0;
    auto it = Ogre::MeshManager::getSingleton().getResourceIterator();
    while (it.hasMoreElements())
        if (it.getNext()->getGroup() == MESH_GROUP)
            ++count;
    return count;
}
