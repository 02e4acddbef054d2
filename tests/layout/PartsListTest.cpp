// The parts list on a layout of known pieces: rows per used type in catalogue order, counts and
// track lengths that add up, a turnout's other routes apart, the selection's own columns and
// the CSV a spreadsheet reads.
#include "layout/PartsList.h"

#include "layout/SurfaceTestSupport.h"
#include "layout/TrackShapes.h"

#include <numeric>

namespace {

class PartsListTest : public surfacetest::SurfaceTest {
  protected:
    void SetUp() override
    {
        WriteTrack("a_straight", {tracks::StraightLine(25.0)});
        WriteTrack("b_turnout", {tracks::StraightLine(10.0), tracks::CurveLine(20.0, 30.0)});
        WriteTrack("c_unused", {tracks::StraightLine(5.0)});
        WriteTrack("d_slope", {tracks::StraightLine(10.0, 1.0)});
        WriteSolid("e,house", tracks::BoxText(-2, 2, 0, 3, -2, 2));
        ASSERT_TRUE(Scan().ok());
    }
};

TEST_F(PartsListTest, CountsAndLengthsAddUpPerUsedTypeInCatalogueOrder)
{
    for (int i = 0; i < 3; ++i)
        Place(Type("a_straight"), 0, 0, 25.0f * i);
    Place(Type("e,house"), 30, 0, 0);
    Place(Type("b_turnout"), -10, 0, 0, 90, 3);
    Place(Type("b_turnout"), -20, 0, 0);
    Place(Type("d_slope"), 40, 0, 0);

    const layout::TrackShapes shapes(layout);
    const layout::PartsList list = layout::MakePartsList(layout, shapes);
    ASSERT_EQ(list.rows.size(), 4u); // c_unused is left out
    EXPECT_EQ(list.rows[0].name, "a_straight");
    EXPECT_EQ(list.rows[1].name, "b_turnout");
    EXPECT_EQ(list.rows[2].name, "d_slope");
    EXPECT_EQ(list.rows[3].name, "e,house");
    const int counted = std::accumulate(list.rows.begin(), list.rows.end(), 0,
                                        [](int sum, const layout::PartsListRow& row) { return sum + row.count; });
    EXPECT_EQ(counted, layout.Placed().Count());
    EXPECT_EQ(list.totalCount, layout.Placed().Count());

    EXPECT_EQ(list.rows[0].count, 3);
    EXPECT_NEAR(layout::RouteLength(shapes, Type("a_straight"), 0), 25.0, 1e-3);
    EXPECT_NEAR(list.rows[0].length, 75.0, 1e-3);
    // The turnout: its straight route counts as track, its curve (20 × 30° = 10.47) apart.
    EXPECT_NEAR(list.rows[1].length, 20.0, 1e-3);
    ASSERT_EQ(list.rows[1].otherRoutes.size(), 1u);
    EXPECT_NEAR(list.rows[1].otherRoutes[0], 2 * 20.0 * 30.0 * 3.14159265 / 180.0, 0.01);
    // Along the slope, not its plan: sqrt(10² + 1²).
    EXPECT_NEAR(list.rows[2].length, std::sqrt(101.0), 1e-3);
    EXPECT_EQ(list.rows[3].length, 0.0);
    EXPECT_NEAR(list.totalLength, 75.0 + 20.0 + std::sqrt(101.0), 1e-3);
    EXPECT_FALSE(list.hasSelection);
    EXPECT_EQ(list.selectedCount, 0);
}

TEST_F(PartsListTest, SelectionHasItsOwnColumnsAndTheCsvQuotesNames)
{
    Place(Type("a_straight"), 0, 0, 0);
    Place(Type("a_straight"), 0, 0, 25);
    Place(Type("e,house"), 30, 0, 0);
    layout.Selection().SetSelected(1, true);
    layout.Selection().SetSelected(2, true);

    const layout::PartsList list = layout::MakePartsList(layout);
    ASSERT_TRUE(list.hasSelection);
    EXPECT_EQ(list.rows[0].selectedCount, 1);
    EXPECT_NEAR(list.rows[0].selectedLength, 25.0, 1e-3);
    EXPECT_EQ(list.selectedCount, 2);

    const std::string csv = layout::PartsListCsv(list);
    EXPECT_EQ(csv, "name,count,length,other_routes,selected_count,selected_length\r\n"
                   "a_straight,2,50.000,,1,25.000\r\n"
                   "\"e,house\",1,0.000,,1,0.000\r\n"
                   "合計,3,50.000,,2,25.000\r\n");
    // At 1:100 a unit is 10 mm of model.
    const std::string scaled = layout::PartsListTabText(list, 100);
    EXPECT_NE(scaled.find("length_mm\tselected_length_mm\r\n"), std::string::npos);
    EXPECT_NE(scaled.find("a_straight\t2\t50.000\t\t1\t25.000\t500.0\t250.0\r\n"), std::string::npos);
}

TEST_F(PartsListTest, EmptyLayoutHasOnlyTheHeaderAndTotal)
{
    const layout::PartsList list = layout::MakePartsList(layout);
    EXPECT_TRUE(list.rows.empty());
    EXPECT_EQ(layout::PartsListCsv(list),
              "name,count,length,other_routes,selected_count,selected_length\r\n合計,0,0.000,,0,0.000\r\n");
}

} // namespace
