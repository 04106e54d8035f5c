// DRUV.dll's component server against the system registry under Wine: the
// host's plug-in key as the installer writes it, read on every request.
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <ocidl.h>

#include <fstream>
#include <sstream>
#include <ios>
#include <string>
#include <vector>

#include "platform/guid.h"
#include "tests/plugin/ui/page_host_support.h"

using namespace pagehost;

namespace {

// Devices only these tests install, one per test: CTest runs the tests of this
// program in processes side by side, all on the same registry.
// {3C5A9E1B-7D24-4F60-8B13-A6E2D0F49C77}, {3C5A9E1B-...-9C78}, {3C5A9E1B-...-9C79}
constexpr CLSID kKeyWithoutPath = {0x3C5A9E1B, 0x7D24, 0x4F60, {0x8B, 0x13, 0xA6, 0xE2, 0xD0, 0xF4, 0x9C, 0x77}};
constexpr CLSID kLongPathDevice = {0x3C5A9E1B, 0x7D24, 0x4F60, {0x8B, 0x13, 0xA6, 0xE2, 0xD0, 0xF4, 0x9C, 0x78}};
constexpr CLSID kUnloadDevice = {0x3C5A9E1B, 0x7D24, 0x4F60, {0x8B, 0x13, 0xA6, 0xE2, 0xD0, 0xF4, 0x9C, 0x79}};
// {0F1E2D3C-4B5A-4968-8776-A5B4C3D2E1F0}: installed nowhere.
constexpr CLSID kNowhere = {0x0F1E2D3C, 0x4B5A, 0x4968, {0x87, 0x76, 0xA5, 0xB4, 0xC3, 0xD2, 0xE1, 0xF0}};

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

class PluginServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        plugin_ = LoadLibraryA(DRUV_PLUGIN_DLL);
        ASSERT_NE(nullptr, plugin_);
        get_class_object_ = reinterpret_cast<GetClassObjectFunction>(
            reinterpret_cast<void*>(GetProcAddress(plugin_, "DllGetClassObject")));
        ASSERT_NE(nullptr, get_class_object_);
    }
    void TearDown() override {
        for (const CLSID& device : used_) RemoveDeviceKey(device);
        if (plugin_) FreeLibrary(plugin_);
    }

    // The test's own device key, new and empty.
    void Use(const CLSID& device) {
        RemoveDeviceKey(device);
        used_.push_back(device);
    }

    static std::string KeyPath(const CLSID& device) {
        char text[kBracedGuidLength + 1] = {};
        FormatBracedGuid(device, text, sizeof text);
        return std::string("Software\\Tavrel\\ZN3\\Plugins\\") + text;
    }

    void SetDevicePath(const CLSID& device, DWORD type, const std::string& bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath(device).c_str(), 0, nullptr, 0,
                                                 KEY_WRITE, nullptr, &key, nullptr));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "DevicePath", 0, type,
                                                reinterpret_cast<const BYTE*>(bytes.data()),
                                                static_cast<DWORD>(bytes.size())));
        RegCloseKey(key);
    }

    HRESULT Factory(REFCLSID classId, IClassFactory** factory) {
        *factory = nullptr;
        return get_class_object_(classId, IID_IClassFactory, reinterpret_cast<void**>(factory));
    }

    // The definition path the filter object was made with.
    std::string FilterPath(IClassFactory* factory) {
        IUnknown* unknown = nullptr;
        if (FAILED(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown)))) return "?";
        IMPInitialise* initialise = nullptr;
        unknown->QueryInterface(IID_IMPInitialise, reinterpret_cast<void**>(&initialise));
        const std::string path = static_cast<CMidiFilter*>(initialise)->Device().FilePath();
        initialise->Release();
        unknown->Release();
        return path;
    }

    HRESULT CanUnloadNow() {
        auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void*>(GetProcAddress(plugin_, "DllCanUnloadNow")));
        return canUnload ? canUnload() : E_FAIL;
    }

    HMODULE plugin_ = nullptr;
    GetClassObjectFunction get_class_object_ = nullptr;
    std::vector<CLSID> used_;
};

// A copy of the example mixer at a path of exactly `length` characters.
std::string MixerCopyWithPathLength(size_t length) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + "druv-";
    path += std::string(length - path.size() - 5, 'p') + ".druv";
    std::ifstream source(MixerExample().path, std::ios::binary);
    std::ofstream(path, std::ios::binary) << source.rdbuf();
    return path;
}

TEST_F(PluginServerTest, UnknownClassAndKeyWithoutDevicePathAreNotAvailable) {
    Use(kKeyWithoutPath);
    IClassFactory* factory = nullptr;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, Factory(kNowhere, &factory));
    EXPECT_EQ(nullptr, factory);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath(kKeyWithoutPath).c_str(), 0, nullptr, 0,
                                             KEY_WRITE, nullptr, &key, nullptr));
    RegCloseKey(key);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, Factory(kKeyWithoutPath, &factory));
    EXPECT_EQ(nullptr, factory);
}

