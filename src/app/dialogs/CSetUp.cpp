#include "app/dialogs/CSetUp.h"

#include "platform/VirtualKeys.h"
#include "ui/SetUpTemplate.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace app {

namespace {

namespace su = ui::setup;

// Index (1 to 6) of id in a per-slot table, or 0.
int SlotOf(const std::array<int, 6>& ids, int id)
{
    const auto it = std::find(ids.begin(), ids.end(), id);
    return it == ids.end() ? 0 : static_cast<int>(std::distance(ids.begin(), it)) + 1;
}

bool IsCheckBox(ui::ControlKind kind)
{
    return kind == ui::ControlKind::CheckBox || kind == ui::ControlKind::ThreeStateCheckBox;
}

} // namespace

std::vector<std::string> CSetUp::PaneTexts(int pane)
{
    std::vector<std::string> texts;
    const auto prefixed = [&texts](std::string_view prefix, const std::vector<std::string>& items) {
        for (const std::string& item : items)
            texts.push_back(std::string(prefix) + item);
    };
    switch (pane) {
    case 1:
        prefixed(su::kPositionPanePrefix, ui::PositionItems());
        break;
    case 2:
        prefixed(su::kViewPointPanePrefix, ui::ViewPointItems());
        break;
    case kStatusPane:
        texts = {std::string(kDriveCameraText), std::string(kDrivePlaneText),
                 std::string(kDriveHelicopterText)};
        break;
    default:
        break;
    }
    return texts;
}

CSetUp::CSetUp(const input::CInput& input, ui::StatusBarModel& status, platform::DialogService& dialogs,
               ViewerPort& viewers, SetUpActions& actions)
    : input_(input), status_(status), dialogs_(dialogs), viewers_(viewers), actions_(actions),
      model_(ui::SetUpTemplate())
{
}

void CSetUp::Initialise()
{
    projection_ = 0;
    OnHScroll();
}

bool CSetUp::Click(int id)
{
    if (!model_.Click(id)) return false;
    OnClicked(id);
    return true;
}

bool CSetUp::SelectItem(int id, int index)
{
    const ui::ControlKind kind = model_.Kind(id);
    if (kind != ui::ControlKind::ListBox && kind != ui::ControlKind::ComboBox) return false;
    if (!model_.IsEnabled(id) || index < 0 || index >= model_.ItemCount(id)) return false;
    model_.SetSelection(id, index);
    OnSelectionChanged(id);
    return true;
}

bool CSetUp::ScrollSlider(int id, int position)
{
    if (model_.Kind(id) != ui::ControlKind::Slider || !model_.IsEnabled(id)) return false;
    model_.SetPosition(id, position);
    OnHScroll();
    return true;
}

bool CSetUp::SetByUser(int id, int value, std::string* error)
{
    const auto fail = [&](std::string reason) {
        if (error) *error = std::move(reason);
        return false;
    };
    if (!model_.Has(id)) return fail("no control " + std::to_string(id) + " in the settings dialog");
    if (!model_.IsEnabled(id)) return fail("control " + std::to_string(id) + " is disabled");
    const ui::ControlKind kind = model_.Kind(id);
    if (IsCheckBox(kind)) {
        const int states = kind == ui::ControlKind::ThreeStateCheckBox ? 3 : 2;
        if (value < 0 || value >= states)
            return fail("check state " + std::to_string(value) + " out of range");
        // Clicks go round the states as the box does, each click with its handler.
        for (int click = 0; click < states && model_.Check(id) != value; ++click)
            Click(id);
        return model_.Check(id) == value;
    }
    switch (kind) {
    case ui::ControlKind::Radio:
        if (value != 1) return fail("a radio button can only be checked (1)");
        return Click(id);
    case ui::ControlKind::Button:
        if (value != 1) return fail("a button can only be pressed (1)");
        return Click(id);
    case ui::ControlKind::Slider:
        if (value < model_.RangeMin(id) || value > model_.RangeMax(id))
            return fail("position " + std::to_string(value) + " outside the slider's range");
        return ScrollSlider(id, value);
    case ui::ControlKind::ListBox:
    case ui::ControlKind::ComboBox:
        if (!SelectItem(id, value)) return fail("no item " + std::to_string(value));
        return true;
    default:
        return fail("control " + std::to_string(id) + " takes no value");
    }
}

void CSetUp::OnClicked(int id)
{
    switch (id) {
    case su::kShadeGouraud:
        actions_.SetShadeMode(gfx::ShadeMode::Gouraud);
        return;
    case su::kShadeFlat:
        actions_.SetShadeMode(gfx::ShadeMode::Flat);
        return;
    case su::kFillSolid:
        actions_.SetFillMode(gfx::FillMode::Solid);
        model_.SetEnabled(su::kShadeGouraud, true);
        model_.SetEnabled(su::kShadeFlat, true);
        return;
    case su::kFillWireframe:
        actions_.SetFillMode(gfx::FillMode::Wireframe);
        model_.SetEnabled(su::kShadeGouraud, false);
        model_.SetEnabled(su::kShadeFlat, false);
        return;
    case su::kCullNone:
        actions_.SetCullMode(gfx::CullMode::None);
        return;
    case su::kCullCcw:
        actions_.SetCullMode(gfx::CullMode::Ccw);
        return;
    case su::kCullCw:
        actions_.SetCullMode(gfx::CullMode::Cw);
        return;
    case su::kPerspective:
        projection_ = 0;
        return;
    case su::kOrthographic:
        projection_ = 1;
        return;
    case su::kDriveCamera:
        SelectDriveCamera();
        return;
    case su::kDrivePlane:
        SelectDrivePlane();
        return;
    case su::kDriveHelicopter:
        SelectDriveHelicopter();
        return;
    case su::kPlaneHome:
        actions_.StoreVehicleHome(Vehicle::Plane);
        return;
    case su::kHelicopterHome:
        actions_.StoreVehicleHome(Vehicle::Helicopter);
        return;
    case su::kCarHome:
        actions_.StoreVehicleHome(Vehicle::Car);
        return;
    case su::kTrack:
        actions_.RenderPreview();
        return;
    case su::kSync:
        dialogs_.ShowMessage({.text = std::string(kSyncNotice), .owner = su::kDialogId});
        return;
    default:
        break;
    }
    if (const int slot = SlotOf(su::kTrainHome, id)) actions_.StoreTrainHome(slot);
}

