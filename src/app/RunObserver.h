// What a run report follows during the passes (how far each lead car has moved and every route
// change of a placed object), and the report of a run as the application stands at its end.
// The headless runner and the window's --report both use them.
#pragma once

#include "app/RunReport.h"
#include "math/Vector.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace app {

class CSimulatorApp;

class RunObserver {
  public:
    explicit RunObserver(CSimulatorApp& app) : app_(app) { Resync(); }

    // Takes the state as it is now as the starting point of what follows.
    void Resync();
    void AfterPass(int frame);

    double Distance(int slot) const { return distance_[slot - 1]; }
    const std::vector<RouteChange>& Changes() const { return changes_; }

  private:
    std::optional<math::Vec3> LeadPosition(int slot) const;

    CSimulatorApp& app_;
    std::map<int, int> routes_;
    std::array<std::optional<math::Vec3>, kTrainSlotCount> lead_{};
    std::array<double, kTrainSlotCount> distance_{};
    std::vector<RouteChange> changes_;
};

// The report of the run so far, with the messages it showed; the caller adds what only it knows
// (the time the device took to finish the frames).
RunReport CollectRunReport(CSimulatorApp& app, const RunObserver& observer, std::vector<std::string> messages);

} // namespace app
