// The physical-key table: positions of a Japanese keyboard, walked for duplicates and gaps.
#include "platform/KeyMap.h"

#include "platform/KeyState.h"
#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

using platform::KeyMap;
namespace vk = platform::vk;

TEST(KeyMap, PunctuationAndDigitsByJapanesePosition)
{
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ('1' + i, KeyMap::FromEvdev(2 + i));
    EXPECT_EQ('0', KeyMap::FromEvdev(11));
    EXPECT_EQ(189, KeyMap::FromEvdev(12)); // right of 0
    EXPECT_EQ(222, KeyMap::FromEvdev(13)); // next one
    EXPECT_EQ(187, KeyMap::FromEvdev(39)); // right of L: the semicolon key
    EXPECT_EQ(186, KeyMap::FromEvdev(40)); // after it
    EXPECT_EQ(188, KeyMap::FromEvdev(51));
    EXPECT_EQ(190, KeyMap::FromEvdev(52));
    EXPECT_EQ(191, KeyMap::FromEvdev(53));
    // Letters by position, not by what the layout types: the QWERTY rows.
    const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    const int starts[] = {16, 30, 44};
    for (int r = 0; r < 3; ++r)
        for (int i = 0; rows[r][i]; ++i)
            EXPECT_EQ(rows[r][i], KeyMap::FromEvdev(starts[r] + i)) << rows[r][i];
}

TEST(KeyMap, KeypadAlwaysGivesKeypadCodes)
{
    const int digits[] = {82, 79, 80, 81, 75, 76, 77, 71, 72, 73}; // keypad 0..9
    for (int d = 0; d < 10; ++d)
        EXPECT_EQ(vk::kNumpad0 + d, KeyMap::FromEvdev(digits[d])) << d;
    EXPECT_EQ(106, KeyMap::FromEvdev(55));
    EXPECT_EQ(107, KeyMap::FromEvdev(78));
    EXPECT_EQ(109, KeyMap::FromEvdev(74));
    EXPECT_EQ(110, KeyMap::FromEvdev(83));
    EXPECT_EQ(111, KeyMap::FromEvdev(98));
}

TEST(KeyMap, X11KeycodesAreEvdevPlusEight)
{
    EXPECT_EQ('1', KeyMap::FromX11Keycode(10));
    EXPECT_EQ(vk::kEscape, KeyMap::FromX11Keycode(9));
    EXPECT_EQ(187, KeyMap::FromX11Keycode(47));
    EXPECT_EQ(0, KeyMap::FromX11Keycode(0));
    EXPECT_EQ(0, KeyMap::FromX11Keycode(8));
    EXPECT_EQ(0, KeyMap::FromEvdev(-3));
    EXPECT_EQ(0, KeyMap::FromEvdev(0));
    EXPECT_EQ(0, KeyMap::FromEvdev(41)); // half/full width: no code in the program
    EXPECT_EQ(0, KeyMap::FromEvdev(100000));
}

TEST(KeyMap, ModifiersOfEitherSideHoldTheGenericCode)
{
    for (int code : {42, 54, 29, 97, 56, 100}) {
        platform::KeyState keys;
        keys.Press(KeyMap::FromEvdev(code));
        EXPECT_EQ(1, keys.IsDown(vk::kShift) + keys.IsDown(vk::kControl) + keys.IsDown(vk::kMenu)) << code;
    }
    EXPECT_EQ(vk::kLShift, KeyMap::FromEvdev(42));
    EXPECT_EQ(vk::kRShift, KeyMap::FromEvdev(54));
    EXPECT_EQ(vk::kLControl, KeyMap::FromEvdev(29));
    EXPECT_EQ(vk::kRControl, KeyMap::FromEvdev(97));
    EXPECT_EQ(vk::kLMenu, KeyMap::FromEvdev(56));
    EXPECT_EQ(vk::kRMenu, KeyMap::FromEvdev(100));
}

TEST(KeyMap, TableHasNoDuplicatesAndNoGaps)
{
    std::set<int> codes;
    std::map<int, int> keysPerVk;
    for (const auto& e : KeyMap::Entries()) {
        EXPECT_TRUE(codes.insert(e.evdev).second) << "evdev " << e.evdev << " twice";
        EXPECT_NE(0, e.vk) << "evdev " << e.evdev;
        EXPECT_EQ(e.vk, KeyMap::FromEvdev(e.evdev));
        ++keysPerVk[e.vk];
    }
    // Only these codes come from two keys: both Enter keys, and the two "\" keys of ISO and
    // Japanese boards.
    const std::set<int> shared = {vk::kReturn, vk::kOem102};
    for (const auto& [code, count] : keysPerVk)
        EXPECT_EQ(shared.count(code) ? 2 : 1, count) << "vk " << code << " from " << count << " keys";

    // Every code the program tests must be reachable.
    std::set<int> needed = {
        vk::kBack,   vk::kTab,      vk::kReturn,   vk::kEscape,   vk::kSpace,   vk::kPrior,  vk::kNext,
        vk::kEnd,    vk::kHome,     vk::kLeft,     vk::kUp,       vk::kRight,   vk::kDown,   vk::kInsert,
        vk::kDelete, vk::kMultiply, vk::kAdd,      vk::kSubtract, vk::kDecimal, vk::kDivide, vk::kLShift,
        vk::kRShift, vk::kLControl, vk::kRControl, vk::kLMenu,    vk::kRMenu};
    for (int c = 'A'; c <= 'Z'; ++c)
        needed.insert(c);
    for (int c = '0'; c <= '9'; ++c)
        needed.insert(c);
    for (int c = vk::kNumpad0; c <= vk::kNumpad9; ++c)
        needed.insert(c);
    for (int c = vk::kF1; c <= vk::kF12; ++c)
        needed.insert(c);
    for (int c = 186; c <= 192; ++c)
        needed.insert(c);
    for (int c = 219; c <= 222; ++c)
        needed.insert(c);
    needed.insert(226);
    for (int c : needed)
        EXPECT_TRUE(keysPerVk.count(c)) << "no key gives vk " << c;
}

} // namespace
