#include "front/MainFrame.h"

#include "app/CSimulatorApp.h"
#include "app/script/RunObserver.h"
#include "front/CanvasGl.h"
#include "front/DialogPlacement.h"
#include "front/FramePosition.h"
#include "front/GlxSwap.h"
#include "front/LanguageMenu.h"
#include "front/MenuKeyLabels.h"
#include "front/ModelDialog.h"
#include "front/MouseTracker.h"
#include "front/RenderCanvas.h"
#include "front/SignalWatch.h"
#include "front/ToolIcons.h"
#include "front/ViewerWindow.h"
#include "front/WxDialogService.h"
#include "front/WxText.h"
#include "gfx/gl/GlDevice.h"
#include "platform/KeyState.h"
#include "platform/SafeFile.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIdMap.h"
#include "ui/CommandIds.h"
#include "ui/LayoutCheckTemplate.h"
#include "ui/ObjectSelectTemplate.h"
#include "ui/OperationTemplate.h"
#include "ui/PlanTemplates.h"
#include "ui/SetUpTemplate.h"
#include "ui/WindowTemplates.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <utility>
#include <wx/accel.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/icon.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/textentry.h>
#include <wx/toolbar.h>

namespace front {

namespace {

namespace cmd = ui::cmd;

constexpr int kPollMilliseconds = 100;
// How long a newly shown window is held to the place the program gave it.
constexpr int kSettleMilliseconds = 1500;
// A window not mapped yet is waited for this long at most before its hold begins.
constexpr int kMapWaitMilliseconds = 10000;
// How long after start-up the main window keeps its least size.
constexpr int kMinSizeHoldMilliseconds = 20000;
// The main window's size at start-up.
const wxSize kMainSize(1024, 768);
// How long start-up waits for the window manager to map the window.
constexpr int kViewWaitSeconds = 30;
constexpr int kStatusPanes = ui::StatusBarModel::kPaneCount;
// Room a status pane needs beside its text: the pane's border and the text's inset.
constexpr int kStatusTextPadding = 16;
constexpr int kModelBoxWidth = 110;
constexpr int kDriveKeysBoxWidth = 80;
// A work area lower than this lays the object dialog out compactly: the full dialog, the main
// window's bars above it and its title bar need about this much.
constexpr int kLowScreenHeight = 900;

int FrontId(int commandId)
{
    return ui::CommandIdMap::Main().ToFront(commandId).value_or(wxID_ANY);
}

DialogLayoutHints SetUpLayout()
{
    namespace su = ui::setup;
    DialogLayoutHints hints;
    hints.columns = 3;
    hints.minSizes[su::kPositionList] = wxSize(120, 190);
    hints.minSizes[su::kViewPointList] = wxSize(120, 190);
    // The model boxes keep one width whatever the names of the loaded models: a long train name
    // would otherwise widen the whole dialog until the object dialog no longer fits beside it.
    for (const int box : {su::kPlaneModel, su::kHelicopterModel, su::kCarModel})
        hints.minSizes[box] = wxSize(kModelBoxWidth, -1);
    for (const int box : su::kTrainModel)
        hints.minSizes[box] = wxSize(kModelBoxWidth, -1);
    for (const int box : su::kDriveType)
        hints.minSizes[box] = wxSize(kDriveKeysBoxWidth, -1);
    return hints;
}

DialogLayoutHints ObjectSelectLayout(const wxRect& workArea)
{
    // One narrow column: beside the settings dialog it still fits a 1280-pixel screen.
    DialogLayoutHints hints;
    hints.columns = 1;
    hints.resizable = true;
    hints.minSizes[ui::objsel::kPreview] = wxSize(220, 160);
    hints.minSizes[ui::objsel::kPlacedList] = wxSize(-1, 140);
    // On a low screen (1280x720) the full column is taller than the room below the main window's
    // bars: the move boxes go two to a line, the preview and the list's least height shrink.
    if (workArea.height < kLowScreenHeight) {
        hints.pairsPerLine = 2;
        hints.minSizes[ui::objsel::kPreview] = wxSize(220, 110);
        hints.minSizes[ui::objsel::kPlacedList] = wxSize(-1, 90);
    }
    return hints;
}

// A result window: one column of controls over a list view that grows with the window.
DialogLayoutHints ListWindowLayout(int list, wxSize minimum)
{
    DialogLayoutHints hints;
    hints.columns = 1;
    hints.resizable = true;
    hints.minSizes[list] = minimum;
    return hints;
}

DialogLayoutHints OperationLayout()
{
    DialogLayoutHints hints = ListWindowLayout(ui::operation::kSlots, wxSize(520, 150));
    // The boxes side by side keep the window low, so that it leaves the view in sight.
    hints.columns = 2;
    hints.minSizes[ui::operation::kStops] = wxSize(520, 90);
    return hints;
}

DialogLayoutHints LayoutCheckLayout()
{
    return ListWindowLayout(ui::check::kFindings, wxSize(460, 160));
}

DialogLayoutHints PlanExportLayout()
{
    DialogLayoutHints hints;
    hints.columns = 2;
    hints.minSizes[ui::planexport::kFile] = wxSize(260, -1);
    return hints;
}

} // namespace

MainFrame::MainFrame(const FrontServices& services)
    : wxFrame(nullptr, wxID_ANY, Wx(services.app.MainDlg().Window().Title()), wxDefaultPosition, kMainSize),
      services_(services), app_(services.app), timer_(this)
{
    // The program's icon, for the window list and the task bar.
    wxIcon icon;
    icon.CopyFromBitmap(ToolIcon(cmd::kToolMoveTrain));
    SetIcon(icon);

    // At the top left of the screen's free area, where a window manager would otherwise choose
    // any place; the other windows are placed around it.
    Move(wxDisplay(this).GetClientArea().GetPosition());
    // Until start-up has settled the main window keeps at least its first size (or the screen's,
    // where that is smaller): under openbox the toolkit has been seen to give it only its menu and
    // tool bar while the frame was made, now and then for good. Released after start-up.
    const wxRect area = wxDisplay(this).GetClientArea();
    SetMinSize(wxSize(std::min(kMainSize.x, area.width), std::min(kMainSize.y, area.height)));

    BuildMenu();
    BuildToolBar();
    BuildStatusBar();

    canvas_ = new RenderCanvas(this);
    canvas_->SetPaintHandler([this] {
        if (startPending_)
            CallAfter([this] { TryStartUp(); });
        else
            app_.Paint();
    });
    canvas_->SetMouseHandler([this](wxMouseEvent& event) { OnViewMouse(event); });
    canvas_->SetCaptureLostHandler([this] { ReleaseMouseButtons(); });
    // Laying track: Tab makes the next open end current, Space turns the piece just attached.
    canvas_->SetKeyHandler([this](wxKeyEvent& event) {
        if (closing_ || event.HasAnyModifiers()) return false;
        if (event.GetKeyCode() == WXK_TAB) return app_.OnViewKey(platform::vk::kTab);
        if (event.GetKeyCode() == WXK_SPACE) return app_.OnViewKey(platform::vk::kSpace);
        return false;
    });

    BuildDialogs();

    // The edit menu's keys: Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo, Ctrl+L checks the layout,
    // Insert attaches the next piece (with Shift the other way round); the file menu's Ctrl+O,
    // Ctrl+S, Ctrl+Shift+S and Ctrl+Q; Ctrl+Home shows the whole layout.
    wxAcceleratorEntry editKeys[] = {{wxACCEL_CTRL, 'Z', FrontId(ui::cmd::kUndo)},
                                     {wxACCEL_CTRL, 'Y', FrontId(ui::cmd::kRedo)},
                                     {wxACCEL_CTRL | wxACCEL_SHIFT, 'Z', FrontId(ui::cmd::kRedo)},
                                     {wxACCEL_CTRL, 'L', FrontId(ui::cmd::kLayoutCheck)},
                                     {wxACCEL_NORMAL, WXK_INSERT, FrontId(ui::cmd::kAttach)},
                                     {wxACCEL_SHIFT, WXK_INSERT, FrontId(ui::cmd::kAttach)},
                                     {wxACCEL_CTRL, 'O', FrontId(ui::cmd::kLoadMap)},
                                     {wxACCEL_CTRL, 'S', FrontId(ui::cmd::kSaveOver)},
                                     {wxACCEL_CTRL | wxACCEL_SHIFT, 'S', FrontId(ui::cmd::kSaveMap)},
                                     {wxACCEL_CTRL, 'Q', FrontId(ui::cmd::kQuit)},
                                     {wxACCEL_CTRL, WXK_HOME, FrontId(ui::cmd::kWholeLayout)}};
    SetAcceleratorTable(wxAcceleratorTable(std::size(editKeys), editKeys));

    Bind(wxEVT_SIZE, &MainFrame::OnSize, this);
    // The view becomes ready when the window manager maps the window and gives it its size.
    const auto retryStartUp = [this](wxEvent& event) {
        event.Skip();
        if (startPending_) CallAfter([this] { TryStartUp(); });
    };
    canvas_->Bind(wxEVT_SHOW, retryStartUp);
    canvas_->Bind(wxEVT_SIZE, retryStartUp);
    Bind(wxEVT_MENU, &MainFrame::OnMenuOrTool, this);
    Bind(wxEVT_CLOSE_WINDOW, &MainFrame::OnCloseWindow, this);
    Bind(wxEVT_TIMER, &MainFrame::OnTimer, this);
    timer_.Start(kPollMilliseconds);

    app::CMainDlg& main = app_.MainDlg();
    main.Menu().SetObserver([this](int id) { SyncMenuItem(id); });
    main.ToolBar().SetObserver([this](int id) { SyncTool(id); });
    main.StatusBar().SetObserver([this](int pane) { SyncStatusPane(pane); });
    main.Window().SetObserver([this](int id) {
        if (id == ui::mainwin::kStart) SyncStartButton();
        if (id == ui::DialogModel::kWindowId) SetTitle(Wx(app_.MainDlg().Window().Title()));
    });
    UpdateLayout();
}

MainFrame::~MainFrame()
{
    app_.SetPassHook({});
    app::CMainDlg& main = app_.MainDlg();
    main.Menu().SetObserver({});
    main.ToolBar().SetObserver({});
    main.StatusBar().SetObserver({});
    main.Window().SetObserver({});
}

void MainFrame::BuildMenu()
{
    const ui::MenuModel& model = app_.MainDlg().Menu();
    auto* bar = new wxMenuBar;
    for (int popup = 0; popup < model.PopupCount(); ++popup) {
        auto* menu = new wxMenu;
        for (int position = 0; position < model.ItemCount(popup); ++position) {
            const int id = model.ItemId(popup, position);
            const std::string& submenu = model.Submenu(id);
            if (!submenu.empty()) {
                // The sub-menu stands where its first item does, and is filled from the model.
                if (!submenus_.contains(submenu)) {
                    submenus_[submenu] = {new wxMenu, popup};
                    menu->AppendSubMenu(submenus_[submenu].menu, Tx(submenu));
                    FillSubmenu(submenu);
                }
                continue;
            }
            // The text without its key name: "\tF3" would make the key an accelerator.
            menu->Append(FrontId(id), Tx(model.BaseText(id) + model.Suffix(id)));
        }
        bar->Append(menu, Tx(model.PopupTitle(popup)));
    }
    AddLanguageMenu(*this, *bar, FrontId(cmd::kHelp), services_.dialogs);
    SetMenuBar(bar);
    for (const int id : model.Ids()) {
        wxMenuItem* item = bar->FindItem(FrontId(id));
        // An empty sub-menu item is not there.
        if (!item) continue;
        ShowKeyLabel(*item, model.KeyLabel(id));
        item->Enable(model.IsEnabled(id));
    }
}

void MainFrame::BuildToolBar()
{
    const ui::ToolBarModel& model = app_.MainDlg().ToolBar();
    wxToolBar* bar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT);
    bar->SetToolBitmapSize(wxSize(kToolIconSize, kToolIconSize));
    for (int slot = 0; slot < model.SlotCount(); ++slot) {
        const ui::ToolSlotTemplate& tool = model.Slot(slot);
        if (tool.kind == ui::ToolKind::Separator) {
            bar->AddSeparator();
            continue;
        }
        // Group buttons are check tools too: the model keeps the group, and the toolkit's radio
        // tools could not show a group with nothing pressed.
        const wxItemKind kind = tool.kind == ui::ToolKind::Button ? wxITEM_NORMAL : wxITEM_CHECK;
        bar->AddTool(FrontId(tool.id), "", ToolIcon(tool.id), Tx(tool.toolTip), kind);
    }
    bar->AddStretchableSpace();
    const ui::DialogModel& window = app_.MainDlg().Window();
    // As narrow as its text: the bar must keep it in sight in a window of the default width.
    start_ = new wxButton(bar, wxID_ANY, Tx(window.Text(ui::mainwin::kStart)), wxDefaultPosition,
                          wxDefaultSize, wxBU_EXACTFIT);
    start_->Bind(wxEVT_BUTTON, &MainFrame::OnStart, this);
    // Enter in the main window presses Start, wherever its keyboard focus is: a window manager
    // may give the window back its focus without the button's.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        const int code = event.GetKeyCode();
        if (start_ && start_->IsShown() && !event.HasAnyModifiers() &&
            (code == WXK_RETURN || code == WXK_NUMPAD_ENTER)) {
            wxCommandEvent press(wxEVT_BUTTON, start_->GetId());
            OnStart(press);
            return;
        }
        event.Skip();
    });
    bar->AddControl(start_);
    bar->Realize();
    for (int slot = 0; slot < model.SlotCount(); ++slot) {
        if (model.IdAt(slot) != 0) SyncTool(model.IdAt(slot));
    }
    SyncStartButton();
}

