// The selection of placed objects: the rows selected in the placed-object list (an object is
// selected exactly when its row is) and the primary object, the one picked last, whose place
// and turnout the status bar and the point buttons show.
#pragma once

#include "layout/PlacedObjects.h"
#include "math/Vector.h"

#include <optional>
#include <string>
#include <vector>

namespace ui {
class DialogModel;
}

namespace layout {

// A selection by ids, so that it can be put back after the records moved.
struct SelectionState {
    std::vector<ObjectId> ids;
    ObjectId primary = kNoObjectId;
    friend bool operator==(const SelectionState&, const SelectionState&) = default;
};

class LayoutSelection {
  public:
    // Both must outlive the selection; the list lives in the placed objects' dialog.
    LayoutSelection(const ObjectCatalogue& catalogue, const PlacedObjects& objects);

    void BindList(ui::DialogModel& dialog) { dialog_ = &dialog; }

    // The primary object: -1 or a valid index; anything else counts as -1.
    int Primary() const { return primary_; }
    void SetPrimary(int index);
    bool HasPrimary() const { return primary_ >= 0; }
    math::Vec3 PrimaryPosition() const;

    // Indices of the objects whose rows are selected, ascending.
    std::vector<int> Selected() const;
    // One flag per placed object: its row is selected.
    std::vector<bool> Mask() const;
    bool IsSelected(int index) const;
    // Selects or deselects the object's row (selecting also gives it the focus).
    void SetSelected(int index, bool selected);
    // Clears the selected and focused state of every row.
    void DeselectAll();
    // Asks the list to scroll the object's row into view.
    void ScrollTo(int index);

    // The selection as ids, and putting one back: exactly those rows selected, the first of
    // them focused (so the list shows it), the primary when it still exists.
    SelectionState Capture() const;
    void Restore(const SelectionState& state);

    // Route count of the primary's type (0 when none), its route (-1 when none).
    int PrimaryRouteCount() const;
    int PrimaryRoute() const;
    // Status-bar text of the primary; nothing when none is selected (the pane keeps its text).
    std::optional<std::string> Status() const;

  private:
    const ObjectCatalogue& catalogue_;
    const PlacedObjects& objects_;
    ui::DialogModel* dialog_ = nullptr;
    int primary_ = -1;
};

} // namespace layout
