#include "app/TextItem.h"

#include <Ogre.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreTextAreaOverlayElement.h>

#include <set>

namespace {

const char* const PANEL_NAME = "PanelName";
const char* const OVERLAY_NAME = "OverlayName";

// Numbers of the live text areas. A new item takes the lowest free number:
// while items go in the reverse order of their making that is the live
// count, and an item deleted out of order can never leave a clash behind.
std::set<int>& usedNumbers()
{
    static std::set<int> numbers;
    return numbers;
}

int lowestFreeNumber()
{
    int n = 1;
    for (int used : usedNumbers()) {
        if (used != n)
            break;
        ++n;
    }
    return n;
}

} // namespace

int TextItem::liveCount() { return static_cast<int>(usedNumbers().size()); }

TextItem::TextItem()
{
    overlayManager = Ogre::OverlayManager::getSingletonPtr();
    const bool first = usedNumbers().empty();
    if (first) {
        auto* newPanel = overlayManager->createOverlayElement("Panel", PANEL_NAME);
        try {
            newPanel->setMetricsMode(Ogre::GMM_PIXELS);
            newPanel->setPosition(0, 0);
            newPanel->setDimensions(1024, 960);
            Ogre::Overlay* newOverlay = overlayManager->create(OVERLAY_NAME);
            newOverlay->add2D(static_cast<Ogre::OverlayContainer*>(newPanel));
            newOverlay->show();
        } catch (...) {
            destroyShared();
            throw;
        }
    }
    number = lowestFreeNumber();
    name = "TextAreaName" + Ogre::StringConverter::toString(number);

    // An item that fails half-way takes no number and leaves nothing behind,
    // or later items would clash with its name and the panel would outlive
    // the last item.
    textArea = nullptr;
    try {
        textArea = overlayManager->createOverlayElement("TextArea", name);
        auto* text = static_cast<Ogre::TextAreaOverlayElement*>(textArea);
        text->setFontName("MyFont");
        text->setMetricsMode(Ogre::GMM_PIXELS);
        text->setPosition(0, 0);
        text->setDimensions(300, 120);
        text->setCharHeight(26);

        overlay = overlayManager->getByName(OVERLAY_NAME);
        panel = static_cast<Ogre::OverlayContainer*>(overlayManager->getOverlayElement(PANEL_NAME));
        panel->addChild(textArea);
    } catch (...) {
        if (textArea)
            overlayManager->destroyOverlayElement(textArea);
        if (first)
            destroyShared();
        throw;
    }
    usedNumbers().insert(number);
    textArea->hide();
    shown = false;
}

void TextItem::destroyShared()
{
    if (overlayManager->hasOverlayElement(PANEL_NAME))
        overlayManager->destroyOverlayElement(PANEL_NAME);
    if (overlayManager->getByName(OVERLAY_NAME))
        overlayManager->destroy(OVERLAY_NAME);
}

TextItem::~TextItem()
{
    // Each item removes its own text area, whatever the order of deletion.
    overlayManager->destroyOverlayElement(textArea);
    usedNumbers().erase(number);
    if (usedNumbers().empty())
        destroyShared();
}

void TextItem::setText(std::string text) { textArea->setCaption(text); }

void TextItem::show()
{
    textArea->show();
    shown = true;
}

void TextItem::hide()
{
    textArea->hide();
    shown = false;
}

void TextItem::setPosition(float x, float y) { textArea->setPosition(x, y); }

void TextItem::setColour(const Ogre::ColourValue& colour) { textArea->setColour(colour); }
