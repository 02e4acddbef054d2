#include "front/WxDialogService.h"

#include "front/ToolIcons.h"
#include "front/WxText.h"
#include "platform/Paths.h"
#include "ui/CommandIds.h"

#include <algorithm>
#include <wx/clipbrd.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/utils.h>
// The generic box needs the message dialog base, which WxDialogService.h brings in.
#include <wx/generic/msgdlgg.h>

namespace front {

namespace {

// "description|*.a;*.b|..." as the chooser's wildcard.
wxString Wildcard(const std::vector<platform::FileFilter>& filters)
{
    wxString wildcard;
    for (const auto& filter : filters) {
        wxString patterns;
        for (const auto& pattern : filter.patterns) {
            if (!patterns.empty()) patterns += ';';
            patterns += Wx(pattern);
        }
        if (!wildcard.empty()) wildcard += '|';
        wildcard += Wx(filter.description) + '|' + patterns;
    }
    return wildcard.empty() ? wxString(wxFileSelectorDefaultWildcardStr) : wildcard;
}

long IconStyle(platform::MessageIcon icon)
{
    switch (icon) {
    case platform::MessageIcon::Information:
        return wxICON_INFORMATION;
    case platform::MessageIcon::Warning:
        return wxICON_WARNING;
    case platform::MessageIcon::Error:
        return wxICON_ERROR;
    case platform::MessageIcon::None:
    case platform::MessageIcon::Program:
        break;
    }
    // No icon bit at all: the generic box takes wxICON_NONE for an unknown icon and shows the
    // error sign.
    return 0;
}

// The About box: the program's icon beside its name and version (the text's first line, in
// bold) and the rest of the text; OK, Enter and Escape close it.
class AboutBox final : public wxDialog {
  public:
    AboutBox(wxWindow* owner, const platform::MessageRequest& request)
        : wxDialog(owner, wxID_ANY, request.caption.empty() ? wxString("KORVELA") : Wx(request.caption))
    {
        const std::string& text = request.text;
        const std::size_t lineEnd = text.find('\n');
        auto* heading = new wxStaticText(this, wxID_ANY, Wx(text.substr(0, lineEnd)));
        heading->SetFont(heading->GetFont().Bold().Larger());
        auto* words = new wxBoxSizer(wxVERTICAL);
        words->Add(heading, 0, wxBOTTOM, 6);
        if (lineEnd != std::string::npos)
            words->Add(new wxStaticText(this, wxID_ANY, Wx(text.substr(lineEnd + 1))));

        // The tool-bar picture the main window also takes as its icon, drawn three times larger.
        const wxImage picture = ToolIcon(ui::cmd::kToolMoveTrain)
                                    .ConvertToImage()
                                    .Scale(kToolIconSize * 3, kToolIconSize * 3, wxIMAGE_QUALITY_NEAREST);
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(new wxStaticBitmap(this, wxID_ANY, wxBitmap(picture)), 0, wxRIGHT, 12);
        row->Add(words, 1, wxALIGN_CENTER_VERTICAL);

        auto* all = new wxBoxSizer(wxVERTICAL);
        all->Add(row, 0, wxALL, 12);
        all->Add(CreateButtonSizer(wxOK), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
        SetSizerAndFit(all);
        SetEscapeId(wxID_OK);
        if (wxWindow* ok = FindWindow(wxID_OK)) ok->SetFocus();
        CentreOnParent();
    }
};

} // namespace

void WxDialogService::SetOwnerWindow(int owner, wxWindow* window)
{
    owners_[owner] = window;
}

wxWindow* WxDialogService::Owner(int owner) const
{
    for (const int id : {owner, platform::kNoOwner}) {
        const auto found = owners_.find(id);
        // A hidden owner would leave its box hidden behind it on some desktops.
        if (found != owners_.end() && found->second && found->second->IsShown()) return found->second;
    }
    const auto main = owners_.find(platform::kNoOwner);
    return main != owners_.end() ? main->second.get() : nullptr;
}

int WxDialogService::RunModal(wxDialog& dialog)
{
    open_.push_back(&dialog);
    // Once shown, the box goes on top of the program's other windows (a viewer opened just
    // before would otherwise cover it where no window manager orders them).
    dialog.CallAfter([&dialog] { dialog.Raise(); });
    const int result = dialog.ShowModal();
    open_.erase(std::remove(open_.begin(), open_.end(), &dialog), open_.end());
    return result;
}

void WxDialogService::CancelAll()
{
    for (wxDialog* dialog : open_) {
        if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
    }
}

platform::MessageAnswer WxDialogService::DoShowMessage(const platform::MessageRequest& request)
{
    messages_.push_back(request.text);
    if (request.icon == platform::MessageIcon::Program) {
        AboutBox about(Owner(request.owner), request);
        RunModal(about);
        return platform::MessageAnswer::Ok;
    }
    long style = IconStyle(request.icon) | wxCENTRE;
    switch (request.buttons) {
    case platform::MessageButtons::Ok:
        style |= wxOK;
        break;
    case platform::MessageButtons::OkCancel:
        style |= wxOK | wxCANCEL;
        break;
    case platform::MessageButtons::YesNo:
        style |= wxYES_NO;
        if (request.secondIsDefault) style |= wxNO_DEFAULT;
        break;
    case platform::MessageButtons::YesNoCancel:
        style |= wxYES_NO | wxCANCEL;
        if (request.secondIsDefault) style |= wxNO_DEFAULT;
        break;
    }
    // The generic box runs in wx's own modal loop, so a close request can end it.
    wxGenericMessageDialog box(Owner(request.owner), Wx(request.text),
                               request.caption.empty() ? wxString("KORVELA") : Wx(request.caption), style);
    const std::vector<std::string>& labels = request.labels;
    if (request.buttons == platform::MessageButtons::YesNoCancel && labels.size() == 3)
        box.SetYesNoCancelLabels(Wx(labels[0]), Wx(labels[1]), Wx(labels[2]));
    else if (request.buttons == platform::MessageButtons::YesNo && labels.size() == 2)
        box.SetYesNoLabels(Wx(labels[0]), Wx(labels[1]));
    switch (RunModal(box)) {
    case wxID_YES:
        return platform::MessageAnswer::Yes;
    case wxID_NO:
        return platform::MessageAnswer::No;
    case wxID_OK:
        return platform::MessageAnswer::Ok;
    default:
        break;
    }
    // Closing the box is no answer: a question with a cancel button is cancelled.
    return request.buttons == platform::MessageButtons::YesNo ? platform::MessageAnswer::No
                                                              : platform::MessageAnswer::Cancel;
}

std::optional<std::string> WxDialogService::ChooseFile(const platform::FileRequest& request, bool save)
{
    const platform::PathParts initial = platform::SplitPath(request.initialFile);
    long style = save ? wxFD_SAVE : wxFD_OPEN;
    if (request.options.fileMustExist && !save) style |= wxFD_FILE_MUST_EXIST;
    if (request.options.overwritePrompt && save) style |= wxFD_OVERWRITE_PROMPT;
    // Without wxFD_CHANGE_DIR the working folder stays as it is, whatever the options ask.
    wxFileDialog chooser(Owner(request.owner), Wx(request.title), Wx(initial.folder),
                         Wx(initial.name + initial.extension), Wildcard(request.filters), style);
    if (RunModal(chooser) != wxID_OK) return std::nullopt;
    std::string path = Utf8(chooser.GetPath());
    if (path.empty()) return std::nullopt;
    // A name typed without an extension takes the chosen filter's ("*.svg"), else the default.
    std::string extension = request.defaultExtension;
    const int filter = chooser.GetFilterIndex();
    if (filter >= 0 && static_cast<std::size_t>(filter) < request.filters.size()) {
        const std::vector<std::string>& patterns = request.filters[static_cast<std::size_t>(filter)].patterns;
        if (!patterns.empty() && patterns.front().starts_with("*.") &&
            patterns.front().find_first_of("*?", 1) == std::string::npos)
            extension = patterns.front().substr(1);
    }
    if (!extension.empty() && platform::SplitPath(path).extension.empty()) {
        if (extension.front() != '.') path += '.';
        path += extension;
    }
    return path;
}

std::optional<std::string> WxDialogService::DoChooseFileToOpen(const platform::FileRequest& request)
{
    return ChooseFile(request, false);
}

std::optional<std::string> WxDialogService::DoChooseFileToSave(const platform::FileRequest& request)
{
    return ChooseFile(request, true);
}

std::optional<std::string> WxDialogService::DoChooseFolder(const platform::FolderRequest& request)
{
    wxDirDialog chooser(Owner(request.owner), Wx(request.title), Wx(request.startFolder),
                        wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (RunModal(chooser) != wxID_OK) return std::nullopt;
    const std::string folder = Utf8(chooser.GetPath());
    if (folder.empty()) return std::nullopt;
    return folder;
}

bool WxDialogService::DoOpenAddress(const std::string& address)
{
    return wxLaunchDefaultBrowser(Wx(address));
}

bool WxDialogService::DoCopyText(const std::string& text)
{
    wxClipboardLocker open;
    if (!open) return false;
    // The text stays on the clipboard after the program ends, where the desktop keeps it.
    const bool copied = wxTheClipboard->SetData(new wxTextDataObject(Wx(text)));
    wxTheClipboard->Flush();
    return copied;
}

} // namespace front
