// The layout check's findings as the JSON file that the headless run and the scripted
// "check-layout" action write:
//   {"findings":[{"kind":"open_end","objects":[3],"x":…,"y":…,"z":…,"value":…},…],
//    "counts":{"open_end":1,"near_miss":0,…}}
#pragma once

#include "layout/LayoutCheck.h"
#include "platform/Result.h"

#include <string>

namespace layout {
class CLayout;
}

namespace app {

std::string LayoutCheckJson(const layout::LayoutCheckResult& result);

// Checks the layout and writes the findings to path (replacing it whole).
platform::Status WriteLayoutCheck(const layout::CLayout& layout, const layout::LayoutCheckSettings& settings,
                                  const std::string& path);

} // namespace app
