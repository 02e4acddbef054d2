#include "vehicles/FlyerBody.h"

#include "gfx/Device.h"
#include "math/Numeric.h"
#include "platform/Profile.h"
#include "ui/DialogModel.h"
#include "vehicles/VehicleMotion.h"

namespace vehicles {

using math::ValueKind;

FlyerBody::FlyerBody(std::string profileSection, math::Vec3 home)
    : section_(std::move(profileSection)), home_(home)
{
}

bool FlyerBody::ListModels(ui::DialogModel& setUp, int comboId)
{
    model_.Release();
    loaded_ = false;
    const std::vector<std::string> names = ScanModelNames(folder_);
    setUp.SetItems(comboId, names);
    if (names.empty()) return false;
    setUp.SetSelection(comboId, 0);
    return true;
}

const std::string* FlyerBody::ModelName(const ui::DialogModel& setUp, int comboId, int index)
{
    if (index < 0 || index >= setUp.ItemCount(comboId)) return nullptr;
    return &setUp.ItemText(comboId, index);
}

platform::Status FlyerBody::Load(gfx::Device* device, const std::string& name, bool removeVertexColours)
{
    model_.Release();
    loaded_ = false;
    if (!device) return platform::Fail("no device to load the model with");
    model_.Load(*device, folder_, name, removeVertexColours);

    const platform::Profile ini = OpenModelIni(folder_, name);
    scale_ = ReadIniFloat(ini, section_, "拡大率", "1.0", ValueKind::Scale);
    modelAngle_ = ReadIniFloat(ini, section_, "回転角度", "0.0", ValueKind::Angle);
    cockpitY_ = ReadIniFloat(ini, section_, "操縦席y", "0.0", ValueKind::Offset);
    cockpitZ_ = ReadIniFloat(ini, section_, "操縦席z", "0.0", ValueKind::Offset);

    orientation_ = math::Scaling(scale_, scale_, scale_) * math::RotationY(modelAngle_ * math::kDegToRad);
    // A rotation still pending belongs to the attitude the load has just replaced.
    pitch_ = roll_ = yaw_ = math::Quaternion{};
    loaded_ = true;
    return platform::Ok{};
}

void FlyerBody::FoldFrameRotation()
{
    const math::Quaternion identity;
    if (pitch_ == identity && roll_ == identity && yaw_ == identity) return;
    const math::Quaternion q = math::Multiply(math::Multiply(pitch_, roll_), yaw_);
    orientation_ = orientation_ * math::RotationQuaternion(q);
    pitch_ = roll_ = yaw_ = identity;
}

void FlyerBody::Draw(gfx::Device* device, const ui::DialogModel& setUp, math::Vec3 eye, math::Vec3 position,
                     float heading) const
{
    if (!device || !model_.HasMesh()) return;

    if (Culled(*device, setUp, eye, model_.Sphere(), position, heading)) return;

    device->SetTransform(gfx::TransformKind::World,
                         orientation_ * math::Translation(position.x, position.y, position.z));
    model_.Draw(*device);
}

} // namespace vehicles
