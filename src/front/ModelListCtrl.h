// A report-style list control showing one list view of a dialog model. It is virtual: cells are
// read from the model when drawn, so a layout of two thousand objects stays quick. User
// selections, row clicks and heading clicks go out through the input handler.
#pragma once

#include "front/ControlInput.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include <wx/listctrl.h>

namespace front {

class ModelListCtrl final : public wxListCtrl {
  public:
    using InputHandler = std::function<void(const ControlInput& input)>;
    // Per column the text its width must hold; without it every cell is measured.
    using WidestTexts = std::function<std::vector<std::string>()>;

    ModelListCtrl(wxWindow* parent, const ui::DialogModel& model, int id, InputHandler input);

    void SetWidestTexts(WidestTexts widest) { widest_ = std::move(widest); }

    // Headings, row count, cells, selection and focus from the model; the columns fitted.
    void Sync();
    std::vector<int> SelectedRows() const;
    // Reports now the selection and row clicks still waiting for the event loop, so that input
    // that comes after them (a button of the dialog clicked at once) acts on their outcome.
    void FlushPendingInput();

  private:
    wxString OnGetItemText(long item, long column) const override;
    const ui::ListView& List() const { return model_.List(id_); }
    bool IsRowArea(const wxWindow* child) const;
    void SyncColumns();
    void FitColumns();
    void ScheduleSelectionReport();
    void ReportSelection();
    void ReportRowClicks();
    void OnRowAreaClick(wxMouseEvent& event);
    void OnRowAreaKey(wxKeyEvent& event);

    const ui::DialogModel& model_;
    int id_;
    InputHandler input_;
    WidestTexts widest_;
    bool syncing_ = false;
    bool selectionReportPending_ = false;
    std::vector<wxPoint> pendingClicks_; // row-area clicks not reported yet
    std::uint64_t scrolledSerial_ = 0; // the last scroll request of the model carried out
};

} // namespace front
