// The device contract on the OpenGL device, off screen; its probe reads the pixels back.
#include "gfx/DeviceContract.h"
#include "gfx/gl/GlDevice.h"

namespace {

struct GlBackend {
    static constexpr bool kMayBeMissing = true; // no off-screen context on this machine

    static gfx::Created<gfx::Device> Create(gfx::Size main, std::optional<gfx::Size> preview,
                                            const gfx::DeviceOptions& options)
    {
        auto created = gfx::gl::GlDevice::CreateOffscreen(main.width, main.height, options);
        if (created && preview && !created.device->CreateOffscreenPreview(preview->width, preview->height))
            return {nullptr, "the off-screen preview could not be made"};
        return created;
    }

    static bool HasFont(gfx::Device& device)
    {
        return static_cast<gfx::gl::GlDevice&>(device).FontError().empty();
    }

    static gfx::Image Picture(gfx::Device& device, const contract::Uploads&)
    {
        auto image = device.ReadPixels();
        EXPECT_TRUE(image.has_value());
        return image.value_or(gfx::Image{});
    }
};

} // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(GlContract, DeviceContract, GlBackend);
} // namespace contract
