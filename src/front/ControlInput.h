// What a user did to one control of a dialog window, handed from the widgets to the dialog's
// behaviour. Dialogs without behaviour of their own let ApplyToModel do what the real control
// would have done to its record.
#pragma once

#include "ui/DialogModel.h"

#include <string>
#include <vector>

namespace front {

struct ControlInput {
    enum class Kind {
        Click,           // button pressed, box clicked, radio chosen
        Select,          // list or combo selection: value
        Scroll,          // slider moved to value
        Text,            // edit box text typed: text
        ListSelection,   // list-view rows now selected: rows
        ListRowClick,    // list-view row clicked: value (-1 for empty space)
        ListColumnClick, // list-view heading clicked: value
        ListKey,         // a key pressed in a list view: value (virtual key), shift, ctrl
    };

    Kind kind = Kind::Click;
    int id = ui::kNoId;
    int value = 0;
    std::string text{};
    std::vector<int> rows{};
    bool shift = false;
    bool ctrl = false;
};

// The change the control itself makes to its record: a click cycles a box or checks a radio,
// a selection, a slider position (with its label) or a text is stored, list-view selections
// are copied. Clicks on buttons and on list-view rows or headings change nothing here.
// Returns whether the record accepted the input (a disabled control refuses it).
bool ApplyToModel(ui::DialogModel& model, const ControlInput& input);

} // namespace front
