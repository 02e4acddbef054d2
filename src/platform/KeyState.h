// The keyboard and mouse-button state the key tests read, kept the way the Windows key state
// of a thread behaves: a down bit, and a toggle bit that flips on every press.
#pragma once

#include <array>
#include <cstdint>

namespace platform {

// Fed by the front end's key filter (or by scripted presses in headless runs); read by CInput.
class KeyState {
  public:
    // A key went down. The toggle bit flips only on the up→down change, so auto-repeat
    // presses while the key is held leave it alone. Side-specific modifiers (left or right
    // Shift, Ctrl, Alt) also press the generic code. Codes outside 1..255 are ignored. Returns
    // whether this is a new press (not an auto-repeat, nor a code outside the table).
    bool Press(int vk);
    // A key went up. The generic modifier stays down while the other side is still held;
    // releasing the generic code releases both sides.
    void Release(int vk);
    // Every key up, toggle bits kept: the application lost the focus and will not see the
    // releases.
    void ReleaseAll();
    // With hold set (the window's loop, whose passes come on a clock), a key pressed and
    // released again before a pass has read it stays down until PassRead, so a tap between two
    // passes is never lost. Mouse buttons and modifiers are not held back: a click is an
    // event of its own.
    void HoldTapsForPasses(bool hold) { holdTaps_ = hold; }
    void PassRead();

    // GetKeyState-style value: bit 15 (negative) while down, bit 0 the toggle bit.
    std::int16_t Get(int vk) const;
    bool IsDown(int vk) const;
    bool IsToggled(int vk) const;

  private:
    static constexpr std::uint8_t kDown = 0x80;
    static constexpr std::uint8_t kToggled = 0x01;
    static constexpr std::uint8_t kUnread = 0x02;      // pressed since the last pass
    static constexpr std::uint8_t kReleaseLater = 0x04; // released before a pass saw it down

    void SetDown(int vk);
    void SetUp(int vk);

    std::array<std::uint8_t, 256> bits_{};
    bool holdTaps_ = false;
};

} // namespace platform
