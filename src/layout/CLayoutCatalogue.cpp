// CLayout: the object catalogue from the object folder, the background, and clearing the layout.
#include "layout/CLayout.h"
#include "layout/ObjectIni.h"
#include "model/MeshBounds.h"
#include "platform/DialogService.h"
#include "platform/Paths.h"
#include "platform/Utf8.h"
#include "ui/DialogModel.h"
#include "ui/ObjectSelectTemplate.h"


namespace layout {

namespace {

// A map data file stores type names one per line, and an empty line or a line starting with
// ':' ends that list. A name that would break the list, or that is no valid text, could never
// be read back, so such files are not listed.
bool IsStorableName(std::string_view name)
{
    if (name.empty() || name.front() == ':' || !platform::IsValidUtf8(name)) return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return false;
    }
    return true;
}

model::MeshLoadOptions LoadOptions(const CatalogueOptions& options, bool withMaterials)
{
    model::MeshLoadOptions load;
    load.materials = withMaterials;
    load.texture = withMaterials;
    load.removeVertexColours = options.removeVertexColours;
    return load;
}

} // namespace

void CLayout::ScanObjectFolder(gfx::Device* device, const CatalogueOptions& options)
{
    // The placed objects name types of the old list; they go before the list changes.
    ClearLayout();
    types_.clear();

    // The catalogue keeps the order of the folder search (by name, ignoring letter case), so a
    // map's type indices mean the same types on every run.
    std::vector<std::string> stems;
    for (const std::string& file : platform::FindFiles(objectFolder_, "*.ini"))
        stems.push_back(file.substr(0, file.size() - 4));

    std::vector<std::string> names;
    for (const std::string& name : stems) {
        if (static_cast<int>(names.size()) >= kMaxObjectTypes) {
            ShowMessage(LimitMessage(LimitKind::RegisterTypes));
            break;
        }
        if (!IsStorableName(name)) continue;
        if (!platform::FindFileNoCase(objectFolder_ + name + ".x")) continue;
        names.push_back(name);
    }

    types_.resize(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        types_[i].name = names[i];
    dialog_->SetItems(ui::objsel::kCatalogue, std::move(names));
    dialog_->SetSelection(ui::objsel::kCatalogue, types_.empty() ? -1 : 0);

    // Loading the types clears the layout and loads the background itself; without a device
    // neither would load anything.
    LoadObjectTypes(device, options);
}

bool CLayout::LoadObjectTypes(gfx::Device* device, const CatalogueOptions& options)
{
    ClearLayout();
    if (!device) return false;
    LoadBackground(device, options);
    for (int i = 0; i < TypeCount(); ++i) {
        LoadTypeRecord(device, i, options);
        lastTypeIndex_ = i;
    }
    return true;
}

void CLayout::LoadTypeRecord(gfx::Device* device, int index, const CatalogueOptions& options)
{
    ObjectType& type = types_[static_cast<std::size_t>(index)];
    const std::string base = objectFolder_ + type.name;

    // A mesh that cannot be loaded (the file vanished or is broken) leaves an empty model: the
    // entry keeps its place in the catalogue, measures as zero and draws nothing.
    (void)model::LoadMesh(device, base, type.visible, LoadOptions(options, true));
    (void)model::LoadMesh(device, base + "_r", type.guide, LoadOptions(options, false));

    if (type.visible.mesh) {
        type.sphere = model::ComputeSphere(*type.visible.mesh);
        type.bounds = model::ComputeBox(*type.visible.mesh);
    }
    if (type.guide.mesh) type.guideBounds = model::ComputeBox(*type.guide.mesh);

    const std::string iniPath = platform::FindFileNoCase(base + ".ini").value_or(base + ".ini");
    const ObjectIniValues ini = ReadObjectIni(iniPath, profileSection_);
    type.transparent = ini.transparent;
    type.routeCount = ini.routeCount;
    type.snaps = ini.snaps;
    type.loaded = true;
}

void CLayout::LoadBackground(gfx::Device* device, const CatalogueOptions& options)
{
    if (!device) return;
    background_.Clear();
    (void)model::LoadMesh(device, objectFolder_ + backgroundName_, background_, LoadOptions(options, true));
}

void CLayout::ChooseBackground(gfx::Device* device, const CatalogueOptions& options)
{
    platform::FileRequest request;
    request.title = "背景データの読込み（フォルダの変更禁止）";
    request.defaultExtension = ".x";
    request.initialFile = objectFolder_ + backgroundName_ + ".x";
    request.filters = platform::ParseFileFilter("*.x|*.x|*.*|*.*||");
    request.options.hideReadOnly = true;
    request.options.keepCurrentFolder = true;
    request.options.fileMustExist = true;
    const std::optional<std::string> chosen = dialogs_.ChooseFileToOpen(request);
    if (!chosen) return;
    // Only the name counts: the background always comes from the object folder.
    backgroundName_ = platform::SplitPath(*chosen).name;
    LoadBackground(device, options);
}

void CLayout::ResetTypes()
{
    for (ObjectType& type : types_) {
        std::string name = std::move(type.name);
        type = ObjectType{};
        type.name = std::move(name);
    }
}

void CLayout::ClearLayout()
{
    ResetTypes();
    lastTypeIndex_ = -1;
    background_.Clear();
    relatives_.clear();
    // Also empties the list and the selection, so that nothing points at a record that is gone.
    ClearPlacedObjects();
}

} // namespace layout
