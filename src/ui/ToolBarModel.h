// The main window's tool bar as data: 32 slots of push buttons, check buttons, separators
// and one check group (the point buttons), each button with its tool tip and its state.
// The check buttons are a second settings store: editing modes, grid, magnet, curve and
// height detection are read from here.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ui {

enum class ToolKind {
    Button,     // plain push button
    Check,      // stays down until pressed again
    CheckGroup, // neighbouring CheckGroup slots: pressing one releases the others
    Separator,
};

// A button's state, the way the tool-bar control keeps it: independent flags, so that a
// button can be indeterminate (greyed, not pressable) and checked at the same time.
struct ToolState {
    bool enabled = true;
    bool checked = false;
    bool indeterminate = false;

    bool operator==(const ToolState&) const = default;
};

struct ToolSlotTemplate {
    int id = 0; // 0 for separators
    ToolKind kind = ToolKind::Separator;
    std::string toolTip{};
    ToolState state{};
};

// The main window's 32 slots in their start-up state: grid, magnet, curve and height
// detection checked, undo and redo greyed, the point buttons indeterminate until an object
// is selected.
std::vector<ToolSlotTemplate> MainToolBarTemplate();

class ToolBarModel {
  public:
    // Called with the command id of each button whose state changed.
    using Observer = std::function<void(int id)>;

    explicit ToolBarModel(std::vector<ToolSlotTemplate> slots);

    int SlotCount() const { return static_cast<int>(slots_.size()); }
    const ToolSlotTemplate& Slot(int slot) const;
    // Slot of a command id, or -1.
    int SlotOf(int id) const;
    int IdAt(int slot) const { return Slot(slot).id; }
    const std::string& ToolTip(int id) const;

    ToolState State(int id) const;
    bool IsChecked(int id) const { return State(id).checked; }
    bool IsEnabled(int id) const { return State(id).enabled; }
    bool IsIndeterminate(int id) const { return State(id).indeterminate; }
    bool IsSlotChecked(int slot) const { return Slot(slot).state.checked; }

    // Replaces the whole state, as setting a button's state on the control does.
    void SetState(int id, ToolState state);
    // Checks or unchecks; checking a button of the check group releases the group's others.
    void SetChecked(int id, bool checked);
    void SetEnabled(int id, bool enabled);

    // What pressing the button does: a check button toggles, a group button becomes the
    // checked one. Returns whether the press reached the button (its command is then sent);
    // disabled or greyed (indeterminate) buttons and separators ignore it.
    bool Click(int id);

    void SetObserver(Observer observer) { observer_ = std::move(observer); }

  private:
    // First and one-past-last slot of the check group around slot.
    std::pair<int, int> GroupRange(int slot) const;
    void Assign(int slot, ToolState state);

    std::vector<ToolSlotTemplate> slots_;
    Observer observer_;
};

} // namespace ui
