// The model of a road car, an aeroplane or a helicopter: one mesh with its materials and
// texture, chosen by name from a vehicle folder, and its bounding sphere for culling. Also the
// folder scan that lists the models and the reading of the model's .ini values, which the three
// vehicles share.
#pragma once

#include "math/ValueLimits.h"
#include "math/Vector.h"
#include "model/MeshBounds.h"
#include "model/MeshModel.h"

#include <string>
#include <string_view>
#include <vector>

namespace gfx {
class Device;
}
namespace platform {
class Profile;
}

namespace vehicles {

// The model name that stands for the built-in teapot instead of a file (exact spelling).
inline constexpr std::string_view kTeapotName = "Teapot";

// Every "*.ini" of the folder (ending in '/') that has an ".x" of the same name beside it, as
// names without the extension, in the order the file search gives them.
std::vector<std::string> ScanModelNames(const std::string& folder);

// The .ini of a model: folder + name + ".ini", also when the file's name differs in letter case.
platform::Profile OpenModelIni(const std::string& folder, const std::string& name);

// One real value of a vehicle .ini, read as the original read it (a 32-character buffer and
// atof). A value that is no finite number gives the default; others are kept within the range
// of their kind.
float ReadIniFloat(const platform::Profile& ini, std::string_view section, std::string_view key,
                   std::string_view defaultText, math::ValueKind kind);

class VehicleModel {
  public:
    // Releases the current model, then loads folder + name + ".x", or builds the teapot for
    // "Teapot" (no materials, no texture). A file that is missing or cannot be read leaves the
    // model empty, silently: such a vehicle is simply not drawn.
    void Load(gfx::Device& device, const std::string& folder, const std::string& name,
              bool removeVertexColours);
    void Release();

    bool HasMesh() const { return model_.mesh != nullptr && !model_.mesh->empty(); }
    const model::CMeshModel& Model() const { return model_; }
    // In model space; zero for an empty model.
    const model::MeshSphere& Sphere() const { return sphere_; }

    // Every subset, no highlight, full opacity, with the world transform already set.
    void Draw(gfx::Device& device) const;

  private:
    model::CMeshModel model_;
    model::MeshSphere sphere_;
};

} // namespace vehicles
