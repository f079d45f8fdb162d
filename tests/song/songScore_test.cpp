// The song score: totals, every composite's and track's length, the tracks'
// notes, the named events with their times, and the 25 groups.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "song/scoreData.h"
#include "song/songScore.h"
#include "song/windowQuery.h"
#include "world/gameWorld.h"
#include "world/kestor.h"

namespace {

// The world starts the section at -2, so every time below, counted from the
// section's start, lies 2 ms earlier in song time.
constexpr int kStart = -2;

// One built, started and bound score shared by the read-only tests.
class SongTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        score = new songScore();
        section = score->buildSong();
        world = new gameWorld(gameWorld::bare_t{});
        player = new kestor();
        world->section = section;
        world->player = player;
        world->now = kStart;
        section->start(kStart);
        score->bindGroups(world);
    }
    static void TearDownTestSuite()
    {
        world->section = nullptr;
        world->player = nullptr;
        delete world;
        delete player;
        delete score;
    }

    // Start times of an event's occurrences in number order, counted from
    // the section's start.
    static std::vector<int> times(const timeEvent& e)
    {
        std::vector<std::pair<int, int>> byNumber;
        for (const auto& o : e.occurrences)
            byNumber.push_back({o.second, o.first - kStart});
        std::sort(byNumber.begin(), byNumber.end());
        std::vector<int> out;
        for (std::size_t i = 0; i < byNumber.size(); ++i) {
            EXPECT_EQ(byNumber[i].first, static_cast<int>(i) + 1) << "numbers run 1, 2, 3 ...";
            out.push_back(byNumber[i].second);
        }
        return out;
    }
    static std::vector<int> times(int n) { return times(score->event(n)); }

    static std::vector<int> series(int first, int step, int count)
    {
        std::vector<int> v;
        for (int k = 0; k < count; ++k)
            v.push_back(first + step * k);
        return v;
    }
    static std::vector<int> join(std::vector<int> a, const std::vector<int>& b)
    {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    static songScore* score;
    static timeEventSection* section;
    static gameWorld* world;
    static kestor* player;
};

songScore* SongTest::score = nullptr;
timeEventSection* SongTest::section = nullptr;
gameWorld* SongTest::world = nullptr;
kestor* SongTest::player = nullptr;

TEST_F(SongTest, Totals)
{
    int leaves = 0, composites = 0, untouched = 0;
    for (int n = 0; n < songScore::EVENT_COUNT; ++n) {
        const timeEvent& e = score->event(n);
        if (!e.children.empty())
            ++composites;
        else if (e.value != -1.0f)
            ++leaves;
        else
            ++untouched;
    }
    EXPECT_EQ(leaves, 1218);
    EXPECT_EQ(composites, 97);
    EXPECT_EQ(leaves + composites, 1315);
    EXPECT_EQ(untouched, 3);
    for (int n : {123, 124, 125}) {
        EXPECT_EQ(score->event(n).duration, -1) << n;
        EXPECT_TRUE(score->event(n).occurrences.empty()) << n;
    }

    ASSERT_EQ(section->tracks.size(), 28u);
    std::vector<int> ids;
    for (const timeEventTrack* t : section->tracks)
        ids.push_back(t->id);
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    EXPECT_EQ(ids, std::vector<int>(songScore::trackIds().begin(), songScore::trackIds().end()));
    for (const timeEventTrack* t : section->tracks) {
        EXPECT_EQ(t->startMs, kStart);
        EXPECT_EQ(std::count(section->tracks.begin(), section->tracks.end(), t), 1);
    }
    EXPECT_EQ(section->getDuration(), 391199);
    EXPECT_FALSE(section->loop);
}

struct Check {
    int number;   // score event, or track id
    int durationMs;
};

