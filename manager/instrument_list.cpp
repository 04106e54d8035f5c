#include "manager/instrument_list.h"

#include "manager/display_name.h"

void InstrumentList::Append(const InstrumentRecord& record) {
    items_.push_back(InstrumentItem{record.displayName, record, false});
}

bool InstrumentList::Remove(size_t index) {
    if (index >= items_.size()) return false;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool InstrumentList::SetSelected(size_t index, bool selected) {
    if (index >= items_.size()) return false;
    items_[index].selected = selected;
    return true;
}

void InstrumentList::SelectAll() {
    for (InstrumentItem& item : items_) item.selected = true;
}

void InstrumentList::DeselectAll() {
    for (InstrumentItem& item : items_) item.selected = false;
}

size_t InstrumentList::SelectedCount() const {
    size_t count = 0;
    for (const InstrumentItem& item : items_) count += item.selected ? 1 : 0;
    return count;
}

size_t InstrumentList::FindName(const std::string& name) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (SameDisplayName(items_[i].displayName, name)) return i;
    return items_.size();
}

bool InstrumentList::OtherItemHoldsDevice(const GUID& classId, size_t except) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (i != except && IsEqualGUID(items_[i].record.deviceGuid, classId)) return true;
    return false;
}
