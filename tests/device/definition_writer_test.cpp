#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "device/byte_string.h"
#include "device/druv_device.h"
#include "device/guid_text.h"
#include "device/xml_text.h"
#include "test_support.h"

namespace {

void FillTemplate(DRUVTemplate& t, int seed) {
    t.SetSize(DecimalText(1000 + seed).c_str());
    t.SetCSumType(seed == 0 ? 200 : seed);
    t.SetCSumStart(DecimalText(5 + seed).c_str());
    t.SetCSumLength(DecimalText(-3 - seed).c_str());
    t.SetCSumOfs(DecimalText(7 + seed).c_str());
    t.SetNumLoops(DecimalText(8 + seed).c_str());
    t.SetLoopStart(DecimalText(-9 - seed).c_str());
    t.SetLoopIncDec(DecimalText(-1 - seed).c_str());
    t.SetLoopRecvSize(DecimalText(11 + seed).c_str());
    t.SetLoopValFormat(seed + 1);
    t.SetDelayBetweenSysX(DecimalText(12 + seed).c_str());
    t.SetDelayEveryNthByte(DecimalText(13 + seed).c_str());
    t.SetDelayEveryNthByteAmount(DecimalText(14 + seed).c_str());
    t.SetUseMidiChannel(1);
    t.SetFixedLength(0);
    t.SetMultiSysX(1);
    t.SetVerify(seed);
    t.SetTimeOut(1);
    t.SetStoreTerminator(1);
    t.SetPreRequest("F0 7D 01 F7");
    t.SetRequest(ByteString{0xF0, 0x7D, static_cast<uint8_t>(seed), 0xF1, 0xF2, 0xF7});
    t.SetPostRequest("F3 0A");
    t.SetPreTransmit("B0 07 7F");
    t.SetTransmit("F0 7F F7");
    t.SetPostTransmit("C5 0A");
    t.SetTerminator("F0 7D 7F F7");
}

void ExpectSameTemplate(const DRUVTemplate& a, const DRUVTemplate& b) {
    SCOPED_TRACE("template " + a.Name());
    EXPECT_EQ(a.Name(), b.Name());
    EXPECT_EQ(a.Size(), b.Size());
    EXPECT_EQ(a.CSumType(), b.CSumType());
    EXPECT_EQ(a.CSumStart(), b.CSumStart());
    EXPECT_EQ(a.CSumLength(), b.CSumLength());
    EXPECT_EQ(a.CSumOfs(), b.CSumOfs());
    EXPECT_EQ(a.NumLoops(), b.NumLoops());
    EXPECT_EQ(a.LoopStart(), b.LoopStart());
    EXPECT_EQ(a.LoopIncDec(), b.LoopIncDec());
    EXPECT_EQ(a.LoopRecvSize(), b.LoopRecvSize());
    EXPECT_EQ(a.LoopValFormat(), b.LoopValFormat());
    EXPECT_EQ(a.DelayBetweenSysX(), b.DelayBetweenSysX());
    EXPECT_EQ(a.DelayEveryNthByte(), b.DelayEveryNthByte());
    EXPECT_EQ(a.DelayEveryNthByteAmount(), b.DelayEveryNthByteAmount());
    EXPECT_EQ(a.UseMidiChannel(), b.UseMidiChannel());
    EXPECT_EQ(a.FixedLength(), b.FixedLength());
    EXPECT_EQ(a.MultiSysX(), b.MultiSysX());
    EXPECT_EQ(a.Verify(), b.Verify());
    EXPECT_EQ(a.TimeOut(), b.TimeOut());
    EXPECT_EQ(a.StoreTerminator(), b.StoreTerminator());
    EXPECT_EQ(BytesToHexText(a.PreRequest()), BytesToHexText(b.PreRequest()));
    EXPECT_EQ(BytesToHexText(a.Request()), BytesToHexText(b.Request()));
    EXPECT_EQ(BytesToHexText(a.PostRequest()), BytesToHexText(b.PostRequest()));
    EXPECT_EQ(BytesToHexText(a.PreTransmit()), BytesToHexText(b.PreTransmit()));
    EXPECT_EQ(BytesToHexText(a.Transmit()), BytesToHexText(b.Transmit()));
    EXPECT_EQ(BytesToHexText(a.PostTransmit()), BytesToHexText(b.PostTransmit()));
    EXPECT_EQ(BytesToHexText(a.Terminator()), BytesToHexText(b.Terminator()));
}

class SaveDefinition : public ::testing::Test {
protected:
    ScratchFolder folder;
    MessageRecorder boxes;
};

TEST_F(SaveDefinition, FullDeviceReadsBackEqual) {
    DRUVDevice saved;
    saved.SetFilePath(folder.File("full.druv").c_str());
    saved.CreateIdentifiers();
    saved.SetCompany("Brindle & Koss <Audio>");
    saved.SetProduct("Desk 16");
    saved.SetVersion("2.1");
    saved.SetAuthor("Author \"A\"");
    saved.SetActivePNGFile("active.png");
    saved.SetInactivePNGFile("inactive.png");
    saved.SetHelpFile("help.pdf");
    saved.SetSysXChanOfs("-70000");
    saved.SetSysXChanMin("3");
    saved.SetSysXChanMax("255");
    saved.SetSysXChanDefault("4");
    saved.SetSysXDisplayOfs("-1");
    saved.SetMidiChannel(1);
    saved.SetDeviceType(2);
    DRUVConfiguration* first = saved.AddConfiguration("All");
    first->AddRef("Scene");
    first->AddRef("Setup");
    first->AddRef("Patches");
    saved.AddConfiguration("Scenes & more")->AddRef("scene");
    const char* names[] = {"Scene", "Setup", "Patches"};
    for (int i = 0; i < 3; ++i) FillTemplate(*saved.AddTemplate(names[i]), i);
    ASSERT_EQ(1, saved.SaveDefinition());
    EXPECT_EQ(0u, boxes.boxes.size());

    DRUVDevice loaded;
    loaded.SetFilePath(saved.FilePath().c_str());
    ASSERT_EQ(0, loaded.LoadDefinition());
    EXPECT_TRUE(loaded.DeviceGUID() == saved.DeviceGUID());
    EXPECT_TRUE(loaded.EditorGUID() == saved.EditorGUID());
    EXPECT_EQ(saved.Company(), loaded.Company());
    EXPECT_EQ(saved.Product(), loaded.Product());
    EXPECT_EQ(saved.Version(), loaded.Version());
    EXPECT_EQ(saved.Author(), loaded.Author());
    EXPECT_EQ(saved.ActivePNGFile(), loaded.ActivePNGFile());
    EXPECT_EQ(saved.InactivePNGFile(), loaded.InactivePNGFile());
    EXPECT_EQ(saved.HelpFile(), loaded.HelpFile());
    EXPECT_EQ(-70000, loaded.SysXChanOfs());
    EXPECT_EQ(3, loaded.SysXChanMin());
    EXPECT_EQ(255, loaded.SysXChanMax());
    EXPECT_EQ(4, loaded.SysXChanDefault());
    EXPECT_EQ(-1, loaded.SysXDisplayOfs());
    EXPECT_EQ(1, loaded.MidiChannel());
    EXPECT_EQ(2, loaded.DeviceType());
    ASSERT_EQ(2u, loaded.ConfigurationCount());
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(saved.Configuration(i)->Name(), loaded.Configuration(i)->Name());
        EXPECT_EQ(saved.Configuration(i)->Refs(), loaded.Configuration(i)->Refs());
    }
    ASSERT_EQ(3u, loaded.TemplateCount());
    for (size_t i = 0; i < 3; ++i) ExpectSameTemplate(*saved.Template(i), *loaded.Template(i));

