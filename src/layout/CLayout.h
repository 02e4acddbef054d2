// The layout being built and run: the object catalogue, up to 2000 placed objects with their
// turnout keys, the selection, and the editing operations (place, copy, delete, typed moves and
// turns, picking and dragging with grid and magnet).
//
// This class and its helpers (CLayout*.cpp, ObjectType, ObjectIni, PlacedObject, PickRay,
// Snapping, TurnoutKeys, NumberFilter, LayoutLimits, LayoutListener) are the layout core. The map
// data file (MapFile*) and the drawing (LayoutRenderer*, Draw*) work through the public calls
// below only.
//
// Selection. The placed-object list of the object dialog (list view 1031) is the selection: an
// object is selected exactly when its row is. The layout writes and reads that list in the
// object dialog's model: its own model until BindObjectDialog hands it the application's. Rows
// may be sorted by the dialog; every row carries its record index in column 0 and the layout
// always finds a record's row through that column, never by position. The catalogue names are
// the entries of the dialog's drop-down list 1056 in catalogue order.
#pragma once

#include "input/TogglePoller.h"
#include "layout/LayoutLimits.h"
#include "layout/LayoutListener.h"
#include "layout/ObjectType.h"
#include "layout/PickRay.h"
#include "layout/PlacedObject.h"
#include "layout/Snapping.h"
#include "math/Vector.h"
#include "model/MeshModel.h"
#include "platform/Result.h"

#include <array>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {
class Device;
}
namespace input {
class CInput;
}
namespace platform {
class DialogService;
}
namespace ui {
class DialogModel;
class ListView;
class MenuModel;
} // namespace ui

namespace layout {

// How catalogue meshes are loaded (the settings dialog's "頂点カラーの削除" box).
struct CatalogueOptions {
    bool removeVertexColours = false;
};

// Modifier keys and tool-bar states that steer a drag, read by the caller.
struct DragFlags {
    bool shift = false;  // raise and lower
    bool alt = false;    // turn
    bool grid = false;   // "グリッド"
    bool magnet = false; // "マグネット"
    // How far from the eye a drag may carry the object: the culling distance.
    float reach = std::numeric_limits<float>::infinity();
};

// Where the mouse took hold of the primary object, relative to its origin.
struct GrabState {
    float primaryAngle = 0; // the primary's angle when it was picked
    float x = 0, y = 0, z = 0;
    float bearing = 0; // atan2(x, z) in degrees minus the primary's angle
    friend bool operator==(const GrabState&, const GrabState&) = default;
};

// The nearest placed object along a ray: index -1 and kNoHitDistance when none.
struct PickHit {
    int index = -1;
    float distance = kNoHitDistance;
    friend bool operator==(const PickHit&, const PickHit&) = default;
};

// One finished drag as a single edit: the selected records before and after it.
struct DragCommit {
    std::vector<int> indices;
    std::vector<PlacedObject> before;
    std::vector<PlacedObject> after;
    bool Changed() const { return before != after; }
};

class CLayout {
  public:
    // Messages go through dialogs, which must outlive the layout. profileSection is the section
    // of every object .ini (the executable's base name).
    CLayout(platform::DialogService& dialogs, std::string profileSection);
    ~CLayout();
    CLayout(const CLayout&) = delete;
    CLayout& operator=(const CLayout&) = delete;

    // --- bindings to the windows around the layout
    // Use the application's object dialog model from now on (its list and catalogue list take
    // over the current entries and rows); the dialog must outlive the layout or be unbound.
    void BindObjectDialog(ui::DialogModel& dialog);
    // The object dialog model in use (the layout's own until one is bound).
    ui::DialogModel& ObjectDialog() { return *dialog_; }
    const ui::DialogModel& ObjectDialog() const { return *dialog_; }
    // The main menu whose turnout entries get the key usage counts; null for none.
    void BindMenu(ui::MenuModel* menu);
    // Told about count and selection changes; null for none. Must outlive the layout.
    void SetListener(LayoutListener* listener) { listener_ = listener; }
    // Key-label style of the settings dialog (0 to 2); rewrites the key column of every row.
    void SetKeyLabelStyle(int style);
    int KeyLabelStyle() const { return keyLabelStyle_; }
    platform::DialogService& Dialogs() { return dialogs_; }
    const std::string& ProfileSection() const { return profileSection_; }

    // --- folders and names (folders end in '/')
    const std::string& ObjectFolder() const { return objectFolder_; }
    void SetObjectFolder(std::string folder);
    const std::string& MapFilePath() const { return mapFilePath_; }
    void SetMapFilePath(std::string path) { mapFilePath_ = std::move(path); }
    const std::string& BackgroundName() const { return backgroundName_; }
    void SetBackgroundName(std::string name) { backgroundName_ = std::move(name); }

