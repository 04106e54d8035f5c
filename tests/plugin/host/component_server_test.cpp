// The component server: which factory a class gets, where the device's
// definition path comes from, and when the module may be unloaded.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "device/guid_text.h"
#include "platform/memory_registry.h"
#include "platform/message_box.h"
#include "plugin/host/class_factories.h"
#include "plugin/host/component_server.h"
#include "plugin/host/midi_filter.h"
#include "plugin/host/module_counts.h"
#include "tests/support/test_paths.h"

namespace {

// {7C0D2E51-93A4-4B7E-8F26-5A1D3C9B0E47}, the example mixer's DeviceGUID.
constexpr CLSID kMixerClass = {0x7C0D2E51, 0x93A4, 0x4B7E, {0x8F, 0x26, 0x5A, 0x1D, 0x3C, 0x9B, 0x0E, 0x47}};
constexpr char kMixerKey[] = "Software\\Tavrel\\ZN3\\Plugins\\{7C0D2E51-93A4-4B7E-8F26-5A1D3C9B0E47}";
constexpr CLSID kUnknownClass = {0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
// {B196B28D-BAB4-101A-B69C-00AA00341D07}
constexpr IID kPropertyPageIid = {0xB196B28D, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

const std::string kMixerPath = druvtest::ExamplesDir() + "/brindle-koss-sd16-mixer.druv";

// Stands in for the editor page, which exists only in the Windows module.
// The system's IUnknown has a public non-virtual destructor; the page goes
// away through Release only.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class FakePage : public IUnknown {
public:
    static std::atomic<int> live;
    FakePage() { live.fetch_add(1); }
    virtual ~FakePage() { live.fetch_sub(1); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kPropertyPageIid)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<ULONG> references_{1};
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
std::atomic<int> FakePage::live{0};

IUnknown* CreateFakePage() { return new FakePage(); }
IUnknown* CreateNoPage() { return nullptr; }

// Remembers what was asked of it and answers from a memory registry.
class RecordingRegistry : public RegistryEditor {
public:
    RegistryRead ReadText(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                          size_t maxLength, std::string& text) override {
        keys.push_back(keyPath);
        values.push_back(valueName);
        limits.push_back(maxLength);
        roots.push_back(root);
        return inner.ReadText(root, keyPath, valueName, maxLength, text);
    }
    // The component server only reads texts; every other call is passed on.
    bool CreateKey(RegistryRoot root, const std::string& keyPath) override { return inner.CreateKey(root, keyPath); }
    bool SetValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                  const RegistryValue& value) override {
        return inner.SetValue(root, keyPath, valueName, value);
    }
    RegistryRead ReadValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                           RegistryValue& value) override {
        return inner.ReadValue(root, keyPath, valueName, value);
    }
    bool KeyExists(RegistryRoot root, const std::string& keyPath) override { return inner.KeyExists(root, keyPath); }
    bool SubkeyName(RegistryRoot root, const std::string& keyPath, size_t index, std::string& name) override {
        return inner.SubkeyName(root, keyPath, index, name);
    }
    bool DeleteKey(RegistryRoot root, const std::string& keyPath) override { return inner.DeleteKey(root, keyPath); }

    MemoryRegistry inner;
    std::vector<std::string> keys;
    std::vector<std::string> values;
    std::vector<size_t> limits;
    std::vector<RegistryRoot> roots;
};

class ComponentServerTest : public ::testing::Test {
protected:
    ComponentServerTest()
        : registry_guard_(registry_),
          boxes_([this](const MessageBoxRequest& request) {
              boxes.push_back(request.text);
              return MessageAnswer::Ok;
          }) {
        previous_creator_ = SetPropPageCreator(&CreateFakePage);
    }
    ~ComponentServerTest() override { SetPropPageCreator(previous_creator_); }

    IClassFactory* FactoryFor(REFCLSID classId, HRESULT expected = S_OK) {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(expected, DllGetClassObject(classId, IID_IClassFactory, &object));
        if (expected != S_OK) {
            EXPECT_EQ(nullptr, object);
        }
        return static_cast<IClassFactory*>(object);
    }

