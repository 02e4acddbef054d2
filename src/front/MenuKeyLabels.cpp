#include "front/MenuKeyLabels.h"

#include <charconv>
#include <optional>
#include <wx/menuitem.h>

#ifdef __WXGTK__
#include <dlfcn.h>
#endif

namespace front {

namespace {

// GDK's key value and modifier mask for a label: "F1" to "F12", "Insert", or "Ctrl+" and a
// capital letter.
struct GdkKey {
    unsigned value = 0;
    int modifiers = 0;
};

std::optional<GdkKey> KeyOfLabel(std::string_view keyLabel)
{
    constexpr unsigned kKeyF1 = 0xffbe; // GDK_KEY_F1; F2 to F12 follow it
    constexpr unsigned kKeyA = 0x61;    // GDK_KEY_a; the letters follow it
    constexpr int kControlMask = 1 << 2;
    constexpr std::string_view kCtrl = "Ctrl+";
    constexpr unsigned kKeyInsert = 0xff63; // GDK_KEY_Insert
    if (keyLabel == "Insert") return GdkKey{kKeyInsert, 0};
    if (keyLabel.starts_with(kCtrl) && keyLabel.size() == kCtrl.size() + 1) {
        const char letter = keyLabel.back();
        if (letter < 'A' || letter > 'Z') return std::nullopt;
        return GdkKey{kKeyA + static_cast<unsigned>(letter - 'A'), kControlMask};
    }
    if (keyLabel.size() < 2 || keyLabel.front() != 'F') return std::nullopt;
    int number = 0;
    const auto [end, error] = std::from_chars(keyLabel.data() + 1, keyLabel.data() + keyLabel.size(), number);
    if (error != std::errc() || end != keyLabel.data() + keyLabel.size() || number < 1 || number > 12)
        return std::nullopt;
    return GdkKey{kKeyF1 + static_cast<unsigned>(number - 1), 0};
}

} // namespace

void ShowKeyLabel([[maybe_unused]] wxMenuItem& item, std::string_view keyLabel)
{
    [[maybe_unused]] const std::optional<GdkKey> key = KeyOfLabel(keyLabel);
    if (!key) return;
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
    if (label) setAccel(label, key->value, key->modifiers);
#endif
}

} // namespace front
