#pragma once
// One line of overlay text in the font "MyFont". All items share one
// full-window panel on one overlay, which exist while any item does.
#include <string>

namespace Ogre {
class OverlayManager;
class OverlayElement;
class OverlayContainer;
class Overlay;
class ColourValue;
} // namespace Ogre

class TextItem {
public:
    TextItem();
    ~TextItem();
    TextItem(const TextItem&) = delete;
    TextItem& operator=(const TextItem&) = delete;

    void setText(std::string text);
    void show();
    void hide();
    void setPosition(float x, float y);
    void setColour(const Ogre::ColourValue& colour);

    bool isShown() const { return shown; }
    const std::string& elementName() const { return name; }

    // Items alive right now.
    static int liveCount();

private:
    // Removes the shared panel and overlay, whichever exist.
    void destroyShared();

    Ogre::OverlayManager* overlayManager;
    Ogre::OverlayContainer* panel;
    Ogre::Overlay* overlay;
    Ogre::OverlayElement* textArea;
    bool shown = false;
    int number;
    std::string name;
};