void MainFrame::BuildStatusBar()
{
    CreateStatusBar(kStatusPanes);
    // Panes 1 to 3 are at least their design width and as wide as the widest text each can
    // show in the toolkit's font, measured once, so that no text is cut.
    wxStatusBar* bar = GetStatusBar();
    int widths[kStatusPanes];
    for (int pane = 0; pane < kStatusPanes; ++pane) {
        int width = ui::StatusBarModel::kWidths[static_cast<std::size_t>(pane)];
        widths[pane] = width;
        if (width == ui::StatusBarModel::kStretch) continue;
        int text = 0;
        for (const std::string& shown : app::CSetUp::PaneTexts(pane))
            text = std::max(text, bar->GetTextExtent(Tx(shown)).x);
        // The last pane shares its right end with the size grip, a square about as high as the
        // bar (the bar has no size of its own yet).
        if (pane == kStatusPanes - 1) text += bar->GetCharHeight() + kStatusTextPadding;
        width = std::max(width, text + kStatusTextPadding);
        widths[pane] = width;
    }
    SetStatusWidths(kStatusPanes, widths);
    for (int pane = 0; pane < kStatusPanes; ++pane)
        SyncStatusPane(pane);
}

void MainFrame::BuildDialogs()
{
    app::CSetUp& setUp = app_.SetUp();
    setUpDialog_ = new ModelDialog(this, setUp.Model(), SetUpLayout());
    setUpDialog_->SetControlHandler([&setUp](const ControlInput& input) {
        switch (input.kind) {
        case ControlInput::Kind::Click:
            setUp.Click(input.id);
            break;
        case ControlInput::Kind::Select:
            setUp.SelectItem(input.id, input.value);
            break;
        case ControlInput::Kind::Scroll:
            setUp.ScrollSlider(input.id, input.value);
            break;
        default:
            ApplyToModel(setUp.Model(), input);
            break;
        }
    });

    app::CObjectSelect& objects = app_.ObjectSelect();
    objectDialog_ =
        new ModelDialog(this, objects.Model(), ObjectSelectLayout(wxDisplay(this).GetClientArea()),
                        [this](wxWindow* parent, int id) -> wxWindow* {
                            if (id != ui::objsel::kPreview) return nullptr;
                            preview_ = new RenderCanvas(parent);
                            preview_->SetPaintHandler([this] { RenderPreview(); });
                            preview_->SetMouseHandler([this](wxMouseEvent& event) { OnPreviewMouse(event); });
                            preview_->SetCaptureLostHandler([this] { ReleaseMouseButtons(); });
                            return preview_;
                        });
    objectDialog_->SetControlHandler([&objects](const ControlInput& input) {
        using Kind = ControlInput::Kind;
        switch (input.kind) {
        case Kind::Click:
            objects.Click(input.id);
            break;
        case Kind::Select:
            if (input.id == ui::objsel::kCatalogue)
                objects.SelectCatalogue(input.value);
            else
                ApplyToModel(objects.Model(), input);
            break;
        case Kind::Text:
            objects.OnEditText(input.id, input.text);
            break;
        case Kind::ListSelection:
            objects.OnListSelection(input.rows);
            break;
        case Kind::ListRowClick:
            objects.OnRowClick(input.value);
            break;
        case Kind::ListColumnClick:
            objects.OnColumnClick(input.value);
            break;
        case Kind::ListKey:
            objects.OnListKey(input.value, input.shift, input.ctrl);
            break;
        default:
            ApplyToModel(objects.Model(), input);
            break;
        }
    });
    objectDialog_->SetWidestTexts(ui::objsel::kPlacedList, [&objects] { return objects.WidestTexts(); });
    // Moving over the dialog keeps the preview up to date while the preview camera turns; the
    // wheel steps through the catalogue.
    objectDialog_->Bind(wxEVT_MOTION, [this](wxMouseEvent& event) {
        if (started_ && !closing_) app_.ObjectSelect().OnMouseMove();
        event.Skip();
    });
    objectDialog_->Bind(wxEVT_MOUSEWHEEL, [this](wxMouseEvent& event) { ObjectDialogWheel(event); });

    app::CLayoutCheck& check = app_.LayoutCheck();
    checkDialog_ = new ModelDialog(this, check.Dialog(), LayoutCheckLayout());
    checkDialog_->SetControlHandler([this, &check](const ControlInput& input) {
        switch (input.kind) {
        case ControlInput::Kind::Click:
            app_.OnLayoutCheckClick(input.id);
            break;
        case ControlInput::Kind::ListRowClick:
            app_.OnLayoutCheckRow(input.value);
            break;
        default:
            ApplyToModel(check.Dialog(), input);
            break;
        }
    });

    app::COperationWindow& operation = app_.OperationWindow();
    operationDialog_ = new ModelDialog(this, operation.Dialog(), OperationLayout());
    operationDialog_->SetControlHandler([this, &operation](const ControlInput& input) {
        switch (input.kind) {
        case ControlInput::Kind::Click:
            ApplyToModel(operation.Dialog(), input);
            app_.OnOperationWindowClick(input.id);
            break;
        case ControlInput::Kind::ListRowClick:
            app_.OnOperationWindowRow(input.id, input.value);
            break;
        default:
            ApplyToModel(operation.Dialog(), input);
            break;
        }
    });

    BuildPlanDialogs();

    if (app::MessageViewers* viewers = app_.OwnViewers()) {
        helpViewer_ = new ViewerWindow(this, viewers->Help());
        messagesViewer_ = new ViewerWindow(this, viewers->Messages());
    }

    WxDialogService& dialogs = services_.dialogs;
    dialogs.SetOwnerWindow(platform::kNoOwner, this);
    dialogs.SetOwnerWindow(ui::mainwin::kDialogId, this);
    dialogs.SetOwnerWindow(ui::setup::kDialogId, setUpDialog_);
    dialogs.SetOwnerWindow(ui::objsel::kDialogId, objectDialog_);
    dialogs.SetOwnerWindow(ui::check::kDialogId, checkDialog_);
    dialogs.SetOwnerWindow(ui::operation::kDialogId, operationDialog_);
    dialogs.SetOwnerWindow(ui::partslist::kDialogId, partsDialog_);
    dialogs.SetOwnerWindow(ui::planexport::kDialogId, planDialog_);
    if (messagesViewer_) dialogs.SetOwnerWindow(ui::viewer::kDialogId, messagesViewer_);
    // The toolkit knows the full size of the check window and the messages viewer only once they
    // are shown (and a window manager may put them elsewhere while it maps them), so they are
    // placed again then, once each, where the main window is by then.
    // The object dialog likewise, beside the settings dialog as it stands then.
    // Shown again, each is held where it stood when it was hidden: a window manager may place a
    // window anew each time it maps it (openbox where it overlaps least).
    struct Placement {
        bool placed = false;
        std::optional<wxPoint> hiddenAt;
    };
    const auto hidden = [](wxTopLevelWindow* window, Placement& placement) {
        if (placement.placed) placement.hiddenAt = window->GetPosition();
    };
    const auto shownAgain = [this](wxTopLevelWindow* window, Placement& placement) {
        if (const std::optional<wxPoint> at = std::exchange(placement.hiddenAt, std::nullopt))
            CallAfter([this, window, at = *at] { PlaceSettled(window, at); });
    };
    auto objectsPlacement = std::make_shared<Placement>();
    objectDialog_->Bind(wxEVT_SHOW, [this, objectsPlacement, hidden, shownAgain](wxShowEvent& event) {
        event.Skip();
        if (!event.IsShown()) return hidden(objectDialog_, *objectsPlacement);
        if (objectsPlacement->placed) return shownAgain(objectDialog_, *objectsPlacement);
        objectsPlacement->placed = true;
        CallAfter([this] { PlaceSettled(objectDialog_, ObjectDialogRect()); });
    });
    for (wxTopLevelWindow* side : SideWindows()) {
        auto placement = std::make_shared<Placement>();
        side->Bind(wxEVT_SHOW, [this, side, placement, hidden, shownAgain](wxShowEvent& event) {
            event.Skip();
            if (!event.IsShown()) return hidden(side, *placement);
            // All but the messages viewer leave the object dialog in sight (PlaceSideWindow).
            const bool keepsObjects = side != messagesViewer_;
            const auto covers = [this, side](const wxWindow* window) {
                return window != side && window->IsShown() && HeldRect(window).Intersects(HeldRect(side));
            };
            // Later shows keep where the user put it, unless it would cover another window at the
            // side or the object dialog.
            const std::vector<wxTopLevelWindow*> others = SideWindows();
            if (placement->placed && std::none_of(others.begin(), others.end(), covers) &&
                !(keepsObjects && covers(objectDialog_)))
                return shownAgain(side, *placement);
            placement->placed = true;
            placement->hiddenAt.reset();
            PlaceWhenLaidOut(side);
        });
    }
    PlaceDialogs();
}

