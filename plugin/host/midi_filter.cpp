#include "plugin/host/midi_filter.h"

#include <new>
#include <thread>

#include "plugin/engine/data_stream.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/host/filter_events.h"
#include "plugin/host/filter_interfaces.h"
#include "contract/editor_page_class.h"
#include "plugin/host/host_stream.h"
#include "plugin/host/host_texts.h"
#include "plugin/host/module_counts.h"

CMidiFilter::CMidiFilter(const GUID& classId, const char* devicePath) : class_id_(classId) {
    device_.SetFilePath(devicePath ? devicePath : "");
    // An unreadable file has been reported by the reader and leaves the
    // device empty; the object works on with no templates.
    device_.LoadDefinition();
    data_.BuildFrom(device_);
    module_counts::LiveFilters().fetch_add(1, std::memory_order_acq_rel);
}

CMidiFilter::~CMidiFilter() {
    going_away_.store(true, std::memory_order_seq_cst);
    {
        // Under the lock: a page that detaches meanwhile is refused and waits
        // to hear of this, so it is still there when it does; the page
        // returns once its own thread no longer works on this object.
        std::lock_guard<std::mutex> lock(page_mutex_);
        if (editor_page_) editor_page_->FilterGone();
        editor_page_ = nullptr;
    }
    UpdatePorts([] {}, [this] { return claims_.ReleaseAll(); });
    // A host that never called Terminate still gets its links back.
    ReleaseHostLinks();
    data_.Items.clear();
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
    case FilterInterface::EditorFilter: *object = static_cast<IDRUVEditorFilter*>(this); break;
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
    // A second Initialise replaces the links of the first; the claims made
    // through the first broker go back through it.
    ReleaseHostLinks();
    UpdatePorts([] {}, [this] { return claims_.ReleaseAll(); });
    if (port_broker_) port_broker_->Release();
    port_broker_ = nullptr;

    if (host) {
        void* directory = nullptr;
        if (SUCCEEDED(host->QueryInterface(IID_IMPPortDirectory, &directory)) && directory)
            port_directory_ = static_cast<IMPPortDirectory*>(directory);
        void* broker = nullptr;
        if (SUCCEEDED(host->QueryInterface(IID_IMPPortBroker, &broker))) port_broker_ = static_cast<IMPPortBroker*>(broker);
        // With the broker known, the ports resolved now are claimed at once.
        if (port_directory_) RefreshPorts();
        AdviseNotifications(host);
    }
    if (midiOut) midiOut->AddRef();
    midi_out_ = midiOut;
    transfer_.host_link = midiOut;
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
    transfer_.host_link = nullptr;
    if (midi_out_) midi_out_->Release();
    midi_out_ = nullptr;
    if (connection_point_) {
        if (notification_cookie_ != 0) connection_point_->Unadvise(notification_cookie_);
        connection_point_->Release();
    }
    connection_point_ = nullptr;
    notification_cookie_ = 0;
}

template <typename Change, typename Plan>
void CMidiFilter::UpdatePorts(Change change, Plan plan) {
    std::lock_guard<std::recursive_mutex> order(claim_calls_mutex_);
    std::vector<ClaimCall> calls;
    {
        std::lock_guard<std::mutex> lock(ports_mutex_);
        change();
        if (port_broker_) calls = plan();
    }
    MakeClaimCalls(port_broker_, calls, class_id_, Identity());
}

template <typename Tell>
void CMidiFilter::TellPage(Tell tell) {
    std::lock_guard<std::mutex> lock(page_mutex_);
    if (editor_page_) tell(*editor_page_);
}

void CMidiFilter::RefreshPorts() {
    // A port that appeared again is claimed; one that went is given back.
    UpdatePorts([this] { FetchPortLists(port_directory_, data_); }, [this] { return claims_.Reconcile(data_); });
    TellPage([](EditorPageLink& page) { page.PortsChanged(); });
}

PortChoices CMidiFilter::PortList(MPPortDirection direction) {
    std::lock_guard<std::mutex> lock(ports_mutex_);
    const MPPortList& ports = direction == MP_PORT_INPUT ? data_.InPorts : data_.OutPorts;
    const uint32_t handle = (direction == MP_PORT_INPUT ? data_.InPort : data_.OutPort).load(std::memory_order_acquire);
    PortChoices choices;
    const uint32_t count = ports.Entries ? ports.Count : 0;
    for (uint32_t i = 0; i < count; ++i) choices.names.push_back(PortNameText(ports.Entries[i].Name));
    choices.selected = PortListPosition(ports, handle);
    return choices;
}

