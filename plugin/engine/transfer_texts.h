// Texts that both transfer directions show through the host's progress sink.
#pragma once

#include <cstdint>

class TransferProgress;

extern const char kNoOutPortText[];
extern const char kNoInPortText[];

// A transfer that finds no usable port shows `text`, then reports 10 of 10
// bytes under an empty name.
void ReportPortError(TransferProgress& progress, uint32_t& total, const char* text);
