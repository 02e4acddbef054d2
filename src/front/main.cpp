// Entry point of the korvela executable.
#include "app/ActionScript.h"
#include "app/HeadlessRunner.h"
#include "model/MeshInspect.h"
#ifdef KORVELA_WINDOWS
#include "front/FrontApp.h"
#include "gfx/gl/GlDevice.h"
#include "gfx/gl/ImageFile.h"
#endif

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::puts("usage: korvela [MAPFILE]\n       korvela --headless [OPTIONS] [MAPFILE]\n"
                  "       korvela --inspect-mesh FILE\n");
        std::fputs(app::HeadlessUsage().c_str(), stdout);
        std::fputs(("\n" + app::ActionsUsage()).c_str(), stdout);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--inspect-mesh") == 0) {
        // One JSON object on standard output; the exit code says whether the model loads.
        if (argc < 3) {
            std::puts("{\"ok\":false,\"error\":\"no file given\"}");
            return 1;
        }
        const model::MeshInspection report = model::InspectMesh(argv[2]);
        std::puts(report.json.c_str());
        return report.ok ? 0 : 1;
    }
    if (argc > 1 && std::strcmp(argv[1], "--headless") == 0) {
        // The same program without a window: no toolkit is started, so no display is needed.
#ifdef KORVELA_WINDOWS
        const app::SizedDeviceFactory offscreen = [](const gfx::DeviceOptions& options, int width,
                                                     int height) {
            return gfx::Created<gfx::Device>(gfx::gl::GlDevice::CreateOffscreen(width, height, options));
        };
        const app::ScreenshotWriter writePng = [](const gfx::Image& image, const std::string& path) {
            return gfx::gl::WritePngFile(image, path)
                       ? platform::Status(platform::Ok{})
                       : platform::Status(platform::Fail("cannot write " + path));
        };
        return app::RunHeadless(argc, argv, offscreen, writePng);
#else
        return app::RunHeadless(argc, argv, {}, {});
#endif
    }
#ifdef KORVELA_WINDOWS
    return front::RunWindowProgram(argc, argv);
#else
    std::fputs("korvela: built without windows; use --headless\n", stderr);
    return 2;
#endif
}
