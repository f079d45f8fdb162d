#pragma once
// A part's vertex edits as a table, run in table order on the current part.
#include "model/Model.h"

#include <initializer_list>

struct VertexEdit {
    int vertex;
    double x, y, z;
};

using VertexEdits = std::initializer_list<VertexEdit>;

// editVertex for every row: the edits shape the mesh only when the current
// part made it.
inline void editVertices(Model& model, VertexEdits edits)
{
    for (const VertexEdit& e : edits)
        model.editVertex(e.vertex, e.x, e.y, e.z);
}
