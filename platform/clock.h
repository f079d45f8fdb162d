#pragma once
// The game's two clocks: a wall-clock timer counted from program start, read
// in milliseconds (or, where drawing needs a finer share of a frame, in
// microseconds), and the time of day in seconds (used only as a random seed).
// All game code reads these instead of libc, so that tests can drive time.
#include <cstdint>

namespace plat {

// Milliseconds of wall time since program start (steady, never goes back).
// The start is the clock's first reading, so a reading made while the
// program's globals are being built is already 0 or near it.
long clock();

// The same clock in microseconds: clock() is always wholeMs(clockUs()) of
// the same instant.
long long clockUs();

// The whole milliseconds in us, rounded down also before zero.
inline long wholeMs(long long us)
{
    return static_cast<long>(us / 1000 - (us % 1000 < 0 ? 1 : 0));
}

// Seconds since the epoch.
long time();

// A replacement time source. Install one with setClockSource; pass nullptr to
// return to the real clocks. Not owned.
class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual long clockMs() = 0;
    // A source that keeps only milliseconds reads as the start of its
    // millisecond.
    virtual long long clockUs() { return static_cast<long long>(clockMs()) * 1000; }
    virtual long timeSeconds() = 0;
};

void setClockSource(ClockSource* source);

// A clock that only moves when told to; installs itself for its lifetime.
// It keeps microseconds; its millisecond reading is the whole milliseconds
// elapsed, as the real clock's is.
class ManualClock : public ClockSource {
public:
    explicit ManualClock(long startMs = 0, long timeOfDay = 0);
    ~ManualClock() override;
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    long clockMs() override;
    long long clockUs() override { return nowUs; }
    long timeSeconds() override { return seconds; }

    void set(long ms) { nowUs = static_cast<long long>(ms) * 1000; }
    void advance(long ms) { nowUs += static_cast<long long>(ms) * 1000; }
    void setUs(long long us) { nowUs = us; }
    void advanceUs(long long us) { nowUs += us; }
    void setTime(long s) { seconds = s; }

private:
    long long nowUs;
    long seconds;
    ClockSource* previous;
};

} // namespace plat
