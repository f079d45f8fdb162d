#include "platform/regularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
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

} // namespace

bool readRegularFile(const std::string& path, std::size_t maxBytes, std::string& out)
{
    out.clear();
    const int fd = openRegularFile(path);
    if (fd < 0)
        return false;
    const bool ok = readUpTo(fd, maxBytes, out);
    ::close(fd);
    if (!ok)
        out.clear();
    return ok;
}

bool readWholeRegularFile(const std::string& path, std::size_t maxBytes, std::string& out, unsigned int* mode)
{
    out.clear();
    const int fd = openRegularFile(path);
    if (fd < 0)
        return false;
    struct stat st {};
    // One byte past the limit tells a file that fits from one that does not.
    bool ok = ::fstat(fd, &st) == 0 && readUpTo(fd, maxBytes + 1, out);
    int error = errno;
    if (ok && out.size() > maxBytes) {
        ok = false;
        error = EFBIG;
    }
    ::close(fd);
    if (!ok) {
        out.clear();
        errno = error;
        return false;
    }
    if (mode)
        *mode = st.st_mode & 07777;
    return true;
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

// Whether the file at the path may be replaced; a regular file there gives
// its permission bits to mode. errno tells why not.
bool mayReplace(const std::string& path, unsigned int& mode)
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
        mode = st.st_mode & 07777;
        return true;
    }
    return false;
}

} // namespace

bool replaceFile(const std::string& path, const std::string& text, unsigned int mode)
{
    if (!mayReplace(path, mode))
        return false;
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return false;
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
    return true;
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
