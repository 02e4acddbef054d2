// Writes the demo content into a program folder: the object folder with its meshes, guide
// meshes and .ini files and the ground, the train folder, the car, aeroplane and helicopter
// folders, the key-label bitmaps, and, only where they are not there yet, the settings file
// and the demo map (so that a rebuild never overwrites a user's settings or saved layout).
#pragma once

#include "platform/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace demo {

// Where things go, relative to the program folder.
namespace content {
inline constexpr std::string_view kObjectFolder = "objects/";
inline constexpr std::string_view kTrainFolder = "trains/";
inline constexpr std::string_view kCarFolder = "car/";
inline constexpr std::string_view kPlaneFolder = "plane/";
inline constexpr std::string_view kHelicopterFolder = "helicopter/";
inline constexpr std::string_view kLabelFolder = "res/";
inline constexpr std::string_view kDemoMap = "objects/demo.txt";
inline constexpr std::string_view kBackground = "ground";
inline constexpr std::string_view kGroundTexture = "ground.png";
} // namespace content

struct GeneratorOptions {
    std::string programFolder; // ends in '/'
    // The executable's base name: the settings file is named after it, and every .ini section
    // is written as kSection (which the program matches ignoring letter case).
    std::string executableName = "korvela";
    // Also the maximum layout (demo/MaxLayout.h): the copies of the object types that fill the
    // catalogue, the ground under all its tiles, its 16-car train and its map. The settings file
    // then opens that map and names the folders absolutely, so that any build of the program
    // runs it with --settings.
    bool maximum = false;
};

// Every .ini the generator writes uses this section.
inline constexpr std::string_view kSection = "KORVELA";

struct GeneratorReport {
    std::vector<std::string> written; // paths relative to the program folder
    std::vector<std::string> kept;    // the settings file and demo map, when already there
    double mainLoopLength = 0;
    double largestJointGap = 0;
    std::string fontFile;
};

platform::Result<GeneratorReport> GenerateContent(const GeneratorOptions& options);

} // namespace demo
