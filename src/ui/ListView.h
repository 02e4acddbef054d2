// A report-style list control as data: columns with headings, rows of text cells with a
// per-row value (item data), a multiple selection and a focus row. Rows keep their selection
// and item data when they are sorted, so a sort never changes what is selected.
#pragma once

#include "ui/DialogTemplate.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ui {

struct ListRow {
    std::vector<std::string> cells; // one per column; missing cells read as ""
    std::int64_t data = 0;
    bool selected = false;
};

class ListView {
  public:
    ListView() = default;
    explicit ListView(std::vector<ColumnTemplate> columns) : columns_(std::move(columns)) {}

    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const ColumnTemplate& Column(int column) const;
    void SetHeading(int column, std::string heading);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const ListRow& Row(int row) const;
    const std::vector<ListRow>& Rows() const { return rows_; }

    // Inserts a row before row at (appended when at is past the end, as the real control
    // does) and returns its index. Later rows move down, with their selection and focus.
    int InsertRow(int at, std::vector<std::string> cells, std::int64_t data = 0);
    int AppendRow(std::vector<std::string> cells, std::int64_t data = 0);
    void DeleteRow(int row);
    void DeleteAllRows();

    const std::string& Cell(int row, int column) const;
    void SetCell(int row, int column, std::string text);
    std::int64_t ItemData(int row) const;
    void SetItemData(int row, std::int64_t data);
    // First row carrying data, or -1.
    int FindRowByData(std::int64_t data) const;

    bool IsSelected(int row) const;
    void SetSelected(int row, bool selected);
    void SelectAll(bool selected);
    std::vector<int> SelectedRows() const;
    int SelectedCount() const;

    // Row with the keyboard focus, or -1.
    int FocusRow() const { return focus_; }
    void SetFocusRow(int row);

    // Asks the control to scroll a row into view, as the real list's "ensure visible" does.
    // Requests are numbered, so that a view carries out each once and in the order asked; the
    // last two are kept (an import shows its last new row, then its first).
    struct ScrollRequest {
        std::uint64_t serial = 0;
        int row = -1;
    };
    void ScrollIntoView(int row);
    const std::vector<ScrollRequest>& ScrollRequests() const { return scrolls_; }

    // Stable sort: compare returns < 0 when a belongs before b, 0 when they are equal (they
    // keep their order), > 0 otherwise. Selection, item data and focus move with the rows.
    void SortRows(const std::function<int(const ListRow& a, const ListRow& b)>& compare);

  private:
    bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }

    std::vector<ColumnTemplate> columns_;
    std::vector<ListRow> rows_;
    int focus_ = -1;
    std::vector<ScrollRequest> scrolls_;
    std::uint64_t nextScroll_ = 1;
};

} // namespace ui
