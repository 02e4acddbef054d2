// CInput: thin, stateless wrappers over the key state, the number helpers and the paths.
#include "input/CInput.h"

#include "math/NumberText.h"
#include "math/Numeric.h"
#include "platform/Paths.h"

#include <utility>

namespace input {

CInput::CInput(const platform::KeyState& keys, std::string executableFolder)
    : keys_(keys), executableFolder_(std::move(executableFolder))
{
}

CInput::CInput(const platform::KeyState& keys) : CInput(keys, platform::ExecutableFolder()) {}

int CInput::KeyDown(int vk) const
{
    return (keys_.Get(vk) & 0x8000) ? 1 : 0;
}

int CInput::KeyToggled(int vk) const
{
    return keys_.Get(vk) & 1;
}

std::uint32_t CInput::KeyPresses(int vk) const
{
    return keys_.Presses(vk);
}

std::string CInput::NumberToText(float value, int decimals)
{
    return math::FormatFixedShown(static_cast<double>(value), decimals);
}

float CInput::NormalizeAngle(float degrees)
{
    return math::NormalizeAngle(degrees);
}

std::string CInput::ToAbsolutePath(std::string_view path) const
{
    return platform::ToAbsolute(platform::FromWindowsPath(path), executableFolder_);
}

std::string CInput::ToAbsoluteFolder(std::string_view path) const
{
    std::string folder = ToAbsolutePath(path);
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string CInput::ToRelativePath(std::string_view absolutePath) const
{
    if (auto relative = platform::ToRelative(absolutePath, executableFolder_)) return *std::move(relative);
    return std::string(absolutePath);
}

} // namespace input
