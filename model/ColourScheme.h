#pragma once
// The figure colours: twelve shared materials recoloured from one of eight
// schemes, and the lookup from a part's colour index to its material.
#include <OgreColourValue.h>
#include <OgreMaterial.h>

constexpr int COLOUR_SLOTS = 12;
constexpr int SCHEME_COUNT = 8;
constexpr int SCHEME_FADE_MS = 1000;
// The lower turning point of the "random1" alpha pulse.
constexpr float PULSE_LOW_ALPHA = 0.5f;

// Slots 0-4 ship, 5-8 environ, 9-11 bullet; the slot is also the index into
// ModelManager::materials and ModelManager::palette.
enum ColourSlot {
    SLOT_SHIP1 = 0,
    SLOT_ENVIRON1 = 5,
    SLOT_BULLET1 = 9,
    SLOT_BULLET2 = 10,
    SLOT_BULLET3 = 11,
};

struct ColourScheme {
    ColourScheme();
    Ogre::ColourValue colours[COLOUR_SLOTS];
    Ogre::ColourValue& operator[](int slot) { return colours[slot]; }
    const Ogre::ColourValue& operator[](int slot) const { return colours[slot]; }
};

// The material names of the twelve slots, in slot order.
extern const char* const COLOUR_MATERIAL_NAMES[COLOUR_SLOTS];
// The resource group of every figure material.
extern const char* const MATERIAL_GROUP;

// The scheme table (white until the first ModelManager fills it) and the
// scheme last chosen, kept across screens.
extern ColourScheme colourSchemes[SCHEME_COUNT];
extern int schemeIndex;

// The ambient factor of a slot's family: ship 0.001, environ 0.2, bullet 0.6.
float familyAmbientFactor(int slot);

// (1 - t) a + t b per component; t outside 0..1 extrapolates.
Ogre::ColourValue lerpColour(double t, const Ogre::ColourValue& a, const Ogre::ColourValue& b);

// The material name for a part's colour index in a palette kind.
const char* colourMaterialName(int colourIndex, int paletteKind);
// That material from the engine, or an empty handle if none bears the name.
Ogre::MaterialPtr getColourMaterial(int colourIndex, int paletteKind);
