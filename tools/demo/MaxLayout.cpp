#include "demo/MaxLayout.h"

#include <stdexcept>

namespace demo {

namespace {

bool IsTree(const std::string& type)
{
    return type.rfind("tree_", 0) == 0;
}

// The name of a demo type in a tile: the first tile keeps the demo's names; `alternate` is the
// second copy that the trees of every tile take turns with.
std::string TileTypeName(const std::string& base, int tile, bool alternate)
{
    if (tile == 0 && !alternate) return base;
    return base + "_t" + std::to_string(tile + 1) + (alternate ? "b" : "");
}

} // namespace

bool TreesAlternate(std::size_t demoTypeCount)
{
    return demoTypeCount * maximum::kTiles < static_cast<std::size_t>(maximum::kTypes);
}

std::vector<TypeCopy> MaxTypeCopies(const std::vector<std::string>& demoTypes)
{
    const bool alternate = TreesAlternate(demoTypes.size());
    std::vector<TypeCopy> copies;
    for (int tile = 0; tile < maximum::kTiles; ++tile) {
        for (const std::string& base : demoTypes) {
            if (tile > 0) copies.push_back({base, TileTypeName(base, tile, false)});
            if (alternate && IsTree(base)) copies.push_back({base, TileTypeName(base, tile, true)});
        }
    }
    if (demoTypes.size() + copies.size() != static_cast<std::size_t>(maximum::kTypes))
        throw std::logic_error("the maximum layout's catalogue is not " + std::to_string(maximum::kTypes) +
                               " types but " + std::to_string(demoTypes.size() + copies.size()));
    return copies;
}

DemoLayout BuildMaxLayout(const DemoLayout& demo, std::size_t demoTypeCount)
{
    const bool alternate = TreesAlternate(demoTypeCount);
    const std::size_t perTile = demo.objects.size();
    std::size_t trees = 0;
    for (const PlacedPiece& o : demo.objects)
        trees += IsTree(o.type) ? 1 : 0;
    const long long excess = static_cast<long long>(perTile) * maximum::kTiles - maximum::kObjects;
    if (excess < 0 || excess > static_cast<long long>(trees) * maximum::kTiles)
        throw std::logic_error("the demo layout cannot be tiled to exactly " + std::to_string(maximum::kObjects) +
                               " objects");

    DemoLayout out = demo;
    out.objects.clear();
    // The largest layout keeps its trains in the user's hands.
    out.station.clear();
    out.loopWest.clear();
    out.loopEast.clear();
    for (int tile = 0; tile < maximum::kTiles; ++tile) {
        const double dx = maximum::kTileStepX * (tile % maximum::kTilesAcross);
        const double dz = maximum::kTileStepZ * (tile / maximum::kTilesAcross);
        // The trees planted last are the ones left out.
        const long long drop = excess / maximum::kTiles + (tile < excess % maximum::kTiles ? 1 : 0);
        const long long keepTrees = static_cast<long long>(trees) - drop;
        long long tree = 0;
        for (const PlacedPiece& o : demo.objects) {
            PlacedPiece placed = o;
            if (IsTree(o.type)) {
                if (tree >= keepTrees) continue;
                placed.type = TileTypeName(o.type, tile, alternate && tree % 2 == 1);
                ++tree;
            } else {
                placed.type = TileTypeName(o.type, tile, false);
            }
            placed.x += dx;
            placed.z += dz;
            out.objects.push_back(std::move(placed));
        }
    }

    // The freight trains stand at the east end of each tile's southern straight, heading east,
    // so that all sixteen cars stand on the straight behind the locomotive.
    for (std::size_t slot = 0; slot < out.trains.size(); ++slot) {
        const int tile = static_cast<int>(slot);
        out.trains[slot] = {300.0 + maximum::kTileStepX * (tile % maximum::kTilesAcross), track::kRunningHeight,
                            maximum::kTileStepZ * (tile / maximum::kTilesAcross), kPi / 2, maximum::kTrain};
    }
    return out;
}

TrainFile MaxTrainFile()
{
    TrainFile train{maximum::kTrain, 0, 0.2, {{"el_loco", 0}}};
    const char* wagons[] = {"wagon_box", "wagon_tank", "wagon_container"};
    for (int i = 1; i < maximum::kTrainCars; ++i)
        train.cars.push_back({wagons[(i - 1) % 3], 0});
    return train;
}

} // namespace demo
