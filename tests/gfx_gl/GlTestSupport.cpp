#include "GlTestSupport.h"

#include "common/TestSupport.h"
#include "math/Matrix.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace gltest {

void GlDeviceTest::SetUp()
{
    auto created = gfx::gl::GlDevice::CreateOffscreen(width_, height_, options_);
    if (!created)
        GTEST_SKIP() << "no off-screen OpenGL context on this machine (" << created.error << "); skipped";
    device_ = std::move(created.device);
}

void GlDeviceTest::BeginFrame(gfx::Color clear)
{
    ASSERT_TRUE(device_->Clear(clear, 1.0f));
    device_->SetTransform(gfx::TransformKind::View, math::Identity());
    device_->SetTransform(gfx::TransformKind::World, math::Identity());
    device_->SetTransform(gfx::TransformKind::Projection,
                          math::PerspectiveFovLH(std::numbers::pi_v<float> / 2, 1.0f, 1.0f, 100.0f));
}

gfx::Image GlDeviceTest::Read()
{
    auto image = device_->ReadPixels();
    EXPECT_TRUE(image.has_value());
    return image.value_or(gfx::Image{});
}

model::Mesh Square(float z, float half, bool withNormals)
{
    model::Mesh m;
    m.positions = {{-half, -half, z}, {-half, half, z}, {half, half, z}, {half, -half, z}};
    if (withNormals) m.normals.assign(4, {0, 0, -1});
    m.uvs = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    m.indices = {0, 1, 2, 0, 2, 3};
    m.attributes = {0, 0};
    return m;
}

model::Mesh ReversedSquare(float z, float half)
{
    model::Mesh m = Square(z, half);
    m.indices = {0, 2, 1, 0, 3, 2};
    return m;
}

void LightFromCamera(gfx::Device& d, float level)
{
    gfx::Light light;
    light.diffuse = {level, level, level, 1};
    light.direction = {0, 0, 1};
    d.SetLight(0, light);
    d.LightEnable(0, true);
}

void WriteBmp(const std::string& path, int width, int height, const std::vector<Rgb>& topDown)
{
    const int rowBytes = (width * 3 + 3) & ~3;
    const int pixelBytes = rowBytes * height;
    std::string out(54 + static_cast<std::size_t>(pixelBytes), '\0');
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    out[0] = 'B';
    out[1] = 'M';
    put(2, static_cast<std::uint32_t>(out.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, static_cast<std::uint32_t>(pixelBytes), 4);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = 54 + static_cast<std::size_t>((height - 1 - y) * rowBytes);
        for (int x = 0; x < width; ++x) {
            const Rgb& p = topDown[static_cast<std::size_t>(y * width + x)];
            out[row + static_cast<std::size_t>(3 * x)] = static_cast<char>(p.b);
            out[row + static_cast<std::size_t>(3 * x + 1)] = static_cast<char>(p.g);
            out[row + static_cast<std::size_t>(3 * x + 2)] = static_cast<char>(p.r);
        }
    }
    testsupport::WriteBytes(path, out);
}

::testing::AssertionResult Near(gfx::Pixel p, int r, int g, int b, int tolerance)
{
    if (std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance && std::abs(p.b - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << int(p.r) << ", " << int(p.g) << ", " << int(p.b)
                                         << ") is not near (" << r << ", " << g << ", " << b << ")";
}

int Lit(const gfx::Image& image)
{
    int n = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const gfx::Pixel p = image.At(x, y);
            n += (p.r | p.g | p.b) != 0 ? 1 : 0;
        }
    return n;
}

} // namespace gltest
