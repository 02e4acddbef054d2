// The "点検結果" window of the layout check: the findings as a list (kind, objects, value), the
// count of each kind, the two thresholds as edit boxes, and the buttons that check again and
// mend the loose joints.
#pragma once

#include "ui/DialogTemplate.h"

namespace ui {

namespace check {

inline constexpr int kDialogId = 160;
inline constexpr int kFindings = 1301;   // list view: kind, objects, value; item data = finding index
inline constexpr int kCounts = 1302;     // label: the count of each kind
inline constexpr int kGrade = 1303;      // edit box: steepest grade allowed, in percent
inline constexpr int kClearance = 1304;  // edit box: least clearance allowed, in units
inline constexpr int kRecheck = 1305;    // button "再点検"
inline constexpr int kMend = 1306;       // button "継ぎ目を合わせる"
inline constexpr int kMendReport = 1307; // label: what the last mending did
inline constexpr const char* kTitle = "点検結果";

} // namespace check

DialogTemplate LayoutCheckTemplate();

} // namespace ui
