#include "world/simulationObject.h"

#include <algorithm>

bool listContains(const std::vector<int>& list, int code)
{
    return std::find(list.begin(), list.end(), code) != list.end();
}

bool simulationObject::hasEvent(int code) const { return listContains(events, code); }
