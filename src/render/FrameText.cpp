#include "render/FrameText.h"

#include "math/Numeric.h"
#include "render/FrameScene.h"

#include <string>

namespace render {

int BackgroundBlue(int lightPosition)
{
    return math::TruncatedProduct(static_cast<float>(lightPosition), 0.64f, 63.0);
}

gfx::Color BackgroundColor(int lightPosition)
{
    return gfx::ColorFromArgb(0xFF000000u | static_cast<std::uint32_t>(BackgroundBlue(lightPosition) & 0xFF));
}

std::array<std::string, kTextRows> TextLines(const std::string& frameRateText, const FrameScene& scene)
{
    std::array<std::string, kTextRows> lines;
    lines[0] = frameRateText;
    for (int slot = 1; slot <= 6; ++slot) {
        const std::string state = scene.TrainStateText(slot);
        lines[static_cast<std::size_t>(slot)] =
            "電車" + std::to_string(slot) + ":" + scene.TrainSpeedText(slot) + (state.empty() ? "" : " " + state);
    }
    lines[7] = "車:" + scene.CarSpeedText();
    lines[8] = "飛行機:" + scene.PlaneSpeedText();
    lines[9] = "高度:" + scene.PlaneAltitudeText();
    lines[10] = "角度:" + scene.PlaneAngleText();
    lines[11] = "ヘリ:" + scene.HelicopterSpeedText();
    lines[12] = "高度:" + scene.HelicopterAltitudeText();
    return lines;
}

} // namespace render
