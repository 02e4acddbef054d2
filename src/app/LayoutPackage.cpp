#include "app/LayoutPackage.h"

#include "app/CSimulatorApp.h"
#include "platform/DialogService.h"
#include "platform/Translation.h"
#include "layout/MapFile.h"
#include "model/ModelTexture.h"
#include "model/XFile.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "vehicles/CTrain.h"
#include "vehicles/TrainFile.h"
#include "vehicles/VehicleModel.h"

#include <set>

namespace app {

namespace {

// Collects the entries, each name once.
class PlanBuilder {
  public:
    explicit PlanBuilder(LayoutPackagePlan& plan) : plan_(plan) {}

    // The file at folder + name (any letter case) as packFolder + its name; false when missing.
    bool AddFile(const std::string& folder, const std::string& name, const std::string& packFolder)
    {
        const std::optional<std::string> path = platform::FindFileNoCase(folder + name);
        if (!path) return false;
        const std::string entry = packFolder + "/" + path->substr(folder.size());
        if (names_.insert(entry).second) plan_.entries.push_back({entry, *path, std::nullopt});
        return true;
    }

    // name.x, name.ini and the texture the mesh names; with the guide, name_r.x too.
    void AddModel(const std::string& folder, const std::string& name, const std::string& packFolder, bool guide)
    {
        if (AddFile(folder, name + ".x", packFolder)) AddTexture(folder, name, packFolder);
        (void)AddFile(folder, name + ".ini", packFolder);
        if (guide) (void)AddFile(folder, name + "_r.x", packFolder);
    }

    void AddBytes(std::string entry, std::string bytes)
    {
        if (names_.insert(entry).second) plan_.entries.push_back({std::move(entry), {}, std::move(bytes)});
    }

  private:
    void AddTexture(const std::string& folder, const std::string& name, const std::string& packFolder)
    {
        const std::string base = platform::FindFileNoCase(folder + name + ".x").value_or(folder + name + ".x");
        const platform::Result<model::LoadedMesh> mesh = model::LoadXFile(base);
        if (!mesh) return;
        const std::optional<std::string> texture =
            model::FindModelTexture(base.substr(0, base.size() - 2), mesh->materials);
        // A texture outside the model's folder cannot travel with it.
        if (!texture || !texture->starts_with(folder)) return;
        (void)AddFile(folder, texture->substr(folder.size()), packFolder);
    }

