// The loops of one item, as receive, transmit and the detection probe step
// through them: the template's loop, run once or, with an outer loop, once
// per outer value. The position lives in the transfer state: the inner loop
// value (F1/F2), the outer value and the loop's index among all the item's
// loops (which the address counts).
#pragma once

#include <cstdint>

class DRUVTemplate;
struct TransferState;

// The template's own loop: NumLoops, 1 for a stored 0, none for a negative count.
int32_t InnerLoopCount(const DRUVTemplate& dumpTemplate);

// Whether the template runs its loop inside an outer loop.
bool HasOuterLoop(const DRUVTemplate& dumpTemplate);

// Every loop of an item: the inner count, times OuterLoopCount with an outer
// loop. Counts beyond what a buffer could ever hold stop at INT32_MAX.
int32_t ItemLoopCount(const DRUVTemplate& dumpTemplate);

// The first loop: LoopStart, OuterLoopStart, index 0.
void StartItemLoops(TransferState& state, const DRUVTemplate& dumpTemplate);

// After a loop: the inner value steps by LoopIncDec and the index by one;
// when an inner run is complete under an outer loop, the inner value starts
// again at LoopStart and the outer value steps by OuterLoopIncDec.
void StepItemLoop(TransferState& state, const DRUVTemplate& dumpTemplate);