TEST_F(PluginServerTest, PathOf255CharactersIsReadWholeAndEachRequestReadsAnew) {
    Use(kLongPathDevice);
    const std::string longest = MixerCopyWithPathLength(255);
    ASSERT_EQ(255u, longest.size());
    SetDevicePath(kLongPathDevice, REG_SZ, longest + '\0');
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, Factory(kLongPathDevice, &factory));
    EXPECT_EQ(longest, FilterPath(factory));
    factory->Release();

    const std::string shorter = MixerCopyWithPathLength(120);
    SetDevicePath(kLongPathDevice, REG_EXPAND_SZ, shorter + '\0');  // the value's type does not matter
    ASSERT_EQ(S_OK, Factory(kLongPathDevice, &factory));
    EXPECT_EQ(shorter, FilterPath(factory));
    factory->Release();

    SetDevicePath(kLongPathDevice, REG_SZ, std::string(256, 'x') + '\0');
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, Factory(kLongPathDevice, &factory));
    EXPECT_EQ(nullptr, factory);
    DeleteFileA(longest.c_str());
    DeleteFileA(shorter.c_str());
}

// Whatever of the module's code is still in use keeps the module: a page, a
// factory, a filter, or a lock.
TEST_F(PluginServerTest, UnloadWaitsForPagesFactoriesFiltersAndLocks) {
    Use(kUnloadDevice);
    EXPECT_EQ(S_OK, CanUnloadNow()) << "nothing lives yet";
    IClassFactory* pages = nullptr;
    ASSERT_EQ(S_OK, Factory(kPageClass, &pages));
    EXPECT_EQ(S_FALSE, CanUnloadNow()) << "a factory lives";
    IUnknown* page = nullptr;
    ASSERT_EQ(S_OK, pages->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&page)));
    EXPECT_EQ(0u, pages->Release());
    EXPECT_EQ(S_FALSE, CanUnloadNow()) << "a page lives";
    EXPECT_EQ(0u, page->Release());
    EXPECT_EQ(S_OK, CanUnloadNow());

    ASSERT_EQ(S_OK, Factory(kPageClass, &pages));
    EXPECT_EQ(S_OK, pages->LockServer(TRUE));
    EXPECT_EQ(0u, pages->Release());
    EXPECT_EQ(S_FALSE, CanUnloadNow()) << "the server is locked";
    ASSERT_EQ(S_OK, Factory(kPageClass, &pages));
    EXPECT_EQ(S_OK, pages->LockServer(FALSE));
    EXPECT_EQ(0u, pages->Release());
    EXPECT_EQ(S_OK, CanUnloadNow());

    SetDevicePath(kUnloadDevice, REG_SZ, MixerExample().path + '\0');
    IClassFactory* filters = nullptr;
    ASSERT_EQ(S_OK, Factory(kUnloadDevice, &filters));
    IUnknown* filter = nullptr;
    ASSERT_EQ(S_OK, filters->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&filter)));
    EXPECT_EQ(0u, filters->Release());
    EXPECT_EQ(S_FALSE, CanUnloadNow()) << "a filter lives";
    EXPECT_EQ(0u, filter->Release());
    EXPECT_EQ(S_OK, CanUnloadNow());
}

// The module as the component library loads and frees it: a host that frees
// unused libraries while a page or a factory lives must not unload the code
// they run on. Without the test's own LoadLibrary, so that only the
// component library holds the module.
TEST(PluginUnload, FreeingUnusedLibrariesKeepsTheModuleUnderAPageOrAFactory) {
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(SUCCEEDED(initialised)) << std::hex << initialised;
    ASSERT_TRUE(RegisterServer(kPageClass, DRUV_PLUGIN_DLL));
    const auto loaded = [] { return GetModuleHandleA("DRUV.dll") != nullptr; };

    IPropertyPage* page = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(kPageClass, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                     reinterpret_cast<void**>(&page)));
    ASSERT_TRUE(loaded());
    CoFreeUnusedLibrariesEx(0, 0);
    const bool keptForPage = loaded();
    EXPECT_TRUE(keptForPage) << "the module was unloaded under a live page";
    // With the module gone, Release would run freed code.
    if (keptForPage) {
        EXPECT_EQ(0u, page->Release());
    }

    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, CoGetClassObject(kPageClass, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                     reinterpret_cast<void**>(&factory)));
    CoFreeUnusedLibrariesEx(0, 0);
    const bool keptForFactory = loaded();
    EXPECT_TRUE(keptForFactory) << "the module was unloaded under a live factory";
    if (keptForFactory) {
        IUnknown* another = nullptr;
        EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&another)));
        if (another) {
            EXPECT_EQ(0u, another->Release());
        }
        EXPECT_EQ(0u, factory->Release());
    }

    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_FALSE(loaded()) << "with nothing alive the module may go";
    CoUninitialize();
}

}  // namespace
