// The planning outputs of the layout being built: the parts list as CSV and the printable plan,
// with the map's name, today's date and the key labels the settings choose.
#pragma once

#include "plan/PlanExport.h"
#include "platform/Result.h"

#include <string>

namespace app {

class CSimulatorApp;

// The plan options for this layout at 1:scale (0: fitted to one page), paper and boxes as given.
plan::PlanOptions PlanOptionsFor(CSimulatorApp& app, plan::PlanOptions options);

// The parts list written as UTF-8 CSV, atomically; with a scale (1:scale) the model lengths too.
platform::Status WritePartsList(CSimulatorApp& app, const std::string& path, int scale = 0);

// The plan written; the result says how many pages and whether the layout was empty.
platform::Result<plan::PlanExportResult> WritePlan(CSimulatorApp& app, const std::string& path,
                                                   const plan::PlanOptions& options);

// "平面図を書き出しました (N ページ)" and, for an empty layout, that only the grid was drawn.
std::string PlanWrittenText(const plan::PlanExportResult& result);

// The file an output of the map suggests: the map's own name with this extension (".pdf"), or
// nothing for a map never saved.
std::string MapFileAs(CSimulatorApp& app, const std::string& extension);

} // namespace app
