// The planning windows: the "部品表" window (a row per used type with its count and track length,
// the totals, saving as CSV and copying to the clipboard) and the "平面図の書き出し" dialog (file,
// scale, paper and what the plan shows).
#pragma once

#include "ui/DialogTemplate.h"

namespace ui {

namespace partslist {

inline constexpr int kDialogId = 162;
// List view: type, count, track length, the other routes' lengths, the same for the selected
// objects, and the model lengths in millimetres at the chosen scale; item data = type.
inline constexpr int kRows = 1421;
inline constexpr int kTotals = 1422; // label: totals, the unit and the model length
inline constexpr int kSaveCsv = 1423; // button "CSVで保存"
inline constexpr int kCopy = 1424;    // button "コピー"
inline constexpr int kReport = 1425;  // label: what the last button did, or why it could not
inline constexpr const char* kTitle = "部品表";

} // namespace partslist

namespace planexport {

inline constexpr int kDialogId = 163;
inline constexpr int kFile = 1431;        // edit box: the file, ".pdf" or ".svg"
inline constexpr int kChoose = 1432;      // button "参照..."
inline constexpr int kFit = 1433;         // radios of "縮尺": fitted to one page,
inline constexpr int kScale87 = 1434;     // 1:87,
inline constexpr int kScale150 = 1435;    // 1:150,
inline constexpr int kScale220 = 1436;    // 1:220
inline constexpr int kScaleTyped = 1437;  // or 1:N typed in
inline constexpr int kScaleText = 1438;   // edit box: N
inline constexpr int kA4 = 1439;          // radios of "用紙"
inline constexpr int kA3 = 1440;
inline constexpr int kAutoOrientation = 1441; // radios: the layout's shape decides, portrait, landscape
inline constexpr int kPortrait = 1442;
inline constexpr int kLandscape = 1443;
inline constexpr int kGrid = 1444;   // check boxes: the grid,
inline constexpr int kKeys = 1445;   // the turnout keys,
inline constexpr int kScenery = 1446; // the scenery
inline constexpr int kWrite = 1447;  // button "書き出し"
inline constexpr int kCancel = 1448; // button "キャンセル"
inline constexpr const char* kTitle = "平面図の書き出し";

} // namespace planexport

DialogTemplate PartsListTemplate();
DialogTemplate PlanExportTemplate();

} // namespace ui
