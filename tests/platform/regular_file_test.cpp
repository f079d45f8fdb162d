#include "platform/regularFile.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

class RegularFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tessaline-files.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        std::ofstream(dir + "/file") << "0123456789";
        ASSERT_EQ(mkdir((dir + "/dir").c_str(), 0755), 0);
        ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0644), 0);
        ASSERT_EQ(symlink("/dev/zero", (dir + "/zero").c_str()), 0);
        ASSERT_EQ(symlink("file", (dir + "/link").c_str()), 0);
    }
    void TearDown() override
    {
        for (const char* n : {"file", "fifo", "zero", "link"})
            unlink((dir + "/" + n).c_str());
        rmdir((dir + "/dir").c_str());
        rmdir(dir.c_str());
    }
    int entries() const
    {
        int n = 0;
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d))
                n += e->d_name[0] != '.';
            closedir(d);
        }
        return n;
    }
    std::string dir;
};

TEST_F(RegularFile, OnlyRegularFilesAndLinksToThemAreTaken)
{
    struct {
        const char* name;
        plat::FileKind kind;
        int error;
    } cases[] = {
        {"file", plat::FileKind::Regular, 0},     {"link", plat::FileKind::Regular, 0},
        {"missing", plat::FileKind::Missing, ENOENT}, {"dir", plat::FileKind::Other, EINVAL},
        {"fifo", plat::FileKind::Other, EINVAL},  {"zero", plat::FileKind::Other, EINVAL},
    };
    for (const auto& c : cases) {
        const std::string path = dir + "/" + c.name;
        EXPECT_EQ(plat::fileKind(path), c.kind) << c.name;
        errno = 0;
        // A FIFO without a writer must not hold the open.
        const int fd = plat::openRegularFile(path);
        if (c.error == 0) {
            EXPECT_GE(fd, 0) << c.name;
            close(fd);
        } else {
            EXPECT_EQ(fd, -1) << c.name;
            EXPECT_EQ(errno, c.error) << c.name;
        }
        std::string text = "old";
        EXPECT_EQ(plat::readWholeRegularFile(path, 100, text), c.error == 0) << c.name;
        EXPECT_EQ(text, c.error == 0 ? "0123456789" : "") << c.name;
    }
}

TEST_F(RegularFile, ReadsTheWholeFileOrRefusesIt)
{
    std::string text;
    ASSERT_EQ(chmod((dir + "/file").c_str(), 0604), 0);
    const struct {
        const char* name;
        std::size_t limit;
        int error;
    } cases[] = {
        {"file", 10, 0}, {"file", 9, EFBIG}, {"link", 100, 0}, {"zero", 100, EINVAL},
        {"fifo", 100, EINVAL}, {"dir", 100, EINVAL}, {"missing", 100, ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " within " + std::to_string(c.limit));
        text = "old";
        unsigned mode = 0;
        errno = 0;
        EXPECT_EQ(plat::readWholeRegularFile(dir + "/" + c.name, c.limit, text, &mode), c.error == 0);
        EXPECT_EQ(text, c.error == 0 ? "0123456789" : "");
        if (c.error == 0)
            EXPECT_EQ(mode, 0604u);
        else
            EXPECT_EQ(errno, c.error);
    }
}

