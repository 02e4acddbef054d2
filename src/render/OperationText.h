// What a train's text line says of its operation after its speed: "走行", "減速",
// "停車中（12秒）", "待機（電車2）", "待機（終端）", "待機（進路）", "行き詰まり（1,2）", "手動".
#pragma once

#include "operation/Operation.h"

#include <span>
#include <string>

namespace render {

// deadlock: the slots in a circular wait.
std::string TrainStateText(const operation::TrainStatus& status, std::span<const int> deadlock);

} // namespace render
