#include "gfx/RecordingDevice.h"

#include "common/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using gfx::RecordingDevice;

std::unique_ptr<RecordingDevice> MakeDevice(RecordingDevice::Options options = {})
{
    auto created = RecordingDevice::Create(options);
    EXPECT_TRUE(created.ok()) << created.error;
    return std::move(created.device);
}

// Sets a handful of states that a frame relies on, as start-up does.
void ApplyFrameState(gfx::Device& d)
{
    d.SetRenderState(gfx::RenderState::AlphaBlendEnable, true);
    d.SetBlendFunc(gfx::Blend::SrcAlpha, gfx::Blend::InvSrcAlpha);
    d.SetCullMode(gfx::CullMode::None);
    d.SetPointParameter(gfx::PointParameter::Size, 32.0f);
    for (int i = 0; i < 4; ++i) {
        d.SetLight(i, gfx::Light{{1, 1, 1, 1}, {}, {}, {1, -1, 1}});
        d.LightEnable(i, true);
    }
}

TEST(RecordingDeviceCreation, FailureIsReportedWithAReasonAndNoDevice)
{
    RecordingDevice::Options options;
    options.failCreation = true;
    auto created = RecordingDevice::Create(options);
    EXPECT_FALSE(created.ok());
    EXPECT_EQ(created.device, nullptr);
    EXPECT_FALSE(created.error.empty());

    options = {};
    options.main = {0, 480};
    EXPECT_FALSE(RecordingDevice::Create(options).ok());
}

TEST(RecordingDeviceCreation, ResultPassesAsTheInterfaces)
{
    gfx::Created<gfx::Device> created = RecordingDevice::Create();
    ASSERT_TRUE(created.ok());
    RecordingDevice::Options options;
    options.failCreation = true;
    gfx::Created<gfx::Device> failed = RecordingDevice::Create(options);
    EXPECT_FALSE(failed.ok());
    EXPECT_FALSE(failed.error.empty());
}

TEST(RecordingDeviceCreation, StartsWithTheFixedFunctionDefaults)
{
    auto d = MakeDevice();
    const gfx::DeviceState& s = d->State();
    EXPECT_TRUE(s.Get(gfx::RenderState::Lighting));
    EXPECT_TRUE(s.Get(gfx::RenderState::ZEnable));
    EXPECT_FALSE(s.Get(gfx::RenderState::AlphaBlendEnable));
    EXPECT_FALSE(s.Get(gfx::RenderState::PointScaleEnable));
    EXPECT_EQ(s.cull, gfx::CullMode::Ccw);
    EXPECT_EQ(s.ambient, (gfx::Color{0, 0, 0, 0}));
    EXPECT_EQ(s.Get(gfx::PointParameter::ScaleA), 1.0f);
    EXPECT_EQ(s.Get(gfx::PointParameter::SizeMax), 64.0f);
    EXPECT_EQ(s.viewport.width, 640);
    EXPECT_EQ(s.viewport.height, 480);
    EXPECT_FALSE(d->GetCaps().perVertexPointSize);
}

TEST(RecordingDeviceResets, ResizeResetUsesTheDefaultIntervalAndClearsState)
{
    RecordingDevice::Options options;
    options.device.verticalSync = false;
    auto d = MakeDevice(options);
    EXPECT_EQ(d->SwapInterval(), gfx::kImmediateInterval);
    ApplyFrameState(*d);

    ASSERT_TRUE(d->Reset(800, 600));
    // Fresh parameters after a resize present with the default (synchronised) interval.
    EXPECT_EQ(d->SwapInterval(), gfx::kSyncedInterval);
    EXPECT_EQ(d->TargetSize(gfx::Target::Main), (gfx::Size{800, 600}));
    EXPECT_EQ(d->State().viewport.width, 800);
    EXPECT_FALSE(d->State().Get(gfx::RenderState::AlphaBlendEnable));
    EXPECT_FALSE(d->State().lightEnabled[0]);
    EXPECT_EQ(d->State().cull, gfx::CullMode::Ccw);

    EXPECT_FALSE(d->Reset(0, 600));
    EXPECT_EQ(d->TargetSize(gfx::Target::Main), (gfx::Size{800, 600}));
}

