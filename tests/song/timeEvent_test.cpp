// Timed events, tracks and the section: layout, numbering, lengths and the
// frame window.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "song/timeEvent.h"
#include "song/timeEventSection.h"

namespace {

using Entries = std::vector<std::pair<int, int>>;

Entries entries(const timeEvent& e) { return Entries(e.occurrences.begin(), e.occurrences.end()); }

TEST(TimeEvent, RepeatedLeafGetsOneNumberedOccurrencePerPlay)
{
    timeEvent leaf(500, 0.5f);
    timeEvent phrase;
    for (int i = 0; i < 3; ++i)
        phrase.addChild(&leaf);
    phrase.layOut(1000);
    EXPECT_EQ(entries(leaf), (Entries{{1000, 1}, {1500, 2}, {2000, 3}}));
    EXPECT_EQ(entries(phrase), (Entries{{1000, 1}}));
    EXPECT_EQ(phrase.getDuration(), 1500);
}

TEST(TimeEvent, ChildlessUnsetMemberLastsNothingOnceLaidOut)
{
    timeEvent leaf(200, 0.1f);
    timeEvent unset;
    timeEvent phrase;
    phrase.addChild(&leaf);
    phrase.addChild(&unset);
    EXPECT_EQ(phrase.getDuration(), 200);
    EXPECT_EQ(unset.getDuration(), -1);
    phrase.layOut(0);
    EXPECT_EQ(entries(unset), (Entries{{200, 1}}));
    EXPECT_EQ(unset.getDuration(), 0);
    EXPECT_EQ(phrase.getDuration(), 200);
}

TEST(TimeEvent, LengthAskedBeforeAChildIsDefinedIsNotKept)
{
    // A composite asked while a child still has no data must not keep the
    // partial sum: the child's data arrives later.
    timeEvent child;
    timeEvent phrase;
    phrase.addChild(&child);
    phrase.addChild(&child);
    EXPECT_EQ(phrase.getDuration(), 0);
    child = timeEvent(300, 0.3f);
    EXPECT_EQ(phrase.getDuration(), 600);
}

TEST(TimeEvent, StoredLengthStaysAfterAddChild)
{
    timeEvent a(100, 0.1f), b(50, 0.2f);
    timeEvent phrase;
    phrase.addChild(&a);
    EXPECT_EQ(phrase.getDuration(), 100);
    phrase.addChild(&b);
    EXPECT_EQ(phrase.getDuration(), 100);
    timeEvent outer;
    outer.addChild(&phrase);
    outer.addChild(&phrase);
    outer.layOut(0);
    EXPECT_EQ(entries(phrase), (Entries{{0, 1}, {100, 2}}));
}

TEST(TimeEvent, EqualStartTimesKeepPlacementOrder)
{
    timeEvent leaf(10, 0.1f);
    for (int t : {0, 0, 0, 5, 5})
        leaf.layOut(t);
    EXPECT_EQ(entries(leaf), (Entries{{0, 1}, {0, 2}, {0, 3}, {5, 4}, {5, 5}}));
    leaf.layOut(5);
    EXPECT_EQ(leaf.occurrences.rbegin()->second, 6);
}

TEST(TimeEvent, CopyAssignmentCopiesEverythingAndSurvivesSelfAssignment)
{
    timeEvent leaf(40, 0.4f);
    timeEvent source;
    source.addChild(&leaf);
    source.addChild(&leaf);
    source.layOut(7);
    timeEvent target(1, 1.0f);
    target = source;
    EXPECT_EQ(target.children, source.children);
    EXPECT_EQ(entries(target), (Entries{{7, 1}}));
    EXPECT_EQ(target.duration, 80);
    EXPECT_EQ(target.value, -1.0f);

    timeEvent& alias = target;
    target = alias;
    EXPECT_EQ(target.children.size(), 2u);
    EXPECT_EQ(entries(target), (Entries{{7, 1}}));
    EXPECT_EQ(target.duration, 80);

    timeEventTrack track(3, 99);
    static_cast<timeEvent&>(track) = timeEvent(5, 0.5f);   // keeps its class and id
    EXPECT_EQ(track.id, 3);
    EXPECT_EQ(track.getDuration(), 5);
    timeEventTrack other(8, 12);
    other = track;
    EXPECT_EQ(other.id, 3);
    EXPECT_EQ(other.startMs, 99);
}

TEST(TimeEvent, ClearOccurrencesEmptiesTheWholeTreeAndKeepsLengths)
{
    timeEvent leaf(10, 0.1f);
    timeEvent phrase;
    phrase.addChild(&leaf);
    phrase.addChild(&leaf);
    phrase.layOut(0);
    phrase.clearOccurrences();
    EXPECT_TRUE(phrase.occurrences.empty());
    EXPECT_TRUE(leaf.occurrences.empty());
    EXPECT_EQ(phrase.duration, 20);
}

// Two tracks in a section, for the numbering across tracks.
struct TwoTracks {
    timeEvent shared{100, 0.3f};
    timeEvent restA{5000, 0.0f}, restB{1000, 0.0f};
    timeEventTrack trackA{1, 0}, trackB{2, 0};
    timeEventSection section;
    TwoTracks(int leadA, int leadB, bool aFirst)
    {
        restA = timeEvent(leadA, 0.0f);
        restB = timeEvent(leadB, 0.0f);
        trackA.addChild(&restA);
        trackA.addChild(&shared);
        trackB.addChild(&restB);
        trackB.addChild(&shared);
        section.tracks = aFirst ? std::vector<timeEventTrack*>{&trackA, &trackB}
                                : std::vector<timeEventTrack*>{&trackB, &trackA};
        section.start(0);
    }
};

TEST(TimeEvent, NumberingFollowsTrackOrderNotTime)
{
    // Track B listed first, A at 5,000 and B at 1,000.
    EXPECT_EQ(entries(TwoTracks(5000, 1000, false).shared), (Entries{{1000, 1}, {5000, 2}}));
    // A at 1,000 listed after B at 5,000.
    EXPECT_EQ(entries(TwoTracks(1000, 5000, false).shared), (Entries{{1000, 2}, {5000, 1}}));
}

TEST(Section, NewSectionHasLengthZeroAndAnEmptyWindow)
{
    timeEventSection s;
    EXPECT_EQ(s.getDuration(), 0);
    EXPECT_EQ(s.previousFrameMs, -2);
    EXPECT_EQ(s.currentFrameMs, -2);
    EXPECT_FALSE(s.loop);
    // Not kept while empty: tracks appended later still count.
    timeEvent leaf(70, 0.1f);
    timeEventTrack t(0, 0);
    t.addChild(&leaf);
    s.tracks.push_back(&t);
    EXPECT_EQ(s.getDuration(), 70);
}

TEST(Section, LengthIsTheLongestTrackWhateverTheStart)
{
    timeEvent a(120000, 0.0f), b(90000, 0.0f);
    timeEventTrack ta(0, 0), tb(1, 0);
    ta.addChild(&a);
    tb.addChild(&b);
    timeEventSection s;
    s.tracks = {&tb, &ta};
    for (int t : {-2, 0, 5000}) {
        s.start(t);
        EXPECT_EQ(s.getDuration(), 120000);
    }
}

TEST(Section, StartLaysOutFromTheStartTimeAndSetsAnEmptyWindow)
{
    timeEvent leaf(50, 0.5f);
    timeEventTrack track(0, 12345);
    for (int i = 0; i < 3; ++i)
        track.addChild(&leaf);
    timeEventSection s;
    s.tracks = {&track};
    s.start(-2);
    EXPECT_EQ(track.startMs, -2);
    EXPECT_EQ(entries(leaf), (Entries{{-2, 1}, {48, 2}, {98, 3}}));
    EXPECT_EQ(s.previousFrameMs, -3);
    EXPECT_EQ(s.currentFrameMs, -3);
    // A second start gives the same maps: nothing accumulates.
    s.start(-2);
    EXPECT_EQ(entries(leaf), (Entries{{-2, 1}, {48, 2}, {98, 3}}));
    EXPECT_EQ(entries(track), (Entries{{-2, 1}}));
}

TEST(Section, TrackListedTwiceIsLaidOutTwice)
{
    timeEvent leaf(50, 0.5f);
    timeEventTrack track(0, 0);
    track.addChild(&leaf);
    track.addChild(&leaf);
    timeEventSection s;
    s.tracks = {&track, &track};
    s.start(0);
    EXPECT_EQ(entries(leaf), (Entries{{0, 1}, {0, 3}, {50, 2}, {50, 4}}));
}

} // namespace
