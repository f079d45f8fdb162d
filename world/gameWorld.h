#pragma once
// One game on the tube: the song clock tied to the music position, the play
// phases, the live and removed objects, the player and the formations.
//
// The play screen constructs one per entry, anchors its clock (now and
// clockOffset) to the music, calls update once a frame and deletes it on exit.
#include "world/simulationObject.h"
#include "world/tube.h"

#include <cstddef>
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
    // One render frame. Runs as many fixed steps of STEP_MS as song time
    // (the clock plus clockOffset) has advanced past now, each the frame of
    // the world's rules: clock, deletions, frame window, the phase's work;
    // the rest waits for the next call. Every step runs, each with the
    // window from the last one's end to its own time, so no stretch of the
    // score is looked at twice or skipped: after a stall at most
    // MAX_CATCH_UP_STEPS run in one call and the rest in the calls after
    // it. A music position of -2 resets song time to -2 in one step with
    // dt 0. Afterwards the play screen finds, for the
    // whole render frame: the objects removed in any of its steps
    // (removedObjects, deleted by the next call), each object's codes
    // (frameEvents: those of its steps, and those raised outside any step
    // since last shown), the section's frame window spanning all its steps
    // (empty when none ran), and drawFraction: how far the render frame's
    // song time, read to the microsecond, lies past the last step, as a
    // share of a step (0 to 1). Between two steps it never falls, so no
    // object is drawn behind where an earlier frame drew it, whatever song
    // time does (a re-anchor a little behind, a clock that reads back); a
    // paused world keeps it.
    void update(int musicPositionMs);
    // Song time becomes songMs at this instant, as the play screen sets it
    // from the music at entry and on resume (clockOffset := songMs minus the
    // clock). The first anchor of a world also sets now = songMs, which
    // places the grid of steps; later ones leave now and the section's
    // window as they are. Music behind where song time stopped holds the
    // steps (and the drawing) until song time passes the next step; music
    // ahead runs every step due, each with its own window. Either way the
    // game is the one it would have been never paused, and the frame after
    // a resume with the music where song time stopped draws every object
    // where the frame before the pause drew it.
    void anchor(int songMs);
    // One simulation step of the phase's work, with now, dt and the frame
    // window already moved.
    void stepPlaying();
    void moveObjects();
    // Shots fired in this step are drawn moving with their shooters until
    // their own first step.
    void shotsLeaveTheirGuns();

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
    // Simulation steps run in this game.
    long stepsRun = 0;
    // See update: the screen draws each object drawnPlacement(drawFraction).
    float drawFraction = 0.0f;
    // The grid of steps is placed (see anchor).
    bool anchored = false;

private:
    // The step itself: deletions, frame window, phase's work.
    void runStep();
    // Every live object's placement becomes its previous one.
    void rememberPlacements();
    // stepped: a step ran since the last measure, so the fraction starts
    // over from the new last step.
    void measureDrawFraction(long long clockUs, bool stepped);
    void beginFrame();
    void endFrame(int steps, int firstPreviousMs);
    void deleteRemoved();
    // Objects removed in the previous step are gone for the game from this
    // step on; they stay readable (and are deleted) until the next update.
    void retireRemoved();
    // Drops every link to gone held by objects that outlive it.
    void forgetObject(const mobileObject* gone);
    // Copies the event codes raised since they were last shown into the
    // render frame's view: of the live objects, and of the objects removed
    // from removedBefore on.
    void showNewEvents(std::size_t removedBefore);

    std::vector<mobileObject*> deleting;  // reused every frame
    std::size_t retired = 0;                  // removedObjects already forgotten
    bool frameEventsToEmpty = false;      // some object has frameEvents
};

// Deletes every object of list and empties it, front to back.
void deleteObjects(std::vector<mobileObject*>& list);
