#pragma once
// Opening the files the game reads, and replacing the few it writes. Only a regular file (or a link to one)
// is taken: a directory, FIFO or device in its place is refused at once, as
// if the file were missing, so nothing blocks on a pipe or reads forever
// from a device.
#include <cstddef>
#include <string>

namespace plat {

enum class FileKind { Missing, Regular, Other };

// What is at the path, following links.
FileKind fileKind(const std::string& path);

// A read-only descriptor of the regular file at the path, or -1 with errno
// set (ENOENT when missing, EINVAL when something else stands there). The
// open never blocks, even on a FIFO. The caller closes the descriptor.
int openRegularFile(const std::string& path);

// Reads at most maxBytes of the regular file at the path into out; false
// (out empty) when it cannot be opened or read.
bool readRegularFile(const std::string& path, std::size_t maxBytes, std::string& out);

// Puts text in place of the file at the path in one step: written whole to
// a fresh temporary name beside it (so no link there is followed and the
// rename stays on one file system), given the mode, synced, then renamed
// over the path. On any failure the temporary is removed, the old file is
// untouched, errno tells why, and the result is false.
bool replaceFile(const std::string& path, const std::string& text, unsigned int mode);

// The folder the running executable lives in, without a trailing slash;
// empty when it cannot be found.
std::string executableFolder();

} // namespace plat
