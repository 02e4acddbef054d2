// The planning outputs of the layout being built: the parts list as CSV and the printable plan,
// with the map's name, today's date and the key labels the settings choose.
#pragma once

#include "plan/PlanExport.h"
#include "platform/Result.h"

#include <string>

namespace platform {
class DialogService;
}

namespace app {

class CSimulatorApp;

// The plan options for this layout at 1:scale (0: fitted to one page), paper and boxes as given.
plan::PlanOptions PlanOptionsFor(CSimulatorApp& app, plan::PlanOptions options);

// The parts list written as UTF-8 CSV, atomically.
platform::Status WritePartsList(CSimulatorApp& app, const std::string& path);

// The plan written; the result says how many pages and whether the layout was empty.
platform::Result<plan::PlanExportResult> WritePlan(CSimulatorApp& app, const std::string& path,
                                                   const plan::PlanOptions& options);

// "平面図を書き出しました (N ページ)" and, for an empty layout, that only the grid was drawn.
std::string PlanWrittenText(const plan::PlanExportResult& result);

// "平面図の書き出し": the file chosen (".pdf" or ".svg"), the plan fitted to an A4 page, and
// what came of it said in a message box.
void ExportPlanAsCommanded(CSimulatorApp& app, platform::DialogService& dialogs);
// "部品表": the parts list with its totals in a box.
void ShowPartsList(CSimulatorApp& app, platform::DialogService& dialogs);

} // namespace app
