// The main window's status bar as data: four panes of text. Pane 0 (the picked object or
// car) takes the width the others leave; panes 1 to 3 (camera position, camera view point,
// the vehicle the keyboard drives) are 104 pixels wide.
#pragma once

#include <array>
#include <functional>
#include <string>

namespace ui {

class StatusBarModel {
  public:
    static constexpr int kPaneCount = 4;
    static constexpr int kStretch = -1;
    static constexpr std::array<int, kPaneCount> kWidths = {kStretch, 104, 104, 104};

    // Called with the pane whose text changed.
    using Observer = std::function<void(int pane)>;

    const std::string& Text(int pane) const;
    // Panes outside 0 to 3 are ignored.
    void SetText(int pane, std::string text);

    void SetObserver(Observer observer) { observer_ = std::move(observer); }

  private:
    std::array<std::string, kPaneCount> texts_;
    Observer observer_;
};

} // namespace ui
