// The demo content, generated once per test run into a scratch program folder.
#pragma once

#include "common/TestSupport.h"
#include "demo/ContentGenerator.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace demotest {

struct GeneratedContent {
    testsupport::TempDir dir;
    std::string root; // ends in '/'
    std::string error;
    demo::GeneratorReport report;
};

// The content of the first call; error is set when generating failed.
inline const GeneratedContent& Content()
{
    static const std::unique_ptr<GeneratedContent> content = [] {
        auto made = std::make_unique<GeneratedContent>();
        made->root = made->dir.Path().string() + "/";
        const platform::Result<demo::GeneratorReport> report = demo::GenerateContent({made->root, "korvela"});
        if (report)
            made->report = *report;
        else
            made->error = report.error();
        return made;
    }();
    return *content;
}

// Every file below the program folder with that extension, as paths.
inline std::vector<std::filesystem::path> FilesWithExtension(const std::string& extension)
{
    std::vector<std::filesystem::path> out;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Content().dir.Path()))
        if (entry.is_regular_file() && entry.path().extension() == extension) out.push_back(entry.path());
    return out;
}

// The section the program reads: its base name, which the files' "KORVELA" matches ignoring case.
inline constexpr const char* kProgramSection = "korvela";

} // namespace demotest

#define DEMO_REQUIRE_CONTENT() ASSERT_TRUE(::demotest::Content().error.empty()) << ::demotest::Content().error
