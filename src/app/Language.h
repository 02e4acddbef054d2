// Which language the program speaks, chosen once at start-up: the --lang option, else the
// choice kept in the settings file, else the desktop's locale.
#pragma once

#include "platform/ProgramFolders.h"
#include "platform/Result.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace app {

// The settings file's key for the language chosen in the Help menu. The original program's
// readers never ask for it, so files stay readable both ways.
inline constexpr std::string_view kLanguageKey = "Language";

// Chooses the language (override: the --lang value, or empty) and installs its catalogue from
// folders.localeFolder. A missing or damaged catalogue is reported on errors and the program
// speaks the source language. Returns the language spoken.
std::string StartLanguage(const platform::ProgramFolders& folders, std::string_view override, std::ostream& errors);

// Keeps language in the settings file for the next start, keeping every other line.
platform::Status StoreLanguage(const platform::ProgramFolders& folders, std::string_view language);

// Where a language's compiled catalogue lies below the locale folder.
std::string CataloguePath(const platform::ProgramFolders& folders, std::string_view language);

} // namespace app