const std::vector<Check> kCompositeLengths = {
    {13, 2552}, {14, 14250}, {15, 19354}, {44, 4800}, {45, 4800}, {110, 19200}, {111, 19200},
    {118, 16799}, {119, 2000}, {120, 16000}, {121, 10900}, {122, 198299}, {159, 4000},
    {160, 35200}, {161, 32000}, {167, 4800}, {192, 19201}, {193, 2000}, {194, 4000}, {195, 159201},
    {240, 19200}, {241, 4000}, {242, 4000}, {243, 159200}, {251, 9600}, {252, 9600}, {253, 19200},
    {258, 155200}, {259, 4500}, {260, 164200}, {284, 65199}, {285, 2000}, {286, 75199},
    {353, 103199}, {354, 4000}, {355, 123199}, {392, 171199}, {393, 4000}, {394, 2000},
    {395, 299199}, {451, 171199}, {452, 4000}, {453, 2000}, {454, 381199}, {605, 171199},
    {606, 2050}, {607, 4050}, {608, 2000}, {609, 4000}, {610, 362149}, {620, 191199}, {621, 2000},
    {622, 2000}, {623, 377199}, {632, 191199}, {633, 4000}, {634, 2000}, {635, 391199},
    {644, 239199}, {645, 4000}, {646, 2000}, {647, 389199}, {667, 255199}, {668, 4000},
    {669, 303199}, {703, 271200}, {704, 4000}, {705, 50}, {706, 1999}, {707, 383218},
    {728, 305200}, {729, 4000}, {730, 337200}, {775, 239199}, {776, 64000}, {777, 303199},
    {818, 239199}, {819, 64000}, {820, 303199}, {865, 239199}, {866, 64000}, {867, 303199},
    {908, 239199}, {909, 64000}, {910, 303199}, {942, 179199}, {943, 8000}, {944, 2000},
    {945, 500}, {946, 37649}, {947, 288848}, {1216, 303200}, {1217, 34000}, {1218, 337200},
    {1315, 303200}, {1316, 34000}, {1317, 337200},
};

const std::vector<Check> kTrackLengths = {
    {0, 19354}, {1, 14400}, {2, 19200}, {3, 198299}, {4, 131200}, {5, 19200}, {6, 159201},
    {7, 159200}, {8, 19200}, {9, 164200}, {10, 75199}, {11, 123199}, {12, 299199}, {13, 381199},
    {14, 362149}, {15, 377199}, {16, 391199}, {17, 389199}, {19, 303199}, {20, 383218},
    {21, 337200}, {22, 303199}, {23, 303199}, {24, 303199}, {25, 303199}, {27, 288848},
    {28, 337200}, {29, 337200},
};

TEST_F(SongTest, EveryCheckValueHolds)
{
    ASSERT_EQ(kCompositeLengths.size(), 97u);
    for (const Check& c : kCompositeLengths)
        EXPECT_EQ(score->event(c.number).getDuration(), c.durationMs) << "score event " << c.number;
    ASSERT_EQ(kTrackLengths.size(), 28u);
    for (const Check& c : kTrackLengths)
        EXPECT_EQ(score->track(c.number).getDuration(), c.durationMs) << "track " << c.number;
    // The data text carries the same checks; every one of them holds too.
    int checked = 0;
    for (const scoredata::Check& c : scoredata::song().checks) {
        const int d = c.event >= 0 ? score->event(c.event).getDuration() : score->track(c.trackId).getDuration();
        EXPECT_EQ(d, c.durationMs) << "event " << c.event << " track " << c.trackId;
        ++checked;
    }
    EXPECT_EQ(checked, 97 + 28);
}

// What a track plays: its leaves and composites, its length, and the plays
// of its notes (leaves whose value is not 0) by length and by value.
struct TrackRow {
    int id;
    int leaves, composites;
    int lengthMs;
    int notes;
    const char* noteLengths;   // "ms:plays ..."
    const char* noteValues;    // "value:plays ..."
    int firstNote, lastNote;   // start times
};

