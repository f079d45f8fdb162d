#include "song/windowQuery.h"

#include <algorithm>
#include <climits>

#include "song/timeEventSection.h"

namespace {

// Window ends in 64 bits and clamped, so large leads cannot overflow.
int clampToInt(long long v)
{
    return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, v)));
}

bool passes(int n, const WindowQuery& q)
{
    if (n < q.minOccurrence || n > q.maxOccurrence)
        return false;
    // A modulus of 0 or 1 switches the filter off; tested before any %.
    return q.modulus <= 1 || n % q.modulus == q.remainder;
}

} // namespace

OccurrenceIndex::const_iterator findOccurrenceInWindow(const timeEventSection& section,
                                                       const OccurrenceIndex& index,
                                                       const WindowQuery& query)
{
    const long long lower = static_cast<long long>(section.previousFrameMs) + query.offsetMs - query.leadMs;
    const long long upper = static_cast<long long>(section.currentFrameMs) + query.offsetMs;
    if (upper <= lower || upper < INT_MIN)
        return index.end();
    // Entries with start time > lower; a lower end below INT_MIN takes all.
    auto it = lower < INT_MIN ? index.begin() : index.upper_bound(clampToInt(lower));
    for (; it != index.end() && it->first <= upper; ++it) {
        if (passes(it->second, query))
            return it;
    }
    return index.end();
}

bool occurredInWindow(const timeEvent& event, const timeEventSection& section, const WindowQuery& query)
{
    return findOccurrenceInWindow(section, event.occurrences, query) != event.occurrences.end();
}

bool groupOccurredInWindow(const OccurrenceIndex& index, const timeEventSection& section,
                           const WindowQuery& query)
{
    return findOccurrenceInWindow(section, index, query) != index.end();
}

void destroyOccurrenceIndex(OccurrenceIndex& index) { index.clear(); }
