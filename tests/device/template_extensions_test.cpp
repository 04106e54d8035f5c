#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "device/definition_reader.h"
#include "device/druv_device.h"
#include "device/template_extensions.h"
#include "test_support.h"
#include "tests/support/test_paths.h"

namespace {

size_t FieldCount() {
    size_t count = 0;
    ExtensionFields(count);
    return count;
}

// Every field set to a value of its own, different from its default.
TemplateExtensions EveryFieldSet() {
    TemplateExtensions x;
    size_t count = 0;
    const ExtensionField* fields = ExtensionFields(count);
    for (size_t i = 0; i < count; ++i) {
        if (fields[i].number)
            x.*fields[i].number = static_cast<int32_t>(i % 4 + 2);  // 2..5: valid for every normaliser
        else
            x.*fields[i].bytes = ByteString{0xF0, 0x40, static_cast<uint8_t>(i), 0xF7};
    }
    return x;
}

std::string Saved(DRUVDevice& device, const ScratchFolder& folder, const std::string& name) {
    device.SetFilePath(folder.File(name).c_str());
    EXPECT_EQ(1, device.SaveDefinition());
    return ReadWholeFile(folder.File(name));
}

TEST(TemplateExtensions, EveryFieldTravelsThroughTheFileAndAFileWithOneSaysItsVersion) {
    ScratchFolder folder;
    MessageRecorder boxes;
    DRUVDevice device;
    DRUVTemplate* bank = device.AddTemplate("Bank");
    bank->SetSize(100);
    bank->SetCSumType(kChecksumNybbleSumLowHigh);
    bank->SetExtensions(EveryFieldSet());
    device.AddTemplate("Plain")->SetSize(10);
    const std::string file = Saved(device, folder, "extended.druv");
    EXPECT_NE(std::string::npos, file.find("<FormatVersion>2</FormatVersion>")) << file;

    DRUVDevice read;
    read.SetFilePath(folder.File("extended.druv").c_str());
    ASSERT_EQ(0, read.LoadDefinition());
    ASSERT_EQ(2u, read.TemplateCount());
    EXPECT_EQ(2, read.FormatVersion());
    EXPECT_TRUE(read.Template(0)->Extensions() == EveryFieldSet());
    EXPECT_EQ(kChecksumNybbleSumLowHigh, read.Template(0)->CSumType());
    EXPECT_TRUE(read.Template(1)->Extensions() == TemplateExtensions{}) << "fields belong to their own template";
    size_t count = 0;
    const ExtensionField* fields = ExtensionFields(count);
    for (size_t i = 0; i < count; ++i)
        EXPECT_NE(std::string::npos, file.find(std::string("<") + fields[i].name + ">")) << fields[i].name;
    EXPECT_EQ(file, Saved(read, folder, "again.druv")) << "a second save gives the same bytes";
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(TemplateExtensions, ATemplateWithoutThemIsWrittenAsBefore) {
    ScratchFolder folder;
    DRUVDevice device;
    device.AddTemplate("Bulk")->SetSize(256);
    const std::string file = Saved(device, folder, "plain.druv");
    EXPECT_EQ(std::string::npos, file.find("FormatVersion")) << file;
    for (const char* name : {"RequestCSum", "CSumFromEnd", "Address", "OuterLoop", "UnknownLength", "EndAfter", "Ack"})
        EXPECT_EQ(std::string::npos, file.find(name)) << name << " in\n" << file;
    EXPECT_EQ(24u, FieldCount()) << "a new field needs its row in the tests of the reader and the writer";
}

TEST(TemplateExtensions, EachFieldAloneMarksTheFileAndReadsBack) {
    size_t count = 0;
    const ExtensionField* fields = ExtensionFields(count);
    for (size_t i = 0; i < count; ++i) {
        const TemplateExtensions every = EveryFieldSet();
        TemplateExtensions one;
        if (fields[i].number)
            one.*fields[i].number = every.*fields[i].number;
        else
            one.*fields[i].bytes = every.*fields[i].bytes;
        DRUVDevice device;
        DRUVTemplate* t = device.AddTemplate("T");
        t->SetExtensions(one);
        EXPECT_TRUE(UsesExtensions(one)) << fields[i].name;
        EXPECT_TRUE(device.NeedsLaterFormat()) << fields[i].name;
    }
}

struct VersionCase {
    const char* what;
    const char* versionElement;
    int result;
    int version;
    int boxes;
};

TEST(TemplateExtensions, TheReaderRefusesAVersionNewerThanItKnows) {
    const VersionCase cases[] = {
        {"no version", "", 0, 1, 0},
        {"version 1", "<FormatVersion>1</FormatVersion>", 0, 1, 0},
        {"version 2", "<FormatVersion>2</FormatVersion>", 0, 2, 0},
        {"version 0 counts as 1", "<formatversion>0</formatversion>", 0, 1, 0},
        {"version 3", "<FormatVersion>3</FormatVersion>", -1, 2, 1},
        {"a huge version", "<FormatVersion>99999999999</FormatVersion>", -1, 2, 1},
    };
    ScratchFolder folder;
    for (const VersionCase& c : cases) {
        MessageRecorder boxes;
        DRUVDevice device;
        device.SetFilePath(
            folder
                .Write("v.druv", std::string("<DRUVDevice>") + c.versionElement +
                                     "<Company>Velmora</Company><Template>Bank<Size>10</Size></Template></DRUVDevice>")
                .c_str());
        EXPECT_EQ(c.result, device.LoadDefinition()) << c.what;
        EXPECT_EQ(c.version, device.FormatVersion()) << c.what;
        ASSERT_EQ(static_cast<size_t>(c.boxes), boxes.boxes.size()) << c.what;
        if (c.result == 0) {
            EXPECT_EQ(1u, device.TemplateCount()) << c.what;
            continue;
        }
        EXPECT_EQ(0u, device.TemplateCount()) << c.what << ": nothing of a refused file is kept";
        EXPECT_EQ("", device.Company()) << c.what;
        EXPECT_NE(std::string::npos, boxes.boxes[0].text.find("format version")) << boxes.boxes[0].text;
        EXPECT_NE(std::string::npos, boxes.boxes[0].text.find("up to 2")) << boxes.boxes[0].text;
        EXPECT_EQ(MessageIcon::Error, boxes.boxes[0].icon);
    }
}

// A checksum type above 3 meant no checksum in the first format. Such a file
// keeps that meaning and is saved back without a version that would change it.
TEST(TemplateExtensions, ALaterChecksumTypeInAnOldFileStaysWithoutMeaning) {
    ScratchFolder folder;
    MessageRecorder boxes;  // a box must never wait for a person under Wine
    const std::string old =
        "<DRUVDevice><Template>Bank<Size>10</Size><CSumType>5</CSumType></Template></DRUVDevice>";
    DRUVDevice device;
    device.SetFilePath(folder.Write("old.druv", old).c_str());
    ASSERT_EQ(0, device.LoadDefinition());
    EXPECT_EQ(1, device.FormatVersion());
    EXPECT_EQ(5, device.Template(0)->CSumType()) << "kept as read";
    EXPECT_EQ(kChecksumNone, ChecksumTypeInForce(device.Template(0)->CSumType(), device.FormatVersion()));
    EXPECT_FALSE(device.NeedsLaterFormat());
    EXPECT_EQ(std::string::npos, Saved(device, folder, "saved.druv").find("FormatVersion"));

    DRUVDevice fresh;  // made here: the later kinds are in force and saved with their version
    fresh.AddTemplate("Bank")->SetCSumType(kChecksumSumPlusConstant);
    fresh.Template(0)->SetSize(10);
    EXPECT_TRUE(fresh.NeedsLaterFormat());
    EXPECT_NE(std::string::npos, Saved(fresh, folder, "fresh.druv").find("<FormatVersion>2</FormatVersion>"));

    struct Kind {
        uint8_t type;
        int32_t version;
        uint8_t inForce;
    };
    for (const Kind& k : {Kind{3, 1, 3}, Kind{4, 1, 0}, Kind{4, 2, 4}, Kind{6, 2, 6}, Kind{7, 2, 0}, Kind{0, 2, 0}})
        EXPECT_EQ(k.inForce, ChecksumTypeInForce(k.type, k.version)) << int{k.type} << " in version " << k.version;
}

TEST(TemplateExtensions, ReadValuesAreNormalisedWhereTheFieldAsksForIt) {
    const std::string file =
        "<DRUVDevice><FormatVersion>2</FormatVersion><Template>T<RequestCSumType>257</RequestCSumType>"
        "<OuterLoopValFormat>9</OuterLoopValFormat><OUTERLOOPCOUNT>4</OUTERLOOPCOUNT>"
        "<AckPattern>f0 40 ff 40</AckPattern><AddressBytesX>3</AddressBytesX></Template></DRUVDevice>";
    DRUVDevice device;
    ASSERT_EQ(0, LoadDefinitionFromMemory(device, reinterpret_cast<const uint8_t*>(file.data()), file.size()));
    const TemplateExtensions& x = device.Template(0)->Extensions();
    EXPECT_EQ(1, x.requestCSumType) << "low 8 bits, as CSumType";
    EXPECT_EQ(kOuter7Bit, x.outerLoopValFormat) << "an unknown format becomes the first";
    EXPECT_EQ(4, x.outerLoopCount) << "names in any case";
    EXPECT_EQ((ByteString{0xF0, 0x40, 0xFF, 0x40}), x.ackPattern);
    EXPECT_EQ(0, x.addressBytes) << "only whole names";
}

// Every definition that ships in the first format saves to exactly the bytes
// of its file: the extensions add nothing to a definition that does not use
// them. Those written for the later format must at least save stably.
TEST(TemplateExtensions, ShippedDefinitionsSaveToTheBytesOfTheirFiles) {
    ScratchFolder folder;
    std::vector<std::filesystem::path> files;
    for (const std::string& dir : {druvtest::ExamplesDir(), druvtest::InstrumentsDir()})
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            if (entry.path().extension() == ".druv") files.push_back(entry.path());
    ASSERT_GE(files.size(), 35u);
    for (const auto& path : files) {
        DRUVDevice device;
        device.SetFilePath(path.string().c_str());
        ASSERT_EQ(0, device.LoadDefinition()) << path;
        const bool later = device.NeedsLaterFormat();
        const std::string saved = Saved(device, folder, "first.druv");
        if (!later) {
            EXPECT_EQ(1, device.FormatVersion()) << path;
            EXPECT_TRUE(saved == ReadWholeFile(path.string())) << path << " saves to other bytes:\n" << saved;
            continue;
        }
        DRUVDevice again;
        again.SetFilePath(folder.File("first.druv").c_str());
        ASSERT_EQ(0, again.LoadDefinition()) << path;
        EXPECT_EQ(saved, Saved(again, folder, "second.druv")) << path;
    }
}

}  // namespace
