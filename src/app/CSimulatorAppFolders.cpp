// The folder choosers of the folder commands.
#include "app/CSimulatorApp.h"

#include "platform/Paths.h"
#include "ui/CommandIds.h"
#include "ui/WindowTemplates.h"

namespace app {

namespace {

namespace cmd = ui::cmd;

std::string MissingTypesLoadedMessage(int came, std::size_t stillMissing)
{
    std::string text = std::to_string(came) + " 種類のオブジェクトを読み込みました。";
    if (stillMissing > 0) text += std::to_string(stillMissing) + " 種類はまだファイルがありません。";
    return text;
}

} // namespace

void CSimulatorApp::ChooseFolder(int commandId)
{
    const auto ask = [&](std::string title, std::string start) {
        return dialogs_.ChooseFolder(
            {.title = std::move(title), .startFolder = std::move(start), .owner = ui::mainwin::kDialogId});
    };
    switch (commandId) {
    case cmd::kTrainFolder:
        if (auto folder = ask("電車フォルダの選択", vehicles_->TrainFolder(1))) {
            for (int slot = 1; slot <= 6; ++slot) {
                vehicles_->SetTrainFolder(slot, *folder);
                vehicles_->ScanTrainFolder(slot);
            }
        }
        return;
    case cmd::kPlaneFolder:
        if (auto folder = ask("飛行機フォルダの選択", vehicles_->VehicleFolder(Vehicle::Plane))) {
            vehicles_->SetVehicleFolder(Vehicle::Plane, *folder);
            vehicles_->ScanFolder(Vehicle::Plane);
        }
        return;
    case cmd::kHelicopterFolder:
        if (auto folder = ask("ヘリコプターフォルダの選択", vehicles_->VehicleFolder(Vehicle::Helicopter))) {
            vehicles_->SetVehicleFolder(Vehicle::Helicopter, *folder);
            vehicles_->ScanFolder(Vehicle::Helicopter);
        }
        return;
    case cmd::kCarFolder:
        if (auto folder = ask("車フォルダの選択", vehicles_->VehicleFolder(Vehicle::Car))) {
            vehicles_->SetVehicleFolder(Vehicle::Car, *folder);
            vehicles_->ScanFolder(Vehicle::Car);
        }
        return;
    default:
        return;
    }
}

void CSimulatorApp::ChooseObjectFolder()
{
    // With placeholders, the folder is asked for first: choosing the same folder again loads
    // the types that have appeared there and keeps the layout.
    const bool placeholders = !layout_->Placeholders().empty();
    if (!placeholders && !ConfirmUnsavedChanges()) return;
    const auto folder = dialogs_.ChooseFolder({.title = "オブジェクトフォルダの選択",
                                               .startFolder = layout_->ObjectFolder(),
                                               .owner = ui::mainwin::kDialogId});
    if (!folder) return;
    if (placeholders && platform::FromWorkingFolder(*folder) == platform::FromWorkingFolder(layout_->ObjectFolder())) {
        const int came = layout_->LoadMissingTypes();
        dialogs_.ShowMessage({.text = MissingTypesLoadedMessage(came, layout_->Placeholders().size()),
                              .icon = platform::MessageIcon::Information,
                              .owner = ui::mainwin::kDialogId});
        RefreshTurnoutControls();
        return;
    }
    if (placeholders && !ConfirmUnsavedChanges()) return;
    layout_->SetObjectFolder(*folder);
    // The map file keeps its name and moves into the new folder.
    const platform::PathParts map = platform::SplitPath(layout_->MapFilePath());
    layout_->SetMapFilePath(*folder + map.name + map.extension);
    layout_->ScanObjectFolder();
    layout_->ChooseBackground();
    RefreshTurnoutControls();
}

} // namespace app
