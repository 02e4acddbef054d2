// The colours of the demo content. Surfaces facing up are lit by three of the program's four
// lights and come out about 1.7 times their diffuse colour, walls by two (about 1.15 times), so
// the colours here are darker than they look on screen.
#pragma once

#include "demo/MeshBuilder.h"

#include <string>

namespace demo::mat {

inline MaterialDef Plain(std::string name, float r, float g, float b)
{
    return {std::move(name), {r, g, b}, {}, {}};
}
inline MaterialDef Glowing(std::string name, float r, float g, float b)
{
    return {std::move(name), {r, g, b}, {r, g, b}, {}};
}

// Track.
inline MaterialDef RailHead()
{
    return Plain("RailHead", 0.55f, 0.56f, 0.58f);
}
inline MaterialDef RailSide()
{
    return Plain("RailSide", 0.33f, 0.24f, 0.18f);
}
inline MaterialDef Sleeper()
{
    return Plain("Sleeper", 0.30f, 0.22f, 0.16f);
}
inline MaterialDef Ballast()
{
    return Plain("Ballast", 0.36f, 0.35f, 0.33f);
}
inline MaterialDef BallastSide()
{
    return Plain("BallastSide", 0.42f, 0.40f, 0.37f);
}
inline MaterialDef Embankment()
{
    return {"Embankment", {0.60f, 0.60f, 0.60f}, {}, "ground.png"};
}
inline MaterialDef Concrete()
{
    return Plain("Concrete", 0.52f, 0.52f, 0.50f);
}
inline MaterialDef Girder()
{
    return Plain("Girder", 0.20f, 0.30f, 0.42f);
}
inline MaterialDef Asphalt()
{
    return Plain("Asphalt", 0.17f, 0.17f, 0.18f);
}
inline MaterialDef RoadLine()
{
    return Plain("RoadLine", 0.58f, 0.58f, 0.56f);
}
inline MaterialDef CrossingPanel()
{
    return Plain("CrossingPanel", 0.28f, 0.27f, 0.26f);
}
inline MaterialDef SignalYellow()
{
    return Plain("SignalYellow", 0.85f, 0.70f, 0.05f);
}
inline MaterialDef SignalBlack()
{
    return Plain("SignalBlack", 0.06f, 0.06f, 0.06f);
}
inline MaterialDef LampRed()
{
    return Glowing("LampRed", 0.75f, 0.05f, 0.04f);
}
inline MaterialDef BufferRed()
{
    return Plain("BufferRed", 0.70f, 0.08f, 0.06f);
}
inline MaterialDef White()
{
    return Plain("White", 0.80f, 0.80f, 0.78f);
}

// Buildings and scenery.
inline MaterialDef PlatformTop()
{
    return Plain("PlatformTop", 0.46f, 0.45f, 0.42f);
}
inline MaterialDef PlatformEdge()
{
    return Plain("PlatformEdge", 0.70f, 0.70f, 0.66f);
}
inline MaterialDef TactileYellow()
{
    return Plain("TactileYellow", 0.75f, 0.62f, 0.08f);
}
inline MaterialDef Roof()
{
    return Plain("Roof", 0.30f, 0.32f, 0.34f);
}
inline MaterialDef RoofRed()
{
    return Plain("RoofRed", 0.50f, 0.16f, 0.10f);
}
inline MaterialDef RoofBlue()
{
    return Plain("RoofBlue", 0.16f, 0.24f, 0.40f);
}
inline MaterialDef RoofBrown()
{
    return Plain("RoofBrown", 0.32f, 0.22f, 0.15f);
}
inline MaterialDef WallCream()
{
    return Plain("WallCream", 0.78f, 0.72f, 0.58f);
}
inline MaterialDef WallWhite()
{
    return Plain("WallWhite", 0.78f, 0.77f, 0.74f);
}
inline MaterialDef WallBrick()
{
    return Plain("WallBrick", 0.55f, 0.30f, 0.20f);
}
inline MaterialDef WallGrey()
{
    return Plain("WallGrey", 0.50f, 0.51f, 0.52f);
}
inline MaterialDef Glass()
{
    return Plain("Glass", 0.14f, 0.20f, 0.27f);
}
inline MaterialDef Door()
{
    return Plain("Door", 0.30f, 0.20f, 0.12f);
}
inline MaterialDef Trunk()
{
    return Plain("Trunk", 0.30f, 0.20f, 0.12f);
}
inline MaterialDef Leaves()
{
    return Plain("Leaves", 0.16f, 0.36f, 0.12f);
}
inline MaterialDef Needles()
{
    return Plain("Needles", 0.08f, 0.25f, 0.12f);
}
inline MaterialDef Ground()
{
    return {"Ground", {0.60f, 0.60f, 0.60f}, {}, "ground.png"};
}

} // namespace demo::mat
