#include "tests/support/test_host_object.h"

#include <cstring>

namespace druvhosttest {

HRESULT TestHostObject::QueryInterface(REFIID iid, void** object) {
    const bool withheld = (!offer_directory_ && IsEqualGUID(iid, IID_IMPPortDirectory)) ||
                          (!offer_broker_ && IsEqualGUID(iid, IID_IMPPortBroker)) ||
                          (!offer_container_ && IsEqualGUID(iid, IID_IConnectionPointContainer));
    if (withheld && object != nullptr) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    return HostObject::QueryInterface(iid, object);
}

HRESULT TestHostObject::GetPorts(uint32_t direction, MPPortList* ports) {
    if (get_ports_fails_ && ports != nullptr) return E_FAIL;
    return HostObject::GetPorts(direction, ports);
}

HRESULT TestHostObject::ClaimPort(int32_t claim, const MPPortId& port, uint32_t reserved1, REFCLSID ownerClass,
                                  IUnknown* owner, uint32_t reserved2) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        claims_.push_back(ClaimRecord{claim, port, reserved1, ownerClass, owner, reserved2});
    }
    return HostObject::ClaimPort(claim, port, reserved1, ownerClass, owner, reserved2);
}

std::vector<ClaimRecord> TestHostObject::Claims() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return claims_;
}

void TestHostObject::ClearClaims() {
    std::lock_guard<std::mutex> lock(mutex_);
    claims_.clear();
}

int TestHostObject::ClaimBalance(const MPPortId& port) const {
    std::lock_guard<std::mutex> lock(mutex_);
    int balance = 0;
    for (const ClaimRecord& record : claims_) {
        if (std::memcmp(&record.port, &port, sizeof(MPPortId)) == 0) balance += record.claim ? 1 : -1;
    }
    return balance;
}

}  // namespace druvhosttest
