// What every gfx::Device backend promises, written once and run against each backend.
//
// A backend's test file instantiates the suite with a Backend type:
//   static constexpr bool kMayBeMissing;  // true: no device on this machine skips, not fails
//   static gfx::Created<gfx::Device> Create(gfx::Size main, std::optional<gfx::Size> preview,
//                                           const gfx::DeviceOptions& options);
//   static bool HasFont(gfx::Device& device);
//   static gfx::Image Picture(gfx::Device& device, const contract::Uploads& uploads);
// Picture is the probe: what the current target shows since its last clear. The OpenGL device
// reads its pixels back; the recording device paints its recorded calls, each with the state it
// recorded, so the same expectation holds both to what reaches the screen.
#pragma once

#include "common/TestSupport.h"
#include "gfx/Device.h"
#include "gfx/ImageChecks.h"
#include "math/Matrix.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <numbers>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace contract {

using namespace imagecheck;

// A mesh the tests own; the device gets views of it.
struct Shape {
    std::vector<math::Vec3> positions;
    std::vector<math::Vec3> normals;
    std::vector<std::uint32_t> colors;
    std::vector<std::uint32_t> indices;
    std::vector<std::uint32_t> attributes;

    gfx::MeshData Data() const { return {positions, normals, {}, colors, indices, attributes}; }
};

// Each uploaded buffer with the shape it was made from (the recording probe paints from these).
using Uploads = std::map<const gfx::MeshBuffer*, const Shape*>;

// A square facing the camera (normal −z) at depth z from −half to +half in x and y, clockwise on
// screen; the left triangle is subset leftSubset, the right one subset 0.
inline Shape Square(float z, float half, std::uint32_t leftSubset = 0)
{
    Shape s;
    s.positions = {{-half, -half, z}, {-half, half, z}, {half, half, z}, {half, -half, z}};
    s.normals.assign(4, {0, 0, -1});
    s.indices = {0, 1, 2, 0, 2, 3};
    s.attributes = {leftSubset, 0};
    return s;
}

// A picture file every backend reads: a 24-bit BMP of one grey pixel.
inline void WritePicture(const std::string& path)
{
    const unsigned char bmp[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0, 40,  0,   0,   0, 1, 0,
                                   0,   0,   1,  0, 0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 4,   0,   0,   0, 0, 0,
                                   0,   0,   0,  0, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 128, 128, 128, 0};
    testsupport::WriteBytes(path, std::string_view(reinterpret_cast<const char*>(bmp), sizeof bmp));
}

// Every state but the viewport, which follows the target.
inline void ExpectSameState(const gfx::DeviceState& a, const gfx::DeviceState& b)
{
    EXPECT_EQ(a.flags, b.flags);
    EXPECT_EQ(a.cull, b.cull);
    EXPECT_EQ(a.fill, b.fill);
    EXPECT_EQ(a.shade, b.shade);
    EXPECT_EQ(a.srcBlend, b.srcBlend);
    EXPECT_EQ(a.destBlend, b.destBlend);
    EXPECT_EQ(a.ambient, b.ambient);
    EXPECT_EQ(a.diffuseSource, b.diffuseSource);
    EXPECT_EQ(a.point, b.point);
    EXPECT_EQ(a.colorOp, b.colorOp);
    EXPECT_EQ(a.alphaOp, b.alphaOp);
    EXPECT_EQ(a.minFilter, b.minFilter);
    EXPECT_EQ(a.magFilter, b.magFilter);
    EXPECT_EQ(a.mipFilter, b.mipFilter);
    EXPECT_TRUE(a.transforms == b.transforms);
    EXPECT_EQ(a.material, b.material);
    EXPECT_TRUE(a.lights == b.lights);
    EXPECT_EQ(a.lightEnabled, b.lightEnabled);
    EXPECT_EQ(a.texture, b.texture);
}

