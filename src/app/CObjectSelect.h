// The object dialog "オブジェクト" as a window: shown and hidden with F4 and the menu, shown by
// map-creation mode, its editing buttons enabled only while the map is being edited, and its
// object count. What its list and buttons do belongs to the layout.
#pragma once

#include "ui/DialogModel.h"

#include <string>

namespace app {

class CObjectSelect {
  public:
    // Most objects a layout holds, shown in the count.
    static constexpr int kMaxObjects = 2000;

    CObjectSelect();

    ui::DialogModel& Model() { return model_; }
    const ui::DialogModel& Model() const { return model_; }

    // Dialog initialisation: the move boxes' texts and the object count.
    void Initialise();

    void Show() { model_.SetVisible(true); }
    void ToggleVisible() { model_.SetVisible(!model_.IsVisible()); }
    // "配置", "削除", "コピー", "移動" and "回転".
    void SetEditButtonsEnabled(bool enabled);
    // count = last placed index + 1.
    void ShowObjectCount(int count);
    static std::string ObjectCountText(int count);

  private:
    ui::DialogModel model_;
};

} // namespace app
