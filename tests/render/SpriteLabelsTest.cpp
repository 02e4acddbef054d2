// The key labels: which bitmap each label shows, where the points stand, and that a style
// change replaces the loaded set instead of adding to it.
#include "common/TestSupport.h"
#include "gfx/RecordingDevice.h"
#include "render/CSpriteLabels.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

using render::CSpriteLabels;
using render::TrainLabels;

class SpriteLabelsTest : public ::testing::Test {
  protected:
    SpriteLabelsTest()
    {
        device = std::move(gfx::RecordingDevice::Create().device);
        folder = dir.Path().string() + "/";
        for (int style = 0; style < 3; ++style) {
            const std::filesystem::path sp = dir.Path() / "res" / ("SP" + std::to_string(style));
            std::filesystem::create_directories(sp);
            std::vector<std::string> names = {"PA", "PB"};
            for (int k = 0; k < 10; ++k) {
                for (const char* letter : {"B", "F", "S", "P"})
                    names.push_back(letter + std::to_string(k));
            }
            for (const std::string& name : names)
                testsupport::WriteBytes(sp / (name + ".bmp"), "BM" + name + std::to_string(style));
        }
        for (int n = 0; n < 6; ++n) {
            for (int j = 0; j < 3; ++j)
                trains[static_cast<std::size_t>(n)].points[static_cast<std::size_t>(j)] = {float(n), float(j),
                                                                                           0};
        }
    }

    // The texture each label was drawn with, in drawing order.
    std::vector<gfx::TextureHandle> DrawnTextures()
    {
        device->ClearCalls();
        labels.Draw(*device, 16.0f, trains, objects);
        std::vector<gfx::TextureHandle> drawn;
        for (const auto& draw : device->CallsOf<gfx::call::DrawPointList>())
            drawn.push_back(draw.state.texture);
        return drawn;
    }

    static std::string Name(const gfx::TextureHandle& texture)
    {
        return texture ? std::filesystem::path(texture->Path()).filename().string() : "(none)";
    }

    testsupport::TempDir dir;
    std::string folder;
    std::unique_ptr<gfx::RecordingDevice> device;
    CSpriteLabels labels;
    std::array<TrainLabels, 6> trains{};
    std::vector<layout::PlacedObject> objects;
};

TEST_F(SpriteLabelsTest, AReversedColumnExchangesTheBAndFBitmaps)
{
    ASSERT_TRUE(labels.Load(*device, folder, 0));
    trains[0] = {.shown = true, .driveType = 0, .points = trains[0].points};  // "QAZ"
    trains[1] = {.shown = true, .driveType = 10, .points = trains[1].points}; // "逆 QAZ"
    const auto drawn = DrawnTextures();
    ASSERT_EQ(drawn.size(), 6u);
    // Slots are drawn from 6 down to 1.
    EXPECT_EQ(Name(drawn[0]), "F0.bmp");
    EXPECT_EQ(Name(drawn[1]), "B0.bmp");
    EXPECT_EQ(Name(drawn[2]), "S0.bmp");
    EXPECT_EQ(Name(drawn[3]), "B0.bmp");
    EXPECT_EQ(Name(drawn[4]), "F0.bmp");
    EXPECT_EQ(Name(drawn[5]), "S0.bmp");
    const auto draws = device->CallsOf<gfx::call::DrawPointList>();
    ASSERT_EQ(draws[0].vertices.size(), 1u);
    EXPECT_EQ(draws[0].vertices[0].position, (math::Vec3{1, 0, 0})); // slot 2's rear label
    EXPECT_EQ(draws[5].vertices[0].position, (math::Vec3{0, 2, 0})); // slot 1's middle label
    EXPECT_EQ(draws[5].vertices[0].color, 0xFFFFFFFFu);
}

TEST_F(SpriteLabelsTest, SlotsWithoutATrainAreSkippedButTheirPointsAreWritten)
{
    ASSERT_TRUE(labels.Load(*device, folder, 0));
    trains[4] = {.shown = true, .driveType = 7, .points = trains[4].points};
    const auto drawn = DrawnTextures();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(Name(drawn[2]), "S7.bmp");
    EXPECT_EQ(labels.Points()[3 * 5 + 2].position, (math::Vec3{5, 2, 0}));
}

