// What a run follows during its passes and reports at its end: the lead cars' distances, the
// route changes of placed objects, the frames the device finished, and the report made of them
// with the application's state. Headless runs and the window's --report use them.
#pragma once

#include "app/CSimulatorApp.h"
#include "app/script/RunReport.h"
#include "math/Vector.h"
#include "platform/RecordingDialogService.h"

#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace app::headless {

// What the report follows during the passes: how far each lead car has moved and every
// route change of a placed object.
class RunObserver {
  public:
    explicit RunObserver(CSimulatorApp& app) : app_(app) { Resync(); }

    // Takes the state as it is now as the starting point of what follows.
    void Resync()
    {
        routes_.clear();
        for (const auto& object : app_.Layout().PlacedObjects())
            routes_[object.index] = object.route;
        for (int slot = 1; slot <= kTrainSlotCount; ++slot)
            lead_[slot - 1] = LeadPosition(slot);
    }

    void AfterPass(int frame)
    {
        for (const auto& object : app_.Layout().PlacedObjects()) {
            const auto known = routes_.find(object.index);
            if (known != routes_.end() && known->second != object.route)
                changes_.push_back({frame, object.index, known->second, object.route});
            routes_[object.index] = object.route;
        }
        for (int slot = 1; slot <= kTrainSlotCount; ++slot) {
            const auto now = LeadPosition(slot);
            auto& before = lead_[slot - 1];
            if (now && before) distance_[slot - 1] += std::hypot(now->x - before->x, now->z - before->z);
            before = now;
        }
    }

    double Distance(int slot) const { return distance_[slot - 1]; }
    const std::vector<RouteChange>& Changes() const { return changes_; }

  private:
    std::optional<math::Vec3> LeadPosition(int slot) const
    {
        const TrainState train = app_.Vehicles().Train(slot);
        if (train.cars.empty()) return std::nullopt;
        return math::Vec3{train.cars.front().x, train.cars.front().y, train.cars.front().z};
    }

    CSimulatorApp& app_;
    std::map<int, int> routes_;
    std::array<std::optional<math::Vec3>, kTrainSlotCount> lead_{};
    std::array<double, kTrainSlotCount> distance_{};
    std::vector<RouteChange> changes_;
};

// The drawing of the passes on a device that can say when it has finished a frame, with the
// wait for it: what a frame costs when the rasteriser's time is counted too.
struct FinishedFrames {
    int frames = 0;
    double totalMs = 0;
};

// The report of the run so far with the messages it showed (the window's --report too).
// The operation's share of the report: the protection switch, trains in a circular wait and
// each slot's state.
OperationReport CollectOperation(const operation::Operation& operation);
RunReport CollectRunReport(CSimulatorApp& app, const RunObserver& observer, std::vector<std::string> messages);
// A headless run's report, with the time the device took to finish the frames.
RunReport CollectReport(CSimulatorApp& app, const RunObserver& observer,
                        const platform::RecordingDialogService& dialogs, const FinishedFrames& finished);

} // namespace app::headless
