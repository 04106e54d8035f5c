// The host object as tests use it: a log of every claim and release of a
// port, and switches that make it fail its port lists or withhold one of
// its interfaces, as other hosts may.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "druvhost/host/host_object.h"

namespace druvhosttest {

struct ClaimRecord {
    int32_t claim;  // 1 claimed, 0 released
    MPPortId port;
    uint32_t reserved1;
    GUID ownerClass;
    IUnknown* owner;
    uint32_t reserved2;
};

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class TestHostObject : public druvhost::HostObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE GetPorts(uint32_t direction, MPPortList* ports) override;
    HRESULT STDMETHODCALLTYPE ClaimPort(int32_t claim, const MPPortId& port, uint32_t reserved1, REFCLSID ownerClass,
                                        IUnknown* owner, uint32_t reserved2) override;

    void SetGetPortsFails(bool fails) { get_ports_fails_ = fails; }
    void OfferPortDirectory(bool offer) { offer_directory_ = offer; }
    void OfferPortBroker(bool offer) { offer_broker_ = offer; }
    void OfferConnectionPoints(bool offer) { offer_container_ = offer; }

    std::vector<ClaimRecord> Claims() const;
    void ClearClaims();
    // Claims minus releases of one port identity.
    int ClaimBalance(const MPPortId& port) const;

private:
    mutable std::mutex mutex_;
    std::vector<ClaimRecord> claims_;
    bool get_ports_fails_ = false;
    bool offer_directory_ = true;
    bool offer_broker_ = true;
    bool offer_container_ = true;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace druvhosttest
