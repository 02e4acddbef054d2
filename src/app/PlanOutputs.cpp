#include "app/PlanOutputs.h"

#include "app/CSimulatorApp.h"
#include "layout/PartsList.h"
#include "math/NumberText.h"
#include "platform/DialogService.h"
#include "platform/SafeFile.h"
#include "platform/Translation.h"
#include "ui/SetUpTemplate.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

namespace app {

namespace {

std::string Today()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return text;
}

} // namespace

plan::PlanOptions PlanOptionsFor(CSimulatorApp& app, plan::PlanOptions options)
{
    const std::string& map = app.OwnLayout().Core().MapFilePath();
    options.title = map.empty() ? std::string() : std::filesystem::path(map).stem().string();
    options.date = Today();
    options.keyLabelStyle = app.SetUp().Model().Selection(ui::setup::kSpriteStyle);
    return options;
}

platform::Status WritePartsList(CSimulatorApp& app, const std::string& path)
{
    return platform::ReplaceFile(path, layout::PartsListCsv(layout::MakePartsList(app.OwnLayout().Core())));
}

platform::Result<plan::PlanExportResult> WritePlan(CSimulatorApp& app, const std::string& path,
                                                   const plan::PlanOptions& options)
{
    return plan::ExportPlan(app.OwnLayout().Core(), path, PlanOptionsFor(app, options));
}

std::string PlanWrittenText(const plan::PlanExportResult& result)
{
    std::string text = platform::Tr("平面図を書き出しました") + " (" + std::to_string(result.pages) + " " +
                       platform::Tr("ページ") + ")";
    if (result.empty) text += "\n" + platform::Tr("レイアウトに物体がないため、方眼だけを書き出しました。");
    return text;
}

void ExportPlanAsCommanded(CSimulatorApp& app, platform::DialogService& dialogs)
{
    const std::string& map = app.OwnLayout().Core().MapFilePath();
    platform::FileRequest request{
        .title = platform::Tr("平面図の書き出し"),
        .defaultExtension = ".pdf",
        .initialFile = map.empty() ? std::string() : std::filesystem::path(map).replace_extension(".pdf").string(),
        .filters = {{platform::Tr("PDF ファイル (*.pdf)"), {"*.pdf"}},
                    {platform::Tr("SVG ファイル (*.svg)"), {"*.svg"}}}};
    const std::optional<std::string> path = dialogs.ChooseFileToSave(request);
    if (!path) return;
    const auto written = WritePlan(app, *path, {});
    if (!written) {
        dialogs.ShowMessage({.text = platform::Tr("平面図を書き出せませんでした。") + "\n" + written.error(),
                             .caption = platform::Tr("平面図の書き出し"),
                             .icon = platform::MessageIcon::Error});
        return;
    }
    dialogs.ShowMessage({.text = PlanWrittenText(*written), .caption = platform::Tr("平面図の書き出し")});
}

void ShowPartsList(CSimulatorApp& app, platform::DialogService& dialogs)
{
    const layout::PartsList list = layout::MakePartsList(app.OwnLayout().Core());
    std::string text;
    for (const layout::PartsListRow& row : list.rows) {
        text += row.name + "\t" + std::to_string(row.count) + "\t" + math::FormatFixed(row.length, 3);
        for (const double other : row.otherRoutes)
            text += " / " + math::FormatFixed(other, 3);
        text += "\n";
    }
    text += platform::Tr("合計") + "\t" + std::to_string(list.totalCount) + "\t" +
            math::FormatFixed(list.totalLength, 3) + " " + platform::Tr("単位");
    dialogs.ShowMessage({.text = text, .caption = platform::Tr("部品表")});
}

} // namespace app
