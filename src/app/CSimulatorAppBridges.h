// The application's side of the settings and object dialogs' ports: each call reaches the part
// of the program that owns what it changes. For the application's own files only.
#pragma once

#include "app/CSimulatorApp.h"
#include "app/dialogs/ObjectSelectHost.h"
#include "app/dialogs/SetUpActions.h"
#include "camera/CameraSources.h"
#include "ui/CommandIds.h"
#include "ui/ObjectSelectTemplate.h"
#include "ui/SetUpTemplate.h"

#include <string>

namespace app {

// The settings dialog's handlers reach the rest of the program through the application.
class CSimulatorApp::SetUpBridge final : public SetUpActions {
  public:
    explicit SetUpBridge(CSimulatorApp& app) : app_(app) {}

    void SetShadeMode(gfx::ShadeMode mode) override
    {
        app_.renderStates_.SetShadeMode(app_.graphics_.Device(), mode == gfx::ShadeMode::Gouraud);
    }
    void SetFillMode(gfx::FillMode mode) override
    {
        app_.renderStates_.SetFillMode(app_.graphics_.Device(), mode == gfx::FillMode::Solid);
    }
    void SetCullMode(gfx::CullMode mode) override
    {
        app_.renderStates_.SetCullMode(app_.graphics_.Device(), mode);
    }
    void SetFieldOfView(float degrees) override { app_.camera_.SetWheelAngle(degrees); }
    void ApplyLights() override { app_.lighting_.ApplyLights(app_.graphics_.Device(), app_.setUp_.Model()); }
    void RenderPreview() override { app_.RenderObjectPreview(); }
    void SelectTrain(int slot, int index) override { app_.vehicles_->SelectTrain(slot, index); }
    void SelectVehicle(Vehicle vehicle, int index) override { app_.vehicles_->SelectVehicle(vehicle, index); }
    void StoreTrainHome(int slot) override { app_.vehicles_->StoreTrainHome(slot); }
    void StoreVehicleHome(Vehicle vehicle) override { app_.vehicles_->StoreVehicleHome(vehicle); }
    void ReloadKeyLabels() override
    {
        if (gfx::Device* device = app_.graphics_.Device()) app_.LoadKeyLabels(*device);
        app_.layout_->RefreshKeyColumn();
    }
    void ToggleObjectDialog() override { app_.objectSelect_.ToggleVisible(); }

  private:
    CSimulatorApp& app_;
};

// The object dialog's handlers reach the camera, the settings dialog and the main window
// through the application.
class CSimulatorApp::ObjectSelectBridge final : public ObjectSelectHost {
  public:
    explicit ObjectSelectBridge(CSimulatorApp& app) : app_(app) {}

    layout::PickRay ViewCentreRay() const override { return RayOf(app_.ViewCentreQuery()); }
    void RefreshTurnoutControls() override { app_.RefreshTurnoutControls(); }
    bool MapCreationMode() const override { return app_.mainDlg_.ToolBar().IsChecked(ui::cmd::kToolCreateMap); }
    void FocusOnSelection() override { app_.camera_.SetEditFocus(true, app_.Sources()); }
    void FollowSelection() override
    {
        // Set as a program sets a list: no selection handler runs.
        app_.setUp_.Model().SetSelection(ui::setup::kPositionList, camera::entry::kSelectedObject);
        app_.setUp_.Model().SetSelection(ui::setup::kViewPointList, camera::entry::kSelectedObject);
    }
    void RenderPreview() override { app_.RenderObjectPreview(); }
    void ShowWarning(const std::string& text) override
    {
        app_.dialogs_.ShowMessage(
            {.text = text, .icon = platform::MessageIcon::Warning, .owner = ui::objsel::kDialogId});
    }
    void AttachTrack() override { app_.AttachTrack(false); }
    void NextTrackEnd() override { app_.NextTrackEnd(); }

  private:
    CSimulatorApp& app_;
};

} // namespace app