    const std::string file = ReadWholeFile(saved.FilePath());
    EXPECT_NE(std::string::npos, file.find("<SysXDisplayOfs>-1</SysXDisplayOfs>"));
    EXPECT_NE(std::string::npos, file.find("<CSumType>200</CSumType>"));
    EXPECT_NE(std::string::npos, file.find("<Company>Brindle &amp; Koss &lt;Audio&gt;</Company>"));
    char guid[kGuidTextBufferSize];
    ASSERT_TRUE(GuidToText(saved.DeviceGUID(), guid));
    EXPECT_NE(std::string::npos, file.find("<DeviceGUID>" + std::string(guid + 1, 36) + "</DeviceGUID>")) << file;
}

// Paths are UTF-8 like every other text; on Windows the file must be found by
// its wide name, as the 8-bit file API knows only the system's code page.
TEST_F(SaveDefinition, FolderNamedBeyondAsciiSavesAndLoads) {
    const std::string name = "J\xC3\xBCrgen \xE2\x80\x93 \xCE\xA9\xE6\x9D\xB1";  // Jürgen – Ω東
    const std::filesystem::path inner = std::filesystem::u8path(folder.File("")) / std::filesystem::u8path(name);
    std::filesystem::create_directories(inner);
    const std::filesystem::path file = inner / std::filesystem::u8path("Kl\xC3\xA4nge.druv");
    const std::string path = file.u8string();

    DRUVDevice saved;
    saved.SetFilePath(path.c_str());
    saved.AddConfiguration("Stimme 1 \xE2\x80\x93 Bass")->AddRef("Bass");
    saved.AddTemplate("Bass")->SetSize("12");
    EXPECT_EQ(1, saved.SaveDefinition()) << path;
    EXPECT_TRUE(std::filesystem::exists(file)) << "no file under its own name";

    DRUVDevice loaded;
    loaded.SetFilePath(path.c_str());
    EXPECT_EQ(0, loaded.LoadDefinition()) << path;
    ASSERT_EQ(1u, loaded.ConfigurationCount());
    EXPECT_EQ("Stimme 1 \xE2\x80\x93 Bass", loaded.Configuration(0)->Name());
    EXPECT_EQ(0u, boxes.boxes.size()) << (boxes.boxes.empty() ? "" : boxes.boxes[0].text);
}

