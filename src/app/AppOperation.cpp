// CSimulatorApp: the operation step of a pass, between the trains' track following and the next
// pass's speed rule.
#include "app/CSimulatorApp.h"

#include "layout/LayoutEdit.h"

namespace app {

void CSimulatorApp::ChangeOperation(operation::OperationSettings settings)
{
    const layout::PlacedObjects& placed = appLayout_.Core().Placed();
    std::vector<std::string> before = operation::OperationLines(operation_.Settings(), placed);
    std::vector<std::string> after = operation::OperationLines(settings, placed);
    operation_.Change(std::move(settings));
    appLayout_.Core().RecordDataEdit(layout::editname::kOperation, std::move(before), std::move(after));
}

void CSimulatorApp::StepOperation()
{
    // Only the application's own trains and layout take part.
    if (vehicles_ != &appVehicles_ || layout_ != &appLayout_) return;
    auto trains = appVehicles_.Slots();
    if (!operation_.InUse()) {
        if (operationActive_) {
            for (vehicles::CTrain& train : trains) {
                train.SetSpeedLimits(operation::kNoLimit, operation::kNoLimit);
                train.SetAutoSpeed(std::nullopt);
            }
            operationActive_ = false;
        }
        return;
    }
    operationActive_ = true;
    const layout::CLayout& core = appLayout_.Core();
    operation_.RefreshGraph(core);

    std::array<operation::TrainView, operation::kSlots> views;
    for (vehicles::CTrain& train : trains) {
        const int slot = train.Slot();
        if (slot < 1 || slot > operation::kSlots) continue;
        if (train.TookOver()) operation_.TakeOver(slot);
        operation::TrainView& view = views[static_cast<std::size_t>(slot - 1)];
        view.runs = appVehicles_.TrainRuns(slot);
        if (!view.runs) continue;
        view.speed = train.Speed();
        const vehicles::TrainCar& lead = train.Car(0);
        view.halfLength = ((lead.bounds.maxZ - lead.bounds.minZ) + train.CarGap()) * 0.5f;
        for (const vehicles::TrainCar& car : train.Cars())
            view.cars.push_back({car.position, car.yaw, car.below, car.belowRear});
    }
    const layout::PlacedObjects& placed = core.Placed();
    ids_.resize(static_cast<std::size_t>(placed.Count()));
    for (int i = 0; i < placed.Count(); ++i)
        ids_[static_cast<std::size_t>(i)] = placed.IdOf(i);
    const auto orders = operation_.Step(views, placed.All(), ids_);
    // Turnouts set for itineraries, as if the train had thrown them.
    if (!operation_.RouteSettings().empty()) {
        for (const operation::Operation::RouteSetting& setting : operation_.RouteSettings())
            appLayout_.Core().Placed().SetRoute(setting.object, setting.route);
        RefreshTurnoutControls();
    }
    for (vehicles::CTrain& train : trains) {
        const int slot = train.Slot();
        if (slot < 1 || slot > operation::kSlots) continue;
        const operation::TrainOrder& order = orders[static_cast<std::size_t>(slot - 1)];
        train.SetSpeedLimits(order.limitForward, order.limitBackward);
        train.SetAutoSpeed(order.autoSpeed);
    }
}

} // namespace app
