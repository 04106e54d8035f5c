// Shows the editor page of one device definition in a window of its own, the
// way the host would, for screenshots and for a look by hand:
//   druv-page-viewer <definition.druv> [--online] [--with-data]
//                    [--seconds N] [--ready-file PATH]
// --online lets a stand-in instrument answer every detection request;
// --with-data gives the first template a stored dump (" *" in the list).
// The ready file receives "x y width height" of the window once the page has
// settled; the viewer closes itself after N seconds (default 3).
#include <windows.h>
#include <ocidl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "device/druv_device.h"
#include "platform/message_box.h"
#include "plugin/ui/resource_ids.h"
#include "tests/plugin/ui/page_host_support.h"
#include "tests/support/viewer_options.h"

using namespace pagehost;

namespace {

constexpr uint32_t kInPort = 11;
constexpr uint32_t kOutPort = 21;

struct Options : ViewerOptions {
    bool online = false;
    bool withData = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    return ParseViewerOptions(argc, argv, options, true, [&options](const std::string& argument, const char*) {
        if (argument == "--online") {
            options.online = true;
            return 1;
        }
        if (argument == "--with-data") {
            options.withData = true;
            return 1;
        }
        return 0;
    });
}
void GiveFirstItemData(DRUVData& data) {
    if (data.Items.empty()) return;
    DumpItem& item = *data.Items[0];
    if (!item.Data() && !item.Allocate(16)) return;
    const uint8_t dump[] = {0xF0, 0x7D, 0x00, 0x01, 0xF7};
    std::memcpy(item.Data(), dump, sizeof dump);
    item.Length.store(sizeof dump);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: druv-page-viewer <definition.druv> [--online] [--with-data] [--seconds N] "
                     "[--ready-file PATH]\n");
        return 2;
    }
    // The definition reader's boxes go to the error stream; nobody is there to answer.
    ScopedMessageBoxHandler boxes([](const MessageBoxRequest& request) {
        std::fprintf(stderr, "%s: %s\n", request.caption, request.text);
        return MessageAnswer::Ok;
    });

    DRUVDevice definition;
    const std::string path = WindowsPath(options.definition);
    definition.SetFilePath(path.c_str());
    if (definition.LoadDefinition() != 0) return 1;

    if (FAILED(CoInitialize(nullptr))) return 1;
    const DeviceFile device{definition.DeviceGUID(), path};
    if (!RegisterServer(kPageClass, DRUV_PLUGIN_DLL) || !RegisterDevice(device, DRUV_PLUGIN_DLL)) {
        std::fprintf(stderr, "cannot register the plug-in\n");
        return 1;
    }

    int result = 1;
    {
        PageSession session;
        session.host.SetPorts(MP_PORT_INPUT, {{kInPort, druvhost::MakePortId(0x11), u"Wire MIDI In 1"},
                                              {12, druvhost::MakePortId(0x12), u"Wire MIDI In 2"}});
        session.host.SetPorts(MP_PORT_OUTPUT, {{kOutPort, druvhost::MakePortId(0x21), u"Wire MIDI Out 1"},
                                               {22, druvhost::MakePortId(0x22), u"Wire MIDI Out 2"}});
        if (options.online) {
            // The stand-in instrument answers each request at once on the input port.
            session.midi.Route(kOutPort, [&session](const uint8_t* message, size_t size) {
                session.Receive(kInPort, std::vector<uint8_t>(message, message + size));
            });
        }
        if (!session.CreateFilter(device)) {
            std::fprintf(stderr, "cannot create the filter object\n");
            return 1;
        }
        if (options.withData) GiveFirstItemData(session.Filter()->Data());

        IPropertyPage* probe = nullptr;
        PROPPAGEINFO info{};
        SIZE size{400, 560};
        if (SUCCEEDED(CoCreateInstance(kPageClass, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                       reinterpret_cast<void**>(&probe)))) {
            if (SUCCEEDED(probe->GetPageInfo(&info))) {
                size = info.size;
                CoTaskMemFree(info.pszTitle);
            }
            probe->Release();
        }
        HWND window = CreateHostWindow(size.cx, size.cy);
        const RECT area{0, 0, size.cx, size.cy};
        if (window && session.OpenPage(window, area)) {
            ChooseComboItem(session.Control(IDC_IN_PORT), 0);
            ChooseComboItem(session.Control(IDC_OUT_PORT), 0);
            Pump(600);  // long enough for a detection to end either way
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Pump(100);
            if (!options.readyFile.empty()) {
                RECT frame{};
                GetWindowRect(window, &frame);
                char line[128];
                std::snprintf(line, sizeof line, "%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                              frame.bottom - frame.top);
                WriteReadyFile(options.readyFile, line);
            }
            Pump(static_cast<DWORD>(options.seconds > 0 ? options.seconds : 0) * 1000);
            result = 0;
        } else {
            std::fprintf(stderr, "cannot show the page (is there a display?)\n");
        }
        session.ClosePage();
        session.CloseFilter();
        if (window) DestroyWindow(window);
    }
    CoUninitialize();
    return result;
}