TEST(RecordingDeviceResets, FailedPresentThenResetKeepsCreationIntervalAndAcceptsStateAgain)
{
    RecordingDevice::Options options;
    options.device.verticalSync = false;
    auto d = MakeDevice(options);
    ApplyFrameState(*d);
    d->FailPresents(1);

    EXPECT_FALSE(d->Present());
    ASSERT_TRUE(d->ResetWithCreationParameters());
    EXPECT_EQ(d->SwapInterval(), gfx::kImmediateInterval);
    // Everything set before is gone, so the owner must set it again...
    EXPECT_FALSE(d->State().lightEnabled[3]);
    EXPECT_FALSE(d->State().Get(gfx::RenderState::AlphaBlendEnable));
    // ...and once it does, the next frame has it all and presents.
    ApplyFrameState(*d);
    EXPECT_TRUE(d->State().lightEnabled[3]);
    EXPECT_EQ(d->State().srcBlend, gfx::Blend::SrcAlpha);
    EXPECT_TRUE(d->Present());
}

TEST(RecordingDeviceResets, TexturesAndMeshBuffersSurviveAReset)
{
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.File("a.bmp"), "BM....");
    auto d = MakeDevice();
    gfx::TextureHandle texture = d->LoadTexture(dir.File("a.bmp"));
    ASSERT_NE(texture, nullptr);
    ASSERT_TRUE(d->Reset(320, 200));
    EXPECT_EQ(d->LoadTexture(dir.File("a.bmp")), texture);
    d->SetTexture(texture);
    EXPECT_EQ(d->State().texture, texture);
}

TEST(RecordingDeviceTargets, PreviewTargetHasItsOwnViewportAndMayBeMissing)
{
    auto d = MakeDevice();
    ASSERT_TRUE(d->SetTarget(gfx::Target::Preview));
    EXPECT_EQ(d->State().viewport.width, 256);
    EXPECT_TRUE(d->Present());
    EXPECT_EQ(d->CallsOf<gfx::call::Present>().back().target, gfx::Target::Preview);
    ASSERT_TRUE(d->SetTarget(gfx::Target::Main));
    EXPECT_EQ(d->State().viewport.width, 640);

    RecordingDevice::Options options;
    options.preview.reset();
    auto noPreview = MakeDevice(options);
    EXPECT_FALSE(noPreview->SetTarget(gfx::Target::Preview));
    EXPECT_EQ(noPreview->CurrentTarget(), gfx::Target::Main);
}

TEST(RecordingDeviceTargets, ViewportMustFitTheTarget)
{
    auto d = MakeDevice();
    math::Viewport vp;
    vp.width = 641;
    vp.height = 480;
    EXPECT_FALSE(d->SetViewport(vp));
    EXPECT_EQ(d->State().viewport.width, 640);
    vp.x = 40;
    vp.width = 600;
    EXPECT_TRUE(d->SetViewport(vp));
    EXPECT_EQ(d->State().viewport.x, 40);
}

TEST(RecordingDeviceScenes, NestedBeginAndStrayEndFail)
{
    auto d = MakeDevice();
    EXPECT_FALSE(d->EndScene());
    EXPECT_TRUE(d->BeginScene());
    EXPECT_FALSE(d->BeginScene());
    EXPECT_TRUE(d->EndScene());
}

TEST(RecordingDeviceTextures, SameFileOnceMissingOrFailingGivesNone)
{
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.File("t.png"), "png bytes");
    testsupport::WriteBytes(dir.File("empty.png"), "");
    auto d = MakeDevice();
    auto first = d->LoadTexture(dir.File("t.png"));
    ASSERT_NE(first, nullptr);
    // Another spelling of the same file is still the same file.
    EXPECT_EQ(d->LoadTexture(dir.Path().string() + "/./t.png"), first);
    EXPECT_EQ(d->LoadTexture(dir.File("missing.png")), nullptr);
    EXPECT_EQ(d->LoadTexture(dir.File("empty.png")), nullptr);
    EXPECT_EQ(d->LoadTexture(dir.Path().string()), nullptr); // a folder is no picture
    d->FailTextureLoads(true);
    testsupport::WriteBytes(dir.File("u.png"), "png bytes");
    EXPECT_EQ(d->LoadTexture(dir.File("u.png")), nullptr);
}

