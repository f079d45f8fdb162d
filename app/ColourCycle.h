#pragma once
// The timed colour change of the scenery screens: every 33 seconds of wall
// time, on a deadline each screen class keeps between its visits.

constexpr int COLOUR_CYCLE_PERIOD_MS = 33000;

// True when the change is due at nowMs. The deadline then moves a period on
// from now whether or not the change can happen, so a change that falls
// into a running fade is skipped, not postponed.
inline bool colourCycleDue(int nowMs, int& deadline)
{
    if (nowMs < deadline)
        return false;
    deadline = nowMs + COLOUR_CYCLE_PERIOD_MS;
    return true;
}
