#pragma once
// Base of everything the world simulates, and of the rhythm judges.
#include <vector>

class gameWorld;

// Event codes an object raises on itself during a frame. Codes 2 and 14 are
// never raised.
enum SimEvent {
    EVENT_PATTERN_COMPLETED = 0,
    EVENT_WINDOW_CLOSED = 1,
    EVENT_RUN_STARTED = 3,
    EVENT_RUN_RESET = 4,
    EVENT_FIRED = 5,
    EVENT_EXTRA_LIFE = 6,
    EVENT_STEER_MINUS = 7,
    EVENT_STEER_PLUS = 8,
    EVENT_DAMAGED = 9,
    EVENT_DESTROYED = 10,
    EVENT_LAST_NOTE_REACHED = 11,
    EVENT_ADDED = 12,
    EVENT_POWER_SHOT = 13,
    EVENT_WINDOW_OPENED = 15,
};

// Object type codes; the same numbers select the figure the screen builds.
enum ObjectType {
    TYPE_NONE = 0,
    TYPE_ASTEROID = 2,
    TYPE_MARKER = 3,
    TYPE_BEE = 5,
    TYPE_BLOCKER = 6,
    TYPE_BULLET = 8,
    TYPE_MARKER_2 = 11,
    TYPE_DRAGONFLY = 12,
    TYPE_FLOWER = 13,
    TYPE_PLAYER = 14,
    TYPE_MOBILE = 16,
    TYPE_MOSQUITO = 17,
    TYPE_SCORPION = 21,
    TYPE_SHIP = 22,
    TYPE_SNAKE = 23,
    TYPE_SPIKE = 24,
    TYPE_TENTACLE = 25,
    TYPE_TENTHEAD = 26,
};

class simulationObject {
public:
    simulationObject() = default;
    virtual ~simulationObject() = default;
    simulationObject(const simulationObject&) = default;
    simulationObject& operator=(const simulationObject&) = default;

    bool hasEvent(int code) const;
    // The same for the codes of the last update's steps (frameEvents).
    bool hasFrameEvent(int code) const;
    void raise(int code) { events.push_back(code); }
    // Empties the list of the current step (the world does it when its move
    // step reaches the object).
    void clearEvents()
    {
        events.clear();
        eventsShown = 0;
    }
    // Appends the codes raised since the last call to frameEvents.
    void showEvents();

    // Codes raised since the list was last emptied, in raising order: what
    // the game rules read within one simulation step. A vector: emptying it
    // every step keeps its storage.
    std::vector<int> events;
    // What the play screen reads after an update: the codes of every step
    // that update ran, as each step left them, in order; emptied by the
    // next update. An update may run several steps, or none.
    std::vector<int> frameEvents;
    // How many codes of events are already in frameEvents.
    int eventsShown = 0;
    int type = 0;
    gameWorld* world = nullptr;
};

bool listContains(const std::vector<int>& list, int code);

// True when the object raised EVENT_DESTROYED or, for an object on the tube,
// its hit points are at or below 0.
bool isDestroyed(const simulationObject& object);
// The same as the screen sees it after an update: EVENT_DESTROYED among the
// codes of any step the update ran, or no hit points left.
bool destroyedInFrame(const simulationObject& object);