template <class Backend> class DeviceContract : public ::testing::Test {
  protected:
    static constexpr gfx::Size kMain{64, 64};
    static constexpr gfx::Size kPreview{40, 30};

    void SetUp() override
    {
        device_ = Make(options_);
        if (!device_ && Backend::kMayBeMissing)
            GTEST_SKIP() << "no device on this machine (" << why_ << "); skipped";
        ASSERT_NE(device_, nullptr) << why_;
    }

    std::unique_ptr<gfx::Device> Make(const gfx::DeviceOptions& options, bool preview = true)
    {
        gfx::Created<gfx::Device> created =
            Backend::Create(kMain, preview ? std::optional<gfx::Size>(kPreview) : std::nullopt, options);
        why_ = created.error;
        return std::move(created.device);
    }

    // Clears to black and looks along +z from the origin: 90° perspective, near 1, far 100.
    void Frame(gfx::Device& d, gfx::Color clear = {0, 0, 0, 1})
    {
        ASSERT_TRUE(d.Clear(clear, 1.0f));
        const gfx::Size size = d.TargetSize(d.CurrentTarget());
        d.SetTransform(gfx::TransformKind::World, math::Identity());
        d.SetTransform(gfx::TransformKind::View, math::Identity());
        d.SetTransform(gfx::TransformKind::Projection,
                       math::PerspectiveFovLH(
                           std::numbers::pi_v<float> / 2,
                           static_cast<float>(size.width) / static_cast<float>(size.height), 1.0f, 100.0f));
    }
    void Frame(gfx::Color clear = {0, 0, 0, 1}) { Frame(*device_, clear); }

    std::shared_ptr<gfx::MeshBuffer> Upload(gfx::Device& d, const Shape& shape)
    {
        auto buffer = d.UploadMesh(shape.Data());
        if (buffer) uploads_[buffer.get()] = &shape;
        return buffer;
    }
    std::shared_ptr<gfx::MeshBuffer> Upload(const Shape& shape) { return Upload(*device_, shape); }

    gfx::Image Picture(gfx::Device& d) { return Backend::Picture(d, uploads_); }
    gfx::Image Picture() { return Picture(*device_); }

    gfx::DeviceOptions options_;
    std::unique_ptr<gfx::Device> device_;
    std::string why_;
    Uploads uploads_;
};

// The square Square(5, 2) seen by Frame on the 64 × 64 main target.
inline constexpr gfx::Rect kSquareOnMain{19, 19, 45, 45};

TYPED_TEST_SUITE_P(DeviceContract);

TYPED_TEST_P(DeviceContract, StartsWithTheDefaultStateOnTheWholeMainTarget)
{
    gfx::Device& d = *this->device_;
    ExpectSameState(d.State(), gfx::DeviceState{});
    EXPECT_EQ(d.CurrentTarget(), gfx::Target::Main);
    EXPECT_EQ(d.TargetSize(gfx::Target::Main), this->kMain);
    EXPECT_EQ(d.State().viewport.x, 0);
    EXPECT_EQ(d.State().viewport.width, 64);
    EXPECT_EQ(d.State().viewport.height, 64);
    EXPECT_EQ(d.SwapInterval(), gfx::kSyncedInterval);
    EXPECT_FALSE(d.GetCaps().perVertexPointSize);
}

