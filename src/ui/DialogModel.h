// One dialog as data: its controls' records keyed by control id, built from its template.
// These records are the program's settings store: code reads a check box or a slider here at
// the moment it needs it, exactly where the original read the control. A window front end
// mirrors the records through the observer and feeds user input back through the same calls.
//
// Every call accepts any id and any index: an unknown control or an index out of range
// changes nothing and reads as an empty or neutral value, so a bad number from a file or a
// script can never index past a table.
#pragma once

#include "ui/ControlRecord.h"
#include "ui/DialogTemplate.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ui {

// Stepping a selection past either end: stop there (Clamp) or come round (Wrap).
enum class StepMode { Clamp, Wrap };

class DialogModel {
  public:
    // Called with the id of each control whose record changed, and with kWindowId when the
    // dialog's title or visibility changed. Reads during the call see the new state.
    using Observer = std::function<void(int id)>;
    static constexpr int kWindowId = 0;

    explicit DialogModel(DialogTemplate dialogTemplate);

    const DialogTemplate& Template() const { return template_; }
    int ResourceId() const { return template_.resourceId; }

    const std::string& Title() const { return title_; }
    void SetTitle(std::string title);
    // Modeless dialogs start hidden.
    bool IsVisible() const { return visible_; }
    void SetVisible(bool visible);

    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    bool Has(int id) const { return index_.contains(id); }
    const ControlRecord* Find(int id) const;
    ControlKind Kind(int id) const;
    // Ids of all controls that have one, in tab order.
    std::vector<int> Ids() const;

    const std::string& Text(int id) const;
    void SetText(int id, std::string text);

    bool IsEnabled(int id) const;
    void SetEnabled(int id, bool enabled);
    bool IsShown(int id) const;
    void SetShown(int id, bool shown);

    // Check boxes and radios. Check reads 0 for other controls.
    int Check(int id) const;
    bool IsChecked(int id) const { return Check(id) == 1; }
    // Accepts 0 and 1, and 2 on a three-state box; anything else is refused (false) and the
    // state stays. Checking a radio unchecks the others of its set.
    bool SetCheck(int id, int state);
    // Next state the way the box goes round: three-state 0 -> 1 -> 2 -> 0, two-state inverts,
    // a radio becomes checked. Returns the new state.
    int CycleCheck(int id);
    // What a mouse click does to the control: boxes cycle, radios check. False when the control
    // is unknown or disabled, so the caller skips its handler too.
    bool Click(int id);
    // All radios that exclude each other with id, id included, in tab order.
    std::vector<int> RadioSetOf(int id) const;

    // List boxes and combo boxes.
    const std::vector<std::string>& Items(int id) const;
    int ItemCount(int id) const;
    const std::string& ItemText(int id, int index) const;
    // Replacing or clearing the items clears the selection.
    void SetItems(int id, std::vector<std::string> items);
    int AddItem(int id, std::string text);
    void ClearItems(int id);
    // Index of the item equal to text, ignoring the letter case of ASCII letters, or -1.
    int FindItem(int id, std::string_view text) const;
    int Selection(int id) const;
    // Selects index, or nothing for -1. Any other index out of range clears the selection, as
    // the real controls do, and returns false.
    bool SetSelection(int id, int index);
    // Selects index when 0 <= index < item count, otherwise item 0 (nothing when the list is
    // empty). For indices read from files. Returns the selection made.
    int SelectOrFirst(int id, int index);
    // Moves the selection one item forward (direction > 0) or back (direction < 0).
    // Clamp: stops at the ends; forward from no selection takes item 0, back from none stays.
    // Wrap: forward from the last item or from none takes item 0, back from item 0 or from
    // none takes the last. Returns whether the selection changed.
    bool StepSelection(int id, int direction, StepMode mode);

    // Sliders. The position always lies inside the range, as a track bar keeps it.
    int Position(int id) const;
    int RangeMin(int id) const;
    int RangeMax(int id) const;
    void SetRange(int id, int rangeMin, int rangeMax);
    void SetPosition(int id, int position);
    // Writes the slider's position in decimal into its label.
    void RefreshSliderLabel(int sliderId);
    // The same for every slider, in tab order.
    void RefreshSliderLabels();

    // List views.
    const ListView& List(int id) const;
    // Runs edit on the list view's data and reports the change once.
    void EditList(int id, const std::function<void(ListView&)>& edit);

  private:
    ControlRecord* Mutable(int id);
    void Notify(int id) const;

    DialogTemplate template_;
    std::string title_;
    bool visible_ = false;
    std::vector<ControlRecord> records_;
    std::unordered_map<int, std::size_t> index_;
    std::vector<std::vector<int>> radioSets_;
    Observer observer_;
};

} // namespace ui
