// The printable plan: the layout seen from above, written as PDF or SVG. Track pieces are drawn
// as their route centre lines (a turnout's set route solid, the others dashed) over the plan
// outline of their mesh, scenery as light outlines, with the turnout keys, a grid of 10 units
// with coordinates, a scale bar and the map's name and date. A PDF ends with the parts list.
//
// Fitted to one page by default; at a fixed scale 1:N (one unit a metre of the prototype) a
// plan larger than the paper is tiled over as many pages as it needs, each overlapping its
// neighbours by kPlanOverlapMm with marks where the overlap starts, after a page map.
#pragma once

#include "platform/Result.h"

#include <string>
#include <string_view>

namespace layout {
class CLayout;
}

namespace plan {

inline constexpr double kPlanOverlapMm = 10.0;
// Largest 1:N accepted: beyond it the plan is a dot.
inline constexpr int kMaxPlanScale = 100000;

enum class Paper { A4, A3 };
// Auto: landscape for a layout wider than deep, else portrait.
enum class Orientation { Auto, Portrait, Landscape };

struct PlanOptions {
    int scale = 0; // 0: fit to one page; else 1:scale
    Paper paper = Paper::A4;
    Orientation orientation = Orientation::Auto;
    bool grid = true;
    bool turnoutKeys = true;
    bool scenery = true;
    int keyLabelStyle = 0;  // the settings' key-label style
    std::string title{};    // the map's name
    std::string date{};     // as it is printed
};

struct PlanExportResult {
    int pages = 0;      // PDF pages written (1 for an SVG)
    int tiles = 1;      // pages the plan itself takes
    bool empty = false; // no objects: only the grid was drawn
};

// "87", "1:87" or "1/87": a whole number from 1 to kMaxPlanScale; anything else (0, a
// negative number, text) is refused with the reason.
platform::Result<int> ParsePlanScale(std::string_view text);

// Writes the plan to path, a ".pdf" or ".svg" file by its extension (letter case ignored),
// through a temporary file: on failure nothing is left at path beyond what was there.
platform::Result<PlanExportResult> ExportPlan(const layout::CLayout& layout, const std::string& path,
                                              const PlanOptions& options);

} // namespace plan
