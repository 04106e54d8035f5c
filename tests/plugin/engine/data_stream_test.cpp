// The store's persisted form: exact bytes written, the three outcomes of a
// read, and reads of damaged or hostile streams.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "plugin/engine/data_stream.h"
#include "plugin/engine/druv_data.h"
#include "tests/plugin/fakes/memory_stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

void AddItem(DRUVData& data, const char* name, uint32_t capacity, const Bytes& stored = {}) {
    auto item = std::make_unique<DumpItem>(name);
    if (capacity > 0) {
        EXPECT_TRUE(item->Allocate(capacity));
    }
    if (!stored.empty()) {
        std::memcpy(item->Data(), stored.data(), stored.size());
        item->Length = static_cast<int32_t>(stored.size());
    }
    data.Items.push_back(std::move(item));
}

Bytes ItemBytes(const DumpItem& item) {
    return Bytes(item.Data(), item.Data() + item.Length.load());
}

void AppendNumber(Bytes& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}
void AppendText(Bytes& bytes, const std::string& text) {
    bytes.push_back(static_cast<uint8_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
}

// A header as the plug-in writes it, announcing `chunks`.
Bytes Header(uint32_t chunks, uint8_t format = 1, uint8_t revision = 0) {
    Bytes bytes{'D', 'R', 'U', 'V'};
    AppendNumber(bytes, 47);
    bytes.push_back(format);
    bytes.push_back(revision);
    AppendText(bytes, "");
    AppendText(bytes, "");
    AppendText(bytes, "");
    bytes.insert(bytes.end(), 32, 0);  // port identities
    bytes.push_back(4);                // DeviceId
    bytes.push_back(2);                // Channel
    AppendNumber(bytes, chunks);
    AppendNumber(bytes, 25);  // ItemDelay
    return bytes;
}

Bytes Chunk(const std::string& name, const Bytes& stored, uint32_t announced) {
    Bytes bytes{'T', 'M', 'P', 'T'};
    AppendNumber(bytes, static_cast<uint32_t>(5 + name.size() + stored.size()));
    AppendText(bytes, name);
    AppendNumber(bytes, announced);
    bytes.insert(bytes.end(), stored.begin(), stored.end());
    return bytes;
}
Bytes Chunk(const std::string& name, const Bytes& stored) {
    return Chunk(name, stored, static_cast<uint32_t>(stored.size()));
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The worked example: texts of 4, 2 and 3 characters, one 5-character item holding 3 bytes.
void FillWorkedExample(DRUVData& data) {
    data.Company = "Acme";
    data.Product = "X1";
    data.Version = "2.0";
    data.DeviceId = 5;
    data.Channel = 3;
    data.ItemDelay = 40;
    data.InPortId.Data1 = 0x01020304;
    data.OutPortId.Data4[7] = 0x99;
    AddItem(data, "Patch", 20, {0xF0, 0x01, 0xFF});
}

TEST(DataStream, EmptyStoreWritesBareHeader) {
    DRUVData data;
    MemoryStream stream;
    ASSERT_TRUE(WriteDataStore(data, stream));
    const Bytes& bytes = stream.Bytes();
    ASSERT_EQ(bytes.size(), 55u);
    EXPECT_EQ(DataStoreStreamSize(data), 55u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), (Bytes{'D', 'R', 'U', 'V', 0, 0, 0, 47}));
    EXPECT_EQ(bytes[8], 1);
    EXPECT_EQ(bytes[9], 0);
}

TEST(DataStream, WorkedExampleBytes) {
    DRUVData data;
    FillWorkedExample(data);
    MemoryStream stream;
    ASSERT_TRUE(WriteDataStore(data, stream));
    const Bytes& bytes = stream.Bytes();
    ASSERT_EQ(bytes.size(), 85u);
    EXPECT_EQ(DataStoreStreamSize(data), 85u);

    Bytes header{'D', 'R', 'U', 'V', 0, 0, 0, 56, 1, 0, 4, 'A', 'c', 'm', 'e', 2, 'X', '1', 3, '2', '.', '0'};
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 22), header);
    Bytes inId(reinterpret_cast<const uint8_t*>(&data.InPortId), reinterpret_cast<const uint8_t*>(&data.InPortId) + 16);
    EXPECT_EQ(Bytes(bytes.begin() + 22, bytes.begin() + 38), inId) << "identities are written as held";
    EXPECT_EQ(bytes[53], 0x99);
    EXPECT_EQ(Bytes(bytes.begin() + 54, bytes.begin() + 64), (Bytes{5, 3, 0, 0, 0, 1, 0, 0, 0, 40}));
    Bytes chunk{'T', 'M', 'P', 'T', 0, 0, 0, 13, 5, 'P', 'a', 't', 'c', 'h', 0, 0, 0, 3, 0xF0, 0x01, 0xFF};
    EXPECT_EQ(Bytes(bytes.begin() + 64, bytes.end()), chunk);
}

