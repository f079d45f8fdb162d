// Every figure of the game's table, whatever its class: the factory builds it
// by type code with its start animation and root scale, and every one of its
// animations runs to its end at any frame length without a broken node.
#include "tests/figures/figure_fixture.h"

#include "platform/random.h"

#include <algorithm>
#include <set>

namespace {

struct Row {
    int typeCode;
    int variant; // environment variant for the scenery type, else -1
    FigureBuilder build;
    int startAnimation;
    Ogre::Vector3 scale;
};

std::vector<Row> builtRows()
{
    std::vector<Row> rows;
    const FigureTable& t = gameFigureTable();
    for (int i = 0; i < t.typeCount; ++i)
        if (t.types[i].build)
            rows.push_back({t.types[i].typeCode, -1, t.types[i].build, t.types[i].startAnimation,
                            t.types[i].scale});
    for (int v = 0; v < t.sceneryCount; ++v)
        if (t.scenery[v].build)
            rows.push_back({SCENERY_TYPE, v, t.scenery[v].build, t.scenery[v].startAnimation,
                            t.sceneryScale});
    return rows;
}

int longestTrack(const Animation& animation)
{
    int end = 0;
    for (const Track& track : animation)
        end = std::max(end, track.endMs());
    return end;
}

} // namespace

using FigureSweep = FigureTest;

TEST_F(FigureSweep, FactoryBuildsEveryRowWithItsStartAnimationAndScale)
{
    for (const Row& row : builtRows()) {
        SCOPED_TRACE("type " + std::to_string(row.typeCode) + " variant " + std::to_string(row.variant));
        manager->environmentVariant = row.variant < 0 ? 0 : row.variant;
        Model* m = manager->createModel(row.typeCode, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO,
                                        Ogre::Vector3::UNIT_SCALE, nullptr);
        ASSERT_NE(m, nullptr);
        built.push_back(m);
        EXPECT_FALSE(m->parts.empty());
        // A bullet with no shooter is stretched as an enemy's.
        const Ogre::Vector3 scale =
            row.typeCode == BULLET_TYPE ? row.scale * Ogre::Vector3(1.5f, 3, 1.5f) : row.scale;
        EXPECT_EQ(m->root->getScale(), scale);
        if (row.startAnimation == NO_ANIMATION) {
            EXPECT_FALSE(m->isAnimating());
        } else {
            ASSERT_EQ(m->activeAnimations.size(), 1u);
            EXPECT_EQ(m->activeAnimations[0], row.startAnimation);
            EXPECT_TRUE(m->animations[row.startAnimation].loop);
        }
    }
}

// Each animation played once from a fresh figure ends within one frame of
// its longest track (a done flag without a track, or a track without its
// flag, would keep it running forever), and no frame leaves a node with a
// non-finite value or a non-unit orientation.
TEST_F(FigureSweep, EveryAnimationEndsAndKeepsNodesSoundAtAnyFrameLength)
{
    std::set<FigureBuilder> seen;
    for (const Row& row : builtRows()) {
        if (!seen.insert(row.build).second)
            continue;
        for (int step : {1, 16, 33}) {
            plat::srand(7);
            Model* probe = build(row.build);
            int count = probe->animationCount;
            for (int id = 0; id < count; ++id) {
                SCOPED_TRACE("type " + std::to_string(row.typeCode) + " animation " + std::to_string(id) +
                             " step " + std::to_string(step));
                plat::srand(7);
                Model* m = build(row.build);
                const int start = 1000;
                const int end = longestTrack((*m->animationTable)[id]);
                m->playAnimation(id, false, start);
                int now = start;
                std::string where;
                bool sound = true;
                while (m->isAnimating() && now <= start + end + 3 * step) {
                    m->update(now);
                    if (sound && !nodesAreSound(*m, &where)) {
                        ADD_FAILURE() << "at " << now - start << " ms: " << where;
                        sound = false;
                    }
                    now += step;
                }
                EXPECT_FALSE(m->isAnimating()) << "still running " << now - start << " ms after its start";
            }
        }
    }
}
