// The manager's install and remove speed over the system registry: 100
// distinct definitions installed one by one through the manager's core, then
// Remove All, timed with the performance counter; prints each round and the
// median over the rounds (3 unless a count is given as the argument), after
// one warm-up round that is not counted.
//
// RUN IT ONLY IN A THROW-AWAY WINE PREFIX OF ITS OWN. Every install writes
// HKCR\CLSID\{device}, the editor page's class HKCR\CLSID\{5464D9CE-...}, the
// host's HKLM\Software\Tavrel\ZN3\Plugins\{device} and the per-user list
// HKCU\SOFTWARE\Tavrel\Lindqor\DRUV. The program therefore refuses to run
// outside Wine, and in a prefix where the editor page's class or the list
// already exist (DRUV is installed there); it makes fresh GUIDs each run and,
// before it ends, deletes every key it created, including the editor page's
// class that Remove All keeps. scripts/bench-manager.sh builds it, makes a
// prefix under /tmp with a Wine server of its own, runs it there and deletes
// the prefix afterwards:
//     scripts/bench-manager.sh            (both measurements)
//     scripts/bench-manager.sh --wine     (this one only)
// Built only by the windows preset, and only as its own target:
//     cmake --build build/windows -j2 --target manager_registry_bench
// Not a test: CTest does not know it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/manager_workload.h"
#include "manager/host_registration.h"
#include "manager/host_registry_layout.h"
#include "platform/file_system.h"
#include "platform/guid.h"
#include "platform/registry_editor.h"

namespace {

constexpr size_t kDefinitions = 100;
constexpr int kDefaultRounds = 3;

double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / ticksPerMs;
}

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// A key this run may create along the way, and whether it was there before.
struct AncestorKey {
    RegistryRoot root;
    std::string path;
    bool existedBefore;
};

// The keys above the host's plug-in keys and above the stored list, deepest
// last, as they are before the run.
std::vector<AncestorKey> AncestorsBefore(RegistryEditor& registry) {
    std::vector<AncestorKey> keys;
    // Below the first level ("Software" is always there) down to `deepest`.
    const auto addDownTo = [&](RegistryRoot root, const std::string& deepest) {
        for (size_t end = deepest.find('\\'); end != std::string::npos; end = deepest.find('\\', end + 1)) {
            const size_t next = deepest.find('\\', end + 1);
            const std::string path = deepest.substr(0, next);
            keys.push_back({root, path, registry.KeyExists(root, path)});
        }
    };
    addDownTo(kHostPluginsRoot, kHostPluginsKeyPath);
    addDownTo(kInstrumentListRoot, FolderOfPath(kInstrumentListKeyPath));
    return keys;
}

// Deletes what the rounds wrote and the keys created along the way; true when
// none of it is left.
bool RemoveWhatTheRunWrote(RegistryEditor& registry, const DefinitionFolder& definitions,
                           const std::vector<AncestorKey>& ancestors) {
    bool clean = true;
    for (size_t i = 0; i < definitions.Count(); ++i) {
        const GUID& device = definitions.DeviceGuids()[i];
        clean = DeleteKeyTree(registry, RegistryRoot::ClassesRoot, ClassKeyPath(device)) && clean;
        clean = DeleteKeyTree(registry, RegistryRoot::ClassesRoot, ClassKeyPath(definitions.EditorGuids()[i])) && clean;
        clean = DeleteKeyTree(registry, RegistryRoot::LocalMachine, HostPluginKeyPath(device)) && clean;
    }
    // Remove All keeps the editor page's class for other installs; there are
    // none in this prefix, and it was not there before.
    clean = DeleteKeyTree(registry, RegistryRoot::ClassesRoot, ClassKeyPath(kPropPageClassId)) && clean;
    clean = DeleteKeyTree(registry, RegistryRoot::CurrentUser, kInstrumentListKeyPath) && clean;
    for (auto key = ancestors.rbegin(); key != ancestors.rend(); ++key) {
        if (key->existedBefore || !registry.KeyExists(key->root, key->path)) continue;
        std::string subkey;
        if (registry.SubkeyName(key->root, key->path, 0, subkey)) continue;  // someone else's keys below
        clean = registry.DeleteKey(key->root, key->path) && clean;
    }
    return clean;
}

