#include "app/EngineFiles.h"

#include <OgreConfigFile.h>
#include <OgreDataStream.h>
#include <OgreException.h>
#include <OgreLog.h>
#include <OgreLogManager.h>
#include <OgreRenderSystem.h>
#include <OgreRoot.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <ctime>
#include <sstream>

#include "platform/regularFile.h"

const char* const PLUGINS_FILE = "plugins.cfg";
const char* const SETTINGS_FILE = "ogre.cfg";
const char* const ENGINE_LOG_FILE = "Ogre.log";
const char* const DEFAULT_VIDEO_MODE = "800 x 600";

namespace {

const int MIN_WIDTH = 320;
const int MIN_HEIGHT = 240;

bool parseMode(const std::string& mode, int& width, int& height)
{
    std::istringstream in(mode);
    char x = 0;
    long w = 0, h = 0;
    if (!(in >> w >> x >> h) || x != 'x' || w <= 0 || h <= 0 || w > 1 << 16 || h > 1 << 16)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// Hands text read from the file to the engine's reader.
void loadConfigText(Ogre::ConfigFile& file, const std::string& name, std::string& text,
                    const std::string& separators, bool trim)
{
    Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(name, &text[0], text.size(), false, true));
    file.load(stream, separators, trim);
}

// The engine log's file: every message the log takes, as a line of the
// engine's own shape, written to a descriptor opened here. The engine's log
// would open the file by name itself, after any check of ours, and follow
// whatever link stood there by then.
class EngineLogFile : public Ogre::LogListener {
public:
    ~EngineLogFile() override { close(); }

    // Takes the regular file at the path, never through a link and never
    // blocking on a FIFO; it is emptied only once known to be a file of its
    // own: a hard link shares it with a name elsewhere, whose file the log
    // would empty and fill just as through a symbolic link.
    bool open(const std::string& path)
    {
        close();
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
        if (fd < 0)
            return false;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink > 1 || ::ftruncate(fd, 0) != 0) {
            close();
            return false;
        }
        device = st.st_dev;
        inode = st.st_ino;
        failed = false;
        return true;
    }

    // Gives up the file; an empty one is not left to look like a silent
    // engine (the name is removed only while it still names that file).
    void drop(const std::string& path)
    {
        struct stat st {};
        if (fd >= 0 && ::lstat(path.c_str(), &st) == 0 && st.st_dev == device && st.st_ino == inode)
            ::unlink(path.c_str());
        close();
    }

    bool written() const { return fd >= 0 && !failed; }

    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&,
                       bool&) override
    {
        if (fd < 0)
            return;
        const std::time_t now = std::time(nullptr);
        std::tm local {};
        char stamp[16] = "00:00:00: ";
        if (localtime_r(&now, &local))
            std::strftime(stamp, sizeof stamp, "%H:%M:%S: ", &local);
        const std::string line = stamp + message + '\n';
        std::size_t done = 0;
        while (done < line.size()) {
            const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                failed = true;
                return;
            }
            done += static_cast<std::size_t>(n);
        }
    }

private:
    void close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    int fd = -1;
    bool failed = false;
    dev_t device = 0;
    ino_t inode = 0;
};

} // namespace

std::unique_ptr<Ogre::LogListener> openEngineLog(Ogre::LogManager& logs, const std::string& name)
{
    auto file = std::make_unique<EngineLogFile>();
    Ogre::Log* log = logs.createLog(name, true, false, true);
    const bool opened = file->open(name);
    if (opened)
        log->addListener(file.get());
    log->logMessage("Tessaline starting");
    if (file->written())
        return file;
    // Not even its first line fits (a full disk): the log goes nowhere.
    if (opened) {
        log->removeListener(file.get());
        file->drop(name);
    }
    return nullptr;
}

void loadConfigFile(Ogre::ConfigFile& file, const std::string& name, const std::string& separators, bool trim)
{
    switch (plat::fileKind(name)) {
    case plat::FileKind::Missing:
        file.load(name, separators, trim);   // the engine's own "not found"
        return;
    case plat::FileKind::Other:
        OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, "'" + name + "' is not a regular file",
                    "loadConfigFile");
    case plat::FileKind::Regular:
        break;
    }
    // Read once, through a descriptor that cannot block, and handed to the
    // engine's reader from memory. A file over the limit is refused whole:
    // settings past a cut would be lost without a word.
    std::string text;
    if (!plat::readWholeRegularFile(name, CONFIG_MAX_BYTES, text)) {
        const std::string why = errno == EFBIG ? "it is larger than " + std::to_string(CONFIG_MAX_BYTES) + " bytes"
                                               : std::string(std::strerror(errno));
        OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, "'" + name + "' cannot be read: " + why, "loadConfigFile");
    }
    loadConfigText(file, name, text, separators, trim);
}