TEST(DataStream, WorkedExampleReadsBack) {
    DRUVData written;
    FillWorkedExample(written);
    MemoryStream stream;
    ASSERT_TRUE(WriteDataStore(written, stream));

    DRUVData data;
    AddItem(data, "Patch", 10);
    MemoryStream in(stream.Bytes());
    ASSERT_EQ(ReadDataStore(data, in), StoreReadResult::Complete);
    EXPECT_EQ(data.Company, "Acme");
    EXPECT_EQ(data.Product, "X1");
    EXPECT_EQ(data.Version, "2.0");
    EXPECT_EQ(data.DeviceId.load(), 5);
    EXPECT_EQ(data.Channel.load(), 3);
    EXPECT_EQ(data.ItemDelay.load(), 40);
    EXPECT_EQ(data.StoredItemCount, 1);
    EXPECT_EQ(data.Items[0]->Length.load(), 3);
    EXPECT_EQ(data.Items[0]->Capacity(), 10u) << "data that fits stays in the item's buffer";
    EXPECT_EQ(ItemBytes(*data.Items[0]), (Bytes{0xF0, 0x01, 0xFF}));
    EXPECT_EQ(in.ReadPosition(), 85u);
}

TEST(DataStream, IdentitiesSurviveWhileHostListsNoPorts) {
    DRUVData written;
    FillWorkedExample(written);
    MemoryStream stream;
    ASSERT_TRUE(WriteDataStore(written, stream));

    DRUVData data;
    data.InPort = 9;
    MemoryStream in(stream.Bytes());
    ASSERT_EQ(ReadDataStore(data, in), StoreReadResult::Complete);
    EXPECT_EQ(data.InPortId, written.InPortId);
    EXPECT_EQ(data.OutPortId, written.OutPortId);
    EXPECT_EQ(data.InPort.load(), 0u) << "no host list: no handle";
}

TEST(DataStream, PortsResolvedWhileReading) {
    DRUVData written;
    FillWorkedExample(written);
    MemoryStream stream;
    ASSERT_TRUE(WriteDataStore(written, stream));

    DRUVData data;
    MPPortEntry inputs[2] = {{11, {}, nullptr}, {12, written.InPortId, nullptr}};
    MPPortEntry outputs[1] = {{21, {}, nullptr}};
    data.InPorts = {2, inputs};
    data.OutPorts = {1, outputs};
    MemoryStream in(stream.Bytes());
    ASSERT_EQ(ReadDataStore(data, in), StoreReadResult::Complete);
    EXPECT_EQ(data.InPort.load(), 12u);
    EXPECT_EQ(data.OutPort.load(), 0u) << "the stored output port is not listed";
    EXPECT_EQ(data.OutPortId, MPPortId{}) << "an unlisted port is forgotten";
}

TEST(DataStream, RefusedHeaders) {
    const Bytes good = Header(0);
    Bytes wrongId = good;
    wrongId[3] = 'W';
    const struct {
        Bytes stream;
        const char* what;
    } cases[] = {
        {Header(0, 1, 1), "revision 1"},
        {Header(0, 2, 0), "format 2"},
        {Header(0, 0, 0), "format 0"},
        {wrongId, "identifier"},
        {Bytes(good.begin(), good.end() - 1), "one byte short"},
        {{}, "empty stream"},
    };
    {
        DRUVData data;
        MemoryStream in(good);
        EXPECT_EQ(ReadDataStore(data, in), StoreReadResult::Complete) << "the unaltered header";
    }
    for (const auto& c : cases) {
        DRUVData data;
        AddItem(data, "Patch", 8, {1, 2});
        MemoryStream in(c.stream);
        EXPECT_EQ(ReadDataStore(data, in), StoreReadResult::Failed) << c.what;
        EXPECT_EQ(data.Items[0]->Length.load(), 2) << c.what;
    }
}

TEST(DataStream, FewerChunksThanAnnouncedStopsWithSuccess) {
    DRUVData data;
    AddItem(data, "A", 8);
    AddItem(data, "B", 8);
    AddItem(data, "C", 8, {7});
    MemoryStream in(Header(3) + Chunk("B", {2, 2}) + Chunk("A", {1}));
    EXPECT_EQ(ReadDataStore(data, in), StoreReadResult::Stopped);
    EXPECT_EQ(data.StoredItemCount, 3);
    EXPECT_EQ(ItemBytes(*data.Items[0]), Bytes{1});
    EXPECT_EQ(ItemBytes(*data.Items[1]), (Bytes{2, 2}));
    EXPECT_EQ(ItemBytes(*data.Items[2]), Bytes{7}) << "an item without a chunk keeps its content";
    EXPECT_EQ(data.DeviceId.load(), 4);
}

