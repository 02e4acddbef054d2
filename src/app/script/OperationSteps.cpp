// The operation actions of a scripted session: the protection switch, a slot's autopilot,
// cruising speed, shuttle and itinerary, and the stops, set as the operations window sets them.
#include "app/script/HeadlessSession.h"

namespace app::headless {

platform::Status Session::Operate(const Action& action)
{
    operation::OperationSettings settings = app_.Operation().Settings();
    const layout::PlacedObjects& placed = app_.OwnLayout().Core().Placed();
    const auto idOf = [&placed](int index) -> platform::Result<layout::ObjectId> {
        const layout::ObjectId id = placed.IdOf(index);
        if (id == layout::kNoObjectId) return platform::Fail("no placed object " + std::to_string(index));
        return id;
    };
    const std::vector<int>& n = action.numbers;
    operation::SlotSettings* slot =
        action.kind == Kind::Protect || action.kind == Kind::StopMark || action.kind == Kind::StopTerminus
            ? nullptr
            : &settings.slots[static_cast<std::size_t>(n[0] - 1)];
    switch (action.kind) {
    case Kind::Protect:
        settings.protect = n[0] != 0;
        break;
    case Kind::Auto:
        slot->autopilot = n[1] != 0;
        break;
    case Kind::Cruise:
        slot->cruiseKmh = n[1];
        break;
    case Kind::Shuttle:
        slot->shuttle = n[1] != 0;
        break;
    case Kind::StopMark: {
        const auto id = idOf(n[0]);
        if (!id) return platform::Fail(id.error());
        if (n[1] == 0) {
            settings.stops.erase(*id);
            settings.termini.erase(*id);
        } else {
            settings.stops[*id] = n[1];
        }
        break;
    }
    case Kind::StopTerminus: {
        const auto id = idOf(n[0]);
        if (!id) return platform::Fail(id.error());
        if (n[1] == 0)
            settings.termini.erase(*id);
        else if (settings.stops.contains(*id))
            settings.termini.insert(*id);
        else
            return platform::Fail("placed object " + std::to_string(n[0]) + " is no stop");
        break;
    }
    case Kind::Itinerary: {
        slot->itinerary.clear();
        for (std::size_t i = 1; i < n.size(); ++i) {
            const auto id = idOf(n[i]);
            if (!id) return platform::Fail(id.error());
            slot->itinerary.push_back(*id);
        }
        break;
    }
    default:
        return platform::Fail("no operation action");
    }
    app_.ChangeOperation(std::move(settings));
    return platform::Ok{};
}

} // namespace app::headless
