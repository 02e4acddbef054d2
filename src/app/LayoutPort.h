// What the application shell asks of the layout: its folders and map file, the catalogue and
// background, the map commands, the selection with its turnout state, picking and dragging,
// the turnout keys and the read-outs of a run report. The application's own layout (AppLayout)
// answers unless another is given; the shell never reaches the layout any other way.
#pragma once

#include "app/RunState.h"
#include "app/dialogs/PickQuery.h"
#include "camera/CameraSources.h"

#include <string>
#include <utility>
#include <vector>

namespace app {

class LayoutPort {
  public:
    virtual ~LayoutPort() = default;

    // Settings kept in the settings file: folders end in '/'.
    virtual std::string ObjectFolder() const = 0;
    virtual void SetObjectFolder(std::string folder) = 0;
    virtual std::string BackgroundName() const = 0;
    virtual void SetBackgroundName(std::string name) = 0;
    virtual std::string MapFilePath() const = 0;
    virtual void SetMapFilePath(std::string path) = 0;

    // The catalogue from the object folder, and the background chooser that follows a new
    // object folder.
    virtual void ScanObjectFolder() = 0;
    virtual void ChooseBackground() = 0;

    // The map commands; each asks for its file itself.
    virtual void LoadMap() = 0;
    virtual void SaveMap() = 0;
    // "上書き保存": the map file without the chooser, once the layout has one (loaded or saved).
    virtual void SaveMapOver() { SaveMap(); }
    virtual void ImportMap() = 0;
    // The load command without its dialog (a map named on the command line). False when the
    // file could not be loaded; the layout has then said why.
    virtual bool LoadMapFile(const std::string& path) = 0;

    // The selected object: -1 when none. Route count and route of its type and record
    // (0 and -1 when nothing is selected).
    virtual int SelectedIndex() const = 0;
    virtual int SelectedRouteCount() const = 0;
    virtual int SelectedRoute() const = 0;
    virtual void SetSelectedRoute(int route) = 0;
    // Where the selected object stands, for the camera.
    virtual camera::SelectedObjectSource SelectedObject() const = 0;
    // Turnout key -1 (none) or 0 to 11 for the selected turnouts.
    virtual void AssignKey(int key) = 0;
    virtual void PollTurnoutKeys() = 0;
    // Rewrites the key column of the placed-object list after the key-label style changed.
    virtual void RefreshKeyColumn() = 0;

    // Distance to the nearest placed object under the point (kNoHit for none); selects it.
    virtual float PickPlacedObject(const PickQuery& query) = 0;
    // Status-bar text of the primary selected object; empty when none is selected (the pane
    // then keeps its text).
    virtual std::string SelectedStatus() const = 0;
    // Re-derives the grab point of a drag after the camera moved.
    virtual void RegrabSelected(const PickQuery& query) = 0;
    virtual void DragSelected(const PickQuery& query) = 0;
    // The left button is up: a drag in progress ends.
    virtual void EndDrag() {}

    // The edit history: the last edit undone or an undone one done again (false when there is
    // none), what each would act on ("削除 (3 個)", empty for nothing), and its counts.
    virtual bool Undo() { return false; }
    virtual bool Redo() { return false; }
    virtual std::string UndoLabel() const { return {}; }
    virtual std::string RedoLabel() const { return {}; }
    virtual HistoryState History() const { return {}; }

    // Recovery: the layout as the save would write it (the map data text), and such a text
    // loaded as if from the map file mapPath, left unsaved. False when it could not be
    // restored; the layout has then said why.
    virtual std::string MapText() const { return {}; }
    virtual bool RestoreMap(const std::string& /*mapPath*/, const std::string& /*text*/) { return false; }

    // Objects of types the object folder lacks are kept as placeholders; these load the types
    // whose files have appeared since (how many came) and count the placeholders per type.
    virtual int LoadMissingTypes() { return 0; }
    virtual std::vector<std::pair<std::string, int>> Placeholders() const { return {}; }

    // Read-outs for the run report.
    virtual std::vector<std::string> TypeNames() const = 0;
    virtual std::vector<PlacedObjectState> PlacedObjects() const = 0;
};

} // namespace app