void loadPlugins(Ogre::Root& root, const std::string& name)
{
    Ogre::ConfigFile file;
    loadConfigFile(file, name, "\t:=", true);
    std::string folder = file.getSetting("PluginFolder");
    if (folder.empty())
        folder = ".";
    if (folder.back() != '/')
        folder += '/';
    for (const std::string& plugin : file.getMultiSetting("Plugin"))
        root.loadPlugin(folder + plugin);
    if (root.getAvailableRenderers().empty())
        OGRE_EXCEPT(Ogre::Exception::ERR_ITEM_NOT_FOUND, "'" + name + "' names no render system plug-in",
                    "loadPlugins");
}

bool restoreSettings(Ogre::Root& root, const std::string& name)
{
    if (plat::fileKind(name) != plat::FileKind::Regular)
        return false;
    std::string text;
    if (!plat::readWholeRegularFile(name, CONFIG_MAX_BYTES, text)) {
        if (errno == EFBIG)
            std::fprintf(stderr,
                         "Tessaline: %s is larger than %zu bytes; it is left as it is, unread, and the settings "
                         "start from the defaults and are not saved.\n",
                         name.c_str(), CONFIG_MAX_BYTES);
        return false;
    }
    Ogre::ConfigFile file;
    try {
        loadConfigText(file, name, text, "\t:=", false);
    } catch (const Ogre::Exception&) {
        return false;
    }
    for (const auto& section : file.getSettingsBySection()) {
        Ogre::RenderSystem* system = root.getRenderSystemByName(section.first);
        if (!system)
            continue;
        for (const auto& setting : section.second) {
            try {
                system->setConfigOption(setting.first, setting.second);
            } catch (const Ogre::Exception&) {
                // An option this render system does not have: the saved
                // file is from another version; the rest still counts.
            }
        }
        repairVideoMode(*system);
    }
    Ogre::RenderSystem* system = root.getRenderSystemByName(file.getSetting("Render System"));
    if (!system || !system->validateConfigOptions().empty())
        return false;
    root.setRenderSystem(system);
    return true;
}

bool videoModeInRange(const std::string& mode, const std::vector<std::string>& offered)
{
    int width = 0, height = 0;
    if (!parseMode(mode, width, height))
        return false;
    int maxWidth = 0, maxHeight = 0;
    for (const std::string& o : offered) {
        if (o == mode)
            return true;
        int w = 0, h = 0;
        if (parseMode(o, w, h)) {
            maxWidth = std::max(maxWidth, w);
            maxHeight = std::max(maxHeight, h);
        }
    }
    return width >= MIN_WIDTH && height >= MIN_HEIGHT && width <= maxWidth && height <= maxHeight;
}

bool repairVideoMode(Ogre::RenderSystem& system)
{
    const Ogre::ConfigOptionMap& options = system.getConfigOptions();
    auto it = options.find("Video Mode");
    if (it == options.end())
        return false;
    const Ogre::ConfigOption& option = it->second;
    if (videoModeInRange(option.currentValue, option.possibleValues))
        return false;
    std::string fallback = DEFAULT_VIDEO_MODE;
    if (!videoModeInRange(fallback, option.possibleValues) && !option.possibleValues.empty())
        fallback = option.possibleValues.front();
    std::fprintf(stderr, "Tessaline: the video mode \"%s\" in %s is out of range; using %s.\n",
                 option.currentValue.c_str(), SETTINGS_FILE, fallback.c_str());
    const std::string name = it->first;
    system.setConfigOption(name, fallback);
    return true;
}

std::string settingsText(Ogre::Root& root)
{
    std::ostringstream out;
    Ogre::RenderSystem* active = root.getRenderSystem();
    out << "Render System=" << (active ? active->getName() : std::string()) << '\n';
    for (Ogre::RenderSystem* system : root.getAvailableRenderers()) {
        out << '\n' << '[' << system->getName() << "]\n";
        for (const auto& option : system->getConfigOptions())
            out << option.first << '=' << option.second.currentValue << '\n';
    }
    return out.str();
}

bool saveSettings(Ogre::Root& root, std::string& reason, const std::string& name)
{
    const std::string text = settingsText(root);
    std::string old;
    if (plat::readWholeRegularFile(name, CONFIG_MAX_BYTES, old)) {
        if (old == text)
            return true;
    } else if (errno == EFBIG) {
        // Never read, so never replaced: what it holds past any cut would
        // be lost. restoreSettings has said so already.
        return true;
    }

    // A file the player made read-only is left alone, though the folder
    // would allow replacing it.
    if (::access(name.c_str(), F_OK) == 0 && ::access(name.c_str(), W_OK) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    // Written whole beside the old file, then put in its place in one step.
    struct stat st {};
    const mode_t mode = ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? (st.st_mode & 07777) : 0644;
    if (!plat::replaceFile(name, text, mode)) {
        reason = std::strerror(errno);
        return false;
    }
    return true;
}
