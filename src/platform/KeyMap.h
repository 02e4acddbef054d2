// Physical keys to virtual-key codes. Keys are taken by position (Linux evdev codes, the X11
// key code minus 8), never by the character they type, and given the codes of a Japanese
// keyboard, so the train columns and turnout keys sit where they always were on any layout.
#pragma once

#include <cstdint>
#include <span>

namespace platform {

class KeyMap {
  public:
    struct Entry {
        std::uint16_t evdev; // Linux input event code of the key
        std::uint8_t vk;     // virtual-key code it gives
    };

    // Code for an evdev key code; 0 when the key has no code in the program.
    static int FromEvdev(int code);
    // Code for an X11 key code (evdev code + 8), as GTK reports it with a key event.
    static int FromX11Keycode(int keycode);

    // Every mapped key, ordered by evdev code.
    static std::span<const Entry> Entries();
};

} // namespace platform
