#include "front/LanguageMenu.h"

#include "app/Language.h"
#include "front/WxText.h"
#include "platform/DialogService.h"
#include "platform/ProgramFolders.h"
#include "platform/Translation.h"

#include <iterator>
#include <string>
#include <wx/frame.h>
#include <wx/menu.h>

namespace front {

namespace {

// Each language by its own name, so that a user who cannot read the current one finds theirs.
struct LanguageItem {
    const char* language;
    const char* name;
};
constexpr LanguageItem kItems[] = {{"ja", "日本語"}, {"en", "English"}};

// Said in both languages: the user has just chosen the one they read.
constexpr const char* kNextStartNote = "表示の言語は、次回の起動から切り替わります。\n"
                                       "The language changes the next time KORVELA starts.";

} // namespace

void AddLanguageMenu(wxFrame& frame, wxMenuBar& bar, int helpItemId, platform::DialogService& dialogs)
{
    wxMenu* help = nullptr;
    if (!bar.FindItem(helpItemId, &help) || !help) return;
    auto* languages = new wxMenu;
    const std::string current = platform::CurrentLanguage();
    for (const LanguageItem& item : kItems) {
        const wxWindowID id = wxWindow::NewControlId();
        languages->AppendRadioItem(id, Wx(item.name))->Check(current == item.language);
        const std::string language = item.language;
        frame.Bind(
            wxEVT_MENU,
            [&dialogs, language](wxCommandEvent&) {
                const platform::Status stored = app::StoreLanguage(platform::ThisProgramFolders(), language);
                platform::MessageRequest note{.text = kNextStartNote};
                if (!stored) {
                    note.text = stored.error();
                    note.icon = platform::MessageIcon::Error;
                }
                dialogs.ShowMessage(note);
            },
            id);
    }
    help->AppendSeparator();
    help->AppendSubMenu(languages, Wx("言語 / Language"));
}

} // namespace front
