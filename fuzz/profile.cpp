// The profile (.ini) reader on any bytes, with the look-ups and the in-memory rewrite a settings
// change makes. Nothing is written: the file's folder does not exist.
#include "FuzzSupport.h"
#include "platform/Profile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    platform::Profile profile = platform::Profile::FromBytes("/nonexistent-korvela-fuzz/a.ini", bytes);
    for (std::string_view section : {"korvela", "a", ""}) {
        for (std::string_view key : {"a", "透明", "SnapX0", ""}) {
            (void)profile.GetString(section, key, "def", 256);
            (void)profile.GetString(section, key, "def", 0);
            (void)profile.GetInt(section, key, 7);
        }
    }
    (void)profile.SetString("korvela", "a", "値");
    (void)profile.SetString("new", "key", "value");
    fuzzsupport::Require(profile.GetString("korvela", "a", "", 256) == "値");
    fuzzsupport::Require(!profile.Save()); // the folder does not exist
    return 0;
}
