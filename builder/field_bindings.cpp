#include "builder/field_bindings.h"

#include <iterator>

#include "builder/drop_down_entries.h"
#include "device/byte_string.h"
#include "device/text_fields.h"

namespace {

namespace ids = builder_controls;

template <typename Record>
FieldBinding<Record> TextBox(ControlId control, std::string (*text)(const Record&),
                             void (*store)(Record&, const char*)) {
    return {control, FieldKind::Text, text, store, nullptr, nullptr, 0};
}

template <typename Record>
FieldBinding<Record> NumberBox(ControlId control, int32_t (*value)(const Record&),
                               void (*store)(Record&, const char*)) {
    return {control, FieldKind::Number, nullptr, store, value, nullptr, 0};
}

template <typename Record>
FieldBinding<Record> ByteBox(ControlId control, std::string (*text)(const Record&),
                             void (*store)(Record&, const char*)) {
    return {control, FieldKind::Bytes, text, store, nullptr, nullptr, 0};
}

template <typename Record>
FieldBinding<Record> CheckBox(ControlId control, int32_t (*value)(const Record&), void (*store)(Record&, int32_t)) {
    return {control, FieldKind::Check, nullptr, nullptr, value, store, 0};
}

template <typename Record, size_t Entries>
FieldBinding<Record> DropDown(ControlId control, const char* const (&)[Entries], int32_t (*value)(const Record&),
                              void (*store)(Record&, int32_t)) {
    return {control, FieldKind::DropDown, nullptr, nullptr, value, store, static_cast<int>(Entries)};
}

using Device = DRUVDevice;
using Template = DRUVTemplate;

}  // namespace

const DeviceBinding kDeviceBindings[] = {
    TextBox<Device>(ids::kCompany, [](const Device& d) { return d.Company(); },
                    [](Device& d, const char* t) { d.SetCompany(t); }),
    TextBox<Device>(ids::kProduct, [](const Device& d) { return d.Product(); },
                    [](Device& d, const char* t) { d.SetProduct(t); }),
    TextBox<Device>(ids::kAuthor, [](const Device& d) { return d.Author(); },
                    [](Device& d, const char* t) { d.SetAuthor(t); }),
    TextBox<Device>(ids::kVersion, [](const Device& d) { return d.Version(); },
                    [](Device& d, const char* t) { d.SetVersion(t); }),
    TextBox<Device>(ids::kHelpFile, [](const Device& d) { return d.HelpFile(); },
                    [](Device& d, const char* t) { d.SetHelpFile(t); }),
    TextBox<Device>(ids::kActivePngFile, [](const Device& d) { return d.ActivePNGFile(); },
                    [](Device& d, const char* t) { d.SetActivePNGFile(t); }),
    TextBox<Device>(ids::kInactivePngFile, [](const Device& d) { return d.InactivePNGFile(); },
                    [](Device& d, const char* t) { d.SetInactivePNGFile(t); }),
    NumberBox<Device>(ids::kSysXChanOfs, [](const Device& d) -> int32_t { return d.SysXChanOfs(); },
                      [](Device& d, const char* t) { d.SetSysXChanOfs(t); }),
    NumberBox<Device>(ids::kSysXChanMin, [](const Device& d) -> int32_t { return d.SysXChanMin(); },
                      [](Device& d, const char* t) { d.SetSysXChanMin(t); }),
    NumberBox<Device>(ids::kSysXChanMax, [](const Device& d) -> int32_t { return d.SysXChanMax(); },
                      [](Device& d, const char* t) { d.SetSysXChanMax(t); }),
    NumberBox<Device>(ids::kSysXChanDefault, [](const Device& d) -> int32_t { return d.SysXChanDefault(); },
                      [](Device& d, const char* t) { d.SetSysXChanDefault(t); }),
    NumberBox<Device>(ids::kSysXDisplayOfs, [](const Device& d) -> int32_t { return d.SysXDisplayOfs(); },
                      [](Device& d, const char* t) { d.SetSysXDisplayOfs(t); }),
    CheckBox<Device>(ids::kMidiChannel, [](const Device& d) -> int32_t { return d.MidiChannel(); },
                     [](Device& d, int32_t v) { d.SetMidiChannel(v); }),
    DropDown<Device>(ids::kDeviceType, kDeviceTypeEntries, [](const Device& d) -> int32_t { return d.DeviceType(); },
                     [](Device& d, int32_t v) { d.SetDeviceType(v); }),
};
const size_t kDeviceBindingCount = std::size(kDeviceBindings);

