// Scripted key presses of a headless run: before each pass the keys held on that frame go
// down and the others the script pressed come up, through the same key state the window front
// end feeds.
#pragma once

#include "app/script/HeadlessOptions.h"
#include "platform/KeyState.h"

#include <set>
#include <vector>

namespace app {

class KeyScript {
  public:
    explicit KeyScript(std::vector<KeyHold> holds = {}) : holds_(std::move(holds)) {}

    void Add(const KeyHold& hold) { holds_.push_back(hold); }
    // Whether the script holds vk down now.
    bool Holds(int vk) const { return down_.contains(vk); }

    // Presses and releases keys so that exactly the keys held on frame are down among those
    // the script names.
    void Apply(platform::KeyState& keys, int frame);

  private:
    std::vector<KeyHold> holds_;
    std::set<int> down_;
};

} // namespace app