bool CMidiFilter::ChoosePort(MPPortDirection direction, size_t position) {
    bool changed = false;
    // The old port goes back and the chosen one is claimed anew, even when
    // it is the same one.
    UpdatePorts([&] { changed = SelectPort(data_, direction, position); },
                [&] { return claims_.Renew(data_, direction); });
    return changed;
}

bool CMidiFilter::AttachPage(EditorPageLink* page) {
    // The destructor tells the page under this lock and waits meanwhile for
    // the page's thread to let go of this object; that thread may be the one
    // asking here, so it must never wait for the lock once destruction began.
    std::unique_lock<std::mutex> lock(page_mutex_, std::try_to_lock);
    while (!lock.owns_lock()) {
        if (going_away_.load(std::memory_order_seq_cst)) return false;
        std::this_thread::yield();
        lock.try_lock();
    }
    if (going_away_.load(std::memory_order_seq_cst)) return false;
    editor_page_ = page;
    return true;
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
    Activity running = transfer_.activity.load();
    if (running == Activity::Receiving || (running == Activity::Transmitting && refuseDuringTransmit)) {
        LeavePersistence();
        return false;
    }
    return true;
}

HRESULT CMidiFilter::Load(IStream* stream) {
    if (!stream) return E_POINTER;
    if (!EnterPersistence(true)) return E_FAIL;
    StoreReadResult result = StoreReadResult::Failed;
    // A complete read claims the ports it names anew, giving back what was
    // claimed before; a read that stopped or failed part way may still have
    // changed the ports in use, so the claims follow them.
    UpdatePorts(
        [&] {
            HostStream input(stream);
            result = ReadDataStore(data_, input);
        },
        [&] { return result == StoreReadResult::Complete ? claims_.Renew(data_) : claims_.Reconcile(data_); });
    LeavePersistence();
    return result == StoreReadResult::Failed ? E_FAIL : S_OK;
}

HRESULT CMidiFilter::Save(IStream* stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    if (!EnterPersistence(false)) return STG_E_CANTSAVE;
    HostStream output(stream);
    bool written = false;
    {
        std::lock_guard<std::mutex> lock(ports_mutex_);
        written = WriteDataStore(data_, output);
    }
    LeavePersistence();
    if (!written) return STG_E_CANTSAVE;
    if (clearDirty) dirty_.store(0, std::memory_order_release);
    return S_OK;
}

HRESULT CMidiFilter::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = DataStoreStreamSize(data_);
    return S_OK;
}

// --- ISpecifyPropertyPages

HRESULT CMidiFilter::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    pages->pElems[0] = kPropPageClassId;
    pages->cElems = 1;
    return S_OK;
}

// --- IMPEventFilter

HRESULT CMidiFilter::ProcessEvents(IMPEventList* events) {
    return DeliverEvents(events, transfer_, data_.InPort.load(std::memory_order_acquire));
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
    if (!midi_out_) return E_FAIL;
    bool sending = (transmit & 0xFF) != 0;
    // One state for transfers and detection: neither starts while the other runs.
    const Activity activity = sending ? Activity::Transmitting : Activity::Receiving;
    if (!BeginActivity(transfer_, activity)) return E_FAIL;
    // A Load or Save that began before the flag was set finishes first.
    while (persisting_.load() != 0) std::this_thread::yield();

    transfer_.abort.store(false, std::memory_order_release);
    if (sending) {
        TransmitDumps(Context(), mask, sink, this);
    } else {
        ReceiveDumps(Context(), mask, sink, this);
        if (!transfer_.abort.load(std::memory_order_acquire))
            TellPage([](EditorPageLink& page) { page.DataReceived(); });
    }
    transfer_.abort.store(false, std::memory_order_release);
    EndActivity(transfer_, activity);
    return S_OK;
}

HRESULT CMidiFilter::Unused2(uintptr_t, uintptr_t) { return S_OK; }

HRESULT CMidiFilter::Cancel() {
    transfer_.abort.store(true, std::memory_order_release);
    return S_OK;
}

HRESULT CMidiFilter::GetPictureUrls(WCHAR** inactive, WCHAR** active) {
    WCHAR* inactiveUrl = inactive ? PictureUrl(device_.FilePath(), device_.InactivePNGFile()) : nullptr;
    WCHAR* activeUrl = active ? PictureUrl(device_.FilePath(), device_.ActivePNGFile()) : nullptr;
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
    if (mask) *mask = DataTypesMask(device_.ConfigurationCount());
    if (first) *first = 0;
    if (second) *second = 0;
    if (third) *third = 0;
    if (text) {
        *text = DataTypesText(device_);
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
