#include "plugin/ui/prop_page.h"

#include <cwchar>
#include <new>

#include "plugin/host/module_counts.h"
#include "plugin/ui/page_messages.h"
#include "plugin/ui/plugin_module.h"
#include "plugin/ui/resource_ids.h"

namespace {

constexpr wchar_t kPageTitle[] = L"DRUV Librarian";
constexpr size_t kTitleBlockBytes = 512;
constexpr LONG kFallbackPageSize = 100;

// A dialog procedure for the throwaway window that GetPageInfo measures.
INT_PTR CALLBACK MeasureProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

IUnknown* CreatePropPage() {
    InitialisePageControls();
    return static_cast<IPropertyPage*>(new (std::nothrow) CPropPage());
}

// A live page keeps the module loaded: a host that frees unused libraries
// would otherwise unload its code under it.
CPropPage::CPropPage() {
    module_counts::LivePages().fetch_add(1, std::memory_order_acq_rel);
}

CPropPage::~CPropPage() {
    {
        // A page released while its detection waits frees the instance.
        FilterHandle::Use filter(filter_);
        if (filter) detection_.Abandon(filter->EditedContext());
    }
    Unlink();
    if (window_) DestroyWindow(window_);
    if (site_) site_->Release();
    module_counts::LivePages().fetch_sub(1, std::memory_order_acq_rel);
}

void CPropPage::Unlink() {
    bool detached = false;
    {
        FilterHandle::Use filter(filter_);
        // A filter that is going away refuses, and tells the page itself.
        if (filter) detached = filter->AttachPage(nullptr);
    }
    if (detached) filter_.Link(nullptr);
    filter_.AwaitWithdrawal();
}

HRESULT STDMETHODCALLTYPE CPropPage::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPropertyPage)) {
        *object = static_cast<IPropertyPage*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CPropPage::AddRef() {
    return references_.fetch_add(1, std::memory_order_acq_rel) + 1;
}

ULONG STDMETHODCALLTYPE CPropPage::Release() {
    const ULONG remaining = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (remaining == 0) delete this;
    return remaining;
}

HRESULT STDMETHODCALLTYPE CPropPage::SetPageSite(IPropertyPageSite* site) {
    if (site) {
        if (site_) return E_UNEXPECTED;
        site_ = site;
        site_->AddRef();
    } else {
        if (!site_) return E_UNEXPECTED;
        site_->Release();
        site_ = nullptr;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPropPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (!rect) return E_POINTER;
    if (window_) return E_UNEXPECTED;
    // Every window operation reads the filter; without one there is no page.
    if (!FilterHandle::Use(filter_)) return E_UNEXPECTED;
    // A wide window, so that names outside ASCII show as they are.
    HWND window = CreateDialogParamW(PluginModule(), MAKEINTRESOURCEW(IDD_DRUV_PAGE), parent,
                                     &CPropPage::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!window) return E_OUTOFMEMORY;
    Move(rect);
    Show(SW_SHOWNORMAL);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPropPage::Deactivate() {
    {
        FilterHandle::Use filter(filter_);
        if (filter) detection_.Abandon(filter->EditedContext());
    }
    if (!window_) return E_UNEXPECTED;
    HWND window = window_;
    DestroyWindow(window);  // WM_DESTROY detaches the page from the window
    window_ = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPropPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    auto* title = static_cast<LPOLESTR>(CoTaskMemAlloc(kTitleBlockBytes));
    if (!title) return E_OUTOFMEMORY;
    std::wmemset(title, 0, kTitleBlockBytes / sizeof(wchar_t));
    std::wcsncpy(title, kPageTitle, kTitleBlockBytes / sizeof(wchar_t) - 1);
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = title;
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    info->size.cx = kFallbackPageSize;
    info->size.cy = kFallbackPageSize;
    HWND probe = CreateDialogParamW(PluginModule(), MAKEINTRESOURCEW(IDD_DRUV_PAGE), GetDesktopWindow(),
                                    &MeasureProc, 0);
    if (probe) {
        RECT outer{};
        GetWindowRect(probe, &outer);
        info->size.cx = outer.right - outer.left;
        info->size.cy = outer.bottom - outer.top;
        DestroyWindow(probe);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPropPage::SetObjects(ULONG count, IUnknown** objects) {
    if (count == 0) return E_FAIL;
    if (count > 1) return E_UNEXPECTED;
    if (!objects || !objects[0]) return E_POINTER;
    // Whichever of the filter's interfaces the host hands over, the page's
    // own interface leads to the filter; any other object is refused.
    IDRUVEditorFilter* filter = nullptr;
    if (FAILED(objects[0]->QueryInterface(IID_IDRUVEditorFilter, reinterpret_cast<void**>(&filter))) || !filter)
        return E_NOINTERFACE;
    // The page and the filter point at each other without references; the
    // caller's reference keeps the new filter alive through this call.
    filter->Release();
    if (filter != FilterHandle::Use(filter_).get()) Unlink();
    filter_.Link(filter);
    if (!filter->AttachPage(this)) {
        // Only a filter that is being destroyed refuses; a host cannot hand one over.
        filter_.Link(nullptr);
        return E_UNEXPECTED;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPropPage::Show(UINT command) {
    if (!window_) return E_UNEXPECTED;
    switch (command) {
    case SW_HIDE:
        ShowWindow(window_, SW_HIDE);
        return S_OK;
    case SW_SHOWNORMAL:
    case SW_SHOW:
        ShowWindow(window_, command);
        if (toolbar_) ShowWindow(toolbar_, SW_SHOW);
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}

HRESULT STDMETHODCALLTYPE CPropPage::Move(LPCRECT rect) {
    if (!rect) return E_POINTER;
    if (!window_) return E_UNEXPECTED;
    MoveWindow(window_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    // The band of the status picture, which the toolbar row may have hidden:
    // in the page's coordinates, wherever the host placed the page.
    InvalidateStatusBand();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPropPage::IsPageDirty() {
    return page_dirty_ ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CPropPage::Apply() {
    // Every edit reaches the filter at once; nothing is left to write.
    page_dirty_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPropPage::Help(LPCOLESTR) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CPropPage::TranslateAccelerator(MSG*) {
    return E_NOTIMPL;
}

void CPropPage::PortsChanged() {
    if (HWND target = post_target_.load(std::memory_order_acquire)) PostMessageW(target, kPortsChangedMessage, 0, 0);
}

void CPropPage::DataReceived() {
    if (HWND target = post_target_.load(std::memory_order_acquire)) PostMessageW(target, kDataReceivedMessage, 0, 0);
}

// Every entry point uses the filter through the handle, so a page that
// outlives its filter only stops acting on it.
void CPropPage::FilterGone() {
    filter_.Withdraw();
}
