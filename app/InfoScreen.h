#pragma once
// The help and credits screens: nine fixed lines of text in front of the
// scenery figure. They share their fields, their exit and their lights, and
// differ in their lines and in when they refresh the text colours: the help
// screen at the start of a frame, the credits screen at its end, before the
// fade step, so its text shows the previous frame's palette.
#include "app/SceneryScreen.h"

struct InfoLine {
    const char* text;
    float left;
    float top;
    TextRole role;
};

constexpr int INFO_LINES = 9;

class InfoScreen : public SceneryScreen {
public:
    void enter() override;
    void exit() override;
    bool frameStarted(const Ogre::FrameEvent& evt) override;
    bool frameEnded(const Ogre::FrameEvent& evt) override;

    void refreshTextColours();

    TextItem* texts[INFO_LINES] = {};

protected:
    InfoScreen(const InfoLine* lines, int& colourCycleDeadline, bool coloursAtFrameEnd)
        : lines(lines), deadline(colourCycleDeadline), coloursAtFrameEnd(coloursAtFrameEnd)
    {
    }
    ~InfoScreen() = default;

private:
    const InfoLine* lines;
    int& deadline;
    bool coloursAtFrameEnd;
};

extern const InfoLine HELP_LINES[INFO_LINES];
extern const InfoLine CREDITS_LINES[INFO_LINES];
