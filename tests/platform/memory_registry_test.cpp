#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/memory_registry.h"

namespace {

constexpr RegistryRoot kHkcr = RegistryRoot::ClassesRoot;
constexpr RegistryRoot kHklm = RegistryRoot::LocalMachine;
constexpr RegistryRoot kHkcu = RegistryRoot::CurrentUser;

std::vector<std::string> Subkeys(MemoryRegistry& registry, RegistryRoot root, const std::string& keyPath) {
    std::vector<std::string> names;
    std::string name;
    while (registry.SubkeyName(root, keyPath, names.size(), name)) names.push_back(name);
    return names;
}

TEST(MemoryRegistry, CreatingAKeyCreatesEveryKeyAboveItUnderItsOwnRootOnly) {
    MemoryRegistry registry;
    ASSERT_TRUE(registry.CreateKey(kHkcu, "Software\\Klang\\Devices"));
    for (const char* path : {"Software", "Software\\Klang", "Software\\Klang\\Devices", ""})
        EXPECT_TRUE(registry.KeyExists(kHkcu, path)) << path;
    EXPECT_FALSE(registry.KeyExists(kHklm, "Software"));
    EXPECT_FALSE(registry.KeyExists(kHkcr, "Software"));

    // Setting a value creates its key and the keys above it too.
    ASSERT_TRUE(registry.SetValue(kHkcr, ".druv\\shell\\Open\\command", "", RegistryValue::Text("x")));
    EXPECT_EQ((std::vector<std::string>{"Open"}), Subkeys(registry, kHkcr, ".druv\\shell"));
    EXPECT_FALSE(registry.KeyExists(kHkcu, ".druv"));
}

TEST(MemoryRegistry, PathsWithAnEmptyPartNameNoKey) {
    MemoryRegistry registry;
    ASSERT_TRUE(registry.CreateKey(kHkcu, "A\\B"));
    for (const char* path : {"\\A", "A\\\\B", "A\\", "\\"}) {
        EXPECT_FALSE(registry.CreateKey(kHkcu, path)) << path;
        EXPECT_FALSE(registry.SetValue(kHkcu, path, "v", RegistryValue::Dword(1))) << path;
        EXPECT_FALSE(registry.KeyExists(kHkcu, path)) << path;
        EXPECT_FALSE(registry.DeleteKey(kHkcu, path)) << path;
        RegistryValue value;
        EXPECT_EQ(RegistryRead::NoKey, registry.ReadValue(kHkcu, path, "v", value)) << path;
    }
    EXPECT_EQ((std::vector<std::string>{"A"}), Subkeys(registry, kHkcu, ""));
    EXPECT_EQ((std::vector<std::string>{"B"}), Subkeys(registry, kHkcu, "A"));
}

TEST(MemoryRegistry, DeleteKeyRefusesWhatTheSystemRefusesAndChangesNothingThen) {
    struct Case {
        const char* path;
        bool deleted;
        const char* what;
    };
    const std::vector<Case> cases = {
        {"Software\\Klang", false, "key with a subkey"},
        {"Software\\Klang\\Missing", false, "missing key"},
        {"Software\\Gone\\Devices", false, "missing key above"},
        {"", false, "the root"},
        {"software\\KLANG\\devices", true, "leaf, in other letter case"},
    };
    for (const Case& c : cases) {
        MemoryRegistry registry;
        ASSERT_TRUE(registry.SetValue(kHkcu, "Software\\Klang\\Devices", "Count", RegistryValue::Dword(2)));
        ASSERT_TRUE(registry.SetValue(kHkcu, "Software\\Klang", "Name", RegistryValue::Text("K")));
        registry.ClearWriteLog();

        EXPECT_EQ(c.deleted, registry.DeleteKey(kHkcu, c.path)) << c.what;
        EXPECT_EQ(!c.deleted, registry.KeyExists(kHkcu, "Software\\Klang\\Devices")) << c.what;
        RegistryValue value;
        EXPECT_EQ(RegistryRead::Ok, registry.ReadValue(kHkcu, "Software\\Klang", "Name", value)) << c.what;
        EXPECT_EQ(c.deleted ? 1u : 0u, registry.WriteLog().size()) << c.what;
    }
}

TEST(MemoryRegistry, KeyPathsAndValueNamesIgnoreAsciiCaseAndKeepTheirFirstSpelling) {
    MemoryRegistry registry;
    ASSERT_TRUE(registry.CreateKey(kHklm, "Software\\Klangwerk J\xC3\xBCrgen"));
    ASSERT_TRUE(registry.SetValue(kHklm, "SOFTWARE\\klangwerk j\xC3\xBCRGEN", "DevicePath", RegistryValue::Text("a")));
    ASSERT_TRUE(registry.SetValue(kHklm, "software\\KLANGWERK J\xC3\xBCrgen", "DEVICEPATH", RegistryValue::Text("b")));

    EXPECT_EQ((std::vector<std::string>{"Klangwerk J\xC3\xBCrgen"}), Subkeys(registry, kHklm, "Software"));
    RegistryValue value;
    ASSERT_EQ(RegistryRead::Ok, registry.ReadValue(kHklm, "Software\\Klangwerk J\xC3\xBCrgen", "devicepath", value));
    EXPECT_EQ("b", value.AsText());
    // Only ASCII letters fold: "ü" and "Ü" are different keys here.
    EXPECT_FALSE(registry.KeyExists(kHklm, "Software\\Klangwerk J\xC3\x9Crgen"));
}

TEST(MemoryRegistry, SubkeysEnumerateInCaseInsensitiveNameOrder) {
    MemoryRegistry registry;
    for (const char* name : {"beta", "Alpha", "gamma", "Delta"})
        ASSERT_TRUE(registry.CreateKey(kHkcr, std::string("CLSID\\") + name));
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "Delta", "gamma"}), Subkeys(registry, kHkcr, "CLSID"));

    std::string name = "unchanged";
    EXPECT_FALSE(registry.SubkeyName(kHkcr, "CLSID\\Alpha", 0, name));
    EXPECT_FALSE(registry.SubkeyName(kHkcr, "Missing", 0, name));
    EXPECT_EQ("unchanged", name);

    // Deleting the first subkey moves the next one to index 0, which is what
    // a loop deleting a tree relies on.
    ASSERT_TRUE(registry.DeleteKey(kHkcr, "CLSID\\alpha"));
    ASSERT_TRUE(registry.SubkeyName(kHkcr, "CLSID", 0, name));
    EXPECT_EQ("beta", name);
}

