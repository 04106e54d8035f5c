#include "tests/manager/program/manager_sandbox.h"

#include <cstdio>
#include <filesystem>

#include "device/druv_device.h"
#include "platform/guid.h"

namespace {

constexpr wchar_t kHostPluginsKey[] = L"Software\\Tavrel\\ZN3\\Plugins\\";
// The parents of the keys the program writes, deepest first.
const std::pair<HKEY, const wchar_t*> kParentKeys[] = {
    {HKEY_LOCAL_MACHINE, L"Software\\Tavrel\\ZN3\\Plugins"}, {HKEY_LOCAL_MACHINE, L"Software\\Tavrel\\ZN3"},
    {HKEY_LOCAL_MACHINE, L"Software\\Tavrel"},               {HKEY_CURRENT_USER, L"SOFTWARE\\Tavrel\\Lindqor"},
    {HKEY_CURRENT_USER, L"SOFTWARE\\Tavrel"}};
// What the build puts beside the program, and the program needs beside itself.
const wchar_t* const kCompanionFiles[] = {L"DRUV.dll", L"DRUVManager.ico"};

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring FileNameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::wstring BracedGuidText(const GUID& guid) {
    char text[kBracedGuidLength + 1] = {};
    FormatBracedGuid(guid, text, sizeof text);
    return WideText(text);
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 2, buffer, nullptr);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(buffer, length) : path;
}

std::wstring DeviceClassKey(const GUID& device) { return L"CLSID\\" + BracedGuidText(device); }
std::wstring HostPluginKey(const GUID& device) { return kHostPluginsKey + BracedGuidText(device); }

ManagerSandbox::ManagerSandbox(const std::wstring& label) {
    for (const auto& [root, path] : kParentKeys)
        if (!RegistryKeyExists(root, path)) new_parents_.emplace_back(root, path);
    kept_.push_back(std::make_unique<RegistryKeyKeeper>(HKEY_CURRENT_USER, kStoredListKey));
    kept_.push_back(std::make_unique<RegistryKeyKeeper>(HKEY_CLASSES_ROOT, kAssociationKey));
    kept_.push_back(std::make_unique<RegistryKeyKeeper>(HKEY_CLASSES_ROOT, kEditorClassKey));
    GUID run{};
    wchar_t temp[MAX_PATH + 1] = {};
    if (!CreateGuid(run) || GetTempPathW(MAX_PATH + 1, temp) == 0) return;
    run_tag_ = BracedGuidText(run).substr(1, 8);
    std::wstring folder = FullPath(std::wstring(temp) + label + L" " + BracedGuidText(run));
    if (CreateDirectoryW(folder.c_str(), nullptr)) folder_ = folder;
}

ManagerSandbox::~ManagerSandbox() {
    for (const GUID& device : classes_) DeleteRegistryTree(HKEY_CLASSES_ROOT, DeviceClassKey(device));
    for (const GUID& device : devices_) DeleteRegistryTree(HKEY_LOCAL_MACHINE, HostPluginKey(device));
    kept_.clear();  // puts the saved keys back
    // RegDeleteKeyW leaves a key that still has subkeys.
    for (const auto& [root, path] : new_parents_) RegDeleteKeyW(root, path.c_str());
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(folder_), ignored);
    }
}

std::wstring ManagerSandbox::Subfolder(const std::wstring& name) const {
    const std::wstring path = folder_ + L"\\" + name;
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

std::wstring ManagerSandbox::CopyManagerWithEmptyList() {
    std::wstring error;
    const std::wstring program = Ok() ? CopyProgram(WideText(DRUV_MANAGER_PROGRAM), error) : L"";
    if (program.empty()) {
        std::fprintf(stderr, "%s\n", Utf8Text(error).c_str());
        return program;
    }
    ClearStoredList();
    return program;
}

std::wstring ManagerSandbox::CopyProgram(const std::wstring& builtProgram, std::wstring& error) {
    const std::wstring source = FullPath(builtProgram);
    const std::wstring sourceFolder = FolderOf(source);
    const std::wstring program = folder_ + L"\\" + FileNameOf(source);
    if (!CopyFileW(source.c_str(), program.c_str(), FALSE)) {
        error = L"cannot copy " + source + L" (error " + std::to_wstring(GetLastError()) + L")";
        return L"";
    }
    for (const wchar_t* name : kCompanionFiles) {
        const std::wstring from = sourceFolder + L"\\" + name;
        if (!CopyFileW(from.c_str(), (folder_ + L"\\" + name).c_str(), FALSE)) {
            error = L"cannot copy " + from + L", which the build puts beside the program (error " +
                    std::to_wstring(GetLastError()) + L")";
            return L"";
        }
    }
    return program;
}

TestDefinition ManagerSandbox::WriteDefinition(const std::wstring& folder, const std::wstring& fileName,
                                               const std::string& company, const std::string& product) {
    return Save(folder + L"\\" + fileName, company, product);
}

TestDefinition ManagerSandbox::CopyDefinition(const std::wstring& folder, const std::wstring& fileName,
                                              const std::wstring& source) {
    DRUVDevice original;
    original.SetFilePath(Utf8Text(FullPath(source)).c_str());
    if (original.LoadDefinition() != 0) return TestDefinition{};
    return Save(folder + L"\\" + fileName, original.Company(), original.Product());
}

TestDefinition ManagerSandbox::Save(const std::wstring& path, const std::string& company,
                                    const std::string& product) {
    TestDefinition definition;
    GUID editor{};
    if (!CreateGuid(definition.device) || !CreateGuid(editor)) return definition;
    classes_.push_back(definition.device);
    classes_.push_back(editor);
    devices_.push_back(definition.device);
    definition.company = company;
    definition.product = product;

    DRUVDevice device;
    device.SetFilePath(Utf8Text(path).c_str());
    device.SetCompany(company.c_str());
    device.SetProduct(product.c_str());
    device.SetDeviceGUID(definition.device);
    device.SetEditorGUID(editor);
    if (device.SaveDefinition() == 1) definition.path = FullPath(path);
    return definition;
}
