// The behaviour of the "点検結果" window: it runs the layout check with the thresholds of its
// two edit boxes, lists the findings sorted by kind and position with a count per kind, tells
// which finding a list row shows, and gives the findings that the 3D view marks while the
// window is open. The thresholds are kept in the settings file; a box that holds no positive
// number is checked with the value it had before.
#pragma once

#include "layout/JointMending.h"
#include "layout/LayoutCheck.h"
#include "ui/DialogModel.h"

#include <span>
#include <string>

namespace layout {
class CLayout;
}

namespace app {

class CLayoutCheck {
  public:
    CLayoutCheck();

    ui::DialogModel& Dialog() { return dialog_; }
    const ui::DialogModel& Dialog() const { return dialog_; }

    // The thresholds in the boxes (as the settings file gives them) and as last read.
    void SetSettings(const layout::LayoutCheckSettings& settings);
    const layout::LayoutCheckSettings& Settings() const { return settings_; }
    // The thresholds the boxes hold now, each that is no positive number as last read (what the
    // next check uses, and what the settings file keeps).
    layout::LayoutCheckSettings BoxSettings() const;

    // Reads the boxes, checks the layout, fills the list and the counts, and shows the window.
    void Run(const layout::CLayout& layout);
    const layout::LayoutCheckResult& Result() const { return result_; }

    // The finding a row of the list shows (rows keep their finding when sorted), or null.
    const layout::LayoutFinding* FindingOfRow(int row) const;
    // What the view marks: the findings while the window is shown, nothing otherwise.
    std::span<const layout::LayoutFinding> Markers() const;

    // Writes what a mending did into the window: how many objects moved and which joints were
    // left alone.
    void ShowMendReport(const layout::JointMending& mending);

    // The kind as the list names it.
    static std::string KindText(layout::FindingKind kind);

  private:
    void Fill();

    ui::DialogModel dialog_;
    layout::LayoutCheckSettings settings_;
    layout::LayoutCheckResult result_;
};

} // namespace app
