// Unsaved changes: the question before they are lost, and the recovery file that keeps them.
#include "app/CSimulatorApp.h"

#include "ui/WindowTemplates.h"

namespace app {

bool CSimulatorApp::ConfirmUnsavedChanges()
{
    if (!layout_->History().changed) return true;
    const platform::MessageAnswer answer =
        dialogs_.ShowMessage({.text = "マップデータが変更されています。保存しますか？",
                              .icon = platform::MessageIcon::Warning,
                              .buttons = platform::MessageButtons::YesNoCancel,
                              .owner = ui::mainwin::kDialogId,
                              .labels = {"保存", "保存しない", "キャンセル"}});
    if (answer == platform::MessageAnswer::Cancel) return false;
    if (answer == platform::MessageAnswer::No) discardedAt_ = layout_->History().commands;
    if (answer == platform::MessageAnswer::Yes) {
        layout_->SaveMap();
        return !layout_->History().changed;
    }
    return true;
}

void CSimulatorApp::OfferRecovery()
{
    recovery_.Offer(*layout_);
    RefreshTurnoutControls();
    RefreshEditState();
}

void CSimulatorApp::KeepRecovery()
{
    recovery_.Keep(*layout_);
}

void CSimulatorApp::KeepUnsavedForRecovery()
{
    if (closed_) return;
    recovery_.WriteNow(*layout_);
    // Nobody was asked this time: an earlier "保存しない" (to a load given up later) does not
    // throw these changes away.
    discardedAt_.reset();
}

} // namespace app
