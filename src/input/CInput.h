// Key tests, the two small numeric operations and the settings-path conversions that every
// subsystem uses. Holds no key state of its own: it reads the application's KeyState.
#pragma once

#include "platform/KeyState.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace input {

class CInput {
  public:
    // keys is owned by the application and outlives this object. Settings paths are relative
    // to executableFolder (a folder ending in '/').
    CInput(const platform::KeyState& keys, std::string executableFolder);
    explicit CInput(const platform::KeyState& keys);

    // 1 while the key or mouse button is down, else 0.
    int KeyDown(int vk) const;
    // The key's toggle bit, 0 or 1; it changes on every press (see TogglePoller).
    int KeyToggled(int vk) const;
    // How many times the key went down since the program started (wrapping); see TogglePoller.
    std::uint32_t KeyPresses(int vk) const;

    // Fixed point with `decimals` places, the one format of lists, status texts and map files.
    static std::string NumberToText(float value, int decimals);
    // The angle in degrees brought into [0, 360).
    static float NormalizeAngle(float degrees);

    // A path read from the settings file made absolute against the executable folder. An
    // absolute path stays as it is; '\' from a file written on Windows counts as '/'.
    std::string ToAbsolutePath(std::string_view path) const;
    // As ToAbsolutePath, for a folder: the result always ends in '/'.
    std::string ToAbsoluteFolder(std::string_view path) const;
    // The path to store in the settings file: relative to the executable folder ("./Train/"),
    // or the absolute path itself when the two share no common part.
    std::string ToRelativePath(std::string_view absolutePath) const;

    const std::string& ExecutableFolder() const { return executableFolder_; }

  private:
    const platform::KeyState& keys_;
    std::string executableFolder_;
};

} // namespace input
