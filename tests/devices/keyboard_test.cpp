#include "platform/devices/keyboard.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>

#include <set>
#include <string>
#include <vector>

namespace {

struct Recorder : input::KeyListener {
    std::vector<std::string> seen;
    void keyClicked(input::KeyEvent* e) override { seen.push_back("clicked " + std::to_string(e->getKey())); }
    void keyPressed(input::KeyEvent* e) override
    {
        seen.push_back("pressed " + std::to_string(e->getKey()) + " " + std::to_string(e->getKeyChar()));
    }
    void keyReleased(input::KeyEvent* e) override { seen.push_back("released " + std::to_string(e->getKey())); }
};

// A keyboard whose next capture reports a scripted list of presses and
// releases and whose held keys are set by hand.
struct ScriptedKeyboard : input::KeyboardDevice, input::InputReader {
    struct Step {
        bool down;
        int key;
        unsigned ch;
    };
    std::vector<Step> pending;
    std::set<int> held;
    int captures = 0;
    void capture(input::KeyTarget& target) override
    {
        ++captures;
        for (const Step& s : pending) {
            if (s.down) {
                held.insert(s.key);
                target.firePressed(s.key, s.ch);
            } else {
                held.erase(s.key);
                target.fireReleased(s.key, s.ch);
            }
        }
        pending.clear();
    }
    input::InputReader* reader() override { return this; }
    bool isKeyDown(int key) const override { return held.count(key) > 0; }
};

TEST(Keyboard, EventsReachListenersOnlyWhileProcessingAndClickFollowsRelease)
{
    auto device = std::make_unique<ScriptedKeyboard>();
    ScriptedKeyboard* keys = device.get();
    input::EventProcessor processor;
    processor.initialise(std::move(device));
    Recorder listener;
    processor.getKeyTarget()->addKeyListener(&listener);
    processor.getKeyTarget()->addKeyListener(&listener); // registered once

    keys->pending = {{true, input::KC_SPACE, ' '}};
    processor.processEvents(); // not started: nothing is read
    EXPECT_EQ(keys->captures, 0);

    processor.startProcessingEvents(true);
    processor.processEvents();
    EXPECT_TRUE(processor.getInputReader()->isKeyDown(input::KC_SPACE));
    keys->pending = {{false, input::KC_SPACE, ' '}};
    processor.processEvents();
    EXPECT_FALSE(processor.getInputReader()->isKeyDown(input::KC_SPACE));
    EXPECT_EQ(listener.seen, (std::vector<std::string>{"pressed 57 32", "released 57", "clicked 57"}));

    processor.getKeyTarget()->removeKeyListener(&listener);
    keys->pending = {{true, input::KC_ESCAPE, 27}};
    processor.processEvents();
    EXPECT_EQ(listener.seen.size(), 3u);
}

TEST(Keyboard, UninitialisedProcessorHasNoReaderAndReadsNothing)
{
    input::EventProcessor processor;
    processor.startProcessingEvents(true);
    processor.processEvents();
    EXPECT_EQ(processor.getInputReader(), nullptr);
}

} // namespace

namespace {

// Opening the keyboard where there is no display fails inside OIS after its
// input system was made; over many attempts nothing may pile up.
TEST(WindowKeyboard, FailedOpensLeaveNoInputSystemBehind)
{
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    auto attempt = [] {
        try {
            input::openWindowKeyboard(12345);
        } catch (...) {
            return true;
        }
        return false;
    };
    ASSERT_TRUE(attempt()) << "opening a keyboard without a display should fail";
    const std::size_t before = mallinfo2().uordblks;
    for (int i = 0; i < 200; ++i)
        attempt();
    const std::size_t after = mallinfo2().uordblks;
    if (display)
        setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_LT(after, before + 4096) << "grew by " << (after - before) << " bytes";
}

} // namespace
