// The demo layout passes the layout check at its default thresholds: its track is closed
// everywhere but at the buffer stops, nothing is laid twice, there is room under the bridge and
// no slope is steeper than the check allows.
#include "DemoTestSupport.h"
#include "gfx/RecordingDevice.h"
#include "layout/CLayout.h"
#include "layout/JointMending.h"
#include "layout/LayoutCheck.h"
#include "layout/MapFile.h"
#include "layout/MapFileVehicles.h"

#include <gtest/gtest.h>

namespace {

TEST(DemoCheck, TheDemoLayoutHasNoFault)
{
    DEMO_REQUIRE_CONTENT();
    layout::CLayout layout(demotest::kProgramSection);
    const auto device = std::move(gfx::RecordingDevice::Create().device);
    layout::StoredMapVehicles vehicles;
    ASSERT_EQ(layout::LoadMapFile(layout, demotest::Content().root + std::string(demo::content::kDemoMap),
                                  vehicles, {.device = device.get()})
                  .outcome,
              layout::MapOutcome::Done);

    const layout::LayoutCheckResult result = layout::CheckLayout(layout);
    for (const layout::LayoutFinding& f : result.findings) {
        const std::string type =
            layout.Catalogue().TypeName(layout.Placed().All()[static_cast<std::size_t>(f.objects.front())].type);
        ADD_FAILURE() << layout::FindingKindName(f.kind) << " at " << f.position.x << ", " << f.position.z << " on "
                      << type << " (" << f.value << ")";
    }
    // The steepest slope keeps a margin below the limit.
    const layout::LayoutCheckResult steep = layout::CheckLayout(layout, {.maxGradePercent = 3.0f});
    EXPECT_GT(steep.counts[static_cast<int>(layout::FindingKind::Grade)], 0);
    for (const layout::LayoutFinding& f : steep.findings) {
        if (f.kind == layout::FindingKind::Grade) {
            EXPECT_LT(f.value, 3.95f);
        }
    }
    EXPECT_TRUE(layout::PlanJointMending(layout).moves.empty());

    // The bridge is seen passing over the main line, with a little more room than asked for.
    const layout::LayoutCheckResult strict = layout::CheckLayout(layout, {.minClearance = 100.0f});
    ASSERT_EQ(strict.counts[static_cast<int>(layout::FindingKind::Clearance)], 1);
    for (const layout::LayoutFinding& f : strict.findings) {
        if (f.kind != layout::FindingKind::Clearance) continue;
        EXPECT_GE(f.value, 5.0f);
        EXPECT_LT(f.value, 6.5f);
    }
}

} // namespace
