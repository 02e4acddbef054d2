#include "vehicles/VehicleModel.h"

#include "gfx/Device.h"
#include "math/NumberText.h"
#include "math/Numeric.h"
#include "model/Teapot.h"
#include "platform/Paths.h"
#include "platform/Profile.h"

#include <memory>

namespace vehicles {

namespace {

// GetPrivateProfileString's buffer in the original reader: at most 31 characters are used.
constexpr std::size_t kIniBuffer = 32;

// The file at path, or one whose name differs only in letter case; path itself when neither is.
std::string ExistingOr(const std::string& path)
{
    return platform::FindFileNoCase(path).value_or(path);
}

} // namespace

std::vector<std::string> ScanModelNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const std::string& file : platform::FindFiles(folder, "*.ini")) {
        // FindFiles only returns names ending in ".ini", in any letter case.
        std::string name = file.substr(0, file.size() - 4);
        if (platform::FindFileNoCase(folder + name + ".x")) names.push_back(std::move(name));
    }
    return names;
}

platform::Profile OpenModelIni(const std::string& folder, const std::string& name)
{
    return platform::Profile(ExistingOr(folder + name + ".ini"));
}

float ReadIniFloat(const platform::Profile& ini, std::string_view section, std::string_view key,
                   std::string_view defaultText, math::ValueKind kind)
{
    const float value = math::ParseFloat(ini.GetString(section, key, defaultText, kIniBuffer));
    return math::ClampRead(math::FiniteOr(value, math::ParseFloat(defaultText)), kind,
                           ini.Path() + " " + std::string(key));
}

void VehicleModel::Load(gfx::Device& device, const std::string& folder, const std::string& name,
                        bool removeVertexColours)
{
    Release();
    if (name == kTeapotName) {
        model_.mesh = std::make_shared<const model::Mesh>(model::CreateTeapot());
    } else {
        // A model that cannot be loaded stays empty; the vehicle is then not drawn.
        model::MeshLoadOptions options;
        options.removeVertexColours = removeVertexColours;
        (void)model::LoadMesh(&device, folder + name, model_, options);
    }
    // An empty mesh has no sphere to speak of: keep it zero rather than measuring nothing.
    if (HasMesh()) sphere_ = model::ComputeSphere(*model_.mesh);
}

void VehicleModel::Release()
{
    model_.Clear();
    sphere_ = {};
}

void VehicleModel::Draw(gfx::Device& device) const
{
    if (!HasMesh()) return;
    model::DrawMesh(&device, model_, model::kAllSubsets, false, false, 1.0f);
}

} // namespace vehicles
