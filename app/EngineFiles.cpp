#include "app/EngineFiles.h"

#include <OgreConfigFile.h>
#include <OgreDataStream.h>
#include <OgreException.h>
#include <OgreRenderSystem.h>
#include <OgreRoot.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "platform/regularFile.h"

const char* const PLUGINS_FILE = "plugins.cfg";
const char* const SETTINGS_FILE = "ogre.cfg";
const char* const ENGINE_LOG_FILE = "Ogre.log";
const char* const DEFAULT_VIDEO_MODE = "800 x 600";

namespace {

// No configuration file of the game comes near this.
const std::size_t CONFIG_MAX_BYTES = 1 << 20;

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

} // namespace

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
    // engine's reader from memory.
    std::string text;
    if (!plat::readRegularFile(name, CONFIG_MAX_BYTES, text))
        OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, "'" + name + "' cannot be read: " + std::strerror(errno),
                    "loadConfigFile");
    Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(name, &text[0], text.size(), false, true));
    file.load(stream, separators, trim);
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
    Ogre::ConfigFile file;
    try {
        loadConfigFile(file, name, "\t:=", false);
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
    if (plat::readRegularFile(name, CONFIG_MAX_BYTES, old) && old == text)
        return true;

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
