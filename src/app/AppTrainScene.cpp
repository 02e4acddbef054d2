#include "app/AppTrainScene.h"

#include "app/AppTrains.h"
#include "app/CSimulatorApp.h"
#include "layout/CLayout.h"

#include <array>

namespace app {

AppTrainScene::AppTrainScene(CSimulatorApp& app, AppTrains& trains, const layout::CLayout& layout)
    : app_(app), trains_(trains), layout_(layout)
{
}

void AppTrainScene::DrawCars(gfx::Device& device, int slot)
{
    trains_.DrawCars(device, slot);
}

void AppTrainScene::DrawKeyLabels(gfx::Device& device, float pointSize)
{
    std::array<render::TrainLabels, render::CSpriteLabels::kTrainSlots> trains{};
    for (int slot = 1; slot <= render::CSpriteLabels::kTrainSlots; ++slot)
        trains[static_cast<std::size_t>(slot - 1)] = trains_.Labels(slot);
    labels_.Draw(device, pointSize, trains, layout_.Placed().All());
}

std::string AppTrainScene::TrainSpeedText(int slot) const
{
    return trains_.SpeedText(slot);
}

void AppTrainScene::LoadKeyLabels(gfx::Device& device, int style)
{
    labels_.Load(device, app_.ExecutableFolder(), style);
}

} // namespace app
