#include <gtest/gtest.h>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <string>

#include "device/byte_string.h"
#include "device/definition_reader.h"
#include "device/druv_device.h"
#include "device/guid_text.h"
#include "test_support.h"

namespace {

const GUID kOldGuid = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};

class DefinitionFile : public ::testing::Test {
protected:
    // Loads `xml` from a file into `device`, which starts with sentinel
    // values that the load must replace.
    int Load(const std::string& xml) {
        device.SetFilePath(folder.Write("device.druv", xml).c_str());
        device.SetDeviceGUID(kOldGuid);
        device.SetEditorGUID(kOldGuid);
        device.SetCompany("sentinel");
        device.SetSysXChanMax(99);
        device.AddTemplate("stale");
        device.AddConfiguration("stale");
        return device.LoadDefinition();
    }

    static std::string Root(const std::string& children) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DRUVDevice>" + children + "</DRUVDevice>\n";
    }

    ScratchFolder folder;
    MessageRecorder boxes;
    DRUVDevice device;
};

TEST_F(DefinitionFile, ReadsFieldsWithAnyCaseAndOnlyWholeNames) {
    ASSERT_EQ(0, Load(Root("<COMPANY>Maker</COMPANY><sysxchanmax>300</sysxchanmax>"
                           "<Product>Desk</Product><ProductX>wrong</ProductX><Prod>wrong</Prod>"
                           "<SysXChanOfs>  12abc</SysXChanOfs><SysXDisplayOfs>255</SysXDisplayOfs>"
                           "<!-- a comment -->\n  <Version></Version><Author>A<b/>B</Author>")));
    EXPECT_EQ("Maker", device.Company());
    EXPECT_EQ("Desk", device.Product());
    EXPECT_EQ(44, device.SysXChanMax());
    EXPECT_EQ(12, device.SysXChanOfs());
    EXPECT_EQ(-1, device.SysXDisplayOfs());
    EXPECT_EQ("1.0", device.Version()) << "an empty element keeps the default";
    EXPECT_EQ("A", device.Author()) << "only the first text node counts";
    EXPECT_EQ(0u, device.TemplateCount());
    EXPECT_EQ(0u, device.ConfigurationCount());
    EXPECT_TRUE(device.DeviceGUID() == kOldGuid) << "a file without DeviceGUID keeps the old one";
    EXPECT_EQ(0u, boxes.boxes.size());
}

TEST_F(DefinitionFile, RootOfAnyNameIsRead) {
    ASSERT_EQ(0, Load("<Other><Company>Maker</Company></Other>"));
    EXPECT_EQ("Maker", device.Company());
}

TEST_F(DefinitionFile, DeviceTypeIsClampedFromTheLowByte) {
    const struct { const char* text; int expected; } cases[] = {
        {"5", 2}, {"-1", 0}, {"258", 2}, {"200", 0}, {"1", 1}, {"x", 0}};
    for (const auto& c : cases) {
        ASSERT_EQ(0, Load(Root(std::string("<DeviceType>") + c.text + "</DeviceType>")));
        EXPECT_EQ(c.expected, device.DeviceType()) << "DeviceType " << c.text;
    }
}

TEST_F(DefinitionFile, GuidTexts) {
    ASSERT_EQ(0, Load(Root("<DeviceGUID>5464d9ce-17fd-4e28-a451-79a27e39bbc4</DeviceGUID>"
                           "<EditorGUID>{5464D9CE-17FD-4E28-A451-79A27E39BBC4}</EditorGUID>")));
    char text[kGuidTextBufferSize];
    ASSERT_TRUE(GuidToText(device.DeviceGUID(), text));
    EXPECT_STREQ("{5464D9CE-17FD-4E28-A451-79A27E39BBC4}", text);
    EXPECT_TRUE(device.EditorGUID() == GUID{}) << "braces in the file do not parse and leave the null GUID";
}

