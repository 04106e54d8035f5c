// The editor over the system registry, on Windows: what it writes must be
// what other programs read through the wide API (texts in UTF-16 with their
// terminator), and what others wrote must come back safely. Every test works
// below HKCU\Software\<a GUID of this run> and removes it again.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/guid.h"
#include "platform/registry_editor.h"
#include "tests/platform/hex_units.h"

namespace {

constexpr RegistryRoot kHkcu = RegistryRoot::CurrentUser;
const std::string kJuergen = "Klangwerk J\xC3\xBCrgen";
const std::wstring kJuergenWide = L"Klangwerk J\u00FCrgen";

bool DeleteTree(RegistryEditor& editor, const std::string& keyPath) {
    std::string name;
    while (editor.SubkeyName(kHkcu, keyPath, 0, name))
        if (!DeleteTree(editor, keyPath + "\\" + name)) return false;
    return editor.DeleteKey(kHkcu, keyPath);
}

class SystemRegistryEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        GUID guid;
        char text[kBracedGuidLength + 1];
        ASSERT_TRUE(CreateGuid(guid));
        ASSERT_TRUE(FormatBracedGuid(guid, text, sizeof text));
        base_ = std::string("Software\\") + text;
        wideBase_ = std::wstring(base_.begin(), base_.end());
        ASSERT_TRUE(editor_.CreateKey(kHkcu, base_));
    }
    void TearDown() override {
        EXPECT_TRUE(DeleteTree(editor_, base_));
        EXPECT_FALSE(editor_.KeyExists(kHkcu, base_));
    }

    std::string Path(const std::string& below) const { return base_ + "\\" + below; }

    // The value's type and bytes as any program sees them.
    bool RawValue(const std::wstring& below, const std::wstring& name, DWORD& type, std::vector<BYTE>& bytes) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, (wideBase_ + L"\\" + below).c_str(), 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS)
            return false;
        DWORD size = 0;
        LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        bytes.assign(size, 0);
        if (status == ERROR_SUCCESS)
            status = RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }

    bool SetRawValue(const std::wstring& below, const std::wstring& name, DWORD type, const std::vector<BYTE>& bytes) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, (wideBase_ + L"\\" + below).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        const LONG status =
            RegSetValueExW(key, name.c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }

    RegistryEditor& editor_ = SystemRegistryEditor();
    std::string base_;
    std::wstring wideBase_;
};

std::vector<BYTE> WideBytes(const std::wstring& text) {
    const BYTE* first = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(first, first + (text.size() + 1) * sizeof(wchar_t));
}

