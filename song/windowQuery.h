#pragma once
// Whether an occurrence of an event, or of a group of events, starts in the
// section's frame window: (previousFrameMs + offsetMs - leadMs,
// currentFrameMs + offsetMs], with its occurrence number n passing
// minOccurrence <= n <= maxOccurrence and, for a modulus of 2 or more,
// n % modulus == remainder. Queries read only; they keep no state.
//
// The filter is passed as a WindowQuery built by named steps, so an offset
// can never be passed as a lead (or the reverse) by position:
//
//   occurredInWindow(ev, *section, WindowQuery().offset(-150));
//   groupOccurredInWindow(group.index, *section,
//       WindowQuery().every(4, 1).offset(delay).lead(999999).occurrences(2, 2));
#include "song/timeEvent.h"

class timeEventSection;

class WindowQuery {
public:
    // Every occurrence in the frame itself: modulus 0, remainder 0, offset 0,
    // lead 0, occurrence numbers 0 to 999,999.
    constexpr WindowQuery() {}

    // Only numbers n with n % modulus == remainder; 0 or 1 filters nothing.
    constexpr WindowQuery every(int modulusValue, int remainderValue) const
    {
        WindowQuery q = *this;
        q.modulus = modulusValue;
        q.remainder = remainderValue;
        return q;
    }
    // Shifts both ends: positive looks ahead, negative looks back.
    constexpr WindowQuery offset(int ms) const
    {
        WindowQuery q = *this;
        q.offsetMs = ms;
        return q;
    }
    // Moves only the lower end further back (999,999: "has started by now").
    constexpr WindowQuery lead(int ms) const
    {
        WindowQuery q = *this;
        q.leadMs = ms;
        return q;
    }
    // Accepts occurrence numbers minOccurrence..maxOccurrence (inclusive).
    constexpr WindowQuery occurrences(int minimum, int maximum) const
    {
        WindowQuery q = *this;
        q.minOccurrence = minimum;
        q.maxOccurrence = maximum;
        return q;
    }

    int modulus = 0;
    int remainder = 0;
    int offsetMs = 0;
    int leadMs = 0;
    int minOccurrence = 0;
    int maxOccurrence = 999999;
};

// The first accepted entry of index in the shifted window (in start-time
// order, equal times in stored order), or index.end().
OccurrenceIndex::const_iterator findOccurrenceInWindow(const timeEventSection& section,
                                                       const OccurrenceIndex& index,
                                                       const WindowQuery& query);

// The query on an event's own occurrences.
bool occurredInWindow(const timeEvent& event, const timeEventSection& section,
                      const WindowQuery& query = WindowQuery());

// The query on a group's merged start-time index.
bool groupOccurredInWindow(const OccurrenceIndex& index, const timeEventSection& section,
                           const WindowQuery& query = WindowQuery());

// Releases every entry of index.
void destroyOccurrenceIndex(OccurrenceIndex& index);