TEST_F(SaveDefinition, NewDeviceGivesTheDefaultFileLayout) {
    DRUVDevice device;
    device.SetFilePath(folder.File("new.druv").c_str());
    ASSERT_EQ(1, device.SaveDefinition());
    const std::string file = ReadWholeFile(device.FilePath());
    EXPECT_EQ(0u, file.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DRUVDevice>\n  <DeviceGUID>")) << file;
    EXPECT_NE(std::string::npos, file.find("\n  <Company/>\n"));
    EXPECT_NE(std::string::npos, file.find("\n  <Version>1.0</Version>\n"));
    EXPECT_NE(std::string::npos, file.find("\n  <SysXChanMax>15</SysXChanMax>\n"));
    EXPECT_NE(std::string::npos, file.find("\n  <SysXDisplayOfs>1</SysXDisplayOfs>\n"));
    EXPECT_EQ(std::string::npos, file.find("Configuration"));
    EXPECT_EQ(std::string::npos, file.find("Template"));
}

TEST_F(SaveDefinition, TemplatesAndConfigurationsAreWrittenOnOneLine) {
    DRUVDevice device;
    device.SetFilePath(folder.File("lists.druv").c_str());
    device.AddConfiguration("All")->AddRef("Bulk");
    DRUVTemplate* bulk = device.AddTemplate("Bulk");
    bulk->SetSize(256);
    bulk->SetRequest("F0 7F");
    ASSERT_EQ(1, device.SaveDefinition());
    const std::string file = ReadWholeFile(device.FilePath());
    EXPECT_NE(std::string::npos, file.find("\n  <Configuration>All<Ref>Bulk</Ref></Configuration>\n")) << file;
    EXPECT_NE(std::string::npos, file.find("\n  <Template>Bulk<Size>256</Size><CSumType>0</CSumType>")) << file;
    EXPECT_NE(std::string::npos, file.find("<PreRequest/><Request>F0 7F </Request><PostRequest/>")) << file;
}

TEST_F(SaveDefinition, SizeZeroWarnsOncePerTemplateAndStillWrites) {
    DRUVDevice device;
    device.SetFilePath(folder.File("zero.druv").c_str());
    device.AddTemplate("Empty Dump");
    device.AddTemplate("Sized")->SetSize(4);
    ASSERT_EQ(1, device.SaveDefinition());
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("Warning! The Template Empty Dump has a size of 0.\n"
              "All templates require that the size be set to function properly.",
              boxes.boxes[0].text);
    EXPECT_EQ("DRUV Template Builder", boxes.boxes[0].caption);
    EXPECT_EQ(MessageIcon::Warning, boxes.boxes[0].icon);
    EXPECT_EQ(nullptr, boxes.boxes[0].owner);
    EXPECT_NE(std::string::npos, ReadWholeFile(device.FilePath()).find("<Template>Empty Dump<Size>0</Size>"));
}

TEST_F(SaveDefinition, NothingToWriteOrNowhereToWrite) {
    DRUVDevice device;
    EXPECT_EQ(0, device.SaveDefinition()) << "empty FilePath";
    EXPECT_EQ(0u, boxes.boxes.size());

    device.SetFilePath(folder.File("no-such-folder/x.druv").c_str());
    EXPECT_EQ(0, device.SaveDefinition()) << "a file that cannot be written is not reported as saved";
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("Error: unable to write file \"" + device.FilePath() + "\"\n", boxes.boxes[0].text);
    EXPECT_EQ(MessageIcon::Error, boxes.boxes[0].icon);
}

TEST_F(SaveDefinition, EmptyNamesAreWrittenButNotReadBack) {
    DRUVDevice device;
    device.SetFilePath(folder.File("empty-names.druv").c_str());
    device.AddTemplate("")->SetSize(1);
    device.AddConfiguration("")->AddRef("x");
    device.SetVersion("");
    ASSERT_EQ(1, device.SaveDefinition());
    ASSERT_EQ(0, device.LoadDefinition());
    EXPECT_EQ(0u, device.TemplateCount()) << "not even named by the indentation";
    EXPECT_EQ(0u, device.ConfigurationCount());
    EXPECT_EQ("1.0", device.Version());
}

TEST_F(SaveDefinition, EightBitTextStaysReadable) {
    DRUVDevice device;
    device.SetFilePath(folder.File("ansi.druv").c_str());
    device.SetCompany("M\xFCller \x80 Co\x01");
    device.SetProduct("Gr\xC3\xBC\xC3\x9F" "e");  // already UTF-8: unchanged
    device.AddTemplate("T\xE9st")->SetSize(1);
    device.AddConfiguration("All")->AddRef("T\xE9st");
    ASSERT_EQ(1, device.SaveDefinition());
    ASSERT_EQ(0, device.LoadDefinition());
    EXPECT_EQ("M\xC3\xBCller \xE2\x82\xAC Co", device.Company());
    EXPECT_EQ("Gr\xC3\xBC\xC3\x9F" "e", device.Product());
    ASSERT_EQ(1u, device.TemplateCount());
    EXPECT_EQ("T\xC3\xA9st", device.Template(0)->Name());
    ASSERT_EQ(1u, device.ConfigurationCount());
    EXPECT_EQ(std::vector<std::string>{"T\xC3\xA9st"}, device.Configuration(0)->Refs())
        << "the reference is converted like the name it refers to";
}

TEST(XmlText, ValidTextPassesAndOtherBytesAreConverted) {
    EXPECT_EQ("plain & <text>\t\r\n", ToXmlCharacterData("plain & <text>\t\r\n"));
    EXPECT_EQ("\xF0\x9F\x8E\xB9", ToXmlCharacterData("\xF0\x9F\x8E\xB9"));
    EXPECT_EQ("\xC2\xA3", ToXmlCharacterData("\xA3"));
    EXPECT_EQ("\xC5\xA0", ToXmlCharacterData("\x8A"));
    EXPECT_EQ("", ToXmlCharacterData("\x81\x02"));
    EXPECT_EQ("\xC3\xAD\xC2\xA0\xE2\x82\xAC", ToXmlCharacterData("\xED\xA0\x80")) << "an encoded surrogate is not text";
    EXPECT_EQ("\xC3\xAF\xC2\xBF\xC2\xBE", ToXmlCharacterData("\xEF\xBF\xBE"));
}

}  // namespace
