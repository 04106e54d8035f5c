#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "device/druv_device.h"
#include "platform/message_box.h"
#include "tools/definition_summary/device_summary.h"
#include "tests/support/test_paths.h"

namespace {

bool HasWarning(const std::vector<std::string>& warnings, const std::string& part) {
    return std::any_of(warnings.begin(), warnings.end(),
                       [&](const std::string& w) { return w.find(part) != std::string::npos; });
}

std::string Joined(const std::vector<std::string>& warnings) {
    std::string text;
    for (const auto& w : warnings) text += w + "\n";
    return text;
}

TEST(DefinitionReport, ExamplesAreCleanAndSummarised) {
    for (const char* name : {"brindle-koss-sd16-mixer.druv", "velmora-aster8-synth.druv"}) {
        DRUVDevice device;
        device.SetFilePath((druvtest::ExamplesDir() + "/" + name).c_str());
        ASSERT_EQ(0, device.LoadDefinition()) << name;
        const auto warnings = DefinitionWarnings(device);
        EXPECT_TRUE(warnings.empty()) << name << ":\n" << Joined(warnings);
        std::ostringstream summary;
        WriteDefinitionSummary(device, summary);
        EXPECT_NE(std::string::npos, summary.str().find(device.Template(0)->Name() + ": ")) << summary.str();
    }
}

TEST(DefinitionReport, WarnsAboutWhatBreaksATransfer) {
    DRUVDevice device;
    device.SetSysXChanOfs(6);
    device.AddConfiguration("All")->AddRef("Missing");
    device.AddConfiguration("Empty");

    DRUVTemplate* empty = device.AddTemplate("Empty");
    empty->SetRequest("F0 7D 00 11 F7");

    DRUVTemplate* bulk = device.AddTemplate("Bulk");
    bulk->SetSize(20);
    bulk->SetRequest("F0 7D 00 11 00 00 00 F7");
    bulk->SetCSumType(1);
    bulk->SetCSumStart(5);
    bulk->SetCSumLength(15);  // runs into the F7 at 19, where it is also stored
    bulk->SetCSumOfs(19);
    bulk->SetLoopValFormat(2);

    DRUVTemplate* patches = device.AddTemplate("Patches");
    patches->SetNumLoops(64);
    patches->SetLoopRecvSize(100);
    patches->SetSize(6300);
    patches->SetRequest("F0 7D 00 10 01 02 F7");
    patches->SetCSumType(2);
    patches->SetCSumStart(5);
    patches->SetCSumLength(10);
    patches->SetCSumOfs(8);

    const auto warnings = DefinitionWarnings(device);
    const std::string all = Joined(warnings);
    EXPECT_TRUE(HasWarning(warnings, "\"All\" refers to \"Missing\"")) << all;
    EXPECT_TRUE(HasWarning(warnings, "\"Empty\" selects no template")) << all;
    EXPECT_TRUE(HasWarning(warnings, "template \"Empty\": Size is 0")) << all;
    EXPECT_TRUE(HasWarning(warnings, "template \"Empty\": the device-ID byte 6 lies outside its 5-byte request"))
        << all;
    EXPECT_TRUE(HasWarning(warnings, "template \"Bulk\": checksum covers bytes 5 to 19, outside the data of its 20"))
        << all;
    EXPECT_TRUE(HasWarning(warnings, "template \"Bulk\": checksum is stored at 19, outside")) << all;
    EXPECT_TRUE(HasWarning(warnings, "template \"Bulk\": checksum is stored at 19, inside")) << all;
    EXPECT_TRUE(HasWarning(warnings, "template \"Bulk\": LoopValFormat is set but the Request holds no F1")) << all;
    EXPECT_TRUE(HasWarning(warnings, "template \"Patches\": Size is 6300 but 64 loops of 100 bytes make 6400"))
        << all;
    EXPECT_TRUE(HasWarning(warnings, "template \"Patches\": every one of its 64 loops sends the same Request"))
        << all;
    EXPECT_TRUE(HasWarning(warnings, "template \"Patches\": checksum is stored at 8, inside the bytes it covers"))
        << all;
    EXPECT_EQ(12u, warnings.size()) << all;
}

// The plug-in sends such a template's messages without a checksum.
TEST(DefinitionReport, WarnsAboutAChecksumOverNoBytes) {
    DRUVDevice device;
    struct Case {
        const char* name;
        int type;
        int length;
    };
    const Case cases[] = {{"Zero", 1, 0}, {"Negative", 3, -4}, {"Unused", 0, 0}};
    for (const Case& c : cases) {
        DRUVTemplate* t = device.AddTemplate(c.name);
        t->SetSize(10);
        t->SetCSumType(c.type);
        t->SetCSumStart(1);
        t->SetCSumLength(c.length);
        t->SetCSumOfs(8);
    }
    const auto warnings = DefinitionWarnings(device);
    const std::string all = Joined(warnings);
    EXPECT_TRUE(HasWarning(warnings, "template \"Zero\": CSumLength is 0, so no checksum is computed or stored"))
        << all;
    EXPECT_TRUE(HasWarning(warnings, "template \"Negative\": CSumLength is -4, so no checksum")) << all;
    EXPECT_FALSE(HasWarning(warnings, "template \"Unused\": CSumLength")) << "type None needs no length\n" << all;
}

}  // namespace

