#include "render/OperationText.h"

namespace render {

namespace {

std::string WaitText(int waitingFor)
{
    if (waitingFor > 0) return "待機（電車" + std::to_string(waitingFor) + "）";
    if (waitingFor == operation::kWaitsForEnd) return "待機（終端）";
    if (waitingFor == operation::kWaitsForPath) return "待機（進路）";
    return "待機";
}

} // namespace

std::string TrainStateText(const operation::TrainStatus& status, std::span<const int> deadlock)
{
    using operation::TrainStateKind;
    if (status.offTrack) return "線路外";
    switch (status.state) {
    case TrainStateKind::Manual:
        // A hand-driven train held by protection says what holds it.
        return status.waitingFor != operation::kWaitsForNothing ? WaitText(status.waitingFor) : "手動";
    case TrainStateKind::Running:
        return "走行";
    case TrainStateKind::Braking:
        return "減速";
    case TrainStateKind::Dwelling:
        return "停車中（" +
               std::to_string((status.dwellPasses + operation::kPassesPerSecond - 1) / operation::kPassesPerSecond) +
               "秒）";
    case TrainStateKind::Waiting:
        return WaitText(status.waitingFor);
    case TrainStateKind::Deadlock: {
        std::string slots;
        for (const int slot : deadlock)
            slots += (slots.empty() ? "" : ",") + std::to_string(slot);
        return "行き詰まり（" + slots + "）";
    }
    }
    return {};
}

} // namespace render
