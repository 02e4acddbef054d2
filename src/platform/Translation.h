// The user-interface language: a catalogue of translated texts read from a gettext .mo file,
// and the one hook the core's texts pass through where they leave for a window, a message box
// or a report. With no catalogue installed every text comes back as it is: Japanese, the source.
#pragma once

#include "platform/Result.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The languages the program speaks; Japanese is the source of every text.
inline constexpr std::string_view kSourceLanguage = "ja";
inline constexpr std::string_view kLanguages[] = {"ja", "en"};

class Catalogue {
  public:
    // Reads a compiled gettext catalogue (either byte order). Entries without a translation and
    // the header entry are left out.
    static Result<Catalogue> ReadMo(const std::string& path);

    void Add(std::string msgid, std::string msgstr);
    std::size_t Size() const { return entries_.size(); }

    // The translation of text: its own entry, else the first pattern entry that matches it
    // (msgids with "%s" standing for any non-empty part; the parts are translated in turn and
    // put in the msgstr's "%s" in order, or at "%1$s", "%2$s"...), else, for a text of several
    // lines, the longest leading lines that are an entry and the rest unchanged, else text
    // unchanged.
    std::string Translate(std::string_view text) const;

  private:
    std::string TranslateAt(std::string_view text, int depth) const;
    std::optional<std::string> MatchPattern(std::string_view pattern, std::string_view translation,
                                            std::string_view text, int depth) const;

    std::map<std::string, std::string, std::less<>> entries_;
    // Pattern msgids, the most specific (longest fixed text) first.
    std::vector<std::string> patterns_;
};

// The language and catalogue every Tr call uses from now on; a null catalogue speaks the source
// texts.
void InstallLanguage(std::string language, std::shared_ptr<const Catalogue> catalogue);
// The language installed last; the source language until then.
std::string CurrentLanguage();

// A user-visible text in the chosen language.
std::string Tr(std::string_view text);

// The language to speak: override when it is one of kLanguages, otherwise the desktop's choice
// read from LANGUAGE's list (its first entry we speak), then from the first of LC_ALL,
// LC_MESSAGES and LANG that is set. A locale of one of our languages picks it; any other real language picks English, the one most readers of
// other languages share; none, "C" or "POSIX" keeps the source language.
// getenv: the environment lookup (std::getenv in the program, a table in tests).
std::string ChooseLanguage(std::string_view override, const std::function<const char*(const char*)>& getenv);

// Whether name is one of kLanguages.
bool IsLanguage(std::string_view name);

} // namespace platform