TYPED_TEST_P(DeviceContract, StatesSetAreTheStatesDrawsUse)
{
    gfx::Device& d = *this->device_;
    const Shape front = Square(5, 2);
    Shape back = front;
    back.indices = {0, 2, 1, 0, 3, 2};
    Shape red = front;
    red.colors.assign(4, 0x80FF0000);
    const auto frontBuffer = this->Upload(front);
    const auto backBuffer = this->Upload(back);
    const auto redBuffer = this->Upload(red);
    ASSERT_TRUE(frontBuffer && backBuffer && redBuffer);

    // Unlit, a mesh without colours is white; front faces are clockwise and the default culls
    // counter-clockwise ones.
    auto shows = [&](const gfx::MeshBuffer& mesh, gfx::CullMode mode) {
        this->Frame();
        d.SetRenderState(gfx::RenderState::Lighting, false);
        d.SetCullMode(mode);
        EXPECT_EQ(d.State().cull, mode);
        d.DrawSubset(mesh, 0);
        return !Empty(Extent(this->Picture()));
    };
    EXPECT_TRUE(shows(*frontBuffer, gfx::CullMode::Ccw));
    EXPECT_TRUE(Near(this->Picture().At(32, 32), Rgb(255, 255, 255)));
    EXPECT_TRUE(About(Extent(this->Picture()), kSquareOnMain));
    EXPECT_FALSE(shows(*backBuffer, gfx::CullMode::Ccw));
    EXPECT_FALSE(shows(*frontBuffer, gfx::CullMode::Cw));
    EXPECT_TRUE(shows(*backBuffer, gfx::CullMode::Cw));
    EXPECT_TRUE(shows(*backBuffer, gfx::CullMode::None));

    // Blending half-transparent red over blue.
    this->Frame({0, 0, 1, 1});
    d.SetRenderState(gfx::RenderState::Lighting, false);
    d.SetRenderState(gfx::RenderState::AlphaBlendEnable, true);
    d.SetBlendFunc(gfx::Blend::SrcAlpha, gfx::Blend::InvSrcAlpha);
    EXPECT_TRUE(d.State().Get(gfx::RenderState::AlphaBlendEnable));
    EXPECT_EQ(d.State().srcBlend, gfx::Blend::SrcAlpha);
    EXPECT_EQ(d.State().destBlend, gfx::Blend::InvSrcAlpha);
    d.DrawSubset(*redBuffer, 0);
    EXPECT_TRUE(Near(this->Picture().At(32, 32), Rgb(128, 0, 127)));
    EXPECT_TRUE(Near(this->Picture().At(4, 4), Rgb(0, 0, 255)));
}

TYPED_TEST_P(DeviceContract, LightsAddUpAndOnlyEnabledOnesShine)
{
    gfx::Device& d = *this->device_;
    const Shape square = Square(5, 2);
    Shape green = square;
    green.colors.assign(4, 0xFF00FF00);
    const auto buffer = this->Upload(square);
    const auto greenBuffer = this->Upload(green);
    ASSERT_TRUE(buffer && greenBuffer);
    gfx::Material m;
    m.diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    m.ambient = {1, 1, 1, 1};
    gfx::Light light;
    light.diffuse = {1, 1, 1, 1};
    light.direction = {0, 0, 2}; // onto the square's front; not normalised

    // Each look starts a new frame; the lights stay as set.
    auto centre = [&](const gfx::MeshBuffer& mesh) {
        this->Frame();
        d.SetMaterial(m);
        d.DrawSubset(mesh, 0);
        return this->Picture().At(32, 32);
    };
    d.SetLight(0, light);
    EXPECT_TRUE(d.State().lights[0] == light);
    EXPECT_TRUE(Near(centre(*buffer), Rgb(0, 0, 0))) << "a light not enabled does not shine";
    d.LightEnable(0, true);
    EXPECT_TRUE(Near(centre(*buffer), Rgb(128, 64, 255)));

    // A second light and the global ambient add to the first; a light from behind adds nothing.
    gfx::Light dim = light;
    dim.diffuse = {0.25f, 0.25f, 0.25f, 1};
    d.SetLight(1, dim);
    d.LightEnable(1, true);
    gfx::Light behind = light;
    behind.direction = {0, 0, -1};
    d.SetLight(2, behind);
    d.LightEnable(2, true);
    d.SetAmbient({0.1f, 0.1f, 0.1f, 1});
    EXPECT_TRUE(Near(centre(*buffer), Rgb(185, 105, 255)));

    // Vertex colours are the lit diffuse colour of a mesh that has them.
    d.LightEnable(1, false);
    d.LightEnable(2, false);
    d.SetAmbient({});
    EXPECT_TRUE(Near(centre(*greenBuffer), Rgb(0, 255, 0)));

    // Only indices 0 to kMaxLights - 1 exist.
    d.SetLight(gfx::kMaxLights, dim);
    d.LightEnable(gfx::kMaxLights, true);
    d.LightEnable(-1, true);
    EXPECT_TRUE(d.State().lightEnabled[0]);
    EXPECT_FALSE(d.State().lightEnabled[1]);
    EXPECT_FALSE(d.State().lightEnabled[gfx::kMaxLights - 1]);
}

