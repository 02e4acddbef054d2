#include "app/dialogs/COperationWindow.h"

#include "ui/OperationTemplate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

namespace op = ui::operation;

class FakeOperation : public app::OperationPort {
  public:
    bool Protect() const override { return protect; }
    void SetProtect(bool on) override { protect = on; }
    app::OperationSlotView Slot(int slot) const override { return slots[static_cast<std::size_t>(slot - 1)]; }
    void SetSlot(const app::OperationSlotView& view) override
    {
        slots[static_cast<std::size_t>(view.slot - 1)] = view;
        ++changes;
    }
    bool MarkSelectedAsStop(int dwell, std::string& why) override
    {
        if (dwell == 0) why = "no pieces";
        marked = dwell;
        return dwell != 0;
    }
    int SelectedStop() const override { return selectedStop; }
    std::vector<app::OperationStopView> Stops() const override { return stops; }
    void SelectStop(int number) override { selectedStop = number; }
    void SetStopTerminus(int piece, bool on) override
    {
        for (app::OperationStopView& stop : stops)
            if (std::find(stop.pieces.begin(), stop.pieces.end(), piece) != stop.pieces.end()) stop.terminus = on;
    }

    FakeOperation()
    {
        for (int slot = 1; slot <= 6; ++slot) {
            slots[static_cast<std::size_t>(slot - 1)].slot = slot;
            slots[static_cast<std::size_t>(slot - 1)].hasTrain = slot <= 2;
        }
    }

    bool protect = false;
    std::array<app::OperationSlotView, 6> slots{};
    int changes = 0;
    int marked = -1;
    int selectedStop = -1;
    std::vector<app::OperationStopView> stops;
};

TEST(OperationWindow, ShowsTheSlotsAndWritesTheBoxesToTheSelectedOne)
{
    FakeOperation port;
    port.slots[1].state = "走行";
    app::COperationWindow window;
    window.Show(port);
    ASSERT_TRUE(window.Dialog().IsVisible());
    const ui::ListView& list = window.Dialog().List(op::kSlots);
    ASSERT_EQ(list.RowCount(), 6);
    EXPECT_EQ(list.Cell(1, 5), "走行");
    EXPECT_EQ(list.Cell(2, 5), "（なし）");

    window.SelectRow(port, 1);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1}));
    window.Dialog().SetCheck(op::kAuto, 1);
    window.Dialog().SetText(op::kCruise, " 80 ");
    window.Dialog().SetText(op::kItinerary, "3 12  5");
    window.Click(port, op::kApply);
    EXPECT_TRUE(port.slots[1].autopilot);
    EXPECT_EQ(port.slots[1].cruiseKmh, 80);
    EXPECT_EQ(port.slots[1].itinerary, (std::vector<int>{3, 12, 5}));
    EXPECT_EQ(list.Cell(1, 4), "3 12 5");

    // Refused boxes change nothing and say why.
    for (const char* cruise : {"0", "abc", "1000", ""}) {
        window.Dialog().SetText(op::kCruise, cruise);
        window.Click(port, op::kApply);
        EXPECT_FALSE(window.Dialog().Text(op::kReport).empty()) << cruise;
    }
    window.Dialog().SetText(op::kCruise, "60");
    window.Dialog().SetText(op::kItinerary, "3 x");
    window.Click(port, op::kApply);
    EXPECT_EQ(port.changes, 1);

    // Adding a stop needs a selected stop; then it goes to the end of the itinerary.
    window.Click(port, op::kAddStop);
    EXPECT_EQ(port.changes, 1);
    port.selectedStop = 7;
    window.Click(port, op::kAddStop);
    EXPECT_EQ(port.slots[1].itinerary, (std::vector<int>{3, 12, 5, 7}));

    window.Dialog().SetText(op::kDwell, "0");
    window.Click(port, op::kMarkStop);
    EXPECT_EQ(window.Dialog().Text(op::kReport), "no pieces");
    window.Dialog().SetCheck(op::kProtect, 1);
    window.Click(port, op::kProtect);
    EXPECT_TRUE(port.protect);
}

TEST(OperationWindow, ListsTheStopsChoosesOneFromItsMarkerAndSaysWhenATrainIsTooLong)
{
    FakeOperation port;
    port.stops = {{.number = 6, .dwellSeconds = 20, .pieces = {6, 7, 8}}, {.number = 30, .dwellSeconds = 5, .pieces = {30}}};
    port.slots[0].state = "停車中（12秒）";
    port.slots[0].tooLong = true;
    app::COperationWindow window;
    window.Show(port);
    const ui::ListView& stops = window.Dialog().List(op::kStops);
    ASSERT_EQ(stops.RowCount(), 2);
    EXPECT_EQ(stops.Cell(0, 3), "6 7 8");
    EXPECT_EQ(stops.Cell(1, 1), "5");
    EXPECT_EQ(window.Dialog().List(op::kSlots).Cell(0, 5), "停車中（12秒） 編成が駅より長い");

    // A marker clicked in the view: the stop's row is selected and stays so over a refresh
    // that finds the stops changed; a row clicked selects that stop's pieces.
    window.ChooseStop(port, 30);
    EXPECT_EQ(port.selectedStop, 30);
    EXPECT_EQ(stops.SelectedRows(), (std::vector<int>{1}));
    port.stops[0].dwellSeconds = 10;
    window.Refresh(port);
    EXPECT_EQ(stops.Cell(0, 1), "10");
    EXPECT_EQ(stops.SelectedRows(), (std::vector<int>{1}));
    window.SelectStopRow(port, 0);
    EXPECT_EQ(port.selectedStop, 6);
    window.Click(port, op::kAddStop);
    EXPECT_EQ(port.slots[0].itinerary, (std::vector<int>{6}));

    // "終点" makes the selected stop a terminus and shows what the chosen stop is; with no stop
    // selected it says so and changes nothing.
    window.Dialog().SetCheck(op::kTerminus, 1);
    window.Click(port, op::kTerminus);
    EXPECT_TRUE(port.stops[0].terminus);
    EXPECT_EQ(stops.Cell(0, 2), "○");
    window.ChooseStop(port, 30);
    window.Refresh(port);
    EXPECT_FALSE(window.Dialog().IsChecked(op::kTerminus));
    port.selectedStop = -1;
    window.Dialog().SetCheck(op::kTerminus, 1);
    window.Click(port, op::kTerminus);
    EXPECT_FALSE(window.Dialog().Text(op::kReport).empty());
    EXPECT_FALSE(port.stops[1].terminus);
}

} // namespace
