// What every engine operation works on: the device definition (read only),
// the instance's store of settings and dumps, and the transfer state.
#pragma once

class DRUVData;
class DRUVDevice;
struct TransferState;

struct TransferContext {
    const DRUVDevice& device;
    DRUVData& data;
    TransferState& state;
};
