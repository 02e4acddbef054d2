#include "app/PlanOutputs.h"

#include "app/CSimulatorApp.h"
#include "layout/PartsList.h"
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

platform::Status WritePartsList(CSimulatorApp& app, const std::string& path, int scale)
{
    return platform::ReplaceFile(path, layout::PartsListCsv(layout::MakePartsList(app.OwnLayout().Core()), scale));
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

std::string MapFileAs(CSimulatorApp& app, const std::string& extension)
{
    const std::string& map = app.OwnLayout().Core().MapFilePath();
    return map.empty() ? std::string() : std::filesystem::path(map).replace_extension(extension).string();
}

} // namespace app
