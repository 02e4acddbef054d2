#include "app/dialogs/CPartsListWindow.h"

#include "math/NumberText.h"
#include "platform/Translation.h"
#include "ui/PlanTemplates.h"

namespace app {

namespace {

namespace pl = ui::partslist;

// Columns of the cells that count the selected objects alone.
constexpr std::size_t kSelectedCount = 4;
constexpr std::size_t kSelectedLength = 5;
constexpr std::size_t kSelectedModel = 7;

} // namespace

CPartsListWindow::CPartsListWindow() : dialog_(ui::PartsListTemplate()) {}

void CPartsListWindow::Show(const PartsListPort& port)
{
    stamp_.reset();
    Refresh(port);
    dialog_.SetText(pl::kReport, "");
    dialog_.SetVisible(true);
}

void CPartsListWindow::Refresh(const PartsListPort& port)
{
    PartsListStamp stamp = port.Stamp();
    if (stamp_ == stamp) return;
    list_ = port.List();
    stamp_ = std::move(stamp);
    Fill();
}

void CPartsListWindow::Fill()
{
    const int scale = stamp_ ? stamp_->scale : 0;
    std::vector<std::vector<std::string>> lines = layout::PartsListCells(list_, scale);
    const std::vector<std::string> total = lines.back();
    lines.pop_back();
    dialog_.EditList(pl::kRows, [&](ui::ListView& view) {
        view.DeleteAllRows();
        for (std::size_t row = 0; row < lines.size(); ++row) {
            std::vector<std::string>& cells = lines[row];
            cells.resize(static_cast<std::size_t>(view.ColumnCount()));
            // Without a selection its columns stay empty rather than all nought.
            if (!list_.hasSelection)
                for (const std::size_t column : {kSelectedCount, kSelectedLength, kSelectedModel})
                    if (column < cells.size()) cells[column].clear();
            view.AppendRow(cells, list_.rows[row].type);
        }
    });

    // "合計 12 個  線路長 300.000 単位 (3448.3 mm, 1:87)  選択中 2 個 25.000 単位"
    using platform::Tr;
    std::string text = Tr("合計") + " " + total[1] + " " + Tr("個") + "  " + Tr("線路長") + " " + total[2] + " " +
                       Tr("単位");
    if (scale > 0) text += " (" + total[6] + " mm, 1:" + std::to_string(scale) + ")";
    if (list_.hasSelection) text += "  " + Tr("選択中") + " " + total[4] + " " + Tr("個") + " " + total[5] + " " + Tr("単位");
    dialog_.SetText(pl::kTotals, text);
}

void CPartsListWindow::Click(PartsListPort& port, int id)
{
    Refresh(port);
    const int scale = stamp_ ? stamp_->scale : 0;
    if (id == pl::kSaveCsv) {
        const std::optional<std::string> path = port.ChooseCsvFile();
        if (!path) return;
        const platform::Status written = port.WriteCsv(*path);
        dialog_.SetText(pl::kReport, written ? platform::Tr("保存しました") + ": " + *path
                                             : platform::Tr("保存できませんでした") + ": " + written.error());
    } else if (id == pl::kCopy) {
        const bool copied = port.CopyText(layout::PartsListTabText(list_, scale));
        dialog_.SetText(pl::kReport, platform::Tr(copied ? "クリップボードにコピーしました" : "クリップボードにコピーできませんでした"));
    }
}

} // namespace app
