#pragma once
// What a test folder holds, to compare before and after the game touched it.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

// Each name in the folder with its kind, permission bits, owner and group,
// and contents (a regular file's bytes, a link's target); nothing else is
// opened, so a FIFO or a device in the folder is safe to list.
inline std::map<std::string, std::string> folderSnapshot(const std::string& dir)
{
    std::map<std::string, std::string> all;
    DIR* d = opendir(dir.c_str());
    while (dirent* e = d ? readdir(d) : nullptr) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string file = dir + "/" + name;
        struct stat st {};
        lstat(file.c_str(), &st);
        std::ostringstream line;
        line << (S_ISREG(st.st_mode) ? "file" : S_ISLNK(st.st_mode) ? "link" : S_ISDIR(st.st_mode) ? "dir" : "other")
             << ' ' << std::oct << (st.st_mode & 07777) << std::dec << ' ' << st.st_uid << ':' << st.st_gid << ' ';
        if (S_ISREG(st.st_mode)) {
            std::ifstream in(file, std::ios::binary);
            line << in.rdbuf();
        } else if (S_ISLNK(st.st_mode)) {
            char target[256] = {};
            line << std::string(target, std::max<ssize_t>(0, readlink(file.c_str(), target, sizeof target)));
        }
        all[name] = line.str();
    }
    if (d)
        closedir(d);
    return all;
}
