#pragma once
// Wave templates: everything needed to launch waves of one kind of enemy -
// a prototype ship, an entry formation, a hand-over formation and the spawn
// geometry. The level director owns the configured templates as globals and
// sets them up again at the start of every game.
#include "world/enemyShips.h"
#include "world/formation.h"
#include "world/gameWorld.h"
#include "world/sharedConstants.h"

#include <cmath>
#include <type_traits>
#include <vector>

template <class T>
class ship_content : public simulationObject {
public:
    // Statically constructed: nothing but empty records until setup runs.
    ship_content() = default;
    ~ship_content() override = default;
    ship_content(const ship_content&) = delete;
    ship_content& operator=(const ship_content&) = delete;

    // Prepares the template for a game in world; undoes everything an earlier
    // game left in it. Without a wave offset, waves move on by half a ship
    // offset.
    void setup(gameWorld* w, float spawnU, float spawnV, float heading, float shipOffsetU)
    {
        setup(w, spawnU, spawnV, heading, shipOffsetU, shipOffsetU * 0.5f, 0.0f);
    }

    void setup(gameWorld* w, float spawnU, float spawnV, float heading, float shipOffsetU, float waveOffsetU,
               float waveOffsetV)
    {
        const PositionSpec start = PositionSpec::at(spawnU, spawnV);
        waveHeading = heading;
        spawnPoint = start;
        {
            T built(heading, w, start);
            prototype = built;
        }
        shipOffset = PositionSpec::at(shipOffsetU, 0.0f);
        waveOffset = PositionSpec::at(waveOffsetU, waveOffsetV);
        for (formation* f : {&entryFormation, &handOverFormation}) {
            f->position = spawnPoint;
            f->world = w;
            f->setHeading(waveHeading);
            f->reset();
            if (w && w->formations) {
                f->noteQuery = w->formations->defaultNoteQuery;
                f->actionQuery = w->formations->defaultActionQuery;
            }
        }
        world = w;
        spacingMs = 0;
        tentacleCount = 0;
        handOverDelayMs = 0;
        tentacleTemplate = nullptr;
        holdV = 0.0f;
        handOver = false;
        wavesLaunched = 0;
        launchTimesMs.clear();
        launchTimesMs.reserve(64);
    }

    // The time a ship flying straight along the wave heading at the
    // prototype's speed needs from the spawn line to targetV.
    void computeHandOverDelay(float targetV)
    {
        const double a = static_cast<double>((90.0f - waveHeading) * DEG_TO_RAD);
        const float distance = targetV - spawnPoint.getV();
        const double ms = std::sin(a) * distance / prototype.speed * 1000.0;
        // A ship that does not move never gets there: no look-ahead.
        handOverDelayMs = std::isfinite(ms) && std::fabs(ms) < 1e9 ? static_cast<int>(ms) : 0;
    }

    // Launches one wave of count ships (owner: the head of a tentacle wave).
    void spawn(int count, ship* owner = nullptr)
    {
        ++wavesLaunched;
        moveProtoToSpawnPoint();
        const int now = world ? world->now : -2;
        launchTimesMs.push_back(now);
        int elapsed = 0;
        for (int i = 0; i < count; ++i) {
            T* s = new T();
            *s = prototype;
            if (i > 0 && spacingMs > 0) {
                s->noteShiftMs = -elapsed;
                entryFormation.queueShip(s, now + elapsed);
            } else {
                entryFormation.addMember(s, false);
            }
            onSpawned(s);
            s->owner = owner;
            spawnPoint.add(shipOffset);
            moveProtoToSpawnPoint();
            if (handOver) {
                s->handOverMs = now - s->noteShiftMs + handOverDelayMs;
                s->nextFormation = &handOverFormation;
            }
            elapsed += spacingMs;
        }
        spawnPoint.add(waveOffset);
    }

    // Called for every ship a wave creates: a head brings its tentacles.
    virtual void onSpawned(ship* s)
    {
        if constexpr (std::is_same<T, tentheadShip>::value) {
            if (tentacleTemplate)
                tentacleTemplate->spawn(tentacleCount, s);
        }
    }

    bool handOver = false;
    float waveHeading = 0.0f;
    formation entryFormation;
    formation handOverFormation;
    PositionSpec spawnPoint;
    PositionSpec shipOffset;
    PositionSpec waveOffset;
    T prototype;
    int spacingMs = 0;
    int tentacleCount = 0;
    int handOverDelayMs = 0;
    ship_content<tentacleShip>* tentacleTemplate = nullptr;
    float holdV = 0.0f;
    // Waves launched in this game, and the song time of each launch (for
    // the screen's and the tests' eyes).
    int wavesLaunched = 0;
    std::vector<int> launchTimesMs;

private:
    void moveProtoToSpawnPoint()
    {
        prototype.position.apply(spawnPoint);
        prototype.refresh();
    }
};
