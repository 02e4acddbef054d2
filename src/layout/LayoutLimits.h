// The layout's capacities, the "nothing hit" distance and the texts that report a full table.
#pragma once

#include <string>

namespace layout {

// Object types a catalogue holds, and placed objects a layout holds.
inline constexpr int kMaxObjectTypes = 200;
inline constexpr int kMaxPlacedObjects = 2000;

// Distance that picking answers with when no placed object was hit.
inline constexpr float kNoHitDistance = 100000.0f;

// Which table is full, named by the operation that hit the limit.
enum class LimitKind {
    RegisterTypes, // the catalogue scan: "登録できるオブジェクトは、200…"
    PlaceObjects,  // placing and importing: "配置できるオブジェクトは、2000…"
    UseObjects,    // copying: "使用できるオブジェクトは、2000…"
};

// The message shown when an operation would exceed a limit: the beginning, the limit in
// decimal and the common ending.
std::string LimitMessage(LimitKind kind);

} // namespace layout
