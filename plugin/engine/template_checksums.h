// The checksum rules a template gives: the dump's own, which replayed and
// received dumps follow, and the one of the messages sent from the
// template's byte strings (its requests and transmit strings).
#pragma once

#include <cstdint>

#include "plugin/engine/checksum.h"

class DRUVTemplate;

// CSumType (as the definition's format reads it) with CSumStart, CSumLength,
// CSumOfs, CSumFromEnd and CSumConstant.
ChecksumRule DumpChecksumRule(const DRUVTemplate& dumpTemplate, int32_t formatVersion);

// The request rule when RequestCSumType is set, else the dump's rule.
ChecksumRule SentChecksumRule(const DRUVTemplate& dumpTemplate, int32_t formatVersion);
