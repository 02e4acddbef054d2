#include "GlTestSupport.h"
#include "gfx/ImageChecks.h"

#include <gtest/gtest.h>

namespace {

using gltest::Near;
using imagecheck::Extent;

class Text : public gltest::GlDeviceTest {
  protected:
    void SetUp() override
    {
        width_ = 128;
        height_ = 48;
        GlDeviceTest::SetUp();
        if (device_ && !device_->FontError().empty())
            GTEST_SKIP() << "no font for on-screen text (" << device_->FontError() << "); skipped";
    }
};

TEST_F(Text, DrawsInTheGivenColourWithinTheRow)
{
    ASSERT_TRUE(device_->Clear({0, 0, 0, 1}, 1));
    EXPECT_EQ(device_->DrawText("電車1:120km/h", {2, 0, 100, 16}, {1, 1, 1, 1}), 16);
    const gfx::Image image = Read();
    int white = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            white += Near(image.At(x, y), 255, 255, 255, 0) ? 1 : 0;
    EXPECT_GT(white, 20);
    const gfx::Rect e = Extent(image);
    EXPECT_GE(e.left, 2);
    EXPECT_LE(e.right, 100);
    EXPECT_LE(e.bottom, 16);
}

TEST_F(Text, ShadowThenTextComposeGreyAndWhite)
{
    ASSERT_TRUE(device_->Clear({0, 0, 0, 1}, 1));
    // The text line: grey one pixel right and down, then white on top.
    device_->DrawText("HH", {3, 17, 100, 32}, gfx::ColorFromArgb(0xFF7F7F7F));
    device_->DrawText("HH", {2, 16, 100, 32}, gfx::ColorFromArgb(0xFFFFFFFF));
    const gfx::Image image = Read();
    int grey = 0, white = 0;
    for (int y = 16; y < 32; ++y)
        for (int x = 0; x < 100; ++x) {
            grey += Near(image.At(x, y), 127, 127, 127, 0) ? 1 : 0;
            white += Near(image.At(x, y), 255, 255, 255, 0) ? 1 : 0;
        }
    EXPECT_GT(grey, 5);
    EXPECT_GT(white, 10);
    EXPECT_GE(Extent(image).top, 16);
}

} // namespace
