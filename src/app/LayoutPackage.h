// What a layout package holds: the map, every file of the object types it places (meshes,
// guide meshes, .ini files and the textures the meshes name), the background, the six chosen
// trains' files and car models, and the chosen aeroplane, helicopter and road car, each under
// the package folder of the program folder it came from.
#pragma once

#include "app/VehiclesPort.h"
#include "layout/CLayout.h"
#include "layout/MapFileVehicles.h"
#include "package/Package.h"
#include "platform/DialogService.h"

#include <optional>
#include <string>
#include <vector>

namespace app {

inline constexpr std::string_view kPackageExtension = ".korvela.zip";

struct LayoutPackagePlan {
    package::Manifest manifest; // its file list is filled when written
    std::vector<package::PackEntry> entries;
};

// The map goes as its file when the layout is unchanged since it was loaded or saved, else as
// the save would write it.
LayoutPackagePlan PlanLayoutPackage(const layout::CLayout& layout, const layout::MapVehicles& vehicles,
                                    const VehiclesPort& folders);

// Why a map in a package is refused (the map reader's reason), or nothing.
std::optional<std::string> PackedMapProblem(const std::string& mapPath);

class CSimulatorApp;

// The open layout written as a package at path; how many files it holds.
// What the user is told after a package was written or opened.
std::string PackageSavedMessage(const std::string& path, std::size_t files);
std::string PackageOpenedMessage(const std::string& folder);

platform::Result<std::size_t> PackLayout(CSimulatorApp& app, const std::string& path);
// Unpacks a package into a new folder in parentFolder (named folderName, or after the map),
// points the train and vehicle folders at the package's and loads its map (its folder becomes
// the object folder).
platform::Result<package::Unpacked> OpenPackage(CSimulatorApp& app, const std::string& packagePath,
                                                const std::string& parentFolder, const std::string& folderName = {});
// Where opened packages go: "layouts/" in the program's data folder.
std::string LayoutsFolder(const CSimulatorApp& app);

// "パッケージの保存" and "パッケージを開く" with their file choosers and messages.
void SavePackageAsCommanded(CSimulatorApp& app, platform::DialogService& dialogs);
void OpenPackageAsCommanded(CSimulatorApp& app, platform::DialogService& dialogs);

} // namespace app
