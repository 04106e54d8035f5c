// The filter object as a component: identity and reference counting, the
// interfaces it answers, and the texts and arrays it hands to the host.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/guid.h"
#include "plugin/host/host_texts.h"
#include "tests/plugin/host/filter/filter_test_support.h"

namespace {

std::string GuidText(const GUID& guid) {
    char text[64];
    std::snprintf(text, sizeof(text), "%08X-%04X-%04X-%02X%02X", static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1]);
    return text;
}

std::u16string Wide(const WCHAR* text) {
    std::u16string wide;
    for (; text && *text; ++text) wide += static_cast<char16_t>(*text);
    return wide;
}

size_t UnitCount(const WCHAR* text) {
    size_t count = 0;
    while (text[count]) ++count;
    return count;
}

class FilterComTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    MessageRecorder boxes;

    std::string Write(const std::string& xml) { return folder.Write("device.druv", xml); }
};

constexpr IID kServices = {0xFF804522, 0x7B40, 0x44D4, {0x8C, 0x42, 0xBE, 0xB6, 0x56, 0xA2, 0x81, 0x01}};
constexpr IID kServices2 = {0x1FF33C6F, 0x56BD, 0x4997, {0x9C, 0xCC, 0x37, 0xFF, 0x78, 0xF5, 0x9E, 0x43}};
constexpr IID kMacOSXHelperGuess = {0x0958ECA5, 0x6709, 0x4267, {0x96, 0x96, 0x33, 0xD5, 0x6F, 0xEC, 0x4F, 0x6A}};
constexpr IID kDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

TEST_F(FilterComTest, AnswersEveryListedIdentifierWithOneIdentityAndCountsBackToZero) {
    const int32_t liveBefore = module_counts::LiveFilters().load();
    auto* filter = new CMidiFilter(kTestClassId, Write(DefinitionXml({"A"}, {"T"})).c_str());
    EXPECT_EQ(liveBefore + 1, module_counts::LiveFilters().load());

    struct Expected {
        IID iid;
        void* answer;
    };
    const std::vector<Expected> listed = {
        {IID_IUnknown, static_cast<IMPInitialise*>(filter)},
        {IID_IMPInitialise, static_cast<IMPInitialise*>(filter)},
        {IID_IPersistStream, static_cast<IPersistStream*>(filter)},
        {IID_ISpecifyPropertyPages, static_cast<ISpecifyPropertyPages*>(filter)},
        {IID_IMPEventFilter, static_cast<IMPEventFilter*>(filter)},
        {kServices, static_cast<IMPServices2*>(filter)},
        {kServices2, static_cast<IMPServices2*>(filter)},
        {IID_IMPNotificationSink, static_cast<IMPNotificationSink*>(filter)},
    };
    std::vector<IUnknown*> held;
    for (const Expected& entry : listed) {
        void* object = nullptr;
        EXPECT_EQ(S_OK, filter->QueryInterface(entry.iid, &object)) << GuidText(entry.iid);
        EXPECT_EQ(entry.answer, object) << GuidText(entry.iid);
        auto* unknown = static_cast<IUnknown*>(object);
        // Every interface leads back to the same IUnknown.
        void* identity = nullptr;
        ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IUnknown, &identity));
        EXPECT_EQ(static_cast<void*>(static_cast<IMPInitialise*>(filter)), identity) << GuidText(entry.iid);
        static_cast<IUnknown*>(identity)->Release();
        held.push_back(unknown);
    }
    // One count shared by all interfaces: 1 + one per answer.
    EXPECT_EQ(held.size() + 2, filter->AddRef());
    EXPECT_EQ(held.size() + 1, filter->Release());

    for (const IID& iid : {IID_IPersist, IID_IConnectionPoint, kDispatch, kMacOSXHelperGuess, IID_IMPPortDirectory,
                           IID_IMPPortBroker, IID_IStream}) {
        void* object = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(E_NOINTERFACE, filter->QueryInterface(iid, &object)) << GuidText(iid);
        EXPECT_EQ(nullptr, object) << GuidText(iid);
    }
    EXPECT_EQ(E_POINTER, filter->QueryInterface(IID_IUnknown, nullptr));

    for (IUnknown* unknown : held) unknown->Release();
    EXPECT_EQ(liveBefore + 1, module_counts::LiveFilters().load());
    EXPECT_EQ(0u, filter->Release());
    EXPECT_EQ(liveBefore, module_counts::LiveFilters().load());
}