const std::vector<TrackRow> kTracks = {
    {0, 13, 3, 19354, 12, "50:10 949:2", "0.1:2 0.3:2 0.4:2 0.5:4 0.7:2", 50, 17452},
    {1, 28, 2, 14400, 45, "50:42 41:3", "0.2:30 0.25:3 0.3:6 0.4:6", 1600, 14359},
    {2, 64, 2, 19200, 62, "50:62", "0.2:14 0.3:16 0.4:16 0.5:2 0.7:2 0.8:8 0.9:4", 9600, 16700},
    {3, 6, 5, 198299, 229, "300:121 500:106 600:2", "0.2:106 0.4:2 0.6:121", 16799, 197799},
    {4, 36, 3, 131200, 51, "50:51", "0.1:6 0.2:6 0.3:12 0.4:15 0.5:6 0.55:3 0.8:3", 63200, 131150},
    {5, 2, 1, 19200, 8, "2400:8", "0.4:4 0.6:4", 0, 16800},
    {6, 24, 4, 159201, 620, "50:620", "0.4:372 0.6:62 0.8:186", 19201, 154959},
    {7, 44, 4, 159200, 651, "50:651", "0.5:62 0.6:434 0.7:155", 19200, 154700},
    {8, 7, 3, 19200, 5, "800:1 1000:1 1200:1 1799:1 2700:1", "0.1:2 0.3:2 0.5:1", 9600, 14399},
    {9, 4, 3, 164200, 4, "2250:4", "0.1:2 0.3:2", 155200, 161950},
    {10, 23, 3, 75199, 55, "50:55", "0.3:15 0.4:25 0.5:10 0.7:5", 65199, 74649},
    {11, 66, 3, 123199, 165, "50:165", "0.2:40 0.3:35 0.4:20 0.5:15 0.7:5 0.8:15 0.9:35", 103199, 123138},
    {12, 36, 4, 299199, 432, "50:432", "0.1:270 0.2:27 0.3:54 0.4:54 0.5:27", 171408, 299089},
    {13, 55, 4, 381199, 1144, "50:1144", "0.2:572 0.3:44 0.4:528", 171299, 381099},
    {14, 150, 6, 362149, 688, "50:688", "0.1:52 0.2:233 0.3:66 0.4:195 0.5:8 0.6:62 0.7:72", 171249, 362099},
    {15, 9, 4, 377199, 280, "50:112 100:56 125:56 524:56", "0.3:168 0.4:56 0.6:56", 191249, 363048},
    {16, 8, 4, 391199, 15, "100:3 250:3 500:3 701:3 2299:3", "0.1:6 0.2:6 0.4:3", 191349, 390498},
    {17, 8, 4, 389199, 15, "50:3 200:3 500:3 550:3 1200:3", "0.1:3 0.2:3 0.4:6 0.6:3", 239199, 386499},
    {19, 19, 3, 303199, 108, "50:96 2300:12", "0.1:36 0.2:36 0.3:24 0.4:12", 255299, 300899},
    {20, 33, 5, 383218, 352, "50:308 56:12 150:32", "0.1:60 0.2:128 0.3:24 0.4:96 0.5:44", 271450, 383162},
    {21, 20, 3, 337200, 136, "50:64 100:8 125:8 150:8 250:16 449:8 474:8 699:8 1003:8", "0.1:72 0.2:32 0.3:32", 305250, 336197},
    {22, 44, 3, 303199, 21, "50:1 500:20", "0.3:20 0.4:1", 245199, 296749},
    {23, 40, 3, 303199, 19, "50:1 500:18", "0.3:19", 247199, 301749},
    {24, 44, 3, 303199, 21, "50:1 500:20", "0.3:20 0.4:1", 245199, 296749},
    {25, 40, 3, 303199, 19, "50:1 500:18", "0.3:19", 247199, 301749},
    {27, 31, 6, 288848, 93, "50:3 250:24 500:64 1000:2", "0.3:93", 179199, 286348},
    {28, 268, 3, 337200, 133, "50:133", "0.3:133", 305200, 335793},
    {29, 96, 3, 337200, 47, "50:47", "0.3:47", 305650, 336383},
};

std::map<std::string, int> histogram(const char* text)
{
    std::map<std::string, int> h;
    std::istringstream in(text);
    std::string item;
    while (in >> item) {
        const auto colon = item.find(':');
        h[item.substr(0, colon)] += std::atoi(item.c_str() + colon + 1);
    }
    return h;
}

