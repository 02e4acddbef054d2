// The settings dialog "設定" (dialog 135): its control ids and its template, with every
// control in the state the dialog gives it when it initialises itself (radios, slider ranges
// and positions, check states, list and combo items, drive-type selections).
#pragma once

#include "ui/DialogTemplate.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

namespace setup {

inline constexpr int kDialogId = 135;

// Render states.
inline constexpr int kShadeGouraud = 1009;
inline constexpr int kShadeFlat = 1010;
inline constexpr int kFillSolid = 1011;
inline constexpr int kFillWireframe = 1012;
inline constexpr int kCullNone = 1022;
inline constexpr int kCullCcw = 1023;
inline constexpr int kCullCw = 1024;

// Display.
inline constexpr int kTrack = 1043; // three states: guide meshes off / all / turnouts only
inline constexpr int kText = 1047;
inline constexpr int kSprites = 1073;
inline constexpr int kSpriteStyle = 1076;
inline constexpr int kLight = 1077;
inline constexpr int kLightLabel = 1078;
inline constexpr int kObjectAlpha = 1050;
inline constexpr int kObjectAlphaLabel = 1052;
inline constexpr int kBackgroundAlpha = 1051;
inline constexpr int kBackgroundAlphaLabel = 1053;

// Debugging and behaviour switches.
inline constexpr int kLines = 1035;
inline constexpr int kSync = 1082;
// Passes at 60 a second of wall time, whatever the drawing rate.
inline constexpr int kRealTime = 1090;
inline constexpr int kNoDeceleration = 1033;
inline constexpr int kCantDetection = 1071;
inline constexpr int kTurnAboutCarOrigin = 1046;
inline constexpr int kStripVertexColours = 1072;

// Which vehicle the keyboard drives, and the vehicles' boxes.
inline constexpr int kDriveCamera = 1021;
inline constexpr int kDrivePlane = 1016;
inline constexpr int kDriveHelicopter = 1017;
inline constexpr int kPlaneModel = 1068;
inline constexpr int kPlaneHome = 1015;
inline constexpr int kHelicopterModel = 1069;
inline constexpr int kHelicopterHome = 1018;
inline constexpr int kCarModel = 1070;
inline constexpr int kCarHome = 1020;

// Train slots 1 to 6 at index 0 to 5.
inline constexpr std::array<int, 6> kTrainModel = {1056, 1057, 1058, 1059, 1064, 1065};
inline constexpr std::array<int, 6> kTrainHome = {1002, 1003, 1004, 1005, 1019, 1026};
inline constexpr std::array<int, 6> kDriveType = {1060, 1061, 1062, 1063, 1066, 1067};

// Camera.
inline constexpr int kPositionList = 1031;
inline constexpr int kViewPointList = 1032;
inline constexpr int kDistance = 1038;
inline constexpr int kDistanceLabel = 1040;
inline constexpr int kFieldOfView = 1041;
inline constexpr int kFieldOfViewLabel = 1042;
inline constexpr int kCulling = 1048;
inline constexpr int kCullingLabel = 1049;
inline constexpr int kPerspective = 1028;  // not shown
inline constexpr int kOrthographic = 1029; // not shown
inline constexpr int kUnusedHome = 1025;   // not shown, no effect

// The six sliders in the order their labels are refreshed.
inline constexpr std::array<int, 6> kSliders = {kDistance,    kFieldOfView,     kCulling,
                                                kObjectAlpha, kBackgroundAlpha, kLight};

// Entry 11 of both camera lists: the selected object.
inline constexpr int kSelectedObjectEntry = 11;

// Status-bar panes 1 and 2 show the camera lists' choices after these.
inline constexpr std::string_view kPositionPanePrefix = "位置(F5)：";
inline constexpr std::string_view kViewPointPanePrefix = "視点(F6)：";

} // namespace setup

// Items of the camera position list (12) and of the view-point list (those 12 and 4 more).
std::vector<std::string> PositionItems();
std::vector<std::string> ViewPointItems();
// The twenty drive-type names, in the row order of the drive-type key table.
std::vector<std::string> DriveTypeItems();
// The key-label styles.
std::vector<std::string> SpriteStyleItems();

// The dialog in its initialised state. driveTypes fills the six drive-type boxes (the key
// table's names when the caller has them; the built-in names otherwise); train n selects
// entry n - 1 when it exists.
DialogTemplate SetUpTemplate(const std::vector<std::string>& driveTypes = DriveTypeItems());

} // namespace ui
