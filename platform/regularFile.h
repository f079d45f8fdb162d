#pragma once
// Opening the files the game reads, and replacing the few it writes. Only a regular file (or a link to one)
// is taken: a directory, FIFO or device in its place is refused at once, as
// if the file were missing, so nothing blocks on a pipe or reads forever
// from a device.
#include <cstddef>
#include <functional>
#include <string>

namespace plat {

enum class FileKind { Missing, Regular, Other };

// What is at the path, following links.
FileKind fileKind(const std::string& path);

// A read-only descriptor of the regular file at the path, or -1 with errno
// set (ENOENT when missing, EINVAL when something else stands there). The
// open never blocks, even on a FIFO. The caller closes the descriptor.
int openRegularFile(const std::string& path);

// Reads the regular file at the path into out whole, or not at all: false
// (out empty, errno set) when it cannot be opened or read, and when it holds
// more than maxBytes (EFBIG), so a file too big is refused rather than cut.
// mode, when given, receives the file's permission bits.
bool readWholeRegularFile(const std::string& path, std::size_t maxBytes, std::string& out,
                          unsigned int* mode = nullptr);

// Whether replaceFile would take the path, asked before anything is
// written (the end screen asks it before it asks for a name), by the very
// test replaceFile itself makes first. Nothing there is taken when the
// folder lets the caller make a file in it. A regular file is taken when
// the caller may write it and rename over it: refused are a symbolic link
// (ELOOP), a directory (EISDIR), anything else but a regular file (EINVAL),
// a file with no write bit at all, which holds for root too, or one the
// caller may not write (EACCES, or EROFS on a read-only file system), a
// folder the caller may not make files in (EACCES), and a file in a sticky
// folder when the caller, not root, owns neither it nor the folder (EPERM).
// errno tells why not.
bool mayReplaceFile(const std::string& path);

// Puts text in place of the file at the path in one step: written whole to
// a fresh temporary name beside it, created exclusively (so nothing already
// there - a link, a FIFO, a file - is followed, opened or overwritten, and
// the rename stays on one file system), synced, then renamed over the path,
// and the folder synced so that the rename outlasts a power failure.
// A regular file at the path keeps its permission bits and its access ACL,
// and its owner and group as far as the caller may give them (root always;
// a plain user keeps the group when a member of it). No one gets more than
// the old file gave them: where the owner cannot be kept the new file is
// the caller's, with no more permission than the caller had; where the
// group cannot be kept it is the caller's, whose members get no more than
// others had. A folder's default ACL never adds to what the old file gave.
// A new file gets mode.
// Refused before anything is written where mayReplaceFile says no, and when
// the old file's ACL cannot be read or is of an unknown form (EINVAL). On
// any failure, setting the ACL on the new file among them, the temporary is
// removed, the old file is untouched, errno tells why, and the result is
// false.
bool replaceFile(const std::string& path, const std::string& text, unsigned int mode);

// How long updateFile waits for another holder of the file's lock.
constexpr int FILE_LOCK_WAIT_MS = 2000;

// Reads the regular file at the path whole (as readWholeRegularFile), lets
// change turn the text into the new one, and puts that in place (as
// replaceFile), all as one step against every other caller for the same
// file: an exclusive advisory lock (flock) on the file is held from before
// the read until the new file is in place. No lock file is made: the lock is
// on the file itself, taken through a descriptor open for writing (on NFS a
// flock is a byte-range lock, which needs one), and a caller that got it on
// a file another caller has since replaced takes it again on the new one. A
// file replaceFile would refuse is refused before the lock, with its errno
// (see mayReplaceFile). A caller that cannot have it
// within waitMs milliseconds (another holder hangs) gives up (EWOULDBLOCK).
// change returns false to leave the file as it is. The result is whether the
// file now holds the new text; on false nothing was written.
bool updateFile(const std::string& path, std::size_t maxBytes, const std::function<bool(std::string& text)>& change,
                int waitMs = FILE_LOCK_WAIT_MS);

// The folder the running executable lives in, without a trailing slash;
// empty when it cannot be found.
std::string executableFolder();

} // namespace plat
