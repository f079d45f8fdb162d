#include "song/scoreData.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace scoredata {
namespace {

[[noreturn]] void fail(int line, const std::string& what)
{
    std::ostringstream os;
    os << "score data, line " << line << ": " << what;
    throw std::logic_error(os.str());
}

// Far above anything a song needs, far below what nested repeats can ask
// for: a few bytes of text must not be able to demand gigabytes.
constexpr long long MAX_EXPANDED = 1 << 16;

// Fails unless `have` items plus `add` copies of `each` items stay in bounds.
void checkGrowth(int line, std::size_t have, long long add, std::size_t each)
{
    if (static_cast<long long>(have) + add * static_cast<long long>(each) > MAX_EXPANDED)
        fail(line, "a list expands to more than " + std::to_string(MAX_EXPANDED) + " items");
}

// A cursor over one statement.
class Reader {
public:
    Reader(const std::string& s, int lineNo) : text(s), line(lineNo) {}

    void skipSpace()
    {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' || text[pos] == '\r'))
            ++pos;
    }
    bool atEnd()
    {
        skipSpace();
        return pos >= text.size();
    }
    bool accept(const char* word)
    {
        skipSpace();
        const std::string w(word);
        if (text.compare(pos, w.size(), w) == 0) {
            pos += w.size();
            return true;
        }
        return false;
    }
    void expect(const char* word)
    {
        if (!accept(word))
            fail(line, std::string("expected \"") + word + "\" at \"" + rest() + "\"");
    }
    bool peekDigit()
    {
        skipSpace();
        return pos < text.size() && text[pos] >= '0' && text[pos] <= '9';
    }
    int number()
    {
        if (!peekDigit())
            fail(line, "expected a number at \"" + rest() + "\"");
        long v = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            v = v * 10 + (text[pos++] - '0');
            if (v > 100000000)
                fail(line, "number too large");
        }
        return static_cast<int>(v);
    }
    // A plain decimal ("0.55"); the nearest float, as the notation means.
    float decimal()
    {
        skipSpace();
        const std::size_t start = pos;
        while (pos < text.size() && ((text[pos] >= '0' && text[pos] <= '9') || text[pos] == '.'))
            ++pos;
        const std::string digits = text.substr(start, pos - start);
        char* end = nullptr;
        errno = 0;
        const float v = digits.empty() ? 0.0f : std::strtof(digits.c_str(), &end);
        if (digits.empty() || errno != 0 || end != digits.c_str() + digits.size())
            fail(line, "expected a value at \"" + text.substr(start, 40) + "\"");
        return v;
    }
    // "×k" or "x k"; none means once.
    int repeatCount()
    {
        if (accept("\xC3\x97") || accept("x")) {
            const int k = number();
            if (k < 1)
                fail(line, "a repeat count must be at least 1");
            return k;
        }
        return 1;
    }
    std::string rest() const { return text.substr(pos, 40); }

    const std::string& text;
    std::size_t pos = 0;
    int line;
    int depth = 0;   // brackets open around the cursor
};

// Brackets nest a few levels in any song; a deep run of them would only
// exhaust the stack.
constexpr int MAX_NESTING = 16;

// Counts one more open bracket for its lifetime.
struct Nested {
    explicit Nested(Reader& r) : reader(r)
    {
        if (++reader.depth > MAX_NESTING)
            fail(reader.line, "brackets nest deeper than " + std::to_string(MAX_NESTING));
    }
    ~Nested() { --reader.depth; }
    Reader& reader;
};

struct Leaf {
    int durationMs;
    float value;
};

void readLeafList(Reader& r, std::vector<Leaf>& out);

void readLeafItem(Reader& r, std::vector<Leaf>& out)
{
    if (r.accept("[")) {
        Nested nested(r);
        std::vector<Leaf> inner;
        readLeafList(r, inner);
        r.expect("]");
        const int k = r.repeatCount();
        checkGrowth(r.line, out.size(), k, inner.size());
        for (int i = 0; i < k; ++i)
            out.insert(out.end(), inner.begin(), inner.end());
        return;
    }
    Leaf leaf;
    leaf.durationMs = r.number();
    r.expect("/");
    leaf.value = r.decimal();
    const int k = r.repeatCount();
    checkGrowth(r.line, out.size(), k, 1);
    out.insert(out.end(), static_cast<std::size_t>(k), leaf);
}

void readLeafList(Reader& r, std::vector<Leaf>& out)
{
    do {
        readLeafItem(r, out);
    } while (r.accept(","));
}

void readChildList(Reader& r, std::vector<int>& out);

