#include "GlTestSupport.h"
#include "common/TestSupport.h"
#include "gfx/gl/ImageFile.h"
#include "gfx/gl/OffscreenSurface.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

namespace {

using gltest::Near;

// A surface whose window is gone: it can never be made current.
class DeadSurface final : public gfx::gl::GlSurface {
  public:
    bool MakeCurrent() override { return false; }
    int Width() const override { return 10; }
    int Height() const override { return 10; }
    bool Resize(int, int) override { return false; }
    bool Present() override { return false; }
    bool SetSwapInterval(int) override { return false; }
};

class DeadContext final : public gfx::gl::GlContext {
  public:
    bool MakeCurrent() override { return false; }
};

TEST(GlDeviceCreation, FailureIsReportedNeverAHalfMadeDevice)
{
    auto none = gfx::gl::GlDevice::Create(nullptr, nullptr, {});
    EXPECT_FALSE(none.ok());
    EXPECT_FALSE(none.error.empty());
    auto dead =
        gfx::gl::GlDevice::Create(std::make_shared<DeadContext>(), std::make_unique<DeadSurface>(), {});
    EXPECT_FALSE(dead.ok());
    EXPECT_EQ(dead.device, nullptr);
    EXPECT_FALSE(dead.error.empty());
    auto empty = gfx::gl::GlDevice::CreateOffscreen(0, 0, {});
    EXPECT_FALSE(empty.ok());
}

class Lifecycle : public gltest::GlDeviceTest {
  protected:
    void SetUp() override
    {
        options_.verticalSync = false;
        GlDeviceTest::SetUp();
    }
};

TEST_F(Lifecycle, TexturesComeFromEachFormatOnceAndBrokenFilesGiveNone)
{
    testsupport::TempDir dir;
    const unsigned char rgba[] = {10,  20,  30,  255, 40, 50, 60, 255, 70, 80, 90, 255,
                                  100, 110, 120, 255, 10, 20, 30, 255, 40, 50, 60, 255};
    ASSERT_TRUE(stbi_write_png(dir.File("a.png").c_str(), 3, 2, 4, rgba, 12));
    ASSERT_TRUE(stbi_write_tga(dir.File("a.tga").c_str(), 3, 2, 4, rgba));
    ASSERT_TRUE(stbi_write_jpg(dir.File("a.jpg").c_str(), 3, 2, 4, rgba, 90));
    gltest::WriteBmp(dir.File("a.bmp"), 3, 2, std::vector<gltest::Rgb>(6, {1, 2, 3}));
    for (const char* name : {"a.png", "a.tga", "a.jpg", "a.bmp"}) {
        auto texture = device_->LoadTexture(dir.File(name));
        ASSERT_NE(texture, nullptr) << name;
        EXPECT_EQ(texture->Width(), 3) << name;
        EXPECT_EQ(texture->Height(), 2) << name;
        EXPECT_EQ(device_->LoadTexture(dir.File(name)), texture) << name;
    }

    const std::string png = testsupport::ReadBytes(dir.File("a.png"));
    testsupport::WriteBytes(dir.File("cut.png"), png.substr(0, png.size() / 2));
    testsupport::WriteBytes(dir.File("noise.jpg"), std::string(300, '\x5A'));
    std::string bmp = testsupport::ReadBytes(dir.File("a.bmp"));
    bmp[18] = '\xFF'; // width far beyond any texture
    bmp[19] = '\xFF';
    bmp[20] = '\x0F';
    testsupport::WriteBytes(dir.File("huge.bmp"), bmp);
    for (const char* name : {"cut.png", "noise.jpg", "huge.bmp", "missing.png"})
        EXPECT_EQ(device_->LoadTexture(dir.File(name)), nullptr) << name;
}

TEST(ImageFiles, BmpPaddingByteIsNotAlphaAndPngRoundTrips)
{
    testsupport::TempDir dir;
    // 1 × 1, 32 bits, BI_RGB: blue 1, green 2, red 3, padding 0.
    std::string bmp(58, '\0');
    const unsigned char header[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                    1,   0,   0,  0, 1, 0, 0, 0, 1, 0, 32, 0, 0, 0, 0,  0, 0, 0};
    std::copy(std::begin(header), std::end(header), bmp.begin());
    bmp[54] = 1;
    bmp[55] = 2;
    bmp[56] = 3;
    testsupport::WriteBytes(dir.File("x.bmp"), bmp);
    auto image = gfx::gl::LoadImageFile(dir.File("x.bmp"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->At(0, 0), (gfx::Pixel{3, 2, 1, 255}));

    gfx::Image picture;
    picture.width = 2;
    picture.height = 1;
    picture.rgba = {1, 2, 3, 255, 200, 100, 50, 128};
    ASSERT_TRUE(gfx::gl::WritePngFile(picture, dir.File("shot.png")));
    auto back = gfx::gl::LoadImageFile(dir.File("shot.png"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->rgba, picture.rgba);
}

} // namespace
