// The layout as the shell sees it before the layout itself exists: it keeps the folders and
// file names it is given, holds no objects, picks nothing and loads nothing.
#pragma once

#include "app/LayoutPort.h"

namespace app {

class NullLayout final : public LayoutPort {
  public:
    std::string ObjectFolder() const override { return objectFolder_; }
    void SetObjectFolder(std::string folder) override { objectFolder_ = std::move(folder); }
    std::string BackgroundName() const override { return background_; }
    void SetBackgroundName(std::string name) override { background_ = std::move(name); }
    std::string MapFilePath() const override { return mapFile_; }
    void SetMapFilePath(std::string path) override { mapFile_ = std::move(path); }

    void ScanObjectFolder() override {}
    void ChooseBackground() override {}
    void LoadMap() override {}
    void SaveMap() override {}
    void ImportMap() override {}
    bool LoadMapFile(const std::string& path) override;

    int SelectedIndex() const override { return -1; }
    int SelectedRouteCount() const override { return 0; }
    int SelectedRoute() const override { return -1; }
    void SetSelectedRoute(int) override {}
    camera::SelectedObjectSource SelectedObject() const override { return {}; }
    void AssignKey(int) override {}
    void PollTurnoutKeys() override {}
    void RefreshKeyColumn() override {}

    float PickPlacedObject(const PickQuery&) override { return kNoHit; }
    std::string SelectedStatus() const override { return " "; }
    void RegrabSelected(const PickQuery&) override {}
    void DragSelected(const PickQuery&) override {}

    std::vector<std::string> TypeNames() const override { return {}; }
    std::vector<PlacedObjectState> PlacedObjects() const override { return {}; }

  private:
    std::string objectFolder_;
    std::string background_;
    std::string mapFile_;
};

} // namespace app
