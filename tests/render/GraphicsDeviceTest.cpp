#include "RenderTestSupport.h"
#include "render/CLighting.h"
#include "render/CRenderStates.h"
#include "render/CameraTransforms.h"

#include <cmath>

namespace {

using testing_render::GraphicsFixture;
namespace su = ui::setup;

// What a frame relies on after a reset: the states of start-up, not the device's defaults.
void ExpectFullState(const gfx::DeviceState& s, float light)
{
    EXPECT_TRUE(s.Get(gfx::RenderState::AlphaBlendEnable));
    EXPECT_EQ(s.srcBlend, gfx::Blend::SrcAlpha);
    EXPECT_EQ(s.destBlend, gfx::Blend::InvSrcAlpha);
    EXPECT_TRUE(s.Get(gfx::RenderState::DitherEnable));
    EXPECT_TRUE(s.Get(gfx::RenderState::PointSpriteEnable));
    EXPECT_EQ(s.Get(gfx::PointParameter::Size), 32.0f);
    EXPECT_EQ(s.minFilter, gfx::Filter::Linear);
    EXPECT_EQ(s.magFilter, gfx::Filter::Linear);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(s.lightEnabled[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(s.lights[static_cast<std::size_t>(i)].diffuse.r, light) << i;
    }
}

class Graphics : public GraphicsFixture {};

TEST_F(Graphics, CreationTakesVerticalSyncFromTheSettings)
{
    Create();
    EXPECT_FALSE(optionsSeen.verticalSync); // "同期" starts unchecked
    EXPECT_EQ(graphics.Device()->SwapInterval(), gfx::kImmediateInterval);

    setUp.SetCheck(su::kSync, 1);
    Create();
    EXPECT_TRUE(optionsSeen.verticalSync);
    EXPECT_EQ(graphics.Device()->SwapInterval(), gfx::kSyncedInterval);
}

TEST_F(Graphics, FailedCreationLeavesNoDeviceAndSaysWhy)
{
    const platform::Status status = graphics.Create(
        [](const gfx::DeviceOptions&) { return gfx::Created<gfx::Device>(nullptr, "no display"); }, setUp);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.error(), "no display");
    EXPECT_EQ(graphics.Device(), nullptr);
    EXPECT_FALSE(graphics.Create({}, setUp).ok());
}

TEST_F(Graphics, WithoutADeviceEveryOperationDoesNothing)
{
    int hooks = 0;
    graphics.AddResetHook([&](gfx::Device&) { ++hooks; });
    graphics.ApplyDeviceState(setUp);
    EXPECT_FALSE(RenderFrame());
    graphics.RenderPreview(cam, setUp, scene);
    EXPECT_FALSE(graphics.ResetAfterResize(800, 600, setUp));
    EXPECT_FALSE(graphics.ResetAfterFailedPresent(setUp));
    graphics.DrawTextLine("x", 0);
    EXPECT_TRUE(scene.log.empty());
    EXPECT_EQ(hooks, 0);
    EXPECT_EQ(graphics.FrameRate().Counter(), 0);

    render::CRenderStates().ApplyFixedStates(nullptr, setUp);
    render::CRenderStates().ApplyTextureFiltering(nullptr);
    render::CRenderStates().SetShadeMode(nullptr, true);
    render::CRenderStates().SetFillMode(nullptr, true);
    render::CRenderStates().SetCullMode(nullptr, gfx::CullMode::None);
    render::CLighting().ApplyLights(nullptr, setUp);
    render::SetViewProjection(nullptr, cam);
    render::SetPreviewViewProjection(nullptr, cam, setUp, {}, 1);

    // Released again after it existed.
    Create();
    graphics.ReleaseAll();
    EXPECT_FALSE(graphics.HasDevice());
    EXPECT_FALSE(RenderFrame());
}

TEST_F(Graphics, FailedPresentResetsWithCreationParametersAndAppliesEverythingAgain)
{
    Create();
    graphics.ApplyDeviceState(setUp);
    int hooks = 0;
    graphics.AddResetHook([&](gfx::Device&) { ++hooks; });

    Recorder().FailPresents(1);
    Recorder().ClearCalls();
    EXPECT_FALSE(RenderFrame());
    const auto resets = Recorder().CallsOf<gfx::call::Reset>();
    ASSERT_EQ(resets.size(), 1u);
    EXPECT_FALSE(resets[0].resize);
    EXPECT_EQ(hooks, 1);
    ExpectFullState(Recorder().State(), 1.0f);
    // The creation parameters keep the interval chosen at start-up.
    EXPECT_EQ(Recorder().SwapInterval(), gfx::kImmediateInterval);

    EXPECT_TRUE(RenderFrame());
    EXPECT_EQ(hooks, 1);
}

TEST_F(Graphics, AFailedResetAppliesNothing)
{
    Create();
    int hooks = 0;
    graphics.AddResetHook([&](gfx::Device&) { ++hooks; });
    device->failReset = true;
    Recorder().FailPresents(1);
    EXPECT_FALSE(RenderFrame());
    EXPECT_FALSE(graphics.ResetAfterResize(800, 600, setUp));
    EXPECT_EQ(hooks, 0);
}

TEST_F(Graphics, ResizeResetTakesTheNewSizeAndTheDefaultInterval)
{
    Create();
    setUp.SetPosition(su::kLight, 40);
    int hooks = 0;
    graphics.AddResetHook([&](gfx::Device& d) {
        ++hooks;
        // The labels reload onto a device whose states are back.
        EXPECT_TRUE(d.State().Get(gfx::RenderState::PointSpriteEnable));
    });
    EXPECT_TRUE(graphics.ResetAfterResize(800, 600, setUp));
    const auto resets = Recorder().CallsOf<gfx::call::Reset>();
    ASSERT_EQ(resets.size(), 1u);
    EXPECT_TRUE(resets[0].resize);
    EXPECT_EQ(Recorder().State().viewport.width, 800);
    EXPECT_EQ(Recorder().State().viewport.height, 600);
    EXPECT_EQ(hooks, 1);
    ExpectFullState(Recorder().State(), 40 * 0.01f);
    EXPECT_EQ(Recorder().SwapInterval(), gfx::kSyncedInterval);

    // A view squeezed to nothing keeps one pixel.
    EXPECT_TRUE(graphics.ResetAfterResize(300, 0, setUp));
    EXPECT_EQ(Recorder().TargetSize(gfx::Target::Main), (gfx::Size{300, 1}));
}

TEST_F(Graphics, FixedStatesFollowTheTableAndTheDialogsRadios)
{
    Create();
    setUp.SetCheck(su::kShadeFlat, 1);
    setUp.SetCheck(su::kFillWireframe, 1);
    setUp.SetCheck(su::kCullCw, 1);
    Recorder().ClearCalls();
    render::CRenderStates().ApplyFixedStates(graphics.Device(), setUp);

    using namespace gfx::call;
    using RS = gfx::RenderState;
    using PP = gfx::PointParameter;
    const std::vector<gfx::RecordedCall> expected = {
        SetRenderState{RS::ZEnable, true},
        SetRenderState{RS::ZWriteEnable, true},
        SetRenderState{RS::DitherEnable, true},
        SetTextureStage{gfx::StageOp::Modulate, gfx::StageOp::Modulate},
        SetRenderState{RS::AlphaBlendEnable, true},
        SetBlendFunc{gfx::Blend::SrcAlpha, gfx::Blend::InvSrcAlpha},
        SetShadeMode{gfx::ShadeMode::Flat},
        SetFillMode{gfx::FillMode::Wireframe},
        SetCullMode{gfx::CullMode::Cw},
        SetRenderState{RS::PointSpriteEnable, true},
        SetPointParameter{PP::Size, 32.0f},
        SetRenderState{RS::PointScaleEnable, true},
        SetPointParameter{PP::SizeMin, 16.0f},
        SetPointParameter{PP::SizeMax, 32.0f},
        SetPointParameter{PP::ScaleA, 8.0f},
        SetPointParameter{PP::ScaleB, 8.0f},
        SetPointParameter{PP::ScaleC, 8.0f},
    };
    const auto& calls = Recorder().Calls();
    ASSERT_EQ(calls.size(), expected.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].index(), expected[i].index()) << "call " << i;
        if (const auto* a = std::get_if<SetRenderState>(&calls[i])) {
            const auto& b = std::get<SetRenderState>(expected[i]);
            EXPECT_TRUE(a->state == b.state && a->on == b.on) << "call " << i;
        }
        if (const auto* a = std::get_if<SetPointParameter>(&calls[i])) {
            const auto& b = std::get<SetPointParameter>(expected[i]);
            EXPECT_TRUE(a->parameter == b.parameter && a->value == b.value) << "call " << i;
        }
    }
    const gfx::DeviceState& s = Recorder().State();
    EXPECT_EQ(s.shade, gfx::ShadeMode::Flat);
    EXPECT_EQ(s.fill, gfx::FillMode::Wireframe);
    EXPECT_EQ(s.cull, gfx::CullMode::Cw);
    EXPECT_EQ(s.colorOp, gfx::StageOp::Modulate);
    EXPECT_EQ(s.alphaOp, gfx::StageOp::Modulate);
}

