#include "front/MenuKeyLabels.h"

#include <charconv>
#include <wx/menuitem.h>

#ifdef __WXGTK__
#include <dlfcn.h>
#endif

namespace front {

void ShowKeyLabel([[maybe_unused]] wxMenuItem& item, std::string_view keyLabel)
{
    if (keyLabel.size() < 2 || keyLabel.front() != 'F') return;
    int number = 0;
    const auto [end, error] = std::from_chars(keyLabel.data() + 1, keyLabel.data() + keyLabel.size(), number);
    if (error != std::errc() || end != keyLabel.data() + keyLabel.size() || number < 1 || number > 12) return;
#ifdef __WXGTK__
    // GTK draws a menu item's key from its accelerator label, which can be told a key to show
    // without any accelerator behind it. Looked up at run time: wx already brought GTK in, and
    // its development headers are not needed for two calls.
    using BinGetChild = void* (*)(void*);
    using AccelLabelSetAccel = void (*)(void*, unsigned, int);
    static const auto getChild = reinterpret_cast<BinGetChild>(dlsym(RTLD_DEFAULT, "gtk_bin_get_child"));
    static const auto setAccel =
        reinterpret_cast<AccelLabelSetAccel>(dlsym(RTLD_DEFAULT, "gtk_accel_label_set_accel"));
    if (!getChild || !setAccel || !item.GetMenuItem()) return;
    void* label = getChild(item.GetMenuItem());
    constexpr unsigned kKeyF1 = 0xffbe; // GDK_KEY_F1; F2 to F12 follow it
    if (label) setAccel(label, kKeyF1 + static_cast<unsigned>(number - 1), 0);
#endif
}

} // namespace front