TYPED_TEST_P(DeviceContract, TransformsAndTheViewportPlaceWhatIsDrawn)
{
    gfx::Device& d = *this->device_;
    const Shape square = Square(5, 2);
    const auto buffer = this->Upload(square);
    ASSERT_NE(buffer, nullptr);

    this->Frame();
    d.SetRenderState(gfx::RenderState::Lighting, false);
    const math::Matrix right = math::Translation(2.5f, 0, 0);
    d.SetTransform(gfx::TransformKind::World, right);
    EXPECT_TRUE(d.State().Transform(gfx::TransformKind::World) == right);
    d.DrawSubset(*buffer, 0);
    EXPECT_TRUE(About(Extent(this->Picture()), {35, 19, 61, 45}));

    // The view moves everything the other way; further away is smaller.
    this->Frame();
    d.SetTransform(gfx::TransformKind::View, math::Translation(0, 0, 5));
    d.DrawSubset(*buffer, 0);
    EXPECT_TRUE(About(Extent(this->Picture()), {26, 26, 38, 38}));

    // The picture of the whole target goes into the viewport's rectangle.
    this->Frame();
    math::Viewport vp;
    vp.x = 32;
    vp.y = 0;
    vp.width = 32;
    vp.height = 32;
    ASSERT_TRUE(d.SetViewport(vp));
    EXPECT_EQ(d.State().viewport.x, 32);
    d.DrawSubset(*buffer, 0);
    EXPECT_TRUE(About(Extent(this->Picture()), {42, 10, 54, 22}));

    // A viewport that does not fit the target is refused.
    vp.x = 40;
    EXPECT_FALSE(d.SetViewport(vp));
    EXPECT_EQ(d.State().viewport.x, 32);
}

TYPED_TEST_P(DeviceContract, MeshDrawsShowOneSubsetOfThisDevicesBuffer)
{
    gfx::Device& d = *this->device_;
    const Shape square = Square(5, 2, 3);
    const auto buffer = this->Upload(square);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->DeviceId(), d.Id());

    auto drawn = [&](const gfx::MeshBuffer& mesh, std::uint32_t subset) {
        this->Frame();
        d.SetRenderState(gfx::RenderState::Lighting, false);
        d.DrawSubset(mesh, subset);
        return Extent(this->Picture());
    };
    // Subset 3 is the triangle over the left and top edges, subset 0 the one over the right and bottom.
    EXPECT_TRUE(About(drawn(*buffer, 3), kSquareOnMain));
    EXPECT_TRUE(Near(this->Picture().At(24, 24), Rgb(255, 255, 255)));
    EXPECT_TRUE(Near(this->Picture().At(40, 40), Rgb(0, 0, 0)));
    EXPECT_TRUE(About(drawn(*buffer, 0), kSquareOnMain));
    EXPECT_TRUE(Near(this->Picture().At(24, 24), Rgb(0, 0, 0)));
    EXPECT_TRUE(Near(this->Picture().At(40, 40), Rgb(255, 255, 255)));
    EXPECT_TRUE(Empty(drawn(*buffer, 7)));

    // Inconsistent data gives no buffer.
    Shape broken = square;
    broken.indices[4] = 4;
    EXPECT_EQ(this->Upload(broken), nullptr);
    broken = square;
    broken.normals.pop_back();
    EXPECT_EQ(this->Upload(broken), nullptr);

    // Another device's buffer draws nothing here.
    auto other = this->Make({});
    ASSERT_NE(other, nullptr) << this->why_;
    const auto foreign = this->Upload(*other, square);
    ASSERT_NE(foreign, nullptr);
    EXPECT_NE(foreign->DeviceId(), d.Id());
    EXPECT_TRUE(Empty(drawn(*foreign, 0)));
}