void MainFrame::BuildPlanDialogs()
{
    app::CPartsListWindow& parts = app_.PartsListWindow();
    partsDialog_ =
        new ModelDialog(this, parts.Dialog(), ListWindowLayout(ui::partslist::kRows, wxSize(560, 120)));
    partsDialog_->SetControlHandler([this, &parts](const ControlInput& input) {
        if (input.kind == ControlInput::Kind::Click)
            app_.OnPartsListClick(input.id);
        else
            ApplyToModel(parts.Dialog(), input);
    });
    // Room for a dozen rows at first; where the screen has less, placing cuts it down to its least.
    constexpr int kPartsListHeight = 440;
    partsDialog_->SetSize(partsDialog_->GetBestSize().x,
                          std::max(partsDialog_->GetBestSize().y, kPartsListHeight));

    app::PlanExportDialog& plan = app_.PlanExport();
    planDialog_ = new ModelDialog(this, plan.Dialog(), PlanExportLayout());
    planDialog_->SetControlHandler([this, &plan](const ControlInput& input) {
        ApplyToModel(plan.Dialog(), input);
        if (input.kind == ControlInput::Kind::Click) app_.OnPlanExportClick(input.id);
    });
    // Modal, at the side of the view like the other windows, so the object dialog stays in sight.
    planDialog_->SetModalRunner([this](wxDialog& dialog) {
        PlaceSettled(&dialog, wxRect(SideRect(&dialog).GetPosition(), dialog.GetSize()));
        services_.dialogs.RunModal(dialog);
    });
}

