#include "tools/druv_session/session.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "plugin/host/midi_filter.h"
#include "testhost/instrument_rig.h"
#include "druvhost/host/project_stream.h"
#include "druvhost/host/host_object.h"
#include "tools/druv_session/console_progress.h"

namespace {

using druv::simulator::InstrumentMemory;
using druv::simulator::SimulatedInstrument;
using Seconds = std::chrono::duration<double>;

constexpr uint32_t kInPort = 1;
constexpr uint32_t kOutPort = 2;
// The plug-in's class identifier does not matter outside a host's registry.
constexpr GUID kSessionClass = {0x6D0A3C51, 0x2E47, 0x4B8A, {0x9F, 0x10, 0x3B, 0x7E, 0x55, 0xC2, 0x08, 0x91}};

struct FilterRelease {
    void operator()(CMidiFilter* filter) const { filter->Release(); }
};
using FilterPtr = std::unique_ptr<CMidiFilter, FilterRelease>;

// A plug-in instance connected to the host and to the instrument behind `rig`,
// with the instrument's ports chosen as a user would on the editor page.
FilterPtr OpenFilter(const std::string& path, druvhost::HostObject& host, testhost::InstrumentRig& rig) {
    FilterPtr filter(new (std::nothrow) CMidiFilter(kSessionClass, path.c_str()));
    if (!filter) return nullptr;
    uint32_t flags = 0;
    filter->Initialise(host.Unknown(), &rig.MidiOut(), 0, 0, &flags);
    void* events = nullptr;
    if (filter->QueryInterface(IID_IMPEventFilter, &events) == S_OK) {
        rig.Input().Connect(static_cast<IMPEventFilter*>(events));
        static_cast<IMPEventFilter*>(events)->Release();
    }
    return filter;
}

void CloseFilter(FilterPtr filter, testhost::InstrumentRig& rig) {
    rig.Input().Connect(nullptr);
    filter->Terminate();
}

// Runs a transfer on a thread of its own, as a host does, and reports its
// duration in seconds.
double TransferOnHostThread(CMidiFilter& filter, uint32_t transmit, IMPProgressSink& sink) {
    const auto start = std::chrono::steady_clock::now();
    std::thread host([&] { filter.Transfer(transmit, &sink, 0); });
    host.join();
    return Seconds(std::chrono::steady_clock::now() - start).count();
}

void PrintRate(std::ostream& out, uint32_t bytes, double seconds) {
    char line[128];
    const double rate = seconds > 0 ? bytes / seconds : 0;
    std::snprintf(line, sizeof line, "%u bytes in %.1f s, %.0f bytes/s (%.0f%% of the MIDI wire rate)", bytes, seconds,
                  rate, 100.0 * rate / druv::simulator::kWireBytesPerSecond);
    out << line;
}

}  // namespace

SessionResult RunSession(const std::string& definitionPath, std::ostream& out) {
    SessionResult result;
    DRUVDevice device;
    device.SetFilePath(definitionPath.c_str());
    if (device.LoadDefinition() != 0 || device.TemplateCount() == 0) {
        out << "cannot use " << definitionPath << ": no templates\n";
        return result;
    }
    const uint8_t firstId = device.SysXChanMin();
    const bool hasId = device.SysXChanOfs() != 0 && device.SysXChanMax() > firstId;
    const uint8_t secondId = hasId ? static_cast<uint8_t>(firstId + 1) : firstId;

    out << "== " << device.Company() << " " << device.Product() << " (" << definitionPath << ")\n";
    druvhost::HostObject host;
    host.SetPorts(MP_PORT_INPUT, {{kInPort, druvhost::MakePortId(0x11), u"Simulated MIDI in"}});
    host.SetPorts(MP_PORT_OUTPUT, {{kOutPort, druvhost::MakePortId(0x22), u"Simulated MIDI out"}});

    SimulatedInstrument::Settings firstSettings;
    firstSettings.deviceId = firstId;
    firstSettings.seed = 1;
    SimulatedInstrument::Settings secondSettings;
    secondSettings.deviceId = secondId;
    secondSettings.seed = 2;  // other contents, so that a copy shows
    testhost::InstrumentRig first(device, firstSettings, kOutPort, kInPort);
    testhost::InstrumentRig second(device, secondSettings, kOutPort, kInPort);
    IStream* project = druvhost::CreateProjectStream();
    if (project == nullptr) return result;

    ConsoleProgress receiveProgress(out);
    {
        out << "  receive from instrument 1 (device ID " << int(firstId) << "):\n";
        FilterPtr filter = OpenFilter(definitionPath, host, first);
        if (!filter) return result;
        filter->Data().InPortId = druvhost::MakePortId(0x11);
        filter->Data().OutPortId = druvhost::MakePortId(0x22);
        filter->RefreshPorts();
        const double seconds = TransferOnHostThread(*filter, 0, receiveProgress);
        uint32_t stored = 0;
        int holding = 0;
        for (const auto& item : filter->Data().Items) {
            stored += static_cast<uint32_t>(item->Length.load());
            holding += item->HasData() ? 1 : 0;
        }
        out << "  " << holding << " of " << filter->Data().Items.size() << " items hold data; ";
        PrintRate(out, stored, seconds);
        out << "\n";
        if (filter->Save(project, TRUE) != S_OK) {
            out << "  saving the project failed\n";
            project->Release();
            return result;
        }
        out << "  saved with the project: " << druvhost::StreamBytes(project).size() << " bytes\n";
        CloseFilter(std::move(filter), first);
    }

    ConsoleProgress transmitProgress(out);
    {
        FilterPtr filter = OpenFilter(definitionPath, host, second);
        if (!filter) return result;
        druvhost::RewindStream(project);
        if (filter->Load(project) != S_OK) {
            out << "  loading the project failed\n";
            project->Release();
            return result;
        }
        out << "  project loaded into a fresh plug-in; ports found again: "
            << (filter->Data().InPort.load() == kInPort && filter->Data().OutPort.load() == kOutPort ? "yes" : "no")
            << "\n";
        filter->Data().DeviceId = secondId;
        out << "  transmit to instrument 2 (device ID " << int(secondId) << "):\n";
        const double seconds = TransferOnHostThread(*filter, 1, transmitProgress);
        second.Instrument().WaitUntilIdle(std::chrono::seconds(10));
        out << "  ";
        PrintRate(out, transmitProgress.BytesDone(), seconds);
        out << "\n";
        CloseFilter(std::move(filter), second);
    }
    project->Release();

    const InstrumentMemory expected = druv::simulator::MemoryRenewedFor(first.Instrument(), secondId);
    const InstrumentMemory held = second.Instrument().Memory();
    for (size_t t = 0; t < expected.TemplateCount(); ++t)
        for (int loop = 0; loop < expected.LoopCount(t); ++loop)
            if (expected.Slot(t, loop) != held.Slot(t, loop)) ++result.mismatchedLoops;
    const SimulatedInstrument::Counts counts = second.Instrument().GetCounts();
    result.refusedMessages = counts.refusedWrongDeviceId + counts.refusedBadChecksum;
    result.completed = true;
    result.identical = result.mismatchedLoops == 0 && result.refusedMessages == 0;
    out << "  instrument 2 now holds instrument 1's dumps with its own device ID and valid checksums: "
        << (result.identical ? "yes" : "NO") << " (" << result.mismatchedLoops << " loops differ, "
        << result.refusedMessages << " messages refused)\n";
    return result;
}