TEST(MemoryRegistry, TypedValuesRoundTripWhole) {
    struct Case {
        RegistryValue value;
        const char* what;
    };
    const std::vector<Case> cases = {
        {RegistryValue::Text("Klangwerk J\xC3\xBCrgen Mixer"), "text with a non-ASCII character"},
        {RegistryValue::Text(""), "empty text"},
        {RegistryValue::Dword(0x4802), "number"},
        {RegistryValue::Dword(0xFFFFFFFFu), "largest number"},
        {RegistryValue::Binary({0, 1, 0, 0xFF, 0}), "bytes with zeros"},
        {RegistryValue::Binary(std::vector<uint8_t>(544, 0xA5)), "a record of 544 bytes"},
        {RegistryValue::Binary({}), "no bytes"},
    };
    for (const Case& c : cases) {
        MemoryRegistry registry;
        ASSERT_TRUE(registry.SetValue(kHkcu, "Software\\Klang", "v", c.value)) << c.what;
        RegistryValue read = RegistryValue::Text("unchanged");
        ASSERT_EQ(RegistryRead::Ok, registry.ReadValue(kHkcu, "Software\\Klang", "V", read)) << c.what;
        EXPECT_TRUE(read == c.value) << c.what;
    }

    MemoryRegistry registry;
    ASSERT_TRUE(registry.CreateKey(kHkcu, "Software\\Klang"));
    RegistryValue read;
    RegistryValue textWithZero;
    textWithZero.type = RegistryType::Text;
    textWithZero.data = {'a', 0, 'b'};
    ASSERT_TRUE(registry.SetValue(kHkcu, "Software\\Klang", "t", textWithZero));
    ASSERT_EQ(RegistryRead::Ok, registry.ReadValue(kHkcu, "Software\\Klang", "t", read));
    EXPECT_TRUE(read == RegistryValue::Text("a")) << "a text is kept up to its first zero byte";
    RegistryValue shortNumber = RegistryValue::Dword(1);
    shortNumber.data.pop_back();
    EXPECT_FALSE(registry.SetValue(kHkcu, "Software\\Klang", "n", shortNumber));

    read = RegistryValue::Dword(7);
    EXPECT_EQ(RegistryRead::NoValue, registry.ReadValue(kHkcu, "Software\\Klang", "v", read));
    EXPECT_EQ(RegistryRead::NoKey, registry.ReadValue(kHkcu, "Software\\Other", "v", read));
    EXPECT_TRUE(read == RegistryValue::Dword(7));
}

TEST(RegistryValue, HelpersGiveTheStoredFormAndReadOnlyTheirOwnType) {
    EXPECT_EQ((std::vector<uint8_t>{'J', 0xC3, 0xBC, 0}), RegistryValue::Text("J\xC3\xBC").data);
    EXPECT_EQ((std::vector<uint8_t>{0x02, 0x48, 0x00, 0x00}), RegistryValue::Dword(0x4802).data);

    RegistryValue unterminated;
    unterminated.type = RegistryType::Text;
    unterminated.data = {'a', 'b'};
    EXPECT_EQ("ab", unterminated.AsText());
    EXPECT_EQ("", RegistryValue::Binary({'a', 0}).AsText());

    uint32_t number = 0;
    RegistryValue shortDword = RegistryValue::Dword(5);
    shortDword.data.pop_back();
    EXPECT_FALSE(shortDword.AsDword(number));
    EXPECT_FALSE(RegistryValue::Binary({1, 0, 0, 0}).AsDword(number));
    EXPECT_FALSE(RegistryValue::Binary({1, 0, 0, 0}) == RegistryValue::Dword(1));
}