void MainFrame::PlaceDialogs()
{
    const wxRect main = MainRect();
    // Near the main window's left edge below its tool bar, leaving the room on its right to the
    // object dialog.
    setUpDialog_->Move(main.x + kWindowGap, SideTop());
    objectDialog_->SetSize(ObjectDialogRect());

    if (helpViewer_) helpViewer_->Move(main.GetPosition() + wxPoint(80, 96));
    // The check window too, so that the finding the camera is pointed at stays in sight. One
    // already shown (the messages viewer at the end of start-up) is held to its new place.
    if (messagesViewer_) PlaceSettled(messagesViewer_, SideRect(messagesViewer_));
    PlaceSettled(checkDialog_, SideRect(checkDialog_));
}

void MainFrame::PlaceSettled(wxTopLevelWindow* window, const wxRect& rect)
{
    window->SetSize(rect);
    Hold(window, rect, false);
}

void MainFrame::PlaceSettled(wxTopLevelWindow* window, wxPoint at)
{
    // Only the place: a size read from the toolkit before it knows the borders, given back,
    // would shrink the window by them.
    MoveFrame(*window, at);
    Hold(window, wxRect(at, window->GetSize()), true);
}

void MainFrame::Hold(wxTopLevelWindow* window, const wxRect& rect, bool keepSize)
{
    // A window manager places a window its own way when it maps it, which may come after the
    // program asked for a place (openbox puts a new window where it overlaps least): asked again
    // on the clock for a moment, until the window stands where it was put.
    std::erase_if(settling_, [window](const Settling& s) { return s.window == window; });
    const wxLongLong now = wxGetLocalTimeMillis();
    settling_.push_back({window, rect, now + kSettleMilliseconds, now + kMapWaitMilliseconds, keepSize});
}

void MainFrame::PlaceWhenLaidOut(wxTopLevelWindow* window)
{
    // Placed from the window's size: on a loaded machine the toolkit may not have laid out a
    // window just shown (a few pixels wide) by the time the program gets to place it.
    std::erase_if(pendingPlaces_, [window](const PendingPlace& p) { return p.window == window; });
    pendingPlaces_.push_back({window, wxGetLocalTimeMillis() + kMapWaitMilliseconds});
    CallAfter([this] { PlacePending(); });
}

void MainFrame::PlacePending()
{
    const wxLongLong now = wxGetLocalTimeMillis();
    const auto laidOut = [](const wxWindow& window) {
        const wxSize size = window.GetSize();
        const wxSize least = window.GetMinSize();
        return size.x >= least.x && size.y >= least.y;
    };
    std::vector<wxTopLevelWindow*> due;
    std::erase_if(pendingPlaces_, [&](const PendingPlace& p) {
        if (!p.window->IsShown()) return true;
        if (!laidOut(*p.window) && now < p.deadline) return false;
        due.push_back(p.window);
        return true;
    });
    for (wxTopLevelWindow* window : due) PlaceSideWindow(window);
}

