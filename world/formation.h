#pragma once
// Formations fly their members through step scripts in time with the song,
// and the formation manager runs the world's formations every frame.
#include "song/timeEvent.h"
#include "world/mobileObject.h"
#include "world/sharedConstants.h"

#include <vector>

class ship;

// A list of movement steps; refers to the shared step records, never copies.
struct StepScript {
    static constexpr int CAPACITY = 64;
    const MovementStep* steps[CAPACITY] = {};
    int count = 0;
};

class formation : public mobileObject {
public:
    struct Member {
        ship* member;
        int stepIndex;
        int scriptIndex;
        bool finished;
    };
    struct Pending {
        ship* member;
        int joinMs;
    };

    formation();
    // Deletes the ships still waiting to join (they never entered a world).
    ~formation() override;
    formation(const formation&) = delete;
    formation& operator=(const formation&) = delete;

    // Forgets members, scripts, queries and speed override; ships still
    // waiting to join are deleted.
    void reset();
    void addMember(ship* s, bool alreadyInWorld);
    void removeMember(ship* s);
    // Queues a ship that joins (and enters the world) at joinMs.
    void queueShip(ship* s, int joinMs);
    void addScript(const StepScript* script);
    void update();

    int memberCount() const { return static_cast<int>(members.size()); }
    int pendingCount() const { return static_cast<int>(pendingShips.size()); }
    int scriptCount() const { return static_cast<int>(scripts.size()); }
    // Whether the manager must keep running this formation.
    bool hasWork() const { return !members.empty() || !pendingShips.empty(); }

    const OccurrenceIndex* noteQuery;
    const OccurrenceIndex* actionQuery;
    std::vector<Member> members;        // in joining order
    std::vector<const StepScript*> scripts;
    std::vector<Pending> pendingShips;  // in queueing order
    bool overrideSpeed;
    float memberSpeed;

private:
    void stepMember(Member& m);
    void deletePending();
};

class formationManager : public simulationObject {
public:
    explicit formationManager(gameWorld* world);

    void update();
    void add(formation* f);
    void remove(formation* f);
    void clear();
    // The first member of a listed formation whose box overlaps object's.
    ship* findColliding(const mobileObject& object) const;

    const OccurrenceIndex* defaultNoteQuery;
    const OccurrenceIndex* defaultActionQuery;
    std::vector<formation*> formations;  // not owned

private:
    std::vector<formation*> handOverPass;  // reused every frame
};