// A shared definition whose help file or pictures the programs will not use,
// or whose configuration name would split the host's list, says so.
TEST(DefinitionReport, WarnsAboutNamesThePluginWillNotUse) {
    DRUVDevice device;
    device.SetHelpFile("..\\..\\x.lnk");
    device.SetActivePNGFile("setup.exe");
    device.SetInactivePNGFile("C:\\pictures\\off.png");
    device.AddConfiguration("Bank A; B")->AddRef("Bank");
    device.AddTemplate("Bank")->SetSize(10);
    const auto warnings = DefinitionWarnings(device);
    const std::string all = Joined(warnings);
    EXPECT_TRUE(HasWarning(warnings, "HelpFile \"..\\..\\x.lnk\" is not used: it leads out of the definition's"))
        << all;
    EXPECT_TRUE(HasWarning(warnings, "ActivePNGFile \"setup.exe\" is not used: only pictures are read")) << all;
    EXPECT_TRUE(HasWarning(warnings, "InactivePNGFile \"C:\\pictures\\off.png\" is not used: it names a place"))
        << all;
    EXPECT_TRUE(HasWarning(warnings, "configuration \"Bank A; B\" holds ';'")) << all;
    EXPECT_EQ(4u, warnings.size()) << all;

    device.SetHelpFile("docs\\aster.pdf");
    device.SetActivePNGFile("on.png");
    device.SetInactivePNGFile("");
    device.Configuration(0)->SetName("Bank A, B");
    EXPECT_TRUE(DefinitionWarnings(device).empty()) << Joined(DefinitionWarnings(device));
}

