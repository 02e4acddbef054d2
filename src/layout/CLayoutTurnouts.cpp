// CLayout: turnout keys: assigning them, switching routes and polling the keyboard.
#include "input/CInput.h"
#include "layout/CLayout.h"
#include "layout/TurnoutKeys.h"
#include "platform/VirtualKeys.h"

#include <climits>

namespace layout {

platform::Status CLayout::AssignKey(int key)
{
    if (!IsValidKey(key)) return platform::Fail("no turnout key " + std::to_string(key));
    const std::vector<bool> selected = SelectionMask();
    std::vector<int> changed;
    for (int i = 0; i < ObjectCount(); ++i) {
        PlacedObject& object = objects_[static_cast<std::size_t>(i)];
        const ObjectType* type = FindType(object.type);
        // Only turnouts take a key; other selected objects keep theirs.
        if (!selected[static_cast<std::size_t>(i)] || !type || !type->IsTurnout()) continue;
        object.key = key;
        changed.push_back(i);
    }
    UpdateRows(changed);
    RefreshKeyMenu();
    return platform::Ok{};
}

void CLayout::SwitchRoutes(int key)
{
    if (key < 0 || key >= kTurnoutKeyCount) return;
    for (PlacedObject& object : objects_) {
        if (object.key != key) continue;
        const ObjectType* type = FindType(object.type);
        const int routeCount = type ? type->routeCount : 0;
        // A route at or beyond the route count (only from a map file) keeps counting up; it
        // stops at the top of the int range instead of overflowing. Drawing and the surface
        // queries check a route before they use it as a subset.
        if (object.route < INT_MAX) ++object.route;
        if (object.route == routeCount) object.route = 0;
    }
}

int CLayout::PollTurnoutKeys(const input::CInput& input)
{
    const bool shift = input.KeyDown(platform::vk::kShift) != 0;
    int switched = 0;
    for (int key = 0; key < kTurnoutKeyCount; ++key) {
        const int vk = kTurnoutKeyCodes[static_cast<std::size_t>(key)];
        if (shift) {
            if (input.KeyDown(vk)) {
                SwitchRoutes(key);
                ++switched;
            }
            // Keep the remembered toggle bit current, so that presses made under Shift do not
            // switch once more after Shift is released.
            (void)turnoutPoller_.Pressed(input, vk);
        } else if (turnoutPoller_.Pressed(input, vk)) {
            SwitchRoutes(key);
            ++switched;
        }
    }
    return switched;
}

} // namespace layout
