#pragma once
// A headless engine for each test: no render system, a default hardware
// buffer manager, initialised materials, one scene manager and its node pool,
// and a manual clock. Every test starts from an engine without materials or
// meshes, so the "first manager of a run" paths run in every test.
#include "app/NodePool.h"
#include "model/Model.h"
#include "model/ModelManager.h"
#include "model/Shape.h"
#include "platform/clock.h"
#include "tests/model/test_log.h"

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

#include <gtest/gtest.h>

#include <memory>

class OgreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testLogManager();
        root = new Ogre::Root("", "", "");
        buffers = new Ogre::DefaultHardwareBufferManager();
        Ogre::MaterialManager::getSingleton().initialise();
        scene = root->createSceneManager();
        pool = new NodePool(scene);
        schemeIndex = 3;
        ModelManager::useFigureTable(nullptr);
        ModelManager::setShooterLookup(nullptr);
    }

    void TearDown() override
    {
        // Every manager a test made must be gone, and with the last one the
        // shape cache (its buffer handles must not outlive the engine).
        EXPECT_EQ(ModelManager::liveManagers(), 0);
        EXPECT_TRUE(shapeCacheMap.empty());
        for (auto& entry : shapeCacheMap)
            entry.second->destroy();
        shapeCacheMap.clear();
        delete pool;
        nodePool = nullptr;
        delete root;
        delete buffers;
        ModelManager::useFigureTable(nullptr);
        ModelManager::setShooterLookup(nullptr);
    }

    std::size_t entityCount() const
    {
        return scene->getMovableObjects("Entity").size();
    }

    plat::ManualClock clock{100000};
    Ogre::Root* root = nullptr;
    Ogre::DefaultHardwareBufferManager* buffers = nullptr;
    Ogre::SceneManager* scene = nullptr;
    NodePool* pool = nullptr;
};
