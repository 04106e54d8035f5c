#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    ASSERT_EQ(RegistryRead::Ok, registry.ReadMachineText(kDeskPlugin, "DevicePath", 255, read));
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

TEST(DeleteOwnClass, LeavesWhatIsNotOursToDelete) {
    const GUID someClass = {0x11111111, 0x2222, 0x3333, {4, 4, 5, 5, 5, 5, 5, 5}};
    const struct { GUID classId; const char* server; const char* otherServerKey; bool deleted; } cases[] = {
        {someClass, "\"C:\\Elsewhere\\druv.DLL\"", nullptr, true},
        {someClass, nullptr, nullptr, true},  // no server at all
        {someClass, "C:\\Windows\\other.dll", nullptr, false},
        {someClass, "C:\\Windows\\DRUV.dll.bak", nullptr, false},
        {someClass, nullptr, "LocalServer32", false},  // another program's process serves it
        {someClass, "C:\\DRUV\\DRUV.dll", "LocalServer", false},
        {kPropPageClassId, "C:\\DRUV\\DRUV.dll", nullptr, false},
        {GUID{}, nullptr, nullptr, false},
    };
    for (const auto& c : cases) {
        MemoryRegistry registry;
        ASSERT_TRUE(registry.CreateKey(RegistryRoot::ClassesRoot, ClassKeyPath(c.classId)));
        if (c.server) {
            ASSERT_TRUE(registry.SetValue(RegistryRoot::ClassesRoot, ClassServerKeyPath(c.classId), "",
                                          RegistryValue::Text(c.server)));
        }
        if (c.otherServerKey) {
            ASSERT_TRUE(registry.CreateKey(RegistryRoot::ClassesRoot,
                                           ClassKeyPath(c.classId) + "\\" + c.otherServerKey));
        }
        EXPECT_TRUE(DeleteOwnClass(registry, c.classId));
        EXPECT_EQ(!c.deleted, registry.KeyExists(RegistryRoot::ClassesRoot, ClassKeyPath(c.classId)))
            << ClassIdText(c.classId) << " served by " << (c.server ? c.server : "nothing") << " and "
            << (c.otherServerKey ? c.otherServerKey : "no other server");
    }
}

}  // namespace
