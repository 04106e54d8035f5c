// A device whose definition lies in a folder named beyond ASCII and whose
// names are too, through DRUV.dll as the host meets it: the plug-in key
// written with the wide API, the factory from DllGetClassObject, the texts
// the host gets back as UTF-16.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/guid.h"
#include "druvhost/host/progress_recorder.h"
#include "tests/platform/hex_units.h"
#include "tests/platform/message_box_watcher.h"
#include "tests/plugin/ui/page_host_support.h"

using namespace pagehost;

namespace {

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// Characters from three code pages, so that no 8-bit code page holds them all.
const std::wstring kFolderName = L"J\u00FCrgen \u03A9\u6771";
const std::wstring kFileName = L"Kl\u00E4nge.druv";
// "Klänge" and "Stimme 1 – Bass" (an en dash), as UTF-8 in the file.
const std::string kFirstName = "Kl\xC3\xA4nge";
const std::string kSecondName = "Stimme 1 \xE2\x80\x93 Bass";

std::string Utf8(const std::wstring& text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    utf8.resize(utf8.find('\0'));
    return utf8;
}

std::wstring WideOf(const WCHAR* text) { return text ? std::wstring(text) : std::wstring(L"(null)"); }

std::wstring WideOf(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::string Definition(const GUID& classId) {
    char guid[kBracedGuidLength + 1] = {};
    FormatBracedGuid(classId, guid, sizeof guid);
    const std::string bare(guid + 1, 36);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DRUVDevice><DeviceGUID>" + bare +
           "</DeviceGUID><Company>Maker</Company><Product>Box</Product>"
           "<ActivePNGFile>on.png</ActivePNGFile><InactivePNGFile>off.png</InactivePNGFile>"
           "<Configuration>" + kFirstName + "<Ref>" + kFirstName + "</Ref></Configuration>"
           "<Configuration>" + kSecondName + "<Ref>" + kSecondName + "</Ref></Configuration>"
           "<Template>" + kFirstName + "<Size>12</Size><NumLoops>1</NumLoops><TimeOut>50</TimeOut>"
           "<Request>F0 7D 00 01 F7</Request></Template>"
           "<Template>" + kSecondName + "<Size>12</Size><NumLoops>1</NumLoops><TimeOut>50</TimeOut>"
           "<Request>F0 7D 00 02 F7</Request></Template></DRUVDevice>\n";
}

class UnicodeDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, CoCreateGuid(&class_id_));  // a device of this run only
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
        top_ = std::wstring(temp) + L"druv-unicode-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount());
        folder_ = top_ + L"\\" + kFolderName;
        ASSERT_TRUE(CreateDirectoryW(top_.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        file_ = folder_ + L"\\" + kFileName;
        const std::string xml = Definition(class_id_);
        HANDLE file = CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, xml.data(), static_cast<DWORD>(xml.size()), &written, nullptr);
        CloseHandle(file);
        ASSERT_EQ(xml.size(), written);

        // As the installer writes it: a string value through the wide API.
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, KeyPath().c_str(), 0, nullptr, 0, KEY_WRITE,
                                                 nullptr, &key, nullptr));
        const LONG status =
            RegSetValueExW(key, L"DevicePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(file_.c_str()),
                           static_cast<DWORD>((file_.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, status);

        plugin_ = LoadLibraryA(DRUV_PLUGIN_DLL);
        ASSERT_NE(nullptr, plugin_);
        auto getClassObject = reinterpret_cast<GetClassObjectFunction>(
            reinterpret_cast<void*>(GetProcAddress(plugin_, "DllGetClassObject")));
        ASSERT_NE(nullptr, getClassObject);
        IClassFactory* factory = nullptr;
        ASSERT_EQ(S_OK, getClassObject(class_id_, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
        // The plug-in reports a definition it cannot read in a message box.
        MessageBoxWatcher person;
        const HRESULT created =
            factory->CreateInstance(nullptr, IID_IMPServices2, reinterpret_cast<void**>(&services_));
        const std::wstring boxes = person.Finish();
        factory->Release();
        ASSERT_EQ(S_OK, created);
        ASSERT_TRUE(boxes.empty()) << Utf8(boxes);
    }

    void TearDown() override {
        if (services_) services_->Release();
        if (plugin_) FreeLibrary(plugin_);
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, KeyPath().c_str());
        DeleteFileW(file_.c_str());
        RemoveDirectoryW(folder_.c_str());
        RemoveDirectoryW(top_.c_str());
    }

    std::wstring KeyPath() const {
        wchar_t text[64] = {};
        StringFromGUID2(class_id_, text, 64);
        return std::wstring(L"Software\\Tavrel\\ZN3\\Plugins\\") + text;
    }

    CMidiFilter& Filter() const { return *static_cast<CMidiFilter*>(services_); }

    GUID class_id_{};
    std::wstring top_, folder_, file_;
    HMODULE plugin_ = nullptr;
    IMPServices2* services_ = nullptr;
};

TEST_F(UnicodeDeviceTest, DefinitionLoadsAndItsNamesReachTheHostWhole) {
    EXPECT_EQ(Utf8(file_), Filter().Device().FilePath()) << "the path the registry holds, as UTF-8";
    EXPECT_EQ(2u, Filter().Device().TemplateCount()) << "the definition was read";

    uint32_t mask = 0;
    WCHAR* types = nullptr;
    ASSERT_EQ(S_OK, services_->GetDataTypes(&mask, &types, nullptr, nullptr, nullptr));
    const std::wstring expected = L"All;Kl\u00E4nge;Stimme 1 \u2013 Bass";
    EXPECT_EQ(HexUnits(expected), HexUnits(WideOf(types)));
    IMalloc* allocator = nullptr;
    ASSERT_EQ(S_OK, CoGetMalloc(1, &allocator));
    EXPECT_EQ(size_t{2 * (4 + 7 + 16) + 4}, allocator->GetSize(types)) << "each name counted in UTF-16 units";
    CoTaskMemFree(types);

    WCHAR* inactive = nullptr;
    WCHAR* active = nullptr;
    ASSERT_EQ(S_OK, services_->GetPictureUrls(&inactive, &active));
    EXPECT_EQ(HexUnits(L"file://" + folder_ + L"/on.png"), HexUnits(WideOf(active)));
    EXPECT_EQ(size_t{512}, allocator->GetSize(active));
    CoTaskMemFree(inactive);
    CoTaskMemFree(active);
    allocator->Release();
}

TEST_F(UnicodeDeviceTest, ProgressTextsCarryTheNamesWhole) {
    druvhost::HostObject host;
    druvhost::HostMidiOut midi;
    VirtualClock clock(1000);  // the time-outs and message pauses pass at once
    Filter().Data().SetTransferClock(clock);
    IMPInitialise* initialise = nullptr;
    ASSERT_EQ(S_OK, services_->QueryInterface(IID_IMPInitialise, reinterpret_cast<void**>(&initialise)));
    uint32_t flags = 0;
    ASSERT_EQ(S_OK, initialise->Initialise(host.Unknown(), &midi, 0, 0, &flags));
    Filter().Data().InPort = 1;
    Filter().Data().OutPort = 2;

    // A receive of the first configuration names its item; a transmit of the
    // second, which holds no data yet, says so by name.
    druvhost::ProgressRecorder progress;
    EXPECT_EQ(S_OK, services_->Transfer(0, &progress, 0x1));
    EXPECT_EQ(S_OK, services_->Transfer(1, &progress, 0x2));
    initialise->Terminate();
    initialise->Release();

    std::vector<std::wstring> texts;
    for (const druvhost::ProgressRecord& record : progress.Records())
        if (record.hasText) texts.push_back(WideOf(record.text));
    // The receive's total is the item's capacity, which is the engine's business.
    const std::wstring receiving = L"RECEIVING Kl\u00E4nge, 0 of ";
    const std::wstring noData = L"Maker Box Stimme 1 \u2013 Bass - No data present.";
    std::string all;
    for (const std::wstring& text : texts) all += HexUnits(text) + "\n";
    const bool received = std::any_of(texts.begin(), texts.end(),
                                      [&](const std::wstring& text) { return text.rfind(receiving, 0) == 0; });
    EXPECT_TRUE(received) << "wanted " << HexUnits(receiving) << "...\ngot\n" << all;
    const bool told = std::find(texts.begin(), texts.end(), noData) != texts.end();
    EXPECT_TRUE(told) << "wanted " << HexUnits(noData) << "\ngot\n" << all;
}

}  // namespace
