#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace plat {
namespace {

using Steady = std::chrono::steady_clock;

// Taken at the first reading, whenever that comes: a global of another file
// may read the clock while globals are still being built (the screens are
// static objects), and a start kept in a global of this file could still be
// unset then, counting from the machine's boot instead.
Steady::time_point programStart()
{
    static const Steady::time_point start = Steady::now();
    return start;
}

ClockSource* activeSource = nullptr;

} // namespace

long clock()
{
    if (activeSource)
        return activeSource->clockMs();
    const Steady::time_point start = programStart();
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count());
}

long long clockUs()
{
    if (activeSource)
        return activeSource->clockUs();
    const Steady::time_point start = programStart();
    return static_cast<long long>(
        std::chrono::duration_cast<std::chrono::microseconds>(Steady::now() - start).count());
}

long time()
{
    if (activeSource)
        return activeSource->timeSeconds();
    return static_cast<long>(std::time(nullptr));
}

void setClockSource(ClockSource* source) { activeSource = source; }

ManualClock::ManualClock(long startMs, long timeOfDay)
    : nowUs(static_cast<long long>(startMs) * 1000), seconds(timeOfDay), previous(activeSource)
{
    setClockSource(this);
}

long ManualClock::clockMs() { return wholeMs(nowUs); }

ManualClock::~ManualClock() { setClockSource(previous); }

} // namespace plat
