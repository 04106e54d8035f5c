// A host for the editor page as the real one uses it: DRUV.dll registered in
// the registry, the filter object and the page created through the component
// model, the filter initialised with the test host's ports and MIDI output,
// the page activated in a window of ours. Windows only.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "contract/editor_page_class.h"
#include "plugin/host/midi_filter.h"
#include "tests/support/recording_host_midi_out.h"
#include "tests/support/test_host_object.h"

namespace pagehost {


constexpr CLSID kPageClass = kPropPageClassId;

struct DeviceFile {
    CLSID classId;
    std::string path;  // Windows form
};

// The Linux path of the build as Wine shows it ("Z:\..."); Windows paths pass.
std::string WindowsPath(const std::string& path);

// The component registration of `classId` pointing at the plug-in DLL, and
// for a device the host's plug-in key with its definition path, as the
// installer writes them. False when the registry refused.
bool RegisterServer(const CLSID& classId, const std::string& dllPath);
bool RegisterDevice(const DeviceFile& device, const std::string& dllPath);
bool RemoveDeviceKey(const CLSID& classId);

// The example definitions and one written for the page tests: a device on a
// MIDI channel with a help file, no ID in its messages and nothing to
// detect with.
DeviceFile MixerExample();
DeviceFile SynthExample();
DeviceFile ChannelDevice();
// A device whose only probe candidate expects a reply of exactly 2000 bytes.
DeviceFile ProbeBoundaryDevice();

// The top-level window the page lives in.
HWND CreateHostWindow(int width, int height);

// Dispatches this thread's messages for about `milliseconds`.
void Pump(DWORD milliseconds);
// Dispatches messages until `done` holds or `limit` milliseconds have passed;
// whether it holds.
template <typename Condition>
bool PumpUntil(Condition done, DWORD limit = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limit) return false;
        Pump(5);
    }
    return true;
}

// One filter and its page in a host window.
class PageSession {
public:
    PageSession() = default;
    ~PageSession();
    PageSession(const PageSession&) = delete;
    PageSession& operator=(const PageSession&) = delete;

    // Creates the filter for `device` and initialises it with `host` and
    // `midi`; with a clock the filter runs on it from then on.
    bool CreateFilter(const DeviceFile& device, Clock* clock = nullptr);
    // Creates the page, links it to the filter and activates it in `parent`.
    bool OpenPage(HWND parent, const RECT& area);
    // Deactivates and releases the page, then terminates and releases the
    // filter; the counts each Release returned, for the caller to check.
    ULONG ClosePage();
    ULONG CloseFilter();

    // Delivers one SysX message from the instrument on `port`.
    void Receive(uint32_t port, const std::vector<uint8_t>& message);

    CMidiFilter* Filter() const { return filter_; }
    IUnknown* FilterUnknown() const { return filter_unknown_; }
    IPropertyPage* Page() const { return page_; }
    // Hands the page's reference to the caller, who releases it.
    IPropertyPage* TakePage() {
        IPropertyPage* page = page_;
        page_ = nullptr;
        return page;
    }
    HWND PageWindow() const;
    HWND Control(int id) const { return GetDlgItem(PageWindow(), id); }

    druvhosttest::TestHostObject host;
    druvhosttest::RecordingHostMidiOut midi;

private:
    IUnknown* filter_unknown_ = nullptr;
    CMidiFilter* filter_ = nullptr;
    IPropertyPage* page_ = nullptr;
    HWND parent_ = nullptr;
};

// Control texts and states as a person sees them.
std::string Text(HWND control);
bool Shown(HWND control);
std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);
std::vector<std::string> ListItems(HWND list);
std::vector<int> ToolbarCommands(HWND page);
int ToolbarImageCount(HWND page);

// Changes an edit's text; the edit reports the change to the page.
void SetEditText(HWND edit, const char* text);
// Picks an entry in a drop-down list and tells the page, as a click does.
void ChooseComboItem(HWND combo, int position);
// A toolbar button press.
void Press(HWND page, int command);

// The colour at the centre of the light in the status picture.
COLORREF StatusLight(HWND page);
bool LooksGreen(COLORREF colour);
bool LooksRed(COLORREF colour);

}  // namespace pagehost
