// CTrain: loading and forming a train, its home pose, its read-outs and the speed rule.
#include "vehicles/CTrain.h"

#include "input/CInput.h"
#include "input/DriveTypeKeys.h"
#include "math/Matrix.h"
#include "math/NumberText.h"
#include "math/Numeric.h"
#include "model/Teapot.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <memory>

namespace vehicles {

namespace {

constexpr std::string_view kTeapot = "Teapot";

// A file of the train folder under its exact name, else under the same name in another case.
std::string InFolder(const std::string& path)
{
    return platform::FindFileNoCase(path).value_or(path);
}

std::string Fixed3(float value)
{
    return math::FormatFixedShown(value, 3);
}

} // namespace

CTrain::CTrain(int slot, std::string profileSection) : slot_(slot), profileSection_(std::move(profileSection))
{
}

void CTrain::SetFolder(std::string folder)
{
    if (!folder.empty() && folder.back() != '/') folder += '/';
    folder_ = std::move(folder);
}

std::vector<std::string> CTrain::TrainNames() const
{
    std::vector<std::string> names;
    // No folder chosen yet: never search the working directory instead.
    if (folder_.empty()) return names;
    for (std::string file : platform::FindFiles(folder_, "*.txt")) {
        file.resize(file.size() >= 4 ? file.size() - 4 : 0);
        names.push_back(std::move(file));
    }
    return names;
}

void CTrain::ReleaseCars()
{
    for (TrainCar& car : cars_)
        car = TrainCar{};
    lastCar_ = -1;
    name_.clear();
}

platform::Status CTrain::LoadTrain(gfx::Device* device, std::string_view name, bool removeVertexColours)
{
    ReleaseCars();
    if (!device) return platform::Fail("no graphics device to load the train " + std::string(name) + " with");

    const TrainFileValues file =
        ReadTrainFile(InFolder(folder_ + std::string(name) + ".txt"), profileSection_);
    verticalOffset_ = file.verticalOffset;
    carGap_ = file.carGap;
    lastCar_ = -1;

    model::MeshLoadOptions options;
    options.removeVertexColours = removeVertexColours;
    for (std::size_t n = 0; n < file.cars.size(); ++n) {
        const TrainCarEntry& entry = file.cars[n];
        TrainCar car;
        if (entry.modelName == kTeapot) {
            car.model.mesh = std::make_shared<const model::Mesh>(model::CreateTeapot());
        } else if (const platform::Status loaded =
                       model::LoadMesh(device, folder_ + entry.modelName, car.model, options);
                   !loaded || !car.model.mesh || car.model.mesh->empty()) {
            // Every later step expects a model; the train ends before this car.
            std::cerr << "korvela: train " << name << ": car " << n + 1 << " (" << entry.modelName
                      << ") has no loadable model, so the train ends before it"
                      << (loaded ? std::string() : ": " + loaded.error()) << "\n";
            break;
        }
        car.modelAngle = entry.modelAngle;

        const CarModelValues values =
            ReadCarModelIni(InFolder(folder_ + entry.modelName + ".ini"), profileSection_);
        if (n == 0) {
            seatY_ = values.seatY - verticalOffset_;
            seatZ_ = values.seatZ;
        }
        // Every car probes at the lead car's distances.
        car.frontProbe = n == 0 ? values.frontProbe : cars_[0].frontProbe;
        car.rearProbe = n == 0 ? values.rearProbe : cars_[0].rearProbe;
        car.sphere = model::ComputeSphere(*car.model.mesh);
        car.bounds = model::ComputeBox(*car.model.mesh, car.modelAngle);
        cars_[n] = std::move(car);
        ++lastCar_;
    }

    for (TrainCar& car : std::span<TrainCar>(cars_).first(CarCount())) {
        car.position = {};
        car.pitch = 0.0f;
        car.yaw = 0.0f;
    }
    speed_ = 0.0f;
    name_ = std::string(name);
    FormTrain(true);
    return platform::Ok{};
}

void CTrain::FormTrain(bool atHome)
{
    if (Empty()) return;
    const math::Vec3 leadPlace = cars_[0].position;
    for (TrainCar& car : std::span<TrainCar>(cars_).first(CarCount()))
        car.position = {};
    for (int i = 1; i <= lastCar_; ++i) {
        const model::MeshBox& before = cars_[static_cast<std::size_t>(i - 1)].bounds;
        const model::MeshBox& own = cars_[static_cast<std::size_t>(i)].bounds;
        cars_[static_cast<std::size_t>(i)].position.z = cars_[static_cast<std::size_t>(i - 1)].position.z -
                                                        (before.maxZ - before.minZ) * 0.5f - carGap_ -
                                                        (own.maxZ - own.minZ) * 0.5f;
    }
    const float heading = atHome ? homeYaw_ : cars_[0].yaw;
    const math::Vec3 offset = atHome ? homePosition_ : leadPlace;
    const math::Matrix turn = math::RotationY(heading);
    for (TrainCar& car : std::span<TrainCar>(cars_).first(CarCount())) {
        car.position = math::TransformCoord(car.position, turn) + offset;
        car.yaw = heading;
    }
}

void CTrain::SetHome(math::Vec3 position, float yaw)
{
    homePosition_ = {math::FiniteOr(position.x, 0.0f), math::FiniteOr(position.y, 0.0f),
                     math::FiniteOr(position.z, 0.0f)};
    homeYaw_ = math::FiniteOr(yaw, 0.0f);
}

void CTrain::StoreHome()
{
    // An empty slot has no lead car to take the pose from; its home stays.
    if (Empty()) return;
    homePosition_ = cars_[0].position;
    homeYaw_ = cars_[0].yaw;
}

math::Vec3 CTrain::CarPoint(int car, LeadPointKind kind) const
{
    const TrainCar& lead = cars_[static_cast<std::size_t>(std::clamp(car, 0, std::max(lastCar_, 0)))];
    float z = 0.0f;
    if (kind == LeadPointKind::Rear) z = lead.bounds.minZ;
    if (kind == LeadPointKind::Front) z = lead.bounds.maxZ;
    const math::Matrix turn = math::RotationX(-lead.pitch) * math::RotationY(lead.yaw);
    math::Vec3 point = math::TransformCoord({0.0f, lead.bounds.maxY, z}, turn) + lead.position;
    point.y -= verticalOffset_;
    return point;
}

std::string CTrain::SpeedText() const
{
    return std::to_string(math::SpeedToKmh(LastCarLeads() ? -speed_ : speed_)) + "km/h";
}

std::optional<std::string> CTrain::CarStatus() const
{
    if (!HasSelectedCar()) return std::nullopt;
    const TrainCar& car = cars_[static_cast<std::size_t>(selectedCar_)];
    const float degrees = math::NormalizeAngle(car.yaw * static_cast<float>(math::kRadToDeg));
    return "電車=" + std::to_string(slot_) + "  No=" + std::to_string(selectedCar_) +
           "  x=" + Fixed3(car.position.x) + "  y=" + Fixed3(car.position.y) +
           "  z=" + Fixed3(car.position.z) + "  r=" + Fixed3(degrees);
}

void CTrain::DriveStep(const input::CInput& input, const DriveControls& controls)
{
    // A drive type outside the table gives no keys: none of them acts.
    const input::DriveKeys keys = input::DriveTypeKeys::Keys(controls.driveType);
    const bool any = keys.stop != 0;
    if (autoSpeed_ && any &&
        (input.KeyDown(keys.stop) || input.KeyDown(keys.accelerate) || input.KeyDown(keys.decelerate))) {
        autoSpeed_.reset();
        lastCarLeads_ = false;
        tookOver_ = true;
    }
    // Exactly one rule applies, in this order; the arithmetic is the original's, in double.
    if (autoSpeed_) {
        const float target = *autoSpeed_;
        if (speed_ < target)
            speed_ = static_cast<float>(std::min<double>(speed_ + kAcceleration, target));
        else if (speed_ > target)
            speed_ = static_cast<float>(std::max<double>(speed_ - kAcceleration, target));
    } else if (any && input.KeyDown(keys.stop)) {
        speed_ = 0.0f;
    } else if (any && input.KeyDown(keys.accelerate)) {
        speed_ = static_cast<float>(speed_ + kAcceleration);
    } else if (any && input.KeyDown(keys.decelerate)) {
        speed_ = static_cast<float>(speed_ - kAcceleration);
    } else if (!controls.noDeceleration) {
        if (speed_ > 0.0f) speed_ = static_cast<float>(speed_ - kSlowDown);
        if (speed_ < 0.0f) speed_ = static_cast<float>(speed_ + kSlowDown);
        if (-kSlowDown <= speed_ && speed_ <= kSlowDown) speed_ = 0.0f;
    }

    // The limits hold whatever the keys did.
    if (speed_ > limitForward_) speed_ = limitForward_;
    if (speed_ < -limitBackward_) speed_ = -limitBackward_;

    // Only the horizontal position moves; the height comes from the track.
    for (TrainCar& car : std::span<TrainCar>(cars_).first(CarCount())) {
        const float level = speed_ * std::cos(car.pitch);
        car.position.x += level * std::sin(car.yaw);
        car.position.z += level * std::cos(car.yaw);
    }
}

} // namespace vehicles
