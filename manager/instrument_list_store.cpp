#include "manager/instrument_list_store.h"

#include <cstdint>
#include <string>

#include "manager/host_registry_layout.h"
#include "platform/message_box.h"

namespace {

constexpr uint32_t kMissingValuesEndingTheList = 16;

}  // namespace

void LoadInstrumentList(RegistryEditor& registry, InstrumentList& list) {
    const RegistryRoot root = RegistryRoot::CurrentUser;
    RegistryValue countValue;
    uint32_t count = 0;
    if (registry.ReadValue(root, kInstrumentListKeyPath, kInstrumentCountValueName, countValue) != RegistryRead::Ok ||
        !countValue.AsDword(count))
        return;
    uint32_t missingInARow = 0;
    for (uint32_t i = 0; i < count && missingInARow < kMissingValuesEndingTheList; ++i) {
        RegistryValue value;
        const RegistryRead read = registry.ReadValue(root, kInstrumentListKeyPath, std::to_string(i), value);
        if (read == RegistryRead::NoKey) return;
        if (read != RegistryRead::Ok) {
            ++missingInARow;
            continue;
        }
        missingInARow = 0;
        InstrumentRecord record;
        if (value.type == RegistryType::Binary && DecodeInstrumentRecord(value.data, record)) list.Append(record);
    }
}

bool SaveInstrumentList(RegistryEditor& registry, const InstrumentList& list, void* owner) {
    const RegistryRoot root = RegistryRoot::CurrentUser;
    bool saved = registry.CreateKey(root, kInstrumentListKeyPath) &&
                 registry.SetValue(root, kInstrumentListKeyPath, kInstrumentCountValueName,
                                   RegistryValue::Dword(static_cast<uint32_t>(list.Count())));
    for (size_t i = 0; saved && i < list.Count(); ++i)
        saved = registry.SetValue(root, kInstrumentListKeyPath, std::to_string(i),
                                  RegistryValue::Binary(EncodeInstrumentRecord(list.Item(i).record)));
    if (!saved) ShowMessageBox(kInstrumentListKeyPath, "Registry Open Error", MessageIcon::Error, MessageButtons::Ok, owner);
    return saved;
}
