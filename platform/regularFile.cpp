#include "platform/regularFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

int openRegularFile(const std::string& path)
{
    // Non-blocking, so that a FIFO without a writer does not hold the open;
    // the kind is checked on what was opened, not on the name.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

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

// The regular file a replacement takes the place of.
struct OldFile {
    bool present = false;
    unsigned int mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

// Whether the file at the path may be replaced; a regular file there is
// described in old. errno tells why not.
bool mayReplace(const std::string& path, OldFile& old)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT;
    if (S_ISLNK(st.st_mode))
        errno = ELOOP;
    else if (S_ISDIR(st.st_mode))
        errno = EISDIR;
    else if (!S_ISREG(st.st_mode))
        errno = EINVAL;
    else if ((st.st_mode & 0222) == 0)
        errno = EACCES;   // root passes every permission check, not this one
    else if (::access(path.c_str(), W_OK) == 0) {
        old.present = true;
        old.mode = st.st_mode & 07777;
        old.owner = st.st_uid;
        old.group = st.st_gid;
        return true;
    }
    return false;
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

// The folder holding the path, as a name that opens it.
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
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
// it longer than waitMs.
int lockRegularFile(const std::string& path, int waitMs)
{
    const int STEP_MS = 5;
    int waited = 0;
    for (;;) {
        const int fd = openRegularFile(path);
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

bool replaceFile(const std::string& path, const std::string& text, unsigned int mode)
{
    OldFile old;
    if (!mayReplace(path, old))
        return false;
    if (old.present)
        mode = old.mode;
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return false;
    if (old.present)
        keepOwner(fd, old);
    int error = 0;
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, text) || ::fsync(fd) != 0)
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
