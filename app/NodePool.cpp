#include "app/NodePool.h"

#include <OgreQuaternion.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreVector.h>

NodePool* nodePool = nullptr;

NodePool::NodePool(Ogre::SceneManager* manager) : sceneManager(manager)
{
    nodePool = this;
    for (int i = 0; i < INITIAL_NODES; ++i)
        addNode();
}

NodePool::~NodePool()
{
    if (nodePool == this)
        nodePool = nullptr;
}

void NodePool::addNode()
{
    freeNodes.push_back(sceneManager->getRootSceneNode()->createChildSceneNode(
        Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY));
}

Ogre::SceneNode* NodePool::take()
{
    if (freeNodes.empty())
        for (int i = 0; i < REFILL_NODES; ++i)
            addNode();
    Ogre::SceneNode* node = freeNodes.back();
    freeNodes.pop_back();
    return node;
}

void NodePool::giveBack(Ogre::SceneNode* node) { freeNodes.push_back(node); }
