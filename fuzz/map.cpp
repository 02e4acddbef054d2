// The map file reader (load and import) on any bytes, over an object folder of three box types
// in a temporary folder. Whatever the file holds, every placed object ends up finite and within
// the position range, and the layout within its object limit.
#include "FuzzSupport.h"
#include "gfx/RecordingDevice.h"
#include "layout/CLayout.h"
#include "layout/LayoutLimits.h"
#include "layout/MapFile.h"
#include "layout/MapFileVehicles.h"
#include "layout/PickRay.h"
#include "math/ValueLimits.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::string gFolder;
std::unique_ptr<gfx::RecordingDevice> gDevice;

void Write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

const char* kBox = "xof 0303txt 0032\nMesh {\n4;\n-1;0;-1;,\n1;0;-1;,\n1;0;1;,\n-1;0;1;;\n"
                   "2;\n3;0,2,1;,\n3;0,3,2;;\n}\n";

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::QuietReaders();
    char pattern[] = "/tmp/korvela-fuzz-map-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    gFolder = std::string(pattern) + "/";
    const char* types[] = {"t0", "t1", "橋"};
    const char* inis[] = {"[korvela]\r\n", "[korvela]\r\nポイント=2\r\n", "[korvela]\r\nSnapX0=1\r\nSnapZ0=0\r\n"};
    for (int i = 0; i < 3; ++i) {
        Write(gFolder + types[i] + ".x", kBox);
        Write(gFolder + types[i] + ".ini", inis[i]);
    }
    gDevice = std::move(gfx::RecordingDevice::Create().device);
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(gFolder, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using fuzzsupport::Require;
    const std::string path = gFolder + "map.txt";
    Write(path, std::string(reinterpret_cast<const char*>(data), size));

    layout::CLayout layout("korvela");
    layout::StoredMapVehicles vehicles;
    (void)layout::LoadMapFile(layout, path, vehicles, {.device = gDevice.get()});
    (void)layout::ImportMapFile(layout, path, {{0.0f, 100.0f, 0.0f}, {0.0f, -100.0f, 0.0f}});

    const math::ValueRange& range = math::RangeOf(math::ValueKind::Position);
    Require(layout.Placed().Count() <= layout::kMaxPlacedObjects);
    for (const layout::PlacedObject& object : layout.Placed().All()) {
        Require(fuzzsupport::AllFinite({object.x, object.y, object.z, object.angle}));
        // An import moves objects by the mean of their places: still finite, at most twice the range.
        Require(std::fabs(object.x) <= 2 * range.high && std::fabs(object.z) <= 2 * range.high);
        Require(object.type >= 0 && object.type < layout.Catalogue().TypeCount());
    }
    return 0;
}
