#include "GlTestSupport.h"
#include "model/MeshModel.h"

#include <gtest/gtest.h>

namespace {

using gltest::Near;

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

    // Bounding box of the pixels that are not black: {left, top, right, bottom}, right/bottom exclusive.
    static gfx::Rect Extent(const gfx::Image& image)
    {
        gfx::Rect r{image.width, image.height, 0, 0};
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const gfx::Pixel p = image.At(x, y);
                if ((p.r | p.g | p.b) == 0) continue;
                r.left = std::min(r.left, x);
                r.top = std::min(r.top, y);
                r.right = std::max(r.right, x + 1);
                r.bottom = std::max(r.bottom, y + 1);
            }
        return r;
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

TEST_F(Text, IsClippedAtTheRightAndBottomEdges)
{
    ASSERT_TRUE(device_->Clear({0, 0, 0, 1}, 1));
    device_->DrawText("WWWWWWWWWWWWWWWW", {0, 0, 21, 9}, {1, 1, 1, 1});
    gfx::Rect e = Extent(Read());
    EXPECT_LE(e.right, 21);
    EXPECT_LE(e.bottom, 9);
    EXPECT_GT(e.right, 10);

    // A second line starts one row lower; a line past the bottom is not drawn.
    ASSERT_TRUE(device_->Clear({0, 0, 0, 1}, 1));
    EXPECT_EQ(device_->DrawText("A\nB\nC", {0, 0, 100, 20}, {1, 1, 1, 1}), 32);
    e = Extent(Read());
    EXPECT_GT(e.bottom, 16);
    EXPECT_LE(e.bottom, 20);
}

TEST_F(Text, LeavesTheDeviceStateAsItWas)
{
    BeginFrame();
    gltest::LightFromCamera(*device_, 1.0f);
    device_->SetRenderState(gfx::RenderState::AlphaBlendEnable, false);
    device_->DrawText("状態", {0, 0, 100, 16}, {1, 1, 1, 0.5f});
    std::vector<model::MeshMaterial> materials(1);
    materials[0].material.diffuse = {0, 0, 1, 0.5f};
    const model::Mesh square = gltest::Square(5, 2);
    model::DrawMesh(device_.get(), &square, materials, 1, nullptr, model::kAllSubsets, false, false, 1.0f);
    // Still lit, still unblended, still in the scene's viewport and projection.
    EXPECT_TRUE(Near(Read().At(64, 24), 0, 0, 255));
    EXPECT_TRUE(Near(Read().At(2, 40), 0, 0, 0));
}

} // namespace
