#include "app/PlanExportDialog.h"

#include "app/PlanOutputs.h"
#include "platform/DialogService.h"
#include "platform/Translation.h"
#include "ui/PlanTemplates.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace app {

namespace {

namespace pe = ui::planexport;

std::string LowerExtension(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

PlanExportDialog::PlanExportDialog() : dialog_(ui::PlanExportTemplate()) {}

void PlanExportDialog::Open(const std::string& suggested)
{
    if (dialog_.Text(pe::kFile).empty()) dialog_.SetText(pe::kFile, suggested);
    dialog_.SetVisible(true);
}

platform::Result<plan::PlanOptions> PlanExportDialog::Options() const
{
    const std::string extension = LowerExtension(dialog_.Text(pe::kFile));
    if (dialog_.Text(pe::kFile).empty()) return platform::Fail("書き出すファイルを指定してください。");
    if (extension != ".pdf" && extension != ".svg")
        return platform::Fail("ファイルの名前は .pdf か .svg で終えてください。");
    plan::PlanOptions options;
    if (dialog_.IsChecked(pe::kScale87)) options.scale = 87;
    if (dialog_.IsChecked(pe::kScale150)) options.scale = 150;
    if (dialog_.IsChecked(pe::kScale220)) options.scale = 220;
    if (dialog_.IsChecked(pe::kScaleTyped)) {
        const platform::Result<int> scale = plan::ParsePlanScale(dialog_.Text(pe::kScaleText));
        if (!scale)
            return platform::Fail("縮尺の N には 1 から " + std::to_string(plan::kMaxPlanScale) +
                                  " までの整数を入力してください。");
        options.scale = *scale;
    }
    options.paper = dialog_.IsChecked(pe::kA3) ? plan::Paper::A3 : plan::Paper::A4;
    if (dialog_.IsChecked(pe::kPortrait)) options.orientation = plan::Orientation::Portrait;
    if (dialog_.IsChecked(pe::kLandscape)) options.orientation = plan::Orientation::Landscape;
    options.grid = dialog_.IsChecked(pe::kGrid);
    options.turnoutKeys = dialog_.IsChecked(pe::kKeys);
    options.scenery = dialog_.IsChecked(pe::kScenery);
    return options;
}

void PlanExportDialog::Click(int id, platform::DialogService& dialogs, const Writer& write)
{
    switch (id) {
    case pe::kChoose: {
        const std::string current = dialog_.Text(pe::kFile);
        platform::FileRequest request{.title = pe::kTitle,
                                      .defaultExtension = LowerExtension(current) == ".svg" ? ".svg" : ".pdf",
                                      .initialFile = current,
                                      .filters = {{"PDF ファイル (*.pdf)", {"*.pdf"}}, {"SVG ファイル (*.svg)", {"*.svg"}}},
                                      .options = {.overwritePrompt = true},
                                      .owner = pe::kDialogId};
        if (const std::optional<std::string> path = dialogs.ChooseFileToSave(request)) dialog_.SetText(pe::kFile, *path);
        break;
    }
    case pe::kWrite:
        Write(dialogs, write);
        break;
    case pe::kCancel:
        dialog_.SetVisible(false);
        break;
    default:
        break;
    }
}

void PlanExportDialog::Write(platform::DialogService& dialogs, const Writer& write)
{
    const platform::Result<plan::PlanOptions> options = Options();
    if (!options) {
        dialogs.ShowMessage({.text = options.error(),
                             .caption = pe::kTitle,
                             .icon = platform::MessageIcon::Warning,
                             .owner = pe::kDialogId});
        return;
    }
    const platform::Result<plan::PlanExportResult> written = write(dialog_.Text(pe::kFile), *options);
    if (!written) {
        dialogs.ShowMessage({.text = platform::Tr("平面図を書き出せませんでした。") + "\n" + written.error(),
                             .caption = pe::kTitle,
                             .icon = platform::MessageIcon::Error,
                             .owner = pe::kDialogId});
        return;
    }
    chosenScale_ = options->scale;
    dialog_.SetVisible(false);
    dialogs.ShowMessage({.text = PlanWrittenText(*written), .caption = pe::kTitle});
}

} // namespace app
