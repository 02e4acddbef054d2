// The twelve turnout keys: their keyboard keys, their labels in the three label styles and the
// usage count appended to their menu entries.
#pragma once

#include <array>
#include <string>

namespace layout {

// Virtual-key code of turnout key 0 to 11: '1' to '9', '0', then the two keys right of '0'.
inline constexpr std::array<int, 12> kTurnoutKeyCodes = {'1', '2', '3', '4', '5',  '6',
                                                         '7', '8', '9', '0', 0xBD, 0xDE};

// Label styles of the settings dialog's key-label box.
inline constexpr int kKeyLabelStyleCount = 3;

// The one-character label of key (0 to 11, kNoKey for none) in style (0 "Alphabet",
// 1 "ひらがな", 2 "カタカナ"). The no-key label, a full-width space, also stands for any key or
// style out of range, so a bad number from a file or the settings never reads past the table.
std::string KeyLabel(int style, int key);

// What a turnout-key menu entry carries after its base text: "" for an unused key, otherwise
// two spaces, "使用数" and the count right-aligned in three characters (only its last three
// digits from 1000 on).
std::string KeyUsageSuffix(int count);

// Whether key is a turnout key number or kNoKey.
constexpr bool IsValidKey(int key)
{
    return key >= -1 && key < 12;
}

} // namespace layout
