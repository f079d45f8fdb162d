#include "figures/flowerAnimations.h"

namespace {

Value turn(double angle) { return {angle, 1, 0, 1}; }

// Animations 3, 4 and 5 of the flower.
constexpr FlingKeys FLOWER_FLINGS[3] = {
    {450, 1100, {{0.77, 0.47, 0}, {10, -12, -8}, {-59, -2000, -15}}, {0, -5, -26}, {true, true}},
    {450, 1100, {{-0.77, 0.47, 0}, {-6.95, 3, 5}, {-59, 2000, 15}}, {0, -15, -26}, {false, true}},
    {450, 1100, {{-0.95, 0.3, 0}, {-5.95, -3, -5}, {-59, -2000, -15}}, {0, -5, -26}, {false, true}},
};

} // namespace

Animation fling(const FlingKeys& k, int group)
{
    Track track{group, {}};
    const int times[3] = {0, k.turnMs, k.endMs};
    for (int w = 0; w < 2; ++w) {
        ChannelWrite position{POSITION, k.position[w], k.position[w + 1]};
        ChannelWrite rotation{ROTATION, turn(k.angle[w]), turn(k.angle[w + 1])};
        Window window{times[w], times[w + 1], {}};
        if (k.positionFirst[w])
            window.writes = {position, rotation};
        else
            window.writes = {rotation, position};
        track.windows.push_back(window);
    }
    return {track};
}

Animation flowerFling(int id, int group) { return fling(FLOWER_FLINGS[id - 3], group); }

Animation flowerFling(int id) { return flowerFling(id, FLOWER_FLING_GROUP[id - 3]); }