TEST(RecordingDeviceTextures, AnotherDevicesTextureIsNotBound)
{
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.File("t.png"), "png bytes");
    auto a = MakeDevice();
    auto b = MakeDevice();
    auto texture = a->LoadTexture(dir.File("t.png"));
    ASSERT_NE(texture, nullptr);
    b->SetTexture(texture);
    EXPECT_EQ(b->State().texture, nullptr);
}

TEST(RecordingDeviceDrawing, DrawsRecordTheStateInForce)
{
    auto d = MakeDevice();
    const std::vector<math::Vec3> positions{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const std::vector<std::uint32_t> indices{0, 1, 2};
    const std::vector<std::uint32_t> attributes{0};
    gfx::MeshData data;
    data.positions = positions;
    data.indices = indices;
    data.attributes = attributes;
    auto buffer = d->UploadMesh(data);
    ASSERT_NE(buffer, nullptr);
    d->SetFillMode(gfx::FillMode::Wireframe);
    d->DrawSubset(*buffer, 0);
    d->DrawSubset(*buffer, 7);
    auto draws = d->CallsOf<gfx::call::DrawSubset>();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].triangles, 1u);
    EXPECT_EQ(draws[0].state.fill, gfx::FillMode::Wireframe);
    EXPECT_EQ(draws[1].triangles, 0u);

    const gfx::ColoredVertex line[] = {{{0, 0, 0}, 0xFFFF0000}, {{1, 0, 0}, 0xFFFF0000}};
    d->DrawLineList(line);
    EXPECT_EQ(d->CallsOf<gfx::call::DrawLineList>().at(0).vertices.size(), 2u);
    EXPECT_EQ(d->DrawText("電車1:0km/h\nx", {2, 0, 100, 16}, {1, 1, 1, 1}), 32);
    EXPECT_EQ(d->DrawText("", {2, 0, 100, 16}, {1, 1, 1, 1}), 0);
}

TEST(Colors, ArgbWordsBecomeChannels)
{
    EXPECT_EQ(gfx::ColorFromArgb(0xFF7F7F7F), (gfx::Color{127 / 255.0f, 127 / 255.0f, 127 / 255.0f, 1.0f}));
    EXPECT_EQ(gfx::ColorFromArgb(0x80FF0000), (gfx::Color{1, 0, 0, 128 / 255.0f}));
}

} // namespace

namespace {

// Three frames of a few calls each, the second with a line list.
void DrawFrames(gfx::Device& d)
{
    const gfx::ColoredVertex line[2] = {};
    for (int frame = 0; frame < 3; ++frame) {
        d.Clear({}, 1.0f);
        d.BeginScene();
        if (frame == 1) d.DrawLineList(line);
        d.EndScene();
        d.Present();
    }
}

TEST(RecordingDeviceKeep, LongRunsKeepTheLastFrameOrNothingAndCountEverything)
{
    for (const auto keep : {RecordingDevice::Keep::AllCalls, RecordingDevice::Keep::LastFrame,
                            RecordingDevice::Keep::NoCalls}) {
        RecordingDevice::Options options;
        options.keep = keep;
        auto device = MakeDevice(options);
        DrawFrames(*device);
        EXPECT_EQ(device->TotalCount<gfx::call::Present>(), 3u);
        EXPECT_EQ(device->TotalCount<gfx::call::DrawLineList>(), 1u);
        const std::size_t kept = device->Calls().size();
        switch (keep) {
        case RecordingDevice::Keep::AllCalls: EXPECT_EQ(kept, 13u); break;
        case RecordingDevice::Keep::LastFrame:
            EXPECT_EQ(kept, 4u);
            EXPECT_TRUE(std::holds_alternative<gfx::call::Clear>(device->Calls().front()));
            EXPECT_TRUE(std::holds_alternative<gfx::call::Present>(device->Calls().back()));
            break;
        case RecordingDevice::Keep::NoCalls: EXPECT_EQ(kept, 0u); break;
        }
    }
}

} // namespace
