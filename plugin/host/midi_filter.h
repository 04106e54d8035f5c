// The object the host creates for one instance of an installed device: at
// once the device definition, the dump store and the plug-in's face towards
// the host. It receives the host's services, hands incoming MIDI to the
// transfer engine, runs requests and transmissions on the host's behalf,
// answers port notifications, persists the store with the host's project and
// names its editor page. It creates no threads and takes no locks.
#pragma once

#include <atomic>
#include <cstdint>

#include "device/druv_device.h"
#include "platform/com_base.h"
#include "plugin/engine/druv_data.h"
#include "plugin/host/editor_page_link.h"
#include "plugin/abi/host_interfaces.h"

// {5464D9CE-17FD-4E28-A451-79A27E39BBC4}
constexpr CLSID CLSID_DRUVEditorPage = {
    0x5464D9CE, 0x17FD, 0x4E28, {0xA4, 0x51, 0x79, 0xA2, 0x7E, 0x39, 0xBB, 0xC4}};

// The system's interfaces declare no destructor; this object is destroyed
// only through Release, never through an interface pointer.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class CMidiFilter final : public IMPInitialise,
                          public IPersistStream,
                          public ISpecifyPropertyPages,
                          public IMPEventFilter,
                          public IMPServices2,
                          public IMPNotificationSink,
                          public DRUVDevice,
                          public DRUVData,
                          public IMPMacOSXHelper {
public:
    // Reads the definition at `devicePath` (a file that cannot be read
    // leaves the device empty), builds the store from it and counts itself
    // among the live filters. The reference count starts at 1.
    CMidiFilter(const GUID& classId, const char* devicePath);
    CMidiFilter(const CMidiFilter&) = delete;
    CMidiFilter& operator=(const CMidiFilter&) = delete;

    // IUnknown, shared by every interface.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IMPInitialise
    HRESULT STDMETHODCALLTYPE Initialise(IUnknown* host, IMPMidiOut* midiOut, uint32_t unused1, uint32_t unused2,
                                         uint32_t* flags) override;
    HRESULT STDMETHODCALLTYPE Terminate() override;

    // IPersistStream. Load is refused (E_FAIL) while a transfer runs, and
    // Save (STG_E_CANTSAVE) while a receive runs: the transfer owns the
    // buffers until it ends.
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;

    // ISpecifyPropertyPages
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override;

    // IMPEventFilter
    HRESULT STDMETHODCALLTYPE ProcessEvents(IMPEventList* events) override;
    HRESULT STDMETHODCALLTYPE GetEventRouting(uint32_t* first, uint32_t* second, uint32_t* third) override;
    HRESULT STDMETHODCALLTYPE SetEventRouting(uint32_t routing) override;

    // IMPServices2. Transfer fails (E_FAIL, nothing sent) without a MIDI
    // output, while a detection waits for its reply, and while another
    // transfer of this object runs.
    HRESULT STDMETHODCALLTYPE Transfer(uint32_t transmit, IMPProgressSink* sink, uint32_t mask) override;
    HRESULT STDMETHODCALLTYPE Unused2(uintptr_t first, uintptr_t second) override;
    HRESULT STDMETHODCALLTYPE Cancel() override;
    HRESULT STDMETHODCALLTYPE GetPictureUrls(WCHAR** inactive, WCHAR** active) override;
    HRESULT STDMETHODCALLTYPE GetDataTypes(uint32_t* mask, WCHAR** text, uint32_t* first, uint8_t* second,
                                           uint32_t* third) override;
    HRESULT STDMETHODCALLTYPE Unused6(uintptr_t first, uintptr_t second, uintptr_t third, uintptr_t fourth) override;

    // IMPNotificationSink
    HRESULT STDMETHODCALLTYPE Notify(const GUID* kind) override;

    // IMPMacOSXHelper
    HRESULT STDMETHODCALLTYPE Unused1(uintptr_t first, uintptr_t second) override;

    // For the editor page.
    DRUVDevice& Device() { return *this; }
    DRUVData& Data() { return *this; }
    // The page attaches itself (and detaches with null); no reference is held.
    void SetEditorPage(EditorPageLink* page) { editor_page_.store(page, std::memory_order_release); }
    void SetDirty() { dirty_.store(1, std::memory_order_release); }
    IMPPortBroker* PortBroker() const { return port_broker_; }
    const GUID& ClassId() const { return class_id_; }
    bool TransferRunning() const { return transfer_running_.load(std::memory_order_acquire) != kNoTransfer; }

    // Fetches the host's port lists anew, resolves the stored ports against
    // them and lets an attached page refill its lists.
    void RefreshPorts();

private:
    enum TransferKind : uint8_t { kNoTransfer = 0, kReceiving = 1, kTransmitting = 2 };

    // Destroyed only by Release: releases the claimed ports and every host
    // link still held, and leaves the live-filter count.
    ~CMidiFilter();

    // The object's identity, also its owner handle towards the host.
    IUnknown* Identity() { return static_cast<IMPInitialise*>(this); }
    // Releases the port directory, the MIDI output and the notification
    // connection.
    void ReleaseHostLinks();
    void AdviseNotifications(IUnknown* host);

    // Load and Save mark themselves busy; false (not marked) while a
    // transfer of a kind that conflicts runs.
    bool EnterPersistence(bool refuseDuringTransmit);
    void LeavePersistence() { persisting_.fetch_sub(1); }

    GUID class_id_;
    std::atomic<ULONG> references_{1};
    std::atomic<uint32_t> dirty_{0};
    IMPPortDirectory* port_directory_ = nullptr;
    IMPPortBroker* port_broker_ = nullptr;
    IMPMidiOut* midi_out_ = nullptr;
    std::atomic<uint8_t> transfer_running_{kNoTransfer};
    DWORD notification_cookie_ = 0;
    IConnectionPoint* connection_point_ = nullptr;
    std::atomic<EditorPageLink*> editor_page_{nullptr};
    std::atomic<int32_t> persisting_{0};  // Load or Save calls in progress
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
