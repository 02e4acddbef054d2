// CSimulatorApp: the "運転管理" window's view of the operation. Stops and itineraries are shown by
// the record index of their pieces, as the headless actions and the map name them; every change
// goes through ChangeOperation, so it is an edit that undoes.
#include "app/CSimulatorApp.h"

#include "layout/LayoutSelection.h"
#include "render/OperationText.h"
#include "ui/OperationTemplate.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

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
        view.tooLong = operation.InUse() && operation.Status(slot).tooLong;
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
            if (dwellSeconds > 0) {
                settings.stops[id] = dwellSeconds;
            } else {
                settings.stops.erase(id);
                settings.termini.erase(id);
            }
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

    std::vector<OperationStopView> Stops() const override
    {
        std::vector<OperationStopView> stops;
        operation::Operation& operation = app_.Operation();
        if (operation.Settings().stops.empty()) return stops;
        const layout::CLayout& core = app_.OwnLayout().Core();
        operation.RefreshGraph(core);
        const layout::PlacedObjects& placed = core.Placed();
        std::vector<layout::ObjectId> ids(static_cast<std::size_t>(placed.Count()));
        for (int i = 0; i < placed.Count(); ++i) ids[static_cast<std::size_t>(i)] = placed.IdOf(i);
        for (std::vector<int>& run : operation.StopRuns(ids)) {
            const operation::OperationSettings& settings = operation.Settings();
            const int seconds = settings.stops.at(ids[static_cast<std::size_t>(run.front())]);
            const bool terminus = std::any_of(run.begin(), run.end(), [&](int piece) {
                return settings.termini.contains(ids[static_cast<std::size_t>(piece)]);
            });
            stops.push_back({.number = run.front(), .dwellSeconds = seconds, .terminus = terminus, .pieces = std::move(run)});
        }
        return stops;
    }

    void SelectStop(int number) override
    {
        layout::CLayout& core = app_.OwnLayout().Core();
        for (const OperationStopView& stop : Stops()) {
            if (stop.number != number) continue;
            layout::LayoutSelection& selection = core.Selection();
            selection.DeselectAll();
            for (const int index : stop.pieces) selection.SetSelected(index, true);
            selection.SetPrimary(stop.number);
            app_.RefreshTurnoutControls();
            return;
        }
    }

    void SetStopTerminus(int piece, bool on) override
    {
        const layout::PlacedObjects& placed = app_.OwnLayout().Core().Placed();
        operation::OperationSettings settings = app_.Operation().Settings();
        for (const OperationStopView& stop : Stops()) {
            if (std::find(stop.pieces.begin(), stop.pieces.end(), piece) == stop.pieces.end()) continue;
            // Every piece of the run carries the mark, so that it outlives the deletion of any one.
            for (const int index : stop.pieces) {
                if (on)
                    settings.termini.insert(placed.IdOf(index));
                else
                    settings.termini.erase(placed.IdOf(index));
            }
        }
        if (settings != app_.Operation().Settings()) app_.ChangeOperation(std::move(settings));
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

void CSimulatorApp::OnOperationWindowRow(int list, int row)
{
    if (!operationPort_) return;
    if (list == ui::operation::kStops)
        operationWindow_.SelectStopRow(*operationPort_, row);
    else
        operationWindow_.SelectRow(*operationPort_, row);
}

namespace {

// A stop's marker over one of its pieces: a post with a flag on top, as line segments.
std::array<std::pair<math::Vec3, math::Vec3>, 3> MarkerLines(math::Vec3 at)
{
    constexpr float kPost = 6.0f;
    constexpr float kArm = 1.5f;
    const math::Vec3 top{at.x, at.y + kPost, at.z};
    const math::Vec3 tip{top.x + kArm, top.y - kArm, top.z};
    return {std::pair{at, top}, std::pair{top, tip}, std::pair{tip, math::Vec3{top.x, top.y - 2 * kArm, top.z}}};
}

} // namespace

std::vector<gfx::ColoredVertex> CSimulatorApp::StopMarkers() const
{
    std::vector<gfx::ColoredVertex> lines;
    if (!operationWindow_.Dialog().IsVisible()) return lines;
    constexpr std::uint32_t kColour = 0xFF3070FF; // blue: a stop, apart from the check's colours
    const layout::PlacedObjects& placed = appLayout_.Core().Placed();
    for (const auto& [id, seconds] : operation_.Settings().stops) {
        const int index = placed.IndexOf(id);
        if (index < 0) continue;
        for (const auto& [from, to] : MarkerLines(placed.Position(index))) {
            lines.push_back({from, kColour});
            lines.push_back({to, kColour});
        }
    }
    return lines;
}

bool CSimulatorApp::ClickStopMarker(const PickQuery& query)
{
    if (!operationPort_ || !operationWindow_.Dialog().IsVisible() || operation_.Settings().stops.empty()) return false;
    const layout::PickRay ray = RayOf(query);
    const math::Vec3 direction = math::Normalize(ray.farPoint - ray.nearPoint);
    // A point of a marker counts as hit when the ray passes within a few pixels of it: the
    // reach widens with the distance from the eye.
    constexpr float kNearReach = 0.2f;
    constexpr float kReachPerUnit = 0.012f;
    constexpr int kSamples = 12;
    const layout::PlacedObjects& placed = appLayout_.Core().Placed();
    int hit = -1;
    float nearest = std::numeric_limits<float>::infinity();
    for (const auto& [id, seconds] : operation_.Settings().stops) {
        const int index = placed.IndexOf(id);
        if (index < 0) continue;
        for (const auto& [from, to] : MarkerLines(placed.Position(index))) {
            for (int k = 0; k <= kSamples; ++k) {
                const math::Vec3 point = from + (to - from) * (static_cast<float>(k) / kSamples);
                const float along = math::Dot(point - ray.nearPoint, direction);
                if (along <= 0 || along >= nearest) continue;
                const float off = math::Length(point - ray.nearPoint - direction * along);
                if (off > kNearReach + kReachPerUnit * along) continue;
                nearest = along;
                hit = index;
            }
        }
    }
    if (hit < 0) return false;
    // The stop the piece belongs to.
    for (const OperationStopView& stop : operationPort_->Stops()) {
        if (std::find(stop.pieces.begin(), stop.pieces.end(), hit) == stop.pieces.end()) continue;
        operationWindow_.ChooseStop(*operationPort_, stop.number);
        if (std::string status = appLayout_.SelectedStatus(); !status.empty())
            mainDlg_.StatusBar().SetText(CMainDlg::kPickPane, std::move(status));
        return true;
    }
    return false;
}

void CSimulatorApp::RefreshOperationWindow()
{
    if (operationPort_ && operationWindow_.Dialog().IsVisible()) operationWindow_.Refresh(*operationPort_);
}

} // namespace app
