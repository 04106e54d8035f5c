// A template: one kind of dump, with the messages that request and wrap it,
// its checksum rule, its request loop and its pacing.
#pragma once

#include <cstdint>
#include <iterator>
#include <string>
#include <utility>

#include "device/byte_string.h"
#include "device/template_extensions.h"
#include "device/text_fields.h"

// How the current loop value is written into F1 and F2 placeholders.
enum LoopValueFormat : int32_t {
    kLoop14BitLowHigh = 0,
    kLoop14BitHighLow = 1,
    kLoopNybbleLowHigh = 2,
    kLoopNybbleHighLow = 3,
};

// Checksum kinds; other values store no checksum. The last three came with
// FormatVersion 2: in a file without it they meant no checksum, and still do
// (ChecksumTypeInForce).
enum ChecksumType : uint8_t {
    kChecksumNone = 0,
    kChecksumTwosComplement = 1,
    kChecksumSum = 2,
    kChecksumOnesComplement = 3,
    kChecksumSumPlusConstant = 4,   // (sum + constant) AND 7F
    kChecksumNybbleSumLowHigh = 5,  // sum of the bytes that nybble pairs (low first) encode, AND 7F
    kChecksumNybbleSumHighLow = 6,  // the same with the high nybble first
};
constexpr uint8_t kLastFirstFormatChecksumType = kChecksumOnesComplement;
constexpr uint8_t kLastChecksumType = kChecksumNybbleSumHighLow;

// The kinds' names, by value, as every program shows them.
inline constexpr const char* kChecksumTypeNames[] = {"None",           "2s Complement",  "Sum",
                                                     "1s Complement",  "Sum + Constant", "Nybble Sum L/H",
                                                     "Nybble Sum H/L"};
static_assert(std::size(kChecksumTypeNames) == kLastChecksumType + 1, "one name per checksum kind");

// The kind a checksum type stands for in a definition of `formatVersion`:
// the type itself, or kChecksumNone where that version does not know it.
uint8_t ChecksumTypeInForce(uint8_t type, int32_t formatVersion);

class DRUVTemplate {
public:
    // A template with the given name (cut to 255 bytes) and the defaults.
    explicit DRUVTemplate(const char* name);

    const std::string& Name() const { return name_; }
    void SetName(const char* name);

    int32_t Size() const { return size_; }
    uint8_t CSumType() const { return csum_type_; }
    int32_t CSumStart() const { return csum_start_; }
    int32_t CSumLength() const { return csum_length_; }
    int32_t CSumOfs() const { return csum_ofs_; }
    int32_t NumLoops() const { return num_loops_; }
    int32_t LoopStart() const { return loop_start_; }
    int32_t LoopIncDec() const { return loop_inc_dec_; }
    int32_t LoopRecvSize() const { return loop_recv_size_; }
    int32_t LoopValFormat() const { return loop_val_format_; }
    int32_t DelayBetweenSysX() const { return delay_between_sysx_; }
    int32_t DelayEveryNthByte() const { return delay_every_nth_byte_; }
    int32_t DelayEveryNthByteAmount() const { return delay_every_nth_byte_amount_; }
    int32_t UseMidiChannel() const { return use_midi_channel_; }
    int32_t FixedLength() const { return fixed_length_; }
    int32_t MultiSysX() const { return multi_sysx_; }
    int32_t Verify() const { return verify_; }
    uint8_t TimeOut() const { return time_out_; }
    uint8_t StoreTerminator() const { return store_terminator_; }

    const ByteString& PreRequest() const { return pre_request_; }
    const ByteString& Request() const { return request_; }
    const ByteString& PostRequest() const { return post_request_; }
    const ByteString& PreTransmit() const { return pre_transmit_; }
    const ByteString& Transmit() const { return transmit_; }
    const ByteString& PostTransmit() const { return post_transmit_; }
    const ByteString& Terminator() const { return terminator_; }

    // The parts beyond the first format; all off by default.
    const TemplateExtensions& Extensions() const { return extensions_; }
    void SetExtensions(TemplateExtensions extensions) { extensions_ = std::move(extensions); }
    // Whether the template needs FormatVersion 2: an extension, or one of the
    // later checksum kinds for either rule.
    bool NeedsLaterFormat() const;

