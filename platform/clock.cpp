#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace plat {
namespace {

using Steady = std::chrono::steady_clock;

// Taken during static initialisation, so "program start" is before main.
const Steady::time_point programStart = Steady::now();

ClockSource* activeSource = nullptr;

} // namespace

long clock()
{
    if (activeSource)
        return activeSource->clockMs();
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - programStart).count());
}

long long clockUs()
{
    if (activeSource)
        return activeSource->clockUs();
    return static_cast<long long>(
        std::chrono::duration_cast<std::chrono::microseconds>(Steady::now() - programStart).count());
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
