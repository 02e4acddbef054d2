// What only the recording device does: fail on request, as a real device may. What every device
// does is in the device contract.
#include "gfx/RecordingDevice.h"

#include "common/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using gfx::RecordingDevice;

TEST(RecordingDevice, CreationFailureGivesAReasonAndNoDevice)
{
    RecordingDevice::Options options;
    options.failCreation = true;
    gfx::Created<gfx::Device> failed = RecordingDevice::Create(options);
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.device, nullptr);
    EXPECT_FALSE(failed.error.empty());

    options = {};
    options.main = {0, 480};
    EXPECT_FALSE(RecordingDevice::Create(options).ok());
}

TEST(RecordingDevice, FailedPresentsAndTextureLoadsOnRequest)
{
    auto d = std::move(RecordingDevice::Create().device);
    ASSERT_NE(d, nullptr);
    d->FailPresents(1);
    EXPECT_FALSE(d->Present());
    EXPECT_TRUE(d->Present());

    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.File("t.png"), "any bytes");
    EXPECT_NE(d->LoadTexture(dir.File("t.png")), nullptr); // nothing is decoded
    d->FailTextureLoads(true);
    testsupport::WriteBytes(dir.File("u.png"), "any bytes");
    EXPECT_EQ(d->LoadTexture(dir.File("u.png")), nullptr);
}

TEST(Colors, ArgbWordsBecomeChannels)
{
    EXPECT_EQ(gfx::ColorFromArgb(0xFF7F7F7F), (gfx::Color{127 / 255.0f, 127 / 255.0f, 127 / 255.0f, 1.0f}));
    EXPECT_EQ(gfx::ColorFromArgb(0x80FF0000), (gfx::Color{1, 0, 0, 128 / 255.0f}));
}

} // namespace