TEST_F(DefinitionFile, ConfigurationsAndTemplatesWithMixedContent) {
    ASSERT_EQ(0, Load(Root("<Configuration>All<Ref>Bulk</Ref><REF>Patch</REF><Other>x</Other><Ref/>"
                           "text after<Ref>Late</Ref></Configuration>"
                           "<Configuration>Empty</Configuration>"
                           "<Configuration><Ref>lost</Ref>Lost</Configuration>"
                           "<Template><Size>10</Size>Nameless</Template>"
                           "<Template>Bulk<Size>256</Size><numloops>0</numloops><LoopValFormat>7</LoopValFormat>"
                           "<SizeX>9</SizeX><Request>f0 7d 01 f7</Request><CSumType>258</CSumType>"
                           "<Size>512</Size></Template>"
                           "<Template>Bulk</Template>")));
    ASSERT_EQ(2u, device.ConfigurationCount());
    const DRUVConfiguration& all = *device.Configuration(0);
    EXPECT_EQ("All", all.Name());
    ASSERT_EQ(3u, all.Refs().size());
    EXPECT_EQ("Bulk", all.Refs()[0]);
    EXPECT_EQ("Patch", all.Refs()[1]);
    EXPECT_EQ("Late", all.Refs()[2]);
    EXPECT_EQ("Empty", device.Configuration(1)->Name());
    EXPECT_TRUE(device.Configuration(1)->Refs().empty());

    ASSERT_EQ(2u, device.TemplateCount()) << "the nameless template is skipped with its children";
    const DRUVTemplate& bulk = *device.Template(0);
    EXPECT_EQ("Bulk", bulk.Name());
    EXPECT_EQ(512, bulk.Size()) << "a later element overwrites an earlier one";
    EXPECT_EQ(1, bulk.NumLoops());
    EXPECT_EQ(0, bulk.LoopValFormat());
    EXPECT_EQ(2, bulk.CSumType());
    EXPECT_EQ("F0 7D 01 F7 ", BytesToHexText(bulk.Request()));
    EXPECT_EQ(50, bulk.DelayBetweenSysX()) << "missing elements keep the template defaults";
    EXPECT_EQ("Bulk", device.Template(1)->Name()) << "a repeated name gives a second template";
    EXPECT_EQ(0, device.Template(1)->Size());
}

TEST_F(DefinitionFile, TextSectionsThatAreNotPlainTextAreSkipped) {
    ASSERT_EQ(0, Load(Root("<Company><![CDATA[cdata]]></Company><Product><!--c-->Later</Product>"
                           "<Template><![CDATA[T]]><Size>5</Size></Template>")));
    EXPECT_EQ("", device.Company());
    EXPECT_EQ("", device.Product());
    EXPECT_EQ(0u, device.TemplateCount());
}

TEST_F(DefinitionFile, OverlongNamesAndTextsAreCut) {
    const std::string name(300, 'N');
    ASSERT_EQ(0, Load(Root("<Company>" + std::string(1000, 'c') + "</Company><Configuration>" + name + "<Ref>" +
                           name + "</Ref></Configuration><Template>" + name + "<Size>1</Size></Template>")));
    EXPECT_EQ(255u, device.Company().size());
    ASSERT_EQ(1u, device.TemplateCount());
    EXPECT_EQ(std::string(255, 'N'), device.Template(0)->Name());
    ASSERT_EQ(1u, device.ConfigurationCount());
    EXPECT_EQ(std::string(255, 'N'), device.Configuration(0)->Name());
    EXPECT_TRUE(device.Configuration(0)->ContainsTemplate(device.Template(0)->Name().c_str()))
        << "a reference cut like the name it refers to still finds it";
}

TEST_F(DefinitionFile, FilesThatDoNotParseGiveMinusOneOneBoxAndAnEmptyDevice) {
    const std::string cases[] = {
        "",
        "<DRUVDevice><Company>Maker</Company>",
        std::string("\x00\x01\x02\xFF\xFE binary", 13),
        "not xml at all",
        "<DRUVDevice><Company>A</company></DRUVDevice>",
    };
    for (const std::string& xml : cases) {
        boxes.boxes.clear();
        EXPECT_EQ(-1, Load(xml)) << xml;
        EXPECT_EQ("", device.Company());
        EXPECT_EQ(15, device.SysXChanMax());
        EXPECT_EQ(0u, device.TemplateCount());
        EXPECT_EQ(0u, device.ConfigurationCount());
        EXPECT_TRUE(device.DeviceGUID() == kOldGuid);
        ASSERT_EQ(1u, boxes.boxes.size()) << xml;
        EXPECT_EQ("Error: unable to parse file \"" + device.FilePath() + "\"\n", boxes.boxes[0].text);
        EXPECT_EQ("DRUV Template Builder", boxes.boxes[0].caption);
        EXPECT_EQ(MessageIcon::Error, boxes.boxes[0].icon);
        EXPECT_EQ(nullptr, boxes.boxes[0].owner);
    }
}

TEST_F(DefinitionFile, MissingFileOrFolderGivesMinusOne) {
    device.SetFilePath(folder.File("absent.druv").c_str());
    EXPECT_EQ(-1, device.LoadDefinition());
    device.SetFilePath(folder.File("").c_str());
    EXPECT_EQ(-1, device.LoadDefinition());
    EXPECT_EQ(2u, boxes.boxes.size());
}

