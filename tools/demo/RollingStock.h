// The demo trains: car models (with their .ini values) and the train files that put them
// together.
//
// A car's origin lies on the running surface of the track under the middle of the car, with
// its length along z; its wheels stand on the rail tops (track::kRailHeight higher). The probes
// sit over the bogie centres, so that a car on a curve hangs between them as real cars do.
#pragma once

#include "demo/MeshBuilder.h"

#include <string>
#include <utility>
#include <vector>

namespace demo {

struct CarModel {
    std::string name;
    MeshBuilder mesh;
    double seatY = 0, seatZ = 0; // driver's seat, read for the first car of a train
    double front = 1, rear = 1;  // probe distances
};

struct TrainFile {
    std::string name;
    double verticalOffset = 0;
    double carGap = 0.2;
    // Model name and turn in degrees for cars 1, 2, ...
    std::vector<std::pair<std::string, double>> cars;
};

std::vector<CarModel> CarModels();
std::vector<TrainFile> TrainFiles();

// The built-in model name; its .ini is written like any other, without a mesh.
inline constexpr const char* kTeapotModel = "Teapot";
// The teapot's probes and seat, and how far its trains are lifted so that it sits on the rails.
CarModel TeapotSettings();

} // namespace demo
