#pragma once
// Keyframe animations of figures as plain data. A figure's animation table
// is a list of animations (by id); an animation is a list of tracks; a track
// moves every node of one animation group through time windows, and each
// window writes its channels, in its own order, from a from-value to a
// to-value. A track whose windows follow each other from 0 ms, each starting
// where the previous ended, can be written as keyframes instead.
//
// Values: position and scale use the first three numbers; a rotation is
// {angle in radians, axis x, y, z}, all four interpolated, the axis used as
// it is (not made unit length) and the resulting orientation normalised.
#include <OgreQuaternion.h>

#include <array>
#include <cstdint>
#include <vector>

enum Channel { POSITION, ROTATION, SCALE };

using Value = std::array<double, 4>;

struct ChannelWrite {
    Channel channel;
    Value from;
    Value to;
};

// A window from 0 covers 0 <= elapsed < endMs; a later one covers
// startMs < elapsed < endMs, both ends excluded.
struct Window {
    int startMs;
    int endMs;
    std::vector<ChannelWrite> writes;
};

struct Track {
    int group;
    std::vector<Window> windows;

    // The time after which the track is done (its last window's end).
    int endMs() const { return windows.empty() ? 0 : windows.back().endMs; }
};

using Animation = std::vector<Track>;
using AnimationTable = std::vector<Animation>;

// A key of a one-channel track, and of a track of several channels (one value
// per channel, in the track's channel order).
struct Key {
    int ms;
    Value value;
};
struct MultiKey {
    int ms;
    std::vector<Value> values;
};

// Window k runs from key k to key k + 1 and writes the channels in the order
// given.
Track keyframes(int group, Channel channel, const std::vector<Key>& keys);
Track keyframes(int group, const std::vector<Channel>& channels, const std::vector<MultiKey>& keys);

// The running state of one animation of one figure.
struct AnimationState {
    bool loop = false;
    std::int32_t startMs = 0;
    std::vector<bool> trackDone;
    std::int32_t trackCount = 0;
};

// out[i] := (1 - t) a[i] + t b[i] for i < count.
void lerpArray(double t, int count, const double* a, const double* b, double* out);
// v[i] := (v[i] + n current[i]) / (n + 1) for i < count.
void blendAverage(int count, int n, const double* current, double* v);

// The normalised orientation of an angle about an axis that is not made unit
// length first; a zero axis (or any value that normalises to nothing) gives
// the identity.
Ogre::Quaternion rotationOf(double angle, double x, double y, double z);

// The orientation of a node written again in a frame in which it already had
// n writes: the new value weighs 1 and the present orientation n, averaged
// the shorter way round (no flip through 180 degrees) and normalised.
Ogre::Quaternion blendRotation(const Ogre::Quaternion& value, const Ogre::Quaternion& current, int n);
