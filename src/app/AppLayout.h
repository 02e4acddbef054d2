// The layout as the application runs it: CLayout connected to the object dialog (its lists are
// the catalogue and the selection), the turnout menu, the settings dialog, the device, the
// camera and the keys, behind the shell's LayoutPort. Map commands set the main window's title
// when they finish, and count and selection changes reach the dialog and the main window.
#pragma once

#include "app/AppMapVehicles.h"
#include "app/LayoutPort.h"
#include "layout/CLayout.h"
#include "layout/MapFile.h"
#include "layout/PickRay.h"

#include <string>

namespace platform {
class DialogService;
}

namespace app {

class CSimulatorApp;

// The pick ray of a point of the render view.
layout::PickRay RayOf(const PickQuery& query);

class AppLayout final : public LayoutPort, private layout::LayoutListener {
  public:
    // app's parts are reached only after construction, except the object dialog and the menu,
    // which the layout takes over here: construct this after them.
    AppLayout(CSimulatorApp& app, platform::DialogService& dialogs, std::string profileSection);
    ~AppLayout() override;

    layout::CLayout& Core() { return layout_; }
    const layout::CLayout& Core() const { return layout_; }
    // The vehicles' share of the map files: the application's own (poses kept, choices in the
    // settings dialog's boxes) unless another is given; null goes back to the own one. A given
    // one must outlive this object or be replaced.
    void UseMapVehicles(layout::MapVehicles* vehicles)
    {
        mapVehicles_ = vehicles ? vehicles : &ownMapVehicles_;
    }
    layout::MapVehicles& MapVehicles() { return *mapVehicles_; }
    AppMapVehicles& OwnMapVehicles() { return ownMapVehicles_; }

    std::string ObjectFolder() const override { return layout_.Catalogue().ObjectFolder(); }
    void SetObjectFolder(std::string folder) override { layout_.Catalogue().SetObjectFolder(std::move(folder)); }
    std::string BackgroundName() const override { return layout_.Catalogue().BackgroundName(); }
    void SetBackgroundName(std::string name) override { layout_.Catalogue().SetBackgroundName(std::move(name)); }
    std::string MapFilePath() const override { return layout_.MapFilePath(); }
    void SetMapFilePath(std::string path) override
    {
        layout_.SetMapFilePath(std::move(path));
        hasFile_ = false;
    }

    void ScanObjectFolder() override;
    void ChooseBackground() override;
    void LoadMap() override;
    void SaveMap() override;
    void SaveMapOver() override;
    void ImportMap() override;
    bool LoadMapFile(const std::string& path) override;

    int SelectedIndex() const override { return layout_.Selection().Primary(); }
    int SelectedRouteCount() const override { return layout_.Selection().PrimaryRouteCount(); }
    int SelectedRoute() const override { return layout_.Selection().PrimaryRoute(); }
    void SetSelectedRoute(int route) override { layout_.SetSelectedRoute(route); }
    camera::SelectedObjectSource SelectedObject() const override;
    void AssignKey(int key) override { (void)layout_.AssignKey(key); }
    void PollTurnoutKeys() override;
    void RefreshKeyColumn() override;

    float PickPlacedObject(const PickQuery& query) override;
    // Empty when nothing is selected: the status pane then keeps its text.
    std::string SelectedStatus() const override { return layout_.Selection().Status().value_or(""); }
    void RegrabSelected(const PickQuery& query) override;
    void DragSelected(const PickQuery& query) override;
    void EndDrag() override;

    bool Undo() override;
    bool Redo() override;
    std::string UndoLabel() const override;
    std::string RedoLabel() const override;
    HistoryState History() const override;
    std::string MapText() const override;
    bool RestoreMap(const std::string& mapPath, const std::string& text) override;

    int LoadMissingTypes() override;
    std::vector<std::pair<std::string, int>> Placeholders() const override { return layout_.PlaceholdersByType(); }
    std::vector<std::string> TypeNames() const override { return layout_.Catalogue().TypeNames(); }
    std::vector<PlacedObjectState> PlacedObjects() const override;

  private:
    void ObjectCountChanged(int count) override;
    void TurnoutControlsChanged() override;

    gfx::Device* Device() const;
    layout::CatalogueOptions Catalogue() const;
    int KeyLabelStyle() const;
    // After a save or load that went through: the main window's title names the map.
    void MapDone();
    // The save once the file is known: asks first when the folder lacks objects the map uses.
    void SaveMapTo(const std::string& path);
    // Shows what a map command had to say, in order.
    void Show(const layout::MapResult& result);

    CSimulatorApp& app_;
    platform::DialogService& dialogs_;
    layout::CLayout layout_;
    AppMapVehicles ownMapVehicles_;
    layout::MapVehicles* mapVehicles_;
    // The layout was loaded from or saved to its map file in this session: "上書き保存" writes
    // there without asking.
    bool hasFile_ = false;
};

} // namespace app
