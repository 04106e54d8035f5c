// How long the builder's window takes with a large definition: 1,000
// templates and 100 configurations of 10 templates each, opened and shown,
// one configuration and one template chosen, then stored and saved, each
// step through the window's own commands and loop. Prints the times; asserts
// nothing, since they depend on the machine:
//   druv-builder-timing [--templates N] [--configurations N]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "builder/builder_controls.h"
#include "builder/window/builder_dialog.h"
#include "device/byte_string.h"
#include "device/druv_device.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/program_frame/common_controls.h"

namespace {

namespace ids = builder_controls;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

std::string TemplateName(int index) { return "Template " + std::to_string(index); }

bool WriteLargeDefinition(const std::string& path, int templates, int configurations) {
    DRUVDevice device;
    device.SetFilePath(path.c_str());
    device.SetCompany("Timing");
    device.SetProduct("Large Device");
    device.CreateIdentifiers();
    for (int t = 0; t < templates; ++t) {
        DRUVTemplate* record = device.AddTemplate(TemplateName(t).c_str());
        if (!record) return false;
        record->SetSize("128");
        ByteString request;
        HexTextToBytes(("F0 7D 00 " + std::to_string(t % 100) + " F7").c_str(), request);
        record->SetRequest(request);
    }
    for (int c = 0; c < configurations; ++c) {
        DRUVConfiguration* record = device.AddConfiguration(("Configuration " + std::to_string(c)).c_str());
        if (!record) return false;
        for (int r = 0; r < 10; ++r) record->AddRef(TemplateName((c * 10 + r) % templates).c_str());
    }
    return device.SaveDefinition() == 1;
}

void Select(HWND window, int list, int index) {
    HWND box = GetDlgItem(window, list);
    SendMessageW(box, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
}

}  // namespace

int main(int argc, char** argv) {
    int templates = 1000;
    int configurations = 100;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--templates") templates = std::atoi(argv[i + 1]);
        if (option == "--configurations") configurations = std::atoi(argv[i + 1]);
    }
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "druv-builder-timing-" + std::to_string(GetCurrentProcessId()) + ".druv";
    ScopedMessageBoxHandler boxes([](const MessageBoxRequest& request) {
        std::fprintf(stderr, "message: %s\n", request.text ? request.text : "");
        return MessageAnswer::No;
    });
    if (!WriteLargeDefinition(path, templates, configurations)) {
        std::fprintf(stderr, "could not write %s\n", path.c_str());
        return 1;
    }
    ScopedFileDialogHandler dialogs([&path](const FileDialogRequest&) {
        return FileDialogResult{FileDialogOutcome::Chosen, {path}};
    });

    // The file alone, read without a window, for comparison.
    const LARGE_INTEGER readStart = Now();
    {
        DRUVDevice alone;
        alone.SetFilePath(path.c_str());
        alone.LoadDefinition();
    }
    const LARGE_INTEGER readEnd = Now();

    InitialiseFrameControls();
    CDRUVTemplateBuilderDlg dialog;
    if (!dialog.Create(GetModuleHandleW(nullptr))) return 1;
    HWND window = dialog.Window();
    dialog.Show();
    dialog.Loop().PumpPending();

    const LARGE_INTEGER start = Now();
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(builder_commands::kOpen, BN_CLICKED), 0);
    UpdateWindow(window);
    dialog.Loop().PumpPending();
    const LARGE_INTEGER opened = Now();
    Select(window, ids::kConfigurations, configurations / 2);
    Select(window, ids::kTemplates, templates / 2);
    UpdateWindow(window);
    dialog.Loop().PumpPending();
    const LARGE_INTEGER shown = Now();
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(builder_commands::kSave, BN_CLICKED), 0);
    dialog.Loop().PumpPending();
    const LARGE_INTEGER saved = Now();

    const DRUVDevice& device = dialog.Builder().Device();
    std::printf("%d templates, %d configurations (%zu and %zu in the window)\n", templates, configurations,
                device.TemplateCount(), device.ConfigurationCount());
    std::printf("reading the file alone:               %8.1f ms\n", Milliseconds(readStart, readEnd));
    std::printf("open and show:                        %8.1f ms\n", Milliseconds(start, opened));
    std::printf("choose a configuration and a template: %8.1f ms\n", Milliseconds(opened, shown));
    std::printf("store and save:                       %8.1f ms\n", Milliseconds(shown, saved));
    DeleteFileA(path.c_str());
    return device.TemplateCount() == static_cast<size_t>(templates) ? 0 : 1;
}
