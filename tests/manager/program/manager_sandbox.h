// A copy of the manager program in a fresh temporary folder whose name has
// blanks (so that unquoted paths break), definition files with identifiers
// made for this run, and the registry entries their installs write, all
// removed again when the sandbox goes. The stored instrument list, the
// ".druv" association and the editor class are saved when the sandbox is
// made and put back afterwards.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/com_base.h"
#include "platform/wide_text.h"
#include "tests/manager/registry_tree.h"

constexpr wchar_t kStoredListKey[] = L"SOFTWARE\\Tavrel\\Lindqor\\DRUV";
constexpr wchar_t kAssociationKey[] = L".druv";
constexpr wchar_t kEditorClassKey[] = L"CLSID\\{5464D9CE-17FD-4E28-A451-79A27E39BBC4}";

// One definition file written for this run.
struct TestDefinition {
    std::wstring path;  // full path
    GUID device{};
    std::string company;
    std::string product;
    std::string DisplayName() const { return company + " " + product; }
};

std::wstring BracedGuidText(const GUID& guid);
// The full path of `path`, with backslashes.
std::wstring FullPath(const std::wstring& path);
// HKCR\CLSID\{D} and HKLM\...\Plugins\{D} of a device.
std::wstring DeviceClassKey(const GUID& device);
std::wstring HostPluginKey(const GUID& device);

class ManagerSandbox {
public:
    // Makes the folder "<temp>\<label> <GUID>" and saves the registry keys the
    // program writes to. Ok() tells whether the folder could be made.
    explicit ManagerSandbox(const std::wstring& label);
    ~ManagerSandbox();
    ManagerSandbox(const ManagerSandbox&) = delete;
    ManagerSandbox& operator=(const ManagerSandbox&) = delete;

    bool Ok() const { return !folder_.empty(); }
    const std::wstring& Folder() const { return folder_; }
    // A subfolder (made when missing).
    std::wstring Subfolder(const std::wstring& name) const;

    // Copies the program and what the build puts beside it (DRUV.dll,
    // DRUVManager.ico) into Folder(); the copied program's full path, or
    // empty (with the reason in `error`) when a file is missing.
    std::wstring CopyProgram(const std::wstring& builtProgram, std::wstring& error);
    // The built manager copied as above, with an empty stored list, so that
    // every start does the same work; empty, the reason written to the error
    // stream, when the copy could not be made.
    std::wstring CopyManagerWithEmptyList();

    // Eight hexadecimal digits of this run, for names no earlier run used.
    const std::wstring& RunTag() const { return run_tag_; }
    // Deletes the stored instrument list, so that the program starts with an
    // empty one (it is put back when the sandbox goes).
    void ClearStoredList() const { DeleteRegistryTree(HKEY_CURRENT_USER, kStoredListKey); }

    // Writes a definition with a new DeviceGUID and EditorGUID into `folder`.
    // The entries an install of it writes are deleted when the sandbox goes.
    // An empty path when it could not be written.
    TestDefinition WriteDefinition(const std::wstring& folder, const std::wstring& fileName,
                                   const std::string& company, const std::string& product);
    // Takes the company and product from an existing definition file.
    TestDefinition CopyDefinition(const std::wstring& folder, const std::wstring& fileName,
                                  const std::wstring& source);

private:
    TestDefinition Save(const std::wstring& path, const std::string& company, const std::string& product);

    std::wstring folder_;
    std::wstring run_tag_;
    std::vector<GUID> classes_;   // device and editor classes written for this run
    std::vector<GUID> devices_;   // their host plug-in keys
    std::vector<std::unique_ptr<RegistryKeyKeeper>> kept_;
    // Parent keys the program creates on its way that were not there before;
    // deleted afterwards if empty.
    std::vector<std::pair<HKEY, std::wstring>> new_parents_;
};
