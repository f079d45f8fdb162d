#pragma once
// Holds the render loop to a frame rate: after each frame it sleeps away what
// is left of the frame's slot. A display that honours VSync paces the loop
// by itself; one that does not (a virtual display) would otherwise let the
// loop spin at hundreds of frames a second and burn whole cores.
#include <chrono>

class FramePacer {
public:
    static constexpr int DISPLAY_RATE = 60;

    explicit FramePacer(int framesPerSecond = DISPLAY_RATE) { setRate(framesPerSecond); }

    // 0 or less: no cap (the benchmarks measure the frames themselves).
    void setRate(int framesPerSecond);
    int rate() const { return framesPerSecond; }

    // Called once per frame, when the frame is done.
    void frameFinished();

private:
    using Clock = std::chrono::steady_clock;
    int framesPerSecond = 0;
    Clock::duration period{};
    Clock::time_point nextFrame{};
    bool started = false;
};
