// The live state of one control of a dialog: what the program reads and writes where the
// original read and wrote the control itself. Which fields matter depends on the kind.
#pragma once

#include "ui/DialogTemplate.h"
#include "ui/ListView.h"

#include <string>
#include <vector>

namespace ui {

struct ControlRecord {
    int id = kNoId;
    ControlKind kind = ControlKind::Label;
    std::string text; // caption, label or edit text
    bool enabled = true;
    bool shown = true;
    int check = 0; // 0, 1, or 2 for the third state of a three-state box
    std::vector<std::string> items;
    int selection = -1; // -1: nothing selected
    int rangeMin = 0;
    int rangeMax = 0;
    int position = 0;
    int tickFrequency = 0;
    int labelId = kNoId;
    ListView list;
    int radioSet = -1; // index of the set of radios that exclude each other, -1 for none
};

} // namespace ui
