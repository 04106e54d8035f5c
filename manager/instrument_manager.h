// The manager's work behind its window: installing definition files into the
// host, removing them, and keeping the per-user list of installed
// instruments. The window owns one InstrumentManager for its whole life,
// mirrors List() in its list control, pushes the user's selection in with
// SetSelected, and applies UpdateButtons(List()) whenever the list-changed
// handler runs. Every outcome the user must hear of is shown here in a
// message box (caption "DRUV Manager"); the calls return nothing to report.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "device/druv_device.h"
#include "manager/instrument_list.h"
#include "manager/path_comparison.h"
#include "platform/registry_editor.h"

// What the manager needs from its surroundings, handed in rather than looked
// up, so that tests can answer every part of it.
struct ManagerEnvironment {
    RegistryEditor& registry;
    // The folder of the manager's executable, without a trailing backslash;
    // DRUV.dll is expected there.
    std::string managerFolder;
    std::function<bool(const std::string& path)> fileExists;
    // `path` made absolute against the current folder.
    std::function<std::string(const std::string& path)> absolutePath;
    // Whether two paths name one file (optional): lets the manager know its
    // own entries in another spelling, such as short names.
    SameFileFunction sameFile = nullptr;
};

class InstrumentManager {
public:
    explicit InstrumentManager(ManagerEnvironment environment);
    InstrumentManager(const InstrumentManager&) = delete;
    InstrumentManager& operator=(const InstrumentManager&) = delete;

    // Owner window of every message box, the manager's own and those the
    // definition reader shows (an HWND on Windows); null by default. A box
    // without an owner would leave the window free to close under it.
    void SetMessageOwner(void* owner);
    // Runs after every change of the list's items or of its selection made
    // here (an install, a removal, loading); the window refreshes its copy
    // and its buttons then.
    void SetListChangedHandler(std::function<void()> handler) { list_changed_ = std::move(handler); }

    const InstrumentList& List() const { return list_; }
    // managerFolder + "\DRUV.dll".
    std::string PluginPath() const;

    // The user's selection, as the window's list control reports it. False
    // for an index outside the list. These do not run the list-changed
    // handler: the window made the change itself.
    bool SetSelected(size_t index, bool selected) { return list_.SetSelected(index, selected); }
    void DeselectAll() { list_.DeselectAll(); }

    // Installs the definition file at `path` and shows the outcome in one
    // message box (none for an empty path; only the reader's own box for a
    // file that cannot be read).
    void InstallDevice(const std::string& path);
    // Installs each file in turn, as from the command line, and stops when
    // the window has closed meanwhile. Called while an install or a removal
    // is under way (from within one of its message boxes), it only adds the
    // files to those waiting, which are installed when that has ended.
    void InstallDevices(const std::vector<std::string>& paths);

    // The window is closing: the list is let go of without touching the
    // registry (RemoveEntries(true)), and from now on nothing is installed,
    // removed or saved, so that an operation whose message box outlived the
    // window cannot write what the window no longer shows.
    void Close();
    bool Closed() const { return closed_; }

    // Replaces the list's items with the stored list (the window calls it once,
    // at start).
    void LoadInstrumentList();
    // Writes the list to the stored list; false (after a box) when refused,
    // and false without writing once the window has closed.
    bool SaveInstrumentList();

    // all false: removes the selected items and those of their host entries
    // that are positively this manager's (entry_ownership.h). An item whose
    // entries the registry would not let go of stays in the list, and one
    // error box names all such items. An item whose record names entries
    // that are not ours is taken off the list with nothing deleted, and one
    // warning box names all such items and why. all true: empties the list
    // without touching the registry (the window closing).
    void RemoveEntries(bool all);

    // The Remove and Remove All commands: ask first; on Yes remove (the
    // selected items, or every item) and rewrite the stored list.
    void Remove();
    void RemoveAll();

private:
    enum class Unregistered { Removed, Refused, NotOurs };

    void ListChanged();
    void ShowError(const std::string& text);
    // Remove and Remove All: `everything` selects every item first.
    void RemoveWhenConfirmed(const char* question, bool everything);
    // Installs the waiting files in turn until none is left or the window has
    // closed.
    void InstallWaiting();
    // Deletes the host entries of the item at `index` that are ours, keeping
    // what another listed item still needs. Refused when something that
    // should have gone is still there; NotOurs, with the reason, when the
    // record names an entry that is not ours, and then nothing is deleted.
    Unregistered UnregisterDevice(size_t index, std::string& notOurs);
    // The lines about missing companion files of the device just installed,
    // each ending in a blank line; empty when nothing is missing.
    std::string InstallProblems() const;
    // Takes back the entries of an install that the registry refused part of.
    void RollBackInstall(const GUID& deviceGuid);
    // Whether the definition loaded into device_ may be installed: it has an
    // identity of its own, and no class it would write belongs to another
    // program. Shows why not when it may not.
    bool MayInstall(const std::string& path, const std::string& displayName);

    ManagerEnvironment environment_;
    DRUVDevice device_;
    InstrumentList list_;
    void* owner_ = nullptr;
    std::function<void()> list_changed_;
    std::vector<std::string> waiting_;
    bool busy_ = false;  // an install or a removal is under way
    bool closed_ = false;
};
