// The table of train driving keys: each drive type (the row chosen in a train slot's combo box)
// names the key that decelerates, the one that accelerates and the one that stops the train.
#pragma once

#include <string_view>

namespace input {

struct DriveKeys {
    int decelerate = 0; // also drives backwards past standstill
    int accelerate = 0;
    int stop = 0;
    friend bool operator==(const DriveKeys&, const DriveKeys&) = default;
};

class DriveTypeKeys {
  public:
    // Rows 0..9 are the ten keyboard columns (upper key accelerates, middle stops, lower
    // decelerates); rows 10..19 are the same columns with accelerate and decelerate swapped.
    static constexpr int kRowCount = 20;
    static constexpr int kSlotCount = 6;

    // Keys of a row. A row outside the table (a stale or damaged selection) gives no keys:
    // all three are 0, which no key ever reports as down.
    static DriveKeys Keys(int row);
    // Combo-box text of a row in UTF-8 ("QAZ", …, "逆 P;/"); empty outside the table.
    static std::string_view Text(int row);
    // Drive type a train slot (1..6) starts with: slot k uses row k − 1. Row 0 otherwise.
    static int DefaultRow(int slot);
};

} // namespace input