// The shortest decimal that gives back the float, as the notation writes it.
std::string shortest(float v)
{
    for (int digits = 1; digits < 10; ++digits) {
        std::ostringstream os;
        os.precision(digits);
        os << v;
        if (std::strtof(os.str().c_str(), nullptr) == v)
            return os.str();
    }
    return std::to_string(v);
}

TEST_F(SongTest, EveryTrackPlaysItsNotes)
{
    const auto& blocks = scoredata::song().blocks;
    ASSERT_EQ(kTracks.size(), blocks.size());
    for (std::size_t i = 0; i < kTracks.size(); ++i) {
        const TrackRow& row = kTracks[i];
        const scoredata::Block& block = blocks[i];
        ASSERT_EQ(block.trackId, row.id);
        SCOPED_TRACE("track " + std::to_string(row.id));
        int leaves = 0, composites = 0, notes = 0;
        int first = 1 << 30, last = -(1 << 30);
        std::map<std::string, int> lengths, values;
        for (int n = block.firstEvent; n <= block.lastEvent; ++n) {
            const timeEvent& e = score->event(n);
            if (!e.children.empty()) {
                ++composites;
                continue;
            }
            if (e.value == -1.0f)
                continue;
            ++leaves;
            if (e.value == 0.0f || e.occurrences.empty())
                continue;
            const int plays = static_cast<int>(e.occurrences.size());
            notes += plays;
            lengths[std::to_string(e.duration)] += plays;
            values[shortest(e.value)] += plays;
            first = std::min(first, e.occurrences.begin()->first - kStart);
            last = std::max(last, e.occurrences.rbegin()->first - kStart);
        }
        EXPECT_EQ(leaves, row.leaves);
        EXPECT_EQ(composites, row.composites);
        EXPECT_EQ(score->track(row.id).getDuration(), row.lengthMs);
        EXPECT_EQ(notes, row.notes);
        EXPECT_EQ(lengths, histogram(row.noteLengths));
        EXPECT_EQ(values, histogram(row.noteValues));
        EXPECT_EQ(first, row.firstNote);
        EXPECT_EQ(last, row.lastNote);
    }
}

