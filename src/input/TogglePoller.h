// Press detection by toggle-bit change, for callers that react once per press while the
// frame loop polls (function keys of the settings dialog, turnout keys).
#pragma once

#include <array>
#include <cstdint>

namespace input {

class CInput;

class TogglePoller {
  public:
    // True when the key was pressed since the last poll of that key. The first poll of a key
    // only records its toggle bit. A key held for many frames is one press; two full presses
    // between polls flip the bit twice and are not seen, as in the original.
    bool Pressed(const CInput& input, int vk);
    // Forgets every recorded bit: the next poll of each key records again.
    void Reset();

  private:
    static constexpr std::int8_t kUnrecorded = -1;
    std::array<std::int8_t, 256> last_ = MakeUnrecorded();

    static constexpr std::array<std::int8_t, 256> MakeUnrecorded()
    {
        std::array<std::int8_t, 256> a{};
        a.fill(kUnrecorded);
        return a;
    }
};

} // namespace input
