// The behaviour of the "運転管理" window. It shows and changes the railway's operation through
// the port it is given: protection for the whole layout, per train slot autopilot, cruising
// speed, shuttle and itinerary, each train's state; it marks the selected pieces as a stop and
// adds the selected stop to the selected slot's itinerary, makes it a terminus or not; it lists
// the stops, and choosing one there (or its marker in the view) selects its pieces. Rows are refreshed while the window is
// shown; the boxes show the selected slot and "設定" writes them back.
#pragma once

#include "ui/DialogModel.h"

#include <string>
#include <vector>

namespace app {

// One train slot as the window shows it.
struct OperationSlotView {
    int slot = 1;
    bool hasTrain = false;
    bool autopilot = false;
    int cruiseKmh = 60;
    bool shuttle = false;
    std::vector<int> itinerary; // record indexes of the stops' first pieces, in order
    std::string state;          // "手動", "走行", "停車中 12秒", "待機（電車2）", ...
    bool tooLong = false;       // dwelling at a stop shorter than the train
};

// One stop: a run of marked pieces joined end to end.
struct OperationStopView {
    int number = 0; // the record index of its first piece, as itineraries name it
    int dwellSeconds = 0;
    bool terminus = false;   // shuttles turn back here even where the track goes on
    std::vector<int> pieces; // record indexes, ascending
    bool operator==(const OperationStopView&) const = default;
};

// What the window may read and change; the application implements it over the operation layer,
// each change an undoable edit.
class OperationPort {
  public:
    virtual ~OperationPort() = default;
    virtual bool Protect() const = 0;
    virtual void SetProtect(bool on) = 0;
    virtual OperationSlotView Slot(int slot) const = 0;
    virtual void SetSlot(const OperationSlotView& view) = 0;
    // Marks the selected pieces as a stop with this dwell; false (and why) when nothing fits.
    virtual bool MarkSelectedAsStop(int dwellSeconds, std::string& why) = 0;
    // The stop the selected piece belongs to, as its itinerary number, or -1.
    virtual int SelectedStop() const = 0;
    virtual std::vector<OperationStopView> Stops() const = 0;
    // Selects the pieces of the stop of this number.
    virtual void SelectStop(int number) = 0;
    // Makes the stop that holds this piece a terminus, or not.
    virtual void SetStopTerminus(int piece, bool on) = 0;
};

class COperationWindow {
  public:
    static constexpr int kSlots = 6;

    COperationWindow();

    ui::DialogModel& Dialog() { return dialog_; }
    const ui::DialogModel& Dialog() const { return dialog_; }

    // Fills the window from the port and shows it.
    void Show(const OperationPort& port);
    // The rows and the protection box as the port has them now (each pass while shown); the
    // boxes of the selected slot are left as the user is typing them.
    void Refresh(const OperationPort& port);
    // A button or check box of the window.
    void Click(OperationPort& port, int id);
    // A row of the list chosen: its slot's settings go into the boxes.
    void SelectRow(const OperationPort& port, int row);
    // A row of the stop list chosen: the stop's pieces are selected.
    void SelectStopRow(OperationPort& port, int row);
    // The stop of this number chosen elsewhere (its marker clicked): its row is selected and
    // shown, and its pieces are selected.
    void ChooseStop(OperationPort& port, int number);

    int SelectedSlot() const { return selected_; }

    // "3 12 5" from stop numbers, and back; a word that is no whole number makes it fail.
    static std::string ItineraryText(const std::vector<int>& stops);
    static bool ParseItinerary(const std::string& text, std::vector<int>& stops);

  private:
    void FillBoxes(const OperationSlotView& view);
    void RefreshStops(const OperationPort& port);
    // The "終点" box as the selected stop has it.
    void RefreshTerminus(const OperationPort& port);

    ui::DialogModel dialog_;
    int selected_ = 1;
    std::vector<OperationStopView> stops_; // as the stop list shows them
};

} // namespace app