TEST_F(SongTest, NamedEventsAndTheirTimes)
{
    struct Named {
        int event;
        std::vector<int> times;
    };
    const std::vector<Named> table = {
        {18, {1650, 6450, 11250}},
        {29, {2650, 7450, 12250}},
        {121, series(34799, 10900, 15)},
        {159, {63200, 95200, 127200}},
        {165, {0, 4800, 9600, 14400}},
        {166, {2400, 7200, 12000, 16800}},
        {169, {19200}},
        {255, {155199}},
        {259, {155200, 159700}},
        {262, series(65199, 2000, 5)},
        {272, series(65849, 2000, 5)},
        {278, series(66449, 2000, 5)},
        {285, series(65199, 2000, 5)},
        {296, series(103699, 4000, 5)},
        {328, series(105688, 4000, 5)},
        {344, series(106688, 4000, 5)},
        {457, series(171249, 2050, 8)},
        {459, series(171799, 2050, 8)},
        {465, series(172299, 2050, 8)},
        {469, series(172699, 2050, 8)},
        {471, series(172999, 2050, 8)},
        {477, series(187699, 4050, 11)},
        {489, series(188449, 4050, 11)},
        {499, series(189099, 4050, 11)},
        {509, series(189749, 4050, 11)},
        {521, series(190499, 4050, 11)},
        {525, series(190774, 4050, 11)},
        {531, series(191149, 4050, 11)},
        {540, series(330149, 4000, 8)},
        {556, series(331149, 4000, 8)},
        {580, series(332649, 4000, 8)},
        {596, series(333649, 4000, 8)},
        {606, series(171199, 2050, 8)},
        {609, series(330149, 4000, 8)},
        {633, {191199, 303199, 387199}},
        {645, {239199, 369199, 385199}},
        {650, series(255299, 4000, 12)},
        {676, join(series(272448, 4000, 8), series(368466, 4000, 4))},
        {682, join(series(273945, 4000, 8), series(369963, 4000, 4))},
        {686, join(series(275144, 4000, 8), series(371162, 4000, 4))},
        {688, series(303250, 1999, 32)},
        {692, series(303850, 1999, 32)},
        {698, series(304499, 1999, 32)},
        {702, series(305099, 1999, 32)},
        {706, series(303250, 1999, 32)},
        {729, series(305200, 4000, 8)},
        {732, {239199}},
        {12, {4802, 7202, 9602, 12002, 14402}},
        {13, {0, 16802}},
        {44, {0, 4800, 9600}},
        {45, {0, 4800, 9600}},
        {46, {0, 2400, 4800, 7200, 16800}},
        {109, {16800}},
        {925, {187199}},
        {357, {}},
        {912, {}},
        {123, {}},
    };
    for (const Named& n : table)
        EXPECT_EQ(times(n.event), n.times) << "score event " << n.event;

    // Long series: count, first and last.
    struct Span {
        int event, count, first, last;
    };
    const std::vector<Span> spans = {
        {171, 62, 19251, 153251},   {174, 62, 19551, -1}, {180, 62, 20261, -1}, {188, 62, 20959, -1},
        {177, 62, 19751, -1},       {181, 62, 20311, -1}, {185, 62, 20659, -1}, {189, 62, 21009, -1},
        {193, 62, 19201, 153201},   {452, 44, 171199, 377199}, {613, 56, 191249, -1},
        {614, 56, 191374, -1},      {616, 56, 191948, -1}, {630, 3, -1, 390498}, {926, 24, 187199, -1},
        {944, 24, 187199, -1},
    };
    for (const Span& s : spans) {
        const std::vector<int> t = times(s.event);
        ASSERT_EQ(static_cast<int>(t.size()), s.count) << "score event " << s.event;
        if (s.first >= 0) {
            EXPECT_EQ(t.front(), s.first) << "score event " << s.event;
        }
        if (s.last >= 0) {
            EXPECT_EQ(t.back(), s.last) << "score event " << s.event;
        }
    }
    for (int n = 402; n <= 446; n += 4)
        EXPECT_EQ(times(n).size(), 44u) << n;
    EXPECT_EQ(times(402).front(), 171649);

    // Phrase 621: at P and P + 2,000 for each P.
    std::vector<int> bars;
    for (int p : {191199, 209199, 227199, 245199, 263199, 281199, 299199, 319199, 325199, 331199, 337199, 347199,
                  353199, 359199}) {
        bars.push_back(p);
        bars.push_back(p + 2000);
    }
    EXPECT_EQ(times(621), bars);

    // The 21 notes of track 22's phrase, and their copies in track 24.
    const std::vector<int> blockerNotes = {245199, 247199, 249199, 253199, 254749, 255749, 256749,
                                           260749, 262749, 264749, 268749, 270749, 272749, 276749,
                                           278749, 280749, 282749, 284749, 286749, 288749, 296749};
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(times(733 + 2 * i), std::vector<int>{blockerNotes[i]}) << 733 + 2 * i;
        EXPECT_EQ(times(823 + 2 * i), std::vector<int>{blockerNotes[i]}) << 823 + 2 * i;
    }
}

