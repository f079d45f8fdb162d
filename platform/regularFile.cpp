#include "platform/regularFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstdio>

namespace plat {

FileKind fileKind(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return FileKind::Missing;
    return S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Other;
}

namespace {

// A descriptor of the regular file at the path, opened with the given access
// flags; -1 with errno set. Non-blocking while it opens, so that a FIFO
// without a writer does not hold the open; the kind is checked on what was
// opened, not on the name. Nothing is ever created or emptied.
int openRegular(const std::string& path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    const int now = ::fcntl(fd, F_GETFL);
    if (now >= 0)
        ::fcntl(fd, F_SETFL, now & ~O_NONBLOCK);
    return fd;
}

} // namespace

int openRegularFile(const std::string& path) { return openRegular(path, O_RDONLY); }

namespace {

// Reads up to limit bytes from fd into out; false on a read error.
bool readUpTo(int fd, std::size_t limit, std::string& out)
{
    char buffer[4096];
    while (out.size() < limit) {
        const std::size_t want = std::min(sizeof buffer, limit - out.size());
        const ssize_t got = ::read(fd, buffer, want);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        out.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

// Reads the regular file open at fd whole, within maxBytes, as
// readWholeRegularFile does; the descriptor stays open.
bool readWhole(int fd, std::size_t maxBytes, std::string& out, unsigned int* mode)
{
    out.clear();
    struct stat st {};
    // One byte past the limit tells a file that fits from one that does not.
    bool ok = ::fstat(fd, &st) == 0 && readUpTo(fd, maxBytes + 1, out);
    int error = errno;
    if (ok && out.size() > maxBytes) {
        ok = false;
        error = EFBIG;
    }
    if (!ok) {
        out.clear();
        errno = error;
        return false;
    }
    if (mode)
        *mode = st.st_mode & 07777;
    return true;
}

} // namespace

bool readWholeRegularFile(const std::string& path, std::size_t maxBytes, std::string& out, unsigned int* mode)
{
    out.clear();
    const int fd = openRegularFile(path);
    if (fd < 0)
        return false;
    const bool ok = readWhole(fd, maxBytes, out, mode);
    const int error = errno;
    ::close(fd);
    errno = error;
    return ok;
}

namespace {

bool writeAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The folder holding the path, as a name that opens it.
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The regular file a replacement takes the place of.
struct OldFile {
    bool present = false;
    unsigned int mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    // What the caller itself may do with it (read 4, write 2, run 1): all
    // it may have on a new file that becomes its own.
    unsigned int callerMay = 0;
    // The access ACL's raw bytes, when it has one.
    bool hasAcl = false;
    std::string acl;
};

// False, with errno set to error.
bool refuse(int error)
{
    errno = error;
    return false;
}

// Whether the file at the path may be replaced; a regular file there is
// described in old (but for its ACL). errno tells why not.
bool mayReplace(const std::string& path, OldFile& old)
{
    const std::string folder = folderOf(path);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        // Nothing there: a new file needs a folder it can be made in.
        return errno == ENOENT && ::access(folder.c_str(), W_OK | X_OK) == 0;
    }
    if (S_ISLNK(st.st_mode))
        return refuse(ELOOP);
    if (S_ISDIR(st.st_mode))
        return refuse(EISDIR);
    if (!S_ISREG(st.st_mode))
        return refuse(EINVAL);
    if ((st.st_mode & 0222) == 0)
        return refuse(EACCES);   // root passes every permission check, not this one
    struct stat in {};
    if (::access(path.c_str(), W_OK) != 0 || ::access(folder.c_str(), W_OK | X_OK) != 0 ||
        ::stat(folder.c_str(), &in) != 0)
        return false;
    // In a sticky folder only the owner of the file or of the folder may
    // rename over the file.
    const uid_t caller = ::geteuid();
    if ((in.st_mode & S_ISVTX) && caller != 0 && caller != st.st_uid && caller != in.st_uid)
        return refuse(EPERM);
    old.present = true;
    old.mode = st.st_mode & 07777;
    old.owner = st.st_uid;
    old.group = st.st_gid;
    old.callerMay = (::access(path.c_str(), R_OK) == 0 ? 4u : 0u) | 2u | (::access(path.c_str(), X_OK) == 0 ? 1u : 0u);
    return true;
}

// The access ACL as the kernel hands it over (linux/posix_acl_xattr.h): a
// little-endian header holding the version, then one entry per tag and id.
const char* const ACCESS_ACL = "system.posix_acl_access";
const unsigned int ACL_VERSION = 2;
const std::size_t ACL_HEADER = 4, ACL_ENTRY = 8;
const unsigned int ACL_USER_OBJ = 0x01, ACL_GROUP_OBJ = 0x04, ACL_OTHER = 0x20;

unsigned int littleEndian(const std::string& bytes, std::size_t at, std::size_t size)
{
    unsigned int value = 0;
    for (std::size_t i = size; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Whether the bytes are an ACL this writer knows how to carry over: the
// version it knows and one owner, group and other entry each.
bool aclReadable(const std::string& acl)
{
    if (acl.size() < ACL_HEADER || (acl.size() - ACL_HEADER) % ACL_ENTRY != 0 ||
        littleEndian(acl, 0, 4) != ACL_VERSION)
        return false;
    int owners = 0, groups = 0, others = 0;
    for (std::size_t at = ACL_HEADER; at < acl.size(); at += ACL_ENTRY) {
        const unsigned int tag = littleEndian(acl, at, 2);
        owners += tag == ACL_USER_OBJ;
        groups += tag == ACL_GROUP_OBJ;
        others += tag == ACL_OTHER;
    }
    return owners == 1 && groups == 1 && others == 1;
}

// The permission of the ACL's one entry with the tag: the owner's, the
// group's or the others'.
unsigned int aclPermission(const std::string& acl, unsigned int tag)
{
    for (std::size_t at = ACL_HEADER; at < acl.size(); at += ACL_ENTRY)
        if (littleEndian(acl, at, 2) == tag)
            return littleEndian(acl, at + 2, 2) & 7;
    return 0;
}

// Takes from the ACL's entry with the tag every permission not in allowed.
void limitAcl(std::string& acl, unsigned int tag, unsigned int allowed)
{
    for (std::size_t at = ACL_HEADER; at < acl.size(); at += ACL_ENTRY)
        if (littleEndian(acl, at, 2) == tag)
            acl[at + 2] = static_cast<char>(static_cast<unsigned char>(acl[at + 2]) & allowed);
}

// Reads the old file's access ACL into old, by the name, never through a
// link; it asks for no permission on the file itself, so a table the caller
// may write but not read gives its ACL too. None at all (ENODATA), or a file
// system without ACLs (ENOTSUP), is no failure; an ACL that cannot be read
// or is not understood is (EINVAL), so that no save drops one unseen.
bool readAcl(const std::string& path, OldFile& old)
{
    for (;;) {
        const ssize_t size = ::lgetxattr(path.c_str(), ACCESS_ACL, nullptr, 0);
        if (size < 0)
            return errno == ENODATA || errno == ENOTSUP;
        old.acl.assign(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::lgetxattr(path.c_str(), ACCESS_ACL, &old.acl[0], old.acl.size());
        if (got >= 0) {
            old.acl.resize(static_cast<std::size_t>(got));
            old.hasAcl = true;
            return aclReadable(old.acl) || refuse(EINVAL);
        }
        // ERANGE: it grew since it was measured.
        if (errno != ERANGE)
            return false;
    }
}

// Gives the new file the old one's owner and group, as far as the caller
// may: a table root saves for the player stays the player's. A plain user
// cannot give a file away but may keep the group of one they belong to;
// where neither is allowed the file simply stays the caller's. Done before
// the mode is set, since a change of owner clears the set-id bits.
void keepOwner(int fd, const OldFile& old)
{
    if (::fchown(fd, old.owner, old.group) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), old.group);
}

// Gives the new file the old one's access: owner and group as far as the
// caller may, then the mode, then the access ACL (setting it sets the
// mode's permission bits from its entries, so it comes last). No one gets
// more than the old file gave them: an owner that could not be kept is the
// caller, with no more than the caller had; a group that could not be kept
// is the caller's, whose members get no more than anyone else had.
bool keepAccess(int fd, const OldFile& old, unsigned int mode)
{
    keepOwner(fd, old);
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    std::string acl = old.acl;
    const unsigned int others = old.hasAcl ? aclPermission(acl, ACL_OTHER) : (mode & 07);
    if (st.st_uid != old.owner) {
        mode = (mode & ~(S_ISUID | 0700u)) | (mode & (old.callerMay << 6));
        limitAcl(acl, ACL_USER_OBJ, old.callerMay);
    }
    if (st.st_gid != old.group) {
        mode = (mode & ~(S_ISGID | 0070u)) | (mode & (others << 3));
        limitAcl(acl, ACL_GROUP_OBJ, others);
    }
    if (!old.hasAcl) {
        // The folder's default ACL may have given the new file one: its
        // named entries would let in people the old file did not. It goes
        // before the mode, so they never have a moment of access.
        if (::fremovexattr(fd, ACCESS_ACL) != 0 && errno != ENODATA && errno != ENOTSUP)
            return false;
        return ::fchmod(fd, mode) == 0;
    }
    // Only the owner's bits until the ACL gives the rest.
    return ::fchmod(fd, mode & ~077u) == 0 && ::fsetxattr(fd, ACCESS_ACL, acl.data(), acl.size(), 0) == 0;
}

// Syncs the folder, so that the rename in it is on the disk. The new file is
// in place either way, so a folder that cannot be synced is no failure of
// the replacement: telling the player it was not saved would be wrong.
void syncFolder(const std::string& path)
{
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// A descriptor of the regular file now at the path, holding an exclusive
// flock on it; -1 with errno set when there is none or another holder keeps
// it longer than waitMs. The descriptor is open for writing: on NFS a flock
// is a byte-range lock, which takes one. It is never made, emptied or
// reached through a link.
int lockRegularFile(const std::string& path, int waitMs)
{
    const int STEP_MS = 5;
    int waited = 0;
    for (;;) {
        const int fd = openRegular(path, O_RDWR | O_NOFOLLOW);
        if (fd < 0)
            return -1;
        int locked = 0;
        while ((locked = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EWOULDBLOCK && waited < waitMs) {
            const timespec step{0, STEP_MS * 1000000L};
            ::nanosleep(&step, nullptr);
            waited += STEP_MS;
        }
        if (locked != 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return -1;
        }
        // The holder before us may have renamed a new file over the path:
        // the lock is then on a file nobody reads any more.
        struct stat held {}, now {};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &now) == 0 && held.st_dev == now.st_dev &&
            held.st_ino == now.st_ino)
            return fd;
        ::close(fd);
        if (waited >= waitMs) {
            errno = EWOULDBLOCK;
            return -1;
        }
    }
}

} // namespace

bool mayReplaceFile(const std::string& path)
{
    OldFile old;
    return mayReplace(path, old);
}

bool replaceFile(const std::string& path, const std::string& text, unsigned int mode)
{
    OldFile old;
    if (!mayReplace(path, old) || (old.present && !readAcl(path, old)))
        return false;
    if (old.present)
        mode = old.mode;
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return false;
    int error = 0;
    const bool given = old.present ? keepAccess(fd, old, mode) : ::fchmod(fd, mode) == 0;
    if (!given || !writeAll(fd, text) || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && std::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.c_str());
        errno = error;
        return false;
    }
    syncFolder(path);
    return true;
}

bool updateFile(const std::string& path, std::size_t maxBytes, const std::function<bool(std::string& text)>& change,
                int waitMs)
{
    // The lock's descriptor is open for writing, which a read-only table
    // does not allow: what the replacement would refuse is refused first,
    // for the same reason.
    if (!mayReplaceFile(path))
        return false;
    const int fd = lockRegularFile(path, waitMs);
    if (fd < 0)
        return false;
    std::string text;
    unsigned int mode = 0;
    const bool ok = readWhole(fd, maxBytes, text, &mode) && change(text) && replaceFile(path, text, mode);
    const int error = errno;
    // Let go only now, with the new file in place for the next holder.
    ::close(fd);
    errno = error;
    return ok;
}

std::string executableFolder()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    std::string exe(path, static_cast<std::size_t>(n));
    const std::size_t slash = exe.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

} // namespace plat