void PrintRound(int round, const RoundTimes& times) {
    const double count = static_cast<double>(times.installMs.size());
    std::printf("%s %d: %zu installs %.1f ms (%.3f ms each; 1st %.3f ms, %zuth %.3f ms), "
                "Remove All %.1f ms (%.3f ms per removal), %zu boxes answered\n",
                round == 0 ? "warm-up round" : "round", round, times.installMs.size(), times.TotalInstallMs(),
                times.TotalInstallMs() / count,
                times.installMs.front(), times.installMs.size(), times.installMs.back(), times.removeAllMs,
                times.removeAllMs / count, times.boxes);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : kDefaultRounds;
    if (rounds < 1) {
        std::fprintf(stderr, "usage: manager_registry_bench [rounds, at least 1; default %d]\n", kDefaultRounds);
        return 2;
    }
    if (!RunningUnderWine()) {
        std::fprintf(stderr, "refused: this writes to the system registry and runs only in a throw-away Wine prefix\n");
        return 2;
    }
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix == nullptr || *prefix == '\0') {
        std::fprintf(stderr, "refused: WINEPREFIX is not set; give the run a throw-away prefix of its own\n");
        return 2;
    }
    RegistryEditor& registry = SystemRegistryEditor();
    if (registry.KeyExists(RegistryRoot::ClassesRoot, ClassKeyPath(kPropPageClassId)) ||
        registry.KeyExists(RegistryRoot::CurrentUser, kInstrumentListKeyPath)) {
        std::fprintf(stderr, "refused: DRUV is installed in the Wine prefix %s; use a fresh prefix\n", prefix);
        return 2;
    }
    std::printf("system registry of the throw-away Wine prefix %s; everything written is removed at the end\n",
                prefix);

    const std::vector<AncestorKey> ancestors = AncestorsBefore(registry);
    const DefinitionFolder definitions(kDefinitions, [](GUID& guid) { return CreateGuid(guid); });
    if (!definitions.Ready()) {
        std::fprintf(stderr, "%s\n", definitions.Problem().c_str());
        return 1;
    }
    std::printf("%zu definitions with fresh GUIDs in %s\n", definitions.Count(), definitions.Folder().c_str());

    std::vector<double> installMs, removalMs, firstMs, lastMs;
    bool failed = false;
    // Round 0 warms up what a first round would pay for alone (the
    // prefix's services still settling after boot, the first registry keys
    // of their kind, the first file reads); it is shown but not counted.
    for (int round = 0; round <= rounds && !failed; ++round) {
        RoundTimes times;
        std::string problem;
        if (!RunInstallRemoveRound(registry, definitions, NowMs, times, problem)) {
            std::fprintf(stderr, "round %d failed: %s\n", round, problem.c_str());
            failed = true;
            break;
        }
        PrintRound(round, times);
        std::fflush(stdout);
        if (round == 0) continue;
        const double count = static_cast<double>(definitions.Count());
        installMs.push_back(times.TotalInstallMs() / count);
        removalMs.push_back(times.removeAllMs / count);
        firstMs.push_back(times.installMs.front());
        lastMs.push_back(times.installMs.back());
    }

    const bool clean = RemoveWhatTheRunWrote(registry, definitions, ancestors);
    if (!clean) std::fprintf(stderr, "some keys of this run could not be removed from the prefix %s\n", prefix);
    if (failed || !clean) return 1;
    std::printf("median of %d round(s): %.3f ms per install, %.3f ms per removal; 1st install %.3f ms, %zuth %.3f ms\n",
                rounds, Median(installMs), Median(removalMs), Median(firstMs), definitions.Count(), Median(lastMs));
    std::printf("registry left as found\n");
    return 0;
}
