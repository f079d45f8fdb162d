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
    if (usedNumbers().empty()) {
        auto* newPanel = overlayManager->createOverlayElement("Panel", PANEL_NAME);
        newPanel->setMetricsMode(Ogre::GMM_PIXELS);
        newPanel->setPosition(0, 0);
        newPanel->setDimensions(1024, 960);
        Ogre::Overlay* newOverlay = overlayManager->create(OVERLAY_NAME);
        newOverlay->add2D(static_cast<Ogre::OverlayContainer*>(newPanel));
        newOverlay->show();
    }
    number = lowestFreeNumber();
    usedNumbers().insert(number);
    name = "TextAreaName" + Ogre::StringConverter::toString(number);

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
    textArea->hide();
    shown = false;
}

TextItem::~TextItem()
{
    // Each item removes its own text area, whatever the order of deletion.
    overlayManager->destroyOverlayElement(textArea);
    usedNumbers().erase(number);
    if (usedNumbers().empty()) {
        overlayManager->destroyOverlayElement(PANEL_NAME);
        overlayManager->destroy(OVERLAY_NAME);
    }
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