const TemplateBinding kTemplateBindings[] = {
    NumberBox<Template>(ids::kSize, [](const Template& t) { return t.Size(); },
                        [](Template& t, const char* s) { t.SetSize(s); }),
    DropDown<Template>(ids::kCSumType, kChecksumTypeEntries, [](const Template& t) -> int32_t { return t.CSumType(); },
                       [](Template& t, int32_t v) { t.SetCSumType(v); }),
    NumberBox<Template>(ids::kCSumStart, [](const Template& t) { return t.CSumStart(); },
                        [](Template& t, const char* s) { t.SetCSumStart(s); }),
    NumberBox<Template>(ids::kCSumLength, [](const Template& t) { return t.CSumLength(); },
                        [](Template& t, const char* s) { t.SetCSumLength(s); }),
    NumberBox<Template>(ids::kCSumOfs, [](const Template& t) { return t.CSumOfs(); },
                        [](Template& t, const char* s) { t.SetCSumOfs(s); }),
    NumberBox<Template>(ids::kNumLoops, [](const Template& t) { return t.NumLoops(); },
                        [](Template& t, const char* s) { t.SetNumLoops(s); }),
    NumberBox<Template>(ids::kLoopStart, [](const Template& t) { return t.LoopStart(); },
                        [](Template& t, const char* s) { t.SetLoopStart(s); }),
    NumberBox<Template>(ids::kLoopIncDec, [](const Template& t) { return t.LoopIncDec(); },
                        [](Template& t, const char* s) { t.SetLoopIncDec(s); }),
    DropDown<Template>(ids::kLoopValFormat, kLoopStoreEntries, [](const Template& t) { return t.LoopValFormat(); },
                       [](Template& t, int32_t v) { t.SetLoopValFormat(v); }),
    NumberBox<Template>(ids::kLoopRecvSize, [](const Template& t) { return t.LoopRecvSize(); },
                        [](Template& t, const char* s) { t.SetLoopRecvSize(s); }),
    NumberBox<Template>(ids::kDelayBetweenSysX, [](const Template& t) { return t.DelayBetweenSysX(); },
                        [](Template& t, const char* s) { t.SetDelayBetweenSysX(s); }),
    NumberBox<Template>(ids::kDelayEveryNthByte, [](const Template& t) { return t.DelayEveryNthByte(); },
                        [](Template& t, const char* s) { t.SetDelayEveryNthByte(s); }),
    NumberBox<Template>(ids::kDelayEveryNthByteAmount, [](const Template& t) { return t.DelayEveryNthByteAmount(); },
                        [](Template& t, const char* s) { t.SetDelayEveryNthByteAmount(s); }),
    CheckBox<Template>(ids::kUseMidiChannel, [](const Template& t) { return t.UseMidiChannel(); },
                       [](Template& t, int32_t v) { t.SetUseMidiChannel(v); }),
    CheckBox<Template>(ids::kFixedLength, [](const Template& t) { return t.FixedLength(); },
                       [](Template& t, int32_t v) { t.SetFixedLength(v); }),
    CheckBox<Template>(ids::kMultiSysX, [](const Template& t) { return t.MultiSysX(); },
                       [](Template& t, int32_t v) { t.SetMultiSysX(v); }),
    CheckBox<Template>(ids::kTimeOut, [](const Template& t) -> int32_t { return t.TimeOut(); },
                       [](Template& t, int32_t v) { t.SetTimeOut(v); }),
    CheckBox<Template>(ids::kVerify, [](const Template& t) { return t.Verify(); },
                       [](Template& t, int32_t v) { t.SetVerify(v); }),
    CheckBox<Template>(ids::kStoreTerminator, [](const Template& t) -> int32_t { return t.StoreTerminator(); },
                       [](Template& t, int32_t v) { t.SetStoreTerminator(v); }),
    ByteBox<Template>(ids::kPreRequest, [](const Template& t) { return BytesToHexText(t.PreRequest()); },
                      [](Template& t, const char* s) { t.SetPreRequest(s); }),
    ByteBox<Template>(ids::kRequest, [](const Template& t) { return BytesToHexText(t.Request()); },
                      [](Template& t, const char* s) { t.SetRequest(s); }),
    ByteBox<Template>(ids::kPostRequest, [](const Template& t) { return BytesToHexText(t.PostRequest()); },
                      [](Template& t, const char* s) { t.SetPostRequest(s); }),
    ByteBox<Template>(ids::kPreTransmit, [](const Template& t) { return BytesToHexText(t.PreTransmit()); },
                      [](Template& t, const char* s) { t.SetPreTransmit(s); }),
    ByteBox<Template>(ids::kTransmit, [](const Template& t) { return BytesToHexText(t.Transmit()); },
                      [](Template& t, const char* s) { t.SetTransmit(s); }),
    ByteBox<Template>(ids::kPostTransmit, [](const Template& t) { return BytesToHexText(t.PostTransmit()); },
                      [](Template& t, const char* s) { t.SetPostTransmit(s); }),
    ByteBox<Template>(ids::kTerminator, [](const Template& t) { return BytesToHexText(t.Terminator()); },
                      [](Template& t, const char* s) { t.SetTerminator(s); }),
};
const size_t kTemplateBindingCount = std::size(kTemplateBindings);