TEST(DataStream, ForeignIdentifierStops) {
    DRUVData data;
    AddItem(data, "A", 8);
    Bytes foreign = Chunk("A", {9});
    foreign[0] = 'X';
    MemoryStream in(Header(2) + Chunk("A", {1}) + foreign);
    EXPECT_EQ(ReadDataStore(data, in), StoreReadResult::Stopped);
    EXPECT_EQ(ItemBytes(*data.Items[0]), Bytes{1});
}

TEST(DataStream, NamesMatchExactly) {
    DRUVData data;
    AddItem(data, "Patch", 8, {5});
    MemoryStream in(Header(1) + Chunk("patch", {1, 2}));
    EXPECT_EQ(ReadDataStore(data, in), StoreReadResult::Complete);
    EXPECT_EQ(ItemBytes(*data.Items[0]), Bytes{5});
}

TEST(DataStream, UnknownChunkIsSkipped) {
    DRUVData data;
    AddItem(data, "A", 8);
    AddItem(data, "B", 8);
    MemoryStream in(Header(3) + Chunk("A", {1}) + Chunk("Gone", Bytes(5000, 0xAB)) + Chunk("B", {2}));
    EXPECT_EQ(ReadDataStore(data, in), StoreReadResult::Complete);
    EXPECT_EQ(ItemBytes(*data.Items[0]), Bytes{1});
    EXPECT_EQ(ItemBytes(*data.Items[1]), Bytes{2});
}

TEST(DataStream, UnknownChunkRunningShortStops) {
    DRUVData data;
    AddItem(data, "A", 8);
    MemoryStream in(Header(2) + Chunk("Gone", {1, 2}, 100) + Chunk("A", {1}));
    EXPECT_EQ(ReadDataStore(data, in), StoreReadResult::Stopped);
    EXPECT_EQ(data.Items[0]->Length.load(), 0);
}

TEST(DataStream, ChunkLongerThanItemReplacesBuffer) {
    DRUVData data;
    AddItem(data, "A", 4, {1});
    Bytes stored(300, 0x11);
    MemoryStream in(Header(1) + Chunk("A", stored));
    EXPECT_EQ(ReadDataStore(data, in), StoreReadResult::Complete);
    EXPECT_EQ(data.Items[0]->Capacity(), 300u);
    EXPECT_EQ(ItemBytes(*data.Items[0]), stored);
    EXPECT_FALSE(data.Items[0]->HasData()) << "Length is not below Capacity";
}

TEST(DataStream, ChunkFillsItemWithoutBuffer) {
    DRUVData data;
    AddItem(data, "A", 0);
    MemoryStream in(Header(1) + Chunk("A", {1, 2, 3}));
    EXPECT_EQ(ReadDataStore(data, in), StoreReadResult::Complete);
    EXPECT_EQ(data.Items[0]->Capacity(), 3u);
    EXPECT_EQ(ItemBytes(*data.Items[0]), (Bytes{1, 2, 3}));
}

TEST(DataStream, EmptyChunkEmptiesItem) {
    DRUVData data;
    AddItem(data, "A", 8, {1, 2});
    MemoryStream in(Header(1) + Chunk("A", {}));
    EXPECT_EQ(ReadDataStore(data, in), StoreReadResult::Complete);
    EXPECT_EQ(data.Items[0]->Length.load(), 0);
    EXPECT_EQ(data.Items[0]->Capacity(), 8u);
}

TEST(DataStream, HugeAnnouncedLengthIsRefusedAndStoreStaysUsable) {
    for (uint32_t announced : {0xFFFFFFFFu, 0x80000000u, kMaxDumpCapacity + 1}) {
        DRUVData data;
        AddItem(data, "A", 8, {1, 2});
        MemoryStream in(Header(1) + Chunk("A", {9, 9, 9}, announced));
        EXPECT_EQ(ReadDataStore(data, in), StoreReadResult::Failed) << announced;
        EXPECT_EQ(data.Items[0]->Capacity(), 8u) << announced;
        EXPECT_EQ(ItemBytes(*data.Items[0]), (Bytes{1, 2})) << announced;

        MemoryStream again;
        EXPECT_TRUE(WriteDataStore(data, again));
        EXPECT_EQ(again.Bytes().size(), DataStoreStreamSize(data));
    }
}

TEST(DataStream, AnnouncedLengthBeyondStreamFailsWithoutTouchingItem) {
    // Within the limit but far beyond what the stream holds: memory follows
    // the bytes that arrive, and the item keeps what it had.
    DRUVData data;
    AddItem(data, "A", 8, {1, 2});
    MemoryStream in(Header(1) + Chunk("A", Bytes(100000, 3), kMaxDumpCapacity));
    EXPECT_EQ(ReadDataStore(data, in), StoreReadResult::Failed);
    EXPECT_EQ(data.Items[0]->Capacity(), 8u);
    EXPECT_EQ(ItemBytes(*data.Items[0]), (Bytes{1, 2}));
}

