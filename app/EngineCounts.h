#pragma once
// The engine's scene managers, meshes and entities right now, as one line.
// The menu writes it to the engine's log at every entry, so that a long run
// shows whether visits leave anything behind.
#include <string>

std::string engineCounts();
