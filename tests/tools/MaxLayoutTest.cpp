// The largest layout: a full catalogue and a full map of real track that the layout check finds
// as sound as the demo's, its settings opening it from any program folder, and six trains of 16
// cars on the main lines.
#include "DemoTestSupport.h"
#include "demo/MaxLayout.h"
#include "gfx/RecordingDevice.h"
#include "layout/CLayout.h"
#include "layout/LayoutCheck.h"
#include "layout/LayoutLimits.h"
#include "layout/MapFile.h"
#include "layout/MapFileVehicles.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

namespace {

TEST(MaxLayout, FillsCatalogueAndMapWithSoundTrackAndSixLongTrains)
{
    testsupport::TempDir dir;
    const std::string root = dir.Path().string() + "/";
    demo::GeneratorOptions options{root, "korvela"};
    options.maximum = true;
    const auto report = demo::GenerateContent(options);
    ASSERT_TRUE(report) << report.error();

    // The settings name the folders absolutely and open the maximum layout.
    const platform::Profile settings = platform::Profile::FromBytes(
        root + "korvela.ini", testsupport::ReadBytes(dir.Path() / "korvela.ini"));
    EXPECT_EQ(settings.GetString("korvela", "Object", "", 1024), root + "objects/");
    EXPECT_EQ(settings.GetString("korvela", "FileName", "", 1024), root + std::string(demo::maximum::kMap));

    layout::CLayout layout(demotest::kProgramSection);
    const auto device = std::move(gfx::RecordingDevice::Create().device);
    layout::StoredMapVehicles vehicles;
    const layout::MapResult loaded =
        layout::LoadMapFile(layout, root + std::string(demo::maximum::kMap), vehicles, {.device = device.get()});
    ASSERT_EQ(loaded.outcome, layout::MapOutcome::Done);
    EXPECT_TRUE(loaded.messages.empty());
    EXPECT_EQ(layout.Catalogue().TypeCount(), layout::kMaxObjectTypes);
    EXPECT_EQ(layout.Placed().Count(), layout::kMaxPlacedObjects);

    // Every tile is the demo again, which the check passes, and no two tiles meet.
    const layout::LayoutCheckResult result = layout::CheckLayout(layout);
    for (int kind = 0; kind < static_cast<int>(result.counts.size()); ++kind)
        EXPECT_EQ(result.counts[static_cast<std::size_t>(kind)], 0)
            << layout::FindingKindName(static_cast<layout::FindingKind>(kind));

    for (int slot = 1; slot <= layout::kMapTrainSlots; ++slot)
        EXPECT_EQ(vehicles.TrainChoice(slot), demo::maximum::kTrain) << "slot " << slot;
    const platform::Profile train = platform::Profile::FromBytes(
        "", testsupport::ReadBytes(dir.Path() / "trains" / (std::string(demo::maximum::kTrain) + ".txt")));
    EXPECT_FALSE(train.GetString("korvela", "16両目モデル名", "", 1024).empty());
    EXPECT_TRUE(train.GetString("korvela", "17両目モデル名", "", 1024).empty());
}

} // namespace