TEST_F(SystemRegistryEditorTest, EachTypeRoundTripsAndOthersSeeItsSystemForm) {
    struct Case {
        RegistryValue value;
        DWORD systemType;
        std::vector<BYTE> systemBytes;
        const char* what;
    };
    const std::vector<Case> cases = {
        {RegistryValue::Text(kJuergen), REG_SZ, WideBytes(kJuergenWide), "text, UTF-16 with its zero unit"},
        {RegistryValue::Text(""), REG_SZ, {0, 0}, "empty text"},
        {RegistryValue::Text("\xF0\x9F\x8E\xB9"), REG_SZ, {0x3C, 0xD8, 0xB9, 0xDF, 0, 0}, "a surrogate pair"},
        {RegistryValue::Dword(0x4802), REG_DWORD, {0x02, 0x48, 0, 0}, "number"},
        {RegistryValue::Binary({0, 1, 0, 0xFF}), REG_BINARY, {0, 1, 0, 0xFF}, "bytes with zeros"},
        {RegistryValue::Binary(std::vector<uint8_t>(544, 0x5A)), REG_BINARY, std::vector<BYTE>(544, 0x5A),
         "a record of 544 bytes"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(editor_.SetValue(kHkcu, Path("Values"), "v", c.value)) << c.what;
        DWORD type = 0;
        std::vector<BYTE> bytes;
        ASSERT_TRUE(RawValue(L"Values", L"v", type, bytes)) << c.what;
        EXPECT_EQ(c.systemType, type) << c.what;
        EXPECT_EQ(c.systemBytes, bytes) << c.what;

        RegistryValue read;
        ASSERT_EQ(RegistryRead::Ok, editor_.ReadValue(kHkcu, Path("VALUES"), "V", read)) << c.what;
        EXPECT_TRUE(read == c.value) << c.what << ": came back as " << HexUnits(read.data);
    }
    RegistryValue read;
    EXPECT_EQ(RegistryRead::NoValue, editor_.ReadValue(kHkcu, Path("Values"), "other", read));
    EXPECT_EQ(RegistryRead::NoKey, editor_.ReadValue(kHkcu, Path("Missing"), "v", read));
}

TEST_F(SystemRegistryEditorTest, ValuesOthersWroteReadSafely) {
    struct Case {
        DWORD type;
        std::vector<BYTE> bytes;
        RegistryValue expected;
        const char* what;
    };
    const std::vector<Case> cases = {
        {REG_SZ, {'a', 0, 'b', 0}, RegistryValue::Text("ab"), "text without its zero unit"},
        {REG_SZ, {'a', 0, 'b'}, RegistryValue::Text("a"), "text of odd length"},
        {REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}, RegistryValue::Text("a"), "text ends at its first zero unit"},
        {REG_EXPAND_SZ, WideBytes(L"%TEMP%\\x"), RegistryValue::Text("%TEMP%\\x"), "expandable text, as written"},
        {REG_SZ, {}, RegistryValue::Text(""), "text of no bytes"},
        {REG_BINARY, std::vector<BYTE>(100000, 7), RegistryValue::Binary(std::vector<uint8_t>(100000, 7)),
         "bytes longer than any fixed buffer"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(SetRawValue(L"Foreign", L"v", c.type, c.bytes)) << c.what;
        RegistryValue read;
        ASSERT_EQ(RegistryRead::Ok, editor_.ReadValue(kHkcu, Path("Foreign"), "v", read)) << c.what;
        EXPECT_TRUE(read == c.expected) << c.what << ": came back as " << HexUnits(read.data);
    }
}

TEST_F(SystemRegistryEditorTest, NonAsciiKeyAndValueNamesReachTheSystemInUtf16) {
    const std::string geraete = "Ger\xC3\xA4te \xE2\x80\x93 \xCE\xA9";
    ASSERT_TRUE(editor_.CreateKey(kHkcu, Path(kJuergen + "\\" + geraete)));
    ASSERT_TRUE(editor_.SetValue(kHkcu, Path(kJuergen), kJuergen, RegistryValue::Dword(1)));

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER,
                                           (wideBase_ + L"\\" + kJuergenWide + L"\\Ger\u00E4te \u2013 \u03A9").c_str(),
                                           0, KEY_READ, &key));
    RegCloseKey(key);
    DWORD type = 0;
    std::vector<BYTE> bytes;
    EXPECT_TRUE(RawValue(kJuergenWide, kJuergenWide, type, bytes));

    std::string name;
    ASSERT_TRUE(editor_.SubkeyName(kHkcu, Path(kJuergen), 0, name));
    EXPECT_EQ(HexUnits(geraete), HexUnits(name));
    ASSERT_TRUE(editor_.SubkeyName(kHkcu, base_, 0, name));
    EXPECT_EQ(HexUnits(kJuergen), HexUnits(name));
}

TEST_F(SystemRegistryEditorTest, SubkeysEnumerateAndDeletionIsRefusedAsTheSystemRefusesIt) {
    for (const char* name : {"beta", "Alpha", "gamma"})
        ASSERT_TRUE(editor_.CreateKey(kHkcu, Path(std::string("Keys\\") + name)));
    ASSERT_TRUE(editor_.CreateKey(kHkcu, Path("Keys\\Alpha\\Inner")));

    std::vector<std::string> names;
    std::string name;
    while (editor_.SubkeyName(kHkcu, Path("Keys"), names.size(), name)) names.push_back(name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "gamma"}), names);
    EXPECT_FALSE(editor_.SubkeyName(kHkcu, Path("Missing"), 0, name));

    struct Case {
        std::string path;
        bool deleted;
        const char* what;
    };
    const std::vector<Case> cases = {
        {Path("Keys\\Alpha"), false, "key with a subkey"},
        {Path("Keys\\Missing"), false, "missing key"},
        {Path("Keys\\\\beta"), false, "path with an empty part"},
        {"", false, "the root"},
        {Path("KEYS\\ALPHA\\inner"), true, "leaf, in other letter case"},
        {Path("Keys\\Alpha"), true, "key whose subkey went"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.deleted, editor_.DeleteKey(kHkcu, c.path)) << c.what;
        EXPECT_TRUE(editor_.KeyExists(kHkcu, Path("Keys\\beta"))) << c.what;
    }
    EXPECT_FALSE(editor_.KeyExists(kHkcu, Path("Keys\\Alpha")));
}

}  // namespace
