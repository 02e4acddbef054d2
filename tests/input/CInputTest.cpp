// CInput: key tests over the key state, its number helpers and the settings-path conversions.
#include "input/CInput.h"

#include "input/TogglePoller.h"
#include "platform/KeyState.h"
#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

namespace {

using input::CInput;
using input::TogglePoller;
namespace vk = platform::vk;

const std::string kExe = "/opt/korvela/";

TEST(CInputKeys, DownAndToggledAreZeroOrOne)
{
    platform::KeyState keys;
    const CInput in(keys, kExe);
    EXPECT_EQ(0, in.KeyDown('A'));
    EXPECT_EQ(0, in.KeyToggled('A'));
    keys.Press('A');
    keys.Press(vk::kLButton);
    EXPECT_EQ(1, in.KeyDown('A'));
    EXPECT_EQ(1, in.KeyToggled('A'));
    EXPECT_EQ(1, in.KeyDown(vk::kLButton));
    keys.Release('A');
    EXPECT_EQ(0, in.KeyDown('A'));
    EXPECT_EQ(1, in.KeyToggled('A'));
    EXPECT_EQ(0, in.KeyDown(0));
}

TEST(CInputNumbers, TextAndAnglesFromFloats)
{
    EXPECT_EQ("3.14", CInput::NumberToText(3.14159f, 2));
    EXPECT_EQ("0.05", CInput::NumberToText(0.05f, 2));
    EXPECT_EQ("0.5", CInput::NumberToText(0.5f, 1));
    EXPECT_EQ("0.000", CInput::NumberToText(-0.0001f, 3)); // shown to the user: no minus on zero
    EXPECT_EQ("12.500", CInput::NumberToText(12.5f, 3));
    // A float's exact value is written, as the double conversion of the original did.
    EXPECT_EQ("100000002004087734272.000", CInput::NumberToText(1e20f, 3));

    EXPECT_EQ(350.0f, CInput::NormalizeAngle(-10.0f));
    const float huge = CInput::NormalizeAngle(1e10f);
    EXPECT_TRUE(huge >= 0.0f && huge < 360.0f);
}

TEST(CInputPaths, RelativeSettingsPathsResolveAgainstTheExecutableFolder)
{
    platform::KeyState keys;
    const CInput in(keys, kExe);
    EXPECT_EQ("/opt/korvela/Train/", in.ToAbsolutePath("./Train/"));
    EXPECT_EQ("/opt/korvela/Train/", in.ToAbsolutePath("Train/"));
    EXPECT_EQ("/opt/shared/maps/", in.ToAbsolutePath("../shared/maps/"));
    // Written on Windows.
    EXPECT_EQ("/opt/korvela/Object/Rail/", in.ToAbsolutePath(".\\Object\\Rail\\"));
    // An absolute path is used as it stands.
    EXPECT_EQ("/srv/layouts/RailData.txt", in.ToAbsolutePath("/srv/layouts/RailData.txt"));

    EXPECT_EQ("/opt/korvela/", in.ToAbsoluteFolder("."));
    EXPECT_EQ("/opt/korvela/Plane/", in.ToAbsoluteFolder("./Plane"));
}

TEST(CInputPaths, StoredPathsRoundTrip)
{
    platform::KeyState keys;
    const CInput in(keys, kExe);
    EXPECT_EQ("./Train/", in.ToRelativePath("/opt/korvela/Train/"));
    for (const char* path : {"/opt/korvela/Train/", "/opt/korvela/RailData.txt", "/opt/korvela/a/b/c.txt",
                             "/opt/other/Car/", "/opt/korvela/"}) {
        const std::string stored = in.ToRelativePath(path);
        EXPECT_NE('/', stored.front()) << path << " stored as " << stored;
        EXPECT_EQ(path, in.ToAbsolutePath(stored)) << path << " stored as " << stored;
    }
}

TEST(CInputPaths, FolderWithoutRelativePathIsStoredAbsolute)
{
    platform::KeyState keys;
    const CInput in(keys, kExe);
    // Only the root in common: no relative path, so the absolute one is kept.
    EXPECT_EQ("/home/user/maps/", in.ToRelativePath("/home/user/maps/"));
    EXPECT_EQ("/home/user/maps/", in.ToAbsolutePath(in.ToRelativePath("/home/user/maps/")));
}

TEST(CInputPaths, DefaultsToTheRunningExecutable)
{
    platform::KeyState keys;
    const CInput in(keys);
    ASSERT_FALSE(in.ExecutableFolder().empty());
    EXPECT_EQ('/', in.ExecutableFolder().front());
    EXPECT_EQ('/', in.ExecutableFolder().back());
}

struct Poll : ::testing::Test {
    platform::KeyState keys;
    CInput in{keys, kExe};
    TogglePoller poller;

    void Tap(int code)
    {
        keys.Press(code);
        keys.Release(code);
    }
};

TEST_F(Poll, FirstPollOnlyRecords)
{
    Tap(vk::kF2); // toggle bit already set before the first poll
    EXPECT_FALSE(poller.Pressed(in, vk::kF2));
    EXPECT_FALSE(poller.Pressed(in, vk::kF2));
    Tap(vk::kF2);
    EXPECT_TRUE(poller.Pressed(in, vk::kF2));
}

TEST_F(Poll, HoldingIsOnePressAndAutoRepeatAddsNone)
{
    poller.Pressed(in, vk::kF3);
    keys.Press(vk::kF3);
    EXPECT_TRUE(poller.Pressed(in, vk::kF3));
    for (int frame = 0; frame < 50; ++frame) {
        keys.Press(vk::kF3); // auto-repeat
        EXPECT_FALSE(poller.Pressed(in, vk::kF3)) << frame;
    }
    keys.Release(vk::kF3);
    EXPECT_FALSE(poller.Pressed(in, vk::kF3));
}

TEST_F(Poll, EveryPressBetweenPollsCountsOnce)
{
    poller.Pressed(in, '1');
    // A tap released before the next pass, then two and three of them: each is one press.
    Tap('1');
    EXPECT_TRUE(poller.Pressed(in, '1'));
    EXPECT_FALSE(poller.Pressed(in, '1'));
    Tap('1');
    Tap('1');
    EXPECT_TRUE(poller.Pressed(in, '1'));
    EXPECT_TRUE(poller.Pressed(in, '1'));
    EXPECT_FALSE(poller.Pressed(in, '1'));
    Tap('1');
    Tap('1');
    Tap('1');
    keys.Press('1'); // and one still held, auto-repeating
    keys.Press('1');
    for (int poll = 0; poll < 4; ++poll)
        EXPECT_TRUE(poller.Pressed(in, '1')) << poll;
    EXPECT_FALSE(poller.Pressed(in, '1'));
    // Presses taken as seen (turnout keys under Shift) are not reported later.
    keys.Release('1');
    Tap('1');
    poller.Skip(in, '1');
    EXPECT_FALSE(poller.Pressed(in, '1'));
}

TEST_F(Poll, KeysAreTrackedSeparatelyAndResetForgets)
{
    poller.Pressed(in, vk::kF4);
    poller.Pressed(in, vk::kF5);
    Tap(vk::kF5);
    EXPECT_FALSE(poller.Pressed(in, vk::kF4));
    EXPECT_TRUE(poller.Pressed(in, vk::kF5));

    Tap(vk::kF4);
    poller.Reset();
    EXPECT_FALSE(poller.Pressed(in, vk::kF4));
    EXPECT_FALSE(poller.Pressed(in, 0));
    EXPECT_FALSE(poller.Pressed(in, 999));
}

} // namespace