    RecordingRegistry registry_;
    std::vector<std::string> boxes;

private:
    ScopedRegistryInUse registry_guard_;
    ScopedMessageBoxHandler boxes_;
    PropPageCreator previous_creator_ = nullptr;
};

TEST_F(ComponentServerTest, DeviceClassReadsItsDefinitionPathFromTheHostsPluginKeyEachTime) {
    registry_.inner.SetText(kMixerKey, "DevicePath", kMixerPath);
    for (int call = 0; call < 2; ++call) {
        IClassFactory* factory = FactoryFor(kMixerClass);
        ASSERT_NE(nullptr, factory);
        auto* filterFactory = static_cast<CMidiFilterFactory*>(factory);
        EXPECT_EQ(kMixerPath, filterFactory->DevicePath());
        EXPECT_TRUE(IsEqualCLSID(kMixerClass, filterFactory->ClassId()));
        EXPECT_EQ(0u, factory->Release());
    }
    ASSERT_EQ(2u, registry_.keys.size());
    EXPECT_EQ(kMixerKey, registry_.keys[0]);
    EXPECT_EQ("DevicePath", registry_.values[0]);
    EXPECT_EQ(255u, registry_.limits[0]);
    EXPECT_EQ(RegistryRoot::LocalMachine, registry_.roots[0]);
    EXPECT_EQ(0, LiveClassFactories());
}

TEST_F(ComponentServerTest, ClassWithoutKeyOrWithoutDevicePathIsNotAvailable) {
    FactoryFor(kUnknownClass, CLASS_E_CLASSNOTAVAILABLE);
    registry_.inner.AddKey(kMixerKey);
    FactoryFor(kMixerClass, CLASS_E_CLASSNOTAVAILABLE);
    registry_.inner.SetText(kMixerKey, "OtherValue", kMixerPath);
    FactoryFor(kMixerClass, CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(0, LiveClassFactories());
}

TEST_F(ComponentServerTest, DevicePathOf255CharactersIsReadWholeAndALongerOneRefused) {
    // The limit counts characters: a path beyond ASCII takes up to three bytes each.
    for (const std::string character : {"p", "\xC3\xBC", "\xE2\x82\xAC"}) {
        std::string longest;
        for (int i = 0; i < 255; ++i) longest += character;
        registry_.inner.SetText(kMixerKey, "DevicePath", longest);
        IClassFactory* factory = FactoryFor(kMixerClass);
        ASSERT_NE(nullptr, factory) << longest.size() << " bytes";
        EXPECT_EQ(longest, static_cast<CMidiFilterFactory*>(factory)->DevicePath()) << longest.size() << " bytes";
        IUnknown* unknown = nullptr;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown)));
        IMPInitialise* initialise = nullptr;
        ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IMPInitialise, reinterpret_cast<void**>(&initialise)));
        EXPECT_EQ(longest, static_cast<CMidiFilter*>(initialise)->Device().FilePath())
            << "the filter's device holds " << static_cast<CMidiFilter*>(initialise)->Device().FilePath().size()
            << " of " << longest.size() << " bytes";
        initialise->Release();
        unknown->Release();
        factory->Release();

        // Stored without a terminator, as a binary value may be: the type is ignored.
        registry_.inner.SetValue(kMixerKey, "DevicePath", longest);
        factory = FactoryFor(kMixerClass);
        ASSERT_NE(nullptr, factory);
        EXPECT_EQ(longest, static_cast<CMidiFilterFactory*>(factory)->DevicePath());
        factory->Release();

        registry_.inner.SetText(kMixerKey, "DevicePath", longest + character);
        FactoryFor(kMixerClass, CLASS_E_CLASSNOTAVAILABLE);
    }
}

