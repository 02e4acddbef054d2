// Remembers how many presses of each key were seen.
#include "input/TogglePoller.h"

#include "input/CInput.h"

#include <cstddef>

namespace input {

bool TogglePoller::Pressed(const CInput& input, int vk)
{
    if (vk <= 0 || vk >= static_cast<int>(seen_.size())) return false;
    const auto key = static_cast<std::size_t>(vk);
    const std::uint32_t presses = input.KeyPresses(vk);
    if (!recorded_[key]) {
        Skip(input, vk);
        return false;
    }
    if (seen_[key] == presses) return false;
    ++seen_[key];
    return true;
}

void TogglePoller::Skip(const CInput& input, int vk)
{
    if (vk <= 0 || vk >= static_cast<int>(seen_.size())) return;
    const auto key = static_cast<std::size_t>(vk);
    seen_[key] = input.KeyPresses(vk);
    recorded_[key] = true;
}

void TogglePoller::Reset()
{
    recorded_.fill(false);
}

} // namespace input
