#include "platform/regularFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// Exit statuses of a child that runs as another user.
const int CANNOT_BECOME = 255, DISAGREE = 254;

// Runs what in a child process as the user with the groups (the first its
// own) and gives its exit status: what what returned, CANNOT_BECOME when
// the child could not become that user, -1 when it did not end normally.
int runAs(uid_t uid, const std::vector<gid_t>& groups, const std::function<int()>& what)
{
    const pid_t child = fork();
    if (child == 0) {
        const bool as = setgroups(groups.size(), groups.data()) == 0 &&
                        setresgid(groups[0], groups[0], groups[0]) == 0 && setresuid(uid, uid, uid) == 0;
        _exit(as ? what() : CANNOT_BECOME);
    }
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

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
        const bool may = plat::mayReplaceFile(path);
        const int whyNot = errno;
        EXPECT_EQ(may, c.error == 0);
        EXPECT_EQ(may ? 0 : whyNot, c.error);
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
// belong to, and otherwise the new file is simply theirs, its owner with no
// more rights than the saver had and its group with no more than others
// had. Where the saver may not rename over the table (a folder they may not
// write, a sticky folder where they own neither it nor the table) nothing
// is written, and the writer's own test said so beforehand.
TEST_F(RegularFile, AReplacementKeepsTheOwnerAndGroupWhereTheSaverMay)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can lay out files of other users and save as one";
    const uid_t ROOT = 0, PLAYER = 65534, OTHER = 1;
    const gid_t PLAYERS = 65534, SHARED = 100;
    const struct {
        const char* what;
        uid_t saver;
        std::vector<gid_t> groups; // the saver's
        unsigned folderMode;
        uid_t owner;
        gid_t group;
        unsigned mode;
        int error; // 0: saved
        uid_t ownerAfter;
        gid_t groupAfter;
        unsigned modeAfter;
    } cases[] = {
        {"root saves the player's table", ROOT, {0}, 0777, PLAYER, PLAYERS, 0600, 0, PLAYER, PLAYERS, 0600},
        {"root saves a table of one user and another group", ROOT, {0}, 0777, OTHER, SHARED, 0640, 0, OTHER, SHARED,
         0640},
        {"root saves a world-writable table in a sticky folder", ROOT, {0}, 01777, OTHER, SHARED, 0666, 0, OTHER,
         SHARED, 0666},
        {"a member of the table's group saves it", PLAYER, {PLAYERS, SHARED}, 0777, OTHER, SHARED, 0664, 0, PLAYER,
         SHARED, 0664},
        {"a stranger to the table's group saves it", PLAYER, {PLAYERS}, 0777, OTHER, SHARED, 0666, 0, PLAYER, PLAYERS,
         0666},
        {"the owner saves it in a group of theirs", PLAYER, {PLAYERS, SHARED}, 0777, PLAYER, SHARED, 0640, 0, PLAYER,
         SHARED, 0640},
        {"a stranger saves a table its group may run: their own group may only what others may", PLAYER, {PLAYERS},
         0777, OTHER, SHARED, 0676, 0, PLAYER, PLAYERS, 0666},
        {"a stranger saves a table its owner may run: they may only what they could", PLAYER, {PLAYERS}, 0777, OTHER,
         SHARED, 0766, 0, PLAYER, PLAYERS, 0666},
        {"the owner saves it in a sticky folder", PLAYER, {PLAYERS}, 01777, PLAYER, PLAYERS, 0644, 0, PLAYER, PLAYERS,
         0644},
        {"a stranger saves a world-writable table in a sticky folder", PLAYER, {PLAYERS}, 01777, OTHER, SHARED, 0666,
         EPERM, OTHER, SHARED, 0666},
        {"a stranger saves a world-writable table in a folder they may not write", PLAYER, {PLAYERS}, 0755, OTHER,
         SHARED, 0666, EACCES, OTHER, SHARED, 0666},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(chmod(dir.c_str(), c.folderMode), 0);
        const std::string path = dir + "/file";
        std::ofstream(path) << "0123456789";
        ASSERT_EQ(chown(path.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(chmod(path.c_str(), c.mode), 0);
        const int status = runAs(c.saver, c.groups, [&] {
            const bool may = plat::mayReplaceFile(path);
            const int whyNot = errno;
            const bool saved = plat::replaceFile(path, "new", 0644);
            const int why = errno;
            if (may != saved || (!saved && why != whyNot))
                return DISAGREE;
            return saved ? 0 : why;
        });
        ASSERT_NE(status, CANNOT_BECOME) << "cannot become the saver";
        ASSERT_NE(status, DISAGREE) << "the test beforehand and the save disagree";
        EXPECT_EQ(status, c.error);
        struct stat after {};
        ASSERT_EQ(lstat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_uid, c.ownerAfter);
        EXPECT_EQ(after.st_gid, c.groupAfter);
        EXPECT_EQ(after.st_mode & 07777, c.modeAfter);
        std::string text;
        ASSERT_TRUE(plat::readWholeRegularFile(path, 100, text));
        EXPECT_EQ(text, c.error == 0 ? "new" : "0123456789");
        EXPECT_EQ(entries(), 5) << "something left beside the path";
    }
}

// The bytes of an access or default ACL as the kernel hands them over.
const char* const ACCESS_ACL = "system.posix_acl_access";
const char* const DEFAULT_ACL = "system.posix_acl_default";
const unsigned USER_OBJ = 0x01, USER = 0x02, GROUP_OBJ = 0x04, MASK = 0x10, OTHER_ENTRY = 0x20;
const unsigned NO_ID = 0xFFFFFFFF;

struct AclEntry {
    unsigned tag, perm, id;
};

std::string acl(std::initializer_list<AclEntry> entries)
{
    std::string bytes;
    const auto put = [&](unsigned value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    };
    put(2, 4);
    for (const AclEntry& e : entries) {
        put(e.tag, 2);
        put(e.perm, 2);
        put(e.id, 4);
    }
    return bytes;
}

// The file's access ACL; empty when it has none.
std::string accessAcl(const std::string& path)
{
    std::string bytes(4096, '\0');
    const ssize_t n = getxattr(path.c_str(), ACCESS_ACL, &bytes[0], bytes.size());
    bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return bytes;
}

// A save carries the table's access ACL over byte for byte, and a folder's
// default ACL never adds to what the old table gave: whoever may not reach
// the table before the save may not after it. Where the saver is a plain
// user who cannot keep the table's group, the group's entry goes down to
// what others may.
TEST_F(RegularFile, AReplacementKeepsTheAccessAclAndGivesNoOneMore)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can lay out files of other users and save as one";
    const uid_t ROOT = 0, PLAYER = 65534, OTHER = 1, NAMED = 1236, MEMBER = 2;
    const gid_t PLAYERS = 65534, SHARED = 100, NO_GROUP = 1;
    const std::string path = dir + "/file";
    const std::string NAMED_WRITES = acl({{USER_OBJ, 6, NO_ID}, {USER, 6, NAMED}, {GROUP_OBJ, 4, NO_ID},
                                          {MASK, 6, NO_ID}, {OTHER_ENTRY, 0, NO_ID}});
    if (setxattr(path.c_str(), ACCESS_ACL, NAMED_WRITES.data(), NAMED_WRITES.size(), 0) != 0 && errno == ENOTSUP)
        GTEST_SKIP() << "the file system here keeps no ACLs";
    // The player writes through an entry of their own; the table's group reads.
    const std::string PLAYER_WRITES = acl({{USER_OBJ, 6, NO_ID}, {USER, 6, PLAYER}, {GROUP_OBJ, 4, NO_ID},
                                           {MASK, 6, NO_ID}, {OTHER_ENTRY, 0, NO_ID}});
    const std::string PLAYER_WRITES_AS_OWNER = acl({{USER_OBJ, 6, NO_ID}, {USER, 6, PLAYER}, {GROUP_OBJ, 0, NO_ID},
                                                    {MASK, 6, NO_ID}, {OTHER_ENTRY, 0, NO_ID}});
    const std::string NAMED_BY_DEFAULT = acl({{USER_OBJ, 7, NO_ID}, {USER, 7, NAMED}, {GROUP_OBJ, 5, NO_ID},
                                              {MASK, 7, NO_ID}, {OTHER_ENTRY, 5, NO_ID}});
    // The player may write the table but not read it.
    const std::string PLAYER_ONLY_WRITES = acl({{USER_OBJ, 6, NO_ID}, {USER, 2, PLAYER}, {GROUP_OBJ, 4, NO_ID},
                                                {MASK, 6, NO_ID}, {OTHER_ENTRY, 0, NO_ID}});
    const std::string PLAYER_ONLY_WRITES_AS_OWNER = acl({{USER_OBJ, 2, NO_ID}, {USER, 2, PLAYER},
                                                         {GROUP_OBJ, 0, NO_ID}, {MASK, 6, NO_ID},
                                                         {OTHER_ENTRY, 0, NO_ID}});
    struct Who {
        uid_t uid;
        gid_t group;
        int access; // R_OK or W_OK
        bool may;
    };
    ASSERT_EQ(chmod(dir.c_str(), 0777), 0);
    const struct {
        const char* what;
        uid_t saver;
        std::vector<gid_t> groups; // the saver's
        uid_t owner;
        gid_t group;
        unsigned mode;
        std::string acl;           // the table's; empty: none
        std::string folderDefault; // the folder's default ACL; empty: none
        uid_t ownerAfter;
        gid_t groupAfter;
        std::string aclAfter;
        unsigned modeAfter;
        std::vector<Who> after; // who may what after the save
    } cases[] = {
        {"root saves a table a named user may write", ROOT, {0}, PLAYER, SHARED, 0640, NAMED_WRITES, "", PLAYER,
         SHARED, NAMED_WRITES, 0660, {{NAMED, NO_GROUP, W_OK, true}, {MEMBER, SHARED, W_OK, false}}},
        {"root saves it in a folder with a default ACL", ROOT, {0}, PLAYER, SHARED, 0640, NAMED_WRITES,
         NAMED_BY_DEFAULT, PLAYER, SHARED, NAMED_WRITES, 0660,
         {{NAMED, NO_GROUP, W_OK, true}, {MEMBER, SHARED, W_OK, false}}},
        {"root saves a table without an ACL in a folder whose default ACL names a user", ROOT, {0}, PLAYER, SHARED,
         0600, "", NAMED_BY_DEFAULT, PLAYER, SHARED, "", 0600,
         {{NAMED, NO_GROUP, R_OK, false}, {MEMBER, SHARED, R_OK, false}}},
        {"a member of its group saves a table without an ACL there", PLAYER, {PLAYERS, SHARED}, OTHER, SHARED, 0660,
         "", NAMED_BY_DEFAULT, PLAYER, SHARED, "", 0660, {{NAMED, NO_GROUP, R_OK, false}}},
        {"a stranger to its group saves a table with an ACL: their own group may only what others may", PLAYER,
         {PLAYERS}, OTHER, SHARED, 0640, PLAYER_WRITES, "", PLAYER, PLAYERS, PLAYER_WRITES_AS_OWNER, 0660,
         {{MEMBER, PLAYERS, R_OK, false}, {PLAYER, PLAYERS, W_OK, true}}},
        {"a stranger saves a table whose ACL lets them write but not read: they still may not read", PLAYER,
         {PLAYERS}, OTHER, SHARED, 0640, PLAYER_ONLY_WRITES, "", PLAYER, PLAYERS, PLAYER_ONLY_WRITES_AS_OWNER, 0260,
         {{PLAYER, PLAYERS, R_OK, false}, {PLAYER, PLAYERS, W_OK, true}, {MEMBER, SHARED, R_OK, false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        unlink(path.c_str());
        std::ofstream(path) << "0123456789";
        ASSERT_EQ(chown(path.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(chmod(path.c_str(), c.mode), 0);
        if (!c.acl.empty()) {
            ASSERT_EQ(setxattr(path.c_str(), ACCESS_ACL, c.acl.data(), c.acl.size(), 0), 0);
        }
        if (!c.folderDefault.empty()) {
            ASSERT_EQ(setxattr(dir.c_str(), DEFAULT_ACL, c.folderDefault.data(), c.folderDefault.size(), 0), 0);
        }
        const int status = runAs(c.saver, c.groups, [&] { return plat::replaceFile(path, "new", 0644) ? 0 : errno; });
        removexattr(dir.c_str(), DEFAULT_ACL);
        ASSERT_NE(status, CANNOT_BECOME) << "cannot become the saver";
        EXPECT_EQ(status, 0) << "not saved";
        struct stat after {};
        ASSERT_EQ(lstat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_uid, c.ownerAfter);
        EXPECT_EQ(after.st_gid, c.groupAfter);
        EXPECT_EQ(after.st_mode & 07777, c.modeAfter);
        EXPECT_EQ(accessAcl(path), c.aclAfter);
        for (const Who& who : c.after)
            EXPECT_EQ(runAs(who.uid, {who.group}, [&] { return access(path.c_str(), who.access) == 0 ? 0 : 1; }),
                      who.may ? 0 : 1)
                << "user " << who.uid << " of group " << who.group << (who.access == W_OK ? " writing" : " reading");
        std::string text;
        ASSERT_TRUE(plat::readWholeRegularFile(path, 100, text));
        EXPECT_EQ(text, "new");
        EXPECT_EQ(entries(), 5) << "something left beside the path";
    }
}

// Whether a descriptor of this process on the file at the path is open for
// writing, as a byte-range lock (what flock is on NFS) needs it to be.
bool lockableForWriting(const std::string& path)
{
    struct stat file {};
    if (stat(path.c_str(), &file) != 0)
        return false;
    bool found = false;
    DIR* fds = opendir("/proc/self/fd");
    while (dirent* e = fds ? readdir(fds) : nullptr) {
        const int fd = std::atoi(e->d_name);
        struct stat st {};
        if (e->d_name[0] == '.' || fstat(fd, &st) != 0 || st.st_dev != file.st_dev || st.st_ino != file.st_ino)
            continue;
        struct flock range {};
        range.l_type = F_WRLCK;
        range.l_whence = SEEK_SET;
        if (fcntl(fd, F_SETLK, &range) == 0) {
            range.l_type = F_UNLCK;
            fcntl(fd, F_SETLK, &range);
            found = true;
        }
    }
    if (fds)
        closedir(fds);
    return found;
}

// The update locks the file through a descriptor open for writing. What it
// cannot write is refused before the lock is tried - here another holder
// keeps it, so trying would end in EWOULDBLOCK - for the reason a
// replacement gives, and change never sees the text.
TEST_F(RegularFile, AnUpdateLocksThroughAWritableDescriptorAndRefusesFirstWhatItMayNotWrite)
{
    const struct {
        const char* name;
        unsigned fileMode; // of the regular file "file", the links' target
        int error;
    } cases[] = {
        {"file", 0644, 0},        {"file", 0600, 0},       {"file", 0444, EACCES}, {"file", 0, EACCES},
        {"link", 0644, ELOOP},    {"zero", 0644, ELOOP},   {"dir", 0644, EISDIR},  {"fifo", 0644, EINVAL},
        {"missing", 0644, ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.fileMode));
        const std::string file = dir + "/file";
        std::ofstream(file) << "0123456789";
        const int held = open(file.c_str(), O_RDONLY);
        ASSERT_GE(held, 0);
        if (c.error != 0) {
            ASSERT_EQ(flock(held, LOCK_EX), 0);
        }
        ASSERT_EQ(chmod(file.c_str(), c.fileMode), 0);
        bool changed = false, lockable = false;
        errno = 0;
        const bool updated = plat::updateFile(
            dir + "/" + c.name, 100,
            [&](std::string& text) {
                changed = true;
                lockable = lockableForWriting(file);
                text = "new";
                return true;
            },
            0);
        const int error = errno;
        close(held);
        ASSERT_EQ(chmod(file.c_str(), 0644), 0);
        EXPECT_EQ(updated, c.error == 0);
        EXPECT_EQ(changed, c.error == 0);
        std::string text;
        ASSERT_TRUE(plat::readWholeRegularFile(file, 100, text));
        if (c.error == 0) {
            EXPECT_TRUE(lockable) << "no descriptor on the file open for writing while it was locked";
            EXPECT_EQ(text, "new");
        } else {
            EXPECT_EQ(error, c.error);
            EXPECT_EQ(text, "0123456789");
        }
        EXPECT_EQ(entries(), 5) << "something made or left beside the path";
    }
}

} // namespace
