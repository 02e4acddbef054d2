// The drive-type key table: rows, texts, defaults and the keys as a train would test them.
#include "input/DriveTypeKeys.h"

#include "input/CInput.h"
#include "platform/KeyMap.h"
#include "platform/KeyState.h"
#include "platform/VirtualKeys.h"

#include <climits>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

using input::DriveKeys;
using input::DriveTypeKeys;

// Virtual-key code of a character in a combo text.
int CodeOf(char c)
{
    switch (c) {
    case ',':
        return platform::vk::kOemComma;
    case '.':
        return platform::vk::kOemPeriod;
    case '/':
        return platform::vk::kOem2;
    case ';':
        return platform::vk::kOemPlus;
    default:
        return c;
    }
}

TEST(DriveTypeKeys, RowsAreTheKeyboardColumnsAndTheirReversals)
{
    EXPECT_EQ((DriveKeys{'Z', 'Q', 'A'}), DriveTypeKeys::Keys(0));
    EXPECT_EQ((DriveKeys{191, 'P', 187}), DriveTypeKeys::Keys(9));
    EXPECT_EQ((DriveKeys{'Q', 'Z', 'A'}), DriveTypeKeys::Keys(10));
    EXPECT_EQ((DriveKeys{'P', 191, 187}), DriveTypeKeys::Keys(19));
    EXPECT_EQ("QAZ", DriveTypeKeys::Text(0));
    EXPECT_EQ("IK,", DriveTypeKeys::Text(7));
    EXPECT_EQ("P;/", DriveTypeKeys::Text(9));
    EXPECT_EQ("逆 QAZ", DriveTypeKeys::Text(10));
    EXPECT_EQ("逆 P;/", DriveTypeKeys::Text(19));

    const std::string columns[] = {"QAZ", "WSX", "EDC", "RFV", "TGB", "YHN", "UJM", "IK,", "OL.", "P;/"};
    for (int row = 0; row < 10; ++row) {
        const auto& text = columns[row];
        EXPECT_EQ(text, DriveTypeKeys::Text(row));
        // Upper key accelerates, middle stops, lower decelerates.
        EXPECT_EQ((DriveKeys{CodeOf(text[2]), CodeOf(text[0]), CodeOf(text[1])}), DriveTypeKeys::Keys(row))
            << text;
        const DriveKeys forward = DriveTypeKeys::Keys(row);
        EXPECT_EQ((DriveKeys{forward.accelerate, forward.decelerate, forward.stop}),
                  DriveTypeKeys::Keys(row + 10));
        EXPECT_EQ("逆 " + text, DriveTypeKeys::Text(row + 10));
    }
}

TEST(DriveTypeKeys, EveryKeyOfTheTableExistsOnTheKeyboard)
{
    std::set<int> reachable;
    for (const auto& e : platform::KeyMap::Entries())
        reachable.insert(e.vk);
    for (int row = 0; row < DriveTypeKeys::kRowCount; ++row) {
        const DriveKeys k = DriveTypeKeys::Keys(row);
        EXPECT_TRUE(reachable.count(k.decelerate) && reachable.count(k.accelerate) && reachable.count(k.stop))
            << row;
        EXPECT_EQ(3u, (std::set<int>{k.decelerate, k.accelerate, k.stop}.size())) << row;
    }
}

TEST(DriveTypeKeys, DefaultRowPerSlotAndSafeOutOfRange)
{
    for (int slot = 1; slot <= 6; ++slot)
        EXPECT_EQ(slot - 1, DriveTypeKeys::DefaultRow(slot));
    EXPECT_EQ(0, DriveTypeKeys::DefaultRow(0));
    EXPECT_EQ(0, DriveTypeKeys::DefaultRow(7));

    for (int row : {-1, 20, 21, INT_MAX, INT_MIN}) {
        EXPECT_EQ(DriveKeys{}, DriveTypeKeys::Keys(row)) << row;
        EXPECT_EQ("", DriveTypeKeys::Text(row)) << row;
    }
    // "No key" is never down, whatever is held.
    platform::KeyState keys;
    keys.Press(0);
    const input::CInput in(keys, "/opt/korvela/");
    EXPECT_EQ(0, in.KeyDown(DriveTypeKeys::Keys(-1).accelerate));
}

TEST(DriveTypeKeys, HeldKeysAsTheTrainsSeeThem)
{
    platform::KeyState keys;
    const input::CInput in(keys, "/opt/korvela/");
    const auto press = [&](int evdev) { keys.Press(platform::KeyMap::FromEvdev(evdev)); };

    // Q: accelerates the "QAZ" train and decelerates the "逆 QAZ" train.
    press(16);
    EXPECT_EQ(1, in.KeyDown(DriveTypeKeys::Keys(0).accelerate));
    EXPECT_EQ(1, in.KeyDown(DriveTypeKeys::Keys(10).decelerate));
    EXPECT_EQ(0, in.KeyDown(DriveTypeKeys::Keys(10).accelerate));
    keys.ReleaseAll();

    // A does nothing to a "P;/" train; the key right of L stops it.
    press(30);
    const DriveKeys p = DriveTypeKeys::Keys(9);
    EXPECT_EQ(0, in.KeyDown(p.decelerate) + in.KeyDown(p.accelerate) + in.KeyDown(p.stop));
    press(39);
    EXPECT_EQ(1, in.KeyDown(p.stop));
}

} // namespace