TEST_F(FilterComTest, ClassIdPagesRoutingAndDirtyFlag) {
    FilterHolder filter(Write(DefinitionXml({}, {"T"})));
    CLSID classId{};
    EXPECT_EQ(S_OK, filter->GetClassID(&classId));
    EXPECT_TRUE(IsEqualGUID(kTestClassId, classId));
    EXPECT_EQ(E_POINTER, filter->GetClassID(nullptr));

    TaskMemoryProbe memory;
    CAUUID pages{};
    ASSERT_EQ(S_OK, filter->GetPages(&pages));
    ASSERT_EQ(1u, pages.cElems);
    const CLSID page = {0x5464D9CE, 0x17FD, 0x4E28, {0xA4, 0x51, 0x79, 0xA2, 0x7E, 0x39, 0xBB, 0xC4}};
    EXPECT_TRUE(IsEqualGUID(page, pages.pElems[0])) << GuidText(pages.pElems[0]);
    EXPECT_EQ(16u, memory.BlockSize(pages.pElems));
    CoTaskMemFree(pages.pElems);
    ASSERT_TRUE(memory.FailNext(1)) << "the task allocator could not be made to fail";
    pages = CAUUID{7, nullptr};
    EXPECT_EQ(E_OUTOFMEMORY, filter->GetPages(&pages));
    EXPECT_EQ(0u, pages.cElems);
    EXPECT_EQ(nullptr, pages.pElems);

    uint32_t routing[3] = {9, 9, 9};
    EXPECT_EQ(S_OK, filter->GetEventRouting(&routing[0], &routing[1], &routing[2]));
    EXPECT_EQ(2u, routing[0]);
    EXPECT_EQ(2u, routing[1]);
    EXPECT_EQ(2u, routing[2]);
    EXPECT_EQ(S_OK, filter->GetEventRouting(nullptr, nullptr, nullptr));

    EXPECT_EQ(S_FALSE, filter->IsDirty());
    filter->SetDirty();
    EXPECT_EQ(S_OK, filter->IsDirty());
}

TEST_F(FilterComTest, UnreadableDefinitionLeavesAnEmptyWorkingDevice) {
    FilterHolder filter(folder.File("missing.druv"));
    EXPECT_EQ(0u, filter->Device().ConfigurationCount());
    EXPECT_EQ(0u, filter->Device().TemplateCount());
    EXPECT_TRUE(filter->Data().Items.empty());
    EXPECT_FALSE(boxes.boxes.empty()) << "the reader reports the missing file";

    TaskMemoryProbe memory;
    uint32_t mask = 0;
    WCHAR* text = nullptr;
    EXPECT_EQ(S_OK, filter->GetDataTypes(&mask, &text, nullptr, nullptr, nullptr));
    EXPECT_EQ(0x80000000u, mask);
    EXPECT_EQ(u"All;", Wide(text));
    EXPECT_EQ(12u, memory.BlockSize(text));
    CoTaskMemFree(text);
}

TEST_F(FilterComTest, StoreIsBuiltFromTheDefinition) {
    FilterHolder filter(Write(DefinitionXml({"A"}, {"First", "Second"},
                                            "<SysXChanMin>3</SysXChanMin><SysXChanMax>9</SysXChanMax>"
                                            "<SysXChanDefault>5</SysXChanDefault>")));
    EXPECT_EQ("Maker", filter->Data().Company);
    EXPECT_EQ("Box", filter->Data().Product);
    EXPECT_EQ("2.1", filter->Data().Version);
    EXPECT_EQ(3, filter->Data().DeviceId.load()) << "the device ID starts at SysXChanMin, not the default";
    ASSERT_EQ(2u, filter->Data().Items.size());
    EXPECT_EQ("First", filter->Data().Items[0]->Name());
    EXPECT_EQ("Second", filter->Data().Items[1]->Name());
    EXPECT_EQ(12u, filter->Data().Items[0]->Capacity());
}

