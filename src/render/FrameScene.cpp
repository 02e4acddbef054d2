#include "render/FrameScene.h"

namespace render {

void FrameScene::DrawBackground(gfx::Device&) {}
void FrameScene::DrawCars(gfx::Device&, int) {}
void FrameScene::DrawPlacedObjects(gfx::Device&, int) {}
void FrameScene::DrawPlane(gfx::Device&) {}
void FrameScene::DrawHelicopter(gfx::Device&) {}
void FrameScene::DrawRoadCar(gfx::Device&) {}
void FrameScene::DrawLineOverlay(gfx::Device&) {}
bool FrameScene::HasCheckMarkers() const
{
    return false;
}
void FrameScene::DrawCheckMarkers(gfx::Device&) {}
void FrameScene::DrawKeyLabels(gfx::Device&, float) {}

// A vehicle standing still at height 0, facing +z.
std::string FrameScene::TrainSpeedText(int) const
{
    return "0km/h";
}

std::string FrameScene::TrainStateText(int) const
{
    return {};
}

std::string FrameScene::CarSpeedText() const
{
    return "0km/h";
}

std::string FrameScene::PlaneSpeedText() const
{
    return "0km/h";
}

std::string FrameScene::PlaneAltitudeText() const
{
    return "0m";
}

std::string FrameScene::PlaneAngleText() const
{
    return "0'";
}

std::string FrameScene::HelicopterSpeedText() const
{
    return "0km/h";
}

std::string FrameScene::HelicopterAltitudeText() const
{
    return "0m";
}

std::optional<PreviewSubject> FrameScene::PreviewType() const
{
    return std::nullopt;
}

void FrameScene::DrawPreview(gfx::Device&) {}

} // namespace render
