#include "layout/ObjectCatalogue.h"

#include "layout/LayoutLimits.h"
#include "layout/ObjectIni.h"
#include "model/MeshBounds.h"
#include "platform/Paths.h"
#include "platform/Utf8.h"

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

void ObjectCatalogue::SetObjectFolder(std::string folder)
{
    if (!folder.empty() && folder.back() != '/') folder += '/';
    objectFolder_ = std::move(folder);
}

platform::Status ObjectCatalogue::ScanNames()
{
    ReleaseModels();
    types_.clear();

    // The catalogue keeps the order of the folder search (by name, ignoring letter case), so a
    // map's type indices mean the same types on every run.
    std::vector<std::string> stems;
    for (const std::string& file : platform::FindFiles(objectFolder_, "*.ini"))
        stems.push_back(file.substr(0, file.size() - 4));

    platform::Status status = platform::Ok{};
    for (const std::string& name : stems) {
        if (TypeCount() >= kMaxObjectTypes) {
            status = platform::Fail(LimitMessage(LimitKind::RegisterTypes));
            break;
        }
        if (!IsStorableName(name)) continue;
        if (!platform::FindFileNoCase(objectFolder_ + name + ".x")) continue;
        types_.emplace_back().name = name;
    }
    return status;
}

bool ObjectCatalogue::LoadTypes(gfx::Device* device, const CatalogueOptions& options)
{
    ReleaseModels();
    if (!device) return false;
    LoadBackground(device, options);
    for (int i = 0; i < TypeCount(); ++i) {
        if (!types_[static_cast<std::size_t>(i)].missing) LoadTypeRecord(device, i, options);
        lastTypeIndex_ = i;
    }
    return true;
}

namespace {

// A placeholder is a flat 2 × 2 frame on the object's plane.
constexpr float kPlaceholderHalf = 1.0f;

void MarkMissing(ObjectType& type)
{
    type.missing = true;
    type.bounds = {-kPlaceholderHalf, kPlaceholderHalf, 0, 0, -kPlaceholderHalf, kPlaceholderHalf};
    type.sphere = {{0, 0, 0}, kPlaceholderHalf * 1.4142136f};
}

} // namespace

int ObjectCatalogue::AddMissingType(std::string name)
{
    if (TypeCount() >= kMaxObjectTypes) return -1;
    ObjectType& type = types_.emplace_back();
    type.name = std::move(name);
    MarkMissing(type);
    return TypeCount() - 1;
}

int ObjectCatalogue::LoadMissingTypes(gfx::Device* device, const CatalogueOptions& options)
{
    int came = 0;
    for (int i = 0; i < TypeCount(); ++i) {
        ObjectType& type = types_[static_cast<std::size_t>(i)];
        if (!type.missing || !platform::FindFileNoCase(objectFolder_ + type.name + ".ini") ||
            !platform::FindFileNoCase(objectFolder_ + type.name + ".x"))
            continue;
        std::string name = std::move(type.name);
        type = ObjectType{};
        type.name = std::move(name);
        if (device) LoadTypeRecord(device, i, options);
        ++came;
    }
    return came;
}

bool ObjectCatalogue::HasMissingTypes() const
{
    for (const ObjectType& type : types_) {
        if (type.missing) return true;
    }
    return false;
}

std::vector<std::string> ObjectCatalogue::ListNames() const
{
    std::vector<std::string> names = TypeNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (types_[i].missing) names[i] += kMissingSuffix;
    }
    return names;
}

void ObjectCatalogue::LoadTypeRecord(gfx::Device* device, int index, const CatalogueOptions& options)
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

void ObjectCatalogue::LoadBackground(gfx::Device* device, const CatalogueOptions& options)
{
    if (!device) return;
    background_.Clear();
    (void)model::LoadMesh(device, objectFolder_ + backgroundName_, background_, LoadOptions(options, true));
}

void ObjectCatalogue::ReleaseModels()
{
    for (ObjectType& type : types_) {
        std::string name = std::move(type.name);
        const bool missing = type.missing;
        type = ObjectType{};
        type.name = std::move(name);
        if (missing) MarkMissing(type);
    }
    lastTypeIndex_ = -1;
    background_.Clear();
}

const ObjectType* ObjectCatalogue::FindType(int index) const
{
    return index >= 0 && index < TypeCount() ? &types_[static_cast<std::size_t>(index)] : nullptr;
}

const std::string& ObjectCatalogue::TypeName(int index) const
{
    static const std::string kNone;
    const ObjectType* type = FindType(index);
    return type ? type->name : kNone;
}

std::vector<std::string> ObjectCatalogue::TypeNames() const
{
    std::vector<std::string> names;
    names.reserve(types_.size());
    for (const ObjectType& type : types_)
        names.push_back(type.name);
    return names;
}

int ObjectCatalogue::FindTypeNamed(std::string_view name) const
{
    for (int i = 0; i < TypeCount(); ++i) {
        if (types_[static_cast<std::size_t>(i)].name == name) return i;
    }
    return FindTypeByName(name);
}

int ObjectCatalogue::FindTypeByName(std::string_view name) const
{
    for (int i = 0; i < TypeCount(); ++i) {
        if (platform::EqualsNoCase(types_[static_cast<std::size_t>(i)].name, name)) return i;
    }
    return -1;
}

} // namespace layout