TEST_F(Graphics, StartUpRadiosGiveGouraudSolidAndCounterClockwiseCulling)
{
    Create();
    render::CRenderStates().ApplyFixedStates(graphics.Device(), setUp);
    const gfx::DeviceState& s = Recorder().State();
    EXPECT_EQ(s.shade, gfx::ShadeMode::Gouraud);
    EXPECT_EQ(s.fill, gfx::FillMode::Solid);
    EXPECT_EQ(s.cull, gfx::CullMode::Ccw);

    const render::CRenderStates states;
    states.SetShadeMode(graphics.Device(), false);
    states.SetFillMode(graphics.Device(), false);
    states.SetCullMode(graphics.Device(), gfx::CullMode::None);
    EXPECT_EQ(s.shade, gfx::ShadeMode::Flat);
    EXPECT_EQ(s.fill, gfx::FillMode::Wireframe);
    EXPECT_EQ(s.cull, gfx::CullMode::None);
}

TEST_F(Graphics, FourDirectionalLightsFollowTheLightSlider)
{
    Create();
    setUp.SetPosition(su::kLight, 40);
    render::CLighting().ApplyLights(graphics.Device(), setUp);
    const float k = 1.0f / std::sqrt(3.0f);
    // In single precision, as the original: 40 × 0.01f is just below 0.4.
    const float level = 40 * 0.01f;
    const math::Vec3 directions[4] = {{k, -k, k}, {-k, -k, -k}, {-k, k, k}, {k, -k, -k}};
    const gfx::DeviceState& s = Recorder().State();
    for (std::size_t i = 0; i < 4; ++i) {
        const gfx::Light& l = s.lights[i];
        EXPECT_EQ(l.diffuse, (gfx::Color{level, level, level, level})) << i;
        EXPECT_EQ(l.specular, gfx::Color{});
        EXPECT_EQ(l.ambient, gfx::Color{});
        EXPECT_NEAR(l.direction.x, directions[i].x, 1e-6f);
        EXPECT_NEAR(l.direction.y, directions[i].y, 1e-6f);
        EXPECT_NEAR(l.direction.z, directions[i].z, 1e-6f);
        EXPECT_TRUE(s.lightEnabled[i]);
    }
    EXPECT_FALSE(s.lightEnabled[4]);
}

} // namespace
