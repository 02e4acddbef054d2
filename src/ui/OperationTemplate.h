// The "運転管理" window: protection for the whole layout, a row per train slot (autopilot,
// cruising speed, shuttle, itinerary, state), the boxes that set the selected slot, the
// buttons that mark the selected pieces as a stop and add the selected stop to the slot's
// itinerary, and the list of the stops.
#pragma once

#include "ui/DialogTemplate.h"

namespace ui {

namespace operation {

inline constexpr int kDialogId = 161;
inline constexpr int kProtect = 1401;   // check box "衝突防止"
inline constexpr int kSlots = 1402;     // list view: train, autopilot, speed, shuttle, itinerary, state; item data = slot
inline constexpr int kAuto = 1403;      // check box "自動運転" of the selected slot
inline constexpr int kCruise = 1404;    // edit box: cruising speed of the selected slot, km/h
inline constexpr int kShuttle = 1405;   // check box "折り返し" of the selected slot
inline constexpr int kItinerary = 1406; // edit box: the selected slot's itinerary, stop numbers
inline constexpr int kApply = 1407;     // button "設定": the boxes to the selected slot
inline constexpr int kDwell = 1408;     // edit box: dwell of a new stop, seconds
inline constexpr int kMarkStop = 1409;  // button "選択を駅にする"
inline constexpr int kAddStop = 1410;   // button "駅を行路に追加"
inline constexpr int kReport = 1411;    // label: what the last button did, or why it could not
inline constexpr int kStops = 1412;     // list view: stop number, dwell, terminus, pieces; item data = stop number
inline constexpr int kTerminus = 1413;  // check box "終点": the selected stop is a terminus
inline constexpr const char* kTitle = "運転管理";

} // namespace operation

DialogTemplate OperationTemplate();

} // namespace ui