void MainFrame::PlaceSideWindow(wxTopLevelWindow* side)
{
    // The parts list is looked at while pieces are chosen, the check window while its findings
    // are mended, the operation window while stops are marked: they leave the object dialog in
    // sight.
    const bool keepsObjects = side != messagesViewer_ && objectDialog_->IsShown();
    const wxRect main = MainRect();
    const wxRect screen = wxDisplay(this).GetClientArea();
    const int least = side->GetEffectiveMinSize().y;
    // The other windows at the side shown now.
    std::vector<wxRect> others;
    for (const wxTopLevelWindow* other : SideWindows())
        if (other != side && other->IsShown()) others.push_back(HeldRect(other));
    wxRect rect = SideRect(side);
    if (keepsObjects) {
        const wxRect objects = HeldRect(objectDialog_);
        rect = PlaceClearOf(rect, main, objects, least, screen);
        // Over the view, the check window keeps to its left edge: the finding the
        // camera is pointed at lies in the view's middle.
        const wxRect atLeft(main.x + kWindowGap, rect.y, rect.width, rect.height);
        if (side == checkDialog_ && rect.y < main.GetBottom() && !atLeft.Intersects(objects))
            rect = atLeft;
        // Nor over the windows at the side, moved clear of the object dialog as it may be.
        rect = PlaceBelowOthers(rect, others, objects, least, screen);
    }
    // Where those rules still leave it over another window at the side, the object dialog or the
    // main window's menu and tool bar (a third window at the side on a screen with room for two
    // in a row), the nearest free room on the screen.
    std::vector<wxRect> taken = std::move(others);
    taken.emplace_back(main.x, main.y, main.width, SideTop() - main.y);
    if (keepsObjects) taken.push_back(HeldRect(objectDialog_));
    PlaceSettled(side, PlaceInFreeRoom(rect, least, taken, screen));
}

void MainFrame::KeepSettling()
{
    const wxLongLong now = wxGetLocalTimeMillis();
    PlacePending();
    if (minSizeUntil_ != 0 && now > minSizeUntil_ && cornerPendingUntil_ == 0) {
        minSizeUntil_ = 0;
        SetMinSize(wxDefaultSize);
    }
    if (cornerPendingUntil_ != 0) {
        const wxPoint corner = wxDisplay(this).GetClientArea().GetPosition();
        // A main window still collapsed is asked for its size again for longer: a window
        // manager has been seen to leave it at its menu and tool bar.
        const bool waited =
            now > cornerPendingUntil_ && (!Collapsed() || now > cornerPendingUntil_ + kMapWaitMilliseconds);
        if (waited || (FramePosition(*this) == corner && !Collapsed())) {
            cornerPendingUntil_ = 0;
            PlaceHiddenDialogs();
        } else {
            AskForCorner(corner);
        }
    }
    // The hold counts from the moment the window manager has mapped the window: on a loaded
    // machine that may come well after the program showed it, and the manager's own placement
    // with it. Every hold is acted on at least once, however late the first tick comes after a
    // slow first frame.
    for (Settling& s : settling_) {
        if (!FrameMapped(*s.window) && now < s.mapDeadline) s.until = now + kSettleMilliseconds;
    }
    std::erase_if(settling_,
                  [now](const Settling& s) { return (s.acted && now > s.until) || !s.window->IsShown(); });
    const wxRect screen = wxDisplay(this).GetClientArea();
    for (Settling& s : settling_) {
        // The window manager's frame stays on the screen too: a window placed against the
        // screen's edge before its borders were known moves in by them. Only the frame's size
        // counts, once the window is mapped: where it stands before may still be the manager's
        // own first place. The toolkit learns the borders some time after mapping and counts
        // them into the window's size from then on, so the place is worked out afresh on every
        // tick from the frame as it stands, never from an earlier tick's correction.
        wxRect rect = s.rect;
        if (FrameMapped(*s.window)) {
            const wxRect frame = FrameRect(*s.window);
            if (rect.x + frame.width > screen.GetRight() + 1)
                rect.x = std::max(screen.x, screen.GetRight() + 1 - frame.width);
            if (rect.y + frame.height > screen.GetBottom() + 1)
                rect.y = std::max(screen.y, screen.GetBottom() + 1 - frame.height);
        }
        if (FramePosition(*s.window) != rect.GetPosition()) {
            if (!s.keepSize) s.window->SetSize(rect);
            MoveFrame(*s.window, rect.GetPosition());
        }
        s.acted = true;
    }
}

bool MainFrame::Collapsed() const
{
    // Far below the size asked for, as no window manager's limits to the screen would make it.
    const wxSize size = GetSize();
    return size.x < kMainSize.x / 2 || size.y < kMainSize.y / 2;
}

void MainFrame::AskForCorner(wxPoint corner)
{
    if (Collapsed()) SetSize(kMainSize);
    MoveFrame(*this, corner);
}

void MainFrame::PlaceHiddenDialogs()
{
    // A dialog the user has open stays where it is.
    if (!setUpDialog_->IsShown() && !objectDialog_->IsShown()) PlaceDialogs();
}

wxRect MainFrame::ObjectDialogRect() const
{
    const wxRect screen = wxDisplay(this).GetClientArea();
    // The object dialog's original least size, or its content's where that is larger.
    return PlaceObjectDialog(setUpDialog_->GetRect(), objectDialog_->GetBestSize(),
                             objectDialog_->GetMinSize(), screen);
}

wxRect MainFrame::SideRect(wxWindow* side) const
{
    const wxRect screen = wxDisplay(this).GetClientArea();
    const wxRect main = MainRect();
    const auto below = [&](const wxWindow* other) {
        return PlaceBelowOrAtSide(main, HeldRect(other), side->GetSize(), side->GetEffectiveMinSize().y, screen);
    };
    wxRect rect = PlaceAtSide(main, SideTop(), side->GetSize(), screen);
    // The check window goes below the messages viewer when that is shown and the screen has
    // room; any window goes below another at the side (in the order they stack) rather than over it.
    if (side == checkDialog_ && messagesViewer_ && messagesViewer_->IsShown()) rect = below(messagesViewer_);
    for (const wxWindow* other : SideWindows())
        if (other != side && other->IsShown() && rect.Intersects(HeldRect(other))) rect = below(other);
    return rect;
}

wxRect MainFrame::HeldRect(const wxWindow* window) const
{
    // A window just shown again may report a place the window manager has not confirmed yet.
    const auto held = std::find_if(settling_.begin(), settling_.end(),
                                   [window](const Settling& s) { return s.window == window; });
    return held != settling_.end() ? held->rect : window->GetRect();
}

