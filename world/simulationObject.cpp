#include "world/simulationObject.h"

#include "world/mobileObject.h"

#include <algorithm>

bool listContains(const std::vector<int>& list, int code)
{
    return std::find(list.begin(), list.end(), code) != list.end();
}

bool simulationObject::hasEvent(int code) const { return listContains(events, code); }

bool simulationObject::hasFrameEvent(int code) const { return listContains(frameEvents, code); }

void simulationObject::showEvents()
{
    const int size = static_cast<int>(events.size());
    if (eventsShown > size)
        eventsShown = 0;  // emptied by hand
    frameEvents.insert(frameEvents.end(), events.begin() + eventsShown, events.end());
    eventsShown = size;
}

namespace {
bool outOfHitPoints(const simulationObject& object)
{
    auto mobile = dynamic_cast<const mobileObject*>(&object);
    return mobile && mobile->hitPoints <= 0.0f;
}
} // namespace

bool isDestroyed(const simulationObject& object)
{
    return object.hasEvent(EVENT_DESTROYED) || outOfHitPoints(object);
}

bool destroyedInFrame(const simulationObject& object)
{
    return object.hasFrameEvent(EVENT_DESTROYED) || outOfHitPoints(object);
}