void readChildItem(Reader& r, std::vector<int>& out)
{
    if (r.accept("[")) {
        Nested nested(r);
        std::vector<int> inner;
        readChildList(r, inner);
        r.expect("]");
        const int k = r.repeatCount();
        checkGrowth(r.line, out.size(), k, inner.size());
        for (int i = 0; i < k; ++i)
            out.insert(out.end(), inner.begin(), inner.end());
        return;
    }
    const int a = r.number();
    if (r.accept("..")) {
        const int b = r.number();
        if (b < a)
            fail(r.line, "a child range must ascend");
        checkGrowth(r.line, out.size(), static_cast<long long>(b) - a + 1, 1);
        for (int c = a; c <= b; ++c)
            out.push_back(c);
        if (r.repeatCount() != 1)
            fail(r.line, "repeat a child range inside brackets");
        return;
    }
    const int k = r.repeatCount();
    checkGrowth(r.line, out.size(), k, 1);
    out.insert(out.end(), static_cast<std::size_t>(k), a);
}

void readChildList(Reader& r, std::vector<int>& out)
{
    do {
        readChildItem(r, out);
    } while (r.accept(","));
}

// "(children)" and an optional "— D ms" check; returns the check or -1.
int readChildrenAndCheck(Reader& r, std::vector<int>& children)
{
    r.expect("(");
    readChildList(r, children);
    r.expect(")");
    int check = -1;
    if (r.accept("\xE2\x80\x94") || r.accept("--")) {
        check = r.number();
        r.expect("ms");
    }
    if (!r.atEnd())
        fail(r.line, "unexpected text \"" + r.rest() + "\"");
    return check;
}

// Fails when following children from any composite of the block comes back
// to it: layout and length recurse without a guard.
void checkAcyclic(const Block& block, const std::vector<const Definition*>& byEvent, int line)
{
    const int n = block.lastEvent - block.firstEvent + 1;
    std::vector<int> state(static_cast<std::size_t>(n), 0);   // 0 new, 1 on path, 2 done
    struct Frame {
        int event;
        std::size_t next;
    };
    for (int root = 0; root < n; ++root) {
        if (state[root] != 0)
            continue;
        std::vector<Frame> stack{{root, 0}};
        state[root] = 1;
        while (!stack.empty()) {
            Frame& f = stack.back();
            const Definition* d = byEvent[f.event];
            if (d == nullptr || f.next >= d->children.size()) {
                state[f.event] = 2;
                stack.pop_back();
                continue;
            }
            const int child = d->children[f.next++] - block.firstEvent;
            if (state[child] == 1)
                fail(line, "score event " + std::to_string(child + block.firstEvent) + " contains itself");
            if (state[child] == 0) {
                state[child] = 1;
                stack.push_back({child, 0});
            }
        }
    }
}

void closeBlock(Block& block, bool haveTrack, int line)
{
    if (!haveTrack)
        fail(line, "block of track " + std::to_string(block.trackId) + " has no track statement");
    const int n = block.lastEvent - block.firstEvent + 1;
    std::vector<const Definition*> byEvent(static_cast<std::size_t>(n), nullptr);
    std::vector<bool> undefined(static_cast<std::size_t>(n), false);
    for (const Definition& d : block.definitions)
        byEvent[d.event - block.firstEvent] = &d;
    for (int e : block.undefinedEvents)
        undefined[e - block.firstEvent] = true;
    for (int i = 0; i < n; ++i) {
        if (byEvent[i] == nullptr && !undefined[i])
            fail(line, "score event " + std::to_string(i + block.firstEvent) + " of track "
                           + std::to_string(block.trackId) + " is neither defined nor declared undefined");
    }
    auto checkChild = [&](int c) {
        if (c < block.firstEvent || c > block.lastEvent)
            fail(line, "child " + std::to_string(c) + " lies outside the block of track "
                           + std::to_string(block.trackId));
        if (undefined[c - block.firstEvent])
            fail(line, "child " + std::to_string(c) + " is not defined");
    };
    for (const Definition& d : block.definitions)
        for (int c : d.children)
            checkChild(c);
    for (int c : block.trackChildren)
        checkChild(c);
    checkAcyclic(block, byEvent, line);
}

} // namespace

