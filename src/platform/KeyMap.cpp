// The position table: evdev code → Japanese-keyboard virtual-key code.
#include "platform/KeyMap.h"

#include "platform/VirtualKeys.h"

#include <algorithm>
#include <cstddef>

namespace platform {
namespace {

using E = KeyMap::Entry;

// Ordered by evdev code (see linux/input-event-codes.h) so lookups can bisect.
// clang-format off
constexpr KeyMap::Entry kTable[] = {
    E{1, vk::kEscape},
    // Digit row: 1..9, 0, then the two keys right of 0 ("-=" and "^~" on a Japanese keyboard).
    E{2, '1'}, E{3, '2'}, E{4, '3'}, E{5, '4'}, E{6, '5'}, E{7, '6'}, E{8, '7'}, E{9, '8'}, E{10, '9'},
    E{11, '0'}, E{12, vk::kOemMinus}, E{13, vk::kOem7}, E{14, vk::kBack}, E{15, vk::kTab},
    // Upper letter row and the two keys after P ("@`" and "[{").
    E{16, 'Q'}, E{17, 'W'}, E{18, 'E'}, E{19, 'R'}, E{20, 'T'}, E{21, 'Y'}, E{22, 'U'}, E{23, 'I'},
    E{24, 'O'}, E{25, 'P'}, E{26, vk::kOem3}, E{27, vk::kOem4}, E{28, vk::kReturn},
    E{29, vk::kLControl},
    // Middle row and the keys after L (";+" is 187, ":*" is 186).
    E{30, 'A'}, E{31, 'S'}, E{32, 'D'}, E{33, 'F'}, E{34, 'G'}, E{35, 'H'}, E{36, 'J'}, E{37, 'K'},
    E{38, 'L'}, E{39, vk::kOemPlus}, E{40, vk::kOem1},
    E{42, vk::kLShift}, E{43, vk::kOem6},
    // Lower row and ", . /".
    E{44, 'Z'}, E{45, 'X'}, E{46, 'C'}, E{47, 'V'}, E{48, 'B'}, E{49, 'N'}, E{50, 'M'},
    E{51, vk::kOemComma}, E{52, vk::kOemPeriod}, E{53, vk::kOem2},
    E{54, vk::kRShift}, E{55, vk::kMultiply}, E{56, vk::kLMenu}, E{57, vk::kSpace}, E{58, vk::kCapital},
    E{59, vk::kF1}, E{60, vk::kF2}, E{61, vk::kF3}, E{62, vk::kF4}, E{63, vk::kF5}, E{64, vk::kF6},
    E{65, vk::kF7}, E{66, vk::kF8}, E{67, vk::kF9}, E{68, vk::kF10},
    E{69, vk::kNumLock}, E{70, vk::kScroll},
    // Keypad by position: the digits whatever NumLock says, as the program's camera keys expect.
    E{71, vk::kNumpad7}, E{72, vk::kNumpad8}, E{73, vk::kNumpad9}, E{74, vk::kSubtract},
    E{75, vk::kNumpad4}, E{76, vk::kNumpad5}, E{77, vk::kNumpad6}, E{78, vk::kAdd},
    E{79, vk::kNumpad1}, E{80, vk::kNumpad2}, E{81, vk::kNumpad3}, E{82, vk::kNumpad0},
    E{83, vk::kDecimal},
    E{86, vk::kOem102}, E{87, vk::kF11}, E{88, vk::kF12}, E{89, vk::kOem102},
    E{92, vk::kConvert}, E{94, vk::kNonConvert},
    E{96, vk::kReturn}, E{97, vk::kRControl}, E{98, vk::kDivide}, E{99, vk::kSnapshot},
    E{100, vk::kRMenu},
    E{102, vk::kHome}, E{103, vk::kUp}, E{104, vk::kPrior}, E{105, vk::kLeft}, E{106, vk::kRight},
    E{107, vk::kEnd}, E{108, vk::kDown}, E{109, vk::kNext}, E{110, vk::kInsert}, E{111, vk::kDelete},
    E{119, vk::kPause}, E{124, vk::kOem5},
    E{125, vk::kLWin}, E{126, vk::kRWin}, E{127, vk::kApps},
};
// clang-format on

constexpr bool Ordered()
{
    for (std::size_t i = 1; i < std::size(kTable); ++i)
        if (kTable[i - 1].evdev >= kTable[i].evdev) return false;
    return true;
}
static_assert(Ordered(), "key table must be ordered by evdev code");

} // namespace

int KeyMap::FromEvdev(int code)
{
    const auto it = std::lower_bound(std::begin(kTable), std::end(kTable), code,
                                     [](const Entry& e, int c) { return e.evdev < c; });
    return it != std::end(kTable) && it->evdev == code ? it->vk : 0;
}

int KeyMap::FromX11Keycode(int keycode)
{
    return FromEvdev(keycode - 8);
}

std::span<const KeyMap::Entry> KeyMap::Entries()
{
    return kTable;
}

} // namespace platform
