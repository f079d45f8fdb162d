#pragma once
// The play screen's rules that need no engine: key polling, the steering
// sense, the music fade-in, the camera shake and placement, the head-up
// texts, the figures' reactions to their objects' events and the colour
// changes on score events. The screen applies what these functions decide.
#include <string>
#include <vector>

class songScore;
class timeEventSection;

namespace play {

// --- the frame ------------------------------------------------------------

// Which steps of a frame run in a world phase (after the world's update).
struct FrameSteps {
    bool pollKeys;      // before the update: steering and shots
    bool endGame;       // record the outcome and push the end screen
    bool figures;       // the figure, sound and player-figure steps
    bool colourRows;    // scheme changes on score events
};
FrameSteps stepsFor(int phase);

// --- keys ----------------------------------------------------------------

// The polled keys of one frame.
struct HeldKeys {
    bool left = false;
    bool right = false;
    bool comma = false;
    bool period = false;
    bool space = false;
};

// What one frame's keys ask of the player ship: how many steering calls
// toward +u and -u (a turn key and comma or period may add up), and the
// shot. fireKind 0 is a tapped shot, 1 a held one.
struct PolledInput {
    int plusCalls = 0;
    int minusCalls = 0;
    bool fire = false;
    int fireKind = 0;
};

// steerSense 1: LEFT turns toward +u and RIGHT toward -u; 2 the reverse.
// fireArmed is cleared by the first polled SPACE and set again on release.
PolledInput pollKeys(const HeldKeys& keys, int steerSense, bool& fireArmed);

// The sense fixed when LEFT or RIGHT is released, from where the ship then
// stands round the tube (u, or -10000 when it has none): on the far half
// (0.25 < u < 0.75) the arrows turn one way, on the near half the other, so
// that LEFT always moves the ship left on the screen.
int steerSenseFor(float u);

// --- music fade-in -------------------------------------------------------

struct FadeStep {
    float volume;
    bool setVolume;  // hand the new volume to the music channel
};

// The game music rises 0.0005 per millisecond of frame time up to 1.0.
FadeStep fadeMusic(float volume, int frameMs);

// What a destruction of the player takes off the music volume.
constexpr float MUSIC_DROP_ON_DEATH = 0.95f;

// --- camera --------------------------------------------------------------

struct Vec3 {
    float x, y, z;
};

constexpr float CAMERA_DEPTH = -43.0f;

// The camera after a placement's first (x) and third (z) value.
Vec3 cameraFor(float x, float z);

// The shake after the player's ship is destroyed: x and y move together
// between bounds that close in at every bounce.
struct CameraShake {
    bool shaking = false;
    Vec3 base{0, 0, 0};
    float offset = 0;
    float step = 0;
    float high = 0;
    float low = 0;
    int startMs = 0;

    void start(const Vec3& cameraNow, int nowMs);
    // One frame: the camera position to use, then the offset moved on; ends
    // the shake after 2000 ms (clockMs is a fresh clock reading) or when the
    // bounds meet.
    Vec3 advance(int clockMs);
};

// --- head-up texts -------------------------------------------------------

// Progress toward the next extra life in percent (truncated).
int progressPercent(int points, int extraLifeStep);
// ".07", ".42"
std::string progressText(int percent);
std::string livesText(int lives);

// --- figure reactions ------------------------------------------------------

// Play empties the running animations first; StartOn adds to them.
enum class Start { None, Play, StartOn };

// One animation start a figure's events ask for.
struct Reaction {
    Start how = Start::None;
    int animation = -1;
    bool loop = false;
    bool flash = false;
};

// The reaction of a live figure of object type `type` to its object's
// events of the frame (not the player's, whose figure has rules of its own).
// `animating`: the figure runs some animation now.
Reaction reactionFor(int type, const std::vector<int>& events, bool animating);

// Whether a figure of this type takes the beat pulse (animation 2).
bool takesBeatPulse(int type);

// The damage poses of the player's figure for its lives, in start order.
struct Poses {
    const int* ids;
    int count;
};
Poses livesPoses(int lives);

// --- colour changes ------------------------------------------------------

// How many scheme changes the score events starting in the section's frame
// window ask for: one for the first row, one more for the first of the
// other rows that matches.
int colourChanges(const songScore& score, const timeEventSection& section);

} // namespace play
