#include "app/Language.h"

#include "platform/Profile.h"
#include "platform/Translation.h"

#include <cstdlib>
#include <memory>
#include <ostream>

namespace app {

namespace {

constexpr std::size_t kValueBuffer = 256;

} // namespace

std::string CataloguePath(const platform::ProgramFolders& folders, std::string_view language)
{
    return folders.localeFolder + std::string(language) + "/LC_MESSAGES/korvela.mo";
}

std::string StartLanguage(const platform::ProgramFolders& folders, std::string_view override, std::ostream& errors)
{
    std::string wanted(override);
    if (wanted.empty())
        wanted = platform::Profile::ReadString(folders.settingsFile, folders.executableName, kLanguageKey, "",
                                               kValueBuffer);
    const std::string language =
        platform::ChooseLanguage(wanted, [](const char* name) { return std::getenv(name); });
    if (language == platform::kSourceLanguage) {
        platform::InstallLanguage(language, nullptr);
        return language;
    }
    auto catalogue = platform::Catalogue::ReadMo(CataloguePath(folders, language));
    if (!catalogue) {
        errors << "korvela: " << catalogue.error() << "; the texts stay Japanese\n";
        platform::InstallLanguage(std::string(platform::kSourceLanguage), nullptr);
        return std::string(platform::kSourceLanguage);
    }
    platform::InstallLanguage(language, std::make_shared<const platform::Catalogue>(*std::move(catalogue)));
    return language;
}

platform::Status StoreLanguage(const platform::ProgramFolders& folders, std::string_view language)
{
    platform::Profile profile(folders.settingsFile);
    if (auto set = profile.SetString(folders.executableName, kLanguageKey, language); !set) return set;
    return profile.Save();
}

} // namespace app
