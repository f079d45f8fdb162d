#pragma once
// The game's figure table: every figure of figures/ by its type code.
#include "model/FigureTable.h"

const FigureTable& gameFigureTable();
