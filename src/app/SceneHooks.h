// Work of the frame's own resources that later parts of the program take over: the key-label
// textures, loaded at start-up, when their style changes and after every device reset. The
// defaults do nothing.
#pragma once

namespace gfx {
class Device;
}

namespace app {

class SceneHooks {
  public:
    virtual ~SceneHooks() = default;

    // style: the selection of the key-label style box (0 "Alphabet", 1 "ひらがな", 2 "カタカナ").
    virtual void LoadKeyLabels(gfx::Device& /*device*/, int /*style*/) {}
};

} // namespace app
