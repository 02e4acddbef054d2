// CLayout: bindings, the catalogue list, and what every edit does after it changed the records.
#include "layout/CLayout.h"

#include "layout/TurnoutKeys.h"
#include "ui/CommandIds.h"
#include "ui/DialogModel.h"
#include "ui/MenuModel.h"
#include "ui/ObjectSelectTemplate.h"

namespace layout {

namespace {

constexpr int kList = ui::objsel::kPlacedList;
constexpr int kCatalogueList = ui::objsel::kCatalogue;

} // namespace

CLayout::CLayout(std::string profileSection)
    : ownDialog_(std::make_unique<ui::DialogModel>(ui::ObjectSelectTemplate())), dialog_(ownDialog_.get()),
      catalogue_(std::move(profileSection)), objects_(catalogue_), selection_(catalogue_, objects_), drag_(*this)
{
    objects_.BindList(*dialog_);
    selection_.BindList(*dialog_);
}

CLayout::~CLayout() = default;

// --- bindings

void CLayout::BindObjectDialog(ui::DialogModel& dialog)
{
    if (&dialog == dialog_) return;
    const ui::DialogModel& old = *dialog_;
    dialog.SetItems(kCatalogueList, old.Items(kCatalogueList));
    dialog.SetSelection(kCatalogueList, old.Selection(kCatalogueList));
    const ui::ListView& rows = old.List(kList);
    dialog.EditList(kList, [&rows](ui::ListView& list) {
        list.DeleteAllRows();
        for (const ui::ListRow& row : rows.Rows()) {
            const int at = list.AppendRow(row.cells, row.data);
            list.SetSelected(at, row.selected);
        }
        list.SetFocusRow(rows.FocusRow());
    });
    dialog_ = &dialog;
    objects_.BindList(dialog);
    selection_.BindList(dialog);
}

void CLayout::BindMenu(ui::MenuModel* menu)
{
    menu_ = menu;
    RefreshKeyMenu();
}

int CLayout::CatalogueSelection() const
{
    const int selection = dialog_->Selection(kCatalogueList);
    return selection < catalogue_.TypeCount() ? selection : -1;
}

void CLayout::SetCatalogueSelection(int index)
{
    dialog_->SetSelection(kCatalogueList, index);
}

// --- telling the windows

void CLayout::RefreshKeyMenu()
{
    if (!menu_) return;
    const auto counts = objects_.KeyUsageCounts();
    for (int key = 0; key < kTurnoutKeyCount; ++key)
        menu_->SetSuffix(ui::cmd::kKeyFirst + key, KeyUsageSuffix(counts[static_cast<std::size_t>(key)]));
}

void CLayout::NotifyTurnout()
{
    if (listener_) listener_->TurnoutControlsChanged();
}

void CLayout::NotifyLayoutChanged()
{
    RefreshKeyMenu();
    if (listener_) listener_->ObjectCountChanged(objects_.Count());
    NotifyTurnout();
}

// --- catalogue

platform::Status CLayout::ScanObjectFolder(gfx::Device* device, const CatalogueOptions& options, bool asEdit)
{
    // The placed objects name types of the old list; they go before the list changes. A user's
    // folder change keeps them, by type name, for undo.
    LayoutEdit cleared{.name = editname::kClear, .kind = LayoutEdit::Kind::Remove};
    if (asEdit) FinishDrag();
    if (asEdit && objects_.Count() > 0) {
        std::vector<int> all(static_cast<std::size_t>(objects_.Count()));
        for (int i = 0; i < objects_.Count(); ++i)
            all[static_cast<std::size_t>(i)] = i;
        cleared.before = objects_.Records(all);
        cleared.typeNames = typeNames_;
        cleared.selectionBefore = selection_.Capture();
    }
    ClearPlacedObjects();

    platform::Status scanned = catalogue_.ScanNames();
    typeNames_ = std::make_shared<const std::vector<std::string>>(catalogue_.TypeNames());
    dialog_->SetItems(kCatalogueList, catalogue_.ListNames());
    dialog_->SetSelection(kCatalogueList, catalogue_.TypeCount() == 0 ? -1 : 0);
    (void)catalogue_.LoadTypes(device, options);
    if (!cleared.before.empty()) Done(std::move(cleared));
    return scanned;
}

int CLayout::AddMissingType(std::string name)
{
    const int index = catalogue_.AddMissingType(std::move(name));
    if (index < 0) return index;
    // Edits recorded from now on name the new entry too; older ones never use it.
    typeNames_ = std::make_shared<const std::vector<std::string>>(catalogue_.TypeNames());
    const int selection = dialog_->Selection(kCatalogueList);
    dialog_->SetItems(kCatalogueList, catalogue_.ListNames());
    dialog_->SetSelection(kCatalogueList, selection);
    return index;
}

int CLayout::LoadMissingTypes(gfx::Device* device, const CatalogueOptions& options)
{
    const int came = catalogue_.LoadMissingTypes(device, options);
    if (came == 0) return 0;
    const int selection = dialog_->Selection(kCatalogueList);
    dialog_->SetItems(kCatalogueList, catalogue_.ListNames());
    dialog_->SetSelection(kCatalogueList, selection);
    std::vector<int> all(static_cast<std::size_t>(objects_.Count()));
    for (int i = 0; i < objects_.Count(); ++i)
        all[static_cast<std::size_t>(i)] = i;
    objects_.RefreshRows(all);
    NotifyLayoutChanged();
    return came;
}

int CLayout::PlaceholderCount() const
{
    int count = 0;
    for (const auto& [name, objects] : PlaceholdersByType())
        count += objects;
    return count;
}

std::vector<std::pair<std::string, int>> CLayout::PlaceholdersByType() const
{
    std::vector<int> counts(static_cast<std::size_t>(catalogue_.TypeCount()), 0);
    for (const PlacedObject& object : objects_.All()) {
        const ObjectType* type = catalogue_.FindType(object.type);
        if (type && type->missing) ++counts[static_cast<std::size_t>(object.type)];
    }
    std::vector<std::pair<std::string, int>> byType;
    for (int type = 0; type < catalogue_.TypeCount(); ++type) {
        if (counts[static_cast<std::size_t>(type)] > 0)
            byType.emplace_back(catalogue_.TypeName(type), counts[static_cast<std::size_t>(type)]);
    }
    return byType;
}

void CLayout::ClearPlacedObjects()
{
    drag_.Cancel();
    objects_.Clear();
    selection_.SetPrimary(-1);
    NotifyLayoutChanged();
}

// --- history

void CLayout::Done(LayoutEdit edit)
{
    if (!edit.typeNames) edit.typeNames = typeNames_;
    history_.Record(std::move(edit));
    NotifyLayoutChanged();
}

void CLayout::RecordDataEdit(const char* name, std::vector<std::string> before, std::vector<std::string> after)
{
    if (before == after) return;
    FinishDrag();
    LayoutEdit edit{.name = name, .kind = LayoutEdit::Kind::Data};
    edit.selectionBefore = edit.selectionAfter = selection_.Capture();
    edit.dataBefore = std::move(before);
    edit.dataAfter = std::move(after);
    Done(std::move(edit));
}

void CLayout::FinishDrag()
{
    if (drag_.Dragging()) (void)drag_.EndDrag();
}

bool CLayout::Undo()
{
    FinishDrag();
    const LayoutEdit* edit = history_.StepBack();
    if (!edit) return false;
    drag_.Cancel();
    edit->Undo(objects_, catalogue_);
    if (edit->kind == LayoutEdit::Kind::Data && dataHandler_) dataHandler_(edit->dataBefore);
    selection_.Restore(edit->selectionBefore);
    NotifyLayoutChanged();
    return true;
}

bool CLayout::Redo()
{
    FinishDrag();
    const LayoutEdit* edit = history_.StepForward();
    if (!edit) return false;
    drag_.Cancel();
    edit->Apply(objects_, catalogue_);
    if (edit->kind == LayoutEdit::Kind::Data && dataHandler_) dataHandler_(edit->dataAfter);
    selection_.Restore(edit->selectionAfter);
    NotifyLayoutChanged();
    return true;
}

} // namespace layout
