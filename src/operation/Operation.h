// Trains that run by themselves and never run into anything: the layout's protection switch,
// each slot's autopilot, cruising speed, shuttle and itinerary, and the stops marked on the
// track. Each pass, after the trains have settled onto the track, every train is located on the
// track graph from the objects under its probes, looks ahead as far as it needs to stop, and is
// given the speed it may not exceed in the next pass (and, on autopilot, the speed it aims for).
#pragma once

#include "layout/PlacedObject.h"
#include "layout/PlacedObjects.h"
#include "math/Vector.h"
#include "operation/TrackGraph.h"
#include "vehicles/CTrain.h"

#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace layout {
class CLayout;
}

namespace operation {

inline constexpr int kSlots = 6;
// Braking and accelerating as the drive keys do, per pass.
inline constexpr double kBrakeRate = vehicles::CTrain::kAcceleration;
// Trains come to rest this far short of an obstacle.
inline constexpr float kMargin = 2.0f;
inline constexpr int kPassesPerSecond = 60;
inline constexpr int kDefaultCruiseKmh = 60;
inline constexpr int kDefaultDwellSeconds = 20;
// The speed read-out shows 200 km/h per unit a pass.
inline constexpr double kKmhPerUnit = 200.0;
inline constexpr float kNoLimit = std::numeric_limits<float>::infinity();

// What a slot is set to do; part of the map.
struct SlotSettings {
    bool autopilot = false;
    int cruiseKmh = kDefaultCruiseKmh;
    bool shuttle = false;
    std::vector<layout::ObjectId> itinerary; // stops by one of their pieces
    bool operator==(const SlotSettings&) const = default;
    bool Set() const { return *this != SlotSettings{}; }
};

// Everything of operation a map keeps: pieces refer to placed objects by their stable ids.
struct OperationSettings {
    bool protect = false;
    std::array<SlotSettings, kSlots> slots{};
    std::map<layout::ObjectId, int> stops; // marked piece → dwell seconds
    // Marked pieces whose stop is a terminus: a shuttle turns back there even where the track
    // goes on. A run is a terminus when any of its pieces is.
    std::set<layout::ObjectId> termini;
    bool operator==(const OperationSettings&) const = default;
    // Whether anything is set at all: only then does a map carry operation data.
    bool Any() const;
};

enum class TrainStateKind { Manual, Running, Braking, Dwelling, Waiting, Deadlock };
// What a waiting train waits for: a slot 1 to 6, or one of these.
inline constexpr int kWaitsForNothing = 0;
inline constexpr int kWaitsForEnd = -1;
inline constexpr int kWaitsForPath = -2;

// A train as the pass left it.
struct TrainView {
    struct Car {
        math::Vec3 position;
        float yaw = 0;
        int below = -1;
        int belowRear = -1;
    };
    bool runs = false;
    float speed = 0;
    float halfLength = 0; // half the distance between neighbouring car centres
    std::vector<Car> cars;
};

// What a train is given for the next pass.
struct TrainOrder {
    float limitForward = kNoLimit;  // the most speed may be
    float limitBackward = kNoLimit; // the most −speed may be
    std::optional<float> autoSpeed; // autopilot: the speed to reach
};

struct TrainStatus {
    TrainStateKind state = TrainStateKind::Manual;
    int waitingFor = kWaitsForNothing;
    int dwellPasses = 0; // left
    int stopsMade = 0;
    int reversals = 0;
    bool offTrack = false; // runs but stands where no track line is
    bool held = false;     // protection keeps it below what it was asked to do
    bool tooLong = false;  // dwelling at a stop whose run is shorter than the train
};

// English words of a state, as the run report writes them.
const char* StateWord(TrainStateKind state);

class Operation {
  public:
    const OperationSettings& Settings() const { return settings_; }
    // Replaces every setting (a loaded map, an undo); the trains' counters start again.
    void SetSettings(OperationSettings settings);
    // Replaces every setting as a user edit does: the trains' runs go on.
    void Change(OperationSettings settings) { settings_ = std::move(settings); }
    bool InUse() const { return settings_.Any(); }

    // --- per slot 1 to 6 (others are ignored) and the stops, as a window sets them
    bool Protect() const { return settings_.protect; }
    void SetProtect(bool on) { settings_.protect = on; }
    const SlotSettings& Slot(int slot) const;
    void SetAutopilot(int slot, bool on);
    void SetCruise(int slot, int kmh);
    void SetShuttle(int slot, bool on);
    void SetItinerary(int slot, std::vector<layout::ObjectId> stops);
    // Marks a piece as part of a stop with its dwell; 0 seconds removes it (and its terminus).
    void MarkStop(layout::ObjectId piece, int seconds);
    // Makes a marked piece's stop a terminus, or not; a piece that is no stop is left alone.
    void SetTerminus(layout::ObjectId piece, bool on);
    // The train's keys took it back into manual.
    void TakeOver(int slot);