TYPED_TEST_P(DeviceContract, TextIsDrawnInItsRectangleAndLeavesTheStateAlone)
{
    gfx::Device& d = *this->device_;
    if (!TypeParam::HasFont(d)) GTEST_SKIP() << "no font for on-screen text on this machine; skipped";
    const Shape square = Square(5, 2);
    const auto buffer = this->Upload(square);
    ASSERT_NE(buffer, nullptr);

    this->Frame();
    EXPECT_EQ(d.DrawText("電車1:120km/h", {2, 0, 60, 16}, {1, 1, 1, 1}), 16);
    gfx::Rect e = Extent(this->Picture());
    EXPECT_FALSE(Empty(e));
    EXPECT_TRUE(Inside(e, {2, 0, 60, 16}));

    // Lines go down 16 pixels each; what falls outside the rectangle is cut off, and the line
    // that crosses the bottom edge is the last one drawn and counted.
    this->Frame();
    EXPECT_EQ(d.DrawText("WWWWWWWWWWWW\nW\nW", {1, 2, 21, 26}, {1, 1, 1, 1}), 32);
    e = Extent(this->Picture());
    EXPECT_TRUE(Inside(e, {1, 2, 21, 26}));
    EXPECT_GT(e.bottom, 18);
    EXPECT_GT(e.right, 12);

    this->Frame();
    EXPECT_EQ(d.DrawText("", {0, 0, 60, 16}, {1, 1, 1, 1}), 0);
    EXPECT_TRUE(Empty(Extent(this->Picture())));

    // Text in the middle of a lit scene changes none of its state.
    this->Frame();
    gfx::Light light;
    light.diffuse = {1, 1, 1, 1};
    light.direction = {0, 0, 1};
    d.SetLight(0, light);
    d.LightEnable(0, true);
    gfx::Material blue;
    blue.diffuse = {0, 0, 1, 0.5f}; // half transparent, but blending is off
    d.SetMaterial(blue);
    const gfx::DeviceState before = d.State();
    d.DrawText("状態", {0, 48, 60, 64}, {1, 1, 1, 0.5f});
    ExpectSameState(d.State(), before);
    EXPECT_EQ(d.State().viewport.width, before.viewport.width);
    d.DrawSubset(*buffer, 0);
    EXPECT_TRUE(Near(this->Picture().At(32, 32), Rgb(0, 0, 255)));
}

TYPED_TEST_P(DeviceContract, SpritesAreSquaresOfThePointSizeAndLinesComeInPairs)
{
    gfx::Device& d = *this->device_;
    this->Frame();
    d.SetRenderState(gfx::RenderState::Lighting, false);
    d.SetRenderState(gfx::RenderState::PointSpriteEnable, true);
    d.SetPointParameter(gfx::PointParameter::Size, 16.0f);
    d.SetPointParameter(gfx::PointParameter::SizeMax, 32.0f);
    const gfx::ColoredVertex points[] = {{{0, 0, 5}, 0xFFFFFF00}, {{2.5f, 2.5f, 5}, 0xFF00FFFF}};
    d.DrawPointList(points);
    const gfx::Image sprites = this->Picture();
    EXPECT_TRUE(Near(sprites.At(32, 32), Rgb(255, 255, 0)));
    EXPECT_TRUE(Near(sprites.At(48, 16), Rgb(0, 255, 255)));
    EXPECT_TRUE(About(Extent(sprites), {24, 8, 56, 40}));

    this->Frame();
    d.SetRenderState(gfx::RenderState::Lighting, false);
    const gfx::ColoredVertex lines[] = {{{-4, 0, 5}, 0xFFFF0000},
                                        {{4, 0, 5}, 0xFFFF0000},
                                        {{0, -4, 5}, 0xFF00FF00},
                                        {{0, 4, 5}, 0xFF00FF00},
                                        {{3, 3, 5}, 0xFF0000FF}}; // odd vertex: left out
    d.DrawLineList(lines);
    const gfx::Image image = this->Picture();
    EXPECT_TRUE(About(Extent(image), {6, 6, 58, 58}));
    int red = 0, green = 0, blue = 0;
    for (int i = 0; i < 64 * 64; ++i) {
        const gfx::Pixel p = image.At(i % 64, i / 64);
        red += p.r == 255 && p.g == 0 && p.b == 0 ? 1 : 0;
        green += p.r == 0 && p.g == 255 && p.b == 0 ? 1 : 0;
        blue += p.b != 0 ? 1 : 0;
    }
    EXPECT_GT(red, 40);
    EXPECT_GT(green, 40);
    EXPECT_EQ(blue, 0);

    this->Frame();
    d.DrawLineList(std::span(lines).first(1));
    d.DrawPointList({});
    EXPECT_TRUE(Empty(Extent(this->Picture())));
}

