#include "druvhost/syx/saved_dumps.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "druvhost/cli/configuration_choice.h"
#include "plugin/engine/byte_stream.h"
#include "plugin/engine/data_stream.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/dump_item.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/message_walk.h"

namespace druvhost {

namespace {

class MemoryStream : public ByteStream {
public:
    explicit MemoryStream(const std::vector<uint8_t>* source) : source_(source) {}

    bool Read(void* buffer, uint32_t count, uint32_t* got) override {
        const size_t left = source_ ? source_->size() - at_ : 0;
        const size_t n = std::min<size_t>(count, left);
        if (n) std::memcpy(buffer, source_->data() + at_, n);
        at_ += n;
        if (got) *got = static_cast<uint32_t>(n);
        return true;
    }
    bool Write(const void* buffer, uint32_t count) override {
        const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
        written.insert(written.end(), bytes, bytes + count);
        return true;
    }

    std::vector<uint8_t> written;

private:
    const std::vector<uint8_t>* source_;
    size_t at_ = 0;
};

// The store a filter of `device` holds after loading `saved`.
bool LoadStore(const DRUVDevice& device, const std::vector<uint8_t>& saved, DRUVData& data, std::string& error) {
    data.BuildFrom(device);
    if (saved.empty()) return true;
    MemoryStream stream(&saved);
    if (ReadDataStore(data, stream) == StoreReadResult::Failed) {
        error = "the project's saved bytes for " + device.Product() + " cannot be read by the plug-in";
        return false;
    }
    return true;
}

bool HoldsDump(const SavedDump& dump) {
    return std::any_of(dump.data.begin(), dump.data.end(), [](uint8_t byte) { return byte != kLoopMarker; });
}

bool ExportDumps(const std::vector<SavedDump>& dumps, const std::vector<std::string>& items, std::vector<uint8_t>& syx,
                 std::string& error) {
    std::vector<uint8_t> out;
    std::string empty;
    for (const std::string& name : items) {
        auto dump = std::find_if(dumps.begin(), dumps.end(), [&](const SavedDump& d) { return d.item == name; });
        if (dump == dumps.end() || !HoldsDump(*dump)) {
            empty += (empty.empty() ? "\"" : ", \"") + name + "\"";
            continue;
        }
        if (!AppendStoredMessages(dump->data.data(), dump->data.size(), out, error)) {
            error = "\"" + name + "\": " + error;
            return false;
        }
    }
    if (!empty.empty()) {
        error = "no dump is stored for " + empty + "; receive or import it first";
        return false;
    }
    syx = std::move(out);
    return true;
}

}  // namespace

bool ReadSavedDumps(const DRUVDevice& device, const std::vector<uint8_t>& saved, std::vector<SavedDump>& dumps,
                    std::string& error) {
    DRUVData data;
    if (!LoadStore(device, saved, data, error)) return false;
    dumps.clear();
    for (const auto& item : data.Items) {
        SavedDump dump{item->Name(), {}};
        const int32_t length = item->Length.load();
        if (item->Data() && length > 0 && static_cast<uint32_t>(length) <= item->Capacity())
            dump.data.assign(item->Data(), item->Data() + length);
        dumps.push_back(std::move(dump));
    }
    return true;
}

bool ApplyImport(const DRUVDevice& device, const SyxImport& import, std::vector<uint8_t>& saved, std::string& error) {
    if (!import.Fits()) {
        error = import.refusal;
        return false;
    }
    DRUVData data;
    if (!LoadStore(device, saved, data, error)) return false;
    for (const ItemImport& laid : import.items) {
        DumpItem* item = data.FindItemExact(laid.item);
        // A dump must stay below its buffer's size, or the store does not count it as held.
        const size_t wanted = std::min<size_t>(laid.stored.size() + 1, UINT32_MAX);
        if (!item || (laid.stored.size() >= item->Capacity() && !item->Allocate(static_cast<uint32_t>(wanted)))) {
            error = "\"" + laid.item + "\" cannot hold " + std::to_string(laid.stored.size()) + " bytes";
            return false;
        }
        std::memcpy(item->Data(), laid.stored.data(), laid.stored.size());
        item->Length.store(static_cast<int32_t>(laid.stored.size()));
    }
    MemoryStream stream(nullptr);
    if (!WriteDataStore(data, stream)) {
        error = "the plug-in's store could not be written";
        return false;
    }
    saved = std::move(stream.written);
    return true;
}

bool ExportItem(const DRUVDevice& device, const std::vector<uint8_t>& saved, const std::string& itemName,
                std::vector<uint8_t>& syx, std::string& error) {
    const DRUVTemplate* t = device.FindTemplate(itemName.c_str());
    if (!t) {
        error = "the device has no item \"" + itemName + "\"";
        return false;
    }
    std::vector<SavedDump> dumps;
    return ReadSavedDumps(device, saved, dumps, error) && ExportDumps(dumps, {t->Name()}, syx, error);
}

bool ExportConfiguration(const DRUVDevice& device, const std::vector<uint8_t>& saved, uint32_t mask,
                         std::vector<uint8_t>& syx, std::string& error) {
    std::vector<std::string> items;
    const std::vector<bool> selected = SelectedTemplates(device, mask);
    for (size_t t = 0; t < selected.size(); ++t)
        if (selected[t]) items.push_back(device.Template(t)->Name());
    if (items.empty()) {
        error = "the configuration names no item of the device";
        return false;
    }
    std::vector<SavedDump> dumps;
    return ReadSavedDumps(device, saved, dumps, error) && ExportDumps(dumps, items, syx, error);
}

bool AppendStoredMessages(const uint8_t* data, size_t length, std::vector<uint8_t>& syx, std::string& error) {
    size_t broken = length;
    WalkMessages(data, length, StartsStoredMessage, [&](size_t start, size_t end) {
        if (data[start] != kSysXStart) return WalkStep::Next;
        if (end - start < 2 || data[end - 1] != 0xF7) {
            broken = start;
            return WalkStep::Stop;
        }
        syx.insert(syx.end(), data + start, data + end);
        return WalkStep::Next;
    });
    if (broken == length) return true;
    error = "the stored message at byte " + std::to_string(broken) + " of the dump has no end byte (F7)";
    return false;
}

}  // namespace druvhost
