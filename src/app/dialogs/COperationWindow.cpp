#include "app/dialogs/COperationWindow.h"

#include "math/NumberText.h"
#include "ui/OperationTemplate.h"

#include <algorithm>
#include <optional>
#include <sstream>

namespace app {

namespace {

namespace op = ui::operation;

constexpr int kMaxCruiseKmh = 999;

// A whole number, blanks around it allowed.
std::optional<int> WholeNumber(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return math::ParseWholeNumber(text);
}

std::vector<std::string> Cells(const OperationSlotView& view)
{
    if (!view.hasTrain) return {std::to_string(view.slot), "", "", "", "", "（なし）"};
    return {std::to_string(view.slot),
            view.autopilot ? "○" : "",
            std::to_string(view.cruiseKmh),
            view.shuttle ? "○" : "",
            COperationWindow::ItineraryText(view.itinerary),
            view.tooLong ? view.state + " 編成が駅より長い" : view.state};
}

std::vector<std::string> StopCells(const OperationStopView& stop)
{
    return {std::to_string(stop.number), std::to_string(stop.dwellSeconds), stop.terminus ? "○" : "",
            COperationWindow::ItineraryText(stop.pieces)};
}

} // namespace

COperationWindow::COperationWindow() : dialog_(ui::OperationTemplate()) {}

std::string COperationWindow::ItineraryText(const std::vector<int>& stops)
{
    std::string text;
    for (const int stop : stops) text += (text.empty() ? "" : " ") + std::to_string(stop);
    return text;
}

bool COperationWindow::ParseItinerary(const std::string& text, std::vector<int>& stops)
{
    std::vector<int> parsed;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        const std::optional<int> stop = WholeNumber(word);
        if (!stop || *stop < 0) return false;
        parsed.push_back(*stop);
    }
    stops = std::move(parsed);
    return true;
}

void COperationWindow::Show(const OperationPort& port)
{
    Refresh(port);
    SelectRow(port, selected_ - 1);
    dialog_.SetText(op::kReport, "");
    dialog_.SetVisible(true);
}

void COperationWindow::RefreshStops(const OperationPort& port)
{
    std::vector<OperationStopView> stops = port.Stops();
    if (stops == stops_) return;
    stops_ = std::move(stops);
    dialog_.EditList(op::kStops, [&](ui::ListView& view) {
        std::vector<int> chosen;
        for (const int row : view.SelectedRows()) chosen.push_back(static_cast<int>(view.ItemData(row)));
        view.DeleteAllRows();
        for (const OperationStopView& stop : stops_) {
            view.AppendRow(StopCells(stop), stop.number);
            if (std::find(chosen.begin(), chosen.end(), stop.number) != chosen.end())
                view.SetSelected(view.RowCount() - 1, true);
        }
    });
}

void COperationWindow::RefreshTerminus(const OperationPort& port)
{
    const int piece = port.SelectedStop();
    const auto stop = std::find_if(stops_.begin(), stops_.end(), [piece](const OperationStopView& s) {
        return std::find(s.pieces.begin(), s.pieces.end(), piece) != s.pieces.end();
    });
    const bool on = stop != stops_.end() && stop->terminus;
    if (dialog_.IsChecked(op::kTerminus) != on) dialog_.SetCheck(op::kTerminus, on ? 1 : 0);
}

void COperationWindow::SelectStopRow(OperationPort& port, int row)
{
    const ui::ListView& list = dialog_.List(op::kStops);
    if (row < 0 || row >= list.RowCount()) return;
    port.SelectStop(static_cast<int>(list.ItemData(row)));
}

void COperationWindow::ChooseStop(OperationPort& port, int number)
{
    RefreshStops(port);
    dialog_.EditList(op::kStops, [number](ui::ListView& view) {
        view.SelectAll(false);
        for (int row = 0; row < view.RowCount(); ++row) {
            if (view.ItemData(row) != number) continue;
            view.SetSelected(row, true);
            view.SetFocusRow(row);
            view.ScrollIntoView(row);
        }
    });
    port.SelectStop(number);
}

