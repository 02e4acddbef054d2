// The state a headless run reports at its end: what the camera looks at, the catalogue, the
// trains, the placed objects and their route changes, the three vehicles and the messages the
// run raised. Angles of vehicles are in radians, those of placed objects in degrees.
#pragma once

#include "app/RunState.h"
#include "layout/Ruler.h"
#include "math/Vector.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace app {

struct TrainReport {
    TrainState state;
    // Horizontal distance the lead car moved during the run.
    double distance = 0;
};

// The operation of the layout, reported only when it is in use.
struct OperationReport {
    struct Train {
        int slot = 0;
        bool autopilot = false;
        std::string state;        // manual, running, braking, dwelling, waiting, deadlock
        std::optional<int> waitingFor; // a slot, or none
        std::string waitingWord;  // "end" or "path" when waiting for no train
        int stopsMade = 0;
        int reversals = 0;
    };
    bool protect = false;
    std::vector<int> deadlock;
    std::vector<int> offTrack; // running trains with no place on the track graph
    std::vector<Train> trains;
};

// Pause, fast-forward and the passes simulated since Start, with the wall-clock time they took.
struct ClockState {
    bool paused = false;
    int rate = 1;
    std::int64_t passes = 0;
    std::int64_t frames = 0;
    double seconds = 0;
};

struct RunReport {
    int frames = 0;
    double peakRssMb = 0;    // the most resident memory the process had, in MiB
    double simulationMs = 0; // average per pass
    double drawingMs = 0;    // average per pass
    // With the OpenGL device: the drawing of a pass and the wait until the device has finished
    // the frame, on average. Nothing with the recording device.
    std::optional<double> frameGlMs;
    math::Vec3 eye;
    math::Vec3 target;
    std::vector<std::string> types;
    std::vector<TrainReport> trains;
    std::vector<PlacedObjectState> objects;
    // Objects kept as placeholders, per type name the object folder lacks; the report has
    // "placeholders" and "missing_types" only when there are some.
    std::vector<std::pair<std::string, int>> missingTypes;
    std::vector<RouteChange> routeChanges;
    RoadCarState car;
    PlaneState plane;
    HelicopterState helicopter;
    std::vector<std::string> messages;
    HistoryState history;
    ClockState clock;
    // A signal stopped the run before its script ended (reported only then).
    bool interrupted = false;
    // The ruler's last reading, when it has one.
    std::optional<layout::RulerReading> measure;
    std::optional<OperationReport> operation;
};

// The report as one JSON object.
std::string ReportJson(const RunReport& report);

} // namespace app
