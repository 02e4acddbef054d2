// The largest layout the program takes, for measuring speed where it matters most: the demo
// layout repeated in eight tiles side by side, each tile over its own copies of the demo's
// object types, so that both the catalogue (200 types) and the map (2000 placed objects) are
// full. Six freight trains of 16 cars stand on the main lines of the first six tiles; the road
// car, the aeroplane and the helicopter are those of the first tile.
#pragma once

#include "demo/DemoLayout.h"
#include "demo/RollingStock.h"
#include "layout/LayoutLimits.h"

#include <string>
#include <string_view>
#include <vector>

namespace demo {

namespace maximum {
inline constexpr int kTiles = 8;
inline constexpr int kTilesAcross = 4;
// Far enough apart that no two tiles' trees, roads or tracks meet.
inline constexpr double kTileStepX = 700.0;
inline constexpr double kTileStepZ = 1450.0;
// The catalogue and the map as full as the program lets them be.
inline constexpr int kTypes = layout::kMaxObjectTypes;
inline constexpr int kObjects = layout::kMaxPlacedObjects;
inline constexpr int kTrainCars = 16;
inline constexpr const char* kTrain = "freight_16car";
inline constexpr std::string_view kMap = "objects/max.txt";
// The ground under all tiles.
inline constexpr double kGroundSide = 3200.0;
inline constexpr double kGroundCentreX = 1210.0;
inline constexpr double kGroundCentreZ = 1150.0;
} // namespace maximum

// One object type of the maximum layout that is a copy of a demo type under another name.
struct TypeCopy {
    std::string base;
    std::string name;
};

// Whether the trees of every tile take turns with a second copy of their type: only while the
// demo's types copied into every tile leave room in the catalogue for those.
bool TreesAlternate(std::size_t demoTypeCount);

// The copies that fill the catalogue, given the demo's types (track pieces and scenery).
// Throws when the copies and the demo's types together are not exactly maximum::kTypes.
std::vector<TypeCopy> MaxTypeCopies(const std::vector<std::string>& demoTypes);

// The demo layout tiled; trees are left out evenly across the tiles so that exactly
// maximum::kObjects objects are placed.
DemoLayout BuildMaxLayout(const DemoLayout& demo, std::size_t demoTypeCount);

// A locomotive and fifteen wagons of the demo's freight stock.
TrainFile MaxTrainFile();

} // namespace demo
