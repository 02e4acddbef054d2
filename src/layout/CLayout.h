// The layout being built and run. It owns the parts and keeps them in step:
//  - the object catalogue (ObjectCatalogue), whose names are also the entries of the object
//    dialog's drop-down list 1056 in catalogue order;
//  - the placed objects with their list rows, turnout keys and routes (PlacedObjects);
//  - the selection, which is the row selection of the placed-object list (LayoutSelection);
//  - the edits: every change a user makes is done here as a LayoutEdit and kept in the edit
//    history, so that it can be undone and redone; dragging lives in LayoutDrag.
// The lists belong to the object dialog's model: the layout's own until BindObjectDialog hands
// it the application's.
//
// The layout shows nothing: an edit that cannot be done returns the message to show and
// changes nothing. Picking is a query; the caller decides what was hit and then selects.
// The map data file (MapFile*) and the drawing (LayoutRenderer) work through the public calls.
#pragma once

#include "layout/JointMending.h"
#include "layout/LayoutDrag.h"
#include "layout/LayoutEdit.h"
#include "layout/LayoutLimits.h"
#include "layout/LayoutListener.h"
#include "layout/LayoutSelection.h"
#include "layout/ObjectCatalogue.h"
#include "layout/PickRay.h"
#include "layout/PlacedObjects.h"
#include "math/Vector.h"
#include "platform/Result.h"

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gfx {
class Device;
}
namespace ui {
class DialogModel;
class MenuModel;
} // namespace ui

namespace layout {

class CLayout {
  public:
    // profileSection is the section of every object .ini (the executable's base name).
    explicit CLayout(std::string profileSection);
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

    // --- the parts
    ObjectCatalogue& Catalogue() { return catalogue_; }
    const ObjectCatalogue& Catalogue() const { return catalogue_; }
    PlacedObjects& Placed() { return objects_; }
    const PlacedObjects& Placed() const { return objects_; }
    LayoutSelection& Selection() { return selection_; }
    const LayoutSelection& Selection() const { return selection_; }
    EditHistory& History() { return history_; }
    const EditHistory& History() const { return history_; }
    LayoutDrag& Drag() { return drag_; }
    const LayoutDrag& Drag() const { return drag_; }

    // Full path of the map file last loaded or saved.
    const std::string& MapFilePath() const { return mapFilePath_; }
    void SetMapFilePath(std::string path) { mapFilePath_ = std::move(path); }
    // Ten times the aeroplane's forward direction, for the line overlay.
    math::Vec3 AeroplaneVector() const { return aeroplaneVector_; }
    void SetAeroplaneVector(math::Vec3 vector) { aeroplaneVector_ = vector; }
    // Selection of the catalogue list (-1 none).
    int CatalogueSelection() const;
    void SetCatalogueSelection(int index);

    // --- catalogue
    // Lists the object folder into the catalogue (selecting entry 0), loads the background and
    // every type, and empties the layout. As an edit (the user chose the folder), emptying the
    // layout can be undone; a map load does not record it. Fails with the 200-type message
    // when types were left out (the first 200 are loaded all the same).
    platform::Status ScanObjectFolder(gfx::Device* device, const CatalogueOptions& options = {},
                                      bool asEdit = false);
    // A map's type that the object folder lacks, added as a placeholder entry (see
    // ObjectCatalogue::AddMissingType); its index or -1 when the catalogue is full.
    int AddMissingType(std::string name);
    // The placeholder entries whose files have appeared in the object folder are loaded, and
    // their objects become real ones in place; how many types came. Keeps the edit history.
    int LoadMissingTypes(gfx::Device* device, const CatalogueOptions& options = {});
    // Placed objects whose type is a placeholder entry, in all and per type name (catalogue order).
    int PlaceholderCount() const;
    std::vector<std::pair<std::string, int>> PlaceholdersByType() const;
    // Empties the records, the list and the selection (the start of a map's object section),
    // clears the menu counts and tells the listener.
    void ClearPlacedObjects();
    // Writes the usage counts into the turnout menu and tells the listener that the count and
    // the selection changed (after a batch of appends).
    void NotifyLayoutChanged();

