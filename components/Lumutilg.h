#pragma once
// Bevel frames drawn on chosen edges only.

#include "platform/classes/Properties.h"
#include "platform/classes/Set.h"
#include "platform/graphics/Canvas.h"

enum TBevelEdge { beLeft, beTop, beRight, beBottom };
using TBevelEdges = TSet<TBevelEdge>;

extern const TEnumInfo kBevelEdgeIdents;

inline const TBevelEdges kAllBevelEdges{beLeft, beTop, beRight, beBottom};

// A bevel frame width pixels wide on edges of rect: the left and top edges
// in topLeft, the right and bottom ones in bottomRight. rect shrinks by
// width on every side.
void Frame3DEdges(TCanvas* canvas, TRect& rect, TColor topLeft, TBevelEdges edges, int width,
                  TColor bottomRight);
