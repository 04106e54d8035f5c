#include "device/druv_template.h"

#include "device/text_fields.h"

DRUVTemplate::DRUVTemplate(const char* name) : name_(CapText(name)) {}

void DRUVTemplate::SetName(const char* name) { name_ = CapText(name); }

uint8_t ChecksumTypeInForce(uint8_t type, int32_t formatVersion) {
    if (type <= kLastFirstFormatChecksumType) return type;
    if (formatVersion >= 2 && type <= kLastChecksumType) return type;
    return kChecksumNone;
}

bool DRUVTemplate::NeedsLaterFormat() const {
    const auto later = [](int32_t type) { return type > kLastFirstFormatChecksumType && type <= kLastChecksumType; };
    return UsesExtensions(extensions_) || later(csum_type_) || later(extensions_.requestCSumType);
}
