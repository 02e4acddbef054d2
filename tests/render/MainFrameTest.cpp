#include "RenderTestSupport.h"
#include "render/FrameText.h"

#include <algorithm>

namespace {

using testing_render::GraphicsFixture;
namespace su = ui::setup;

const std::vector<std::string> kSceneOrder = {"cars1",    "cars2", "cars3",      "cars4", "cars5",   "cars6",
                                              "objects0", "plane", "helicopter", "car",   "objects1"};

class MainFrame : public GraphicsFixture {
  protected:
    void SetUp() override
    {
        Create();
        setUp.SetCheck(su::kLines, 0);
        setUp.SetCheck(su::kSprites, 0);
    }
    template <class T> std::ptrdiff_t IndexOf() const
    {
        const auto& calls = device->Recorder().Calls();
        const auto it = std::find_if(calls.begin(), calls.end(),
                                     [](const gfx::RecordedCall& c) { return std::holds_alternative<T>(c); });
        return it == calls.end() ? -1 : it - calls.begin();
    }
};

TEST_F(MainFrame, OpaqueBackgroundIsDrawnFirstAndTranslucentLast)
{
    ASSERT_EQ(setUp.Position(su::kBackgroundAlpha), 100);
    EXPECT_TRUE(RenderFrame());
    std::vector<std::string> expected = {"background"};
    expected.insert(expected.end(), kSceneOrder.begin(), kSceneOrder.end());
    EXPECT_EQ(scene.log, expected);

    scene.log.clear();
    setUp.SetPosition(su::kBackgroundAlpha, 99);
    EXPECT_TRUE(RenderFrame());
    expected = kSceneOrder;
    expected.push_back("background");
    EXPECT_EQ(scene.log, expected);
}

TEST_F(MainFrame, ClearsThenSetsTheCameraBeforeDrawingAndPresentsLast)
{
    setUp.SetSelection(su::kPositionList, 0);
    setUp.SetSelection(su::kViewPointList, 0);
    EXPECT_TRUE(RenderFrame());
    const auto& calls = Recorder().Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_TRUE(std::holds_alternative<gfx::call::Clear>(calls.front()));
    EXPECT_EQ(std::get<gfx::call::Clear>(calls.front()).depth, 1.0f);
    EXPECT_TRUE(std::holds_alternative<gfx::call::Present>(calls.back()));
    EXPECT_EQ(std::get<gfx::call::Present>(calls.back()).target, gfx::Target::Main);
    EXPECT_LT(IndexOf<gfx::call::BeginScene>(), IndexOf<gfx::call::SetTransform>());
    EXPECT_LT(IndexOf<gfx::call::SetTransform>(), IndexOf<gfx::call::EndScene>());

    // The camera's matrices were in force for every item.
    ASSERT_TRUE(scene.viewAtFirstDraw.has_value());
    EXPECT_EQ(*scene.viewAtFirstDraw, cam.View());
    EXPECT_EQ(Recorder().State().Transform(gfx::TransformKind::Projection), cam.Projection());
    EXPECT_EQ(cam.Projection(), math::PerspectiveFovLH(25 * 0.017453292f, 640.0f / 480.0f, 1.0f, 10000.0f));
}

TEST_F(MainFrame, LinesAndLabelsAreDrawnUnlitAndLightingComesBack)
{
    setUp.SetCheck(su::kLines, 1);
    setUp.SetCheck(su::kSprites, 1);
    RenderFrame();
    ASSERT_GE(scene.log.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(scene.log.end() - 2, scene.log.end()),
              (std::vector<std::string>{"lines", "labels"}));
    EXPECT_EQ(scene.lightingWhileUnlit, (std::vector<bool>{false, false}));
    EXPECT_EQ(scene.labelSize, 16.0f);
    EXPECT_TRUE(Recorder().State().Get(gfx::RenderState::Lighting));

    // Either one alone still switches lighting round it.
    scene = {};
    setUp.SetCheck(su::kLines, 0);
    RenderFrame();
    EXPECT_EQ(scene.log.back(), "labels");
    EXPECT_EQ(scene.lightingWhileUnlit, (std::vector<bool>{false}));

    // Neither: lighting is not touched at all.
    scene = {};
    Recorder().ClearCalls();
    setUp.SetCheck(su::kSprites, 0);
    RenderFrame();
    EXPECT_EQ(Recorder().Count<gfx::call::SetRenderState>(), 0u);
    EXPECT_TRUE(scene.lightingWhileUnlit.empty());
}

TEST_F(MainFrame, TextRowsHaveAGreyShadowAndWhiteTextInSixteenPixelRows)
{
    scene.customTexts = true;
    RenderFrame();
    const auto texts = Recorder().CallsOf<gfx::call::DrawText>();
    ASSERT_EQ(texts.size(), 26u);
    for (int row = 0; row < 13; ++row) {
        const gfx::call::DrawText& shadow = texts[static_cast<std::size_t>(2 * row)];
        const gfx::call::DrawText& text = texts[static_cast<std::size_t>(2 * row + 1)];
        EXPECT_EQ(shadow.text, text.text);
        EXPECT_EQ(shadow.color, gfx::ColorFromArgb(0xFF7F7F7F));
        EXPECT_EQ(text.color, gfx::ColorFromArgb(0xFFFFFFFF));
        // The frame-rate row has room for the pass rate.
        const int right = row == 0 ? 240 : 100;
        EXPECT_EQ((std::array{shadow.rect.left, shadow.rect.top, shadow.rect.right, shadow.rect.bottom}),
                  (std::array{3, 16 * row + 1, right, 16 * row + 16}));
        EXPECT_EQ((std::array{text.rect.left, text.rect.top, text.rect.right, text.rect.bottom}),
                  (std::array{2, 16 * row, right, 16 * row + 16}));
    }
    EXPECT_TRUE(texts[0].text.ends_with("fps"));
    EXPECT_EQ(texts[2].text, "電車1:10km/h");
    EXPECT_EQ(texts[12].text, "電車6:60km/h");
    EXPECT_EQ(texts[25].text, "高度:12m");
}

TEST_F(MainFrame, EmptySceneShowsTheZeroReadOuts)
{
    const std::array<std::string, render::kTextRows> lines =
        render::TextLines("1.00fps", render::FrameScene{});
    EXPECT_EQ(lines,
              (std::array<std::string, 13>{"1.00fps", "電車1:0km/h", "電車2:0km/h", "電車3:0km/h",
                                           "電車4:0km/h", "電車5:0km/h", "電車6:0km/h", "車:0km/h",
                                           "飛行機:0km/h", "高度:0m", "角度:0'", "ヘリ:0km/h", "高度:0m"}));
}

TEST_F(MainFrame, WithoutTextNothingIsWrittenAndTheFrameRateStandsStill)
{
    RenderFrame();
    const int counter = graphics.FrameRate().Counter();
    setUp.SetCheck(su::kText, 0);
    Recorder().ClearCalls();
    RenderFrame();
    RenderFrame();
    EXPECT_EQ(Recorder().Count<gfx::call::DrawText>(), 0u);
    EXPECT_EQ(graphics.FrameRate().Counter(), counter);
}

TEST_F(MainFrame, BackgroundBlueFollowsTheLightSlider)
{
    for (auto [light, blue] : {std::pair{0, 63}, std::pair{50, 94}, std::pair{100, 126}}) {
        EXPECT_EQ(render::BackgroundBlue(light), blue);
        setUp.SetPosition(su::kLight, light);
        Recorder().ClearCalls();
        RenderFrame();
        const auto clears = Recorder().CallsOf<gfx::call::Clear>();
        ASSERT_EQ(clears.size(), 1u);
        EXPECT_EQ(clears[0].color, gfx::ColorFromArgb(0xFF000000u | static_cast<std::uint32_t>(blue)))
            << light;
    }
}

TEST_F(MainFrame, AFailedClearSkipsTheWholeFrame)
{
    device->failClear = true;
    EXPECT_FALSE(RenderFrame());
    EXPECT_EQ(Recorder().Count<gfx::call::BeginScene>(), 0u);
    EXPECT_EQ(Recorder().Count<gfx::call::Present>(), 0u);
    EXPECT_TRUE(scene.log.empty());
}

TEST_F(MainFrame, AFailedSceneBeginStillPresents)
{
    device->failBegin = true;
    const int counter = graphics.FrameRate().Counter();
    EXPECT_FALSE(RenderFrame());
    EXPECT_TRUE(scene.log.empty());
    EXPECT_EQ(Recorder().Count<gfx::call::EndScene>(), 0u);
    EXPECT_EQ(Recorder().Count<gfx::call::DrawText>(), 0u);
    EXPECT_EQ(Recorder().Count<gfx::call::Present>(), 1u);
    EXPECT_EQ(graphics.FrameRate().Counter(), counter);
}

TEST_F(MainFrame, APreviewInBetweenDoesNotLeaveTheFrameOnThePreviewTarget)
{
    scene.subject = render::PreviewSubject{{0, 0, 0}, 1};
    graphics.RenderPreview(cam, setUp, scene);
    Recorder().ClearCalls();
    RenderFrame();
    const auto presents = Recorder().CallsOf<gfx::call::Present>();
    ASSERT_EQ(presents.size(), 1u);
    EXPECT_EQ(presents[0].target, gfx::Target::Main);
    EXPECT_EQ(Recorder().State().viewport.width, 640);
}

} // namespace
