#pragma once
// One game on the tube: the song clock tied to the music position, the play
// phases, the live and removed objects, the player and the formations.
//
// The play screen constructs one per entry, anchors its clock (now and
// clockOffset) to the music, calls update once a frame and deletes it on exit.
#include "world/simulationObject.h"
#include "world/tube.h"

#include <vector>

class kestor;
class mobileObject;
class songScore;
class timeEventSection;
class formationManager;

enum WorldPhase {
    PHASE_READY = 0,
    PHASE_PLAYING = 1,
    PHASE_WON = 3,
    PHASE_LOST = 4,
    PHASE_PAUSED = 5,
    PHASE_SETTING_UP = 6,
    PHASE_CONSTRUCTING = 7,
};

class gameWorld {
public:
    // The whole game: score, section, player, formations; ends ready to play.
    gameWorld();
    // A world with no score, player, formations or section, for tests that
    // supply their own. Its tube is the standard one.
    struct bare_t {};
    explicit gameWorld(bare_t);
    // Deletes every live and removed object, ships still waiting to join a
    // formation of this world, the formation manager and the score.
    ~gameWorld();
    gameWorld(const gameWorld&) = delete;
    gameWorld& operator=(const gameWorld&) = delete;

    // Resets the clock, starts the section, sets up the level and the player.
    void start();
    // The frame: clock, deletions, frame window, then the phase's work. A
    // music position of -2 resets song time to -2.
    void update(int musicPositionMs);
    void stepPlaying();
    void moveObjects();

    // The object joins the live list (and raises EVENT_ADDED); the list owns it.
    void addObject(mobileObject* object);
    // The object leaves the live list for the removed list, where it stays
    // readable until the next update deletes it. A destroyed enemy credits
    // its value to the player.
    void removeObject(mobileObject* object);

    ::songScore* songScore = nullptr;
    bool playerModesEnabled = true;
    int phase = PHASE_CONSTRUCTING;
    std::vector<mobileObject*> objects;         // the player first
    std::vector<mobileObject*> removedObjects;  // each at most once
    int now = -2;
    int clockOffset = 0;
    float dt = 0.0f;
    kestor* player = nullptr;
    formationManager* formations = nullptr;
    TubeGeometry* tubeGeometry = nullptr;
    TubeRef* tube = nullptr;
    timeEventSection* section = nullptr;
    bool markersEnabled = true;

private:
    void tickClock(int musicPositionMs);
    void deleteRemoved();
    // Drops every link to gone held by objects that outlive it.
    void forgetObject(const mobileObject* gone);

    std::vector<mobileObject*> deleting;  // reused every frame
};

// Deletes every object of list and empties it, front to back.
void deleteObjects(std::vector<mobileObject*>& list);
