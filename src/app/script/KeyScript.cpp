#include "app/script/KeyScript.h"

namespace app {

void KeyScript::Apply(platform::KeyState& keys, int frame)
{
    std::set<int> wanted;
    for (const KeyHold& hold : holds_) {
        if (frame >= hold.from && frame <= hold.to) wanted.insert(hold.vk);
    }
    for (const int vk : down_) {
        if (!wanted.contains(vk)) keys.Release(vk);
    }
    for (const int vk : wanted) {
        if (!down_.contains(vk)) keys.Press(vk);
    }
    down_ = std::move(wanted);
}

} // namespace app
