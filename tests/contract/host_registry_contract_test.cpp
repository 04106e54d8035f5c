// The registry layout is written by the Manager and read by the plug-in's
// component server and by druvhost's listing. Each side is driven through its
// own code over one in-memory registry, and every entry is looked for where
// the contract says it is, with the type the contract gives it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "contract/host_registry.h"
#include "contract/program_files.h"
#include "druvhost/cli/installed_devices.h"
#include "manager/host_registry_layout.h"
#include "platform/memory_registry.h"
#include "plugin/host/class_factories.h"
#include "plugin/host/component_server.h"
#include "tests/manager/manager_test_support.h"

namespace {

struct Entry {
    RegistryRoot root;
    std::string keyPath;
    std::string valueName;
    RegistryType type;
    std::string text;  // for Text
    uint32_t number;   // for Dword
};

std::string Describe(const Entry& entry) {
    return std::to_string(static_cast<int>(entry.root)) + ":" + entry.keyPath + " [" + entry.valueName + "]";
}

class HostRegistryContract : public ManagerTest {
protected:
    // A synth, so that the type code is not the first one the switch meets.
    std::string InstallSynth() {
        Definition synth = Named("Maker", "Synth");
        synth.deviceType = 1;
        return Install("synth.druv", synth);
    }

    IClassFactory* PluginFactory(const GUID& classId, HRESULT& result) {
        const ScopedRegistryInUse plugInReads(registry);
        void* object = nullptr;
        result = DllGetClassObject(classId, IID_IClassFactory, &object);
        return static_cast<IClassFactory*>(object);
    }
};

TEST_F(HostRegistryContract, TheManagerWritesEveryEntryWhereTheContractPutsItWithItsType) {
    const std::string definitionPath = InstallSynth();
    ASSERT_EQ(1u, manager.List().Count()) << LastBoxText();
    const std::string device = ClassIdText(kDeskGuid);
    const std::string page = ClassIdText(kPropPageClassId);
    const std::string plugin = std::string(kManagerFolder) + "\\" + kPluginFileName;
    const std::vector<Entry> entries = {
        {kClassesRoot, ClassKeyPath(device), "", RegistryType::Text, "Maker Synth", 0},
        {kClassesRoot, ClassServerKeyPath(device), "", RegistryType::Text, plugin, 0},
        {kClassesRoot, ClassServerKeyPath(device), kThreadingModelValueName, RegistryType::Text, kThreadingModel, 0},
        {kClassesRoot, ClassKeyPath(page), "", RegistryType::Text, kEditorPageClassName, 0},
        {kClassesRoot, ClassServerKeyPath(page), "", RegistryType::Text, plugin, 0},
        {kHostPluginsRoot, HostPluginKeyPath(device), kPluginNameValueName, kPluginNameType, "Maker Synth", 0},
        {kHostPluginsRoot, HostPluginKeyPath(device), kPluginTypeValueName, kPluginTypeType, "", HostTypeCode(1)},
        {kHostPluginsRoot, HostPluginKeyPath(device), kDevicePathValueName, kDevicePathType, definitionPath, 0},
        {kInstrumentListRoot, kInstrumentListKeyPath, kInstrumentCountValueName, kInstrumentCountType, "", 1},
    };
    for (const Entry& entry : entries) {
        RegistryValue value;
        ASSERT_EQ(RegistryRead::Ok, registry.ReadValue(entry.root, entry.keyPath, entry.valueName, value))
            << Describe(entry);
        EXPECT_EQ(static_cast<uint32_t>(entry.type), static_cast<uint32_t>(value.type)) << Describe(entry);
        uint32_t number = 0;
        if (entry.type == RegistryType::Dword) {
            EXPECT_TRUE(value.AsDword(number)) << Describe(entry);
            EXPECT_EQ(entry.number, number) << Describe(entry);
        } else {
            EXPECT_EQ(entry.text, value.AsText()) << Describe(entry);
        }
    }
    RegistryValue record;
    ASSERT_EQ(RegistryRead::Ok, registry.ReadValue(kInstrumentListRoot, kInstrumentListKeyPath, "0", record));
    EXPECT_EQ(static_cast<uint32_t>(kInstrumentRecordType), static_cast<uint32_t>(record.type));
}

TEST_F(HostRegistryContract, ThePlugInAndDruvhostFindWhatTheManagerInstalled) {
    const std::string definitionPath = InstallSynth();
    ASSERT_EQ(1u, manager.List().Count()) << LastBoxText();

    HRESULT result = E_FAIL;
    IClassFactory* factory = PluginFactory(kDeskGuid, result);
    ASSERT_EQ(S_OK, result);
    ASSERT_NE(nullptr, factory);
    EXPECT_EQ(definitionPath, static_cast<CMidiFilterFactory*>(factory)->DevicePath());
    factory->Release();

    const std::vector<druvhost::InstalledDevice> listed = druvhost::InstalledDevices(registry);
    ASSERT_EQ(1u, listed.size());
    EXPECT_EQ("Maker Synth", listed[0].name);
    EXPECT_TRUE(IsEqualGUID(kDeskGuid, listed[0].classId));
    EXPECT_EQ(definitionPath, listed[0].definitionPath);
}

TEST_F(HostRegistryContract, AfterTheManagerRemovedTheDeviceNeitherReaderFindsIt) {
    InstallSynth();
    ASSERT_EQ(1u, manager.List().Count()) << LastBoxText();
    manager.RemoveAll();
    ASSERT_EQ(0u, manager.List().Count()) << LastBoxText();

    HRESULT result = S_OK;
    EXPECT_EQ(nullptr, PluginFactory(kDeskGuid, result));
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, result);
    EXPECT_TRUE(druvhost::InstalledDevices(registry).empty());
}

}  // namespace
