// The object catalogue: every type of the object folder (its meshes, bounds and .ini values) in
// the order of the folder search, and the background mesh. Placed objects name their type by
// its index here. The catalogue shows nothing itself: a scan that had to leave types out says
// so in its result.
#pragma once

#include "layout/ObjectType.h"
#include "model/MeshModel.h"
#include "platform/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace gfx {
class Device;
}

namespace layout {

// How catalogue meshes are loaded (the settings dialog's "頂点カラーの削除" box).
struct CatalogueOptions {
    bool removeVertexColours = false;
};

class ObjectCatalogue {
  public:
    // profileSection is the section of every object .ini (the executable's base name).
    explicit ObjectCatalogue(std::string profileSection) : profileSection_(std::move(profileSection)) {}

    const std::string& ProfileSection() const { return profileSection_; }
    // Folders end in '/'.
    const std::string& ObjectFolder() const { return objectFolder_; }
    void SetObjectFolder(std::string folder);
    const std::string& BackgroundName() const { return backgroundName_; }
    void SetBackgroundName(std::string name) { backgroundName_ = std::move(name); }

    // Lists every "*.ini" of the object folder that has its ".x" as the type names (models not
    // loaded). Beyond 200 types the rest are left out and the result carries the limit message.
    platform::Status ScanNames();
    // Loads the background and every listed type. False without a device (nothing loaded).
    bool LoadTypes(gfx::Device* device, const CatalogueOptions& options = {});
    // Reloads the background from object folder + background name + ".x"; nothing without a device.
    void LoadBackground(gfx::Device* device, const CatalogueOptions& options = {});
    // Releases every model and the background; the names stay.
    void ReleaseModels();

    // A type a map names that the folder lacks, appended as a placeholder entry (so that no
    // index of the types before it changes); its index, or -1 when the catalogue is full.
    int AddMissingType(std::string name);
    // Loads every placeholder entry whose files the object folder now holds; how many came.
    // Without a device they only lose the mark.
    int LoadMissingTypes(gfx::Device* device, const CatalogueOptions& options = {});
    bool HasMissingTypes() const;
    // The names as the object dialog lists them: a placeholder entry ends in kMissingSuffix.
    static constexpr std::string_view kMissingSuffix = "(なし)";
    std::vector<std::string> ListNames() const;

    // Number of catalogue entries (type indices 0 to TypeCount() - 1).
    int TypeCount() const { return static_cast<int>(types_.size()); }
    // Index of the last loaded type, -1 when none is loaded.
    int LastTypeIndex() const { return lastTypeIndex_; }
    // The type record, or null for an index out of range.
    const ObjectType* FindType(int index) const;
    // The catalogue name of a type; "" out of range.
    const std::string& TypeName(int index) const;
    std::vector<std::string> TypeNames() const;
    // Catalogue index of the name, ignoring letter case (the first match), or -1.
    int FindTypeByName(std::string_view name) const;
    // The entry with exactly that name, else the first that differs only in letter case (a
    // Linux folder may hold both), else -1.
    int FindTypeNamed(std::string_view name) const;
    const model::CMeshModel& Background() const { return background_; }

  private:
    void LoadTypeRecord(gfx::Device* device, int index, const CatalogueOptions& options);

    std::string profileSection_;
    std::string objectFolder_;
    std::string backgroundName_;
    std::vector<ObjectType> types_; // one per catalogue entry
    int lastTypeIndex_ = -1;
    model::CMeshModel background_;
};

} // namespace layout
