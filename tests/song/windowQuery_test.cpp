// The time-window queries: window ends, offset and lead, number filters.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "song/timeEvent.h"
#include "song/timeEventSection.h"
#include "song/windowQuery.h"

namespace {

OccurrenceIndex indexOf(std::initializer_list<std::pair<int, int>> entries)
{
    OccurrenceIndex index;
    for (const auto& e : entries)
        index.insert(e);
    return index;
}

// A section whose frame window is (previous, current].
struct Windowed : timeEventSection {
    Windowed(int previous, int current)
    {
        previousFrameMs = previous;
        currentFrameMs = current;
    }
};

// The start time of what the query finds, or -1 for nothing.
int found(const OccurrenceIndex& index, int previous, int current, const WindowQuery& q)
{
    const Windowed s(previous, current);
    auto it = findOccurrenceInWindow(s, index, q);
    return it == index.end() ? -1 : it->first;
}

struct WindowCase {
    const char* what;
    std::vector<std::pair<int, int>> entries;
    int previous, current;
    WindowQuery query;
    int expectedStart;
    int expectedNumber;   // 0: nothing found
};

class WindowTable : public ::testing::TestWithParam<WindowCase> {};

TEST_P(WindowTable, FindsTheFirstPassingEntry)
{
    const WindowCase& c = GetParam();
    OccurrenceIndex index(c.entries.begin(), c.entries.end());
    const Windowed s(c.previous, c.current);
    auto it = findOccurrenceInWindow(s, index, c.query);
    if (c.expectedNumber == 0) {
        EXPECT_EQ(it, index.end()) << c.what;
    } else {
        ASSERT_NE(it, index.end()) << c.what;
        EXPECT_EQ(it->first, c.expectedStart) << c.what;
        EXPECT_EQ(it->second, c.expectedNumber) << c.what;
    }
}

const WindowQuery kAny;

INSTANTIATE_TEST_SUITE_P(
    Queries, WindowTable,
    ::testing::Values(
        WindowCase{"lower end excluded", {{1000, 1}}, 1000, 1016, kAny, -1, 0},
        WindowCase{"upper end included", {{1016, 1}}, 1000, 1016, kAny, 1016, 1},
        WindowCase{"beyond the upper end", {{1017, 1}}, 1000, 1016, kAny, -1, 0},
        WindowCase{"look back 150: 850 excluded", {{850, 1}}, 1000, 1016, kAny.offset(-150), -1, 0},
        WindowCase{"look back 150: 866 found", {{850, 1}, {866, 2}}, 1000, 1016, kAny.offset(-150), 866, 2},
        WindowCase{"look ahead 8000", {{9000, 1}, {9016, 2}}, 1000, 1016, kAny.offset(8000), 9016, 2},
        WindowCase{"modulus 4: 3 fails", {{1010, 3}}, 1000, 1016, kAny.every(4, 0), -1, 0},
        WindowCase{"modulus 4: 8 passes", {{1005, 7}, {1010, 8}}, 1000, 1016, kAny.every(4, 0), 1010, 8},
        WindowCase{"modulus 1 filters nothing", {{1010, 3}}, 1000, 1016, kAny.every(1, 1), 1010, 3},
        WindowCase{"modulus 0 filters nothing", {{1010, 3}}, 1000, 1016, kAny.every(0, 5), 1010, 3},
        WindowCase{"negative modulus filters nothing", {{1010, 3}}, 1000, 1016, kAny.every(-3, 2), 1010, 3},
        WindowCase{"later even number found", {{1002, 3}, {1010, 4}}, 1000, 1016, kAny.every(2, 0), 1010, 4},
        WindowCase{"number below the range", {{1010, 1}}, 1000, 1016, kAny.occurrences(2, 2), -1, 0},
        WindowCase{"number above the range", {{1010, 3}}, 1000, 1016, kAny.occurrences(2, 2), -1, 0},
        WindowCase{"equal start times in stored order", {{1010, 5}, {1010, 2}}, 1000, 1016, kAny, 1010, 5},
        WindowCase{"equal start times, filter picks the second", {{1010, 5}, {1010, 2}}, 1000, 1016,
                   kAny.occurrences(0, 3), 1010, 2},
        WindowCase{"window that went backwards", {{990, 1}, {1010, 2}}, 1016, 1000, kAny, -1, 0},
        WindowCase{"empty window after a start", {{-3, 1}, {-2, 2}}, -3, -3, kAny, -1, 0},
        WindowCase{"empty index", {}, 1000, 1016, kAny, -1, 0},
        WindowCase{"lead reaches far back", {{-500000, 1}}, 1000, 1016, kAny.lead(999999), -500000, 1},
        WindowCase{"lead: not yet reached", {{2000, 1}}, 1000, 1016, kAny.lead(999999), -1, 0}));

TEST(WindowQuery, OffsetAndLeadAreNamedNotPositional)
{
    // The same two numbers as offset or as lead ask different questions.
    const OccurrenceIndex index = indexOf({{910, 1}});
    EXPECT_EQ(found(index, 1000, 1016, WindowQuery().offset(-100).lead(0)), 910);
    EXPECT_EQ(found(index, 1000, 1016, WindowQuery().offset(0).lead(-100)), -1);
}

TEST(WindowQuery, LeadTurnsTheFrameTestIntoHasStarted)
{
    // Second occurrence at 5,000: false before it is reached, true in every
    // frame from that one on.
    const OccurrenceIndex index = indexOf({{1000, 1}, {5000, 2}});
    const WindowQuery second = WindowQuery().lead(999999).occurrences(2, 2);
    for (int now = 0; now < 20000; now += 16) {
        const bool expected = now >= 5000;
        EXPECT_EQ(found(index, now - 16, now, second) == 5000, expected) << now;
    }
}

TEST(WindowQuery, ConsecutiveFramesFindEveryOccurrenceOnce)
{
    OccurrenceIndex index;
    for (int i = 0; i < 200; ++i)
        index.insert({-2 + i * 37, i + 1});
    timeEvent holder;
    holder.occurrences = index;
    std::vector<int> seen;
    timeEventSection s;
    s.previousFrameMs = s.currentFrameMs = -3;
    for (int now = 0; now < 8000; now += 13) {   // frames of uneven length
        s.previousFrameMs = s.currentFrameMs;
        s.currentFrameMs = now;
        // Every entry inside, not just the first: walk with the number filter.
        for (int n = 1; n <= 200; ++n)
            if (occurredInWindow(holder, s, WindowQuery().occurrences(n, n)))
                seen.push_back(n);
    }
    ASSERT_EQ(seen.size(), 200u);
    for (int n = 1; n <= 200; ++n)
        EXPECT_EQ(seen[n - 1], n);
}

TEST(WindowQuery, QueriesKeepNoMemory)
{
    timeEvent e;
    e.occurrences = indexOf({{1010, 1}});
    const Windowed s(1000, 1016);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(occurredInWindow(e, s));
        EXPECT_TRUE(groupOccurredInWindow(e.occurrences, s));
    }
    EXPECT_EQ(e.occurrences.size(), 1u);
    destroyOccurrenceIndex(e.occurrences);
    EXPECT_FALSE(occurredInWindow(e, s));
}

TEST(WindowQuery, ExtremeWindowsDoNotOverflow)
{
    const OccurrenceIndex index = indexOf({{-2000000000, 1}, {2000000000, 2}});
    EXPECT_EQ(found(index, -2000000001, 0, WindowQuery().lead(2000000000)), -2000000000);
    EXPECT_EQ(found(index, 1999999990, 2000000000, WindowQuery().offset(2000000000)), -1);
}

} // namespace
