// The behaviour of the "部品表" window: a row per object type the layout uses, in catalogue
// order, with its count and track length (a turnout's other routes apart), the same for the
// selected objects while there are any, and the model lengths at the scale chosen for the plan.
// The totals under the list state the unit. "CSVで保存" and "コピー" hand on the very list shown.
// While shown, the list follows every edit and every change of the selection.
#pragma once

#include "layout/PartsList.h"
#include "platform/Result.h"
#include "ui/DialogModel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace app {

// When the list was made: a change of any of these makes it again.
struct PartsListStamp {
    std::uint64_t edits = 0;
    // A load forgets the edits; the map and the object count tell that another layout is there.
    std::string map;
    int objects = 0;
    std::vector<int> selected;
    int scale = 0;
    friend bool operator==(const PartsListStamp&, const PartsListStamp&) = default;
};

// What the window reads and where its buttons go; the application implements it over its layout.
class PartsListPort {
  public:
    virtual ~PartsListPort() = default;
    virtual PartsListStamp Stamp() const = 0;
    virtual layout::PartsList List() const = 0;
    // The file the CSV goes to, or nothing when the user cancelled.
    virtual std::optional<std::string> ChooseCsvFile() = 0;
    // The list as CSV at the stamp's scale, written atomically.
    virtual platform::Status WriteCsv(const std::string& path) = 0;
    // False when the clipboard could not take it.
    virtual bool CopyText(const std::string& text) = 0;
};

class CPartsListWindow {
  public:
    CPartsListWindow();

    ui::DialogModel& Dialog() { return dialog_; }
    const ui::DialogModel& Dialog() const { return dialog_; }

    // Fills the window from the port and shows it.
    void Show(const PartsListPort& port);
    // Makes the list again when the layout, the selection or the scale changed since.
    void Refresh(const PartsListPort& port);
    // A button of the window.
    void Click(PartsListPort& port, int id);

    // The list the window shows.
    const layout::PartsList& List() const { return list_; }

  private:
    void Fill();

    ui::DialogModel dialog_;
    layout::PartsList list_;
    std::optional<PartsListStamp> stamp_;
};

} // namespace app