TEST_F(ComponentServerTest, EditorPageClassNeverTouchesTheRegistry) {
    IClassFactory* factory = FactoryFor(kPropPageClassId);
    ASSERT_NE(nullptr, factory);
    EXPECT_TRUE(registry_.keys.empty());

    IUnknown* page = nullptr;
    EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, kPropertyPageIid, reinterpret_cast<void**>(&page)));
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(1, FakePage::live.load());
    EXPECT_EQ(0u, page->Release());
    EXPECT_EQ(0, FakePage::live.load());
    factory->Release();
    EXPECT_TRUE(registry_.keys.empty());
    char text[kGuidTextBufferSize];
    ASSERT_TRUE(GuidToText(kPropPageClassId, text));
    EXPECT_STREQ("{5464D9CE-17FD-4E28-A451-79A27E39BBC4}", text) << "the class hosts know the page by";
}

TEST_F(ComponentServerTest, InterfaceOtherThanClassFactoryLeavesNoFactory) {
    registry_.inner.SetText(kMixerKey, "DevicePath", kMixerPath);
    for (const CLSID& classId : {kPropPageClassId, kMixerClass}) {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(E_NOINTERFACE, DllGetClassObject(classId, kPropertyPageIid, &object));
        EXPECT_EQ(nullptr, object);
        EXPECT_EQ(0, LiveClassFactories());
    }
    IUnknown* unknown = nullptr;
    EXPECT_EQ(S_OK, DllGetClassObject(kPropPageClassId, IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    ASSERT_NE(nullptr, unknown);
    EXPECT_EQ(1, LiveClassFactories());
    EXPECT_EQ(0u, unknown->Release());
    EXPECT_EQ(0, LiveClassFactories());
    EXPECT_EQ(E_POINTER, DllGetClassObject(kPropPageClassId, IID_IClassFactory, nullptr));
}

TEST_F(ComponentServerTest, FilterFactoryMakesTheDevicesFilterAndRefusesAggregation) {
    registry_.inner.SetText(kMixerKey, "DevicePath", kMixerPath);
    IClassFactory* factory = FactoryFor(kMixerClass);
    ASSERT_NE(nullptr, factory);

    IUnknown* outer = reinterpret_cast<IUnknown*>(factory);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer, IID_IUnknown, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(0, module_counts::LiveFilters().load()) << "a filter nobody took must be gone";

    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    ASSERT_NE(nullptr, unknown);
    IPersistStream* persist = nullptr;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)));
    CLSID classId{};
    EXPECT_EQ(S_OK, persist->GetClassID(&classId));
    EXPECT_TRUE(IsEqualCLSID(kMixerClass, classId));
    persist->Release();

    IMPInitialise* initialise = nullptr;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IMPInitialise, reinterpret_cast<void**>(&initialise)));
    CMidiFilter* filter = static_cast<CMidiFilter*>(initialise);
    EXPECT_EQ("SD-16 Digital Mixer", filter->Device().Product());
    EXPECT_EQ(2u, filter->Device().TemplateCount());
    initialise->Release();
    EXPECT_EQ(0u, unknown->Release());
    factory->Release();
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ComponentServerTest, MissingDefinitionFileStillGivesAnEmptyFilter) {
    registry_.inner.SetText(kMixerKey, "DevicePath", "/nonexistent/folder/gone.druv");
    IClassFactory* factory = FactoryFor(kMixerClass);
    ASSERT_NE(nullptr, factory);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    IMPInitialise* initialise = nullptr;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IMPInitialise, reinterpret_cast<void**>(&initialise)));
    EXPECT_EQ(0u, static_cast<CMidiFilter*>(initialise)->Device().TemplateCount());
    initialise->Release();
    unknown->Release();
    factory->Release();
    EXPECT_EQ(1u, boxes.size()) << "the definition reader reports the unreadable file";
}

TEST_F(ComponentServerTest, PageFactoryWithoutMemoryOrAggregation) {
    IClassFactory* factory = FactoryFor(kPropPageClassId);
    ASSERT_NE(nullptr, factory);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), kPropertyPageIid, &object));
    EXPECT_EQ(nullptr, object);
    SetPropPageCreator(&CreateNoPage);
    EXPECT_EQ(E_OUTOFMEMORY, factory->CreateInstance(nullptr, kPropertyPageIid, &object));
    EXPECT_EQ(nullptr, object);
    SetPropPageCreator(&CreateFakePage);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &object));
    EXPECT_EQ(0, FakePage::live.load());
    factory->Release();
}