    // Rebuilds the track graph when the placed objects changed since the last call.
    void RefreshGraph(const layout::CLayout& layout);
    // For tests and tools: the graph from lines given directly.
    void SetGraph(std::vector<PieceLine> lines, int objectCount);
    const TrackGraph& Graph() const { return graph_; }

    // One pass: trains[i] is slot i + 1; objects are the placed records (turnout routes) and
    // ids maps each record index to its stable id.
    std::array<TrainOrder, kSlots> Step(std::span<const TrainView> trains, std::span<const layout::PlacedObject> objects,
                                        std::span<const layout::ObjectId> ids);

    const TrainStatus& Status(int slot) const;
    // Turnouts the last pass set for an itinerary: object index and route. The caller switches
    // them before the next pass.
    struct RouteSetting {
        int object = 0;
        int route = 0;
    };
    const std::vector<RouteSetting>& RouteSettings() const { return routeSettings_; }
    // The slots in a circular wait, in order.
    const std::vector<int>& Deadlock() const { return deadlock_; }

    // The stops as runs of marked pieces joined end to end on the graph: each run's record
    // indexes, ascending; the runs in the order of their first piece. ids maps each record index
    // to its stable id.
    std::vector<std::vector<int>> StopRuns(std::span<const layout::ObjectId> ids) const;

  private:
    struct Occupant {
        int object = 0;
        int slot = 0;
        math::Vec3 centre;
        float halfLength = 0;
        bool operator<(const Occupant& o) const { return object < o.object; }
    };
    struct Ahead {
        float distance = kNoLimit; // to where the leading car's centre must come to rest
        int waitsFor = kWaitsForNothing;
        bool stop = false;     // the stop target of an autopilot train
        bool terminus = false; // that stop's run ends at an open end or is marked a terminus
        int dwellSeconds = kDefaultDwellSeconds;
        int turnout = -1; // the first turnout ahead within reach and short of any obstacle
    };
    struct Runtime {
        int direction = 1;
        bool served = false;   // standing in a stop it has served; no stop there again
        bool reverse = false;  // reverse when the dwell ends
        bool wasAuto = false;
        std::size_t nextStop = 0; // of the itinerary
        // Distances on the graph to the itinerary's next stop, per line and direction.
        int distanceTarget = -1;
        std::uint64_t distanceGraph = 0;
        std::vector<float> distance;
        TrainStatus status;
    };

    Ahead LookAhead(int slot, const TrainView& train, int direction, float reach,
                    std::span<const layout::PlacedObject> objects, std::span<const layout::ObjectId> ids,
                    bool stops, bool* onStop);
    LinePlace Place(const TrainView& train, int direction, std::span<const layout::PlacedObject> objects) const;
    int StopSeconds(int object, std::span<const layout::ObjectId> ids) const;
    bool IsTerminus(int object, std::span<const layout::ObjectId> ids) const;
    // Whether the stop run the place lies in reaches, behind it, a piece the test accepts.
    template <typename Test>
    bool RunBehindHas(LinePlace at, Test test, std::span<const layout::PlacedObject> objects,
                      std::span<const layout::ObjectId> ids) const;
    // How much of the stop run lies behind a place on it, as far as the track leads back.
    float RunLengthBehind(LinePlace at, std::span<const layout::PlacedObject> objects,
                          std::span<const layout::ObjectId> ids) const;
    // The object of the slot's next itinerary stop, -1 without one.
    int NextStopObject(int slot, std::span<const layout::ObjectId> ids) const;
    // How far each line, entered in each direction, is from the object along the track (any
    // route of a turnout), kept per slot until the graph or the target changes.
    const std::vector<float>& DistancesTo(int slot, int object);
    // At a line's end: the line the itinerary takes, setting a facing turnout where it may;
    // invalid when no way on leads to the target.
    LinePlace Steer(int slot, int target, int line, int end, std::span<const layout::PlacedObject> objects);
    void FindDeadlock();
    bool IsTurnout(int object) const;
    bool Occupies(int slot, int object) const;
    // The slot holding the turnout, 0 when none does.
    int Holder(int object) const;
    // The turnouts a train holds: those its cars stand on, and the first one ahead of it when it
    // moves or is about to; the others it held are given up.
    void Reserve(int slot, bool moving, int turnoutAhead);

    OperationSettings settings_;
    TrackGraph graph_;
    std::uint64_t graphRevision_ = 0;
    bool graphBuilt_ = false;
    std::array<Runtime, kSlots> runtime_{};
    std::vector<Occupant> occupants_;
    std::vector<int> deadlock_;
    std::vector<RouteSetting> routeSettings_;
    // Turnouts held by a train (object → slot), so that no other train enters them meanwhile.
    std::map<int, int> reserved_;
    std::uint64_t graphVersion_ = 1; // counts the graphs built
};

// The highest speed from which braking at kBrakeRate a pass ends within `distance`.
float StoppingSpeed(float distance);

} // namespace operation