std::vector<wxTopLevelWindow*> MainFrame::SideWindows() const
{
    std::vector<wxTopLevelWindow*> windows;
    for (wxTopLevelWindow* window : {static_cast<wxTopLevelWindow*>(messagesViewer_),
                                     static_cast<wxTopLevelWindow*>(checkDialog_),
                                     static_cast<wxTopLevelWindow*>(partsDialog_),
                                     static_cast<wxTopLevelWindow*>(operationDialog_)})
        if (window) windows.push_back(window);
    return windows;
}

wxRect MainFrame::MainRect() const
{
    // A window manager may collapse the main window for a moment while it learns the frame's
    // size (and start-up asks for the full size again): the windows at its side are placed from
    // the size asked for then, not beside a sliver.
    return {FramePosition(*this), Collapsed() ? kMainSize : GetSize()};
}

int MainFrame::SideTop() const
{
    // Below the tool bar (the toolkit's client area starts under it), so that a window at the
    // side leaves the Start button at the bar's end free.
    return ClientToScreen(wxPoint(0, app::CMainDlg::kViewGap)).y;
}

int MainFrame::ViewTop() const
{
    return toolBarHeight_ + app::CMainDlg::kViewGap;
}

void MainFrame::UpdateLayout()
{
    // The view lies below the tool bar and a small gap, as wide as the window, down to the status
    // bar. The application counts the bars into its client area, the toolkit does not.
    const wxSize client = GetClientSize();
    const int toolBar = GetToolBar() ? GetToolBar()->GetSize().y : 0;
    const int statusBar = GetStatusBar() ? GetStatusBar()->GetSize().y : 0;
    // A window smaller than its bars leaves the view a single pixel, as the device keeps it; the
    // application draws nothing into a view without area.
    canvas_->SetSize(0, app::CMainDlg::kViewGap, std::max(1, client.x),
                     std::max(1, client.y - app::CMainDlg::kViewGap));

    const int appWidth = client.x;
    const int appHeight = client.y + toolBar + statusBar;
    if (toolBar != toolBarHeight_ || statusBar != statusBarHeight_) {
        toolBarHeight_ = toolBar;
        statusBarHeight_ = statusBar;
        app_.SetWindowMetrics(appWidth, appHeight, toolBarHeight_, statusBarHeight_);
    }
    app_.OnSize(appWidth, appHeight);
}

void MainFrame::OnSize(wxSizeEvent&)
{
    // Not passed on: the frame's own handling would stretch the view over the gap.
    UpdateLayout();
}

void MainFrame::StartWhenViewReady()
{
    startPending_ = true;
    startWaitEnd_ = wxGetLocalTimeMillis() + kViewWaitSeconds * 1000;
    // Start-up runs inside the event loop, never in the application's initialisation.
    CallAfter([this] { TryStartUp(); });
}

bool MainFrame::ViewReady()
{
    // Realised, shown up to the top window, mapped by the X server and given a size.
    if (!canvas_->IsShownOnScreen() || !glx::WindowViewable(canvas_->GetXWindow())) return false;
    const wxSize client = canvas_->GetClientSize();
    if (client.x < 1 || client.y < 1) return false;
    if (!viewContext_) {
        std::string error;
        viewContext_ = CanvasGlContext::Create(*canvas_, error);
        if (!viewContext_) return false;
    }
    return viewContext_->MakeCurrentOn(*canvas_);
}

void MainFrame::TryStartUp()
{
    if (!startPending_ || closing_) return;
    if (!ViewReady() && wxGetLocalTimeMillis() < startWaitEnd_) return;
    startPending_ = false;
    StartUp();
}

void MainFrame::StartUp()
{
    // A window manager may have put the main window elsewhere than asked (some ignore a
    // program's place at the screen's corner until the window is mapped): asked again, and the
    // windows that start hidden go beside it.
    // Under a loaded window manager the main window has also been seen to keep the few pixels
    // it was given while its frame was made (its menu and tool bar only): asked for its size again.
    if (const wxPoint corner = wxDisplay(this).GetClientArea().GetPosition();
        FramePosition(*this) != corner || Collapsed()) {
        AskForCorner(corner);
        // The window manager moves it when it gets to it; the hidden dialogs are placed beside
        // it then (placed from where it stands now, they would follow it nowhere).
        cornerPendingUntil_ = wxGetLocalTimeMillis() + kSettleMilliseconds;
    } else {
        PlaceHiddenDialogs();
    }
    minSizeUntil_ = wxGetLocalTimeMillis() + kMinSizeHoldMilliseconds;
    UpdateLayout();
    const wxSize client = GetClientSize();
    app_.SetWindowMetrics(client.x, client.y + toolBarHeight_ + statusBarHeight_, toolBarHeight_,
                          statusBarHeight_);
    app_.Startup();
    started_ = true;
    if (closeAfterStartUp_) {
        CloseProgram();
        return;
    }
    // The map of the command line: the application was told it at its making.
    app_.OpenStartMap();
    app_.OfferRecovery();
    canvas_->Refresh();
}

void MainFrame::HelpKey()
{
    if (!closing_) app_.OnCommand(cmd::kHelpKey);
}

int MainFrame::ShortcutCommand(const wxKeyEvent& event)
{
    if (const wxAcceleratorTable* table = GetAcceleratorTable(); table && table->IsOk()) {
        if (const int id = table->GetCommand(event); id != -1) return id;
    }
    const int flags = (event.ControlDown() ? wxACCEL_CTRL : 0) | (event.AltDown() ? wxACCEL_ALT : 0) |
                      (event.ShiftDown() ? wxACCEL_SHIFT : 0);
    const int key = event.GetKeyCode();
    const auto matching = [&](const wxMenu& menu, const auto& self) -> int {
        for (const wxMenuItem* item : menu.GetMenuItems()) {
            if (const wxMenu* sub = item->GetSubMenu()) {
                if (const int id = self(*sub, self); id != wxID_NONE) return id;
                continue;
            }
            const std::unique_ptr<wxAcceleratorEntry> accel(item->GetAccel());
            if (accel && accel->GetFlags() == flags && wxToupper(accel->GetKeyCode()) == wxToupper(key) &&
                item->IsEnabled())
                return item->GetId();
        }
        return wxID_NONE;
    };
    if (const wxMenuBar* bar = GetMenuBar()) {
        for (std::size_t i = 0; i < bar->GetMenuCount(); ++i) {
            if (const int id = matching(*bar->GetMenu(i), matching); id != wxID_NONE) return id;
        }
    }
    return wxID_NONE;
}

