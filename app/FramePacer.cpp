#include "app/FramePacer.h"

#include <thread>

void FramePacer::setRate(int fps)
{
    framesPerSecond = fps > 0 ? fps : 0;
    period = framesPerSecond ? std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) /
                                   framesPerSecond
                             : Clock::duration::zero();
    started = false;
}

void FramePacer::frameFinished()
{
    if (!framesPerSecond)
        return;
    const Clock::time_point now = Clock::now();
    if (!started) {
        started = true;
        nextFrame = now;
    }
    // The slots keep their own rhythm, so that sleeps a little too long do
    // not add up; a loop that fell a whole slot behind starts afresh.
    nextFrame += period;
    if (nextFrame > now)
        std::this_thread::sleep_until(nextFrame);
    else if (now - nextFrame > period)
        nextFrame = now;
}
