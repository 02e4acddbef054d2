// Entry point of the korvela executable.
#include "app/Language.h"
#include "app/script/ActionScript.h"
#include "app/script/HeadlessOptions.h"
#include "app/script/HeadlessRunner.h"
#include "model/MeshInspect.h"
#include "platform/ProgramFolders.h"
#include "platform/Translation.h"
#ifdef KORVELA_WINDOWS
#include "front/FrontApp.h"
#include "gfx/gl/GlDevice.h"
#include "gfx/gl/ImageFile.h"
#endif

#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#ifndef KORVELA_VERSION
#define KORVELA_VERSION "1.0"
#endif

namespace {

std::string Usage()
{
    // The headless options without their own usage line, which the lines above already give.
    const std::string headless = app::HeadlessUsage();
    const std::string headlessOptions = headless.substr(headless.find('\n') + 1);
    return "Usage: korvela [--lang ja|en] [--report FILE] [MAPFILE]\n"
           "       korvela --headless [--lang ja|en] [OPTION]... [MAPFILE]\n"
           "       korvela --inspect-mesh FILE\n"
           "Build a model-railway layout in 3D and run trains on it in real time.\n"
           "\n"
           "Options:\n"
           "  --lang ja|en       speak Japanese or English; without it, the language chosen in the\n"
           "                     Help menu, else the desktop's (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)\n"
           "  --report FILE      when the window closes, write the run report to FILE (as\n"
           "                     --headless --report does)\n"
           "  --headless         run without a window, as scripts and tests do (options below)\n"
           "  --inspect-mesh FILE  print what the program reads from a .x model, as JSON\n"
           "  -h, --help         print this help and exit\n"
           "  --version          print the version and exit\n"
           "\n"
           "A MAPFILE is loaded at start-up as the load command loads it.\n"
           "\n"
           "Options of --headless:\n" +
           headlessOptions + "\n" + app::ActionsUsage() +
           "\n"
           "Files:\n"
           "  Run from a folder of its own, the program keeps its settings file (NAME.ini, NAME being\n"
           "  the executable's name) and its content beside the executable. Installed, the settings\n"
           "  file is $XDG_CONFIG_HOME/korvela/NAME.ini (~/.config/korvela/) and the content, copied\n"
           "  on the first start, is in $XDG_DATA_HOME/korvela/ (~/.local/share/korvela/). A layout with\n"
           "  unsaved changes is kept in $XDG_STATE_HOME/korvela/recovery.txt (~/.local/state/korvela/)\n"
           "  every minute and every 20 edits (KORVELA_AUTOSAVE_SECONDS shortens the minute) and on\n"
           "  SIGTERM or SIGINT, and offered back at the next start.\n"
           "\n"
           "Exit status: 0 when the run succeeded, 1 when something failed, 2 for a bad command line.\n";
}

int BadCommandLine(const std::string& message)
{
    std::cerr << "korvela: " << message << "\n" << Usage();
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> args(argv, argv + argc);
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (std::strcmp(args[i], "--help") == 0 || std::strcmp(args[i], "-h") == 0) {
            std::fputs(Usage().c_str(), stdout);
            return 0;
        }
        if (std::strcmp(args[i], "--version") == 0) {
            std::puts("korvela " KORVELA_VERSION);
            return 0;
        }
    }
    if (args.size() > 1 && std::strcmp(args[1], "--inspect-mesh") == 0) {
        // One JSON object on standard output; the exit code says whether the model loads.
        if (args.size() < 3) {
            std::puts("{\"ok\":false,\"error\":\"no file given\"}");
            return 1;
        }
        const model::MeshInspection report = model::InspectMesh(args[2]);
        std::puts(report.json.c_str());
        return report.ok ? 0 : 1;
    }

    // --lang is the program's own: taken out before the window or the headless run sees the rest.
    std::string language;
    for (std::size_t i = 1; i < args.size();) {
        const std::string_view arg = args[i];
        std::size_t used = 0;
        if (arg == "--lang") {
            if (i + 1 >= args.size()) return BadCommandLine("--lang needs ja or en");
            language = args[i + 1];
            used = 2;
        } else if (arg.starts_with("--lang=")) {
            language = std::string(arg.substr(7));
            used = 1;
        } else {
            ++i;
            continue;
        }
        if (!platform::IsLanguage(language)) return BadCommandLine("--lang " + language + ": say ja or en");
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i + used));
    }
    const int count = static_cast<int>(args.size());
    args.push_back(nullptr);

    try {
        app::StartLanguage(platform::ThisProgramFolders(), language, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "korvela: " << error.what() << "\n";
        return 1;
    }

    if (count > 1 && std::strcmp(args[1], "--headless") == 0) {
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
        return app::RunHeadless(count, args.data(), offscreen, writePng);
#else
        return app::RunHeadless(count, args.data(), {}, {});
#endif
    }
#ifdef KORVELA_WINDOWS
    front::WindowOptions window;
    for (int i = 1; i < count; ++i) {
        const std::string_view arg = args[static_cast<std::size_t>(i)];
        if (arg == "--report") {
            if (i + 1 >= count) return BadCommandLine("--report needs a file name");
            window.reportFile = args[static_cast<std::size_t>(++i)];
        } else if (arg.starts_with("--report=")) {
            window.reportFile = std::string(arg.substr(9));
            if (window.reportFile->empty()) return BadCommandLine("--report needs a file name");
        } else if (arg.size() > 1 && arg[0] == '-') {
            return BadCommandLine("unknown option " + std::string(arg));
        } else if (window.mapFile) {
            return BadCommandLine("one map file at most");
        } else {
            window.mapFile = std::string(arg);
        }
    }
    // The toolkit sees only the program's name.
    return front::RunWindowProgram(1, args.data(), window);
#else
    std::fputs("korvela: built without windows; use --headless\n", stderr);
    return 2;
#endif
}