    // --- catalogue
    // Lists every "*.ini" of the object folder that has its ".x" (at most 200, with the limit
    // message beyond), selects entry 0, loads the background and then every type.
    void ScanObjectFolder(gfx::Device* device, const CatalogueOptions& options = {});
    // Clears the layout and loads the background and every listed type. False without a device.
    bool LoadObjectTypes(gfx::Device* device, const CatalogueOptions& options = {});
    // Reloads the background from object folder + background name + ".x"; nothing without a device.
    void LoadBackground(gfx::Device* device, const CatalogueOptions& options = {});
    // The "背景データの読込み" command: asks for a mesh and loads the one of that name from the
    // object folder.
    void ChooseBackground(gfx::Device* device, const CatalogueOptions& options = {});
    // Releases every model, empties the placed objects, the list and the selection, and tells
    // the listener. The catalogue names stay.
    void ClearLayout();

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
    // Selection of the catalogue list (-1 none).
    int CatalogueSelection() const;
    void SetCatalogueSelection(int index);
    const model::CMeshModel& Background() const { return background_; }

    // --- placed objects (indices 0 to LastPlacedIndex(), no gaps)
    int LastPlacedIndex() const { return ObjectCount() - 1; }
    int ObjectCount() const { return static_cast<int>(objects_.size()); }
    std::span<const PlacedObject> Objects() const { return objects_; }
    // The record, or null for an index out of range.
    const PlacedObject* FindObject(int index) const;
    // Cached sine and cosine of the object's angle (angle 0 for an index out of range).
    ObjectTrig Trig(int index) const;
    // Position of the object, (0, 0, 0) for -1 or any index out of range.
    math::Vec3 ObjectPosition(int index) const;
    // Turnout key of the object, kNoKey out of range.
    int ObjectKey(int index) const;
    // Adds a record at the end with its list row (selected when asked). Numbers that are not
    // finite become 0 and a key out of range becomes kNoKey; the route is kept. Fails, changing
    // nothing, when the layout is full or the type is no catalogue index. Nothing is shown.
    platform::Result<int> AppendPlacedObject(const PlacedObject& object, bool select = false);
    // Empties the records, the list and the selection (the start of a map's object section),
    // clears the menu counts and tells the listener.
    void ClearPlacedObjects();
    // Tells the listener that the count and the selection changed (after a batch of appends).
    void NotifyLayoutChanged();
    // Sets one object's route (the point buttons, and the trains throwing a turnout).
    void SetObjectRoute(int index, int route);

    // --- selection
    int SelectedIndex() const { return selectedIndex_; }
    // -1 or a valid index; anything else counts as -1.
    void SetSelectedIndex(int index);
    // Indices of the objects whose rows are selected, ascending.
    std::vector<int> SelectedObjects() const;
    // One flag per placed object: its row is selected.
    std::vector<bool> SelectionMask() const;
    bool IsObjectSelected(int index) const;
    // Selects or deselects the object's row (selecting also gives it the focus).
    void SetObjectSelected(int index, bool selected);
    // Clears the selected and focused state of every row.
    void DeselectAllRows();
    // Asks the object dialog's list to scroll the object's row into view.
    void ScrollToObject(int index);
    // Row of an object in the list, or -1; record index of a row (from column 0), or -1.
    int RowOfObject(int index) const;
    int ObjectOfRow(int row) const;
    // Route count of the selected object's type (0 when none), its route (-1 when none).
    int SelectedRouteCount() const;
    int SelectedRoute() const;
    // The point buttons: route 0 to 9 for the selected object; anything else is ignored.
    void SetSelectedRoute(int route);
    bool HasSelectedObject() const { return selectedIndex_ >= 0; }
    math::Vec3 SelectedPosition() const { return ObjectPosition(selectedIndex_); }
    // Status-bar text of the selected object; nothing when none is selected (the pane keeps its text).
    std::optional<std::string> SelectedStatus() const;

    // --- list rows
    // Writes the row of an object (appending it when it is the next new record).
    void RefreshRow(int index);
    // Rewrites the key column of every row (the key-label style changed).
    void RefreshKeyColumn();
    // Writes the usage counts into the turnout menu.
    void RefreshKeyMenu();
    // Placed objects carrying each key 0 to 11.
    std::array<int, kTurnoutKeyCount> KeyUsageCounts() const;

