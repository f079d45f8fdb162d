#include "model/ColourScheme.h"

#include <OgreMaterialManager.h>
#include <OgreResourceGroupManager.h>

const char* const COLOUR_MATERIAL_NAMES[COLOUR_SLOTS] = {
    "shipColor1",    "shipColor2",    "shipColor3",    "shipColor4",
    "shipColor5",    "environColor1", "environColor2", "environColor3",
    "environColor4", "bulletColor1",  "bulletColor2",  "bulletColor3",
};

// The engine's default group (RGN_DEFAULT).
const char* const MATERIAL_GROUP = "General";

ColourScheme colourSchemes[SCHEME_COUNT];
int schemeIndex = 3;

ColourScheme::ColourScheme()
{
    for (auto& c : colours)
        c = Ogre::ColourValue(1, 1, 1, 1);
}

float familyAmbientFactor(int slot)
{
    if (slot < SLOT_ENVIRON1)
        return 0.001f;
    if (slot < SLOT_BULLET1)
        return 0.2f;
    return 0.6f;
}

Ogre::ColourValue lerpColour(double t, const Ogre::ColourValue& a, const Ogre::ColourValue& b)
{
    auto mix = [t](float x, float y) { return float((1.0 - t) * x + t * y); };
    return Ogre::ColourValue(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.a, b.a));
}

const char* colourMaterialName(int colourIndex, int paletteKind)
{
    static const char* const ship[] = {"shipColor1", "shipColor2", "shipColor3", "shipColor4",
                                       "shipColor5"};
    // Index 4 names a material that does not exist; no figure asks for it.
    static const char* const environ[] = {"environColor1", "environColor2", "environColor3",
                                          "environColor4", "environColor5"};
    static const char* const bullet[] = {"bulletColor1", "bulletColor2", "bulletColor3",
                                         "bulletColor1", "bulletColor1"};
    bool inRange = colourIndex >= 0 && colourIndex <= 4;
    switch (paletteKind) {
    case 0: return inRange ? ship[colourIndex] : ship[0];
    case 1: return inRange ? environ[colourIndex] : environ[0];
    case 2: return inRange ? bullet[colourIndex] : bullet[0];
    default: return "random1";
    }
}

Ogre::MaterialPtr getColourMaterial(int colourIndex, int paletteKind)
{
    return Ogre::MaterialManager::getSingleton().getByName(
        colourMaterialName(colourIndex, paletteKind), MATERIAL_GROUP);
}
