// CSimulatorApp: the "運転管理" window's view of the operation. Stops and itineraries are shown by
// the record index of their pieces, as the headless actions and the map name them; every change
// goes through ChangeOperation, so it is an edit that undoes.
#include "app/CSimulatorApp.h"

#include "layout/LayoutSelection.h"
#include "render/OperationText.h"
#include "ui/OperationTemplate.h"

namespace app {

namespace {

class OperationWindowPort : public OperationPort {
  public:
    explicit OperationWindowPort(CSimulatorApp& app) : app_(app) {}

    bool Protect() const override { return app_.Operation().Protect(); }

    void SetProtect(bool on) override
    {
        operation::OperationSettings settings = app_.Operation().Settings();
        if (settings.protect == on) return;
        settings.protect = on;
        app_.ChangeOperation(std::move(settings));
    }

    OperationSlotView Slot(int slot) const override
    {
        const operation::Operation& operation = app_.Operation();
        const operation::SlotSettings& settings = operation.Slot(slot);
        OperationSlotView view{.slot = slot,
                               .hasTrain = app_.OwnVehicles().TrainRuns(slot),
                               .autopilot = settings.autopilot,
                               .cruiseKmh = settings.cruiseKmh,
                               .shuttle = settings.shuttle,
                               .itinerary = {},
                               .state = {}};
        const layout::PlacedObjects& placed = app_.OwnLayout().Core().Placed();
        for (const layout::ObjectId id : settings.itinerary) {
            if (const int index = placed.IndexOf(id); index >= 0) view.itinerary.push_back(index);
        }
        view.state = operation.InUse() ? render::TrainStateText(operation.Status(slot), operation.Deadlock()) : "";
        if (view.state.empty()) view.state = "手動";
        return view;
    }

    void SetSlot(const OperationSlotView& view) override
    {
        if (view.slot < 1 || view.slot > operation::kSlots) return;
        operation::OperationSettings settings = app_.Operation().Settings();
        operation::SlotSettings& slot = settings.slots[static_cast<std::size_t>(view.slot - 1)];
        const layout::PlacedObjects& placed = app_.OwnLayout().Core().Placed();
        slot.autopilot = view.autopilot;
        slot.cruiseKmh = view.cruiseKmh;
        slot.shuttle = view.shuttle;
        slot.itinerary.clear();
        for (const int index : view.itinerary) {
            if (const layout::ObjectId id = placed.IdOf(index); id != layout::kNoObjectId) slot.itinerary.push_back(id);
        }
        if (settings == app_.Operation().Settings()) return;
        app_.ChangeOperation(std::move(settings));
    }

    bool MarkSelectedAsStop(int dwellSeconds, std::string& why) override
    {
        const layout::CLayout& core = app_.OwnLayout().Core();
        const std::vector<int> selected = core.Selection().Selected();
        if (selected.empty()) {
            why = "駅にする線路を選択してください。";
            return false;
        }
        operation::OperationSettings settings = app_.Operation().Settings();
        for (const int index : selected) {
            const layout::ObjectId id = core.Placed().IdOf(index);
            if (id == layout::kNoObjectId) continue;
            if (dwellSeconds > 0)
                settings.stops[id] = dwellSeconds;
            else
                settings.stops.erase(id);
        }
        if (settings != app_.Operation().Settings()) app_.ChangeOperation(std::move(settings));
        return true;
    }

    int SelectedStop() const override
    {
        const layout::CLayout& core = app_.OwnLayout().Core();
        const int index = core.Selection().Primary();
        if (index < 0) return -1;
        return app_.Operation().Settings().stops.contains(core.Placed().IdOf(index)) ? index : -1;
    }

  private:
    CSimulatorApp& app_;
};

} // namespace

void CSimulatorApp::ToggleOperationWindow()
{
    if (!operationPort_) operationPort_ = std::make_unique<OperationWindowPort>(*this);
    if (operationWindow_.Dialog().IsVisible()) {
        operationWindow_.Dialog().SetVisible(false);
        return;
    }
    operationWindow_.Show(*operationPort_);
}

void CSimulatorApp::OnOperationWindowClick(int id)
{
    if (operationPort_) operationWindow_.Click(*operationPort_, id);
}

void CSimulatorApp::OnOperationWindowRow(int row)
{
    if (operationPort_) operationWindow_.SelectRow(*operationPort_, row);
}

std::vector<gfx::ColoredVertex> CSimulatorApp::StopMarkers() const
{
    std::vector<gfx::ColoredVertex> lines;
    if (!operationWindow_.Dialog().IsVisible()) return lines;
    constexpr std::uint32_t kColour = 0xFF3070FF; // blue: a stop, apart from the check's colours
    constexpr float kPost = 6.0f;
    constexpr float kArm = 1.5f;
    const layout::PlacedObjects& placed = appLayout_.Core().Placed();
    for (const auto& [id, seconds] : operation_.Settings().stops) {
        const int index = placed.IndexOf(id);
        if (index < 0) continue;
        const math::Vec3 at = placed.Position(index);
        const math::Vec3 top{at.x, at.y + kPost, at.z};
        // A post with a flag on top.
        for (const auto& [from, to] : {std::pair{at, top}, std::pair{top, math::Vec3{top.x + kArm, top.y - kArm, top.z}},
                                       std::pair{math::Vec3{top.x + kArm, top.y - kArm, top.z},
                                                 math::Vec3{top.x, top.y - 2 * kArm, top.z}}}) {
            lines.push_back({from, kColour});
            lines.push_back({to, kColour});
        }
    }
    return lines;
}

void CSimulatorApp::RefreshOperationWindow()
{
    if (operationPort_ && operationWindow_.Dialog().IsVisible()) operationWindow_.Refresh(*operationPort_);
}

} // namespace app
