#include "builder/advanced_fields.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>

#include "builder/builder_messages.h"
#include "builder/drop_down_entries.h"
#include "builder/field_bindings.h"
#include "device/byte_string.h"
#include "device/text_fields.h"

namespace {

namespace ids = advanced_controls;

constexpr const char kRequestChecksum[] = "Request Checksum";
constexpr const char kDumpChecksum[] = "Dump Checksum";
constexpr const char kLoopAddress[] = "Loop Address";
constexpr const char kOuterLoop[] = "Outer Loop";
constexpr const char kReplies[] = "Replies";
constexpr const char kAcknowledgement[] = "Transmit Acknowledgement";

AdvancedField Number(const char* element, ControlId control, const char* group, const char* label,
                     NumberRule rule = NumberRule::NotNegative) {
    return {element, control, AdvancedBox::Number, group, label, rule, nullptr, 0};
}

AdvancedField Check(const char* element, ControlId control, const char* group, const char* label) {
    return {element, control, AdvancedBox::Check, group, label, NumberRule::Any, nullptr, 0};
}

template <size_t Entries>
AdvancedField DropDown(const char* element, ControlId control, const char* group, const char* label,
                       const char* const (&entries)[Entries]) {
    return {element, control, AdvancedBox::DropDown, group, label, NumberRule::Any, entries, static_cast<int>(Entries)};
}

AdvancedField Bytes(const char* element, ControlId control, const char* group, const char* label) {
    return {element, control, AdvancedBox::Bytes, group, label, NumberRule::Any, nullptr, 0};
}

const AdvancedField kFields[] = {
    DropDown("RequestCSumType", ids::kRequestCSumType, kRequestChecksum, "Type", kChecksumTypeEntries),
    Number("RequestCSumStart", ids::kRequestCSumStart, kRequestChecksum, "Start"),
    Number("RequestCSumLength", ids::kRequestCSumLength, kRequestChecksum, "# of Bytes"),
    Number("RequestCSumOfs", ids::kRequestCSumOfs, kRequestChecksum, "Storage Ofs"),
    Number("RequestCSumFromEnd", ids::kRequestCSumFromEnd, kRequestChecksum, "From End", NumberRule::FromEnd),
    Number("RequestCSumConstant", ids::kRequestCSumConstant, kRequestChecksum, "Constant", NumberRule::Any),
    Number("CSumFromEnd", ids::kCSumFromEnd, kDumpChecksum, "From End", NumberRule::FromEnd),
    Number("CSumConstant", ids::kCSumConstant, kDumpChecksum, "Constant", NumberRule::Any),
    Check("CSumVerify", ids::kCSumVerify, kDumpChecksum, "Check on Receive"),
    Check("UnknownLength", ids::kUnknownLength, kReplies, "Unknown Length"),
    Number("EndAfterMessages", ids::kEndAfterMessages, kReplies, "End after Msgs"),
    Number("EndAfterQuiet", ids::kEndAfterQuiet, kReplies, "Quiet Gap (ms)"),
    Number("AddressOfs", ids::kAddressOfs, kLoopAddress, "Position"),
    Number("AddressBytes", ids::kAddressBytes, kLoopAddress, "Bytes", NumberRule::AddressBytes),
    Number("AddressStart", ids::kAddressStart, kLoopAddress, "Start", NumberRule::Any),
    Number("AddressIncDec", ids::kAddressIncDec, kLoopAddress, "Inc/Dec", NumberRule::Any),
    Number("OuterLoopCount", ids::kOuterLoopCount, kOuterLoop, "# Loops"),
    Number("OuterLoopStart", ids::kOuterLoopStart, kOuterLoop, "Start Val", NumberRule::Any),
    Number("OuterLoopIncDec", ids::kOuterLoopIncDec, kOuterLoop, "Inc/Dec", NumberRule::Any),
    Number("OuterLoopOfs", ids::kOuterLoopOfs, kOuterLoop, "Position"),
    DropDown("OuterLoopValFormat", ids::kOuterLoopValFormat, kOuterLoop, "Format", kOuterLoopFormatEntries),
    Bytes("AckPattern", ids::kAckPattern, kAcknowledgement, "Acknowledge"),
    Bytes("AckErrorPattern", ids::kAckErrorPattern, kAcknowledgement, "Error"),
    Number("AckTimeOut", ids::kAckTimeOut, kAcknowledgement, "Time-out (ms)", NumberRule::AckTimeOut),
};

// The pattern with each "%s" replaced by the next of `values`.
std::string FillIn(const char* pattern, std::initializer_list<std::string> values) {
    std::string text;
    auto value = values.begin();
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 's' && value != values.end()) {
            text += *value++;
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trimmed(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// A whole decimal number of 32 bits, blanks around it allowed; an empty box is 0.
bool ParseWholeNumber(const std::string& text, int32_t& value) {
    const std::string number = Trimmed(text);
    if (number.empty()) {
        value = 0;
        return true;
    }
    size_t digits = number[0] == '-' || number[0] == '+' ? 1 : 0;
    if (digits == number.size()) return false;
    for (size_t i = digits; i < number.size(); ++i)
        if (number[i] < '0' || number[i] > '9') return false;
    errno = 0;
    const long long parsed = std::strtoll(number.c_str(), nullptr, 10);
    if (errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<int32_t>(parsed);
    return true;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The first word of the text that is not one byte of one or two hexadecimal
// digits, or empty when every word is one.
std::string FirstNonByte(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        size_t end = i;
        while (end < text.size() && !IsBlank(text[end])) ++end;
        if (end == i) break;
        bool byte = end - i <= 2;
        for (size_t k = i; k < end && byte; ++k) byte = IsHexDigit(text[k]);
        if (!byte) return text.substr(i, end - i);
        i = end;
    }
    return std::string();
}

AdvancedRefusal Refuse(const AdvancedField& box, const char* pattern, const std::string& detail = std::string()) {
    return {box.control, FillIn(pattern, {box.label, box.group, detail})};
}

// Why the number in the box cannot be taken, if it cannot.
AdvancedRefusal JudgeNumber(const AdvancedField& box, const std::string& text, int32_t& value) {
    if (!ParseWholeNumber(text, value)) return Refuse(box, kNotAWholeNumberMessage, Trimmed(text));
    switch (box.rule) {
        case NumberRule::Any: break;
        case NumberRule::NotNegative:
        case NumberRule::AckTimeOut:
            if (value < 0) return Refuse(box, kNegativeNumberMessage);
            break;
        case NumberRule::AddressBytes:
            if (value < 0 || value > kMaxAddressBytes)
                return Refuse(box, kAddressBytesMessage, DecimalText(kMaxAddressBytes));
            break;
        case NumberRule::FromEnd:
            if (value < 0) return Refuse(box, kNegativeNumberMessage);
            if (value == 1) return Refuse(box, kFromEndMessage);
            break;
    }
    return {};
}

int32_t ShownValue(const AdvancedField& box, int32_t value) {
    return box.box == AdvancedBox::Check ? (value != 0 ? 1 : 0) : value;
}

const AdvancedField* BoxOf(const ExtensionField& field) {
    for (const AdvancedField& box : kFields)
        if (std::strcmp(box.element, field.name) == 0) return &box;
    return nullptr;
}

}  // namespace

const AdvancedField* AdvancedFields(size_t& count) {
    count = std::size(kFields);
    return kFields;
}

const ExtensionField* ExtensionOf(const AdvancedField& box) {
    size_t count = 0;
    const ExtensionField* fields = ExtensionFields(count);
    for (size_t i = 0; i < count; ++i)
        if (std::strcmp(fields[i].name, box.element) == 0) return &fields[i];
    return nullptr;
}

void LimitAdvancedBoxes(BuilderView& view) {
    for (const AdvancedField& box : kFields)
        if (box.box == AdvancedBox::Number || box.box == AdvancedBox::Bytes)
            view.SetTextLimit(box.control, kBoxTextLimit);
}

void ShowAdvancedFields(const TemplateExtensions& extensions, BuilderView& view) {
    for (const AdvancedField& box : kFields) {
        const ExtensionField* field = ExtensionOf(box);
        if (field == nullptr) continue;
        if (box.box == AdvancedBox::Bytes) {
            view.SetText(box.control, BytesToHexText(extensions.*field->bytes));
            continue;
        }
        const int32_t value = extensions.*field->number;
        switch (box.box) {
            case AdvancedBox::Number: view.SetText(box.control, DecimalText(value)); break;
            case AdvancedBox::Check: view.SetChecked(box.control, value != 0); break;
            case AdvancedBox::DropDown:
                view.SetDropDownSelection(box.control, value >= 0 && value < box.entryCount ? value : -1);
                break;
            case AdvancedBox::Bytes: break;
        }
    }
}

AdvancedRefusal ReadAdvancedFields(const BuilderView& view, TemplateExtensions& extensions) {
    TemplateExtensions read = extensions;
    for (const AdvancedField& box : kFields) {
        const ExtensionField* field = ExtensionOf(box);
        if (field == nullptr) continue;
        switch (box.box) {
            case AdvancedBox::Number: {
                int32_t value = 0;
                AdvancedRefusal refusal = JudgeNumber(box, view.Text(box.control), value);
                if (refusal.control != 0) return refusal;
                read.*field->number = value;
                break;
            }
            case AdvancedBox::Check: read.*field->number = view.IsChecked(box.control) ? 1 : 0; break;
            case AdvancedBox::DropDown: {
                // No entry chosen means a value the list cannot show; it is kept.
                const int selected = view.DropDownSelection(box.control);
                if (selected >= 0) read.*field->number = selected;
                break;
            }
            case AdvancedBox::Bytes: {
                const std::string text = view.Text(box.control);
                const std::string wrong = FirstNonByte(text);
                if (!wrong.empty()) return Refuse(box, kPatternMessage, wrong);
                HexTextToBytes(text.c_str(), read.*field->bytes);
                break;
            }
        }
    }
    // A pattern without a time-out would never be waited for.
    if (!read.ackPattern.empty() || !read.ackErrorPattern.empty()) {
        for (const AdvancedField& box : kFields)
            if (box.rule == NumberRule::AckTimeOut && read.*ExtensionOf(box)->number <= 0)
                return Refuse(box, kAckTimeOutMessage);
    }
    extensions = read;
    return {};
}

std::string ExtensionsText(const TemplateExtensions& extensions) {
    std::string text;
    size_t count = 0;
    const ExtensionField* fields = ExtensionFields(count);
    for (size_t i = 0; i < count; ++i) {
        const ExtensionField& field = fields[i];
        if (field.bytes) {
            AppendFieldText(text, BytesToHexText(extensions.*field.bytes));
            continue;
        }
        const AdvancedField* box = BoxOf(field);
        const int32_t value = extensions.*field.number;
        AppendFieldText(text, DecimalText(box ? ShownValue(*box, value) : value));
    }
    return text;
}
