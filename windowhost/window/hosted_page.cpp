#include "windowhost/window/hosted_page.h"

#include <atomic>

#include "contract/editor_page_class.h"

namespace windowhost {

namespace {

// The page site of a host that shows one page with no frame around it:
// there is no Apply button to enable and no container to offer, and keys
// the page does not take go on to the window's own keyboard handling. It
// is deleted only through Release, never through an interface pointer.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class PageSite : public IPropertyPageSite {
public:
    PageSite() = default;
    virtual ~PageSite() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPageSite)) {
            *object = static_cast<IPropertyPageSite*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (remaining == 0) delete this;
        return remaining;
    }
    HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetLocaleID(LCID* locale) override {
        if (locale == nullptr) return E_POINTER;
        *locale = GetUserDefaultLCID();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown** container) override {
        if (container != nullptr) *container = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }

private:
    std::atomic<ULONG> references_{1};
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace

bool HostedPage::Open(HWND parent, const RECT& area, IUnknown* filter) {
    Close();
    if (filter == nullptr) return false;
    if (FAILED(CoCreateInstance(kPropPageClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                reinterpret_cast<void**>(&page_))))
        return false;
    site_ = new PageSite();
    IUnknown* objects[] = {filter};
    if (FAILED(page_->SetPageSite(site_)) || FAILED(page_->SetObjects(1, objects)) ||
        FAILED(page_->Activate(parent, &area, FALSE))) {
        Close();
        return false;
    }
    page_->Show(SW_SHOW);
    return true;
}

void HostedPage::Apply() {
    if (page_ != nullptr && page_->IsPageDirty() == S_OK) page_->Apply();
}

void HostedPage::Close() {
    if (page_ != nullptr) {
        page_->Deactivate();
        page_->SetObjects(0, nullptr);
        page_->SetPageSite(nullptr);
        page_->Release();
        page_ = nullptr;
    }
    if (site_ != nullptr) {
        site_->Release();
        site_ = nullptr;
    }
}

bool HostedPage::TranslateKey(MSG& message) {
    return page_ != nullptr && page_->TranslateAccelerator(&message) == S_OK;
}

}  // namespace windowhost
