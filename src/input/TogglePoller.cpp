// Remembers the last toggle bit seen per key.
#include "input/TogglePoller.h"

#include "input/CInput.h"

#include <cstddef>

namespace input {

bool TogglePoller::Pressed(const CInput& input, int vk)
{
    if (vk <= 0 || vk >= static_cast<int>(last_.size())) return false;
    auto& last = last_[static_cast<std::size_t>(vk)];
    const auto current = static_cast<std::int8_t>(input.KeyToggled(vk));
    if (last == kUnrecorded) {
        last = current;
        return false;
    }
    if (current == last) return false;
    last = current;
    return true;
}

void TogglePoller::Reset()
{
    last_ = MakeUnrecorded();
}

} // namespace input
