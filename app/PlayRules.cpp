#include "app/PlayRules.h"

#include "song/songScore.h"
#include "song/windowQuery.h"
#include "world/gameWorld.h"
#include "world/simulationObject.h"

#include <algorithm>

namespace play {

namespace {

constexpr float FADE_PER_MS = 0.001f * 0.5f;
constexpr float CAMERA_FOLLOW = 0.333f;
constexpr float CAMERA_LIFT = 3.0f;

constexpr float SHAKE_FIRST_OFFSET = 0.1f;
constexpr float SHAKE_STEP = 0.15f;
constexpr float SHAKE_HIGH = 0.5f;
constexpr float SHAKE_CLOSE_IN = 0.025f;
constexpr int SHAKE_LONGEST_MS = 2000;

// Score event and occurrence modulus of each colour-change row. The first
// row counts on its own; of the others only the first match counts.
struct ColourRow {
    int scoreEvent;
    int modulus;
};
constexpr ColourRow FIRST_COLOUR_ROW = {169, 0};
constexpr ColourRow OTHER_COLOUR_ROWS[] = {
    {159, 0}, {255, 0}, {357, 0}, {732, 0}, {729, 4}, {609, 8}, {633, 1},
};

bool rowMatches(const songScore& score, const timeEventSection& section, const ColourRow& row)
{
    return occurredInWindow(score.event(row.scoreEvent), section, WindowQuery().every(row.modulus, 0));
}

} // namespace

FrameSteps stepsFor(int phase)
{
    switch (phase) {
    case PHASE_WON:
    case PHASE_LOST:
        return {true, true, false, false};
    case PHASE_PLAYING:
        return {true, false, true, true};
    case PHASE_PAUSED:
        // The world stands still: polled keys would pile steering events on
        // the player, and the frozen frame window would match the same
        // colour row again and again.
        return {false, false, false, false};
    default:
        return {true, false, false, true};
    }
}

PolledInput pollKeys(const HeldKeys& keys, int steerSense, bool& fireArmed)
{
    PolledInput out;
    if (keys.left)
        (steerSense == 1 ? out.plusCalls : out.minusCalls) += 1;
    else if (keys.right)
        (steerSense == 1 ? out.minusCalls : out.plusCalls) += 1;
    if (keys.comma)
        out.plusCalls += 1;
    else if (keys.period)
        out.minusCalls += 1;
    if (keys.space) {
        out.fire = true;
        out.fireKind = fireArmed ? 0 : 1;
        fireArmed = false;
    }
    return out;
}

int steerSenseFor(float u) { return (u > 0.25f && u < 0.75f) ? 1 : 2; }

FadeStep fadeMusic(float volume, int frameMs)
{
    if (volume < 1.0f)
        return {volume + float(frameMs) * FADE_PER_MS, true};
    if (volume > 1.0f)
        return {1.0f, false};
    return {volume, false};
}

Vec3 cameraFor(float x, float z)
{
    return {x - CAMERA_FOLLOW * x, z + (CAMERA_LIFT - z) * CAMERA_FOLLOW, CAMERA_DEPTH};
}

void CameraShake::start(const Vec3& cameraNow, int nowMs)
{
    shaking = true;
    base = cameraNow;
    offset = SHAKE_FIRST_OFFSET;
    startMs = nowMs;
    step = SHAKE_STEP;
    high = SHAKE_HIGH;
    low = 0.0f;
}

Vec3 CameraShake::advance(int clockMs)
{
    Vec3 at{base.x + offset, base.y + offset, CAMERA_DEPTH};
    offset += step;
    if (offset > high) {
        step = -step;
        low += SHAKE_CLOSE_IN;
    }
    if (low > offset) {
        step = -step;
        high -= SHAKE_CLOSE_IN;
    }
    if (clockMs - startMs > SHAKE_LONGEST_MS || low >= high)
        shaking = false;
    return at;
}

int progressPercent(int points, int extraLifeStep)
{
    if (extraLifeStep <= 0)
        return 0;
    return (points % extraLifeStep) * 100 / extraLifeStep;
}

std::string progressText(int percent)
{
    return (percent >= 0 && percent < 10 ? ".0" : ".") + std::to_string(percent);
}

std::string livesText(int lives) { return std::to_string(lives); }

Reaction reactionFor(int type, const std::vector<int>& events, bool animating)
{
    auto has = [&](int code) { return listContains(events, code); };
    if (type == TYPE_TENTACLE) {
        // The power shot is a shot too: asked first, or its animation 3
        // could never play.
        if (has(EVENT_POWER_SHOT))
            return {Start::Play, 3, false, false};
        if (has(EVENT_FIRED))
            return {Start::Play, 2, false, false};
        if (!animating)
            return {Start::StartOn, 1, true, false};
        if (has(EVENT_DAMAGED))
            return {Start::Play, 6, false, true};
        return {};
    }
    if (type == TYPE_TENTHEAD) {
        if (has(EVENT_FIRED))
            return {Start::Play, 3, false, false};
        if (!animating)
            return {Start::Play, 1, true, false};
        if (has(EVENT_DAMAGED))
            return {Start::Play, 2, false, true};
        return {};
    }
    // Other figures show a hit in place of their idle loop, which does not
    // come back: from then on only the beat pulses move them.
    if (has(EVENT_DAMAGED))
        return {Start::Play, 2, false, true};
    return {};
}

bool takesBeatPulse(int type)
{
    return type != TYPE_MARKER && type != TYPE_BULLET && type != TYPE_PLAYER &&
           type != TYPE_TENTACLE && type != TYPE_TENTHEAD;
}

Poses livesPoses(int lives)
{
    static const int POSES[] = {5, 4, 3};
    if (lives <= 1)
        return {POSES, 3};
    if (lives == 2)
        return {POSES + 1, 2};
    if (lives == 3)
        return {POSES + 2, 1};
    return {POSES, 0};
}

int colourChanges(const songScore& score, const timeEventSection& section)
{
    int changes = rowMatches(score, section, FIRST_COLOUR_ROW) ? 1 : 0;
    for (const ColourRow& row : OTHER_COLOUR_ROWS)
        if (rowMatches(score, section, row)) {
            ++changes;
            break;
        }
    return changes;
}

} // namespace play
