#include "gfx/Device.h"

#include <atomic>

namespace gfx {

namespace {
std::atomic<std::uint64_t> nextDeviceId{1};
}

Device::Device() : id_(nextDeviceId.fetch_add(1)) {}

} // namespace gfx
