#include "world/gameWorld.h"

gameWorld::gameWorld(bare_t) {}

gameWorld::~gameWorld() {}