TEST_F(SongTest, NamedAccessorsAreTheRightEvents)
{
    const std::vector<std::pair<timeEvent*, int>> named = {
        {&score->track1RestA(), 18},   {&score->track1RestB(), 29},    {&score->track6Rest(), 171},
        {&score->track3Phrase(), 121}, {&score->track10Bar(), 285},    {&score->track4Phrase(), 159},
        {&score->track9Phrase(), 259}, {&score->track14Bar(), 606},    {&score->track16Phrase(), 633},
        {&score->track19Note(), 650},  {&score->track15Bar(), 621},    {&score->track20Note(), 676},
        {&score->track20Bar(), 706},   {&score->track14Section(), 609}, {&score->track17Phrase(), 645},
    };
    for (const auto& n : named)
        EXPECT_EQ(n.first, &score->event(n.second)) << n.second;
    // As the level director describes them.
    EXPECT_EQ(score->track1RestA().duration, 200);
    EXPECT_EQ(score->track1RestB().duration, 300);
    EXPECT_EQ(score->track6Rest().duration, 125);
    EXPECT_EQ(score->track3Phrase().children.size(), 20u);
    EXPECT_EQ(score->track10Bar().children.size(), 22u);
    EXPECT_EQ(score->track4Phrase().children.size(), 33u);
    EXPECT_EQ(score->track9Phrase().getDuration(), 4500);
    EXPECT_EQ(score->track14Bar().children.size(), 19u);
    EXPECT_EQ(score->track16Phrase().children.size(), 6u);
    EXPECT_EQ(score->track19Note().value, 0.4f);
    EXPECT_EQ(score->track15Bar().children.size(), 14u);
    EXPECT_EQ(score->track20Note().value, 0.3f);
    EXPECT_EQ(score->track20Bar().getDuration(), 1999);
    EXPECT_EQ(score->track14Section().children.size(), 65u);
    EXPECT_EQ(score->track17Phrase().children.size(), 6u);
    EXPECT_EQ(&score->shipNoteGroup(), &score->groups[0]);
    EXPECT_EQ(&score->markerGroup(), &score->groups[1]);
    EXPECT_EQ(&score->blockerPairGroup(), &score->groups[5]);
    EXPECT_EQ(&score->tentacleNoteGroupB(), &score->groups[9]);
    EXPECT_EQ(&score->tentacleNoteGroup(), &score->groups[10]);
    EXPECT_EQ(&score->beeWaveGroup(), &score->groups[12]);
    EXPECT_EQ(&score->tentheadNoteGroupA(), &score->groups[13]);
    EXPECT_EQ(&score->rhythmPattern1(), &score->groups[14]);
    EXPECT_EQ(&score->rhythmPattern5(), &score->groups[18]);
    EXPECT_EQ(&score->tentheadNoteGroupB(), &score->groups[23]);
}

TEST_F(SongTest, GroupsHoldTheirEventsAfterBinding)
{
    auto odd = [](int from, int to) {
        std::vector<int> v;
        for (int n = from; n <= to; n += 2)
            v.push_back(n);
        return v;
    };
    std::vector<std::vector<int>> g(25);
    g[0] = {};
    g[1] = {159, 165, 166, 193, 259, 452, 729};
    g[2] = {459, 465, 471};
    g[3] = {477, 489, 509, 531};
    g[4] = {682, 688, 692, 698};
    g[5] = odd(733, 773);
    g[6] = {613, 616};
    g[7] = {262, 272, 278};
    g[8] = {296, 328, 344};
    g[9] = {540, 556, 580, 596};
    g[10] = {262, 328};
    g[11] = {540, 614};
    g[12] = {459, 477};
    g[13] = {174, 180, 188};
    g[14] = {402, 406, 410, 414, 418, 422, 426, 430, 434, 438, 442, 446};
    g[15] = {676, 682, 686};
    g[16] = {457, 459, 469, 471};
    g[17] = {477, 489, 499, 509, 521, 525};
    g[18] = {688, 692, 698, 702};
    g[19] = join(join(join(g[2], g[3]), g[3]), g[9]);
    g[20] = join(g[7], g[8]);
    g[21] = {177, 181, 185, 189};
    g[22] = join(join(join(join(g[19], g[4]), g[5]), g[6]), g[4]);
    g[23] = join(join(g[21], g[22]), g[1]);
    g[24] = join(join(join(join(join(join(g[13], g[1]), g[14]), g[15]), g[16]), g[17]), g[18]);
    ASSERT_EQ(g[5].size(), 21u);

    for (int k = 0; k < 25; ++k) {
        SCOPED_TRACE("group " + std::to_string(k));
        std::vector<int> members;
        for (const timeEvent* e : score->groups[k].events)
            members.push_back(static_cast<int>(e - &score->event(0)));
        EXPECT_EQ(members, g[k]);

        // The merged index keeps every entry of every listed member,
        // duplicates included, with the member's own number.
        OccurrenceIndex expected;
        for (int n : g[k])
            for (const auto& o : score->event(n).occurrences)
                expected.insert(o);
        EXPECT_EQ(score->groups[k].index, expected);
        std::size_t total = 0;
        for (int n : g[k])
            total += score->event(n).occurrences.size();
        EXPECT_EQ(score->groups[k].index.size(), total);
    }
    EXPECT_TRUE(score->groups[0].index.empty());
    // The events of group 3 stand twice in group 19: each entry twice.
    const auto twice = score->groups[19].index.equal_range(187699 + kStart);
    EXPECT_EQ(std::distance(twice.first, twice.second), 2);
    EXPECT_EQ(twice.first->second, 1);
    EXPECT_EQ(std::next(twice.first)->second, 1);

    EXPECT_EQ(score->songLengthMs, 360000);
    for (int k = 0; k < 7; ++k) {
        const int group = k < 6 ? 13 + k : 1;
        EXPECT_EQ(score->judges[k].pattern, &score->groups[group].events) << k;
        EXPECT_EQ(score->judges[k].world, world) << k;
        EXPECT_EQ(score->judges[k].cursor, 0u) << k;
        EXPECT_FALSE(score->judges[k].running) << k;
    }
}

