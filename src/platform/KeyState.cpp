// Key state with toggle bits that flip per press, never per auto-repeat.
#include "platform/KeyState.h"

#include "platform/VirtualKeys.h"

#include <cstddef>

namespace platform {
namespace {

bool Valid(int vk)
{
    return vk > 0 && vk < vk::kCount;
}

// The generic modifier of a side-specific code, and the two sides of a generic one.
struct ModifierSides {
    int generic, left, right;
};
constexpr ModifierSides kModifiers[] = {
    {vk::kShift, vk::kLShift, vk::kRShift},
    {vk::kControl, vk::kLControl, vk::kRControl},
    {vk::kMenu, vk::kLMenu, vk::kRMenu},
};

const ModifierSides* SidesOf(int vk)
{
    for (const auto& m : kModifiers)
        if (vk == m.generic || vk == m.left || vk == m.right) return &m;
    return nullptr;
}

// Keys whose taps are kept for the next pass.
bool HeldForPass(int vk)
{
    return vk != vk::kLButton && vk != vk::kRButton && vk != vk::kMButton && !SidesOf(vk);
}

} // namespace

void KeyState::SetDown(int vk)
{
    auto& b = bits_[static_cast<std::size_t>(vk)];
    if (!(b & kDown)) b ^= kToggled;
    b |= kDown;
}

void KeyState::SetUp(int vk)
{
    bits_[static_cast<std::size_t>(vk)] &= static_cast<std::uint8_t>(~kDown);
}

bool KeyState::Press(int vk)
{
    if (!Valid(vk)) return false;
    auto& b = bits_[static_cast<std::size_t>(vk)];
    bool fresh = !(b & kDown);
    if (b & kReleaseLater) {
        // Up and down again before a pass: the press still flips the toggle bit.
        b = static_cast<std::uint8_t>((b & ~kReleaseLater) ^ kToggled);
        fresh = true;
    }
    SetDown(vk);
    if (holdTaps_ && HeldForPass(vk)) b |= kUnread;
    if (const auto* m = SidesOf(vk); m && vk != m->generic) SetDown(m->generic);
    return fresh;
}

void KeyState::Release(int vk)
{
    if (!Valid(vk)) return;
    if (auto& b = bits_[static_cast<std::size_t>(vk)]; b & kUnread) {
        b |= kReleaseLater;
        return;
    }
    SetUp(vk);
    const auto* m = SidesOf(vk);
    if (!m) return;
    if (vk == m->generic) {
        SetUp(m->left);
        SetUp(m->right);
    } else if (!IsDown(m->left) && !IsDown(m->right)) {
        SetUp(m->generic);
    }
}

void KeyState::ReleaseAll()
{
    for (auto& b : bits_)
        b &= static_cast<std::uint8_t>(~(kDown | kUnread | kReleaseLater));
}

void KeyState::PassRead()
{
    for (auto& b : bits_) {
        if (b & kReleaseLater) b &= static_cast<std::uint8_t>(~kDown);
        b &= static_cast<std::uint8_t>(~(kUnread | kReleaseLater));
    }
}

bool KeyState::IsDown(int vk) const
{
    return Valid(vk) && (bits_[static_cast<std::size_t>(vk)] & kDown);
}

bool KeyState::IsToggled(int vk) const
{
    return Valid(vk) && (bits_[static_cast<std::size_t>(vk)] & kToggled);
}

std::int16_t KeyState::Get(int vk) const
{
    return static_cast<std::int16_t>((IsDown(vk) ? 0x8000 : 0) | (IsToggled(vk) ? 1 : 0));
}

} // namespace platform