// The later format's parts are shown, and what the engine cannot do with them
// is said.
TEST(DefinitionReport, ShowsTheExtensionsAndWarnsAboutTheirMisuse) {
    DRUVDevice device;
    DRUVTemplate* patch = device.AddTemplate("Patch");
    patch->SetSize(448);
    patch->SetRequest("F0 41 00 14 11 02 00 00 00 03 40 00 F7");
    patch->SetCSumType(kChecksumTwosComplement);
    patch->SetCSumStart(5);
    TemplateExtensions x;
    x.csumFromEnd = 2;
    x.csumVerify = 1;
    x.requestCSumType = kChecksumTwosComplement;
    x.requestCSumStart = 5;
    x.requestCSumFromEnd = 2;
    x.addressOfs = 5;
    x.addressBytes = 3;
    x.addressStart = 0x8000;
    x.addressIncDec = 0x1C0;
    patch->SetExtensions(x);
    std::ostringstream summary;
    WriteDefinitionSummary(device, summary);
    const std::string text = summary.str();
    EXPECT_NE(std::string::npos, text.find("checksum 2s Complement from 5 to the byte before it, 2 bytes before the "
                                           "end, checked on receive"))
        << text;
    EXPECT_NE(std::string::npos, text.find("request checksum 2s Complement from 5")) << text;
    EXPECT_NE(std::string::npos, text.find("Address:  3 bytes at 5, from 32768 step 448 per loop")) << text;
    EXPECT_TRUE(DefinitionWarnings(device).empty()) << Joined(DefinitionWarnings(device));

    x.addressOfs = 11;  // runs into the F7 of the 13-byte request
    x.outerLoopCount = 2;
    patch->SetLoopRecvSize(224);  // two loops now share the 448 bytes
    x.outerLoopOfs = 20;
    x.outerLoopValFormat = kOuter14BitHighLow;
    x.ackPattern = {0xF0, 0x41, 0x00};
    x.csumVerify = 1;
    patch->SetExtensions(x);
    DRUVTemplate* plain = device.AddTemplate("Plain");
    plain->SetSize(10);
    TemplateExtensions y;
    y.addressBytes = 5;
    y.csumVerify = 1;
    plain->SetExtensions(y);
    const auto warnings = DefinitionWarnings(device);
    const std::string all = Joined(warnings);
    EXPECT_TRUE(HasWarning(warnings, "\"Patch\": the address bytes from 11 lie outside its 13-byte request")) << all;
    EXPECT_TRUE(HasWarning(warnings, "\"Patch\": the outer loop value at 20 lies outside")) << all;
    EXPECT_TRUE(HasWarning(warnings, "\"Patch\": an acknowledgement is expected but AckTimeOut is 0")) << all;
    EXPECT_TRUE(HasWarning(warnings, "\"Plain\": AddressBytes is 5")) << all;
    EXPECT_TRUE(HasWarning(warnings, "\"Plain\": CSumVerify is set but the template has no checksum")) << all;
    EXPECT_EQ(5u, warnings.size()) << all;

    device.SetFormatVersion(1);  // as read from a file without FormatVersion
    plain->SetExtensions({});
    plain->SetCSumType(kChecksumNybbleSumLowHigh);
    EXPECT_TRUE(HasWarning(DefinitionWarnings(device), "\"Plain\": checksum type 5 needs FormatVersion 2"))
        << Joined(DefinitionWarnings(device));
}

// Loop-value placeholders belong to the request they stand in.
TEST(DefinitionReport, PlaceholdersCountAsPartOfTheRequest) {
    DRUVDevice device;
    DRUVTemplate* banks = device.AddTemplate("Banks");
    banks->SetSize(800);
    banks->SetLoopRecvSize(100);
    banks->SetRequest("F0 01 2C 05 F1 F2 F7");
    banks->SetLoopValFormat(kLoop14BitHighLow);
    TemplateExtensions x;
    x.outerLoopCount = 8;
    x.outerLoopOfs = 5;
    x.addressOfs = 4;
    x.addressBytes = 2;
    banks->SetExtensions(x);
    EXPECT_TRUE(DefinitionWarnings(device).empty()) << Joined(DefinitionWarnings(device));
}

// With an outer loop the item holds every loop of every outer pass; an
// address varies the request as a placeholder does.
TEST(DefinitionReport, OuterLoopsAndAddressesCountInTheLoopChecks) {
    DRUVDevice device;
    DRUVTemplate* banks = device.AddTemplate("Banks");
    banks->SetRequest("F0 01 2C 05 00 F1 F7");
    banks->SetNumLoops(99);
    banks->SetLoopRecvSize(1178);
    banks->SetSize(8 * 99 * 1178);
    TemplateExtensions x;
    x.outerLoopCount = 8;
    x.outerLoopOfs = 4;
    banks->SetExtensions(x);
    DRUVTemplate* patches = device.AddTemplate("Patches");
    patches->SetRequest("F0 41 00 14 11 02 00 00 00 03 40 00 F7");
    patches->SetNumLoops(64);
    patches->SetLoopRecvSize(448);
    patches->SetSize(64 * 448);
    TemplateExtensions y;
    y.addressOfs = 5;
    y.addressBytes = 3;
    y.addressIncDec = 0x1C0;
    patches->SetExtensions(y);
    EXPECT_TRUE(DefinitionWarnings(device).empty()) << Joined(DefinitionWarnings(device));

    banks->SetSize(99 * 1178);  // one bank's worth
    EXPECT_TRUE(HasWarning(DefinitionWarnings(device), "Size is 116622 but 8 x 99 loops of 1178 bytes make 932976"))
        << Joined(DefinitionWarnings(device));
}
