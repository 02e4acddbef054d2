// The RTF reader of the help and message texts on any bytes.
#include "ui/RichTextReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    (void)ui::ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
