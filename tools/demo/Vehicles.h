// The road car, the aeroplane and the helicopter of the demo, with their .ini values.
//
// The road car's origin is under the middle of its wheelbase on the road; its rear axle lies
// "後輪位置" behind. The aeroplane's origin is its centre. The helicopter's origin is the bottom
// of its skids, so that a camera placed at the helicopter and looking down sees past it.
#pragma once

#include "demo/MeshBuilder.h"

#include <string>
#include <utility>
#include <vector>

namespace demo {

struct VehicleModel {
    std::string folder; // "car", "plane" or "helicopter"
    std::string name;
    MeshBuilder mesh;
    // The .ini keys and values, in the order the program reads them.
    std::vector<std::pair<std::string, std::string>> ini;
};

std::vector<VehicleModel> VehicleModels();

} // namespace demo
