#include "render/CLighting.h"

#include "gfx/Device.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"

#include <array>

namespace render {

namespace {

// Light from four sides so that no face of a model is left black.
constexpr std::array<math::Vec3, 4> kDirections = {{
    {1.0f, -1.0f, 1.0f},
    {-1.0f, -1.0f, -1.0f},
    {-1.0f, 1.0f, 1.0f},
    {1.0f, -1.0f, -1.0f},
}};

} // namespace

gfx::Light CLighting::MakeLight(int index, int lightPosition)
{
    gfx::Light light;
    const float level = static_cast<float>(lightPosition) * 0.01f;
    light.diffuse = {level, level, level, level};
    if (index >= 0 && index < static_cast<int>(kDirections.size()))
        light.direction = math::Normalize(kDirections[static_cast<std::size_t>(index)]);
    return light;
}

void CLighting::ApplyLights(gfx::Device* device, const ui::DialogModel& setUp) const
{
    if (!device) return;
    const int position = setUp.Position(ui::setup::kLight);
    for (int i = 0; i < static_cast<int>(kDirections.size()); ++i) {
        device->SetLight(i, MakeLight(i, position));
        device->LightEnable(i, true);
    }
}

} // namespace render
