#include "plugin/host/midi_filter.h"

#include <new>
#include <thread>

#include "plugin/engine/data_stream.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/host/filter_events.h"
#include "plugin/host/filter_interfaces.h"
#include "plugin/host/filter_ports.h"
#include "plugin/host/host_stream.h"
#include "plugin/host/host_texts.h"
#include "plugin/host/module_counts.h"

CMidiFilter::CMidiFilter(const GUID& classId, const char* devicePath) : class_id_(classId) {
    SetFilePath(devicePath ? devicePath : "");
    // An unreadable file has been reported by the reader and leaves the
    // device empty; the object works on with no templates.
    LoadDefinition();
    BuildFrom(Device());
    module_counts::LiveFilters().fetch_add(1, std::memory_order_acq_rel);
}

CMidiFilter::~CMidiFilter() {
    if (EditorPageLink* page = editor_page_.exchange(nullptr, std::memory_order_acq_rel)) page->FilterGone();
    ClaimStoredPorts(port_broker_, Data(), kReleasePort, class_id_, Identity());
    // A host that never called Terminate still gets its links back.
    ReleaseHostLinks();
    Items.clear();
    if (port_broker_) port_broker_->Release();
    port_broker_ = nullptr;
    module_counts::LiveFilters().fetch_sub(1, std::memory_order_acq_rel);
}

// --- IUnknown

HRESULT CMidiFilter::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    switch (FindFilterInterface(iid)) {
    case FilterInterface::Initialise: *object = static_cast<IMPInitialise*>(this); break;
    case FilterInterface::PersistStream: *object = static_cast<IPersistStream*>(this); break;
    case FilterInterface::PropertyPages: *object = static_cast<ISpecifyPropertyPages*>(this); break;
    case FilterInterface::EventFilter: *object = static_cast<IMPEventFilter*>(this); break;
    case FilterInterface::Services: *object = static_cast<IMPServices2*>(this); break;
    case FilterInterface::NotificationSink: *object = static_cast<IMPNotificationSink*>(this); break;
    case FilterInterface::None:
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CMidiFilter::AddRef() { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }

ULONG CMidiFilter::Release() {
    ULONG left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

// --- IMPInitialise

HRESULT CMidiFilter::Initialise(IUnknown* host, IMPMidiOut* midiOut, uint32_t, uint32_t, uint32_t* flags) {
    // A second Initialise replaces the links of the first.
    ReleaseHostLinks();
    if (port_broker_) port_broker_->Release();
    port_broker_ = nullptr;

    if (host) {
        void* directory = nullptr;
        if (SUCCEEDED(host->QueryInterface(IID_IMPPortDirectory, &directory)) && directory) {
            port_directory_ = static_cast<IMPPortDirectory*>(directory);
            RefreshPorts();
        }
        void* broker = nullptr;
        if (SUCCEEDED(host->QueryInterface(IID_IMPPortBroker, &broker))) port_broker_ = static_cast<IMPPortBroker*>(broker);
        AdviseNotifications(host);
    }
    if (midiOut) midiOut->AddRef();
    midi_out_ = midiOut;
    transfer.host_link = midiOut;
    if (flags) *flags |= kMPInitialiseHandled;
    return S_OK;
}

void CMidiFilter::AdviseNotifications(IUnknown* host) {
    void* found = nullptr;
    if (FAILED(host->QueryInterface(IID_IConnectionPointContainer, &found)) || !found) return;
    auto* container = static_cast<IConnectionPointContainer*>(found);
    IConnectionPoint* point = nullptr;
    if (SUCCEEDED(container->FindConnectionPoint(IID_IMPNotificationSink, &point)) && point) {
        DWORD cookie = 0;
        if (SUCCEEDED(point->Advise(static_cast<IMPNotificationSink*>(this), &cookie)) && cookie != 0) {
            connection_point_ = point;
            notification_cookie_ = cookie;
        } else {
            point->Release();
        }
    }
    container->Release();
}

HRESULT CMidiFilter::Terminate() {
    ReleaseHostLinks();
    return S_OK;
}

void CMidiFilter::ReleaseHostLinks() {
    if (port_directory_) port_directory_->Release();
    port_directory_ = nullptr;
    transfer.host_link = nullptr;
    if (midi_out_) midi_out_->Release();
    midi_out_ = nullptr;
    if (connection_point_) {
        if (notification_cookie_ != 0) connection_point_->Unadvise(notification_cookie_);
        connection_point_->Release();
    }
    connection_point_ = nullptr;
    notification_cookie_ = 0;
}

void CMidiFilter::RefreshPorts() {
    FetchPortLists(port_directory_, Data());
    if (EditorPageLink* page = editor_page_.load(std::memory_order_acquire)) page->RefillPortLists();
}

// --- IPersistStream

HRESULT CMidiFilter::GetClassID(CLSID* classId) {
    if (!classId) return E_POINTER;
    *classId = class_id_;
    return S_OK;
}

HRESULT CMidiFilter::IsDirty() { return dirty_.load(std::memory_order_acquire) ? S_OK : S_FALSE; }

bool CMidiFilter::EnterPersistence(bool refuseDuringTransmit) {
    // Announce first, then look: a Transfer that starts meanwhile sees the
    // announcement and waits for it (sequentially consistent on both sides).
    persisting_.fetch_add(1);
    uint8_t running = transfer_running_.load();
    if (running == kReceiving || (running == kTransmitting && refuseDuringTransmit)) {
        LeavePersistence();
        return false;
    }
    return true;
}

HRESULT CMidiFilter::Load(IStream* stream) {
    if (!stream) return E_POINTER;
    if (!EnterPersistence(true)) return E_FAIL;
    // The ports held before (claimed by an earlier Load or on the page) are
    // given back once the new ones are known, or the host would keep them
    // claimed for an object that no longer uses them.
    const HeldPorts before = HeldPortsOf(Data());
    HostStream input(stream);
    StoreReadResult result = ReadDataStore(Data(), input);
    if (result == StoreReadResult::Complete) {
        ReleaseHeldPorts(port_broker_, before, class_id_, Identity());
        ClaimStoredPorts(port_broker_, Data(), kClaimPort, class_id_, Identity());
    }
    LeavePersistence();
    return result == StoreReadResult::Failed ? E_FAIL : S_OK;
}

HRESULT CMidiFilter::Save(IStream* stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    if (!EnterPersistence(false)) return STG_E_CANTSAVE;
    HostStream output(stream);
    bool written = WriteDataStore(Data(), output);
    LeavePersistence();
    if (!written) return STG_E_CANTSAVE;
    if (clearDirty) dirty_.store(0, std::memory_order_release);
    return S_OK;
}

HRESULT CMidiFilter::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = DataStoreStreamSize(Data());
    return S_OK;
}

// --- ISpecifyPropertyPages

HRESULT CMidiFilter::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    pages->pElems[0] = CLSID_DRUVEditorPage;
    pages->cElems = 1;
    return S_OK;
}

