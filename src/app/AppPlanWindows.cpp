// CSimulatorApp: the planning windows over the application's own layout. The "部品表" window's
// list and its CSV come from the same parts list; the model lengths follow the scale of the plan
// last written from the "平面図の書き出し" dialog.
#include "app/CSimulatorApp.h"

#include "app/PlanOutputs.h"
#include "ui/PlanTemplates.h"

namespace app {

namespace {

class PartsListWindowPort : public PartsListPort {
  public:
    PartsListWindowPort(CSimulatorApp& app, platform::DialogService& dialogs) : app_(app), dialogs_(dialogs) {}

    PartsListStamp Stamp() const override
    {
        const layout::CLayout& core = app_.OwnLayout().Core();
        return {.edits = app_.OwnLayout().History().commands,
                .map = core.MapFilePath(),
                .objects = core.Placed().Count(),
                .selected = core.Selection().Selected(),
                .scale = app_.PlanExport().ChosenScale()};
    }

    layout::PartsList List() const override { return layout::MakePartsList(app_.OwnLayout().Core()); }

    std::optional<std::string> ChooseCsvFile() override
    {
        return dialogs_.ChooseFileToSave(
            {.title = ui::partslist::kTitle,
             .defaultExtension = ".csv",
             .initialFile = MapFileAs(app_, ".csv"),
             .filters = {{"CSV ファイル (*.csv)", {"*.csv"}}},
             .options = {.overwritePrompt = true},
             .owner = ui::partslist::kDialogId});
    }

    platform::Status WriteCsv(const std::string& path) override
    {
        return WritePartsList(app_, path, app_.PlanExport().ChosenScale());
    }

    bool CopyText(const std::string& text) override { return dialogs_.CopyText(text); }

  private:
    CSimulatorApp& app_;
    platform::DialogService& dialogs_;
};

} // namespace

void CSimulatorApp::TogglePartsList()
{
    if (!partsListPort_) partsListPort_ = std::make_unique<PartsListWindowPort>(*this, dialogs_);
    if (partsList_.Dialog().IsVisible()) {
        partsList_.Dialog().SetVisible(false);
        return;
    }
    partsList_.Show(*partsListPort_);
}

void CSimulatorApp::OnPartsListClick(int id)
{
    if (partsListPort_) partsList_.Click(*partsListPort_, id);
}

void CSimulatorApp::RefreshPartsList()
{
    if (partsListPort_ && partsList_.Dialog().IsVisible()) partsList_.Refresh(*partsListPort_);
}

void CSimulatorApp::OnPlanExportClick(int id)
{
    planExport_.Click(id, dialogs_, [this](const std::string& path, const plan::PlanOptions& options) {
        return WritePlan(*this, path, options);
    });
    RefreshPartsList();
}

} // namespace app
