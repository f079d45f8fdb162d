// What a replacement asks of the disk, seen from below: this executable
// stands between the game's code and the C library's fsync and rename,
// noting each call (a synced descriptor by the file it names) before
// passing it on.
#include "platform/regularFile.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// One call: "fsync" with the file synced, or "rename" with both names as
// given.
struct Call {
    std::string name, file, to;
};

std::ostream& operator<<(std::ostream& os, const Call& c) { return os << c.name << ' ' << c.file << ' ' << c.to; }

// The calls seen while a test listens; null otherwise.
std::vector<Call>* calls = nullptr;

std::string fileOf(int fd)
{
    char target[PATH_MAX];
    const ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : "?";
}

template <typename F> F next(const char* name) { return reinterpret_cast<F>(dlsym(RTLD_NEXT, name)); }

} // namespace

extern "C" int fsync(int fd)
{
    static const auto real = next<int (*)(int)>("fsync");
    if (calls)
        calls->push_back({"fsync", fileOf(fd), ""});
    return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept
{
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    if (calls)
        calls->push_back({"rename", from, to});
    return real(from, to);
}

namespace {

std::string realPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? resolved : path;
}

// The file is written and synced under a temporary name, renamed over the
// path, and only then is the folder synced, so that after a power failure
// the folder holds the new file rather than the old one.
TEST(FileSync, TheFolderIsSyncedAfterTheRename)
{
    char pattern[] = "/tmp/tessaline-sync.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = realPath(pattern);
    char here[PATH_MAX];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);

    const struct {
        const char* what;
        std::string path;   // as the caller names it
        bool fromTheFolder; // the caller's current folder is the file's
    } cases[] = {
        {"a path through the folder", dir + "/scores.kes", false},
        {"a bare name in the current folder", "scores.kes", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(dir + "/scores.kes") << "old";
        ASSERT_EQ(chdir(c.fromTheFolder ? dir.c_str() : here), 0);
        std::vector<Call> seen;
        calls = &seen;
        const bool replaced = plat::replaceFile(c.path, "new", 0644);
        calls = nullptr;
        ASSERT_EQ(chdir(here), 0);
        ASSERT_TRUE(replaced);
        const std::string all = testing::PrintToString(seen);

        const auto renamed =
            std::find_if(seen.begin(), seen.end(), [&](const Call& call) { return call.name == "rename" && call.to == c.path; });
        ASSERT_NE(renamed, seen.end()) << all;
        const std::string temporary = dir + "/" + renamed->file.substr(renamed->file.rfind('/') + 1);
        const auto synced = [](const std::string& file) {
            return [file](const Call& call) { return call.name == "fsync" && call.file == file; };
        };
        EXPECT_NE(std::find_if(seen.begin(), renamed, synced(temporary)), renamed)
            << "the new file was not synced before the rename: " << all;
        EXPECT_NE(std::find_if(renamed, seen.end(), synced(dir)), seen.end())
            << "the folder was not synced after the rename: " << all;
    }
    std::remove((dir + "/scores.kes").c_str());
    EXPECT_EQ(rmdir(dir.c_str()), 0) << "something left beside the file";
}

} // namespace
