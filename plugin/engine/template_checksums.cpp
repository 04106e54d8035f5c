#include "plugin/engine/template_checksums.h"

#include "device/druv_template.h"

ChecksumRule DumpChecksumRule(const DRUVTemplate& dumpTemplate, int32_t formatVersion) {
    const TemplateExtensions& x = dumpTemplate.Extensions();
    return ChecksumRule{ChecksumTypeInForce(dumpTemplate.CSumType(), formatVersion),
                        dumpTemplate.CSumStart(),
                        dumpTemplate.CSumLength(),
                        dumpTemplate.CSumOfs(),
                        x.csumFromEnd,
                        x.csumConstant};
}

ChecksumRule SentChecksumRule(const DRUVTemplate& dumpTemplate, int32_t formatVersion) {
    const TemplateExtensions& x = dumpTemplate.Extensions();
    if (x.requestCSumType == 0) return DumpChecksumRule(dumpTemplate, formatVersion);
    // The field keeps 8 bits, as CSumType does.
    return ChecksumRule{ChecksumTypeInForce(static_cast<uint8_t>(x.requestCSumType), formatVersion),
                        x.requestCSumStart,
                        x.requestCSumLength,
                        x.requestCSumOfs,
                        x.requestCSumFromEnd,
                        x.requestCSumConstant};
}
