#include "app/RunObserver.h"

#include "app/CSimulatorApp.h"
#include "platform/Memory.h"

#include <cmath>

namespace app {

void RunObserver::Resync()
{
    routes_.clear();
    for (const auto& object : app_.Layout().PlacedObjects())
        routes_[object.index] = object.route;
    for (int slot = 1; slot <= kTrainSlotCount; ++slot)
        lead_[slot - 1] = LeadPosition(slot);
}

void RunObserver::AfterPass(int frame)
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

std::optional<math::Vec3> RunObserver::LeadPosition(int slot) const
{
    const TrainState train = app_.Vehicles().Train(slot);
    if (train.cars.empty()) return std::nullopt;
    return math::Vec3{train.cars.front().x, train.cars.front().y, train.cars.front().z};
}

RunReport CollectRunReport(CSimulatorApp& app, const RunObserver& observer, std::vector<std::string> messages)
{
    RunReport report;
    const PassTimes& times = app.Times();
    report.frames = times.passes;
    if (times.passes > 0) {
        report.simulationMs = times.simulationMs / times.passes;
        report.drawingMs = times.drawingMs / times.passes;
    }
    report.eye = app.Camera().Eye();
    report.target = app.Camera().Target();
    report.types = app.Layout().TypeNames();
    for (int slot = 1; slot <= kTrainSlotCount; ++slot)
        report.trains.push_back({app.Vehicles().Train(slot), observer.Distance(slot)});
    report.objects = app.Layout().PlacedObjects();
    report.history = app.Layout().History();
    report.routeChanges = observer.Changes();
    report.car = app.Vehicles().RoadCar();
    report.plane = app.Vehicles().Plane();
    report.helicopter = app.Vehicles().Helicopter();
    report.messages = std::move(messages);
    report.peakRssMb = platform::PeakResidentMb();
    const PassClock& clock = app.Clock();
    report.clock = {
        .paused = clock.Paused(), .rate = clock.Rate(), .passes = clock.Passes(), .seconds = clock.Seconds()};
    return report;
}

} // namespace app
