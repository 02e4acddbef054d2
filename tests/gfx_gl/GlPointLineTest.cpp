#include "GlTestSupport.h"
#include "common/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using gltest::Near;

class PointsAndLines : public gltest::GlDeviceTest {
  protected:
    // The key-label set-up: sprites of size 16 scaled with distance between 16 and 32, unlit,
    // no per-vertex size.
    void LabelStates()
    {
        device_->SetRenderState(gfx::RenderState::Lighting, false);
        device_->SetRenderState(gfx::RenderState::PointSpriteEnable, true);
        device_->SetRenderState(gfx::RenderState::PointScaleEnable, true);
        device_->SetPointParameter(gfx::PointParameter::Size, 16.0f);
        device_->SetPointParameter(gfx::PointParameter::SizeMin, 16.0f);
        device_->SetPointParameter(gfx::PointParameter::SizeMax, 32.0f);
        for (auto p : {gfx::PointParameter::ScaleA, gfx::PointParameter::ScaleB, gfx::PointParameter::ScaleC})
            device_->SetPointParameter(p, 8.0f);
    }

    int SpriteWidth(float distance)
    {
        BeginFrame();
        const gfx::ColoredVertex point[] = {{{0, 0, distance}, 0xFFFFFFFF}};
        device_->DrawPointList(point);
        const gfx::Image image = Read();
        int width = 0;
        for (int x = 0; x < image.width; ++x) {
            const gfx::Pixel p = image.At(x, 32);
            width += (p.r | p.g | p.b) != 0 ? 1 : 0;
        }
        return width;
    }
};

TEST_F(PointsAndLines, SpriteSizeScalesWithDistanceBetweenTheLimits)
{
    ASSERT_FALSE(device_->GetCaps().perVertexPointSize);
    LabelStates();
    EXPECT_EQ(SpriteWidth(1.0f), 32);
    EXPECT_EQ(SpriteWidth(90.0f), 16);
    // height · size · sqrt(1 / (A + B·d + C·d²)) at d = 20: 64 · 16 / sqrt(3368) = 17.6
    const int mid = SpriteWidth(20.0f);
    EXPECT_GE(mid, 17);
    EXPECT_LE(mid, 18);

    device_->SetRenderState(gfx::RenderState::PointScaleEnable, false);
    EXPECT_EQ(SpriteWidth(1.0f), 16);
}

TEST_F(PointsAndLines, SpriteShowsTheWholeTextureTopLeftFirst)
{
    testsupport::TempDir dir;
    gltest::WriteBmp(dir.File("P0.bmp"), 2, 2, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}});
    auto texture = device_->LoadTexture(dir.File("P0.bmp"));
    ASSERT_NE(texture, nullptr);
    LabelStates();
    device_->SetTexture(texture);
    // Labels are drawn over everything.
    device_->SetRenderState(gfx::RenderState::ZEnable, false);
    EXPECT_EQ(SpriteWidth(1.0f), 32);
    const gfx::Image image = Read();
    EXPECT_TRUE(Near(image.At(20, 20), 255, 0, 0));
    EXPECT_TRUE(Near(image.At(44, 20), 0, 255, 0));
    EXPECT_TRUE(Near(image.At(20, 44), 0, 0, 255));
    EXPECT_TRUE(Near(image.At(44, 44), 255, 255, 255));
}

} // namespace
