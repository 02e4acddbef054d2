#include "ui/ListView.h"

#include <algorithm>
#include <numeric>

namespace ui {

namespace {

const std::string kEmpty;
const ColumnTemplate kNoColumn;
const ListRow kNoRow;

} // namespace

const ColumnTemplate& ListView::Column(int column) const
{
    if (column < 0 || column >= ColumnCount()) return kNoColumn;
    return columns_[column];
}

void ListView::SetHeading(int column, std::string heading)
{
    if (column < 0 || column >= ColumnCount()) return;
    columns_[column].heading = std::move(heading);
}

const ListRow& ListView::Row(int row) const
{
    return ValidRow(row) ? rows_[row] : kNoRow;
}

int ListView::InsertRow(int at, std::vector<std::string> cells, std::int64_t data)
{
    at = std::clamp(at, 0, RowCount());
    rows_.insert(rows_.begin() + at, ListRow{std::move(cells), data, false});
    if (focus_ >= at) ++focus_;
    return at;
}

int ListView::AppendRow(std::vector<std::string> cells, std::int64_t data)
{
    return InsertRow(RowCount(), std::move(cells), data);
}

void ListView::DeleteRow(int row)
{
    if (!ValidRow(row)) return;
    rows_.erase(rows_.begin() + row);
    if (focus_ == row) {
        focus_ = -1;
    } else if (focus_ > row) {
        --focus_;
    }
}

void ListView::DeleteAllRows()
{
    rows_.clear();
    focus_ = -1;
}

const std::string& ListView::Cell(int row, int column) const
{
    if (!ValidRow(row) || column < 0) return kEmpty;
    const auto& cells = rows_[row].cells;
    return column < static_cast<int>(cells.size()) ? cells[column] : kEmpty;
}

void ListView::SetCell(int row, int column, std::string text)
{
    if (!ValidRow(row) || column < 0 || column >= ColumnCount()) return;
    auto& cells = rows_[row].cells;
    if (column >= static_cast<int>(cells.size())) cells.resize(column + 1);
    cells[column] = std::move(text);
}

std::int64_t ListView::ItemData(int row) const
{
    return ValidRow(row) ? rows_[row].data : 0;
}

void ListView::SetItemData(int row, std::int64_t data)
{
    if (ValidRow(row)) rows_[row].data = data;
}

int ListView::FindRowByData(std::int64_t data) const
{
    for (int row = 0; row < RowCount(); ++row) {
        if (rows_[row].data == data) return row;
    }
    return -1;
}

bool ListView::IsSelected(int row) const
{
    return ValidRow(row) && rows_[row].selected;
}

void ListView::SetSelected(int row, bool selected)
{
    if (ValidRow(row)) rows_[row].selected = selected;
}

void ListView::SelectAll(bool selected)
{
    for (auto& row : rows_)
        row.selected = selected;
}

std::vector<int> ListView::SelectedRows() const
{
    std::vector<int> selected;
    for (int row = 0; row < RowCount(); ++row) {
        if (rows_[row].selected) selected.push_back(row);
    }
    return selected;
}

int ListView::SelectedCount() const
{
    return static_cast<int>(
        std::count_if(rows_.begin(), rows_.end(), [](const ListRow& r) { return r.selected; }));
}

void ListView::SetFocusRow(int row)
{
    focus_ = ValidRow(row) ? row : -1;
}

void ListView::ScrollIntoView(int row)
{
    if (!ValidRow(row)) return;
    constexpr std::size_t kKept = 2;
    if (scrolls_.size() == kKept) scrolls_.erase(scrolls_.begin());
    scrolls_.push_back({nextScroll_++, row});
}

void ListView::SortRows(const std::function<int(const ListRow& a, const ListRow& b)>& compare)
{
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(rows_[a], rows_[b]) < 0; });

    std::vector<ListRow> sorted;
    sorted.reserve(rows_.size());
    int newFocus = -1;
    for (int position = 0; position < static_cast<int>(order.size()); ++position) {
        if (order[position] == focus_) newFocus = position;
        sorted.push_back(std::move(rows_[order[position]]));
    }
    rows_ = std::move(sorted);
    focus_ = newFocus;
}

} // namespace ui
