#include <cstdio>
#include <string>

#include "device/byte_string.h"
#include "device/text_fields.h"
#include "tests/builder/builder_test_support.h"

namespace {

enum class Box { Text, Number, Bytes, Check, DropDown };

struct TemplateField {
    ControlId control;
    Box box;
    std::string (*field)(const DRUVTemplate&);
};

std::string N(int32_t value) { return DecimalText(value); }

const TemplateField kTemplateFields[] = {
    {ids::kSize, Box::Number, [](const DRUVTemplate& t) { return N(t.Size()); }},
    {ids::kCSumType, Box::DropDown, [](const DRUVTemplate& t) { return N(t.CSumType()); }},
    {ids::kCSumStart, Box::Number, [](const DRUVTemplate& t) { return N(t.CSumStart()); }},
    {ids::kCSumLength, Box::Number, [](const DRUVTemplate& t) { return N(t.CSumLength()); }},
    {ids::kCSumOfs, Box::Number, [](const DRUVTemplate& t) { return N(t.CSumOfs()); }},
    {ids::kNumLoops, Box::Number, [](const DRUVTemplate& t) { return N(t.NumLoops()); }},
    {ids::kLoopStart, Box::Number, [](const DRUVTemplate& t) { return N(t.LoopStart()); }},
    {ids::kLoopIncDec, Box::Number, [](const DRUVTemplate& t) { return N(t.LoopIncDec()); }},
    {ids::kLoopValFormat, Box::DropDown, [](const DRUVTemplate& t) { return N(t.LoopValFormat()); }},
    {ids::kLoopRecvSize, Box::Number, [](const DRUVTemplate& t) { return N(t.LoopRecvSize()); }},
    {ids::kDelayBetweenSysX, Box::Number, [](const DRUVTemplate& t) { return N(t.DelayBetweenSysX()); }},
    {ids::kDelayEveryNthByte, Box::Number, [](const DRUVTemplate& t) { return N(t.DelayEveryNthByte()); }},
    {ids::kDelayEveryNthByteAmount, Box::Number, [](const DRUVTemplate& t) { return N(t.DelayEveryNthByteAmount()); }},
    {ids::kUseMidiChannel, Box::Check, [](const DRUVTemplate& t) { return N(t.UseMidiChannel()); }},
    {ids::kFixedLength, Box::Check, [](const DRUVTemplate& t) { return N(t.FixedLength()); }},
    {ids::kMultiSysX, Box::Check, [](const DRUVTemplate& t) { return N(t.MultiSysX()); }},
    {ids::kTimeOut, Box::Check, [](const DRUVTemplate& t) { return N(t.TimeOut()); }},
    {ids::kVerify, Box::Check, [](const DRUVTemplate& t) { return N(t.Verify()); }},
    {ids::kStoreTerminator, Box::Check, [](const DRUVTemplate& t) { return N(t.StoreTerminator()); }},
    {ids::kPreRequest, Box::Bytes, [](const DRUVTemplate& t) { return BytesToHexText(t.PreRequest()); }},
    {ids::kRequest, Box::Bytes, [](const DRUVTemplate& t) { return BytesToHexText(t.Request()); }},
    {ids::kPostRequest, Box::Bytes, [](const DRUVTemplate& t) { return BytesToHexText(t.PostRequest()); }},
    {ids::kPreTransmit, Box::Bytes, [](const DRUVTemplate& t) { return BytesToHexText(t.PreTransmit()); }},
    {ids::kTransmit, Box::Bytes, [](const DRUVTemplate& t) { return BytesToHexText(t.Transmit()); }},
    {ids::kPostTransmit, Box::Bytes, [](const DRUVTemplate& t) { return BytesToHexText(t.PostTransmit()); }},
    {ids::kTerminator, Box::Bytes, [](const DRUVTemplate& t) { return BytesToHexText(t.Terminator()); }},
};

// A value for field i of template j that no other field of that template
// holds, so that two boxes bound to each other's fields show up. Checks take
// the bits of i + 1, so every two checks differ in one of three templates.
std::string Value(const TemplateField& f, int i, int j) {
    char bytes[16];
    switch (f.box) {
        case Box::Check: return N(((i + 1) >> j) & 1);
        case Box::DropDown: return N(1 + (i + j) % 3);
        case Box::Bytes: std::snprintf(bytes, sizeof bytes, "F0 %02X %02X F7 ", i, j); return bytes;
        default: return N(1000 + 100 * j + i);
    }
}

void Enter(FakeBuilderView& view, ControlId control, Box box, const std::string& value) {
    if (box == Box::Check) view.SetChecked(control, value == "1");
    else if (box == Box::DropDown) view.SetDropDownSelection(control, std::stoi(value));
    else view.Type(control, value);
}

std::string Shown(const FakeBuilderView& view, ControlId control, Box box) {
    if (box == Box::Check) return view.IsChecked(control) ? "1" : "0";
    if (box == Box::DropDown) return N(view.DropDownSelection(control));
    return view.Text(control);
}

struct DeviceField {
    ControlId control;
    Box box;
    const char* value;
    std::string (*field)(const DRUVDevice&);
};

const DeviceField kDeviceFields[] = {
    {ids::kCompany, Box::Text, "Company 1", [](const DRUVDevice& d) { return d.Company(); }},
    {ids::kProduct, Box::Text, "Product 2", [](const DRUVDevice& d) { return d.Product(); }},
    {ids::kAuthor, Box::Text, "Author 3", [](const DRUVDevice& d) { return d.Author(); }},
    {ids::kVersion, Box::Text, "4.4", [](const DRUVDevice& d) { return d.Version(); }},
    {ids::kHelpFile, Box::Text, "help5.pdf", [](const DRUVDevice& d) { return d.HelpFile(); }},
    {ids::kActivePngFile, Box::Text, "on6.png", [](const DRUVDevice& d) { return d.ActivePNGFile(); }},
    {ids::kInactivePngFile, Box::Text, "off7.png", [](const DRUVDevice& d) { return d.InactivePNGFile(); }},
    {ids::kSysXChanOfs, Box::Number, "8", [](const DRUVDevice& d) { return N(d.SysXChanOfs()); }},
    {ids::kSysXChanMin, Box::Number, "9", [](const DRUVDevice& d) { return N(d.SysXChanMin()); }},
    {ids::kSysXChanMax, Box::Number, "10", [](const DRUVDevice& d) { return N(d.SysXChanMax()); }},
    {ids::kSysXChanDefault, Box::Number, "11", [](const DRUVDevice& d) { return N(d.SysXChanDefault()); }},
    {ids::kSysXDisplayOfs, Box::Number, "-12", [](const DRUVDevice& d) { return N(d.SysXDisplayOfs()); }},
    {ids::kMidiChannel, Box::Check, "1", [](const DRUVDevice& d) { return N(d.MidiChannel()); }},
    {ids::kDeviceType, Box::DropDown, "2", [](const DRUVDevice& d) { return N(d.DeviceType()); }},
};

class FieldBindingTest : public BuilderTest {};

TEST_F(FieldBindingTest, EveryFieldTravelsFromItsBoxThroughTheFileBackToItsBox) {
    const int kTemplates = 3;
    AddTemplates({"T0", "T1", "T2"});
    for (const DeviceField& f : kDeviceFields) Enter(view, f.control, f.box, f.value);
    for (int j = 0; j < kTemplates; ++j) {
        Select(ids::kTemplates, j);
        int i = 0;
        for (const TemplateField& f : kTemplateFields) Enter(view, f.control, f.box, Value(f, i++, j));
    }
    const std::string path = folder.File("all.druv");
    ASSERT_TRUE(SaveAs(path));

    DRUVDevice saved;
    ReadDefinition(path, saved);
    for (const DeviceField& f : kDeviceFields) EXPECT_EQ(f.value, f.field(saved)) << "box " << f.control;
    for (int j = 0; j < kTemplates; ++j) {
        int i = 0;
        for (const TemplateField& f : kTemplateFields)
            EXPECT_EQ(Value(f, i++, j), f.field(*saved.Template(j))) << "box " << f.control << ", template " << j;
    }

    FakeBuilderView shownView;
    TemplateBuilder shown(shownView);
    shown.Start();
    choices.push_back(path);
    ASSERT_TRUE(shown.Document().Open());
    for (const DeviceField& f : kDeviceFields) EXPECT_EQ(f.value, Shown(shownView, f.control, f.box));
    for (int j = 0; j < kTemplates; ++j) {
        shownView.SetCurrentSelection(ids::kTemplates, j);
        shown.SelectionChanged(ids::kTemplates);
        int i = 0;
        for (const TemplateField& f : kTemplateFields)
            EXPECT_EQ(Value(f, i++, j), Shown(shownView, f.control, f.box)) << "box " << f.control;
    }
}

TEST_F(FieldBindingTest, BoxTextIsConvertedWhenStored) {
    const struct {
        ControlId control;
        const char* typed;
        const char* stored;
        std::string (*field)(const DRUVTemplate&);
    } cases[] = {
        {ids::kSize, "abc", "0", kTemplateFields[0].field},
        {ids::kSize, " 12abc", "12", kTemplateFields[0].field},
        {ids::kNumLoops, "0", "1", kTemplateFields[5].field},
        {ids::kNumLoops, "", "1", kTemplateFields[5].field},
        {ids::kPreRequest, "f0,7d;10 f7", "F0 7D 10 F7 ", kTemplateFields[19].field},
        {ids::kRequest, "0x7F", "00 7F ", kTemplateFields[20].field},
    };
    AddTemplates({"Edited", "Other"});
    for (const auto& c : cases) {
        Select(ids::kTemplates, 0);
        Type(c.control, c.typed);
        Select(ids::kTemplates, 1);
        EXPECT_EQ(c.stored, c.field(*device().Template(0))) << "typed \"" << c.typed << "\"";
        Select(ids::kTemplates, 0);
        EXPECT_EQ(c.stored, view.Text(c.control));
    }
}

TEST_F(FieldBindingTest, FlagsStoreAsOneAndAChecksumTypeTheListLacksIsKept) {
    const std::string path = folder.Write("flags.druv",
        "<DRUVDevice><Template>T<Size>1</Size><CSumType>7</CSumType><UseMidiChannel>2</UseMidiChannel>"
        "<TimeOut>255</TimeOut><Verify>-1</Verify></Template><Template>U<Size>1</Size></Template></DRUVDevice>");
    ASSERT_TRUE(Open(path));
    Select(ids::kTemplates, 0);
    EXPECT_EQ(-1, view.DropDownSelection(ids::kCSumType));
    EXPECT_TRUE(view.IsChecked(ids::kUseMidiChannel) && view.IsChecked(ids::kTimeOut) && view.IsChecked(ids::kVerify));
    ASSERT_TRUE(builder.Document().Save());
    DRUVDevice saved;
    ReadDefinition(path, saved);
    const DRUVTemplate& t = *saved.Template(0);
    EXPECT_EQ(7, t.CSumType());
    EXPECT_EQ(1, t.UseMidiChannel());
    EXPECT_EQ(1, t.TimeOut());
    EXPECT_EQ(1, t.Verify());
}

TEST_F(FieldBindingTest, OneLineBoxesTakeAndStore255Characters) {
    const ControlId limited[] = {ids::kCompany, ids::kProduct, ids::kAuthor, ids::kVersion, ids::kHelpFile,
                                 ids::kActivePngFile, ids::kInactivePngFile, ids::kSysXChanMin, ids::kSysXChanMax,
                                 ids::kSysXChanOfs, ids::kSysXDisplayOfs, ids::kSysXChanDefault,
                                 ids::kConfigurationName, ids::kTemplateName, ids::kSize, ids::kDelayBetweenSysX,
                                 ids::kDelayEveryNthByte, ids::kDelayEveryNthByteAmount, ids::kLoopRecvSize,
                                 ids::kNumLoops, ids::kLoopStart, ids::kLoopIncDec, ids::kCSumStart,
                                 ids::kCSumLength, ids::kCSumOfs};
    for (ControlId box : limited) EXPECT_EQ(255u, view.TextLimit(box)) << "box " << box;
    for (ControlId box : {ids::kPreRequest, ids::kRequest, ids::kTerminator})
        EXPECT_EQ(0u, view.TextLimit(box)) << "byte box " << box;

    const std::string typed(300, 'x');
    AddTemplates({typed});
    AddConfigurations({typed});
    Type(ids::kCompany, typed);
    const std::string path = folder.File("long.druv");
    ASSERT_TRUE(SaveAs(path));
    DRUVDevice saved;
    ReadDefinition(path, saved);
    const std::string kept(255, 'x');
    EXPECT_EQ(kept, saved.Company());
    EXPECT_EQ(kept, saved.Template(0)->Name());
    EXPECT_EQ(kept, saved.Configuration(0)->Name());
}

}  // namespace
