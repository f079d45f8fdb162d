#pragma once
// The game's two clocks: a wall-clock millisecond timer counted from program
// start, and the time of day in seconds (used only as a random seed).
// All game code reads these instead of libc, so that tests can drive time.
#include <cstdint>

namespace plat {

// Milliseconds of wall time since program start (steady, never goes back).
long clock();

// Seconds since the epoch.
long time();

// A replacement time source. Install one with setClockSource; pass nullptr to
// return to the real clocks. Not owned.
class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual long clockMs() = 0;
    virtual long timeSeconds() = 0;
};

void setClockSource(ClockSource* source);

// A clock that only moves when told to; installs itself for its lifetime.
class ManualClock : public ClockSource {
public:
    explicit ManualClock(long startMs = 0, long timeOfDay = 0);
    ~ManualClock() override;
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    long clockMs() override { return nowMs; }
    long timeSeconds() override { return seconds; }

    void set(long ms) { nowMs = ms; }
    void advance(long ms) { nowMs += ms; }
    void setTime(long s) { seconds = s; }

private:
    long nowMs;
    long seconds;
    ClockSource* previous;
};

} // namespace plat
