#include "vehicles/CCar.h"

#include "gfx/Device.h"
#include "input/CInput.h"
#include "layout/CLayoutSurface.h"
#include "math/Numeric.h"
#include "platform/Profile.h"
#include "platform/VirtualKeys.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"
#include "vehicles/VehicleMotion.h"

#include <cmath>

namespace vehicles {

namespace {

namespace vk = platform::vk;
using math::ValueKind;
namespace su = ui::setup;

constexpr float kAcceleration = 0.001f;

} // namespace

CCar::CCar(std::string profileSection) : section_(std::move(profileSection)) {}

void CCar::ScanFolder(ui::DialogModel& setUp, gfx::Device* device)
{
    const std::vector<std::string> names = ScanModelNames(folder_);
    setUp.SetItems(su::kCarModel, names);
    // With an empty box nothing is selected and the loaded model stays.
    if (names.empty()) return;
    setUp.SetSelection(su::kCarModel, 0);
    SelectModel(setUp, 0, device);
}

void CCar::SelectModel(const ui::DialogModel& setUp, int index, gfx::Device* device)
{
    if (index < 0 || index >= setUp.ItemCount(su::kCarModel)) return;
    (void)LoadModel(device, setUp.ItemText(su::kCarModel, index), RemoveVertexColours(setUp));
}

platform::Status CCar::LoadModel(gfx::Device* device, const std::string& name, bool removeVertexColours)
{
    model_.Release();
    if (!device) return platform::Fail("no device to load the car model with");
    model_.Load(*device, folder_, name, removeVertexColours);

    const platform::Profile ini = OpenModelIni(folder_, name);
    scale_ = ReadIniFloat(ini, section_, "拡大率", "1.0", ValueKind::Scale);
    modelAngle_ = ReadIniFloat(ini, section_, "回転角度", "0.0", ValueKind::Angle);
    seat_.x = ReadIniFloat(ini, section_, "運転席x", "0.0", ValueKind::Offset);
    seat_.y = ReadIniFloat(ini, section_, "運転席y", "0.0", ValueKind::Offset);
    seat_.z = ReadIniFloat(ini, section_, "運転席z", "0.0", ValueKind::Offset);
    rearWheel_ = ReadIniFloat(ini, section_, "後輪位置", "0.0", ValueKind::Offset);

    position_ = home_;
    speed_ = 0.0f;
    heading_ = 0.0f;
    base_ = math::Scaling(scale_, scale_, scale_) * math::RotationY(modelAngle_ * math::kDegToRad);
    placed_ = true;
    return platform::Ok{};
}

void CCar::UpdateControls(const input::CInput& input, const ui::DialogModel& setUp)
{
    if (!NoDeceleration(setUp)) speed_ = DecayedSpeed(speed_);
    // The stop comes first, so End or Home with Up leaves one step of speed.
    if (input.KeyDown(vk::kEnd) || input.KeyDown(vk::kHome)) speed_ = 0.0f;

    if (input.KeyDown(vk::kUp))
        speed_ += kAcceleration;
    else if (input.KeyDown(vk::kDown))
        speed_ -= kAcceleration;

    // Reversing swaps the sense of the steering keys, as a real car's does; the car also turns
    // while standing.
    if (input.KeyDown(vk::kLeft))
        heading_ += speed_ >= 0.0f ? -kOneDegree : kOneDegree;
    else if (input.KeyDown(vk::kRight))
        heading_ += speed_ >= 0.0f ? kOneDegree : -kOneDegree;

    position_.x += std::sin(heading_) * speed_;
    position_.z += std::cos(heading_) * speed_;
}

math::Vec3 CCar::ModelOrigin(const ui::DialogModel& setUp) const
{
    return ModelOrigin(setUp.IsChecked(su::kTurnAboutCarOrigin));
}

math::Vec3 CCar::ModelOrigin(bool turnAboutOrigin) const
{
    if (turnAboutOrigin) return position_;
    const math::Vec4 offset = math::Transform({0.0f, 0.0f, rearWheel_}, math::RotationY(heading_));
    return position_ + math::Vec3{offset.x, offset.y, offset.z};
}

void CCar::FollowGround(const ui::DialogModel& setUp, const CarGround& ground)
{
    if (!model_.HasMesh()) return;
    // A parked car keeps its height in running mode; with height detection off it never changes.
    if (!ground.heightDetection || !(ground.editing || speed_ != 0.0f)) return;
    if (!ground.surface) return;
    ground.surface->Refresh();
    // Sampled at the model's origin, given to the reference point.
    const math::Vec3 probe = ModelOrigin(setUp);
    const int below = ground.surface->FindObjectBelow(probe);
    position_.y = ground.surface->HeightAt(below, probe);
}

void CCar::Draw(gfx::Device* device, const ui::DialogModel& setUp, math::Vec3 eye) const
{
    if (!device || !model_.HasMesh()) return;

    // The sphere is turned by the heading only: scale and model angle are left out, as they
    // always were.
    if (Culled(*device, setUp, eye, model_.Sphere(), position_, heading_)) return;

    const math::Matrix heading = math::RotationY(heading_);
    const math::Matrix position = math::Translation(position_.x, position_.y, position_.z);
    // Unless the car turns about its origin, the model is first moved forward by the rear-wheel
    // offset so that it turns about its rear axle, which is the position.
    const math::Matrix world = setUp.IsChecked(su::kTurnAboutCarOrigin)
                                   ? base_ * heading * position
                                   : base_ * math::Translation(0.0f, 0.0f, rearWheel_) * heading * position;
    device->SetTransform(gfx::TransformKind::World, world);
    model_.Draw(*device);
}

std::string CCar::SpeedText() const
{
    return vehicles::SpeedText(speed_);
}

} // namespace vehicles
