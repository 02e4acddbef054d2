#include "layout/LayoutEdit.h"

#include "layout/ObjectCatalogue.h"

#include <algorithm>

namespace layout {

namespace {

using TypeNames = std::shared_ptr<const std::vector<std::string>>;

std::vector<int> IndicesOf(const PlacedObjects& objects, const std::vector<PlacedRecord>& records)
{
    std::vector<int> indices;
    indices.reserve(records.size());
    for (const PlacedRecord& record : records)
        indices.push_back(objects.IndexOf(record.id));
    return indices;
}

// The record's type as a number of the current catalogue, found by the name it had when the
// edit was done; false when the catalogue no longer holds it.
bool RetypeForCatalogue(PlacedRecord& record, const TypeNames& names, const ObjectCatalogue& catalogue)
{
    int& type = record.object.type;
    if (names) {
        if (type < 0 || type >= static_cast<int>(names->size())) return false;
        const std::string& name = (*names)[static_cast<std::size_t>(type)];
        if (catalogue.TypeName(type) != name) type = catalogue.FindTypeNamed(name);
    }
    return catalogue.FindType(type) != nullptr;
}

void PutRecords(PlacedObjects& objects, const ObjectCatalogue& catalogue, std::vector<PlacedRecord> records,
                const TypeNames& names)
{
    std::vector<int> indices = IndicesOf(objects, records);
    std::vector<PlacedObject> values;
    std::vector<int> found;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (indices[i] < 0 || !RetypeForCatalogue(records[i], names, catalogue)) continue;
        found.push_back(indices[i]);
        values.push_back(records[i].object);
    }
    objects.Replace(found, values);
}

void TakeOut(PlacedObjects& objects, const std::vector<PlacedRecord>& records)
{
    std::vector<bool> doomed(static_cast<std::size_t>(objects.Count()), false);
    bool any = false;
    for (const int index : IndicesOf(objects, records)) {
        if (index < 0) continue;
        doomed[static_cast<std::size_t>(index)] = true;
        any = true;
    }
    if (any) objects.Remove(doomed);
}

// Records whose type the catalogue holds; put back in ascending index order, which makes each
// one land where it stood.
void PutBack(PlacedObjects& objects, const ObjectCatalogue& catalogue, std::vector<PlacedRecord> records,
             const TypeNames& names)
{
    std::vector<PlacedRecord> kept;
    kept.reserve(records.size());
    for (PlacedRecord& record : records) {
        if (objects.IndexOf(record.id) >= 0) continue; // already there
        if (!RetypeForCatalogue(record, names, catalogue)) continue;
        kept.push_back(std::move(record));
    }
    std::sort(kept.begin(), kept.end(), [](const PlacedRecord& a, const PlacedRecord& b) { return a.index < b.index; });
    objects.Insert(kept);
}

} // namespace

std::string LayoutEdit::Label() const
{
    return name + " (" + std::to_string(Count()) + " 個)";
}

void LayoutEdit::Apply(PlacedObjects& objects, const ObjectCatalogue& catalogue) const
{
    switch (kind) {
    case Kind::Change: PutRecords(objects, catalogue, after, typeNames); break;
    case Kind::Insert: PutBack(objects, catalogue, after, typeNames); break;
    case Kind::Remove: TakeOut(objects, before); break;
    case Kind::Data: break;
    }
}

void LayoutEdit::Undo(PlacedObjects& objects, const ObjectCatalogue& catalogue) const
{
    switch (kind) {
    case Kind::Change: PutRecords(objects, catalogue, before, typeNames); break;
    case Kind::Insert: TakeOut(objects, after); break;
    case Kind::Remove: PutBack(objects, catalogue, before, typeNames); break;
    case Kind::Data: break;
    }
}

void EditHistory::Record(LayoutEdit edit)
{
    // The saved state lay among the steps about to be dropped: no undo reaches it again.
    if (savedAt_ && *savedAt_ > done_) savedAt_.reset();
    steps_.resize(done_);
    steps_.push_back(std::move(edit));
    if (steps_.size() > kDepth) {
        steps_.erase(steps_.begin());
        if (savedAt_) savedAt_ = *savedAt_ > 0 ? std::optional<std::size_t>(*savedAt_ - 1) : std::nullopt;
    }
    done_ = steps_.size();
    changed_ = true;
    ++generation_;
}

const LayoutEdit* EditHistory::StepBack()
{
    if (done_ == 0) return nullptr;
    --done_;
    changed_ = savedAt_ != done_;
    ++generation_;
    return &steps_[done_];
}

const LayoutEdit* EditHistory::StepForward()
{
    if (done_ >= steps_.size()) return nullptr;
    ++done_;
    changed_ = savedAt_ != done_;
    ++generation_;
    return &steps_[done_ - 1];
}

void EditHistory::Clear()
{
    steps_.clear();
    done_ = 0;
    // Unchanged, the layout is its file's; changed, no step leads back to the file now.
    savedAt_ = changed_ ? std::nullopt : std::optional<std::size_t>(0);
}

} // namespace layout