TYPED_TEST_P(DeviceContract, ResetsBringBackTheDefaultStateAndKeepResources)
{
    gfx::DeviceOptions immediate;
    immediate.verticalSync = false;
    auto d = this->Make(immediate);
    ASSERT_NE(d, nullptr) << this->why_;
    EXPECT_EQ(d->SwapInterval(), gfx::kImmediateInterval);
    testsupport::TempDir dir;
    WritePicture(dir.File("t.bmp"));
    const gfx::TextureHandle texture = d->LoadTexture(dir.File("t.bmp"));
    ASSERT_NE(texture, nullptr);
    const Shape square = Square(5, 2);
    const auto buffer = this->Upload(*d, square);
    ASSERT_NE(buffer, nullptr);

    auto change = [&] {
        d->SetRenderState(gfx::RenderState::AlphaBlendEnable, true);
        d->SetCullMode(gfx::CullMode::None);
        d->SetTexture(texture);
        d->SetLight(3, gfx::Light{{1, 1, 1, 1}, {}, {}, {1, -1, 1}});
        d->LightEnable(3, true);
        d->SetTransform(gfx::TransformKind::World, math::Translation(1, 2, 3));
    };
    change();
    // After a resize: the new size, the default interval, the default state on the whole target.
    ASSERT_TRUE(d->Reset(48, 32));
    EXPECT_EQ(d->SwapInterval(), gfx::kSyncedInterval);
    EXPECT_EQ(d->TargetSize(gfx::Target::Main), (gfx::Size{48, 32}));
    ExpectSameState(d->State(), gfx::DeviceState{});
    EXPECT_EQ(d->State().viewport.width, 48);
    EXPECT_EQ(d->State().viewport.height, 32);
    EXPECT_FALSE(d->Reset(0, 600));
    EXPECT_EQ(d->TargetSize(gfx::Target::Main), (gfx::Size{48, 32}));

    // Textures and buffers made before still work, and the picture has the new size.
    EXPECT_EQ(d->LoadTexture(dir.File("t.bmp")), texture);
    this->Frame(*d);
    d->SetRenderState(gfx::RenderState::Lighting, false);
    d->DrawSubset(*buffer, 0);
    const gfx::Image image = this->Picture(*d);
    EXPECT_EQ(image.width, 48);
    EXPECT_EQ(image.height, 32);
    EXPECT_TRUE(About(Extent(image), {18, 10, 30, 22}));

    // After a failed presentation: the creation interval again, and the default state.
    change();
    ASSERT_TRUE(d->ResetWithCreationParameters());
    EXPECT_EQ(d->SwapInterval(), gfx::kImmediateInterval);
    EXPECT_EQ(d->TargetSize(gfx::Target::Main), (gfx::Size{48, 32}));
    ExpectSameState(d->State(), gfx::DeviceState{});
}

