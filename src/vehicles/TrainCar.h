// One car of a train: its model with bounds and sphere, its probe distances and its pose.
#pragma once

#include "math/Vector.h"
#include "model/MeshBounds.h"
#include "model/MeshModel.h"

namespace vehicles {

struct TrainCar {
    model::CMeshModel model;
    model::MeshBox bounds;    // of the model turned by the model angle; z is the length axis
    model::MeshSphere sphere; // of the model as loaded
    float modelAngle = 0;     // radians about the vertical axis
    float frontProbe = 0;     // the track is probed this far ahead of the origin
    float rearProbe = 0;      // and this far behind it
    math::Vec3 position;
    float pitch = 0; // radians, nose up positive
    float yaw = 0;   // radians, 0 faces +z

    // What the last track-following pass found: the placed objects under the front and rear
    // probes (-1 for none) and where the probes met the track's centre line.
    int below = -1;
    int belowRear = -1;
    math::Vec3 guideFront;
    math::Vec3 guideRear;

    bool HasModel() const { return !model.empty(); }
};

} // namespace vehicles
