#pragma once
// Ready-made child nodes of a scene's root, one per figure. A screen with
// figures creates a pool at entry and deletes it at exit; the nodes belong
// to the scene manager and go when the screen clears its scene.
#include <cstddef>
#include <deque>

namespace Ogre {
class SceneManager;
class SceneNode;
} // namespace Ogre

class NodePool {
public:
    static constexpr int INITIAL_NODES = 100;
    static constexpr int REFILL_NODES = 5;

    explicit NodePool(Ogre::SceneManager* sceneManager);
    ~NodePool();
    NodePool(const NodePool&) = delete;
    NodePool& operator=(const NodePool&) = delete;

    // Last in, first out; never returns null (grows by REFILL_NODES when dry).
    Ogre::SceneNode* take();
    void giveBack(Ogre::SceneNode* node);

    std::size_t freeCount() const { return freeNodes.size(); }

private:
    void addNode();

    std::deque<Ogre::SceneNode*> freeNodes;
    Ogre::SceneManager* sceneManager;
};

// The current pool: set by each new pool, cleared by its destructor.
extern NodePool* nodePool;
