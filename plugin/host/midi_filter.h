// The object the host creates for one instance of an installed device: it
// owns the device definition, the dump store and the transfer state, and is
// the plug-in's face towards the host. It creates no threads. The engine's
// state is shared through atomics only, so a transfer, the MIDI input thread
// and Cancel never wait for each other; the port lists and the page link,
// which the host's notification thread, Load and Save and the page change,
// are guarded by the locks below.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "device/druv_device.h"
#include "platform/com_base.h"
#include "plugin/abi/host_interfaces.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_context.h"
#include "plugin/engine/transfer_state.h"
#include "plugin/host/editor_filter.h"
#include "plugin/host/editor_page_link.h"
#include "plugin/host/filter_ports.h"

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
                          public IMPMacOSXHelper,
                          public IDRUVEditorFilter {
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

    // IDRUVEditorFilter, for the editor page.
    const DRUVDevice& EditedDevice() override { return device_; }
    DRUVData& EditedData() override { return data_; }
    TransferContext EditedContext() override { return Context(); }
    void MarkDirty() override { dirty_.store(1, std::memory_order_release); }
    PortChoices PortList(MPPortDirection direction) override;
    bool ChoosePort(MPPortDirection direction, size_t position) override;
    bool AttachPage(EditorPageLink* page) override;

    const DRUVDevice& Device() const { return device_; }
    DRUVData& Data() { return data_; }
    TransferState& State() { return transfer_; }
    TransferContext Context() { return TransferContext{device_, data_, transfer_}; }
    void SetDirty() { MarkDirty(); }
    const GUID& ClassId() const { return class_id_; }
    IMPPortBroker* PortBroker() const { return port_broker_; }
    bool TransferRunning() const { return TransferRuns(transfer_); }

    // Fetches the host's port lists anew, resolves the stored ports against
    // them, claims what is now in use and tells an attached page.
    void RefreshPorts();

private:
    // Destroyed only by Release: releases the claimed ports and every host
    // link still held, and leaves the live-filter count.
    ~CMidiFilter();

    // The object's identity, also its owner handle towards the host.
    IUnknown* Identity() { return static_cast<IMPInitialise*>(this); }
    // Releases the port directory, the MIDI output and the notification
    // connection.
    void ReleaseHostLinks();
    void AdviseNotifications(IUnknown* host);
    // Changes the ports under the port lock, then brings the host's claims in
    // line with `plan`'s calls, made in the order planned. The calls are made
    // outside the port lock, since a host may answer a claim with a
    // notification on the same thread. Without a broker nothing can be
    // claimed, so nothing is planned.
    template <typename Change, typename Plan>
    void UpdatePorts(Change change, Plan plan);
    // Tells the attached page, if any, on the calling thread.
    template <typename Tell>
    void TellPage(Tell tell);

    // Load and Save mark themselves busy; false (not marked) while a
    // transfer of a kind that conflicts runs.
    bool EnterPersistence(bool refuseDuringTransmit);
    void LeavePersistence() { persisting_.fetch_sub(1); }

    GUID class_id_;
    DRUVDevice device_;
    DRUVData data_;
    TransferState transfer_;
    std::atomic<ULONG> references_{1};
    std::atomic<uint32_t> dirty_{0};
    IMPPortDirectory* port_directory_ = nullptr;
    IMPPortBroker* port_broker_ = nullptr;
    IMPMidiOut* midi_out_ = nullptr;
    DWORD notification_cookie_ = 0;
    IConnectionPoint* connection_point_ = nullptr;
    std::atomic<int32_t> persisting_{0};  // Load or Save calls in progress

    // The port lists, the stored port identities and the claims change on
    // the host's notification thread, in Load and on the page's thread.
    // Transfers and the input thread read only the atomic handles.
    std::mutex ports_mutex_;
    ClaimedPorts claims_;
    // Keeps the claim calls of one plan together and in plan order.
    std::recursive_mutex claim_calls_mutex_;
    // The page link: set and cleared by the page, used by any host thread.
    std::mutex page_mutex_;
    EditorPageLink* editor_page_ = nullptr;
    // Set when destruction begins, before the page is told under the lock.
    std::atomic<bool> going_away_{false};
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
