#include "builder/definition_format.h"

void MoveToLaterFormat(DRUVDevice& device) {
    const int32_t from = device.FormatVersion();
    if (from >= kDefinitionFormatVersion) return;
    for (size_t i = 0; i < device.TemplateCount(); ++i) {
        DRUVTemplate& record = *device.Template(i);
        const uint8_t type = record.CSumType();
        if (ChecksumTypeInForce(type, from) != ChecksumTypeInForce(type, kDefinitionFormatVersion))
            record.SetCSumType(kChecksumNone);
    }
    device.SetFormatVersion(kDefinitionFormatVersion);
}
