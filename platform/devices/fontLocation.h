#pragma once
// Where the game's TrueType font lives: a folder beside the game, relative to
// the working directory, which the build fills with a free font under the
// file name the game asks for.
namespace plat {

inline const char* fontFolder() { return "./fonts"; }

} // namespace plat