TYPED_TEST_P(DeviceContract, ThePreviewIsATargetOfItsOwnThatMayBeMissing)
{
    gfx::Device& d = *this->device_;
    const Shape square = Square(5, 2);
    const auto buffer = this->Upload(square);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(d.TargetSize(gfx::Target::Preview), this->kPreview);

    ASSERT_TRUE(d.SetTarget(gfx::Target::Preview));
    EXPECT_EQ(d.CurrentTarget(), gfx::Target::Preview);
    EXPECT_EQ(d.State().viewport.width, 40);
    EXPECT_EQ(d.State().viewport.height, 30);
    this->Frame();
    d.SetRenderState(gfx::RenderState::Lighting, false);
    d.DrawSubset(*buffer, 0); // made while the main target was current
    const gfx::Image preview = this->Picture();
    EXPECT_EQ(preview.width, 40);
    EXPECT_EQ(preview.height, 30);
    EXPECT_TRUE(About(Extent(preview), {14, 9, 26, 21}));

    ASSERT_TRUE(d.SetTarget(gfx::Target::Main));
    EXPECT_EQ(d.State().viewport.width, 64);

    auto without = this->Make({}, false);
    ASSERT_NE(without, nullptr) << this->why_;
    EXPECT_EQ(without->TargetSize(gfx::Target::Preview), (gfx::Size{0, 0}));
    EXPECT_FALSE(without->SetTarget(gfx::Target::Preview));
    EXPECT_EQ(without->CurrentTarget(), gfx::Target::Main);
}

TYPED_TEST_P(DeviceContract, ScenesDoNotNest)
{
    gfx::Device& d = *this->device_;
    EXPECT_FALSE(d.EndScene());
    EXPECT_TRUE(d.BeginScene());
    EXPECT_FALSE(d.BeginScene());
    EXPECT_TRUE(d.EndScene());
    EXPECT_FALSE(d.EndScene());
}

TYPED_TEST_P(DeviceContract, TexturesLoadOncePerFileAndOnlyForTheirDevice)
{
    gfx::Device& d = *this->device_;
    testsupport::TempDir dir;
    WritePicture(dir.File("t.bmp"));
    testsupport::WriteBytes(dir.File("empty.bmp"), "");
    const gfx::TextureHandle texture = d.LoadTexture(dir.File("t.bmp"));
    ASSERT_NE(texture, nullptr);
    // Another spelling of the same file is the same file.
    EXPECT_EQ(d.LoadTexture(dir.Path().string() + "/./t.bmp"), texture);
    EXPECT_EQ(d.LoadTexture(dir.File("missing.bmp")), nullptr);
    EXPECT_EQ(d.LoadTexture(dir.File("empty.bmp")), nullptr);
    EXPECT_EQ(d.LoadTexture(dir.Path().string()), nullptr); // a folder is no picture

    d.SetTexture(texture);
    EXPECT_EQ(d.State().texture, texture);
    auto other = this->Make({});
    ASSERT_NE(other, nullptr) << this->why_;
    other->SetTexture(texture);
    EXPECT_EQ(other->State().texture, nullptr);
    d.SetTexture(nullptr);
    EXPECT_EQ(d.State().texture, nullptr);
}

REGISTER_TYPED_TEST_SUITE_P(DeviceContract, StartsWithTheDefaultStateOnTheWholeMainTarget,
                            StatesSetAreTheStatesDrawsUse, LightsAddUpAndOnlyEnabledOnesShine,
                            TransformsAndTheViewportPlaceWhatIsDrawn,
                            MeshDrawsShowOneSubsetOfThisDevicesBuffer,
                            TextIsDrawnInItsRectangleAndLeavesTheStateAlone,
                            SpritesAreSquaresOfThePointSizeAndLinesComeInPairs,
                            ResetsBringBackTheDefaultStateAndKeepResources,
                            ThePreviewIsATargetOfItsOwnThatMayBeMissing, ScenesDoNotNest,
                            TexturesLoadOncePerFileAndOnlyForTheirDevice);

} // namespace contract
