#pragma once
// The engine's start-up files beside the game: the plug-in list, the saved
// settings and the resource list, and the engine's log. Each is read only
// when it is a regular file (a directory, FIFO or device in its place is
// refused at once, with the engine's kind of error), and the settings are
// saved so that a failed save never truncates the old file or stops the
// game.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace Ogre {
class ConfigFile;
class LogListener;
class LogManager;
class RenderSystem;
class Root;
} // namespace Ogre

extern const char* const PLUGINS_FILE;
extern const char* const SETTINGS_FILE;
extern const char* const ENGINE_LOG_FILE;

// No configuration file of the game comes near this; one larger is refused
// whole rather than cut.
constexpr std::size_t CONFIG_MAX_BYTES = 1 << 20;

// The video mode the game ships with, used in place of one out of range.
extern const char* const DEFAULT_VIDEO_MODE;

// Starts the engine's default log in logs, written to the file at the path
// in the engine's "HH:MM:SS: message" lines, its first line "Tessaline
// starting". Only a regular file there is written (it is emptied first); a
// link, symbolic or hard (a file with another name too), is neither followed
// nor removed, and a FIFO, device or folder is left as it is. Returns what
// writes the file, which must outlive the log (it is the log's listener);
// null when the log goes to no file: nothing could be opened, or not even
// the first line could be written (a full disk), in which case no empty
// file is left behind.
std::unique_ptr<Ogre::LogListener> openEngineLog(Ogre::LogManager& logs, const std::string& name = ENGINE_LOG_FILE);

// Loads a configuration file with the engine's reader. A missing file gets
// the engine's own "not found" error; anything but a regular file, and a
// file over the size limit (refused whole, never cut), an error of the same
// kind.
void loadConfigFile(Ogre::ConfigFile& file, const std::string& name, const std::string& separators, bool trim);

// Loads every "Plugin" of the plug-in list from its "PluginFolder" (the
// current folder when none is given); a plug-in that cannot be loaded is
// the engine's error. Fails when no render system was loaded.
void loadPlugins(Ogre::Root& root, const std::string& name = PLUGINS_FILE);

// Takes the saved settings, as the engine's own restore does; false when
// there are none to take (the settings dialog then starts from defaults).
// A file over the size limit is not read at all, and says so on standard
// error; saveSettings then leaves it as it is.
bool restoreSettings(Ogre::Root& root, const std::string& name = SETTINGS_FILE);

// Whether a "Video Mode" value ("800 x 600", maybe followed by more) can
// open a window: one of the offered modes, or one between 320 x 240 and the
// largest offered.
bool videoModeInRange(const std::string& mode, const std::vector<std::string>& offered);

// Puts the shipped video mode in place of one out of range, saying so on
// standard error; returns whether it did.
bool repairVideoMode(Ogre::RenderSystem& system);

// The settings text as the engine writes it.
std::string settingsText(Ogre::Root& root);

// Writes the settings when they changed. A failure writes nothing, leaves
// the old file as it was and returns the reason. A file over the size limit
// is no failure: it is left as it is (see restoreSettings).
bool saveSettings(Ogre::Root& root, std::string& reason, const std::string& name = SETTINGS_FILE);
