// What the layout tells the window around it: the object count changed (the object dialog's
// count label) or the selection and its turnout changed (the turnout menu and point buttons).
#pragma once

namespace layout {

class LayoutListener {
  public:
    virtual ~LayoutListener() = default;

    // count = last placed index + 1.
    virtual void ObjectCountChanged(int /*count*/) {}
    // Refresh the turnout-key menu's enabling and the point buttons from the selected object.
    virtual void TurnoutControlsChanged() {}
};

} // namespace layout