void CSetUp::OnSelectionChanged(int id)
{
    switch (id) {
    case su::kPlaneModel:
        actions_.SelectVehicle(Vehicle::Plane, model_.Selection(id));
        return;
    case su::kHelicopterModel:
        actions_.SelectVehicle(Vehicle::Helicopter, model_.Selection(id));
        return;
    case su::kCarModel:
        actions_.SelectVehicle(Vehicle::Car, model_.Selection(id));
        return;
    case su::kSpriteStyle:
        actions_.ReloadKeyLabels();
        return;
    default:
        break;
    }
    if (const int slot = SlotOf(su::kTrainModel, id)) actions_.SelectTrain(slot, model_.Selection(id));
}

void CSetUp::OnHScroll()
{
    for (const int slider : su::kSliders)
        model_.RefreshSliderLabel(slider);
    actions_.SetFieldOfView(static_cast<float>(model_.Position(su::kFieldOfView)));
    actions_.ApplyLights();
    actions_.RenderPreview();
}

void CSetUp::SelectDriveCamera()
{
    model_.SetCheck(su::kDriveCamera, 1);
    status_.SetText(kStatusPane, std::string(kDriveCameraText));
}

void CSetUp::SelectDrivePlane()
{
    model_.SetCheck(su::kDrivePlane, 1);
    status_.SetText(kStatusPane, std::string(kDrivePlaneText));
}

void CSetUp::SelectDriveHelicopter()
{
    model_.SetCheck(su::kDriveHelicopter, 1);
    status_.SetText(kStatusPane, std::string(kDriveHelicopterText));
}

void CSetUp::ApplyVehicleSelections()
{
    for (int slot = 1; slot <= 6; ++slot)
        actions_.SelectTrain(slot, model_.Selection(su::kTrainModel[static_cast<std::size_t>(slot - 1)]));
    actions_.SelectVehicle(Vehicle::Plane, model_.Selection(su::kPlaneModel));
    actions_.SelectVehicle(Vehicle::Helicopter, model_.Selection(su::kHelicopterModel));
    actions_.SelectVehicle(Vehicle::Car, model_.Selection(su::kCarModel));
}

void CSetUp::StepList(int id, bool backwards)
{
    model_.StepSelection(id, backwards ? -1 : 1, ui::StepMode::Wrap);
}

void CSetUp::StepDrive(bool backwards)
{
    // The radio checked first in this order is the vehicle driven now.
    enum { Camera, Plane, Helicopter, None } current = None;
    if (model_.IsChecked(su::kDriveCamera))
        current = Camera;
    else if (model_.IsChecked(su::kDrivePlane))
        current = Plane;
    else if (model_.IsChecked(su::kDriveHelicopter))
        current = Helicopter;
    switch (current) {
    case Camera:
        backwards ? SelectDriveHelicopter() : SelectDrivePlane();
        break;
    case Plane:
        backwards ? SelectDriveCamera() : SelectDriveHelicopter();
        break;
    case Helicopter:
        backwards ? SelectDrivePlane() : SelectDriveCamera();
        break;
    case None:
        break;
    }
}

void CSetUp::PollFunctionKeys()
{
    namespace vk = platform::vk;
    // Every key is polled on every call, so the first call only records all eight bits.
    std::array<bool, 8> pressed{};
    for (int i = 0; i < 8; ++i)
        pressed[static_cast<std::size_t>(i)] = functionKeys_.Pressed(input_, vk::kF2 + i);
    const bool shift = input_.KeyDown(vk::kShift) != 0;

    if (pressed[0]) {
        if (viewers_.MessagesVisible())
            viewers_.HideMessages();
        else
            viewers_.OpenMessages();
    }
    if (pressed[1]) model_.SetVisible(!model_.IsVisible());
    if (pressed[2]) actions_.ToggleObjectDialog();
    if (pressed[3]) StepList(su::kPositionList, shift);
    if (pressed[4]) StepList(su::kViewPointList, shift);
    if (pressed[5]) StepDrive(shift);
    if (pressed[6]) {
        model_.SetCheck(su::kTrack, (model_.Check(su::kTrack) + 1) % 3);
        actions_.RenderPreview();
    }
    if (pressed[7]) model_.SetCheck(su::kSprites, model_.Check(su::kSprites) == 1 ? 0 : 1);
}

} // namespace app