TEST(MemoryRegistry, WriteLogHoldsTheSuccessfulWritesInOrder) {
    MemoryRegistry registry;
    registry.SetText("Software\\SetUp", "Name", "not logged");  // test set-up, outside the log
    ASSERT_TRUE(registry.CreateKey(kHkcr, "CLSID\\{A}\\InprocServer32"));
    ASSERT_TRUE(registry.SetValue(kHkcr, "CLSID\\{A}\\InprocServer32", "", RegistryValue::Text("Z:\\DRUV.dll")));
    ASSERT_TRUE(registry.SetValue(kHkcu, "Software\\Klang", "Count", RegistryValue::Dword(1)));
    ASSERT_FALSE(registry.DeleteKey(kHkcr, "CLSID\\{A}"));  // has a subkey: refused, not logged
    ASSERT_FALSE(registry.CreateKey(kHklm, "A\\\\B"));     // refused, not logged
    ASSERT_TRUE(registry.SetValue(kHklm, "Software\\Host\\{A}", "DevicePath", RegistryValue::Binary({1, 2})));
    ASSERT_TRUE(registry.DeleteKey(kHkcr, "CLSID\\{A}\\inprocserver32"));

    const std::vector<RegistryWrite> expected = {
        {RegistryWriteKind::CreateKey, kHkcr, "CLSID\\{A}\\InprocServer32", "", RegistryValue()},
        {RegistryWriteKind::SetValue, kHkcr, "CLSID\\{A}\\InprocServer32", "", RegistryValue::Text("Z:\\DRUV.dll")},
        {RegistryWriteKind::SetValue, kHkcu, "Software\\Klang", "Count", RegistryValue::Dword(1)},
        {RegistryWriteKind::SetValue, kHklm, "Software\\Host\\{A}", "DevicePath", RegistryValue::Binary({1, 2})},
        {RegistryWriteKind::DeleteKey, kHkcr, "CLSID\\{A}\\inprocserver32", "", RegistryValue()},
    };
    const std::vector<RegistryWrite> log = registry.WriteLog();
    ASSERT_EQ(expected.size(), log.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_TRUE(expected[i] == log[i]) << "entry " << i;

    registry.ClearWriteLog();
    EXPECT_TRUE(registry.WriteLog().empty());
}

TEST(MemoryRegistry, TheMachineReaderSeesTheLocalMachineRootOnly) {
    MemoryRegistry registry;
    ASSERT_TRUE(registry.SetValue(kHklm, "Software\\Host\\Plug", "DevicePath", RegistryValue::Text("C:\\m.druv")));
    ASSERT_TRUE(registry.SetValue(kHkcu, "Software\\Host\\Other", "DevicePath", RegistryValue::Text("C:\\o.druv")));
    std::string text;
    ASSERT_EQ(RegistryRead::Ok, registry.ReadText(RegistryRoot::LocalMachine,
        "SOFTWARE\\host\\plug", "devicepath", 255, text));
    EXPECT_EQ("C:\\m.druv", text);
    EXPECT_EQ(RegistryRead::NoKey, registry.ReadText(RegistryRoot::LocalMachine,
        "Software\\Host\\Other", "DevicePath", 255, text));
    // A key above a value's key exists now, but holds no value.
    EXPECT_EQ(RegistryRead::NoValue, registry.ReadText(RegistryRoot::LocalMachine,
        "Software\\Host", "DevicePath", 255, text));
}

TEST(MemoryRegistry, WritersOnSeveralThreadsLoseNothing) {
    MemoryRegistry registry;
    constexpr int kPerThread = 200;
    auto writer = [&registry](const std::string& folder) {
        for (int i = 0; i < kPerThread; ++i)
            EXPECT_TRUE(registry.SetValue(kHkcu, folder + "\\" + std::to_string(i), "n", RegistryValue::Dword(i)));
    };
    std::thread first(writer, "One");
    std::thread second(writer, "Two");
    first.join();
    second.join();
    EXPECT_EQ(2u * kPerThread, registry.WriteLog().size());
    std::string name;
    EXPECT_TRUE(registry.SubkeyName(kHkcu, "One", kPerThread - 1, name));
    EXPECT_TRUE(registry.SubkeyName(kHkcu, "Two", kPerThread - 1, name));
}

}  // namespace
