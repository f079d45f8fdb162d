#include "app/EngineFiles.h"
#include "tests/app/folder_snapshot.h"
#include "tests/model/test_log.h"

#include <OgreConfigFile.h>
#include <OgreException.h>
#include <OgreLog.h>
#include <OgreLogManager.h>
#include <OgreRoot.h>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(VideoMode, OnlyModesThatCanOpenAWindowAreInRange)
{
    const std::vector<std::string> offered = {"1024 x 768", "800 x 600", "640 x 480"};
    struct {
        const char* mode;
        bool inRange;
    } cases[] = {
        {"800 x 600", true},     {"1024 x 768", true},       {"700 x 500", true},
        {"320 x 240", true},     {"0 x 0", false},           {"abc", false},
        {"", false},             {"32767 x 32767", false},   {"1025 x 768", false},
        {"319 x 600", false},    {"-800 x 600", false},      {"800 600", false},
        {"800 x", false},        {"99999999999 x 600", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(videoModeInRange(c.mode, offered), c.inRange) << c.mode;
    // A mode the render system offers counts whatever its text looks like.
    EXPECT_TRUE(videoModeInRange("1920 x 1080 @ 32-bit colour", {"1920 x 1080 @ 32-bit colour"}));
}

} // namespace

namespace {

// A fresh folder, on a small file system of its own when asked.
struct Folder {
    Folder()
    {
        char pattern[] = "/tmp/tessaline-engine.XXXXXX";
        if (mkdtemp(pattern))
            dir = pattern;
    }
    ~Folder()
    {
        if (mounted)
            umount2(dir.c_str(), MNT_DETACH);
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    std::string at(const std::string& name) const { return dir + "/" + name; }
    void put(const std::string& name, const std::string& text) const
    {
        std::ofstream(at(name), std::ios::binary) << text;
    }
    std::string contents(const std::string& name) const
    {
        std::ifstream in(at(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::map<std::string, std::string> snapshot() const { return folderSnapshot(dir); }
    // False where the machine does not let the test mount one.
    bool mountSmall(bool readOnly)
    {
        mounted = mount("tessaline-test", dir.c_str(), "tmpfs", 0, "size=16k") == 0;
        if (!mounted)
            return false;
        if (readOnly)
            return mount("tessaline-test", dir.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=16k") == 0;
        const int fd = open(at("filler").c_str(), O_WRONLY | O_CREAT, 0644);
        const std::string block(4096, 'f');
        while (write(fd, block.data(), block.size()) > 0) {
        }
        while (write(fd, "f", 1) > 0) {
        }
        return close(fd) == 0;
    }

    std::string dir;
    bool mounted = false;
};

Ogre::LogManager& logs() { return testLogManager(); }

// How many names each file of the folder has.
std::map<std::string, nlink_t> linkCounts(const std::string& dir)
{
    std::map<std::string, nlink_t> counts;
    for (const auto& entry : folderSnapshot(dir)) {
        struct stat st {};
        counts[entry.first] = lstat((dir + "/" + entry.first).c_str(), &st) == 0 ? st.st_nlink : 0;
    }
    return counts;
}

// The lines of a log file with each "HH:MM:SS: " time checked and taken off.
std::vector<std::string> messagesOf(const std::string& text)
{
    std::vector<std::string> messages;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const bool stamped = line.size() >= 10 && std::isdigit(line[0]) && std::isdigit(line[1]) && line[2] == ':' &&
                             std::isdigit(line[3]) && std::isdigit(line[4]) && line[5] == ':' &&
                             std::isdigit(line[6]) && std::isdigit(line[7]) && line.compare(8, 2, ": ") == 0;
        messages.push_back(stamped ? line.substr(10) : "unstamped: " + line);
    }
    return messages;
}

// The engine's log written beside the game: only into a regular file at its
// name, never through a link, never into a FIFO, device or folder, and
// never left empty. What it writes is what the engine's own log file would
// hold.
TEST(EngineLog, WritesOnlyARegularFileAndEveryMessageInTheEnginesShape)
{
    const std::vector<std::string> messages = {"Tessaline starting", "Tessaline menu: 3 nodes", "two\nlines"};
    const struct {
        const char* what;
        // Lays out the folder; false when the machine cannot (with why).
        std::function<bool(Folder&, std::string& why)> make;
        bool written;
    } cases[] = {
        {"no log yet", [](Folder&, std::string&) { return true; }, true},
        {"the log of an earlier game",
         [](Folder& f, std::string&) {
             f.put("Ogre.log", std::string(5000, 'o') + "\n");
             return true;
         },
         true},
        {"a link to a file elsewhere",
         [](Folder& f, std::string&) {
             f.put("elsewhere", "precious\n");
             return symlink("elsewhere", f.at("Ogre.log").c_str()) == 0;
         },
         false},
        {"a hard link to a file elsewhere",
         [](Folder& f, std::string&) {
             f.put("elsewhere", "precious\n");
             return link(f.at("elsewhere").c_str(), f.at("Ogre.log").c_str()) == 0;
         },
         false},
        {"a link to nothing",
         [](Folder& f, std::string&) { return symlink("made-through-the-link", f.at("Ogre.log").c_str()) == 0; },
         false},
        {"a FIFO", [](Folder& f, std::string&) { return mkfifo(f.at("Ogre.log").c_str(), 0644) == 0; }, false},
        {"a folder", [](Folder& f, std::string&) { return mkdir(f.at("Ogre.log").c_str(), 0755) == 0; }, false},
        {"a full disk",
         [](Folder& f, std::string& why) {
             why = "cannot mount a small file system here (needs root and mount rights)";
             return f.mountSmall(false);
         },
         false},
        {"a read-only folder",
         [](Folder& f, std::string& why) {
             why = "cannot mount a small file system here (needs root and mount rights)";
             return f.mountSmall(true);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Folder f;
        ASSERT_FALSE(f.dir.empty());
        std::string why;
        if (!c.make(f, why)) {
            std::cout << "skipped: " << c.what << ": " << why << '\n';
            continue;
        }
        const auto before = f.snapshot();
        const auto linksBefore = linkCounts(f.dir);
        const std::string path = f.at("Ogre.log");
        const std::unique_ptr<Ogre::LogListener> file = openEngineLog(logs(), path);
        EXPECT_EQ(file != nullptr, c.written);
        Ogre::Log* log = logs().getLog(path);
        ASSERT_NE(log, nullptr);
        EXPECT_EQ(logs().getDefaultLog(), log);
        // The engine's own file log, for the line shape.
        Ogre::Log* engines = logs().createLog(f.dir + "-engine.log", false, false, false);
        engines->logMessage(messages[0]);
        for (std::size_t i = 1; i < messages.size(); ++i) {
            logs().logMessage(messages[i], i == 1 ? Ogre::LML_NORMAL : Ogre::LML_CRITICAL);
            engines->logMessage(messages[i], i == 1 ? Ogre::LML_NORMAL : Ogre::LML_CRITICAL);
        }
        // Below the log's detail: in neither file.
        logs().logMessage("a trivial detail", Ogre::LML_TRIVIAL);
        engines->logMessage("a trivial detail", Ogre::LML_TRIVIAL);
        logs().destroyLog(engines);
        logs().destroyLog(log);
        std::ifstream in(f.dir + "-engine.log");
        std::stringstream engineText;
        engineText << in.rdbuf();
        std::remove((f.dir + "-engine.log").c_str());

        auto after = f.snapshot();
        if (c.written) {
            ASSERT_EQ(after.count("Ogre.log"), 1u);
            const std::string text = f.contents("Ogre.log");
            EXPECT_EQ(messagesOf(text), messagesOf(engineText.str()));
            EXPECT_EQ(messagesOf(text), (std::vector<std::string>{messages[0], messages[1], "two", "unstamped: lines"}));
            after.erase("Ogre.log");
            auto rest = before;
            rest.erase("Ogre.log");
            EXPECT_EQ(after, rest);
        } else {
            // As it was: no link followed or removed, no empty log left.
            EXPECT_EQ(after, before);
            EXPECT_EQ(linkCounts(f.dir), linksBefore);
        }
    }
}

// A settings file over the read limit is refused whole: never read in part,
// never saved over, one line on standard error; the plug-in and resource
// lists over it are an error. One exactly at the limit is read whole.
TEST(EngineSettings, AFileOverTheLimitIsRefusedWholeAndLeftAsItWas)
{
    logs();
    Ogre::Root root("", "", "");
    const std::string setting = "Render System=OpenGL Rendering Subsystem\n";
    for (const std::size_t size : {CONFIG_MAX_BYTES, CONFIG_MAX_BYTES + 1}) {
        const bool over = size > CONFIG_MAX_BYTES;
        SCOPED_TRACE(over ? "over the limit" : "at the limit");
        Folder f;
        ASSERT_FALSE(f.dir.empty());
        // The setting past any cut.
        const std::string text = "#" + std::string(size - setting.size() - 2, '-') + "\n" + setting;
        ASSERT_EQ(text.size(), size);
        f.put("ogre.cfg", text);
        const std::string path = f.at("ogre.cfg");

        Ogre::ConfigFile file;
        if (over) {
            EXPECT_THROW(loadConfigFile(file, path, "\t:=", true), Ogre::Exception);
        } else {
            EXPECT_NO_THROW(loadConfigFile(file, path, "\t:=", true));
            EXPECT_EQ(file.getSetting("Render System"), "OpenGL Rendering Subsystem");
        }

        testing::internal::CaptureStderr();
        EXPECT_FALSE(restoreSettings(root, path)); // no such render system here
        const std::string said = testing::internal::GetCapturedStderr();
        if (over) {
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
            EXPECT_NE(said.find("Tessaline: " + path + " is larger than"), std::string::npos) << said;
            const auto before = f.snapshot();
            std::string reason;
            testing::internal::CaptureStderr();
            EXPECT_TRUE(saveSettings(root, reason, path)) << reason;
            EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
            EXPECT_EQ(f.snapshot(), before);
        } else {
            EXPECT_EQ(said, "");
        }
    }
}

} // namespace
