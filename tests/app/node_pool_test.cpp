#include "app/NodePool.h"

#include <Ogre.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <gtest/gtest.h>

namespace {

class NodePoolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Other engine tests of this program may have made the log already.
        if (!Ogre::LogManager::getSingletonPtr()) {
            log = new Ogre::LogManager();
            log->createLog("node_pool_test.log", true, false, true);
        }
        root = new Ogre::Root("", "", "");
        buffers = new Ogre::DefaultHardwareBufferManager();
        scene = root->createSceneManager();
    }
    void TearDown() override
    {
        delete root;
        delete buffers;
        delete log;
    }
    std::size_t rootChildren() const { return scene->getRootSceneNode()->numChildren(); }

    Ogre::LogManager* log = nullptr;
    Ogre::Root* root = nullptr;
    Ogre::DefaultHardwareBufferManager* buffers = nullptr;
    Ogre::SceneManager* scene = nullptr;
};

TEST_F(NodePoolTest, StartsWithAHundredChildNodesOfTheRootAndSetsTheGlobal)
{
    {
        NodePool pool(scene);
        EXPECT_EQ(nodePool, &pool);
        EXPECT_EQ(pool.freeCount(), 100u);
        EXPECT_EQ(rootChildren(), 100u);
        Ogre::SceneNode* n = pool.take();
        EXPECT_EQ(n->getParent(), scene->getRootSceneNode());
        EXPECT_EQ(n->getPosition(), Ogre::Vector3::ZERO);
        EXPECT_EQ(n->getOrientation(), Ogre::Quaternion::IDENTITY);
    }
    EXPECT_EQ(nodePool, nullptr);
    // The nodes belong to the scene and stay until it is cleared.
    EXPECT_EQ(rootChildren(), 100u);
}

TEST_F(NodePoolTest, TakesLastInFirstOutAndRefillsByFiveWhenDry)
{
    NodePool pool(scene);
    Ogre::SceneNode* first = pool.take();
    pool.giveBack(first);
    EXPECT_EQ(pool.take(), first);
    pool.giveBack(first);

    for (int i = 0; i < 100; ++i)
        pool.take();
    EXPECT_EQ(pool.freeCount(), 0u);
    Ogre::SceneNode* extra = pool.take();
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(pool.freeCount(), 4u);
    EXPECT_EQ(rootChildren(), 105u);
    // The refill's last node is the one handed out.
    auto children = scene->getRootSceneNode()->getChildren();
    EXPECT_EQ(children.back(), extra);
}

TEST_F(NodePoolTest, ANewPoolReplacesTheGlobalWithFreshNodes)
{
    auto* one = new NodePool(scene);
    delete one;
    NodePool two(scene);
    EXPECT_EQ(nodePool, &two);
    EXPECT_EQ(two.freeCount(), 100u);
    EXPECT_EQ(rootChildren(), 200u);
}

} // namespace