    LayoutPackagePlan& plan_;
    std::set<std::string> names_;
};

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

} // namespace

LayoutPackagePlan PlanLayoutPackage(const layout::CLayout& layout, const layout::MapVehicles& vehicles,
                                    const VehiclesPort& folders)
{
    LayoutPackagePlan plan;
    PlanBuilder builder(plan);
    const layout::ObjectCatalogue& catalogue = layout.Catalogue();
    const std::string objectFolder = WithSlash(catalogue.ObjectFolder());

    // The map first, beside its objects: a map's folder is its object folder.
    const platform::PathParts map = platform::SplitPath(layout.MapFilePath());
    const std::string mapName = map.name.empty() ? "layout.txt" : map.name + map.extension;
    plan.manifest.map = "objects/" + mapName;
    plan.manifest.program = std::string(CSimulatorApp::kAboutText.substr(0, CSimulatorApp::kAboutText.find('\n')));
    platform::Result<std::string> saved = platform::Fail("");
    if (!layout.History().Changed() && !layout.MapFilePath().empty())
        saved = platform::ReadFileBytes(layout.MapFilePath(), platform::kMaxMapFileBytes);
    builder.AddBytes(plan.manifest.map,
                     saved ? *std::move(saved) : layout::EncodeMapFile(layout::MapFileText(layout, vehicles)));

    std::vector<bool> used(static_cast<std::size_t>(catalogue.TypeCount()), false);
    for (const layout::PlacedObject& object : layout.Placed().All()) {
        if (object.type >= 0 && object.type < catalogue.TypeCount()) used[static_cast<std::size_t>(object.type)] = true;
    }
    for (int type = 0; type < catalogue.TypeCount(); ++type) {
        const layout::ObjectType* record = catalogue.FindType(type);
        if (used[static_cast<std::size_t>(type)] && !record->missing)
            builder.AddModel(objectFolder, record->name, "objects", true);
    }
    if (!catalogue.BackgroundName().empty())
        builder.AddModel(objectFolder, catalogue.BackgroundName(), "objects", false);

    // Slots that share a folder share its package folder.
    std::vector<std::string> trainFolders;
    for (int slot = 1; slot <= layout::kMapTrainSlots; ++slot) {
        const std::string folder = WithSlash(folders.TrainFolder(slot));
        const std::string choice = vehicles.TrainChoice(slot);
        if (folder.empty() || choice.empty() || choice == vehicles::kNoTrain) continue;
        std::size_t at = 0;
        while (at < trainFolders.size() && trainFolders[at] != folder)
            ++at;
        if (at == trainFolders.size()) trainFolders.push_back(folder);
        const std::string packFolder = at == 0 ? "trains" : "trains" + std::to_string(at + 1);
        plan.manifest.folders.emplace_back("train" + std::to_string(slot), packFolder);
        const std::optional<std::string> trainFile = platform::FindFileNoCase(folder + choice + ".txt");
        if (!builder.AddFile(folder, choice + ".txt", packFolder) || !trainFile) continue;
        for (const vehicles::TrainCarEntry& car :
             vehicles::ReadTrainFile(*trainFile, catalogue.ProfileSection()).cars) {
            if (car.modelName != vehicles::kTeapotName) builder.AddModel(folder, car.modelName, packFolder, false);
        }
    }

    constexpr std::pair<Vehicle, layout::MapVehicle> kOthers[] = {{Vehicle::Plane, layout::MapVehicle::Plane},
                                                                  {Vehicle::Helicopter, layout::MapVehicle::Helicopter},
                                                                  {Vehicle::Car, layout::MapVehicle::Car}};
    constexpr const char* kOtherFolders[] = {"plane", "helicopter", "car"};
    for (std::size_t i = 0; i < std::size(kOthers); ++i) {
        const std::string folder = WithSlash(folders.VehicleFolder(kOthers[i].first));
        const std::string choice = vehicles.VehicleChoice(kOthers[i].second);
        if (folder.empty() || choice.empty() || choice == vehicles::kTeapotName) continue;
        plan.manifest.folders.emplace_back(kOtherFolders[i], kOtherFolders[i]);
        builder.AddModel(folder, choice, kOtherFolders[i], false);
    }
    return plan;
}

std::optional<std::string> PackedMapProblem(const std::string& mapPath)
{
    return layout::MapFileProblem(mapPath);
}

platform::Result<std::size_t> PackLayout(CSimulatorApp& app, const std::string& path)
{
    AppLayout& layout = app.OwnLayout();
    const LayoutPackagePlan plan = PlanLayoutPackage(layout.Core(), layout.MapVehicles(), app.Vehicles());
    if (const platform::Status written = package::WritePackage(path, plan.manifest, plan.entries); !written)
        return platform::Fail(written.error());
    return plan.entries.size();
}

platform::Result<package::Unpacked> OpenPackage(CSimulatorApp& app, const std::string& packagePath,
                                                const std::string& parentFolder, const std::string& folderName)
{
    platform::Result<package::Unpacked> unpacked =
        package::UnpackPackage(packagePath, parentFolder, PackedMapProblem, {}, folderName);
    if (!unpacked) return unpacked;
    VehiclesPort& vehicles = app.Vehicles();
    for (const auto& [key, folder] : unpacked->manifest.folders) {
        const std::string path = unpacked->folder + folder + "/";
        if (key.starts_with("train") && key.size() == 6 && key[5] >= '1' && key[5] <= '6') {
            const int slot = key[5] - '0';
            vehicles.SetTrainFolder(slot, path);
            vehicles.ScanTrainFolder(slot);
        }
        constexpr std::pair<std::string_view, Vehicle> kOthers[] = {
            {"plane", Vehicle::Plane}, {"helicopter", Vehicle::Helicopter}, {"car", Vehicle::Car}};
        for (const auto& [name, vehicle] : kOthers) {
            if (key != name) continue;
            vehicles.SetVehicleFolder(vehicle, path);
            vehicles.ScanFolder(vehicle);
        }
    }
    (void)app.LoadMapFile(unpacked->mapPath);
    return unpacked;
}

std::string LayoutsFolder(const CSimulatorApp& app)
{
    return app.ExecutableFolder() + "layouts/";
}

void SavePackageAsCommanded(CSimulatorApp& app, platform::DialogService& dialogs)
{
    const std::string& map = app.OwnLayout().Core().MapFilePath();
    const platform::PathParts parts = platform::SplitPath(map);
    platform::FileRequest request{
        .title = platform::Tr("パッケージの保存"),
        .defaultExtension = std::string(kPackageExtension),
        .initialFile = map.empty() ? std::string() : parts.name + std::string(kPackageExtension),
        .filters = {{platform::Tr("レイアウトのパッケージ (*.korvela.zip)"), {"*.korvela.zip"}}}};
    const std::optional<std::string> path = dialogs.ChooseFileToSave(request);
    if (!path) return;
    const platform::Result<std::size_t> packed = PackLayout(app, *path);
    if (!packed) {
        dialogs.ShowMessage({.text = platform::Tr("パッケージを保存できませんでした。") + "\n" + packed.error(),
                             .caption = platform::Tr("パッケージの保存"),
                             .icon = platform::MessageIcon::Error});
        return;
    }
    dialogs.ShowMessage({.text = PackageSavedMessage(*path, *packed), .caption = platform::Tr("パッケージの保存")});
}

void OpenPackageAsCommanded(CSimulatorApp& app, platform::DialogService& dialogs)
{
    if (!app.ConfirmUnsavedChanges()) return;
    platform::FileRequest request{.title = platform::Tr("パッケージを開く"),
                                  .defaultExtension = std::string(kPackageExtension),
                                  .filters = {{platform::Tr("レイアウトのパッケージ (*.korvela.zip)"), {"*.korvela.zip"}}}};
    request.options.fileMustExist = true;
    const std::optional<std::string> path = dialogs.ChooseFileToOpen(request);
    if (!path) return;
    const platform::Result<package::Unpacked> opened = OpenPackage(app, *path, LayoutsFolder(app));
    if (!opened) {
        dialogs.ShowMessage({.text = opened.error(), .caption = platform::Tr("パッケージを開く"),
                             .icon = platform::MessageIcon::Error});
        return;
    }
    dialogs.ShowMessage({.text = PackageOpenedMessage(opened->folder), .caption = platform::Tr("パッケージを開く")});
}

std::string PackageSavedMessage(const std::string& path, std::size_t files)
{
    return "パッケージを保存しました: " + path + "（" + std::to_string(files) + " 個のファイル）";
}

std::string PackageOpenedMessage(const std::string& folder)
{
    return "パッケージを開きました。オブジェクト、電車、乗り物はこのフォルダから読み込みます: " + folder;
}

} // namespace app
