// The mouse of a headless run: the relative movement its right and middle drags make.
#pragma once

#include "app/MousePort.h"

#include <utility>

namespace app::headless {

// The relative movement the right and middle drags of a script make.
class ScriptedMouse final : public MousePort {
  public:
    void Move(int dx, int dy)
    {
        motion_.dx += dx;
        motion_.dy += dy;
    }
    MouseMotion ReadMain() override { return std::exchange(motion_, MouseMotion{}); }
    void Unacquire() override { motion_ = {}; }

  private:
    MouseMotion motion_;
};

} // namespace app::headless
