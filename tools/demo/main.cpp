// korvela_demo: writes the demo content into the program folder.
//   korvela_demo --out FOLDER [--name EXECUTABLE_NAME]
//   korvela_demo --max FOLDER [--name EXECUTABLE_NAME]
// --max writes the same content and the largest layout the program takes (200 object types,
// 2000 placed objects, six trains of 16 cars), with a settings file that opens it.
#include "demo/ContentGenerator.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    demo::GeneratorOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc)
            options.programFolder = argv[++i];
        else if (std::strcmp(argv[i], "--max") == 0 && i + 1 < argc) {
            options.programFolder = argv[++i];
            options.maximum = true;
        } else if (std::strcmp(argv[i], "--name") == 0 && i + 1 < argc)
            options.executableName = argv[++i];
        else {
            std::fprintf(stderr, "usage: korvela_demo --out FOLDER | --max FOLDER [--name EXECUTABLE_NAME]\n");
            return 2;
        }
    }
    if (options.programFolder.empty()) {
        std::fprintf(stderr, "korvela_demo: no --out or --max folder given\n");
        return 2;
    }
    const platform::Result<demo::GeneratorReport> report = demo::GenerateContent(options);
    if (!report) {
        std::fprintf(stderr, "korvela_demo: %s\n", report.error().c_str());
        return 1;
    }
    std::printf("korvela_demo: %zu files written to %s (main loop %.1f units, largest joint gap %.6f)\n",
                report->written.size(), options.programFolder.c_str(), report->mainLoopLength,
                report->largestJointGap);
    for (const std::string& kept : report->kept)
        std::printf("korvela_demo: kept the existing %s\n", kept.c_str());
    return 0;
}