TEST_F(SongTest, GroupQueryFiltersEachMembersOwnNumbers)
{
    // Occurrences 1..1 of group 13 find the first of each of its three
    // events, not only the group's earliest entry.
    timeEventSection window;
    int found = 0;
    for (int now = 0; now < 25000; now += 16) {
        window.previousFrameMs = now - 16;
        window.currentFrameMs = now;
        if (groupOccurredInWindow(score->groups[13].index, window, WindowQuery().occurrences(1, 1)))
            ++found;
    }
    EXPECT_EQ(found, 3);
}

TEST(SongScore, BindingTwiceChangesNothing)
{
    songScore score;
    timeEventSection* section = score.buildSong();
    section->start(kStart);
    gameWorld world(gameWorld::bare_t{});
    score.bindGroups(&world);
    const std::size_t members = score.groups[22].events.size();
    const std::size_t entries = score.groups[22].index.size();
    score.bindGroups(&world);
    EXPECT_EQ(score.groups[22].events.size(), members);
    EXPECT_EQ(score.groups[22].index.size(), entries);
    EXPECT_EQ(score.groups[1].events.size(), 7u);
}

TEST(SongScore, NothingIsMeasuredBeforeTheSongIsBuilt)
{
    // A fresh score reports no lengths yet, and building it asks none: the
    // lengths appear only when they are first asked, after the build.
    songScore score;
    EXPECT_EQ(score.songLengthMs, -1);
    EXPECT_EQ(score.section, nullptr);
    timeEventSection* section = score.buildSong();
    EXPECT_EQ(section, score.section);
    for (int n = 0; n < songScore::EVENT_COUNT; ++n) {
        if (!score.event(n).children.empty()) {
            EXPECT_EQ(score.event(n).duration, -1) << n;
        }
    }
    EXPECT_EQ(section->duration, -1);
    for (const timeEventTrack* t : section->tracks)
        EXPECT_EQ(t->duration, -1);
    EXPECT_EQ(section->getDuration(), 391199);
    EXPECT_THROW(score.buildSong(), std::logic_error);
}

TEST(SongScore, RestartingGivesTheSameOccurrences)
{
    songScore score;
    timeEventSection* section = score.buildSong();
    section->start(kStart);
    const OccurrenceIndex first = score.event(193).occurrences;
    section->start(kStart);
    EXPECT_EQ(score.event(193).occurrences, first);
    section->start(1000);
    EXPECT_EQ(score.event(193).occurrences.begin()->first, 19201 + 1000);
}

} // namespace
