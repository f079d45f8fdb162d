#include "app/GameManager.h"
#include "app/GameState.h"

#include <OgreFrameListener.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;

class RecordingState : public GameState {
public:
    explicit RecordingState(std::string n) : name(std::move(n)) {}
    void enter() override { calls.push_back(name + ".enter"); }
    void exit() override { calls.push_back(name + ".exit"); }
    void pause() override { calls.push_back(name + ".pause"); }
    void resume() override { calls.push_back(name + ".resume"); }
    void keyClicked(KeyEvent* e) override { calls.push_back(name + ".clicked" + std::to_string(e->getKey())); }
    void keyPressed(KeyEvent* e) override { calls.push_back(name + ".pressed" + std::to_string(e->getKey())); }
    void keyReleased(KeyEvent* e) override { calls.push_back(name + ".released" + std::to_string(e->getKey())); }
    bool frameStarted(const Ogre::FrameEvent&) override
    {
        calls.push_back(name + ".started");
        if (pushOnFrame)
            GameManager::getSingleton().pushState(pushOnFrame);
        return keepRendering;
    }
    bool frameEnded(const Ogre::FrameEvent&) override
    {
        calls.push_back(name + ".ended");
        return keepRendering;
    }

    std::string name;
    GameState* pushOnFrame = nullptr;
    bool keepRendering = true;
};

class StateStack : public ::testing::Test {
protected:
    void SetUp() override { calls.clear(); }
    GameManager manager;
    RecordingState a{"a"}, b{"b"}, c{"c"};
    Ogre::FrameEvent frame{};
};

TEST_F(StateStack, ChangePushAndPopCallTheRightScreensInOrder)
{
    manager.changeState(&a); // first change only pushes and enters
    manager.changeState(&b);
    manager.pushState(&c);
    manager.popState();
    manager.popState(); // leaves the stack empty: nothing to resume
    EXPECT_EQ(calls, (std::vector<std::string>{"a.enter", "a.exit", "b.enter", "b.pause", "c.enter", "c.exit",
                                               "b.resume", "b.exit"}));
    EXPECT_TRUE(manager.states.empty());
}

TEST_F(StateStack, ScreenIsTopDuringItsEnterAndStillOnStackDuringExit)
{
    struct Probe : GameState {
        std::vector<std::size_t> seen;
        void enter() override { seen.push_back(GameManager::getSingleton().states.size()); }
        void exit() override { seen.push_back(GameManager::getSingleton().states.size()); }
        void pause() override {}
        void resume() override {}
        void keyClicked(KeyEvent*) override {}
        void keyPressed(KeyEvent*) override {}
        void keyReleased(KeyEvent*) override {}
        bool frameStarted(const Ogre::FrameEvent&) override { return true; }
        bool frameEnded(const Ogre::FrameEvent&) override { return true; }
    } probe;
    manager.changeState(&a);
    manager.pushState(&probe);
    manager.popState();
    EXPECT_EQ(probe.seen, (std::vector<std::size_t>{2, 2}));
}

TEST_F(StateStack, FrameEndedGoesToAScreenPushedDuringFrameStarted)
{
    a.pushOnFrame = &b;
    manager.changeState(&a);
    EXPECT_TRUE(manager.frameStarted(frame));
    EXPECT_TRUE(manager.frameEnded(frame));
    EXPECT_EQ(calls, (std::vector<std::string>{"a.enter", "a.started", "a.pause", "b.enter", "b.ended"}));
}

TEST_F(StateStack, ResultsAndKeysPassThroughToTheTopOnly)
{
    manager.changeState(&a);
    manager.pushState(&b);
    b.keepRendering = false;
    EXPECT_FALSE(manager.frameStarted(frame));
    input::KeyEvent key(input::KC_P, 'p');
    manager.keyPressed(&key);
    manager.keyReleased(&key);
    manager.keyClicked(&key);
    EXPECT_EQ(calls, (std::vector<std::string>{"a.enter", "a.pause", "b.enter", "b.started", "b.pressed25",
                                               "b.released25", "b.clicked25"}));
}

TEST_F(StateStack, EmptyStackIgnoresEvents)
{
    input::KeyEvent key(input::KC_ESCAPE, 27);
    EXPECT_TRUE(manager.frameStarted(frame));
    EXPECT_TRUE(manager.frameEnded(frame));
    manager.keyPressed(&key);
    EXPECT_TRUE(calls.empty());
}

TEST(StateStackShutdown, DestructorExitsEveryScreenTopFirstWithoutResuming)
{
    calls.clear();
    RecordingState play("play"), ended("ended");
    {
        GameManager manager;
        manager.changeState(&play);
        manager.pushState(&ended);
        calls.clear();
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"ended.exit", "play.exit"}));
    EXPECT_EQ(GameManager::getSingletonPtr(), nullptr);
}

} // namespace

namespace {

class ThrowingExit : public RecordingState {
public:
    ThrowingExit() : RecordingState("t") {}
    void exit() override
    {
        RecordingState::exit();
        throw std::runtime_error("exit failed");
    }
};

// A failure while shutting down reaches the caller of shutdown(), and the
// rest still goes on: every screen below is exited exactly once, and the
// destructor afterwards neither repeats nor terminates.
TEST(GameManagerShutdown, AFailingExitIsReportedAndTheRestStillExits)
{
    calls.clear();
    RecordingState below("below");
    ThrowingExit top;
    {
        GameManager manager;
        manager.changeState(&below);
        manager.pushState(&top);
        EXPECT_THROW(manager.shutdown(), std::runtime_error);
        EXPECT_NO_THROW(manager.shutdown());
        EXPECT_TRUE(manager.states.empty());
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"below.enter", "below.pause", "t.enter", "t.exit", "below.exit"}));
}

} // namespace
