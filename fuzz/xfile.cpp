// The .x reader on any bytes: text, binary and MSZIP-compressed files all start here. A mesh
// that loads must have finite bounds.
#include "FuzzSupport.h"
#include "model/MeshBounds.h"
#include "model/XFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto loaded = model::ParseXFile(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!loaded) return 0;
    const model::MeshBox box = model::ComputeBox(loaded->mesh);
    const model::MeshSphere sphere = model::ComputeSphere(loaded->mesh);
    fuzzsupport::Require(fuzzsupport::AllFinite({box.minX, box.maxX, box.minY, box.maxY, box.minZ, box.maxZ,
                                                 sphere.center.x, sphere.center.y, sphere.center.z,
                                                 sphere.radius}));
    return 0;
}