bool MainFrame::ForwardShortcut(const wxKeyEvent& event)
{
    // Shortcuts all hold Ctrl or Alt; plain keys belong to the window they were typed in.
    if (!started_ || closing_ || !(event.ControlDown() || event.AltDown())) return false;
    auto* source = dynamic_cast<wxWindow*>(event.GetEventObject());
    wxWindow* top = source ? wxGetTopLevelParent(source) : nullptr;
    // The main window answers its own keys; a modal question or chooser keeps its keys.
    if (!top || top == this || top->GetParent() != this) return false;
    if (const auto* dialog = dynamic_cast<wxDialog*>(top); dialog && dialog->IsModal()) return false;
    // Undo and redo act on a text box's own selection while it holds one.
    const bool textKey =
        event.ControlDown() && !event.AltDown() && (event.GetKeyCode() == 'Z' || event.GetKeyCode() == 'Y');
    if (const auto* text = dynamic_cast<wxTextEntry*>(wxWindow::FindFocus());
        textKey && text && text->IsEditable()) {
        long from = 0;
        long to = 0;
        text->GetSelection(&from, &to);
        if (from != to) return false;
    }
    const int id = ShortcutCommand(event);
    if (id == wxID_NONE) return false;
    auto* command = new wxCommandEvent(wxEVT_MENU, id);
    command->SetEventObject(this);
    QueueEvent(command);
    return true;
}

void MainFrame::OnMenuOrTool(wxCommandEvent& event)
{
    const auto command = ui::CommandIdMap::Main().FromFront(event.GetId());
    if (!command || closing_) {
        event.Skip();
        return;
    }
    if (app_.MainDlg().ToolBar().SlotOf(*command) >= 0) {
        // The toolkit has toggled its button already; the model decides and the button follows.
        app_.ClickTool(*command);
        SyncTool(*command);
    } else {
        app_.OnCommand(*command);
    }
}

void MainFrame::OnStart(wxCommandEvent&)
{
    if (loopRunning_ || closing_ || !app_.PressStart()) return;
    if (services_.reportFile && !observer_) {
        observer_ = std::make_unique<app::headless::RunObserver>(app_);
        app_.SetPassHook([this] { observer_->AfterPass(observedPasses_++); });
    }
    // The loop's passes come on a clock: a tap between two of them must still be seen.
    services_.keys.HoldTapsForPasses(true);
    // The view takes the keyboard while the program runs.
    canvas_->SetFocus();
    RunLoop();
    if (closing_) DestroyWhenSafe();
}

void MainFrame::RunLoop()
{
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (!loop) return;
    loopRunning_ = true;
    while (app_.MainDlg().MayRun()) {
        if (services_.signals.TakeRequest()) {
            Close(true);
            continue;
        }
        // Events first: one per pass, and a frame only when none is waiting.
        if (loop->Pending()) {
            loop->Dispatch();
            continue;
        }
        // Asking for pending events switches the toolkit's idle handling off, so what waits for
        // idle time (queued calls, idle events, deferred deletes) is run here.
        wxTheApp->ProcessPendingEvents();
        loop->ProcessIdle();
        if (IsIconized() || !IsShown()) {
            // Nothing is drawn while minimised: wait for the next event (the signal poll's timer
            // comes every tenth of a second) instead of spinning.
            app_.RunPass(false);
            realTime_ = false;
            loop->Dispatch();
            continue;
        }
        if (!RunDuePasses(*loop)) break;
    }
    loopRunning_ = false;
    wxWakeUpIdle();
}

bool MainFrame::RunDuePasses(wxEventLoopBase& loop)
{
    app::PassClock& clock = app_.Clock();
    if (!app_.SetUp().Model().IsChecked(ui::setup::kRealTime)) {
        // One pass a frame, or as many as fast-forward asks for.
        realTime_ = false;
        return app_.RunPasses(clock.Paused() ? 1 : clock.Rate());
    }
    // Back on the clock: nothing is owed for the time it was off.
    if (!realTime_) clock.ResetPace();
    realTime_ = true;
    if (const int due = clock.TakeDue(); due > 0) return app_.RunPasses(due);
    // Nothing due: no frame (it would show what the last one showed). The sleep ends early for
    // an event, which is handled at once; the timeout is rounded up to the next millisecond.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(clock.UntilDue());
    loop.DispatchTimeout(static_cast<unsigned long>(std::max<std::int64_t>(1, wait.count())));
    return app_.MainDlg().MayRun();
}

void MainFrame::OnClockKey(ClockKey key)
{
    if (!started_ || closing_) return;
    switch (key) {
    case ClockKey::Pause:
        app_.ClickTool(cmd::kToolPause);
        break;
    case ClockKey::Faster:
        app_.ClickTool(cmd::kToolFastForward);
        break;
    case ClockKey::Slower:
        app_.SetPassRate(std::max(1, app_.Clock().Rate() / 2));
        break;
    }
}

void MainFrame::OnTimer(wxTimerEvent&)
{
    if (services_.signals.TakeRequest()) Close(true);
    if (closing_) {
        DestroyWhenSafe();
        return;
    }
    TryStartUp();
    if (!started_) return;
    KeepKeyboardFocus();
    KeepSettling();
    // Before Start no pass runs: the title, the edit menu and autosave follow the edits here.
    if (loopRunning_)
        app_.KeepRecovery();
    else
        app_.RefreshEditState();
}

void MainFrame::KeepKeyboardFocus()
{
    // The toolkit loses the window's focus child when the child holding it is hidden or laid
    // out anew (the tool bar is, as Start comes and goes), and a window manager can hand the
    // window the keyboard after that: the keys would then reach no control at all, Ctrl+Q and
    // Enter included, until a click. The active window always keeps one.
    if (!IsActive() || wxWindow::FindFocus()) return;
    if (start_->IsShown())
        start_->SetFocus();
    else
        canvas_->SetFocus();
}

void MainFrame::OnCloseWindow(wxCloseEvent& event)
{
    // The user's close asks about unsaved changes; a forced one (logout, a signal) cannot ask.
    if (event.CanVeto() && started_ && !closing_ && !app_.ConfirmUnsavedChanges()) {
        event.Veto();
        return;
    }
    // What it cannot ask about goes to the recovery file, never to the user's map.
    if (!event.CanVeto() && started_ && !closing_) app_.KeepUnsavedForRecovery();
    CloseProgram();
}

void MainFrame::CloseProgram()
{
    if (closing_) return;
    if (!started_) {
        // Before start-up has read the settings, writing them would put the defaults over the
        // user's file: the close waits for the end of start-up.
        closeAfterStartUp_ = true;
        services_.dialogs.CancelAll();
        return;
    }
    closing_ = true;
    // Stops the loop and writes the settings file, once, whatever asked for the close.
    app_.OnClose();
    WriteReport();
    services_.dialogs.CancelAll();
    // The device's GL objects go while the windows they belong to still exist.
    app_.Graphics().ReleaseAll();
    for (wxWindow* child : GetChildren()) {
        if (child->IsTopLevel()) child->Hide();
    }
    Hide();
    DestroyWhenSafe();
}

