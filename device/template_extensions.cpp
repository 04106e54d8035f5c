#include "device/template_extensions.h"

#include "device/text_fields.h"

namespace {

int32_t LowByte(int32_t value) { return value & 0xFF; }

int32_t OuterFormat(int32_t value) { return value < 0 || value > kLastOuterLoopFormat ? kOuter7Bit : value; }

using X = TemplateExtensions;

const ExtensionField kFields[] = {
    {"RequestCSumType", &X::requestCSumType, nullptr, LowByte},
    {"RequestCSumStart", &X::requestCSumStart, nullptr, nullptr},
    {"RequestCSumLength", &X::requestCSumLength, nullptr, nullptr},
    {"RequestCSumOfs", &X::requestCSumOfs, nullptr, nullptr},
    {"RequestCSumFromEnd", &X::requestCSumFromEnd, nullptr, nullptr},
    {"RequestCSumConstant", &X::requestCSumConstant, nullptr, nullptr},
    {"CSumFromEnd", &X::csumFromEnd, nullptr, nullptr},
    {"CSumConstant", &X::csumConstant, nullptr, nullptr},
    {"CSumVerify", &X::csumVerify, nullptr, nullptr},
    {"AddressOfs", &X::addressOfs, nullptr, nullptr},
    {"AddressBytes", &X::addressBytes, nullptr, nullptr},
    {"AddressStart", &X::addressStart, nullptr, nullptr},
    {"AddressIncDec", &X::addressIncDec, nullptr, nullptr},
    {"OuterLoopCount", &X::outerLoopCount, nullptr, nullptr},
    {"OuterLoopStart", &X::outerLoopStart, nullptr, nullptr},
    {"OuterLoopIncDec", &X::outerLoopIncDec, nullptr, nullptr},
    {"OuterLoopOfs", &X::outerLoopOfs, nullptr, nullptr},
    {"OuterLoopValFormat", &X::outerLoopValFormat, nullptr, OuterFormat},
    {"UnknownLength", &X::unknownLength, nullptr, nullptr},
    {"EndAfterMessages", &X::endAfterMessages, nullptr, nullptr},
    {"EndAfterQuiet", &X::endAfterQuiet, nullptr, nullptr},
    {"AckPattern", nullptr, &X::ackPattern, nullptr},
    {"AckErrorPattern", nullptr, &X::ackErrorPattern, nullptr},
    {"AckTimeOut", &X::ackTimeOut, nullptr, nullptr},
};

const TemplateExtensions kDefaults{};

}  // namespace

bool TemplateExtensions::operator==(const TemplateExtensions& other) const {
    for (const ExtensionField& field : kFields) {
        if (field.number && this->*field.number != other.*field.number) return false;
        if (field.bytes && this->*field.bytes != other.*field.bytes) return false;
    }
    return true;
}

const ExtensionField* ExtensionFields(size_t& count) {
    count = sizeof kFields / sizeof kFields[0];
    return kFields;
}

bool IsSet(const ExtensionField& field, const TemplateExtensions& extensions) {
    if (field.number) return extensions.*field.number != kDefaults.*field.number;
    return field.bytes && extensions.*field.bytes != kDefaults.*field.bytes;
}

bool UsesExtensions(const TemplateExtensions& extensions) {
    for (const ExtensionField& field : kFields)
        if (IsSet(field, extensions)) return true;
    return false;
}

void StoreExtensionField(const ExtensionField& field, TemplateExtensions& extensions, const char* text) {
    if (field.bytes) {
        HexTextToBytes(text, extensions.*field.bytes);
        return;
    }
    const int32_t value = DecimalTextToInt(text);
    extensions.*field.number = field.normalise ? field.normalise(value) : value;
}
