#pragma once
// Base of everything the world simulates, and of the rhythm judges.
#include <vector>

class gameWorld;

// Event codes an object raises on itself during a frame.
enum SimEvent {
    EVENT_PATTERN_COMPLETED = 0,
    EVENT_WINDOW_CLOSED = 1,
    EVENT_RUN_STARTED = 3,
    EVENT_RUN_RESET = 4,
    EVENT_FIRED = 5,
    EVENT_DAMAGED = 9,
    EVENT_DESTROYED = 10,
    EVENT_LAST_NOTE_REACHED = 11,
    EVENT_ADDED = 12,
    EVENT_POWER_SHOT = 13,
    EVENT_WINDOW_OPENED = 15,
};

class simulationObject {
public:
    simulationObject() = default;
    virtual ~simulationObject() = default;

    bool hasEvent(int code) const;

    // Codes raised since the list was last emptied, in raising order.
    // A vector: emptying it every frame keeps its storage.
    std::vector<int> events;
    int type = 0;
    gameWorld* world = nullptr;
};

bool listContains(const std::vector<int>& list, int code);