namespace {

template <typename Record>
void Show(const FieldBinding<Record>* bindings, size_t count, const Record& record, BuilderView& view) {
    for (size_t i = 0; i < count; ++i) {
        const FieldBinding<Record>& b = bindings[i];
        switch (b.kind) {
            case FieldKind::Text:
            case FieldKind::Bytes:
                view.SetText(b.control, b.text(record));
                break;
            case FieldKind::Number:
                view.SetText(b.control, DecimalText(b.value(record)));
                break;
            case FieldKind::Check:
                view.SetChecked(b.control, b.value(record) != 0);
                break;
            case FieldKind::DropDown: {
                const int32_t value = b.value(record);
                view.SetDropDownSelection(b.control, value >= 0 && value < b.entries ? value : -1);
                break;
            }
        }
    }
}

template <typename Record>
void Store(const FieldBinding<Record>* bindings, size_t count, BuilderView& view, Record& record) {
    for (size_t i = 0; i < count; ++i) {
        const FieldBinding<Record>& b = bindings[i];
        switch (b.kind) {
            case FieldKind::Text:
            case FieldKind::Number:
            case FieldKind::Bytes:
                b.storeText(record, view.Text(b.control).c_str());
                break;
            case FieldKind::Check:
                b.storeValue(record, view.IsChecked(b.control) ? 1 : 0);
                break;
            case FieldKind::DropDown: {
                // No entry chosen means the value is one the list cannot show;
                // storing -1 would overwrite it with something nobody chose.
                const int selected = view.DropDownSelection(b.control);
                if (selected >= 0) b.storeValue(record, selected);
                break;
            }
        }
    }
}

template <typename Record>
void Limit(const FieldBinding<Record>* bindings, size_t count, BuilderView& view) {
    for (size_t i = 0; i < count; ++i)
        if (bindings[i].kind == FieldKind::Text || bindings[i].kind == FieldKind::Number)
            view.SetTextLimit(bindings[i].control, kBoxTextLimit);
}

// The value as the record's box shows it; a check is only ticked or clear.
template <typename Record>
std::string ShownText(const FieldBinding<Record>& b, const Record& record) {
    switch (b.kind) {
        case FieldKind::Text:
        case FieldKind::Bytes:
            return b.text(record);
        case FieldKind::Check:
            return b.value(record) != 0 ? "1" : "0";
        case FieldKind::Number:
        case FieldKind::DropDown:
            break;
    }
    return DecimalText(b.value(record));
}

template <typename Record>
std::string Fields(const FieldBinding<Record>* bindings, size_t count, const Record& record) {
    std::string text;
    for (size_t i = 0; i < count; ++i) AppendFieldText(text, ShownText(bindings[i], record));
    return text;
}

// Each box is stored into `scratch` as StoreFields would store it into the
// record and read back from there, so the text follows the setters' rules
// (a number's trailing letters, "# Loops" 0, bytes without digits).
template <typename Record>
std::string PendingFields(const FieldBinding<Record>* bindings, size_t count, const BuilderView& view,
                          const Record& record, Record& scratch) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        const FieldBinding<Record>& b = bindings[i];
        const Record* source = &scratch;
        switch (b.kind) {
            case FieldKind::Text:
            case FieldKind::Number:
            case FieldKind::Bytes:
                b.storeText(scratch, view.Text(b.control).c_str());
                break;
            case FieldKind::Check:
                b.storeValue(scratch, view.IsChecked(b.control) ? 1 : 0);
                break;
            case FieldKind::DropDown: {
                // As Store: no entry chosen keeps the record's value.
                const int selected = view.DropDownSelection(b.control);
                if (selected >= 0)
                    b.storeValue(scratch, selected);
                else
                    source = &record;
                break;
            }
        }
        AppendFieldText(text, ShownText(b, *source));
    }
    return text;
}

}  // namespace

void AppendFieldText(std::string& text, const std::string& field) {
    text += std::to_string(field.size());
    text += ':';
    text += field;
}

std::string FieldsText(const DRUVDevice& device) { return Fields(kDeviceBindings, kDeviceBindingCount, device); }
std::string FieldsText(const DRUVTemplate& record) {
    return Fields(kTemplateBindings, kTemplateBindingCount, record);
}

std::string PendingFieldsText(const BuilderView& view, const DRUVDevice& device) {
    DRUVDevice scratch;
    return PendingFields(kDeviceBindings, kDeviceBindingCount, view, device, scratch);
}

std::string PendingFieldsText(const BuilderView& view, const DRUVTemplate& record) {
    DRUVTemplate scratch(record.Name().c_str());
    return PendingFields(kTemplateBindings, kTemplateBindingCount, view, record, scratch);
}

void ShowFields(const DRUVDevice& device, BuilderView& view) { Show(kDeviceBindings, kDeviceBindingCount, device, view); }
void StoreFields(BuilderView& view, DRUVDevice& device) { Store(kDeviceBindings, kDeviceBindingCount, view, device); }
void ShowFields(const DRUVTemplate& record, BuilderView& view) {
    Show(kTemplateBindings, kTemplateBindingCount, record, view);
}
void StoreFields(BuilderView& view, DRUVTemplate& record) {
    Store(kTemplateBindings, kTemplateBindingCount, view, record);
}

void LimitFieldBoxes(BuilderView& view) {
    Limit(kDeviceBindings, kDeviceBindingCount, view);
    Limit(kTemplateBindings, kTemplateBindingCount, view);
}
