// Small parts shared by the vehicle models: wheels, slanted beams, panels on the sides of a
// body that runs along z.
#pragma once

#include "demo/MeshBuilder.h"

namespace demo {

// A wheel turning about the x axis, centred at centre.
void AddWheelX(MeshBuilder& mesh, int tyre, int hub, V3 centre, double radius, double width, int sides = 14);

// A square beam from a to b, both in one plane x = const (x of a), thick in y-z and wide in x.
void AddBeamYZ(MeshBuilder& mesh, int material, V3 a, V3 b, double halfWidthX, double thickness);

// A rectangle on the side wall x = ±x (side +1 faces +x, -1 faces -x) from (z0, y0) to (z1, y1).
void SidePanel(MeshBuilder& mesh, int material, int side, double x, double z0, double z1, double y0,
               double y1);
// A rectangle on the end wall z = const facing +z (facing = +1) or -z (facing = -1).
void EndPanel(MeshBuilder& mesh, int material, int facing, double z, double x0, double x1, double y0,
              double y1);

} // namespace demo
