// Key state: down and toggle bits as the Windows key state keeps them.
#include "platform/KeyState.h"

#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

namespace {

using platform::KeyState;
namespace vk = platform::vk;

TEST(KeyState, ToggleFlipsOncePerPressNotPerAutoRepeat)
{
    KeyState keys;
    EXPECT_EQ(0, keys.Get('Q'));

    keys.Press('Q');
    EXPECT_EQ(static_cast<std::int16_t>(0x8001), keys.Get('Q'));
    EXPECT_LT(keys.Get('Q'), 0); // callers test "negative" for down
    // Auto-repeat while held, any number of times.
    for (int repeat = 1; repeat <= 3; ++repeat) {
        keys.Press('Q');
        EXPECT_TRUE(keys.IsToggled('Q')) << repeat;
    }

    keys.Release('Q');
    EXPECT_EQ(1, keys.Get('Q'));
    keys.Press('Q');
    keys.Release('Q');
    EXPECT_EQ(0, keys.Get('Q'));
    // The presses are counted where the bit only flips: two of them, auto-repeat none.
    EXPECT_EQ(2u, keys.Presses('Q'));
    EXPECT_EQ(0u, keys.Presses(0));

    // Mouse buttons are keys like any other, and keys are independent.
    keys.Press(vk::kRButton);
    EXPECT_TRUE(keys.IsDown(vk::kRButton));
    EXPECT_FALSE(keys.IsDown(vk::kLButton));
    EXPECT_FALSE(keys.IsDown(vk::kMButton));
}

TEST(KeyState, SideModifiersDriveTheGenericCode)
{
    KeyState keys;
    keys.Press(vk::kLShift);
    EXPECT_TRUE(keys.IsDown(vk::kShift));
    EXPECT_TRUE(keys.IsToggled(vk::kShift));

    // The other side while the generic key is already down is no new generic press.
    keys.Press(vk::kRShift);
    EXPECT_TRUE(keys.IsToggled(vk::kShift));

    keys.Release(vk::kLShift);
    EXPECT_TRUE(keys.IsDown(vk::kShift)) << "right Shift is still held";
    keys.Release(vk::kRShift);
    EXPECT_FALSE(keys.IsDown(vk::kShift));

    keys.Press(vk::kRControl);
    keys.Press(vk::kLMenu);
    EXPECT_TRUE(keys.IsDown(vk::kControl));
    EXPECT_TRUE(keys.IsDown(vk::kMenu));
    EXPECT_FALSE(keys.IsDown(vk::kShift));

    // Releasing the generic code lets go of both sides.
    keys.Press(vk::kLControl);
    keys.Release(vk::kControl);
    EXPECT_FALSE(keys.IsDown(vk::kLControl));
    EXPECT_FALSE(keys.IsDown(vk::kRControl));
}

TEST(KeyState, FocusLossReleasesEverythingAndKeepsToggles)
{
    KeyState keys;
    keys.Press('W');
    keys.Press(vk::kLButton);
    keys.Press(vk::kLShift);
    keys.ReleaseAll();
    for (int code : {int('W'), vk::kLButton, vk::kShift, vk::kLShift}) {
        EXPECT_FALSE(keys.IsDown(code)) << code;
        EXPECT_TRUE(keys.IsToggled(code)) << code;
    }
    // The first press after regaining focus is a real press again.
    keys.Press('W');
    EXPECT_FALSE(keys.IsToggled('W'));
}

TEST(KeyState, CodesOutsideTheTableAreNoKeys)
{
    KeyState keys;
    for (int code : {0, -1, 256, 1000}) {
        keys.Press(code);
        EXPECT_EQ(0, keys.Get(code)) << code;
        keys.Release(code);
    }
}

} // namespace
