#include "RenderTestSupport.h"
#include "render/CFrameRate.h"

namespace {

using testing_render::GraphicsFixture;
namespace su = ui::setup;

class Preview : public GraphicsFixture {};

TEST_F(Preview, DrawsTheSelectedTypeOnThePreviewTarget)
{
    Create();
    scene.subject = render::PreviewSubject{{1, 2, 3}, 2};
    graphics.RenderPreview(cam, setUp, scene);
    EXPECT_EQ(scene.log, (std::vector<std::string>{"preview"}));
    // Drawn with the preview camera of the preview window (256 × 256, a square aspect).
    EXPECT_EQ(*scene.viewAtFirstDraw, cam.PreviewView());
    EXPECT_EQ(cam.PreviewProjection(), math::PerspectiveFovLH(1.5707963705062866f, 1.0f, 1.0f, 10000.0f));
    const auto presents = Recorder().CallsOf<gfx::call::Present>();
    ASSERT_EQ(presents.size(), 1u);
    EXPECT_EQ(presents[0].target, gfx::Target::Preview);
    EXPECT_EQ(Recorder().CurrentTarget(), gfx::Target::Main);
}

TEST_F(Preview, WithNothingSelectedOnlyTheBackgroundShows)
{
    Create();
    setUp.SetPosition(su::kLight, 0);
    graphics.RenderPreview(cam, setUp, scene);
    EXPECT_TRUE(scene.log.empty());
    EXPECT_EQ(Recorder().Count<gfx::call::SetTransform>(), 0u);
    const auto clears = Recorder().CallsOf<gfx::call::Clear>();
    ASSERT_EQ(clears.size(), 1u);
    EXPECT_EQ(clears[0].color, gfx::ColorFromArgb(0xFF00003F));
    EXPECT_EQ(Recorder().Count<gfx::call::Present>(), 1u);
}

TEST_F(Preview, NothingWithoutAPreviewWindow)
{
    options.preview.reset();
    Create();
    scene.subject = render::PreviewSubject{{}, 1};
    graphics.RenderPreview(cam, setUp, scene);
    EXPECT_EQ(Recorder().Count<gfx::call::Clear>(), 0u);
    EXPECT_TRUE(scene.log.empty());
}

TEST_F(Preview, AFailedPresentResetsTheDevice)
{
    Create();
    int hooks = 0;
    graphics.AddResetHook([&](gfx::Device&) { ++hooks; });
    Recorder().FailPresents(1);
    graphics.RenderPreview(cam, setUp, scene);
    EXPECT_EQ(Recorder().Count<gfx::call::Reset>(), 1u);
    EXPECT_EQ(hooks, 1);
    EXPECT_EQ(Recorder().CurrentTarget(), gfx::Target::Main);
}

class FrameRate : public ::testing::Test {
  protected:
    std::uint32_t now = 0;
    render::CFrameRate rate{[this] { return now; }};

    std::string Frames(int n)
    {
        std::string text;
        for (int i = 0; i < n; ++i)
            text = rate.Next();
        return text;
    }
};

TEST_F(FrameRate, SamplesTheClockEveryFifthFrame)
{
    Frames(4);
    EXPECT_EQ(rate.Counter(), 4);
    EXPECT_EQ(rate.LastSample(), 1000000u);
    EXPECT_EQ(rate.SampleBefore(), 0u);

    now = 1000;
    Frames(1);
    EXPECT_EQ(rate.Counter(), 0);
    EXPECT_EQ(rate.LastSample(), 1000u);
    EXPECT_EQ(rate.SampleBefore(), 1000000u);
    Frames(4);
    EXPECT_EQ(rate.Counter(), 4);
    EXPECT_EQ(rate.LastSample(), 1000u);
}

TEST_F(FrameRate, ShowsTheAverageOfTheLastFiveFrames)
{
    now = 1000;
    Frames(5);
    now = 1100;
    const std::string first = Frames(5);
    EXPECT_EQ(first, "50.00fps");
    now = 1180;
    EXPECT_EQ(Frames(4), "50.00fps");
    EXPECT_EQ(Frames(1), "62.50fps");
}

TEST_F(FrameRate, ThePassRateShowsBesideTheFrameRateOnlyWhereTheyDiffer)
{
    std::int64_t passes = 0;
    const auto frames = [&](int passesEach) {
        std::string text;
        for (int frame = 0; frame < 5; ++frame) {
            now += 20;
            passes += passesEach;
            text = rate.Next(passes);
        }
        return text;
    };
    frames(2);
    EXPECT_EQ(frames(2), "50.00fps 100.00pass/s");
    EXPECT_EQ(frames(0), "50.00fps 0.00pass/s");
    EXPECT_EQ(frames(1), "50.00fps");
}

TEST_F(FrameRate, AClockThatWrapsRoundStillGivesTheInterval)
{
    now = 0xFFFFFF00u;
    Frames(5);
    now = 0x00000090u; // 400 ms later
    EXPECT_EQ(Frames(5), "12.50fps");
}

TEST_F(FrameRate, FiveFramesInOneMillisecondKeepThePreviousText)
{
    now = 1000;
    Frames(5);
    now = 1100;
    ASSERT_EQ(Frames(5), "50.00fps");
    EXPECT_EQ(Frames(5), "50.00fps");
    EXPECT_EQ(rate.LastSample(), rate.SampleBefore());
    now = 1150;
    EXPECT_EQ(Frames(5), "100.00fps");
}

} // namespace
