#include "app/dialogs/CObjectSelect.h"

#include "layout/CLayout.h"
#include "layout/NumberFilter.h"
#include "math/NumberText.h"
#include "math/ValueLimits.h"
#include "platform/Cp932.h"
#include "platform/Utf8.h"
#include "platform/VirtualKeys.h"
#include "ui/ObjectSelectTemplate.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace app {

namespace {

namespace os = ui::objsel;
namespace vk = platform::vk;

// A number typed into a move or turn box, held to the range a map file's value of its kind may
// take. What is not a finite number stays as it is, for the edit to refuse.
float TypedValue(const ui::DialogModel& dialog, int box, math::ValueKind kind, std::string_view name)
{
    const float value = math::ParseFloat(dialog.Text(box));
    if (!std::isfinite(value)) return value;
    return math::ClampRead(value, kind, "object dialog " + std::string(name));
}

bool IsMoveBox(int id)
{
    return std::find(os::kMoveBoxes.begin(), os::kMoveBoxes.end(), id) != os::kMoveBoxes.end();
}

// The heading without the sort mark at its end, if it has one.
std::string WithoutMark(std::string heading)
{
    for (const std::string_view mark :
         {std::string_view(os::kAscendingMark), std::string_view(os::kDescendingMark)}) {
        if (heading.ends_with(mark)) {
            heading.erase(heading.size() - mark.size());
            break;
        }
    }
    return heading;
}

// Width of a text in half-width cells: characters of the wide scripts count twice, the
// half-width katakana once.
int CellWidth(std::string_view text)
{
    int width = 0;
    std::size_t pos = 0;
    char32_t cp = 0;
    while (platform::NextCodePoint(text, pos, cp)) {
        const bool narrow = cp < 0x1100 || (cp >= 0xFF61 && cp <= 0xFF9F);
        width += narrow ? 1 : 2;
    }
    return width;
}

template <class T> int Compare(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

CObjectSelect::CObjectSelect() : model_(ui::ObjectSelectTemplate()) {}

void CObjectSelect::Bind(layout::CLayout* layout, ObjectSelectHost* host)
{
    layout_ = layout;
    host_ = host;
}

void CObjectSelect::Initialise()
{
    for (std::size_t box = 0; box < os::kMoveBoxes.size(); ++box)
        model_.SetText(os::kMoveBoxes[box], os::kMoveBoxDefaults[box]);
    ShowObjectCount(layout_ ? layout_->Placed().Count() : 0);
}

void CObjectSelect::SetEditButtonsEnabled(bool enabled)
{
    for (const int id : os::kEditButtons)
        model_.SetEnabled(id, enabled);
}

std::string CObjectSelect::ObjectCountText(int count)
{
    return "ｵﾌﾞｼﾞｪｸﾄ数  " + std::to_string(count) + " / " + std::to_string(kMaxObjects);
}

void CObjectSelect::ShowObjectCount(int count)
{
    model_.SetText(os::kObjectCount, ObjectCountText(count));
}

// --- buttons

bool CObjectSelect::Click(int id)
{
    if (!model_.Click(id)) return false;
    switch (id) {
    case os::kPlace:
        PlaceObject();
        break;
    case os::kCopy:
        if (layout_) Report(layout_->CopySelected());
        AfterEdit();
        break;
    case os::kDelete:
        if (layout_) Report(layout_->DeleteSelected());
        AfterEdit();
        break;
    case os::kMove:
        // Text that is not a number reads as 0; an amount out of range moves nothing.
        if (layout_)
            (void)layout_->MoveSelectedBy(TypedValue(model_, os::kMoveX, math::ValueKind::Position, "X"),
                                          TypedValue(model_, os::kMoveY, math::ValueKind::Position, "Y"),
                                          TypedValue(model_, os::kMoveZ, math::ValueKind::Position, "Z"));
        break;
    case os::kRotate:
        if (layout_)
            (void)layout_->TurnSelectedBy(TypedValue(model_, os::kTurnAngle, math::ValueKind::Angle, "θ"));
        break;
    case os::kAttach:
    case os::kNextEnd:
        TrackButton(id);
        break;
    case os::kClear:
        for (std::size_t box = 0; box < os::kMoveBoxes.size(); ++box)
            model_.SetText(os::kMoveBoxes[box], os::kMoveBoxDefaults[box]);
        break;
    default:
        break;
    }
    return true;
}

void CObjectSelect::PlaceObject()
{
    if (!layout_) return;
    const ObjectSelectHost& host = host_ ? *host_ : noHost_;
    // With no catalogue entry chosen the selection is -1, which places nothing and says nothing;
    // a full layout says so.
    const int type = model_.Selection(os::kCatalogue);
    const platform::Status placed = layout_->PlaceObject(type, host.ViewCentreRay());
    if (!placed && placed.error() == layout::LimitMessage(layout::LimitKind::PlaceObjects)) Report(placed);
    AfterEdit();
}

void CObjectSelect::TrackButton(int id)
{
    if (!host_) return;
    if (id == os::kAttach)
        host_->AttachTrack();
    else
        host_->NextTrackEnd();
    ShowObjectCount(layout_ ? layout_->Placed().Count() : 0);
}

void CObjectSelect::Report(const platform::Status& status)
{
    if (!status && host_) host_->ShowWarning(status.error());
}

void CObjectSelect::AfterEdit()
{
    ShowObjectCount(layout_ ? layout_->Placed().Count() : 0);
    if (host_) host_->RefreshTurnoutControls();
}

// --- catalogue and preview

bool CObjectSelect::SelectCatalogue(int index)
{
    if (index < -1 || index >= model_.ItemCount(os::kCatalogue)) return false;
    model_.SetSelection(os::kCatalogue, index);
    RenderPreview();
    return true;
}

void CObjectSelect::OnMouseWheel(int delta)
{
    const int selection = model_.Selection(os::kCatalogue);
    const int count = model_.ItemCount(os::kCatalogue);
    if (delta > 0 && selection > 0)
        model_.SetSelection(os::kCatalogue, selection - 1);
    else if (delta < 0 && selection + 1 != count)
        model_.SetSelection(os::kCatalogue, selection + 1);
    RenderPreview();
}

void CObjectSelect::OnPaint()
{
    RenderPreview();
}

void CObjectSelect::OnMouseMove()
{
    RenderPreview();
}

void CObjectSelect::RenderPreview()
{
    if (host_) host_->RenderPreview();
}

// --- the move boxes

void CObjectSelect::OnEditText(int id, std::string text)
{
    if (!IsMoveBox(id) || !model_.IsEnabled(id)) return;
    // Setting the text tells the view, which may report it back as typed; that report finds
    // nothing left to filter.
    if (filtering_) return;
    filtering_ = true;
    model_.SetText(id, layout::FilterNumberText(text));
    filtering_ = false;
}

// --- the placed-object list

void CObjectSelect::OnListSelection(const std::vector<int>& rows)
{
    anchorRow_ = -1;
    model_.EditList(os::kPlacedList, [&rows](ui::ListView& list) {
        list.SelectAll(false);
        for (const int row : rows)
            list.SetSelected(row, true);
    });
    if (host_) host_->RefreshTurnoutControls();
}

void CObjectSelect::OnRowClick(int row)
{
    const ui::ListView& list = model_.List(os::kPlacedList);
    if (layout_) {
        // Column 0 holds the record number, so this holds in any sort order.
        const bool hit = row >= 0 && row < list.RowCount() && list.IsSelected(row);
        layout_->Selection().SetPrimary(hit ? layout_->Placed().ObjectOfRow(row) : -1);
    }
    if (!host_) return;
    host_->RefreshTurnoutControls();
    if (model_.IsChecked(os::kFocusOnSelection)) {
        if (host_->MapCreationMode())
            host_->FocusOnSelection();
        else
            host_->FollowSelection();
    }
}

bool CObjectSelect::OnListKey(int key, bool shift, bool ctrl)
{
    if (key == vk::kDelete && !ctrl) {
        Click(os::kDelete);
        return true;
    }
    if (key == 'C' && ctrl) {
        Click(os::kCopy);
        return true;
    }
    if ((key != vk::kUp && key != vk::kDown) || ctrl) return false;
    const ui::ListView& list = model_.List(os::kPlacedList);
    if (list.RowCount() == 0) return true;
    const auto valid = [&list](int row) { return row >= 0 && row < list.RowCount(); };
    int from = list.FocusRow();
    if (!valid(from)) {
        const std::vector<int> selected = list.SelectedRows();
        from = selected.empty() ? -1 : selected.front();
    }
    const int row = std::clamp(from + (key == vk::kUp ? -1 : 1), 0, list.RowCount() - 1);
    if (!shift || !valid(anchorRow_)) anchorRow_ = shift && valid(from) ? from : row;
    const int first = std::min(anchorRow_, row), last = std::max(anchorRow_, row);
    model_.EditList(os::kPlacedList, [&](ui::ListView& edited) {
        edited.SelectAll(false);
        for (int r = first; r <= last; ++r)
            edited.SetSelected(r, true);
        edited.SetFocusRow(row);
        edited.ScrollIntoView(row);
    });
    OnRowClick(row);
    return true;
}

void CObjectSelect::OnColumnClick(int column)
{
    if (column < 0 || column >= model_.List(os::kPlacedList).ColumnCount()) return;
    SortBy(column);
}

void CObjectSelect::SortBy(int column)
{
    if (column == sortColumn_) descending_ = !descending_;
    const bool descending = descending_;
    const int previous = sortColumn_;

    model_.EditList(os::kPlacedList, [&](ui::ListView& list) {
        // Each row's item data is its place before the sort, which indexes the keys below.
        const int rows = list.RowCount();
        for (int row = 0; row < rows; ++row)
            list.SetItemData(row, row);

        if (previous >= 0) list.SetHeading(previous, WithoutMark(list.Column(previous).heading));
        list.SetHeading(column, WithoutMark(list.Column(column).heading) +
                                    (descending ? os::kDescendingMark : os::kAscendingMark));

        // Each cell is read once: numbers as atof reads them, texts as their Shift-JIS bytes.
        if (list.Column(column).sort == ui::ColumnSort::Number) {
            std::vector<double> keys(static_cast<std::size_t>(rows));
            for (int row = 0; row < rows; ++row) {
                const double value = math::ParseDouble(list.Cell(row, column));
                keys[static_cast<std::size_t>(row)] = std::isnan(value) ? 0.0 : value;
            }
            list.SortRows([&](const ui::ListRow& a, const ui::ListRow& b) {
                const int order =
                    Compare(keys[static_cast<std::size_t>(a.data)], keys[static_cast<std::size_t>(b.data)]);
                return descending ? -order : order;
            });
        } else {
            std::vector<std::string> keys(static_cast<std::size_t>(rows));
            for (int row = 0; row < rows; ++row)
                keys[static_cast<std::size_t>(row)] = platform::ShiftJisBytes(list.Cell(row, column));
            list.SortRows([&](const ui::ListRow& a, const ui::ListRow& b) {
                const int order =
                    Compare(keys[static_cast<std::size_t>(a.data)], keys[static_cast<std::size_t>(b.data)]);
                return descending ? -order : order;
            });
        }
    });
    sortColumn_ = column;
}

std::vector<std::string> CObjectSelect::WidestTexts() const
{
    const ui::ListView& list = model_.List(os::kPlacedList);
    std::vector<std::string> widest;
    for (int column = 0; column < list.ColumnCount(); ++column) {
        const std::string* best = &list.Column(column).heading;
        int bestWidth = CellWidth(*best);
        for (int row = 0; row < list.RowCount(); ++row) {
            const std::string& cell = list.Cell(row, column);
            // Byte length bounds the width from above: most cells are skipped without decoding.
            if (static_cast<int>(cell.size()) <= bestWidth) continue;
            const int width = CellWidth(cell);
            if (width > bestWidth) {
                best = &cell;
                bestWidth = width;
            }
        }
        widest.push_back(*best);
    }
    return widest;
}

// --- size

ObjectDialogSize CObjectSelect::FitToSize(int windowWidth, int windowHeight, int clientWidth,
                                          int clientHeight)
{
    ObjectDialogSize size;
    size.windowWidth = std::max(windowWidth, kMinWidth);
    size.windowHeight = std::max(windowHeight, kMinHeight);
    // The client area grows with the window.
    const int width = clientWidth + (size.windowWidth - windowWidth);
    const int height = clientHeight + (size.windowHeight - windowHeight);
    size.listX = kListMargin;
    size.listY = kListTop;
    size.listWidth = std::max(0, width - 2 * kListMargin);
    size.listHeight = std::max(0, height - kListTop - kListMargin);
    return size;
}

bool CObjectSelect::OnSize(int windowWidth, int windowHeight, int clientWidth, int clientHeight,
                           ObjectDialogSize& result)
{
    if (firstSize_) {
        firstSize_ = false;
        return false;
    }
    result = FitToSize(windowWidth, windowHeight, clientWidth, clientHeight);
    return true;
}

} // namespace app
