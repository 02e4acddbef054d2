#include "front/ViewerWindow.h"

#include "front/WxText.h"

#include <algorithm>
#include <wx/sizer.h>
#include <wx/textctrl.h>

namespace front {

namespace {

constexpr int kMargin = 8;

wxTextAttr Attributes(const ui::RichTextStyle& style, const wxFont& base)
{
    wxFont font = base;
    font.SetPointSize(std::max(6, style.halfPoints / 2));
    font.SetWeight(style.bold ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
    font.SetStyle(style.italic ? wxFONTSTYLE_ITALIC : wxFONTSTYLE_NORMAL);
    font.SetUnderlined(style.underline);
    wxTextAttr attributes;
    attributes.SetFont(font);
    if (style.colour)
        attributes.SetTextColour(wxColour(style.colour->red, style.colour->green, style.colour->blue));
    return attributes;
}

} // namespace

ViewerWindow::ViewerWindow(wxWindow* parent, app::CMessage& viewer)
    : wxDialog(parent, wxID_ANY, Tx(viewer.Title()), wxDefaultPosition, wxSize(560, 420),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      viewer_(viewer)
{
    text_ = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                           wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2 | wxTE_NOHIDESEL | wxTE_WORDWRAP);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(text_, 1, wxEXPAND | wxALL, kMargin);
    SetSizer(sizer);
    SetMinSize(wxSize(200, 120));

    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        if (!event.CanVeto()) {
            event.Skip();
            return;
        }
        viewer_.Hide();
    });
    // Escape puts the viewer away, as the modeless dialogs do.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE) {
            viewer_.Hide();
            return;
        }
        event.Skip();
    });
    viewer_.SetObserver([this](const app::CMessage&) { Follow(); });
    Follow();
}

ViewerWindow::~ViewerWindow()
{
    viewer_.SetObserver({});
}

void ViewerWindow::Follow()
{
    if (viewer_.DocumentRevision() != shownRevision_) {
        shownRevision_ = viewer_.DocumentRevision();
        ShowDocument(viewer_.Document());
    }
    // A viewer is read beside the work, not typed into: shown, it leaves the keyboard where it
    // was (at start-up the Start button keeps it, so that Enter starts).
    if (viewer_.IsVisible() && !IsShown())
        ShowWithoutActivating();
    else if (!viewer_.IsVisible() && IsShown())
        Hide();
    if (viewer_.IsVisible()) Raise();
}

void ViewerWindow::ShowDocument(const ui::RichTextDocument& document)
{
    text_->Freeze();
    text_->Clear();
    const wxFont base = text_->GetFont();
    bool firstParagraph = true;
    for (const auto& paragraph : document.paragraphs) {
        if (!firstParagraph) text_->AppendText("\n");
        firstParagraph = false;
        for (const auto& run : paragraph.runs) {
            const long start = text_->GetLastPosition();
            text_->AppendText(Wx(run.text));
            text_->SetStyle(start, text_->GetLastPosition(), Attributes(run.style, base));
        }
    }
    text_->SetInsertionPoint(0);
    text_->ShowPosition(0);
    text_->Thaw();
}

} // namespace front
