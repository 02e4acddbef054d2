// The vehicles' share of a map data file: the six trains' home poses, the start positions of
// the aeroplane, the helicopter and the road car, and the trains and models chosen in the
// settings dialog. The layout reads and writes them through this interface; the vehicles
// implement it. StoredMapVehicles only keeps what it is given, so that a map loaded without
// vehicles saves back unchanged.
#pragma once

#include "math/Vector.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace layout {

// Train slots are numbered 1 to kMapTrainSlots.
inline constexpr int kMapTrainSlots = 6;

// The vehicles other than trains, in the order the map file lists them.
enum class MapVehicle { Plane, Helicopter, Car };
inline constexpr std::array<MapVehicle, 3> kMapVehicles = {MapVehicle::Plane, MapVehicle::Helicopter,
                                                           MapVehicle::Car};

// Where a train stands when it is formed at home; yaw in radians.
struct TrainHomePose {
    float x = 0, y = 0, z = 0;
    float yaw = 0;
    friend bool operator==(const TrainHomePose&, const TrainHomePose&) = default;
};

// The home pose a slot has before any map sets it: side by side along x, facing +z.
TrainHomePose DefaultTrainHome(int slot);

class MapVehicles {
  public:
    virtual ~MapVehicles() = default;

    virtual TrainHomePose TrainHome(int slot) const = 0;
    virtual void SetTrainHome(int slot, const TrainHomePose& pose) = 0;
    virtual math::Vec3 StartPosition(MapVehicle vehicle) const = 0;
    virtual void SetStartPosition(MapVehicle vehicle, math::Vec3 position) = 0;

    // The text shown in a slot's train box or a vehicle's model box ("電車なし" for no train).
    virtual std::string TrainChoice(int slot) const = 0;
    virtual std::string VehicleChoice(MapVehicle vehicle) const = 0;
    // Selects the box entry equal to text, ignoring letter case; without one the box keeps its
    // selection. Nothing is loaded yet.
    virtual void SelectTrainChoice(int slot, std::string_view text) = 0;
    virtual void SelectVehicleChoice(MapVehicle vehicle, std::string_view text) = 0;
    // Loads the trains and vehicles the boxes now name (after a whole map has been read).
    virtual void ApplyVehicleSelections() = 0;

    // The lines of the section ":Operation Data"; none: the map has no such section. A load
    // hands every map's lines over after its objects, none when it has no section.
    virtual std::vector<std::string> OperationLines() const { return {}; }
    virtual void SetOperationLines(const std::vector<std::string>& lines) { (void)lines; }
};

// Passes every call through to the object it wraps, which must outlive it. Wrappers that look
// after part of a map derive from this and override only their part.
class ForwardingMapVehicles : public MapVehicles {
  public:
    explicit ForwardingMapVehicles(MapVehicles& wrapped) : wrapped_(wrapped) {}

    TrainHomePose TrainHome(int slot) const override { return wrapped_.TrainHome(slot); }
    void SetTrainHome(int slot, const TrainHomePose& pose) override { wrapped_.SetTrainHome(slot, pose); }
    math::Vec3 StartPosition(MapVehicle vehicle) const override { return wrapped_.StartPosition(vehicle); }
    void SetStartPosition(MapVehicle vehicle, math::Vec3 position) override
    {
        wrapped_.SetStartPosition(vehicle, position);
    }
    std::string TrainChoice(int slot) const override { return wrapped_.TrainChoice(slot); }
    std::string VehicleChoice(MapVehicle vehicle) const override { return wrapped_.VehicleChoice(vehicle); }
    void SelectTrainChoice(int slot, std::string_view text) override
    {
        wrapped_.SelectTrainChoice(slot, text);
    }
    void SelectVehicleChoice(MapVehicle vehicle, std::string_view text) override
    {
        wrapped_.SelectVehicleChoice(vehicle, text);
    }
    void ApplyVehicleSelections() override { wrapped_.ApplyVehicleSelections(); }
    std::vector<std::string> OperationLines() const override { return wrapped_.OperationLines(); }
    void SetOperationLines(const std::vector<std::string>& lines) override { wrapped_.SetOperationLines(lines); }

  private:
    MapVehicles& wrapped_;
};

// Keeps poses and choices as given; slots not given keep their start-up values.
class StoredMapVehicles final : public MapVehicles {
  public:
    StoredMapVehicles();

    TrainHomePose TrainHome(int slot) const override;
    void SetTrainHome(int slot, const TrainHomePose& pose) override;
    math::Vec3 StartPosition(MapVehicle vehicle) const override;
    void SetStartPosition(MapVehicle vehicle, math::Vec3 position) override;
    std::string TrainChoice(int slot) const override;
    std::string VehicleChoice(MapVehicle vehicle) const override;
    void SelectTrainChoice(int slot, std::string_view text) override;
    void SelectVehicleChoice(MapVehicle vehicle, std::string_view text) override;
    void ApplyVehicleSelections() override { ++applied_; }
    std::vector<std::string> OperationLines() const override { return operation_; }
    void SetOperationLines(const std::vector<std::string>& lines) override { operation_ = lines; }

    // How often the selections were applied.
    int AppliedCount() const { return applied_; }

  private:
    static bool ValidSlot(int slot) { return slot >= 1 && slot <= kMapTrainSlots; }

    std::array<TrainHomePose, kMapTrainSlots> homes_{};
    std::array<math::Vec3, kMapVehicles.size()> starts_{};
    std::array<std::string, kMapTrainSlots> trainChoices_;
    std::array<std::string, kMapVehicles.size()> vehicleChoices_;
    int applied_ = 0;
    std::vector<std::string> operation_;
};

} // namespace layout