TEST_F(SpriteLabelsTest, TurnoutLabelsStartAtPointEighteenInObjectOrder)
{
    ASSERT_TRUE(labels.Load(*device, folder, 1));
    objects = {{.x = 1, .key = layout::kNoKey},
               {.x = 2, .key = 3},
               {.x = 3, .key = layout::kNoKey},
               {.x = 4, .key = 11},
               {.x = 5, .key = 12}, // not a key: no label, no crash
               {.x = 6, .key = 10}};
    const auto drawn = DrawnTextures();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(Name(drawn[0]), "P3.bmp");
    EXPECT_EQ(Name(drawn[1]), "PB.bmp");
    EXPECT_EQ(Name(drawn[2]), "PA.bmp");
    EXPECT_EQ(labels.Points()[18].position.x, 2.0f);
    EXPECT_EQ(labels.Points()[19].position.x, 4.0f);
    EXPECT_EQ(labels.Points()[21].position.x, 6.0f);
    EXPECT_NE(drawn[0]->Path().find("SP1"), std::string::npos);
}

TEST_F(SpriteLabelsTest, LabelsAreDrawnThroughEverythingAtTheGivenSize)
{
    ASSERT_TRUE(labels.Load(*device, folder, 0));
    EXPECT_FALSE(labels.PerVertexSize());
    trains[0].shown = true;
    DrawnTextures();
    for (const auto& draw : device->CallsOf<gfx::call::DrawPointList>()) {
        EXPECT_FALSE(draw.state.Get(gfx::RenderState::ZEnable));
        EXPECT_FALSE(draw.state.Get(gfx::RenderState::ZWriteEnable));
        EXPECT_EQ(draw.state.Get(gfx::PointParameter::Size), 16.0f);
    }
    EXPECT_TRUE(device->State().Get(gfx::RenderState::ZEnable));
    EXPECT_TRUE(device->State().Get(gfx::RenderState::ZWriteEnable));
}

TEST_F(SpriteLabelsTest, TheKatakanaStyleLoadsFromFolderSPTwo)
{
    ASSERT_TRUE(labels.Load(*device, folder, 2));
    for (int k = 0; k < 10; ++k) {
        for (int j = 0; j < 3; ++j)
            ASSERT_NE(labels.ColumnTexture(k, j)->Path().find("res/SP2/"), std::string::npos);
    }
    EXPECT_NE(labels.KeyTexture(10)->Path().find("res/SP2/PA.bmp"), std::string::npos);
}

TEST_F(SpriteLabelsTest, StyleChangesReleaseTheOldSetBeforeLoading)
{
    std::vector<std::weak_ptr<const gfx::Texture>> earlier;
    for (int change = 0; change < 10; ++change) {
        labels.Load(*device, folder, change % 3);
        if (change < 9) {
            for (int k = 0; k < 12; ++k)
                earlier.push_back(labels.KeyTexture(k));
        }
    }
    // Only the last set is alive: 42 textures of style 0, all different.
    std::vector<const gfx::Texture*> live;
    for (int k = 0; k < 10; ++k) {
        for (int j = 0; j < 3; ++j)
            live.push_back(labels.ColumnTexture(k, j).get());
    }
    for (int k = 0; k < 12; ++k)
        live.push_back(labels.KeyTexture(k).get());
    std::sort(live.begin(), live.end());
    EXPECT_EQ(std::unique(live.begin(), live.end()) - live.begin(), 42);
    EXPECT_EQ(labels.Points().size(), static_cast<std::size_t>(CSpriteLabels::kPointCount));
    // Of the textures earlier styles loaded, only those the last set shares (the same files,
    // which the device loads once) are still alive.
    device->ClearCalls(); // the recorded loads hold their results
    for (const auto& texture : earlier) {
        if (const auto alive = texture.lock()) {
            EXPECT_TRUE(std::binary_search(live.begin(), live.end(), alive.get())) << alive->Path();
        }
    }
    const std::weak_ptr<const gfx::Texture> last = labels.KeyTexture(0);
    labels.Release();
    EXPECT_TRUE(last.expired());
    EXPECT_FALSE(labels.Loaded());
}

TEST_F(SpriteLabelsTest, MissingBitmapsGiveUntexturedLabels)
{
    std::filesystem::remove_all(dir.Path() / "res" / "SP1");
    EXPECT_FALSE(labels.Load(*device, folder, 1));
    trains[2].shown = true;
    const auto drawn = DrawnTextures();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0], nullptr);
}

TEST_F(SpriteLabelsTest, ADriveTypeOutsideTheTableDrawsWithTheTextureLeftSet)
{
    ASSERT_TRUE(labels.Load(*device, folder, 0));
    trains[0] = {.shown = true, .driveType = 25, .points = trains[0].points};
    trains[1] = {.shown = true, .driveType = 3, .points = trains[1].points};
    const auto drawn = DrawnTextures();
    ASSERT_EQ(drawn.size(), 6u);
    EXPECT_EQ(Name(drawn[3]), "S3.bmp");
}

TEST_F(SpriteLabelsTest, NothingIsDrawnBeforeLoading)
{
    trains[0].shown = true;
    EXPECT_TRUE(DrawnTextures().empty());
    EXPECT_TRUE(device->Calls().empty());
}

} // namespace
