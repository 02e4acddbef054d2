// Templates of the smaller windows: the main window's own controls (dialog 102; its menu,
// tool bar and status bar have models of their own) and the help and message viewer
// (dialog 145, one template for both viewers).
#pragma once

#include "ui/DialogTemplate.h"

namespace ui {

namespace mainwin {

inline constexpr int kDialogId = 102;
inline constexpr int kRenderView = 1000;
inline constexpr int kStart = 1002; // hidden until start-up has finished

} // namespace mainwin

namespace viewer {

inline constexpr int kDialogId = 145;
inline constexpr int kText = 1080;
inline constexpr const char* kHelpTitle = "使い方";
inline constexpr const char* kMessagesTitle = "メッセージ";

} // namespace viewer

DialogTemplate MainWindowTemplate();
// The viewer's title is set when each of the two viewers is created.
DialogTemplate MessageViewerTemplate();

} // namespace ui
