// The twenty drive types; fixed for the whole run.
#include "input/DriveTypeKeys.h"

#include "platform/VirtualKeys.h"

namespace input {
namespace {

struct Row {
    std::string_view text;
    DriveKeys keys;
};

using namespace platform::vk;

// Texts list the keys from the upper keyboard row to the lower one.
constexpr Row kRows[DriveTypeKeys::kRowCount] = {
    {"QAZ", {'Z', 'Q', 'A'}},
    {"WSX", {'X', 'W', 'S'}},
    {"EDC", {'C', 'E', 'D'}},
    {"RFV", {'V', 'R', 'F'}},
    {"TGB", {'B', 'T', 'G'}},
    {"YHN", {'N', 'Y', 'H'}},
    {"UJM", {'M', 'U', 'J'}},
    {"IK,", {kOemComma, 'I', 'K'}},
    {"OL.", {kOemPeriod, 'O', 'L'}},
    // The key right of L is the semicolon key of a Japanese keyboard, code 187.
    {"P;/", {kOem2, 'P', kOemPlus}},
    {"逆 QAZ", {'Q', 'Z', 'A'}},
    {"逆 WSX", {'W', 'X', 'S'}},
    {"逆 EDC", {'E', 'C', 'D'}},
    {"逆 RFV", {'R', 'V', 'F'}},
    {"逆 TGB", {'T', 'B', 'G'}},
    {"逆 YHN", {'Y', 'N', 'H'}},
    {"逆 UJM", {'U', 'M', 'J'}},
    {"逆 IK,", {'I', kOemComma, 'K'}},
    {"逆 OL.", {'O', kOemPeriod, 'L'}},
    {"逆 P;/", {'P', kOem2, kOemPlus}},
};

bool InTable(int row)
{
    return row >= 0 && row < DriveTypeKeys::kRowCount;
}

} // namespace

DriveKeys DriveTypeKeys::Keys(int row)
{
    return InTable(row) ? kRows[row].keys : DriveKeys{};
}

std::string_view DriveTypeKeys::Text(int row)
{
    return InTable(row) ? kRows[row].text : std::string_view{};
}

int DriveTypeKeys::DefaultRow(int slot)
{
    return slot >= 1 && slot <= kSlotCount ? slot - 1 : 0;
}

} // namespace input