TEST_F(DefinitionFile, EntityExpansionIsNeverPerformed) {
    // Each entity refers to the previous one ten times: 10^10 bytes if expanded.
    std::string xml = "<!DOCTYPE d [<!ENTITY a \"haha\">";
    std::string previous = "a";
    for (char c = 'b'; c <= 'k'; ++c) {
        std::string body;
        for (int i = 0; i < 10; ++i) body += "&" + previous + ";";
        xml += std::string("<!ENTITY ") + c + " \"" + body + "\">";
        previous = std::string(1, c);
    }
    xml += "]><DRUVDevice><Company>&k;</Company><Product>P</Product></DRUVDevice>";
    const int result = Load(xml);
    EXPECT_EQ("", device.Company()) << "an entity reference is not a text value";
    // The parser may refuse the nested declarations outright or leave the
    // references unexpanded; either way the outcome is a whole one.
    if (result == 0) {
        EXPECT_EQ("P", device.Product()) << "the rest of the file is read";
        EXPECT_EQ(0u, boxes.boxes.size()) << (boxes.boxes.empty() ? "" : boxes.boxes[0].text);
    } else {
        EXPECT_EQ(-1, result);
        EXPECT_EQ("", device.Product()) << "a refused file leaves the empty device";
        EXPECT_EQ(15, device.SysXChanMax());
        ASSERT_EQ(1u, boxes.boxes.size()) << "a refused file is reported";
        EXPECT_EQ("Error: unable to parse file \"" + device.FilePath() + "\"\n", boxes.boxes[0].text);
    }
}

// A system identifier for a local file that a parser resolves the same way on
// every platform (a bare "C:\..." would read as a URI scheme "C").
static std::string FileUri(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path.size() > 1 && path[1] == ':' ? "file:///" + path : "file://" + path;
}

TEST_F(DefinitionFile, ExternalEntitiesAreNeverRead) {
    const std::string secret = FileUri(folder.Write("secret.txt", "SECRET"));
    const std::string xml = "<!DOCTYPE d [<!ENTITY s SYSTEM \"" + secret +
                            "\">]><DRUVDevice><Company>&s;</Company><Product>x&s;</Product>"
                            "<Author>&amp;&s;</Author></DRUVDevice>";
    // Control: a parser told to substitute entities does read the file.
    xmlDocPtr control = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr,
                                      XML_PARSE_NOENT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    ASSERT_NE(nullptr, control);
    xmlChar* control_text = xmlNodeGetContent(xmlDocGetRootElement(control));
    EXPECT_NE(nullptr, std::strstr(reinterpret_cast<const char*>(control_text), "SECRET")) << "control parse";
    xmlFree(control_text);
    xmlFreeDoc(control);

    EXPECT_EQ(0, Load(xml));
    EXPECT_EQ("", device.Company());
    EXPECT_EQ("x", device.Product());
    EXPECT_EQ("&", device.Author());

    const std::string dtd = FileUri(folder.Write("outer.dtd", "<!ENTITY s \"FROMDTD\">"));
    EXPECT_EQ(0, Load("<!DOCTYPE DRUVDevice SYSTEM \"" + dtd + "\"><DRUVDevice><Product>y&s;</Product></DRUVDevice>"));
    EXPECT_EQ("y", device.Product()) << "the external DTD is not loaded";
}

TEST_F(DefinitionFile, DeepNestingAndHugeTextEndQuickly) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    EXPECT_EQ(-1, Load("<DRUVDevice>" + deep + "</DRUVDevice>"));

    EXPECT_EQ(0, Load(Root("<Company>" + std::string(4 * 1024 * 1024, 'c') + "</Company>")));
    EXPECT_EQ(255u, device.Company().size());
    EXPECT_EQ(-1, Load(Root("<Company>" + std::string(kMaxDefinitionFileSize, 'c') + "</Company>")))
        << "files beyond the size of any definition are refused";
}

TEST_F(DefinitionFile, MemoryAndFileTakeTheSamePath) {
    const std::string xml = Root("<Company>Maker</Company><Template>T<Size>7</Size></Template>");
    DRUVDevice from_memory;
    ASSERT_EQ(0, LoadDefinitionFromMemory(from_memory, reinterpret_cast<const uint8_t*>(xml.data()), xml.size()));
    EXPECT_EQ("Maker", from_memory.Company());
    ASSERT_EQ(1u, from_memory.TemplateCount());
    EXPECT_EQ(7, from_memory.Template(0)->Size());
    EXPECT_EQ(-1, LoadDefinitionFromMemory(from_memory, nullptr, 0));
}

}  // namespace
