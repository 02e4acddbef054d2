#include "front/ModelListCtrl.h"

#include "front/WxText.h"
#include "platform/VirtualKeys.h"

#include <algorithm>

namespace front {

namespace {

constexpr int kCellPadding = 16;

} // namespace

ModelListCtrl::ModelListCtrl(wxWindow* parent, const ui::DialogModel& model, int id, InputHandler input)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_SUNKEN),
      model_(model), id_(id), input_(std::move(input))
{
    SyncColumns();

    Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& event) {
        ScheduleSelectionReport();
        event.Skip();
    });
    Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent& event) {
        ScheduleSelectionReport();
        event.Skip();
    });
    Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& event) {
        input_({.kind = ControlInput::Kind::ListColumnClick, .id = id_, .value = event.GetColumn()});
    });
    // Clicks on the rows land on the control's inner row window, not on the control itself (nor
    // on the heading row beside it).
    for (wxWindow* child : GetChildren()) {
        if (IsRowArea(child)) {
            child->Bind(wxEVT_LEFT_UP, &ModelListCtrl::OnRowAreaClick, this);
            child->Bind(wxEVT_KEY_DOWN, &ModelListCtrl::OnRowAreaKey, this);
        }
    }
}

void ModelListCtrl::OnRowAreaKey(wxKeyEvent& event)
{
    // The keys the dialog's behaviour answers; the control keeps the rest (Home, End, paging).
    namespace vk = platform::vk;
    int code = 0;
    switch (event.GetKeyCode()) {
    case WXK_UP:
        code = vk::kUp;
        break;
    case WXK_DOWN:
        code = vk::kDown;
        break;
    case WXK_DELETE:
        code = vk::kDelete;
        break;
    case 'C':
        code = event.ControlDown() ? 'C' : 0;
        break;
    default:
        break;
    }
    if (code == 0) {
        event.Skip();
        return;
    }
    input_({.kind = ControlInput::Kind::ListKey,
            .id = id_,
            .value = code,
            .shift = event.ShiftDown(),
            .ctrl = event.ControlDown()});
}

bool ModelListCtrl::IsRowArea(const wxWindow* child) const
{
    // The generic control's two inner windows are its rows and its heading row; its row window
    // is only declared, so it is told apart by address (both derive from wxWindow alone).
    return static_cast<const void*>(child) == static_cast<const void*>(m_mainWin);
}

wxString ModelListCtrl::OnGetItemText(long item, long column) const
{
    // In the user's language, as every text the program shows outside an edit box: the states
    // and kinds the lists show are the program's own words.
    return Tx(List().Cell(static_cast<int>(item), static_cast<int>(column)));
}

void ModelListCtrl::SyncColumns()
{
    const ui::ListView& list = List();
    if (GetColumnCount() != list.ColumnCount()) {
        DeleteAllColumns();
        for (int column = 0; column < list.ColumnCount(); ++column) {
            const ui::ColumnTemplate& heading = list.Column(column);
            InsertColumn(column, Tx(heading.heading),
                         heading.align == ui::ColumnAlign::Right ? wxLIST_FORMAT_RIGHT : wxLIST_FORMAT_LEFT);
        }
        return;
    }
    bool changed = false;
    for (int column = 0; column < list.ColumnCount(); ++column) {
        wxListItem item;
        item.SetMask(wxLIST_MASK_TEXT);
        GetColumn(column, item);
        const wxString heading = Tx(list.Column(column).heading);
        if (item.GetText() != heading) {
            item.SetText(heading);
            SetColumn(column, item);
            changed = true;
        }
    }
    // The header row repaints a changed heading only at idle time, which the running loop never
    // leaves: it is asked to repaint now, so that a sort mark moves at once.
    if (!changed) return;
    for (wxWindow* child : GetChildren()) {
        if (!IsRowArea(child)) child->Refresh();
    }
}

void ModelListCtrl::FitColumns()
{
    // Fitted to the headings and the cells, as the list does after its rows are written.
    const ui::ListView& list = List();
    const std::vector<std::string> widest = widest_ ? widest_() : std::vector<std::string>{};
    for (int column = 0; column < list.ColumnCount(); ++column) {
        int width = GetTextExtent(Tx(list.Column(column).heading)).x;
        if (static_cast<std::size_t>(column) < widest.size()) {
            width = std::max(width, GetTextExtent(Tx(widest[static_cast<std::size_t>(column)])).x);
        } else {
            for (int row = 0; row < list.RowCount(); ++row)
                width = std::max(width, GetTextExtent(Tx(list.Cell(row, column))).x);
        }
        if (GetColumnWidth(column) != width + kCellPadding) SetColumnWidth(column, width + kCellPadding);
    }
}

void ModelListCtrl::Sync()
{
    syncing_ = true;
    SyncColumns();
    const ui::ListView& list = List();
    if (GetItemCount() != list.RowCount()) SetItemCount(list.RowCount());
    FitColumns();
    for (int row = 0; row < list.RowCount(); ++row) {
        const bool selected = list.IsSelected(row);
        if ((GetItemState(row, wxLIST_STATE_SELECTED) != 0) != selected)
            SetItemState(row, selected ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    }
    const int focus = list.FocusRow();
    if (focus >= 0 && GetItemState(focus, wxLIST_STATE_FOCUSED) == 0)
        SetItemState(focus, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    if (list.RowCount() > 0) RefreshItems(0, list.RowCount() - 1);
    for (const ui::ListView::ScrollRequest& request : list.ScrollRequests()) {
        if (request.serial <= scrolledSerial_) continue;
        scrolledSerial_ = request.serial;
        if (request.row < GetItemCount()) EnsureVisible(request.row);
    }
    syncing_ = false;
}

std::vector<int> ModelListCtrl::SelectedRows() const
{
    std::vector<int> rows;
    for (long row = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row != -1;
         row = GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        rows.push_back(static_cast<int>(row));
    return rows;
}

void ModelListCtrl::ScheduleSelectionReport()
{
    // A click on a range sends one event per row; the model hears of the outcome once.
    if (syncing_ || selectionReportPending_) return;
    selectionReportPending_ = true;
    CallAfter([this] { ReportSelection(); });
}

void ModelListCtrl::ReportSelection()
{
    if (!selectionReportPending_) return;
    selectionReportPending_ = false;
    input_({.kind = ControlInput::Kind::ListSelection, .id = id_, .rows = SelectedRows()});
}

void ModelListCtrl::OnRowAreaClick(wxMouseEvent& event)
{
    event.Skip();
    pendingClicks_.push_back(event.GetPosition());
    CallAfter([this] { ReportRowClicks(); });
}

void ModelListCtrl::ReportRowClicks()
{
    // After the selection the click made has been reported, as the list's own click note comes.
    ReportSelection();
    std::vector<wxPoint> clicks;
    clicks.swap(pendingClicks_);
    for (const wxPoint& at : clicks) {
        int flags = 0;
        const long row = HitTest(at, flags);
        const bool onRow = row >= 0 && (flags & wxLIST_HITTEST_ONITEM) != 0;
        input_({.kind = ControlInput::Kind::ListRowClick,
                .id = id_,
                .value = onRow ? static_cast<int>(row) : -1});
    }
}

void ModelListCtrl::FlushPendingInput()
{
    ReportRowClicks();
}

} // namespace front
