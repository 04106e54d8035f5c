#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "manager/host_registry_layout.h"
#include "manager/instrument_list_store.h"
#include "manager/instrument_record.h"
#include "platform/memory_registry.h"
#include "tests/device/test_support.h"
#include "tests/platform/faulty_registry_editor.h"

namespace {

const GUID kDevice = {0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
const GUID kEditor = {0xA1B2C3D4, 0xE5F6, 0x0718, {0x29, 0x3A, 0x4B, 0x5C, 0x6D, 0x7E, 0x8F, 0x90}};

std::vector<uint8_t> Record(const std::string& name) {
    return EncodeInstrumentRecord(InstrumentRecord{name, kDevice, kEditor});
}

TEST(InstrumentRecordBytes, FieldByFieldLittleEndian) {
    const std::vector<uint8_t> bytes = Record("Maker Desk");
    ASSERT_EQ(544u, bytes.size());
    std::vector<uint8_t> expected(544, 0);
    const std::string name = "Maker Desk";
    std::copy(name.begin(), name.end(), expected.begin());
    const uint8_t guids[32] = {0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD, 0x01, 0x23, 0x45,
                               0x67, 0x89, 0xAB, 0xCD, 0xEF, 0xD4, 0xC3, 0xB2, 0xA1, 0xF6, 0xE5,
                               0x18, 0x07, 0x29, 0x3A, 0x4B, 0x5C, 0x6D, 0x7E, 0x8F, 0x90};
    std::copy(guids, guids + 32, expected.begin() + 256);
    EXPECT_EQ(expected, bytes);

    InstrumentRecord back;
    ASSERT_TRUE(DecodeInstrumentRecord(bytes, back));
    EXPECT_EQ(name, back.displayName);
    EXPECT_TRUE(back.deviceGuid == kDevice);
    EXPECT_TRUE(back.editorGuid == kEditor);
}

// The device path in the bytes earlier versions left zero: as text while it
// fits the field with its zero, as a digest after that; records without one
// (earlier versions) stay without one.
TEST(InstrumentRecordBytes, TheDevicePathAsTextOrDigest) {
    std::string accented;
    for (int i = 0; i < 120; ++i) accented += "\xC3\xA9";  // é
    const std::string fits = "C:\\" + std::string(252, 'p');  // 255 bytes
    const std::string tooLong = fits + "q";
    const std::string cutCharacter = "C:\\" + accented + "\\" + std::string(14, 'p');  // 259 bytes
    const struct { std::string path; bool asText; } cases[] = {
        {"C:\\Devices\\Desk.druv", true}, {fits, true}, {tooLong, false}, {cutCharacter, false},
        {"\x01" "C:\\odd", false}};
    for (const auto& c : cases) {
        const std::vector<uint8_t> bytes =
            EncodeInstrumentRecord(InstrumentRecord{"Maker Desk", kDevice, kEditor, DevicePathMark(c.path)});
        ASSERT_EQ(544u, bytes.size());
        InstrumentRecord back;
        ASSERT_TRUE(DecodeInstrumentRecord(bytes, back));
        EXPECT_EQ(c.asText, !back.devicePath.KeptAsDigest()) << c.path.size() << " bytes";
        EXPECT_EQ(c.asText ? c.path : "", back.devicePath.Path());
        EXPECT_TRUE(back.devicePath.Matches(c.path, nullptr)) << c.path.size() << " bytes";
        EXPECT_FALSE(back.devicePath.Matches(c.path + "x", nullptr));
        EXPECT_EQ("Maker Desk", back.displayName);
        if (c.asText) {
            EXPECT_EQ(0, bytes[288 + c.path.size()]) << "ends in a zero";
            EXPECT_EQ(c.path, std::string(bytes.begin() + 288, bytes.begin() + 288 + c.path.size()));
        } else {
            EXPECT_EQ(1, bytes[288]);
            EXPECT_TRUE(std::all_of(bytes.begin() + 297, bytes.end(), [](uint8_t b) { return b == 0; }));
        }
    }
    InstrumentRecord earlier;
    ASSERT_TRUE(DecodeInstrumentRecord(Record("Maker Desk"), earlier));
    EXPECT_TRUE(earlier.devicePath.Empty());
    EXPECT_FALSE(earlier.devicePath.Matches("", nullptr));
}

// What LoadInstrumentList makes of what it finds below the list key.
TEST(StoredInstrumentList, BadValuesAreSkippedAndCountIsNotTrusted) {
    std::vector<uint8_t> unterminated = Record("");
    std::fill(unterminated.begin(), unterminated.begin() + 256, 'n');
    std::vector<uint8_t> splitCharacter = unterminated;
    splitCharacter[254] = 0xCE;  // Ω at bytes 254-255: the name's 255-byte limit cuts it
    splitCharacter[255] = 0xA9;
    std::vector<uint8_t> shortRecord = Record("Short");
    shortRecord.pop_back();
    const std::vector<uint8_t> longer = [] { auto b = Record("Longer"); b.push_back(7); return b; }();
    const struct { const char* what; uint32_t count; std::vector<std::pair<std::string, RegistryValue>> values; std::vector<std::string> names; } cases[] = {
        {"no Count", 0, {{"0", RegistryValue::Binary(Record("A"))}}, {}},
        {"Count 0", 0, {{"Count", RegistryValue::Dword(0)}, {"0", RegistryValue::Binary(Record("A"))}}, {}},
        {"Count not a number", 0, {{"Count", RegistryValue::Text("1")}, {"0", RegistryValue::Binary(Record("A"))}}, {}},
        {"missing, short and text values", 4,
         {{"0", RegistryValue::Binary(shortRecord)}, {"2", RegistryValue::Text(std::string(600, 'x'))},
          {"3", RegistryValue::Binary(longer)}, {"4", RegistryValue::Binary(Record("beyond Count"))}},
         {"Longer"}},
        {"names without terminator", 2,
         {{"0", RegistryValue::Binary(unterminated)}, {"1", RegistryValue::Binary(splitCharacter)}},
         {std::string(255, 'n'), std::string(254, 'n')}},
        {"ill-formed byte", 1, {{"0", RegistryValue::Binary(Record("A\xFF" "B"))}}, {"A\xEF\xBF\xBD" "B"}},
        {"hostile Count", 0xFFFFFFFF, {{"0", RegistryValue::Binary(Record("A"))}, {"1", RegistryValue::Binary(Record("B"))}},
         {"A", "B"}},
    };
    for (const auto& c : cases) {
        MemoryRegistry registry;
        ASSERT_TRUE(registry.CreateKey(RegistryRoot::CurrentUser, kInstrumentListKeyPath));
        if (c.count) {
            ASSERT_TRUE(registry.SetValue(RegistryRoot::CurrentUser, kInstrumentListKeyPath, "Count",
                                          RegistryValue::Dword(c.count)));
        }
        for (const auto& value : c.values)
            ASSERT_TRUE(registry.SetValue(RegistryRoot::CurrentUser, kInstrumentListKeyPath, value.first, value.second));
        InstrumentList list;
        LoadInstrumentList(registry, list);
        std::vector<std::string> names;
        for (const InstrumentItem& item : list.Items()) names.push_back(item.displayName);
        EXPECT_EQ(c.names, names) << c.what;
        EXPECT_LT(registry.Reads(), 100) << c.what;
    }
}

TEST(StoredInstrumentList, ARefusedKeyIsReportedAndNothingSaved) {
    InstrumentList list;
    list.Append(InstrumentRecord{"A", kDevice, kEditor});
    MemoryRegistry inner;
    FaultyRegistryEditor refusing(inner);
    refusing.RefuseUnder(RegistryRoot::CurrentUser, "SOFTWARE\\Tavrel");
    MessageRecorder boxes;
    EXPECT_FALSE(SaveInstrumentList(refusing, list));
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("SOFTWARE\\Tavrel\\Lindqor\\DRUV", boxes.boxes[0].text);
    EXPECT_EQ("Registry Open Error", boxes.boxes[0].caption);
    EXPECT_EQ(MessageIcon::Error, boxes.boxes[0].icon);
    EXPECT_TRUE(inner.WriteLog().empty());
}

}  // namespace
