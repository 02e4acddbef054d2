// The printable plan: PDF and SVG files that readers accept, tiled at a fixed scale into as many
// pages as the layout's extent needs, and bad input refused without leaving a half-written file.
#include "plan/PlanExport.h"

#include "common/TestSupport.h"
#include "layout/SurfaceTestSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Pages of a PDF as cairo writes it: its page objects.
int PdfPages(const std::string& pdf)
{
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
    return pages;
}

class PlanExportTest : public surfacetest::SurfaceTest {
  protected:
    void SetUp() override
    {
        WriteTrack("straight", {tracks::StraightLine(25.0)});
        WriteTrack("turnout", {tracks::StraightLine(10.0), tracks::CurveLine(20.0, 30.0)});
        WriteSolid("house", tracks::BoxText(-2, 2, 0, 3, -2, 2));
        ASSERT_TRUE(Scan().ok());
        out = std::filesystem::path(folder) / "out";
        std::filesystem::create_directory(out);
    }
    // A line of straights along z, 25 units each.
    void LayLine(int pieces)
    {
        for (int i = 0; i < pieces; ++i)
            Place(Type("straight"), 0, 0, 25.0f * i);
    }

    std::filesystem::path out;
};

TEST_F(PlanExportTest, FittedPdfAndSvgAreWrittenWholeWithThePartsListLast)
{
    LayLine(4);
    Place(Type("turnout"), 0, 0, -10, 0, 2);
    Place(Type("house"), 20, 0, 20);

    const auto pdf = plan::ExportPlan(layout, (out / "plan.PDF").string(), {.title = "demo", .date = "2026-12-08"});
    ASSERT_TRUE(pdf.ok()) << pdf.error();
    EXPECT_EQ(pdf->pages, 2); // the plan and the parts list
    EXPECT_EQ(pdf->tiles, 1);
    EXPECT_FALSE(pdf->empty);
    const std::string bytes = ReadAll(out / "plan.PDF");
    EXPECT_TRUE(bytes.starts_with("%PDF-"));
    EXPECT_NE(bytes.rfind("%%EOF"), std::string::npos);
    EXPECT_EQ(PdfPages(bytes), 2);

    const auto svg = plan::ExportPlan(layout, (out / "plan.svg").string(), {});
    ASSERT_TRUE(svg.ok()) << svg.error();
    EXPECT_EQ(svg->pages, 1);
    const std::string text = ReadAll(out / "plan.svg");
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("</svg>"), std::string::npos);
    // Nothing but the two plans is left in the folder (no temporary files).
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), std::filesystem::directory_iterator()), 2);
}

TEST_F(PlanExportTest, AFixedScaleTilesOverThePagesTheExtentNeeds)
{
    // 200 units long at 1:87 is 2.3 m of paper: A4 landscape's plan area is 277 × 164 mm less
    // the header and footer, so the line needs several rows of one column.
    LayLine(8);
    const auto result = plan::ExportPlan(layout, (out / "tiled.pdf").string(),
                                          {.scale = 87, .orientation = plan::Orientation::Landscape});
    ASSERT_TRUE(result.ok()) << result.error();
    const double extentMm = (200.0 + 2 * 6.0) * 1000.0 / 87.0; // line plus padding
    const double areaHeightMm = 210.0 - 20.0 - 26.0;
    const int rows = static_cast<int>(std::ceil((extentMm - 10.0) / (areaHeightMm - 10.0)));
    EXPECT_EQ(result->tiles, rows);
    EXPECT_EQ(result->pages, rows + 2); // the page map, the tiles, the parts list
    EXPECT_EQ(PdfPages(ReadAll(out / "tiled.pdf")), result->pages);

    // At 1:2000 the same line fits one page: no page map.
    const auto small = plan::ExportPlan(layout, (out / "small.pdf").string(), {.scale = 2000});
    ASSERT_TRUE(small.ok());
    EXPECT_EQ(small->tiles, 1);
    EXPECT_EQ(small->pages, 2);
}

TEST_F(PlanExportTest, BadInputIsRefusedAndLeavesNothingBehind)
{
    for (const char* bad : {"0", "-87", "abc", "1:", "1:0", "87.5", ""})
        EXPECT_FALSE(plan::ParsePlanScale(bad).ok()) << bad;
    EXPECT_EQ(*plan::ParsePlanScale("87"), 87);
    EXPECT_EQ(*plan::ParsePlanScale("1:150"), 150);
    EXPECT_EQ(*plan::ParsePlanScale(" 1/220 "), 220);

    LayLine(2);
    EXPECT_FALSE(plan::ExportPlan(layout, (out / "plan.png").string(), {}).ok());
    EXPECT_FALSE(plan::ExportPlan(layout, (out / "plan.pdf").string(), {.scale = -5}).ok());
    // 1:1 of a long line would be thousands of pages: refused before anything is written.
    LayLine(40);
    EXPECT_FALSE(plan::ExportPlan(layout, (out / "huge.pdf").string(), {.scale = 1}).ok());
    const auto missing = plan::ExportPlan(layout, (out / "no" / "such" / "plan.pdf").string(), {});
    ASSERT_FALSE(missing.ok());
    EXPECT_FALSE(missing.error().empty());
    EXPECT_TRUE(std::filesystem::is_empty(out));

    // An existing plan is kept whole when the new one cannot be written.
    testsupport::WriteBytes(out / "keep.pdf", "old");
    std::filesystem::permissions(out, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const auto locked = plan::ExportPlan(layout, (out / "keep.pdf").string(), {});
    std::filesystem::permissions(out, std::filesystem::perms::owner_all);
    if (::geteuid() != 0) { // root writes anyway
        EXPECT_FALSE(locked.ok());
        EXPECT_EQ(ReadAll(out / "keep.pdf"), "old");
    }
}

TEST_F(PlanExportTest, AnEmptyLayoutGivesOnePageOfGridAndSaysSo)
{
    const auto result = plan::ExportPlan(layout, (out / "empty.pdf").string(), {});
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_TRUE(result->empty);
    EXPECT_EQ(result->tiles, 1);
}

} // namespace