void MainFrame::WriteReport()
{
    if (!services_.reportFile) return;
    if (!observer_) observer_ = std::make_unique<app::headless::RunObserver>(app_);
    const std::string json =
        app::ReportJson(app::headless::CollectRunReport(app_, *observer_, services_.dialogs.MessageTexts()));
    if (const platform::Status written = platform::ReplaceFile(*services_.reportFile, json); !written)
        std::cerr << "korvela: the report could not be written: " << written.error() << "\n";
}

void MainFrame::DestroyWhenSafe()
{
    // The window goes only once the loop and every box have unwound; the timer tries again.
    if (destroying_ || loopRunning_ || services_.dialogs.OpenCount() > 0) return;
    destroying_ = true;
    timer_.Stop();
    Destroy();
}

void MainFrame::OnViewMouse(wxMouseEvent& event)
{
    const wxPoint at = event.GetPosition();
    const int x = at.x;
    const int y = at.y + ViewTop();
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_MOTION) {
        app_.OnMouseMove(x, y);
        services_.mouse.Moved(MouseView::Main, at.x, at.y, IsActive());
    } else if (type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_DCLICK) {
        if (started_ && !closing_) app_.OnLeftButtonDown(x, y);
    } else if (type == wxEVT_MOUSEWHEEL) {
        if (event.GetWheelAxis() == wxMOUSE_WHEEL_VERTICAL) {
            if (started_ && !closing_) app_.OnMouseWheel(event.GetWheelRotation());
            services_.mouse.Wheel(MouseView::Main, event.GetWheelRotation(), IsActive());
        }
    } else if (type == wxEVT_LEAVE_WINDOW && !canvas_->HasCapture()) {
        services_.mouse.LostTrack(MouseView::Main);
    }
}

void MainFrame::OnPreviewMouse(wxMouseEvent& event)
{
    const wxEventType type = event.GetEventType();
    const bool active = objectDialog_->IsActive();
    if (type == wxEVT_MOTION) {
        services_.mouse.Moved(MouseView::Preview, event.GetX(), event.GetY(), active);
        if (started_ && !closing_) app_.ObjectSelect().OnMouseMove();
    } else if (type == wxEVT_MOUSEWHEEL) {
        services_.mouse.Wheel(MouseView::Preview, event.GetWheelRotation(), active);
        ObjectDialogWheel(event);
    } else if (type == wxEVT_LEAVE_WINDOW && !preview_->HasCapture()) {
        services_.mouse.LostTrack(MouseView::Preview);
    }
}

void MainFrame::ObjectDialogWheel(wxMouseEvent& event)
{
    if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL || !started_ || closing_) return;
    app_.ObjectSelect().OnMouseWheel(event.GetWheelRotation());
    // The catalogue list takes the keyboard, as it did when the wheel stepped it.
    if (wxWindow* catalogue = objectDialog_->Control(ui::objsel::kCatalogue)) catalogue->SetFocus();
}

void MainFrame::ReleaseMouseButtons()
{
    // The capture was taken away mid-drag: the releases will not be seen, so count them now.
    namespace vk = platform::vk;
    for (const int button : {vk::kLButton, vk::kRButton, vk::kMButton})
        services_.keys.Release(button);
}

void MainFrame::RenderPreview()
{
    if (started_ && !closing_ && objectDialog_->IsShown()) app_.ObjectSelect().OnPaint();
}

gfx::Created<gfx::Device> MainFrame::CreateDevice(const gfx::DeviceOptions& options)
{
    std::string error;
    auto context = std::move(viewContext_);
    if (!context) context = CanvasGlContext::Create(*canvas_, error);
    if (!context) return {nullptr, error};
    auto created =
        gfx::gl::GlDevice::Create(context, std::make_unique<CanvasSurface>(context, *canvas_), options);
    if (!created) return {nullptr, created.error};
    if (preview_) created.device->AttachPreview(std::make_unique<CanvasSurface>(context, *preview_));
    return created;
}

void MainFrame::FillSubmenu(const std::string& name)
{
    const ui::MenuModel& model = app_.MainDlg().Menu();
    const SubmenuEntry& entry = submenus_.at(name);
    while (entry.menu->GetMenuItemCount() > 0)
        entry.menu->Destroy(entry.menu->FindItemByPosition(0));
    for (int position = 0; position < model.ItemCount(entry.popup); ++position) {
        const int id = model.ItemId(entry.popup, position);
        const std::string text = model.BaseText(id) + model.Suffix(id);
        if (model.Submenu(id) != name || text.empty()) continue;
        entry.menu->Append(FrontId(id), Tx(text))->Enable(model.IsEnabled(id));
    }
    if (entry.menu->GetMenuItemCount() == 0) entry.menu->Append(wxID_ANY, Tx("なし"))->Enable(false);
}

void MainFrame::SyncMenuItem(int commandId)
{
    const ui::MenuModel& model = app_.MainDlg().Menu();
    if (const std::string& submenu = model.Submenu(commandId); submenus_.contains(submenu)) {
        FillSubmenu(submenu);
        return;
    }
    wxMenuBar* bar = GetMenuBar();
    wxMenuItem* item = bar ? bar->FindItem(FrontId(commandId)) : nullptr;
    if (!item) return;
    const wxString text = Tx(model.BaseText(commandId) + model.Suffix(commandId));
    if (item->GetItemLabel() != text) {
        item->SetItemLabel(text);
        ShowKeyLabel(*item, model.KeyLabel(commandId));
    }
    if (item->IsEnabled() != model.IsEnabled(commandId)) item->Enable(model.IsEnabled(commandId));
}

void MainFrame::SyncTool(int commandId)
{
    wxToolBar* bar = GetToolBar();
    const ui::ToolBarModel& model = app_.MainDlg().ToolBar();
    const int front = FrontId(commandId);
    if (!bar || !bar->FindById(front)) return;
    const ui::ToolState state = model.State(commandId);
    // A greyed (indeterminate) button cannot be pressed either.
    const bool enabled = state.enabled && !state.indeterminate;
    if (bar->GetToolEnabled(front) != enabled) bar->EnableTool(front, enabled);
    if (bar->FindById(front)->CanBeToggled() && bar->GetToolState(front) != state.checked)
        bar->ToggleTool(front, state.checked);
}

void MainFrame::SyncStatusPane(int pane)
{
    if (pane < 0 || pane >= kStatusPanes) return;
    const wxString text = Tx(app_.MainDlg().StatusBar().Text(pane));
    if (GetStatusBar() && GetStatusBar()->GetStatusText(pane) != text) SetStatusText(text, pane);
}

void MainFrame::SyncStartButton()
{
    const bool shown = app_.MainDlg().StartButtonShown();
    if (start_->IsShown() == shown) return;
    start_->Show(shown);
    if (GetToolBar()) GetToolBar()->Realize();
    // Enter starts the program once start-up is over.
    if (shown)
        CallAfter([this] {
            if (start_->IsShown()) start_->SetFocus();
        });
}

} // namespace front