// --- IMPEventFilter

HRESULT CMidiFilter::ProcessEvents(IMPEventList* events) {
    return DeliverEvents(events, Device(), InPort.load(std::memory_order_acquire));
}

HRESULT CMidiFilter::GetEventRouting(uint32_t* first, uint32_t* second, uint32_t* third) {
    for (uint32_t* value : {first, second, third}) {
        if (value) *value = kMPEventRoutingPlugIn;
    }
    return S_OK;
}

HRESULT CMidiFilter::SetEventRouting(uint32_t) { return S_OK; }

// --- IMPServices2

HRESULT CMidiFilter::Transfer(uint32_t transmit, IMPProgressSink* sink, uint32_t mask) {
    if (!midi_out_ || transfer.detect_wait.load(std::memory_order_acquire)) return E_FAIL;
    bool sending = (transmit & 0xFF) != 0;
    uint8_t idle = kNoTransfer;
    if (!transfer_running_.compare_exchange_strong(idle, sending ? kTransmitting : kReceiving)) return E_FAIL;
    // A Load or Save that began before the flag was set finishes first.
    while (persisting_.load() != 0) std::this_thread::yield();

    transfer.abort.store(false, std::memory_order_release);
    if (sending) {
        TransmitDumps(Device(), &Data(), mask, sink, this);
    } else {
        ReceiveDumps(Device(), &Data(), mask, sink, this);
        EditorPageLink* page = editor_page_.load(std::memory_order_acquire);
        if (page && !transfer.abort.load(std::memory_order_acquire)) page->RefreshDataList();
    }
    transfer.abort.store(false, std::memory_order_release);
    transfer_running_.store(kNoTransfer);
    return S_OK;
}

HRESULT CMidiFilter::Unused2(uintptr_t, uintptr_t) { return S_OK; }

HRESULT CMidiFilter::Cancel() {
    transfer.abort.store(true, std::memory_order_release);
    return S_OK;
}

HRESULT CMidiFilter::GetPictureUrls(WCHAR** inactive, WCHAR** active) {
    WCHAR* inactiveUrl = inactive ? PictureUrl(FilePath(), InactivePNGFile()) : nullptr;
    WCHAR* activeUrl = active ? PictureUrl(FilePath(), ActivePNGFile()) : nullptr;
    if ((inactive && !inactiveUrl) || (active && !activeUrl)) {
        CoTaskMemFree(inactiveUrl);
        CoTaskMemFree(activeUrl);
        inactiveUrl = activeUrl = nullptr;
    }
    if (inactive) *inactive = inactiveUrl;
    if (active) *active = activeUrl;
    if ((inactive || active) && !inactiveUrl && !activeUrl) return E_OUTOFMEMORY;
    return S_OK;
}

HRESULT CMidiFilter::GetDataTypes(uint32_t* mask, WCHAR** text, uint32_t* first, uint8_t* second,
                                  uint32_t* third) {
    if (mask) *mask = DataTypesMask(ConfigurationCount());
    if (first) *first = 0;
    if (second) *second = 0;
    if (third) *third = 0;
    if (text) {
        *text = DataTypesText(Device());
        if (!*text) return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CMidiFilter::Unused6(uintptr_t, uintptr_t, uintptr_t, uintptr_t) { return S_OK; }

// --- IMPNotificationSink

HRESULT CMidiFilter::Notify(const GUID* kind) {
    if (kind && IsEqualGUID(*kind, MP_NOTIFY_PORTS_CHANGED)) RefreshPorts();
    return S_OK;
}

// --- IMPMacOSXHelper

HRESULT CMidiFilter::Unused1(uintptr_t, uintptr_t) { return S_OK; }
