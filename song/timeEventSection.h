#pragma once
// A set of tracks run in parallel from one start time, and the frame window
// (previousFrameMs, currentFrameMs] that every time-window query measures
// against. The world starts the section and moves the window once a frame.
#include <vector>

class timeEventTrack;

class timeEventSection {
public:
    timeEventSection();
    virtual ~timeEventSection();
    timeEventSection(const timeEventSection&) = delete;
    timeEventSection& operator=(const timeEventSection&) = delete;

    // Length of the longest track in ms (0 without tracks); not where it ends
    // in song time. Kept once every track reports a definite length.
    int getDuration();
    // Starts every track at song time t, rebuilds every occurrence index and
    // sets the window to (t - 1, t - 1], which holds no time.
    void start(int t);
    // Lays every track out again at its own start time; used by start.
    void rebuild();

    std::vector<timeEventTrack*> tracks;   // not owned
    int duration = -1;
    bool loop = false;
    int previousFrameMs = -2;
    int currentFrameMs = -2;
};
