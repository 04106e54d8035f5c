#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "device/byte_string.h"
#include "device/druv_device.h"
#include "device/guid_text.h"
#include "device/text_fields.h"
#include "platform/guid.h"
#include "test_support.h"

namespace {

std::string HexOf(const ByteString& bytes) { return BytesToHexText(bytes); }

ByteString BytesOf(const char* text) {
    ByteString bytes{0xEE};  // sentinel: must be replaced, not appended to
    HexTextToBytes(text, bytes);
    return bytes;
}

TEST(ByteStrings, ConvertToText) {
    EXPECT_EQ("F0 7D 10 F7 ", BytesToHexText({0xF0, 0x7D, 0x10, 0xF7}));
    EXPECT_EQ("07 ", BytesToHexText({0x07}));
    EXPECT_EQ("", BytesToHexText({}));
}

TEST(ByteStrings, ReadEveryRunOfHexDigitsAsOneByte) {
    EXPECT_EQ("F0 7D 10 F7 ", HexOf(BytesOf("F0 7D 10 F7")));
    EXPECT_EQ("F0 7D 10 F7 ", HexOf(BytesOf("f0,7d;10 f7")));
    EXPECT_EQ("F0 7D 10 F7 ", HexOf(BytesOf("F0 7D 10 F7 ")));
    EXPECT_EQ("00 7F ", HexOf(BytesOf("0x7F")));
    EXPECT_EQ("23 ", HexOf(BytesOf("123")));
    EXPECT_EQ("EF ", HexOf(BytesOf("ABCDEF")));
    EXPECT_EQ("FF ", HexOf(BytesOf("FFFFFFFFFF")));
    EXPECT_EQ("FF ", HexOf(BytesOf("100000000"))) << "saturates at 7FFFFFFF on every system";
    EXPECT_EQ("FF ", HexOf(BytesOf("80000000")));
    EXPECT_EQ("FF ", HexOf(BytesOf("7FFFFFFF")));
    EXPECT_EQ("01 02 03 ", HexOf(BytesOf("1 2 3")));
    EXPECT_EQ("", HexOf(BytesOf("")));
    EXPECT_EQ("", HexOf(BytesOf("   ")));
    EXPECT_EQ("", HexOf(BytesOf("xyz")));
    EXPECT_EQ("", HexOf(BytesOf(nullptr)));
    EXPECT_EQ("0A 0B ", HexOf(BytesOf("0A\xC3\xA9" "0B"))) << "bytes with the high bit set separate runs";
}

TEST(TextFields, DecimalTextReadsLikeStrtol) {
    EXPECT_EQ(12, DecimalTextToInt("  12abc"));
    EXPECT_EQ(-7, DecimalTextToInt("\t-7"));
    EXPECT_EQ(5, DecimalTextToInt("+5"));
    EXPECT_EQ(0, DecimalTextToInt("abc"));
    EXPECT_EQ(0, DecimalTextToInt(""));
    EXPECT_EQ(0, DecimalTextToInt(nullptr));
    EXPECT_EQ(2147483647, DecimalTextToInt("99999999999"));
    EXPECT_EQ(-2147483647 - 1, DecimalTextToInt("-99999999999"));
    EXPECT_EQ("-128", DecimalText(-128));
}

TEST(TextFields, CapTextCutsAt255BytesWithoutSplittingACharacter) {
    EXPECT_EQ(std::string(255, 'a'), CapText(std::string(300, 'a').c_str()));
    EXPECT_EQ("short", CapText("short"));
    EXPECT_EQ("", CapText(nullptr));
    // 254 ASCII bytes, then a 2-byte character across the limit: it goes whole.
    const std::string split = std::string(254, 'a') + "\xC3\xA9" + "zz";
    EXPECT_EQ(std::string(254, 'a'), CapText(split.c_str()));
    // A character that ends exactly at the limit stays.
    const std::string fits = std::string(253, 'a') + "\xC3\xA9" + "zz";
    EXPECT_EQ(std::string(253, 'a') + "\xC3\xA9", CapText(fits.c_str()));
    // Single-byte code-page text is cut at the limit even where it looks like a continuation.
    const std::string latin = std::string(255, 'a') + "\xA3\xA3";
    EXPECT_EQ(std::string(255, 'a'), CapText(latin.c_str()));
}

TEST(TextFields, NamesCompareWholeIgnoringAsciiCase) {
    EXPECT_TRUE(EqualsIgnoringCase("SysXChanMax", "sysxchanmax"));
    EXPECT_TRUE(EqualsIgnoringCase("", nullptr));
    EXPECT_FALSE(EqualsIgnoringCase("LoopIncDec", "LoopIncDecX"));
    EXPECT_FALSE(EqualsIgnoringCase("LoopRecvSizes", "LoopRecvSize"));
    EXPECT_FALSE(EqualsIgnoringCase("\xC3\xA9", "\xC3\x89")) << "only ASCII letters fold";
}

TEST(GuidTexts, BracedUpperCaseFormAndBareFormRoundTrip) {
    const GUID guid = {0x5464D9CE, 0x17FD, 0x4E28, {0xA4, 0x51, 0x79, 0xA2, 0x7E, 0x39, 0xBB, 0xC4}};
    char text[kGuidTextBufferSize];
    std::memset(text, '#', sizeof text);
    ASSERT_TRUE(GuidToText(guid, text));
    EXPECT_STREQ("{5464D9CE-17FD-4E28-A451-79A27E39BBC4}", text);

    GUID parsed{};
    EXPECT_TRUE(TextToGuid("5464d9ce-17fd-4e28-a451-79a27e39bbc4", parsed));
    EXPECT_TRUE(parsed == guid);
}

TEST(GuidTexts, TextThatDoesNotParseLeavesTheNullGuid) {
    const char* bad[] = {"{5464D9CE-17FD-4E28-A451-79A27E39BBC4}", "5464D9CE-17FD-4E28-A451-79A27E39BBC",
                         "5464D9CE-17FD-4E28-A451-79A27E39BBC4 ", "5464D9CE+17FD-4E28-A451-79A27E39BBC4",
                         "5464D9CE-17FD-4E28-A451-79A27E39BBCG", "", "MyCompany.Device"};
    for (const char* text : bad) {
        GUID guid = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
        EXPECT_FALSE(TextToGuid(text, guid)) << text;
        EXPECT_TRUE(guid == GUID{}) << text << " left Data1 " << guid.Data1;
    }
    char buffer[kBracedGuidLength] = "unchanged";
    EXPECT_FALSE(GuidToText(GUID{}, buffer, sizeof buffer)) << "a buffer without room for the terminator";
    EXPECT_STREQ("unchanged", buffer);
}

TEST(GuidTexts, CreatedGuidsDifferAndFormatStrictly) {
    GUID first{}, second{};
    ASSERT_TRUE(CreateGuid(first));
    ASSERT_TRUE(CreateGuid(second));
    EXPECT_FALSE(first == second);
    EXPECT_EQ(0x4000, first.Data3 & 0xF000) << "version 4";
    char text[kGuidTextBufferSize];
    ASSERT_TRUE(GuidToText(first, text));
    GUID back{};
    EXPECT_TRUE(ParseBracedGuid(text, back)) << text;
    EXPECT_TRUE(back == first) << text;
}

TEST(Device, NewDeviceHasTheDefaults) {
    DRUVDevice device;
    EXPECT_EQ("1.0", device.Version());
    EXPECT_EQ("", device.Company());
    EXPECT_EQ("", device.FilePath());
    EXPECT_EQ(0, device.SysXChanOfs());
    EXPECT_EQ(0, device.SysXChanMin());
    EXPECT_EQ(15, device.SysXChanMax());
    EXPECT_EQ(0, device.SysXChanDefault());
    EXPECT_EQ(1, device.SysXDisplayOfs());
    EXPECT_EQ(0, device.MidiChannel());
    EXPECT_EQ(0, device.DeviceType());
    EXPECT_EQ(0u, device.ConfigurationCount());
    EXPECT_EQ(0u, device.TemplateCount());
}

TEST(Device, ResetRestoresFieldsButKeepsIdentityPathAndLists) {
    DRUVDevice device;
    const GUID guid = {7, 8, 9, {1, 2, 3, 4, 5, 6, 7, 8}};
    device.SetDeviceGUID(guid);
    device.SetFilePath("C:\\Devices\\mixer.druv");
    device.SetCompany("Maker");
    device.SetVersion("2.5");
    device.SetSysXChanMax("99");
    device.SetSysXDisplayOfs("0");
    device.SetDeviceType(2);
    device.AddTemplate("Bulk");

    device.Reset();
    EXPECT_EQ("", device.Company());
    EXPECT_EQ("1.0", device.Version());
    EXPECT_EQ(15, device.SysXChanMax());
    EXPECT_EQ(1, device.SysXDisplayOfs());
    EXPECT_EQ(0, device.DeviceType());
    EXPECT_TRUE(device.DeviceGUID() == guid);
    EXPECT_EQ("C:\\Devices\\mixer.druv", device.FilePath());
    EXPECT_EQ(1u, device.TemplateCount());
}

TEST(Device, NumericSettersFromTextKeepTheLowBits) {
    DRUVDevice device;
    device.SetSysXChanMax("300");
    EXPECT_EQ(44, device.SysXChanMax());
    device.SetSysXDisplayOfs("255");
    EXPECT_EQ(-1, device.SysXDisplayOfs());
    device.SetSysXChanMin(" 12abc");
    EXPECT_EQ(12, device.SysXChanMin());
    device.SetSysXChanOfs("-70000");
    EXPECT_EQ(-70000, device.SysXChanOfs());
    device.SetSysXChanDefault("none");
    EXPECT_EQ(0, device.SysXChanDefault());
    device.SetMidiChannel(257);
    EXPECT_EQ(1, device.MidiChannel());
}

TEST(Device, TextSettersCutAt255) {
    DRUVDevice device;
    const std::string long_text(400, 'x');
    device.SetCompany(long_text.c_str());
    device.SetFilePath(long_text.c_str());
    device.SetHelpFile(nullptr);
    EXPECT_EQ(255u, device.Company().size());
    EXPECT_EQ(255u, device.FilePath().size());
    EXPECT_EQ("", device.HelpFile());
}

// A path is limited in characters, as Windows limits it: 255 of them beyond
// ASCII stay whole, the 256th goes.
TEST(Device, FilePathCutAt255Characters) {
    DRUVDevice device;
    std::string umlauts;
    for (int i = 0; i < 256; ++i) umlauts += "\xC3\xBC";
    device.SetFilePath(umlauts.c_str());
    EXPECT_EQ(umlauts.substr(0, 510), device.FilePath()) << device.FilePath().size() << " bytes";
}

TEST(Device, DefinitionDirectoryEndsBeforeTheLastSeparator) {
    DRUVDevice device;
    device.SetFilePath("C:\\Program Files\\Devices\\mixer.druv");
    EXPECT_EQ("C:\\Program Files\\Devices", device.DefinitionDirectory());
    device.SetFilePath("/home/user/defs/synth.druv");
    EXPECT_EQ("/home/user/defs", device.DefinitionDirectory());
    device.SetFilePath("C:mixer.druv");
    EXPECT_EQ("C", device.DefinitionDirectory());
    device.SetFilePath("mixer.druv");
    EXPECT_EQ("mixer.druv", device.DefinitionDirectory());
}

TEST(Device, CreateIdentifiersGivesTwoFreshGuidsWithoutMessages) {
    MessageRecorder boxes;
    DRUVDevice device;
    device.CreateIdentifiers();
    const GUID first_device = device.DeviceGUID();
    EXPECT_FALSE(first_device == GUID{});
    EXPECT_FALSE(device.EditorGUID() == GUID{});
    EXPECT_FALSE(first_device == device.EditorGUID());
    device.CreateIdentifiers();
    EXPECT_FALSE(first_device == device.DeviceGUID());
    EXPECT_EQ(0u, boxes.boxes.size());
}

TEST(Template, NewTemplateHasTheDefaults) {
    const DRUVTemplate record("Bulk");
    EXPECT_EQ("Bulk", record.Name());
    EXPECT_EQ(0, record.Size());
    EXPECT_EQ(0, record.CSumType());
    EXPECT_EQ(1, record.NumLoops());
    EXPECT_EQ(1, record.LoopIncDec());
    EXPECT_EQ(0, record.LoopValFormat());
    EXPECT_EQ(50, record.DelayBetweenSysX());
    EXPECT_EQ(1, record.FixedLength());
    EXPECT_EQ(0, record.MultiSysX());
    EXPECT_EQ(0, record.Verify());
    EXPECT_EQ(0, record.TimeOut());
    EXPECT_TRUE(record.Request().empty());
    EXPECT_TRUE(record.Terminator().empty());
}

TEST(Template, FieldRulesOfTheSetters) {
    DRUVTemplate record("Patch");
    record.SetNumLoops("0");
    EXPECT_EQ(1, record.NumLoops());
    record.SetNumLoops("none");
    EXPECT_EQ(1, record.NumLoops());
    record.SetNumLoops("-2");
    EXPECT_EQ(-2, record.NumLoops());

    record.SetLoopValFormat(4);
    EXPECT_EQ(0, record.LoopValFormat());
    record.SetLoopValFormat(3);
    EXPECT_EQ(3, record.LoopValFormat());
    record.SetLoopValFormat("-1");
    EXPECT_EQ(0, record.LoopValFormat());
    record.SetLoopValFormat("7");
    EXPECT_EQ(0, record.LoopValFormat());

    record.SetCSumType(200);
    EXPECT_EQ(200, record.CSumType());
    record.SetCSumType(258);
    EXPECT_EQ(2, record.CSumType());
    record.SetTimeOut("257");
    EXPECT_EQ(1, record.TimeOut());
    record.SetStoreTerminator("  3 ms");
    EXPECT_EQ(3, record.StoreTerminator());
    record.SetSize("99999999999");
    EXPECT_EQ(2147483647, record.Size());

    record.SetRequest("f0 7d 01 f7");
    EXPECT_EQ("F0 7D 01 F7 ", BytesToHexText(record.Request()));
    record.SetRequest("");
    EXPECT_TRUE(record.Request().empty());

    record.SetName(std::string(300, 'n').c_str());
    EXPECT_EQ(255u, record.Name().size());
}

TEST(Configuration, ContainsTemplateIgnoresCase) {
    DRUVConfiguration configuration("All");
    EXPECT_FALSE(configuration.ContainsTemplate("System")) << "empty Refs";
    configuration.AddRef("System");
    configuration.AddRef("Scenes");
    EXPECT_TRUE(configuration.ContainsTemplate("SYSTEM"));
    EXPECT_TRUE(configuration.ContainsTemplate("scenes"));
    EXPECT_FALSE(configuration.ContainsTemplate("Scene"));
    configuration.ClearRefs();
    EXPECT_FALSE(configuration.ContainsTemplate("System"));
}

TEST(Lists, AddRemoveReplaceAndFind) {
    DRUVDevice device;
    DRUVTemplate* a = device.AddTemplate("A");
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, device.AddTemplate("B"));
    ASSERT_NE(nullptr, device.AddTemplate("C"));
    DRUVConfiguration* all = device.AddConfiguration("All");
    ASSERT_NE(nullptr, all);
    all->AddRef("B");