    // --- edits; each checks first and changes nothing on failure, returning the message. A
    // drag still open (its release not yet seen) is recorded before any of them acts.
    // "配置": a new object of type where the view centre's ray meets the selected object's
    // height (0 without selection), then the only one selected, and focused. Fails for no type,
    // a full layout (the 2000 message) or kNoPlaceMessage: a ray that meets that height behind
    // the eye, beyond reach (the culling distance) or at less than 1°.
    static constexpr std::string_view kNoPlaceMessage = "配置する場所が画面の中央にありません。";
    platform::Status PlaceObject(int type, const PickRay& viewCentreRay,
                                 float reach = std::numeric_limits<float>::infinity());
    // "コピー": copies of the selected objects appended in index order, which become the selection.
    platform::Status CopySelected();
    // "削除": removes the selected objects; later ones move down.
    platform::Status DeleteSelected();
    // "移動": adds the amounts to every selected object.
    platform::Status MoveSelectedBy(float dx, float dy, float dz);
    // "回転": turns the selected objects about the middle of their extent.
    platform::Status TurnSelectedBy(float degrees);
    // Gives the key (-1 for none, 0 to 11) to every selected turnout; other objects keep theirs.
    platform::Status AssignKey(int key);
    // The point buttons: route 0 to 9 for the primary object; anything else is ignored.
    void SetSelectedRoute(int route);
    // A map's objects added at the end, selected (the import). Fails with the 2000 message
    // when they do not all fit, or when one names no catalogue type, changing nothing.
    platform::Status AddObjects(const std::vector<PlacedObject>& objects);
    // "継ぎ目合わせ": closes the near-miss joints within the magnet's reach by moving their
    // loose objects, all of them as one edit. Returns what moved and the joints left alone.
    JointMending MendJoints();
    // The last edit undone or the last undone edit done again, with the selection it had;
    // false when there is none. A drag still open ends first, as its own step.
    bool Undo();
    bool Redo();
    // Data kept beside the records (the operation settings) changed as one edit; undo and redo
    // hand the lines back to the handler. Nothing is recorded when they are alike.
    void RecordDataEdit(const char* name, std::vector<std::string> before, std::vector<std::string> after);
    void SetDataHandler(std::function<void(const std::vector<std::string>&)> handler)
    {
        dataHandler_ = std::move(handler);
    }

    // The nearest object the ray hits (scanning from the last index down; at most ten hits are
    // considered). Changes nothing.
    PickHit FindPickHit(const PickRay& ray) const;

  private:
    friend class LayoutDrag;
    friend class TrackLaying;

    // Records an edit that was just done, and tells the windows.
    void Done(LayoutEdit edit);
    // Records a drag that is still open, before another edit acts.
    void FinishDrag();
    void NotifyTurnout();
    void RefreshKeyMenu();
    // Puts the objects in place of the records at indices and records that as one edit;
    // false when nothing changed.
    bool ReplaceAsEdit(const char* name, const std::vector<int>& indices, const std::vector<PlacedObject>& objects);

    std::unique_ptr<ui::DialogModel> ownDialog_;
    ui::DialogModel* dialog_;
    ui::MenuModel* menu_ = nullptr;
    LayoutListener* listener_ = nullptr;

    ObjectCatalogue catalogue_;
    PlacedObjects objects_;
    LayoutSelection selection_;
    EditHistory history_;
    std::function<void(const std::vector<std::string>&)> dataHandler_;
    // The catalogue's type names since its last scan, given to every edit recorded (null
    // before the first scan).
    std::shared_ptr<const std::vector<std::string>> typeNames_;
    LayoutDrag drag_;
    std::string mapFilePath_;
    math::Vec3 aeroplaneVector_;
};

} // namespace layout
