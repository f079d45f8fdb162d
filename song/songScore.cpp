#include "song/songScore.h"

#include <initializer_list>
#include <stdexcept>
#include <string>

#include "platform/clock.h"
#include "song/scoreData.h"
#include "song/windowQuery.h"

namespace {

constexpr std::array<int, songScore::TRACK_COUNT> kTrackIds = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19, 20, 21, 22, 23, 24, 25, 27, 28, 29};

// Slot of each track id in song order; -1 for ids the song does not use.
constexpr std::array<int, 30> kTrackSlot = [] {
    std::array<int, 30> slots{};
    for (int& s : slots)
        s = -1;
    for (int i = 0; i < songScore::TRACK_COUNT; ++i)
        slots[kTrackIds[i]] = i;
    return slots;
}();

int slotOf(int trackId)
{
    if (trackId < 0 || trackId >= static_cast<int>(kTrackSlot.size()) || kTrackSlot[trackId] < 0)
        throw std::out_of_range("songScore: no track " + std::to_string(trackId));
    return kTrackSlot[trackId];
}

} // namespace

songScore::songScore() = default;

songScore::~songScore()
{
    delete section;
    section = nullptr;
}

const std::array<int, songScore::TRACK_COUNT>& songScore::trackIds() { return kTrackIds; }

timeEventTrack& songScore::track(int id) { return tracks[slotOf(id)]; }

timeEventSection* songScore::buildSong()
{
    if (section != nullptr)
        throw std::logic_error("songScore::buildSong: the song is already built");
    // Read (and checked) before anything changes, so bad data leaves no half-built score.
    scoredata::song();
    section = new timeEventSection();
    // No length is asked here: a composite keeps the first length it reports,
    // so asking before every event has its data would keep a wrong one.
    for (int id : kTrackIds) {
        buildTrackNotes(id);
        buildTrack(id);
    }
    for (timeEventTrack& t : tracks)
        section->tracks.push_back(&t);
    return section;
}

void songScore::buildTrackNotes(int trackId)
{
    const scoredata::Block& block = scoredata::song().blocks[slotOf(trackId)];
    for (const scoredata::Definition& d : block.definitions) {
        timeEvent& e = events[d.event];
        if (d.leaf) {
            e = timeEvent(d.durationMs, d.value);
        } else {
            e = timeEvent(-1, -1.0f);
            e.children.reserve(d.children.size());
            for (int c : d.children)
                e.addChild(&events[c]);
        }
    }
}

timeEventTrack& songScore::buildTrack(int trackId)
{
    const scoredata::Block& block = scoredata::song().blocks[slotOf(trackId)];
    timeEventTrack& t = tracks[slotOf(trackId)];
    t = timeEventTrack(trackId, static_cast<int>(plat::clock()));
    for (int c : block.trackChildren)
        t.addChild(&events[c]);
    return t;
}

void songScore::mergeOccurrences(const std::vector<timeEvent*>& list, OccurrenceIndex& index)
{
    // Every entry stays, duplicates included: a member listed twice counts twice.
    for (const timeEvent* e : list)
        for (const auto& entry : e->occurrences)
            index.insert(entry);
}

void songScore::bindGroups(gameWorld* world)
{
    // Once per score: the fills below append, so a second run would list
    // every member twice.
    if (groupsBound)
        return;
    groupsBound = true;

    auto fill = [this](int g, std::initializer_list<int> numbers) {
        for (int n : numbers)
            groups[g].events.push_back(&events[n]);
    };
    auto unite = [this](int g, std::initializer_list<int> from) {
        groups[g].events.clear();
        for (int f : from) {
            // A copy: a group may be named twice in one union.
            const std::vector<timeEvent*> snapshot = groups[f].events;
            groups[g].events.insert(groups[g].events.end(), snapshot.begin(), snapshot.end());
        }
    };
    auto bind = [this, world](int judge, int g) { judges[judge].init(&groups[g].events, world); };

    groups[0].events.clear();
    fill(13, {174, 180, 188});
    bind(0, 13);
    fill(14, {402, 406, 410, 414, 418, 422, 426, 430, 434, 438, 442, 446});
    bind(1, 14);
    fill(15, {676, 682, 686});
    bind(2, 15);
    fill(16, {457, 459, 469, 471});
    bind(3, 16);
    fill(17, {477, 489, 499, 509, 521, 525});
    bind(4, 17);
    fill(12, {459, 477});
    fill(18, {688, 692, 698, 702});
    bind(5, 18);
    fill(8, {296, 328, 344});
    fill(7, {262, 272, 278});
    fill(10, {262, 328});
    fill(21, {177, 181, 185, 189});
    fill(2, {459, 465, 471});
    fill(3, {477, 489, 509, 531});
    fill(4, {682, 688, 692, 698});
    fill(5, {733, 735, 737, 739, 741, 743, 745, 747, 749, 751, 753,
             755, 757, 759, 761, 763, 765, 767, 769, 771, 773});
    fill(6, {613, 616});
    fill(9, {540, 556, 580, 596});
    fill(11, {540, 614});
    unite(20, {7, 8});
    unite(19, {2, 3, 3, 9});
    unite(22, {19, 4, 5, 6, 4});
    fill(1, {159, 165, 166, 193, 259, 452, 729});
    bind(6, 1);
    unite(23, {21, 22, 1});
    unite(24, {13, 1, 14, 15, 16, 17, 18});
    songLengthMs = 360000;
    for (eventGroup& g : groups) {
        destroyOccurrenceIndex(g.index);
        mergeOccurrences(g.events, g.index);
    }
}