TEST(DataStream, TextsAreCutAtTheirLengthByteAndZero) {
    DRUVData data;
    data.Company = std::string(300, 'c');
    data.Product = std::string("ab\0cd", 5);
    AddItem(data, std::string(255, 'n').c_str(), 4, {1});
    MemoryStream stream;
    ASSERT_TRUE(WriteDataStore(data, stream));
    EXPECT_EQ(stream.Bytes().size(), DataStoreStreamSize(data));
    EXPECT_EQ(stream.Bytes()[10], 255);

    DRUVData read;
    AddItem(read, std::string(255, 'n').c_str(), 4);
    MemoryStream in(stream.Bytes());
    ASSERT_EQ(ReadDataStore(read, in), StoreReadResult::Complete);
    EXPECT_EQ(read.Company, std::string(255, 'c'));
    EXPECT_EQ(read.Product, "ab");
    EXPECT_EQ(read.Items[0]->Length.load(), 1);
}

// A store with several items, one without a buffer, one empty.
void FillRoundTripStore(DRUVData& data) {
    data.Company = "Maker";
    data.Product = "Desk";
    data.Version = "1.0";
    AddItem(data, "Scene", 16, {0xF0, 1, 2, 0xF7, 0xFF});
    AddItem(data, "Empty", 4);
    AddItem(data, "Lost", 0);
    AddItem(data, "Channel", 8, {0xB0, 7, 100, 0xFF});
}

TEST(DataStream, WriteStopsAtFirstFailingWrite) {
    DRUVData data;
    FillRoundTripStore(data);
    const size_t size = static_cast<size_t>(DataStoreStreamSize(data));
    for (size_t offset = 0; offset < size; ++offset) {
        FaultyStream stream({}, offset, FaultyStream::Fault::Fail);
        EXPECT_FALSE(WriteDataStore(data, stream)) << "fault at " << offset;
        EXPECT_LE(stream.Written().size(), offset);
    }
    FaultyStream whole({}, size, FaultyStream::Fault::Fail);
    EXPECT_TRUE(WriteDataStore(data, whole));
    EXPECT_EQ(whole.Written().size(), size);
}

// The outcome a read must give when the stream breaks at `offset` of a
// stream laid out like FillRoundTripStore's: header faults fail, a fault in
// the data of a known item fails, a fault anywhere else between chunks stops.
TEST(DataStream, ReadBreakingAtEveryOffset) {
    DRUVData written;
    FillRoundTripStore(written);
    MemoryStream stream;
    ASSERT_TRUE(WriteDataStore(written, stream));
    const Bytes bytes = stream.Bytes();
    const size_t header = 55 + 5 + 4 + 3;

    // Where each chunk's data begins and ends.
    struct Span {
        size_t dataStart, dataEnd, lengthStart;
    };
    std::vector<Span> spans;
    size_t position = header;
    for (const auto& item : written.Items) {
        size_t name = item->Name().size();
        size_t stored = static_cast<size_t>(item->Length.load());
        spans.push_back({position + 9 + name + 4, position + 9 + name + 4 + stored, position + 9 + name});
        position += 13 + name + stored;
    }
    ASSERT_EQ(position, bytes.size());

    for (auto fault : {FaultyStream::Fault::Fail, FaultyStream::Fault::Short}) {
        for (size_t offset = 0; offset < bytes.size(); ++offset) {
            DRUVData data;
            FillRoundTripStore(data);
            FaultyStream in(bytes, offset, fault);
            StoreReadResult expected = StoreReadResult::Stopped;
            if (offset < header) expected = StoreReadResult::Failed;
            for (const Span& span : spans) {
                if (offset >= span.lengthStart && offset < span.dataEnd) expected = StoreReadResult::Failed;
            }
            StoreReadResult result = ReadDataStore(data, in);
            EXPECT_EQ(static_cast<int>(result), static_cast<int>(expected))
                << "fault " << (fault == FaultyStream::Fault::Fail ? "fail" : "short") << " at " << offset;
            for (size_t i = 0; i < data.Items.size(); ++i) {
                const DumpItem& item = *data.Items[i];
                EXPECT_LE(static_cast<uint32_t>(item.Length.load()), item.Capacity()) << "item " << i;
                EXPECT_EQ(ItemBytes(item), ItemBytes(*written.Items[i]))
                    << "item " << i << " holds its old or its complete new data, fault at " << offset;
            }
        }
    }
}

}  // namespace
