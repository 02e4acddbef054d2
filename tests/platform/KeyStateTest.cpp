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

    // Mouse buttons are keys like any other, and keys are independent.
    keys.Press(vk::kRButton);
    EXPECT_TRUE(keys.IsDown(vk::kRButton));
    EXPECT_FALSE(keys.IsDown(vk::kLButton));
    EXPECT_FALSE(keys.IsDown(vk::kMButton));
}

TEST(KeyState, ATapBetweenTwoPassesStaysDownForTheNextPass)
{
    KeyState keys;
    keys.HoldTapsForPasses(true);
    keys.Press('Q');
    keys.Release('Q');
    EXPECT_TRUE(keys.IsDown('Q'));
    keys.PassRead();
    EXPECT_FALSE(keys.IsDown('Q'));
    EXPECT_TRUE(keys.IsToggled('Q'));

    // Two taps before a pass flip the toggle twice, each a new press; a key the pass saw goes up
    // at once.
    EXPECT_TRUE(keys.Press('W'));
    keys.Release('W');
    EXPECT_TRUE(keys.Press('W'));
    EXPECT_FALSE(keys.Press('W')) << "auto-repeat";
    keys.Release('W');
    keys.PassRead();
    EXPECT_EQ(keys.Get('W'), 0);
    keys.Press('E');
    keys.PassRead();
    keys.Release('E');
    EXPECT_FALSE(keys.IsDown('E'));

    // Clicks and modifiers are not held; losing the focus releases a held tap too.
    keys.Press(vk::kLButton);
    keys.Release(vk::kLButton);
    keys.Press(vk::kLShift);
    keys.Release(vk::kLShift);
    keys.Press('R');
    keys.Release('R');
    EXPECT_FALSE(keys.IsDown(vk::kLButton));
    EXPECT_FALSE(keys.IsDown(vk::kShift));
    keys.ReleaseAll();
    EXPECT_FALSE(keys.IsDown('R'));
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