    // Numbers from decimal text (DecimalTextToInt) or as values. NumLoops
    // stores 0 as 1; LoopValFormat stores anything outside 0 to 3 as 0;
    // CSumType, TimeOut and StoreTerminator keep the low 8 bits.
    void SetSize(const char* text) { SetSize(DecimalTextToInt(text)); }
    void SetSize(int32_t value) { size_ = value; }
    void SetCSumType(int32_t value) { csum_type_ = static_cast<uint8_t>(value); }
    void SetCSumStart(const char* text) { SetCSumStart(DecimalTextToInt(text)); }
    void SetCSumStart(int32_t value) { csum_start_ = value; }
    void SetCSumLength(const char* text) { SetCSumLength(DecimalTextToInt(text)); }
    void SetCSumLength(int32_t value) { csum_length_ = value; }
    void SetCSumOfs(const char* text) { SetCSumOfs(DecimalTextToInt(text)); }
    void SetCSumOfs(int32_t value) { csum_ofs_ = value; }
    void SetNumLoops(const char* text) { SetNumLoops(DecimalTextToInt(text)); }
    void SetNumLoops(int32_t value) { num_loops_ = value == 0 ? 1 : value; }
    void SetLoopStart(const char* text) { SetLoopStart(DecimalTextToInt(text)); }
    void SetLoopStart(int32_t value) { loop_start_ = value; }
    void SetLoopIncDec(const char* text) { SetLoopIncDec(DecimalTextToInt(text)); }
    void SetLoopIncDec(int32_t value) { loop_inc_dec_ = value; }
    void SetLoopRecvSize(const char* text) { SetLoopRecvSize(DecimalTextToInt(text)); }
    void SetLoopRecvSize(int32_t value) { loop_recv_size_ = value; }
    void SetLoopValFormat(const char* text) { SetLoopValFormat(DecimalTextToInt(text)); }
    void SetLoopValFormat(int32_t value) { loop_val_format_ = (value < 0 || value > 3) ? 0 : value; }
    void SetDelayBetweenSysX(const char* text) { SetDelayBetweenSysX(DecimalTextToInt(text)); }
    void SetDelayBetweenSysX(int32_t value) { delay_between_sysx_ = value; }
    void SetDelayEveryNthByte(const char* text) { SetDelayEveryNthByte(DecimalTextToInt(text)); }
    void SetDelayEveryNthByte(int32_t value) { delay_every_nth_byte_ = value; }
    void SetDelayEveryNthByteAmount(const char* text) { SetDelayEveryNthByteAmount(DecimalTextToInt(text)); }
    void SetDelayEveryNthByteAmount(int32_t value) { delay_every_nth_byte_amount_ = value; }
    void SetUseMidiChannel(const char* text) { SetUseMidiChannel(DecimalTextToInt(text)); }
    void SetUseMidiChannel(int32_t value) { use_midi_channel_ = value; }
    void SetFixedLength(const char* text) { SetFixedLength(DecimalTextToInt(text)); }
    void SetFixedLength(int32_t value) { fixed_length_ = value; }
    void SetMultiSysX(const char* text) { SetMultiSysX(DecimalTextToInt(text)); }
    void SetMultiSysX(int32_t value) { multi_sysx_ = value; }
    void SetVerify(const char* text) { SetVerify(DecimalTextToInt(text)); }
    void SetVerify(int32_t value) { verify_ = value; }
    void SetTimeOut(const char* text) { SetTimeOut(DecimalTextToInt(text)); }
    void SetTimeOut(int32_t value) { time_out_ = static_cast<uint8_t>(value); }
    void SetStoreTerminator(const char* text) { SetStoreTerminator(DecimalTextToInt(text)); }
    void SetStoreTerminator(int32_t value) { store_terminator_ = static_cast<uint8_t>(value); }

    // Byte strings from their text form (HexTextToBytes) or as bytes.
    void SetPreRequest(const char* hex_text) { HexTextToBytes(hex_text, pre_request_); }
    void SetPreRequest(ByteString bytes) { pre_request_ = std::move(bytes); }
    void SetRequest(const char* hex_text) { HexTextToBytes(hex_text, request_); }
    void SetRequest(ByteString bytes) { request_ = std::move(bytes); }
    void SetPostRequest(const char* hex_text) { HexTextToBytes(hex_text, post_request_); }
    void SetPostRequest(ByteString bytes) { post_request_ = std::move(bytes); }
    void SetPreTransmit(const char* hex_text) { HexTextToBytes(hex_text, pre_transmit_); }
    void SetPreTransmit(ByteString bytes) { pre_transmit_ = std::move(bytes); }
    void SetTransmit(const char* hex_text) { HexTextToBytes(hex_text, transmit_); }
    void SetTransmit(ByteString bytes) { transmit_ = std::move(bytes); }
    void SetPostTransmit(const char* hex_text) { HexTextToBytes(hex_text, post_transmit_); }
    void SetPostTransmit(ByteString bytes) { post_transmit_ = std::move(bytes); }
    void SetTerminator(const char* hex_text) { HexTextToBytes(hex_text, terminator_); }
    void SetTerminator(ByteString bytes) { terminator_ = std::move(bytes); }

private:
    static int32_t DecimalTextToValue(const char* text);

    std::string name_;
    int32_t size_ = 0;
    uint8_t csum_type_ = kChecksumNone;
    int32_t csum_start_ = 0;
    int32_t csum_length_ = 0;
    int32_t csum_ofs_ = 0;
    int32_t num_loops_ = 1;
    int32_t loop_start_ = 0;
    int32_t loop_inc_dec_ = 1;
    int32_t loop_recv_size_ = 0;
    int32_t loop_val_format_ = kLoop14BitLowHigh;
    int32_t delay_between_sysx_ = 50;
    int32_t delay_every_nth_byte_ = 0;
    int32_t delay_every_nth_byte_amount_ = 0;
    int32_t use_midi_channel_ = 0;
    int32_t fixed_length_ = 1;
    int32_t multi_sysx_ = 0;
    int32_t verify_ = 0;
    ByteString pre_request_;
    ByteString request_;
    ByteString post_request_;
    ByteString pre_transmit_;
    ByteString transmit_;
    ByteString post_transmit_;
    uint8_t time_out_ = 0;
    uint8_t store_terminator_ = 0;
    ByteString terminator_;
    TemplateExtensions extensions_;
};