Score parse(const std::string& text)
{
    Score score;
    Block* block = nullptr;
    bool haveTrack = false;
    std::vector<bool> seen;   // per event of the current block: defined or declared undefined
    int nextFirst = 0;
    int lineNo = 0;
    std::size_t at = 0;

    auto claim = [&](int event, int line) {
        if (block == nullptr)
            fail(line, "a definition before the first block");
        if (haveTrack)
            fail(line, "a definition after the track of its block");
        if (event < block->firstEvent || event > block->lastEvent)
            fail(line, "score event " + std::to_string(event) + " lies outside the block of track "
                           + std::to_string(block->trackId));
        if (seen[event - block->firstEvent])
            fail(line, "score event " + std::to_string(event) + " is defined twice");
        seen[event - block->firstEvent] = true;
    };

    while (at < text.size()) {
        // One statement: a line, joined with the next while it ends in a comma.
        std::string statement;
        const int firstLine = lineNo + 1;
        for (;;) {
            const std::size_t end = text.find('\n', at);
            std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
            at = end == std::string::npos ? text.size() : end + 1;
            ++lineNo;
            const std::size_t last = line.find_last_not_of(" \t\r");
            line = last == std::string::npos ? std::string() : line.substr(0, last + 1);
            statement += line;
            if (line.empty() || line.back() != ',' || at >= text.size())
                break;
            statement += ' ';
        }
        const std::size_t first = statement.find_first_not_of(" \t");
        if (first == std::string::npos || statement[first] == '#')
            continue;

        Reader r(statement, firstLine);
        if (r.accept("block")) {
            if (block != nullptr)
                closeBlock(*block, haveTrack, firstLine);
            Block b;
            b.trackId = r.number();
            r.expect(":");
            b.firstEvent = r.number();
            r.expect("..");
            b.lastEvent = r.number();
            if (!r.atEnd())
                fail(firstLine, "unexpected text \"" + r.rest() + "\"");
            if (b.firstEvent != nextFirst || b.lastEvent < b.firstEvent)
                fail(firstLine, "blocks must follow one another from score event 0");
            checkGrowth(firstLine, 0, static_cast<long long>(b.lastEvent) - b.firstEvent + 1, 1);
            if (!score.blocks.empty() && b.trackId <= score.blocks.back().trackId)
                fail(firstLine, "tracks must come in ascending id order");
            nextFirst = b.lastEvent + 1;
            score.blocks.push_back(b);
            block = &score.blocks.back();
            haveTrack = false;
            seen.assign(static_cast<std::size_t>(b.lastEvent - b.firstEvent + 1), false);
            continue;
        }
        if (r.accept("track")) {
            if (block == nullptr)
                fail(firstLine, "a track before the first block");
            if (haveTrack)
                fail(firstLine, "a block holds one track");
            const int id = r.number();
            if (id != block->trackId)
                fail(firstLine, "track " + std::to_string(id) + " in the block of track "
                                    + std::to_string(block->trackId));
            r.expect("=");
            const int check = readChildrenAndCheck(r, block->trackChildren);
            if (check >= 0)
                score.checks.push_back({-1, id, check});
            haveTrack = true;
            continue;
        }
        const int n = r.number();
        int m = n;
        if (r.accept("..")) {
            m = r.number();
            if (m < n)
                fail(firstLine, "an event range must ascend");
        }
        if (r.accept(":")) {
            if (r.accept("not defined")) {
                if (!r.atEnd())
                    fail(firstLine, "unexpected text \"" + r.rest() + "\"");
                for (int e = n; e <= m; ++e) {
                    claim(e, firstLine);
                    block->undefinedEvents.push_back(e);
                }
                continue;
            }
            std::vector<Leaf> leaves;
            readLeafList(r, leaves);
            if (!r.atEnd())
                fail(firstLine, "unexpected text \"" + r.rest() + "\"");
            if (static_cast<long>(leaves.size()) != static_cast<long>(m) - n + 1)
                fail(firstLine, "events " + std::to_string(n) + ".." + std::to_string(m) + " need "
                                    + std::to_string(m - n + 1) + " leaves, the line gives "
                                    + std::to_string(leaves.size()));
            for (int e = n; e <= m; ++e) {
                claim(e, firstLine);
                Definition d;
                d.event = e;
                d.leaf = true;
                d.durationMs = leaves[static_cast<std::size_t>(e - n)].durationMs;
                d.value = leaves[static_cast<std::size_t>(e - n)].value;
                block->definitions.push_back(d);
            }
            continue;
        }
        if (m != n)
            fail(firstLine, "a composite is one event");
        r.expect("=");
        claim(n, firstLine);
        Definition d;
        d.event = n;
        const int check = readChildrenAndCheck(r, d.children);
        if (check >= 0)
            score.checks.push_back({n, -1, check});
        block->definitions.push_back(std::move(d));
    }
    if (block == nullptr)
        fail(lineNo, "no block");
    closeBlock(*block, haveTrack, lineNo);
    return score;
}

} // namespace scoredata
