#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "manager/entry_ownership.h"
#include "manager/host_registration.h"
#include "manager/host_registry_layout.h"
#include "manager_test_support.h"
#include "tests/platform/faulty_registry_editor.h"

namespace {

constexpr char kDeskClass[] = "CLSID\\{01234567-89AB-CDEF-0123-456789ABCDEF}";
constexpr char kPageClass[] = "CLSID\\{5464D9CE-17FD-4E28-A451-79A27E39BBC4}";
constexpr char kDeskPlugin[] = "Software\\Tavrel\\ZN3\\Plugins\\{01234567-89AB-CDEF-0123-456789ABCDEF}";

RegistryWrite Set(RegistryRoot root, const std::string& key, const std::string& name, const RegistryValue& value) {
    return RegistryWrite{RegistryWriteKind::SetValue, root, key, name, value};
}

std::vector<RegistryWrite> HostWrites(const MemoryRegistry& registry) {
    std::vector<RegistryWrite> writes;
    for (const RegistryWrite& write : registry.WriteLog())
        if (write.root != RegistryRoot::CurrentUser) writes.push_back(write);
    return writes;
}

using HostRegistration = ManagerTest;

// A path of exactly 255 characters: the longest the component server reads.
TEST_F(HostRegistration, InstallWritesTheTenRowsInOrderAndTheServerReadsThePathBack) {
    const std::string fileName = std::string(255 - folder.File("").size() - 5, 'p') + ".druv";
    const std::string path = Install(fileName, Definition{"Maker", "Desk", kDeskGuid, kDeskEditor, "", 2});
    ASSERT_EQ(255u, path.size());
    const RegistryRoot cr = RegistryRoot::ClassesRoot, lm = RegistryRoot::LocalMachine;
    const std::vector<RegistryWrite> expected = {
        Set(cr, kDeskClass, "", RegistryValue::Text("Maker Desk")),
        Set(cr, std::string(kDeskClass) + "\\InprocServer32", "", RegistryValue::Text(kPluginPath)),
        Set(cr, std::string(kDeskClass) + "\\InprocServer32", "ThreadingModel", RegistryValue::Text("Both")),
        Set(cr, kPageClass, "", RegistryValue::Text("DRUV Editor")),
        Set(cr, std::string(kPageClass) + "\\InprocServer32", "", RegistryValue::Text(kPluginPath)),
        Set(cr, std::string(kPageClass) + "\\InprocServer32", "ThreadingModel", RegistryValue::Text("Both")),
        RegistryWrite{RegistryWriteKind::CreateKey, lm, kDeskPlugin, "", RegistryValue()},
        Set(lm, kDeskPlugin, "ZN3_KEY_PLUGIN_NAME", RegistryValue::Text("Maker Desk")),
        Set(lm, kDeskPlugin, "ZN3_KEY_TYPE", RegistryValue::Dword(0x4802)),
        Set(lm, kDeskPlugin, "DevicePath", RegistryValue::Text(path)),
    };
    EXPECT_TRUE(HostWrites(registry) == expected);
    std::string read;
    ASSERT_EQ(RegistryRead::Ok, registry.ReadText(RegistryRoot::LocalMachine, kDeskPlugin, "DevicePath", 255, read));
    EXPECT_EQ(path, read);
}

TEST(HostTypeCode, FollowsTheDeviceType) {
    const struct { int deviceType; uint32_t code; } cases[] = {
        {0, 0x1802}, {1, 0x2802}, {2, 0x4802}, {3, 0x2802}, {-1, 0x2802}, {127, 0x2802}};
    for (const auto& c : cases) EXPECT_EQ(c.code, HostTypeCode(c.deviceType)) << "DeviceType " << c.deviceType;
}

TEST(DeleteKeyTree, RemovesThreeLevelsAndLeavesTheSiblings) {
    MemoryRegistry registry;
    const RegistryRoot cr = RegistryRoot::ClassesRoot;
    for (const char* key : {"CLSID\\{X}\\A\\A1", "CLSID\\{X}\\A\\A2", "CLSID\\{X}\\B", "CLSID\\{Y}"})
        ASSERT_TRUE(registry.CreateKey(cr, key));
    ASSERT_TRUE(registry.SetValue(cr, "CLSID\\{X}\\A\\A1", "v", RegistryValue::Dword(1)));
    EXPECT_TRUE(DeleteKeyTree(registry, cr, "CLSID\\{X}"));
    EXPECT_FALSE(registry.KeyExists(cr, "CLSID\\{X}"));
    EXPECT_TRUE(registry.KeyExists(cr, "CLSID\\{Y}"));
}

TEST(DeleteKeyTree, AnUndeletableSubkeyEndsTheWalkInsteadOfLoopingForever) {
    MemoryRegistry inner;
    FaultyRegistryEditor registry(inner);
    const RegistryRoot cr = RegistryRoot::ClassesRoot;
    for (const char* key : {"CLSID\\{X}\\A\\Stuck", "CLSID\\{X}\\B"}) ASSERT_TRUE(inner.CreateKey(cr, key));
    registry.RefuseUnder(cr, "CLSID\\{X}\\A\\Stuck", FaultyRegistryEditor::kDeleteKey);
    EXPECT_FALSE(DeleteKeyTree(registry, cr, "CLSID\\{X}"));
    EXPECT_TRUE(inner.KeyExists(cr, "CLSID\\{X}\\A\\Stuck"));
    EXPECT_LT(registry.Writes(), 5u);
}

// What a class key holds, judged against what an install writes there: a
// class that anything but this manager's DRUV.dll serves or describes is
// another program's, and one that names no server is nobody's to delete.
TEST(InspectClass, OnlyWhatAnInstallWritesIsOurs) {
    const GUID someClass = {0x11111111, 0x2222, 0x3333, {4, 4, 5, 5, 5, 5, 5, 5}};
    const ServerMatcher ours = ThisPlugin(kPluginPath, nullptr);
    const struct {
        const char* server;    // InprocServer32's default; null for no InprocServer32
        const char* extraKey;  // another subkey of the class, or of InprocServer32 when it starts with "\\"
        const char* appId;     // the class's AppID value
        ClassState state;
        std::string foreignEntry;
    } cases[] = {
        {kPluginPath, nullptr, nullptr, ClassState::Ours, ""},
        {"\"C:\\PROGRAM FILES\\DRUV\\druv.dll\"", nullptr, nullptr, ClassState::Ours, ""},
        {"C:/Program Files/DRUV//DRUV.dll", nullptr, nullptr, ClassState::Ours, ""},
        {"C:\\Program Files\\DRUV\\..\\DRUV\\.\\DRUV.dll", nullptr, nullptr, ClassState::Ours, ""},
        {"\\\\?\\C:\\Program Files\\DRUV\\DRUV.dll", nullptr, nullptr, ClassState::Ours, ""},
        // A copy of the plug-in in another folder is not the one beside this manager.
        {"\"C:\\Elsewhere\\druv.DLL\"", nullptr, nullptr, ClassState::Foreign, "\"C:\\Elsewhere\\druv.DLL\""},
        {"C:\\Windows\\other.dll", nullptr, nullptr, ClassState::Foreign, "C:\\Windows\\other.dll"},
        {"C:\\Program Files\\DRUV\\DRUV.dll.bak", nullptr, nullptr, ClassState::Foreign,
         "C:\\Program Files\\DRUV\\DRUV.dll.bak"},
        {"", nullptr, nullptr, ClassState::Foreign, "InprocServer32 without a file"},
        {nullptr, nullptr, nullptr, ClassState::Unserved, ""},  // nothing serves it: not ours to delete
        // Served or described by something besides an in-process server.
        {nullptr, "LocalServer32", nullptr, ClassState::Foreign, "LocalServer32 C:\\Server\\server.exe"},
        {kPluginPath, "LocalServer", nullptr, ClassState::Foreign, "LocalServer C:\\Server\\server.exe"},
        {nullptr, nullptr, "{0BADF00D-0000-0000-0000-000000000001}", ClassState::Foreign,
         "AppID {0BADF00D-0000-0000-0000-000000000001}"},
        {kPluginPath, nullptr, "{0BADF00D-0000-0000-0000-000000000001}", ClassState::Foreign,
         "AppID {0BADF00D-0000-0000-0000-000000000001}"},
        {kPluginPath, "TreatAs", nullptr, ClassState::Foreign, "TreatAs C:\\Server\\server.exe"},
        {kPluginPath, "InprocHandler32", nullptr, ClassState::Foreign, "InprocHandler32 C:\\Server\\server.exe"},
        {kPluginPath, "ProgID", nullptr, ClassState::Foreign, "ProgID C:\\Server\\server.exe"},
        {kPluginPath, "\\Extra", nullptr, ClassState::Foreign, "InprocServer32\\Extra"},
    };
    for (const auto& c : cases) {
        MemoryRegistry registry;
        const RegistryRoot cr = RegistryRoot::ClassesRoot;
        const std::string key = ClassKeyPath(someClass);
        ASSERT_TRUE(registry.SetValue(cr, key, "", RegistryValue::Text("Some Class")));
        if (c.server) {
            ASSERT_TRUE(registry.SetValue(cr, ClassServerKeyPath(someClass), "", RegistryValue::Text(c.server)));
        }
        if (c.extraKey && c.extraKey[0] == '\\') {
            ASSERT_TRUE(registry.CreateKey(cr, ClassServerKeyPath(someClass) + c.extraKey));
        } else if (c.extraKey) {
            ASSERT_TRUE(
                registry.SetValue(cr, key + "\\" + c.extraKey, "", RegistryValue::Text("C:\\Server\\server.exe")));
        }
        if (c.appId) {
            ASSERT_TRUE(registry.SetValue(cr, key, "AppID", RegistryValue::Text(c.appId)));
        }
        const ClassInspection inspection = InspectClass(registry, someClass, ours);
        const std::string what = std::string("served by ") + (c.server ? c.server : "nothing") + ", " +
                                 (c.extraKey ? c.extraKey : "no other key") + ", " + (c.appId ? "AppID" : "no AppID");
        EXPECT_EQ(static_cast<int>(c.state), static_cast<int>(inspection.state)) << what;
        EXPECT_EQ(c.foreignEntry, inspection.foreignEntry) << what;
    }
    MemoryRegistry empty;
    EXPECT_EQ(static_cast<int>(ClassState::Absent), static_cast<int>(InspectClass(empty, someClass, ours).state));
}

// The editor page's class is registered alike by every copy of the plug-in.
TEST(InspectClass, AnyCopyOfThePluginServesTheEditorPage) {
    const struct { const char* server; bool copy; } cases[] = {
        {"C:\\Elsewhere\\druv.DLL", true}, {"\"Z:\\tmp\\x\\DRUV.dll\"", true}, {"DRUV.dll", true},
        {"C:\\Elsewhere\\DRUV.dll.bak", false}, {"C:\\Elsewhere\\NODRUV.dll", false}, {"C:\\DRUV.dll\\x.dll", false}};
    for (const auto& c : cases) EXPECT_EQ(c.copy, AnyCopyOfThePlugin()(c.server)) << c.server;
}

}  // namespace