// The block's size counts each name in UTF-16 units, as the host reads it.
TEST_F(FilterComTest, DataTypesTextAndBlockSize) {
    TaskMemoryProbe memory;
    struct Case {
        std::vector<std::string> names;
        uint32_t mask;
        std::u16string text;
        size_t bytes;
    };
    std::vector<std::string> many;
    std::u16string manyText = u"All;";
    size_t manyNameBytes = 0;
    for (int i = 0; i < 33; ++i) {
        std::string name = "Config " + std::to_string(i);
        many.push_back(name);
        manyText += std::u16string(name.begin(), name.end()) + (i < 32 ? u";" : u"");
        manyNameBytes += name.size() + 1;
    }
    const std::vector<Case> cases = {
        {{}, 0x80000000u, u"All;", 2 * 4 + 4},
        {{"A", "B", "C"}, 0x80000007u, u"All;A;B;C", 2 * (4 + 6) + 4},
        // A ';' inside a name would make three entries of two and shift the
        // second against its mask bit: it shows as ','.
        {{"Bank A;B", "Drums;"}, 0x80000003u, u"All;Bank A,B;Drums,", 2 * (4 + 9 + 7) + 4},
        {many, 0xFFFFFFFFu, manyText, 2 * (4 + manyNameBytes) + 4},
        // 6, 15 and 2 units from 7, 17 and 4 bytes of UTF-8.
        {{"Kl\xC3\xA4nge", "Stimme 1 \xE2\x80\x93 Bass", "\xF0\x9F\x8E\xB9"},
         0x80000007u,
         u"All;Kl\u00E4nge;Stimme 1 \u2013 Bass;\U0001F3B9",
         2 * (4 + 7 + 16 + 3) + 4},
    };
    for (const Case& c : cases) {
        FilterHolder filter(Write(DefinitionXml(c.names, {"T"})));
        ASSERT_EQ(c.names.size(), filter->Device().ConfigurationCount());
        uint32_t mask = 0;
        WCHAR* text = nullptr;
        uint32_t a = 7, cc = 7;
        uint8_t b = 7;
        ASSERT_EQ(S_OK, filter->GetDataTypes(&mask, &text, &a, &b, &cc));
        EXPECT_EQ(c.mask, mask) << c.names.size();
        EXPECT_EQ(c.text, Wide(text)) << c.names.size();
        EXPECT_EQ(c.bytes, memory.BlockSize(text)) << c.names.size();
        EXPECT_LE((UnitCount(text) + 1) * sizeof(WCHAR), c.bytes);
        EXPECT_EQ(0u, a);
        EXPECT_EQ(0u, b);
        EXPECT_EQ(0u, cc);
        CoTaskMemFree(text);

        // Any out value may be left out.
        EXPECT_EQ(S_OK, filter->GetDataTypes(nullptr, nullptr, nullptr, nullptr, nullptr));
        mask = 0;
        EXPECT_EQ(S_OK, filter->GetDataTypes(&mask, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ(c.mask, mask);
    }

    FilterHolder filter(Write(DefinitionXml({"A"}, {"T"})));
    ASSERT_TRUE(memory.FailNext(1)) << "the task allocator could not be made to fail";
    WCHAR* text = reinterpret_cast<WCHAR*>(0x1);
    EXPECT_EQ(E_OUTOFMEMORY, filter->GetDataTypes(nullptr, &text, nullptr, nullptr, nullptr));
    EXPECT_EQ(nullptr, text);
}

TEST_F(FilterComTest, MaskBitsForThirtyOneAndThirtyTwoConfigurations) {
    EXPECT_EQ(0xBFFFFFFFu, DataTypesMask(30));
    EXPECT_EQ(0xFFFFFFFFu, DataTypesMask(31));
    EXPECT_EQ(0xFFFFFFFFu, DataTypesMask(32));
    EXPECT_EQ(0x80000001u, DataTypesMask(1));
}

TEST_F(FilterComTest, PictureUrlsWithEitherSeparator) {
    TaskMemoryProbe memory;
    const std::string pictures = "<ActivePNGFile>on.png</ActivePNGFile><InactivePNGFile>off.png</InactivePNGFile>";
    const std::string written = Write(DefinitionXml({}, {}, pictures));
    FilterHolder filter(written);
    WCHAR* inactive = nullptr;
    WCHAR* active = nullptr;
    ASSERT_EQ(S_OK, filter->GetPictureUrls(&inactive, &active));
    const std::string writtenFolder = written.substr(0, written.find_last_of("\\/"));
    const std::u16string url = u"file://" + std::u16string(writtenFolder.begin(), writtenFolder.end());
    EXPECT_EQ(url + u"/off.png", Wide(inactive));
    EXPECT_EQ(url + u"/on.png", Wide(active));
    EXPECT_EQ(512u, memory.BlockSize(inactive));
    EXPECT_EQ(512u, memory.BlockSize(active));
    CoTaskMemFree(inactive);
    CoTaskMemFree(active);

    // The folder is the path up to its last separator of either kind.
    struct Case {
        std::string path;
        std::u16string folder;
    };
    for (const Case& c : {Case{"C:\\Devices\\Mixer\\mixer.druv", u"C:\\Devices\\Mixer"},
                          Case{"/home/user/devices/mixer.druv", u"/home/user/devices"},
                          Case{"C:\\Devices/sub\\x/mixer.druv", u"C:\\Devices/sub\\x"},
                          Case{"mixer.druv", u"mixer.druv"},
                          Case{"C:\\Users\\J\xC3\xBCrgen\\Kl\xC3\xA4nge\\mixer.druv",
                               u"C:\\Users\\J\u00FCrgen\\Kl\u00E4nge"}}) {
        inactive = PictureUrl(c.path, "off.png");
        active = PictureUrl(c.path, "on.png");
        EXPECT_EQ(u"file://" + c.folder + u"/off.png", Wide(inactive)) << c.path;
        EXPECT_EQ(u"file://" + c.folder + u"/on.png", Wide(active)) << c.path;
        EXPECT_EQ(512u, memory.BlockSize(inactive));
        EXPECT_EQ(512u, memory.BlockSize(active));
        CoTaskMemFree(inactive);
        CoTaskMemFree(active);
    }

    // A long path is cut to 255 units in its 512-byte block.
    std::string longPath = "/" + std::string(250, 'd') + "/" + std::string(200, 'f') + ".druv";
    DRUVDevice device;
    device.SetFilePath(longPath.c_str());  // the device keeps 255 bytes of it
    inactive = PictureUrl(device.FilePath(), "off.png");
    active = PictureUrl(device.FilePath(), "on.png");
    EXPECT_EQ(255u, UnitCount(inactive));
    EXPECT_EQ(u"file:///" + std::u16string(120, u'd'), Wide(inactive).substr(0, 128));
    EXPECT_EQ(512u, memory.BlockSize(active));
    CoTaskMemFree(inactive);
    CoTaskMemFree(active);

    ASSERT_TRUE(memory.FailNext(1)) << "the task allocator could not be made to fail";
    inactive = active = reinterpret_cast<WCHAR*>(0x1);
    EXPECT_EQ(E_OUTOFMEMORY, filter->GetPictureUrls(&inactive, &active));
    EXPECT_EQ(nullptr, inactive);
    EXPECT_EQ(nullptr, active);
    EXPECT_EQ(0, memory.LiveBlocks()) << "the other block is freed as well";
}

// The host reads the pictures the addresses name: only a picture inside the
// definition's folder is named; any other name is answered as no picture.
TEST_F(FilterComTest, PictureNamesThatArePicturesInTheFolderOnly) {
    const std::string folderUrl = "file:///devices/";
    struct Case {
        std::string name;
        std::string url;
    };
    for (const Case& c : {Case{"on.png", folderUrl + "on.png"}, Case{"art\\on.bmp", folderUrl + "art\\on.bmp"},
                          Case{"", folderUrl}, Case{"..\\..\\secret.png", folderUrl},
                          Case{"art/../../up.png", folderUrl}, Case{"C:\\Windows\\x.png", folderUrl},
                          Case{"\\\\server\\share\\x.png", folderUrl}, Case{"/etc/x.png", folderUrl},
                          Case{"setup.exe", folderUrl}, Case{"run.bat", folderUrl}, Case{"x.png.lnk", folderUrl}}) {
        WCHAR* url = PictureUrl("/devices/box.druv", c.name);
        ASSERT_NE(nullptr, url);
        EXPECT_EQ(std::u16string(c.url.begin(), c.url.end()), Wide(url)) << c.name;
        CoTaskMemFree(url);
    }

    const std::string pictures = "<ActivePNGFile>..\\on.png</ActivePNGFile><InactivePNGFile>off.exe</InactivePNGFile>";
    const std::string written = Write(DefinitionXml({}, {}, pictures));
    FilterHolder filter(written);
    WCHAR* inactive = nullptr;
    WCHAR* active = nullptr;
    ASSERT_EQ(S_OK, filter->GetPictureUrls(&inactive, &active));
    const std::string writtenFolder = written.substr(0, written.find_last_of("\\/"));
    const std::u16string noPicture = u"file://" + std::u16string(writtenFolder.begin(), writtenFolder.end()) + u"/";
    EXPECT_EQ(noPicture, Wide(inactive));
    EXPECT_EQ(noPicture, Wide(active));
    CoTaskMemFree(inactive);
    CoTaskMemFree(active);
}

TEST(PictureUrlTest, NeverEndsInHalfASurrogatePair) {
    // U+1F3B9 (four UTF-8 bytes, two UTF-16 units) placed so that the 255-unit
    // limit falls between its two halves.
    // "file://" (7) + folder + "/" : put the pair at units 254 and 255.
    std::string folder = "/" + std::string(245, 'a');  // 246 units
    std::string picture = "\xF0\x9F\x8E\xB9.png";      // starts at unit 7 + 246 + 1 = 254
    WCHAR* url = PictureUrl(folder + "/dev.druv", picture);
    ASSERT_NE(nullptr, url);
    size_t units = UnitCount(url);
    if (units == 256) {
        ADD_FAILURE() << "longer than 255 units";
    }
    EXPECT_EQ(254u, units) << "the whole pair is left out";
    EXPECT_FALSE(url[units - 1] >= 0xD800 && url[units - 1] <= 0xDBFF) << std::hex << url[units - 1];
    CoTaskMemFree(url);

    // Below the limit the pair comes through whole.
    WCHAR* shortUrl = PictureUrl("/dev/x.druv", picture);
    ASSERT_NE(nullptr, shortUrl);
    EXPECT_EQ(0xD83Cu, shortUrl[12]);
    EXPECT_EQ(0xDFB9u, shortUrl[13]);
    CoTaskMemFree(shortUrl);
}

}  // namespace