// What stands at the path decides whether it is replaced; nothing is ever
// written through a link or left beside the path.
TEST_F(RegularFile, ReplacesOnlyAWritableRegularFileOrNothing)
{
    const struct {
        const char* name;
        unsigned fileMode; // of the regular file "file", the links' target
        int error;
        unsigned modeAfter;
    } cases[] = {
        {"file", 0640, 0, 0640},      {"file", 0600, 0, 0600},   {"missing", 0644, 0, 0604},
        {"file", 0444, EACCES, 0444}, {"file", 0, EACCES, 0},    {"link", 0644, ELOOP, 0},
        {"dir", 0644, EISDIR, 0},     {"fifo", 0644, EINVAL, 0}, {"zero", 0644, ELOOP, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.fileMode));
        const std::string path = dir + "/" + c.name;
        std::ofstream(dir + "/file") << "0123456789";
        ASSERT_EQ(chmod((dir + "/file").c_str(), c.fileMode), 0);
        struct stat before {};
        lstat(path.c_str(), &before);
        errno = 0;
        EXPECT_EQ(plat::replaceFile(path, "new", 0604), c.error == 0);
        struct stat after {};
        ASSERT_EQ(lstat(path.c_str(), &after), 0);
        std::string text;
        if (c.error == 0) {
            EXPECT_TRUE(S_ISREG(after.st_mode));
            EXPECT_EQ(after.st_mode & 07777, c.modeAfter);
            ASSERT_TRUE(plat::readWholeRegularFile(path, 100, text));
            EXPECT_EQ(text, "new");
        } else {
            EXPECT_EQ(errno, c.error);
            EXPECT_EQ(after.st_mode, before.st_mode);
            EXPECT_EQ(after.st_ino, before.st_ino);
            ASSERT_TRUE(plat::readWholeRegularFile(dir + "/file", 100, text));
            EXPECT_EQ(text, "0123456789");
        }
        unlink((dir + "/missing").c_str());
        EXPECT_EQ(entries(), 5) << "something left beside the path";
    }
}

// A replacement keeps the old file's owner and group as far as the saver
// may give them: root always; a plain user keeps the group of one they
// belong to, and otherwise the new file is simply theirs. The mode is kept
// in every case.
TEST_F(RegularFile, AReplacementKeepsTheOwnerAndGroupWhereTheSaverMay)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can lay out files of other users and save as one";
    ASSERT_EQ(chmod(dir.c_str(), 0777), 0);
    const uid_t ROOT = 0, PLAYER = 65534, OTHER = 1;
    const gid_t PLAYERS = 65534, SHARED = 100;
    const struct {
        const char* what;
        uid_t saver;
        std::vector<gid_t> groups; // the saver's
        uid_t owner;
        gid_t group;
        unsigned mode;
        uid_t ownerAfter;
        gid_t groupAfter;
    } cases[] = {
        {"root saves the player's table", ROOT, {0}, PLAYER, PLAYERS, 0600, PLAYER, PLAYERS},
        {"root saves a table of one user and another group", ROOT, {0}, OTHER, SHARED, 0640, OTHER, SHARED},
        {"a member of the table's group saves it", PLAYER, {PLAYERS, SHARED}, OTHER, SHARED, 0664, PLAYER, SHARED},
        {"a stranger to the table's group saves it", PLAYER, {PLAYERS}, OTHER, SHARED, 0666, PLAYER, PLAYERS},
        {"the owner saves it in a group of theirs", PLAYER, {PLAYERS, SHARED}, PLAYER, SHARED, 0640, PLAYER, SHARED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir + "/file";
        std::ofstream(path) << "0123456789";
        ASSERT_EQ(chown(path.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(chmod(path.c_str(), c.mode), 0);
        const pid_t saver = fork();
        if (saver == 0) {
            const bool as = setgroups(c.groups.size(), c.groups.data()) == 0 && setgid(c.groups[0]) == 0 &&
                            setuid(c.saver) == 0;
            _exit(as ? (plat::replaceFile(path, "new", 0644) ? 0 : 1) : 2);
        }
        int status = -1;
        ASSERT_EQ(waitpid(saver, &status, 0), saver);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_NE(WEXITSTATUS(status), 2) << "cannot become the saver";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "not saved";
        struct stat after {};
        ASSERT_EQ(lstat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_uid, c.ownerAfter);
        EXPECT_EQ(after.st_gid, c.groupAfter);
        EXPECT_EQ(after.st_mode & 07777, c.mode);
        std::string text;
        ASSERT_TRUE(plat::readWholeRegularFile(path, 100, text));
        EXPECT_EQ(text, "new");
        EXPECT_EQ(entries(), 5) << "something left beside the path";
    }
}

} // namespace
