// Which registry entries are the manager's own to overwrite or delete. The
// stored instrument list lies in the user's part of the registry, which any
// program the user runs may write; the entries a record names lie in the
// machine's part, which only an administrator changes. So a record alone
// never decides what the manager deletes: an entry goes only when it is
// positively what an install of this manager wrote, and a class that
// anything else serves or describes is never overwritten.
#pragma once

#include <functional>
#include <string>

#include "manager/instrument_record.h"
#include "manager/path_comparison.h"
#include "platform/com_base.h"
#include "platform/registry_editor.h"

// Whether an InprocServer32 value names the plug-in file in question.
using ServerMatcher = std::function<bool(const std::string& server)>;

// The DRUV.dll beside this manager: its full path, compared as paths are
// (SamePath), so that another spelling of it is still recognised.
ServerMatcher ThisPlugin(const std::string& pluginPath, const SameFileFunction& sameFile);
// Any file named DRUV.dll, in any folder and letter case: a copy of the
// plug-in, which may serve the editor page class that every copy registers
// alike.
ServerMatcher AnyCopyOfThePlugin();

enum class ClassState {
    Absent,    // no such class key
    Unserved,  // the key is there with nothing that serves or describes the class
    Ours,      // served in process by the matching file, and by nothing else
    Foreign,   // anything else is there
};

struct ClassInspection {
    ClassState state = ClassState::Absent;
    // For Foreign, what makes it so: the other server's file for an
    // InprocServer32 that names one, otherwise the entry with its value
    // ("LocalServer32 C:\Program\server.exe", "AppID {...}").
    std::string foreignEntry;
};

// What HKCR\CLSID\{class} holds, judged against what an install writes there:
// a default name and an InprocServer32 subkey (its default the server's
// file, "ThreadingModel"), nothing else. Any other subkey (LocalServer32,
// InprocHandler32, TreatAs, ProgID, ...), a subkey below InprocServer32, an
// InprocServer32 naming no file or another file, or an "AppID" value makes
// the class another program's.
ClassInspection InspectClass(RegistryEditor& registry, const GUID& classId, const ServerMatcher& ours);

// What removing one listed instrument deletes: each entry its record names
// that is there and positively ours. When any entry it names is there and is
// not ours, nothing is deleted and `notOurs` says why.
struct RemovalPlan {
    bool deviceClass = false;
    bool editorClass = false;
    bool hostEntry = false;
    std::string notOurs;
};

struct RemovalContext {
    RegistryEditor& registry;
    ServerMatcher ours;
    SameFileFunction sameFile;
    // Another listed item holds the record's device GUID (its entries are
    // shared, and stay), or holds its editor GUID as its device.
    bool deviceShared = false;
    bool editorShared = false;
};

// The host's entry (HKLM\...\Plugins\{device}) is ours when its "DevicePath"
// is the path the record keeps. A record of an earlier version keeps no
// path; its host entry is ours when the device's class is ours, since the
// host reaches that entry only through the class.
RemovalPlan PlanRemoval(const RemovalContext& context, const InstrumentRecord& record);