// Whatever of the module's code is still in use keeps it: a factory, a filter
// (the page is the Windows module's, tested there), or a lock.
TEST_F(ComponentServerTest, UnloadIsRefusedWhileAFactoryOrFilterLivesOrTheServerIsLocked) {
    registry_.inner.SetText(kMixerKey, "DevicePath", kMixerPath);
    EXPECT_EQ(S_OK, DllCanUnloadNow());

    IClassFactory* pages = FactoryFor(kPropPageClassId);
    EXPECT_EQ(S_FALSE, DllCanUnloadNow()) << "a factory lives";
    EXPECT_EQ(0u, pages->Release());
    EXPECT_EQ(S_OK, DllCanUnloadNow());

    IClassFactory* filters = FactoryFor(kMixerClass);
    IUnknown* filter = nullptr;
    ASSERT_EQ(S_OK, filters->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&filter)));
    EXPECT_EQ(0u, filters->Release());
    EXPECT_EQ(S_FALSE, DllCanUnloadNow()) << "a filter lives";
    EXPECT_EQ(0u, filter->Release());
    EXPECT_EQ(S_OK, DllCanUnloadNow());

    for (const CLSID& classId : {kPropPageClassId, kMixerClass}) {
        IClassFactory* factory = FactoryFor(classId);
        EXPECT_EQ(S_OK, factory->LockServer(TRUE));
        factory->Release();
        EXPECT_EQ(S_FALSE, DllCanUnloadNow()) << "the server is locked";
        factory = FactoryFor(classId);
        EXPECT_EQ(S_OK, factory->LockServer(FALSE));
        factory->Release();
        EXPECT_EQ(S_OK, DllCanUnloadNow());
    }
    EXPECT_EQ(0, LiveClassFactories());
}

TEST(MemoryRegistryTest, PathsAndNamesIgnoreCaseAndTextEndsAtTheFirstZero) {
    MemoryRegistry registry;
    registry.SetValue("Software\\A\\Key", "Name", std::string("abc\0def", 7));
    std::string text = "unchanged";
    EXPECT_EQ(RegistryRead::Ok, registry.ReadText(RegistryRoot::LocalMachine, "SOFTWARE\\a\\key", "NAME", 255, text));
    EXPECT_EQ("abc", text);
    EXPECT_EQ(RegistryRead::TooLong, registry.ReadText(RegistryRoot::LocalMachine,
        "Software\\A\\Key", "Name", 2, text));
    EXPECT_EQ("abc", text);
    EXPECT_EQ(RegistryRead::NoValue, registry.ReadText(RegistryRoot::LocalMachine,
        "Software\\A\\Key", "Other", 255, text));
    EXPECT_EQ(RegistryRead::NoKey, registry.ReadText(RegistryRoot::LocalMachine, "Software\\B", "Name", 255, text));
    EXPECT_EQ(4, registry.Reads());
}

TEST(MemoryRegistryTest, LimitCountsCharactersNotBytes) {
    struct Case {
        std::string text;
        size_t limit;
        RegistryRead expected;
    };
    const std::vector<Case> cases = {
        {"J\xC3\xBCrgen", 6, RegistryRead::Ok},       // 6 characters in 7 bytes
        {"J\xC3\xBCrgen", 5, RegistryRead::TooLong},
        {"\xF0\x9F\x8E\xB9", 2, RegistryRead::Ok},  // one character, two UTF-16 units
        {"\xF0\x9F\x8E\xB9", 1, RegistryRead::TooLong},
    };
    for (const Case& c : cases) {
        MemoryRegistry registry;
        registry.SetText("Software\\A", "Name", c.text);
        std::string text;
        const RegistryRead read = registry.ReadText(RegistryRoot::LocalMachine, "Software\\A", "Name", c.limit, text);
        EXPECT_EQ(static_cast<int>(c.expected), static_cast<int>(read)) << c.text << " with limit " << c.limit;
        if (c.expected == RegistryRead::Ok) {
            EXPECT_EQ(c.text, text);
        }
    }
}

}  // namespace