    // --- editing; each checks first, shows any message, and changes nothing on failure
    // Whether an object of type could be placed now (the 2000 limit message when full).
    platform::Status CheckPlace(int type) const;
    // "配置": a new object of type where the view centre's ray meets the selected object's
    // height (0 without selection), selected and focused. Nothing for type -1 or a ray that
    // does not meet that height.
    platform::Status PlaceObject(int type, const PickRay& viewCentreRay);
    platform::Status CheckCopy() const;
    // "コピー": copies of the selected objects appended in index order, which become the selection.
    platform::Status CopySelected();
    // "削除": removes the selected objects; later ones move down.
    platform::Status DeleteSelected();
    // "移動": adds the X, Y, Z boxes of the object dialog to every selected object.
    platform::Status MoveSelected();
    platform::Status MoveSelectedBy(float dx, float dy, float dz);
    // "回転": turns the selected objects by the θ box about the middle of their extent.
    platform::Status TurnSelected();
    platform::Status TurnSelectedBy(float degrees);
    // Leaves only digits, '.' and '-' in one of the object dialog's boxes (set once, re-entry safe).
    void FilterNumberText(int boxId);

    // --- turnouts
    // Gives the key (-1 for none, 0 to 11) to every selected turnout; other objects keep theirs.
    platform::Status AssignKey(int key);
    // Advances the route of every object that carries the key.
    void SwitchRoutes(int key);
    // Once per frame: each press of a turnout key switches once; with Shift every held key
    // switches every frame. Returns how many keys switched.
    int PollTurnoutKeys(const input::CInput& input);

    // --- picking and dragging
    // The nearest object the ray hits (scanning from the last index down; at most ten hits are
    // considered). Changes nothing.
    PickHit FindPickHit(const PickRay& ray) const;
    // A click: picks, takes the grab state, and updates the selection (ctrl: add or remove).
    // Returns the distance, kNoHitDistance when nothing was hit.
    float PickPlacedObject(const PickRay& ray, bool ctrl);
    // Marks the start of a drag of the selection (records the state for the commit).
    void BeginDrag();
    // One frame of a drag under the cursor ray: move, raise (shift) or turn (alt).
    void DragSelected(const PickRay& cursorRay, const DragFlags& flags);
    // Re-derives the grab point after the camera moved during a drag.
    void RegrabSelected(const PickRay& cursorRay);
    // Ends the drag and returns it as one edit.
    DragCommit EndDrag();
    bool Dragging() const { return dragging_; }
    // The magnet correction for the primary object at its current place; shifts the grab point
    // so that the correction holds in later frames.
    SnapOffset SnapSelected();
    const GrabState& Grab() const { return grab_; }
    const PickRay& LastPickRay() const { return pickRay_; }
    // Ten times the aeroplane's forward direction, for the line overlay.
    math::Vec3 AeroplaneVector() const { return aeroplaneVector_; }
    void SetAeroplaneVector(math::Vec3 vector) { aeroplaneVector_ = vector; }

  private:
    struct Relative {
        math::Vec3 offset;
        float angle = 0;
    };

    // A warning box owned by the window with that dialog id (0: the main window).
    void ShowMessage(const std::string& text, int owner = 0) const;
    void NotifyCount();
    void NotifyTurnout();
    void LoadTypeRecord(gfx::Device* device, int index, const CatalogueOptions& options);
    void ResetTypes();
    void SetObject(int index, const PlacedObject& object);
    std::vector<std::string> RowCells(int index) const;
    void WriteRowCells(ui::ListView& list, int row, int index) const;
    std::vector<int> RowsByObject() const;
    int SelectedTypeRouteCount() const;
    // Rewrites the rows of these records in one list edit.
    void UpdateRows(const std::vector<int>& indices);
    void DragAcross(const PickRay& ray, const DragFlags& flags);
    void DragUpDown(const PickRay& ray, const DragFlags& flags);
    void DragTurn(const PickRay& ray, const DragFlags& flags);
    Relative RelativeOf(int index) const;

    platform::DialogService& dialogs_;
    std::string profileSection_;
    std::unique_ptr<ui::DialogModel> ownDialog_;
    ui::DialogModel* dialog_;
    ui::MenuModel* menu_ = nullptr;
    LayoutListener* listener_ = nullptr;
    int keyLabelStyle_ = 0;

    int selectedIndex_ = -1;
    std::string objectFolder_;
    std::string mapFilePath_;
    std::string backgroundName_;
    math::Vec3 aeroplaneVector_;
    PickRay pickRay_;

    std::vector<ObjectType> types_; // one per catalogue entry
    int lastTypeIndex_ = -1;
    std::vector<PlacedObject> objects_;
    std::vector<ObjectTrig> trig_; // beside objects_, same length
    std::vector<Relative> relatives_;
    GrabState grab_;
    model::CMeshModel background_;

    input::TogglePoller turnoutPoller_;
    bool filtering_ = false;
    bool dragging_ = false;
    std::vector<int> dragIndices_;
    std::vector<PlacedObject> dragBefore_;
};

} // namespace layout
