#include "app/NameEntry.h"

#include "platform/devices/keyboard.h"

NameKey nameEntryKey(std::string& name, int key, unsigned character)
{
    if (key == input::KC_RETURN)
        return NameKey::DONE;
    if (key == input::KC_BACK) {
        if (name.empty())
            return NameKey::IGNORED;
        name.pop_back();
        return NameKey::CHANGED;
    }
    const bool printable = character > ' ' && character < 127;
    if (!printable || name.size() >= HIGH_SCORE_NAME_MAX)
        return NameKey::IGNORED;
    name.push_back(static_cast<char>(character));
    return NameKey::CHANGED;
}
