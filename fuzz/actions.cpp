// The --actions script parser on any text. A script it accepts must hold only what the runner
// can carry out without further checks: known kinds and numbers that are not negative where
// they count frames.
#include "FuzzSupport.h"
#include "app/script/ActionScript.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto script = app::ParseActions(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!script) return 0;
    for (const app::Action& action : *script) {
        fuzzsupport::Require(action.line >= 1);
        if (action.kind == app::Action::Kind::Frames)
            fuzzsupport::Require(!action.numbers.empty() && action.numbers[0] >= 0);
    }
    return 0;
}
