// Press detection for callers that react once per press while the frame loop polls (function keys
// of the settings dialog, turnout keys). Presses are counted, as each one flips the key's toggle
// bit, rather than the bit sampled: an even number of presses between polls would leave it as it
// was.
#pragma once

#include <array>
#include <cstdint>

namespace input {

class CInput;

class TogglePoller {
  public:
    // True when the key was pressed since the last poll of that key. Every press counts once,
    // however short: a press and release between two polls is one press, and two of them make
    // this true on two polls in a row. The first poll of a key only records where it stands. A
    // key held for many frames, auto-repeating, is one press.
    bool Pressed(const CInput& input, int vk);
    // Takes every press of the key made so far as seen, without reporting it.
    void Skip(const CInput& input, int vk);
    // Forgets every recorded key: the next poll of each key records again.
    void Reset();

  private:
    std::array<std::uint32_t, 256> seen_{};
    std::array<bool, 256> recorded_{};
};

} // namespace input
