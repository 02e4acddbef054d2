// Command ids of the main window's menu and tool bar, as the program has always numbered
// them (several lie above 32767; the front end maps them through CommandIdMap).
#pragma once

#include <array>

namespace ui::cmd {

// Menu "ファイル(&F)".
inline constexpr int kLoadMap = 32772;
inline constexpr int kSaveMap = 32779;
inline constexpr int kImportMap = 32833;
inline constexpr int kObjectFolder = 32783;
inline constexpr int kBackground = 32784;
inline constexpr int kTrainFolder = 32785;
inline constexpr int kPlaneFolder = 32804;
inline constexpr int kHelicopterFolder = 32805;
inline constexpr int kCarFolder = 32828;
// "上書き保存" (the map file without a chooser), "終了" (as the close box) and the eight items of
// "最近使ったファイル", the most recent first.
inline constexpr int kSaveOver = 32855;
inline constexpr int kQuit = 32856;
inline constexpr int kRecentFirst = 32857;
inline constexpr int kRecentCount = 8;
inline constexpr int kRecentLast = kRecentFirst + kRecentCount - 1;

// Menu "編集(&E)": the edits of the layout undone and redone, the layout check and its
// "点検結果" window.
inline constexpr int kUndo = 32840;
inline constexpr int kRedo = 32841;
inline constexpr int kLayoutCheck = 32842;
// "部品表" (編集) and "平面図の書き出し" (ファイル).
inline constexpr int kPartsList = 32848;
inline constexpr int kExportPlan = 32850;
// "パッケージの保存" and "パッケージを開く" (ファイル): a layout with every file it uses as one zip.
inline constexpr int kSavePackage = 32851;
inline constexpr int kOpenPackage = 32852;
// "つなぐ" (Insert): the next piece laid against the selected piece's open end; with Shift
// ("反転") by the new piece's other end.
inline constexpr int kAttach = 32854;

// Menu "ウィンドウ(&W)".
inline constexpr int kShowSettings = 32778;
inline constexpr int kShowObjects = 32808;
// "全体を表示": the free camera looks down on the whole layout.
inline constexpr int kWholeLayout = 32853;
// "運転管理": the operation window (protection, autopilot, stops, itineraries).
inline constexpr int kOperation = 32845;

// Menu "ポイント切り替え(&P)": no key, then turnout keys 0 to 11 at kKeyFirst + key.
inline constexpr int kKeyNone = 32815;
inline constexpr int kKeyFirst = 32816;
inline constexpr int kKeyLast = 32827;
inline constexpr int kTurnoutKeyCount = 12;

// Menu "ヘルプ(&H)".
inline constexpr int kHelp = 32830;
inline constexpr int kMessages = 32832;
inline constexpr int kAbout = 32806;
inline constexpr int kUpdateCheck = 32807;

// The help key's command, which also toggles the help viewer.
inline constexpr int kHelpKey = 57670;

// Tool bar.
inline constexpr int kToolLoadMap = 32773;
inline constexpr int kToolSaveMap = 32774;
inline constexpr int kToolCreateMap = 32780;
inline constexpr int kToolMoveCar = 32786;
inline constexpr int kToolMoveTrain = 32788;
inline constexpr int kToolGrid = 32789;
inline constexpr int kToolMagnet = 32790;
inline constexpr int kToolCurveDetection = 32793;
inline constexpr int kToolHeightDetection = 32794;
// The edit menu's undo and redo on the tool bar.
inline constexpr int kToolUndo = 32843;
inline constexpr int kToolRedo = 32844;
// Pause and fast-forward of the simulation, after the point buttons.
inline constexpr int kToolPause = 32846;
inline constexpr int kToolFastForward = 32847;
// "全体を表示" of the window menu on the tool bar.
inline constexpr int kToolWholeLayout = 32865;
// "計測": the ruler, on while checked.
inline constexpr int kToolMeasure = 32849;
// "運転管理" of the window menu on the tool bar.
inline constexpr int kToolOperation = 32866;
// Point buttons for routes 0 to 9.
inline constexpr std::array<int, 10> kToolPoints = {32796, 32797, 32798, 32799, 32809,
                                                    32810, 32811, 32812, 32813, 32814};

// Tool-bar slots the main loop and the click handling read by position.
inline constexpr int kSlotCreateMap = 5;
inline constexpr int kSlotMoveCar = 7;
inline constexpr int kSlotMoveTrain = 8;
inline constexpr int kSlotFirstPoint = 16;
inline constexpr int kToolSlotCount = 32;

// Position of the turnout-key menu among the menu bar's pop-ups.
inline constexpr int kTurnoutMenu = 3;

} // namespace ui::cmd
