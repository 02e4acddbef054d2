// The object dialog "オブジェクト" (dialog 138): the layout's editing panel. Its control ids,
// the columns of the placed-object list and its template.
#pragma once

#include "ui/DialogTemplate.h"

#include <array>

namespace ui {

namespace objsel {

inline constexpr int kDialogId = 138;

inline constexpr int kCatalogue = 1056; // drop-down list of the object types
inline constexpr int kPreview = 1069;
inline constexpr int kPlace = 1002;
inline constexpr int kCopy = 1015;
inline constexpr int kDelete = 1003;
inline constexpr int kMoveX = 1001;
inline constexpr int kMoveY = 1004;
inline constexpr int kMoveZ = 1005;
inline constexpr int kTurnAngle = 1006;
inline constexpr int kClear = 1007;
inline constexpr int kMove = 1070;
inline constexpr int kRotate = 1071;
inline constexpr int kObjectCount = 1073;
inline constexpr int kFocusOnSelection = 1033;
inline constexpr int kPlacedList = 1031;
// Laying track: "つなぐ" lays the next piece at the selected piece's current open end, "次の端"
// makes the next open end current.
inline constexpr int kAttach = 1084;
inline constexpr int kNextEnd = 1085;

// The buttons that only work while the map is being edited.
inline constexpr std::array<int, 7> kEditButtons = {kPlace, kDelete, kCopy, kMove, kRotate, kAttach, kNextEnd};

// The four relative-move boxes and the texts they start with and are cleared to.
inline constexpr std::array<int, 4> kMoveBoxes = {kMoveX, kMoveY, kMoveZ, kTurnAngle};
inline constexpr std::array<const char*, 4> kMoveBoxDefaults = {"0.0", "1.65", "0.0", "15.0"};

// Columns of the placed-object list.
inline constexpr int kColumnNumber = 0;
inline constexpr int kColumnName = 1;
inline constexpr int kColumnX = 2;
inline constexpr int kColumnY = 3;
inline constexpr int kColumnZ = 4;
inline constexpr int kColumnAngle = 5;
inline constexpr int kColumnKey = 6;

// Sort marks appended to the heading of the sorted column.
inline constexpr const char* kAscendingMark = "▲";
inline constexpr const char* kDescendingMark = "▼";

} // namespace objsel

DialogTemplate ObjectSelectTemplate();

} // namespace ui
