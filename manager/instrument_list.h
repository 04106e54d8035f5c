// The manager window's list of installed instruments, as a model that the
// window mirrors: items in the order they were added (never sorted), each
// with its display name, its record and whether the user has selected it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "manager/instrument_record.h"

struct InstrumentItem {
    std::string displayName;
    InstrumentRecord record;
    bool selected = false;
};

class InstrumentList {
public:
    size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    const InstrumentItem& Item(size_t index) const { return items_.at(index); }
    const std::vector<InstrumentItem>& Items() const { return items_; }

    // Appends an unselected item named after the record.
    void Append(const InstrumentRecord& record);
    // False, nothing changed, for an index outside the list.
    bool Remove(size_t index);
    void Clear() { items_.clear(); }

    // False, nothing changed, for an index outside the list.
    bool SetSelected(size_t index, bool selected);
    void SelectAll();
    void DeselectAll();
    size_t SelectedCount() const;

    // The first item whose display name equals `name` as display names
    // compare (SameDisplayName), or Count() when there is none.
    size_t FindName(const std::string& name) const;
    // Whether an item other than the one at `except` holds `classId` as its
    // device GUID.
    bool OtherItemHoldsDevice(const GUID& classId, size_t except) const;

private:
    std::vector<InstrumentItem> items_;
};