    EXPECT_FALSE(device.RemoveTemplate(3)) << "index equal to the count";
    EXPECT_EQ(3u, device.TemplateCount());
    EXPECT_EQ(nullptr, device.Template(3));
    EXPECT_TRUE(device.RemoveTemplate(1));
    ASSERT_EQ(2u, device.TemplateCount());
    EXPECT_EQ("C", device.Template(1)->Name()) << "later records move up";
    EXPECT_TRUE(all->ContainsTemplate("B")) << "configurations keep the name of a removed template";

    std::unique_ptr<DRUVTemplate> swapped(new DRUVTemplate("D"));
    EXPECT_TRUE(device.ReplaceTemplate(0, swapped));
    EXPECT_EQ("D", device.Template(0)->Name());
    ASSERT_NE(nullptr, swapped);
    EXPECT_EQ(a, swapped.get()) << "the replaced record comes back to the caller";
    EXPECT_FALSE(device.ReplaceTemplate(2, swapped));
    EXPECT_EQ(a, swapped.get()) << "an index outside the list changes nothing";
    std::unique_ptr<DRUVTemplate> none;
    EXPECT_FALSE(device.ReplaceTemplate(0, none));

    EXPECT_EQ(device.Template(1), device.FindTemplate("c"));
    EXPECT_EQ(nullptr, device.FindTemplate("B"));

    EXPECT_TRUE(device.RemoveConfiguration(0));
    EXPECT_FALSE(device.RemoveConfiguration(0));
    device.ClearTemplates();
    EXPECT_EQ(0u, device.TemplateCount());
}

}  // namespace
