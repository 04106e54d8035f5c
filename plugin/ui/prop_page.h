// The editor page the host shows for one device instance: a toolbar, the
// device settings (ports, device ID, channel, delay), the detection status
// picture and the list of supported data. The host creates it through the
// page's class factory and drives it as a property page; the page and the
// filter object point at each other without counting references.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>

#include <atomic>
#include <string>

#include "plugin/abi/mp_event.h"
#include "plugin/host/editor_filter.h"
#include "plugin/host/editor_page_link.h"
#include "plugin/ui/detection_cycle.h"
#include "plugin/ui/filter_handle.h"

// The system's interfaces have public non-virtual destructors; the page goes
// away through Release only.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

class CPropPage final : public IPropertyPage, public EditorPageLink {
public:
    CPropPage();
    CPropPage(const CPropPage&) = delete;
    CPropPage& operator=(const CPropPage&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IPropertyPage
    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
    HRESULT STDMETHODCALLTYPE Show(UINT command) override;
    HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override;
    HRESULT STDMETHODCALLTYPE IsPageDirty() override;
    HRESULT STDMETHODCALLTYPE Apply() override;
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR helpDir) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) override;

    // EditorPageLink, called by the filter on any host thread: the changes
    // are posted to the page window and shown on its own thread. FilterGone
    // returns once the page's thread no longer works on the filter.
    void PortsChanged() override;
    void DataReceived() override;
    void FilterGone() override;

private:
    ~CPropPage();

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // The page window's life (page_window.cpp). What works on the filter is
    // handed it by a caller that holds a use of it (FilterHandle::Use).
    void InitialiseWindow(HWND window);
    void CreateToolbar(const DRUVDevice& device);
    void LayOutToolbarRow(int width);
    void InvalidateStatusBand();
    void Paint();
    void OnCommand(WORD id, WORD code, HWND control);
    bool OnNotify(NMHDR* header);
    void OnDestroy();
    // Opens the document at `path` (a full path; nothing when empty).
    void OpenDocument(const std::string& path);

    // Settings and detection (page_settings.cpp).
    void SetUpSettings(IDRUVEditorFilter& filter);
    void FillPortLists(IDRUVEditorFilter& filter);
    void FillPortList(int controlId, const PortChoices& choices);
    void FillDataList(IDRUVEditorFilter& filter);
    void OnEditChange(IDRUVEditorFilter& filter, int controlId);
    void OnSpin(IDRUVEditorFilter& filter, HWND spin, int position);
    void OnPortChange(IDRUVEditorFilter& filter, int controlId);
    void StartDetection(IDRUVEditorFilter& filter);
    void DetectionStep(IDRUVEditorFilter& filter);
    void RedrawStatus();
    void ClientSize(int& width, int& height) const;

    // Detaches the page from its filter; returns once the filter, if it is
    // going away meanwhile, no longer calls the page.
    void Unlink();

    HWND toolbar_ = nullptr;
    std::atomic<ULONG> references_{1};
    HWND window_ = nullptr;
    // The window that host threads post the filter's news to; null while
    // there is none.
    std::atomic<HWND> post_target_{nullptr};
    IPropertyPageSite* site_ = nullptr;
    LONG page_dirty_ = 0;
    // The filter, used on the page's thread and withdrawn by the filter on
    // whichever thread releases it.
    FilterHandle filter_;
    // The page window holds the status pictures while it exists.
    bool holds_pictures_ = false;
    DetectionCycle detection_;
    bool detection_available_ = false;
    // Set while the controls are filled in, so that their change notices do
    // not run the change rules out of order.
    bool setting_up_ = false;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// The page factory's creator: a new page with one reference, or null.
IUnknown* CreatePropPage();
