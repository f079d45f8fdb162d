#pragma once
// The wing branch that the scenery figures e3, e4, e5 and e6 share: three
// wings chained from the base pivot, each a pivot 125 units out along -Z and
// turned 1.1 rad about Z (animation group 4), a cube turned -1.7 rad about
// (1, 0, 1) and a stack of two stretched pyramids standing on the cube; each
// next wing hangs from the cube of the wing before. And the swing of the
// three wing pivots that their animation 0 plays.
#include "model/Animation.h"

class Model;

// How far the first pyramid of each wing is stretched along Y (the second
// is always stretched 3 times).
struct WingStretch {
    double firstWing;
    double laterWings;
};

// Builds the three wings below the cursor (the base pivot) and leaves the
// third wing's cube as the cursor.
void buildSceneryWings(Model& m, const WingStretch& stretch);

// The wing pivots' swing (group 4) over 2000 ms, with the turn reached at
// 800 ms as given; the axis moves from Z to (1, 0, 1) in the first window.
Track wingSwingTrack(double angleAt800);
// The swing of e3, e4 and e5 (-3 rad at 800 ms).
const Track& sceneryWingTrack();