void COperationWindow::Refresh(const OperationPort& port)
{
    RefreshStops(port);
    RefreshTerminus(port);
    if (dialog_.IsChecked(op::kProtect) != port.Protect()) dialog_.SetCheck(op::kProtect, port.Protect() ? 1 : 0);
    const ui::ListView& list = dialog_.List(op::kSlots);
    std::vector<std::vector<std::string>> rows;
    for (int slot = 1; slot <= kSlots; ++slot) rows.push_back(Cells(port.Slot(slot)));
    bool same = list.RowCount() == kSlots;
    for (int row = 0; same && row < kSlots; ++row) {
        const int slot = static_cast<int>(list.ItemData(row));
        for (int column = 0; same && column < list.ColumnCount(); ++column)
            same = list.Cell(row, column) == rows[static_cast<std::size_t>(slot - 1)][static_cast<std::size_t>(column)];
    }
    if (same) return;
    dialog_.EditList(op::kSlots, [&](ui::ListView& view) {
        if (view.RowCount() != kSlots) {
            view.DeleteAllRows();
            for (int slot = 1; slot <= kSlots; ++slot) view.AppendRow(rows[static_cast<std::size_t>(slot - 1)], slot);
            view.SetSelected(selected_ - 1, true);
            return;
        }
        // Rows keep their place (and the user's sorting); only their cells change.
        for (int row = 0; row < kSlots; ++row) {
            const auto& cells = rows[static_cast<std::size_t>(view.ItemData(row) - 1)];
            for (int column = 0; column < view.ColumnCount(); ++column)
                if (view.Cell(row, column) != cells[static_cast<std::size_t>(column)])
                    view.SetCell(row, column, cells[static_cast<std::size_t>(column)]);
        }
    });
}

void COperationWindow::SelectRow(const OperationPort& port, int row)
{
    const ui::ListView& list = dialog_.List(op::kSlots);
    if (row < 0 || row >= list.RowCount()) return;
    selected_ = static_cast<int>(list.ItemData(row));
    // One slot at a time: the boxes show that one.
    if (list.SelectedRows() != std::vector<int>{row}) {
        dialog_.EditList(op::kSlots, [row](ui::ListView& view) {
            view.SelectAll(false);
            view.SetSelected(row, true);
        });
    }
    FillBoxes(port.Slot(selected_));
}

void COperationWindow::FillBoxes(const OperationSlotView& view)
{
    dialog_.SetCheck(op::kAuto, view.autopilot ? 1 : 0);
    dialog_.SetText(op::kCruise, std::to_string(view.cruiseKmh));
    dialog_.SetCheck(op::kShuttle, view.shuttle ? 1 : 0);
    dialog_.SetText(op::kItinerary, ItineraryText(view.itinerary));
}

void COperationWindow::Click(OperationPort& port, int id)
{
    switch (id) {
    case op::kProtect:
        port.SetProtect(dialog_.IsChecked(op::kProtect));
        break;
    case op::kApply: {
        OperationSlotView view = port.Slot(selected_);
        const std::optional<int> cruise = WholeNumber(dialog_.Text(op::kCruise));
        std::vector<int> stops;
        if (!cruise || *cruise <= 0 || *cruise > kMaxCruiseKmh) {
            dialog_.SetText(op::kReport, "巡航速度は1から999までの数で指定してください。");
            break;
        }
        if (!ParseItinerary(dialog_.Text(op::kItinerary), stops)) {
            dialog_.SetText(op::kReport, "行路は駅の番号を空白で区切って指定してください。");
            break;
        }
        view.autopilot = dialog_.IsChecked(op::kAuto);
        view.cruiseKmh = *cruise;
        view.shuttle = dialog_.IsChecked(op::kShuttle);
        view.itinerary = std::move(stops);
        port.SetSlot(view);
        dialog_.SetText(op::kReport, "");
        break;
    }
    case op::kMarkStop: {
        const std::optional<int> dwell = WholeNumber(dialog_.Text(op::kDwell));
        if (!dwell || *dwell < 0) {
            dialog_.SetText(op::kReport, "停車時間は0以上の秒数で指定してください。");
            break;
        }
        std::string why;
        dialog_.SetText(op::kReport, port.MarkSelectedAsStop(*dwell, why) ? "" : why);
        break;
    }
    case op::kTerminus: {
        const int stop = port.SelectedStop();
        if (stop < 0) {
            dialog_.SetText(op::kReport, "駅を選択してください。");
            break;
        }
        port.SetStopTerminus(stop, dialog_.IsChecked(op::kTerminus));
        dialog_.SetText(op::kReport, "");
        break;
    }
    case op::kAddStop: {
        const int stop = port.SelectedStop();
        if (stop < 0) {
            dialog_.SetText(op::kReport, "駅を選択してください。");
            break;
        }
        OperationSlotView view = port.Slot(selected_);
        view.itinerary.push_back(stop);
        port.SetSlot(view);
        dialog_.SetText(op::kItinerary, ItineraryText(view.itinerary));
        dialog_.SetText(op::kReport, "");
        break;
    }
    default:
        break;
    }
    Refresh(port);
}

} // namespace app
