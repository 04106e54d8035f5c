// The plug-in's own editor page as a child of the window: created through
// the plug-in's page class, given our page site and the selected
// instrument's filter, shown over the page area.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

namespace windowhost {

class HostedPage {
public:
    HostedPage() = default;
    ~HostedPage() { Close(); }
    HostedPage(const HostedPage&) = delete;
    HostedPage& operator=(const HostedPage&) = delete;

    // Shows the page of `filter` inside `parent` over `area` (client
    // pixels); false when the plug-in cannot make or show one.
    bool Open(HWND parent, const RECT& area, IUnknown* filter);
    // Hands the page's choices to the filter (the page writes most of them
    // at once; this is the host's part of the bargain).
    void Apply();
    // Takes the page down and lets go of it and of the filter.
    void Close();
    bool IsOpen() const { return page_ != nullptr; }
    // A key for the page's own handling (Tab among its controls); true when
    // the page took it.
    bool TranslateKey(MSG& message);

private:
    IPropertyPage* page_ = nullptr;
    IPropertyPageSite* site_ = nullptr;
};

}  // namespace windowhost
