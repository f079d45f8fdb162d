#pragma once
// The three colours of screen text, each mirroring one of the live palette's
// colours, so that text follows the scheme fades.
#include "model/ColourScheme.h"

enum TextRole {
    TEXT_BODY = SLOT_SHIP1,
    TEXT_TITLE = SLOT_BULLET1,
    TEXT_HEADING = SLOT_BULLET3,
};

inline const Ogre::ColourValue& textColour(const ColourScheme& palette, TextRole role)
{
    return palette[role];
}
