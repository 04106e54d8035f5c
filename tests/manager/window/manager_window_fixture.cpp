#include "tests/manager/window/manager_window_fixture.h"

#include <commctrl.h>
#include <objbase.h>

#include "platform/file_system.h"
#include "platform/wide_text.h"
#include "platform/registry_editor.h"
#include "tests/manager/registry_tree.h"

namespace {

const wchar_t kListKey[] = L"SOFTWARE\\Tavrel\\Lindqor\\DRUV";

// The keys the window writes besides those of the run's own devices: the
// stored list, the association and the editor page's class.
const std::vector<std::pair<HKEY, std::wstring>> kRestored{
    {HKEY_CURRENT_USER, kListKey},
    {HKEY_CLASSES_ROOT, L".druv"},
    {HKEY_CLASSES_ROOT, L"CLSID\\{5464D9CE-17FD-4E28-A451-79A27E39BBC4}"}};
// The keys above them that the installs make, deepest first.
const std::vector<std::pair<HKEY, std::wstring>> kParents{
    {HKEY_CURRENT_USER, L"SOFTWARE\\Tavrel\\Lindqor"},
    {HKEY_CURRENT_USER, L"SOFTWARE\\Tavrel"},
    {HKEY_LOCAL_MACHINE, L"Software\\Tavrel\\ZN3\\Plugins"},
    {HKEY_LOCAL_MACHINE, L"Software\\Tavrel\\ZN3"},
    {HKEY_LOCAL_MACHINE, L"Software\\Tavrel"}};

// Those keys as they were before this test program ran, put back when it ends.
class SavedRegistry : public ::testing::Environment {
public:
    void SetUp() override {
        for (const auto& [root, path] : kRestored) saved_.push_back(ReadRegistryTree(root, path));
        for (const auto& [root, path] : kParents) parentsBefore_.push_back(ReadRegistryTree(root, path).exists);
    }
    void TearDown() override {
        for (size_t i = 0; i < kRestored.size(); ++i) WriteRegistryTree(kRestored[i].first, kRestored[i].second, saved_[i]);
        // A parent goes only when it is empty: other tests may have put keys
        // of their own there meanwhile.
        for (size_t i = 0; i < kParents.size(); ++i)
            if (!parentsBefore_[i]) RegDeleteKeyW(kParents[i].first, kParents[i].second.c_str());
    }

private:
    std::vector<RegistryTree> saved_;
    std::vector<bool> parentsBefore_;
};

const auto* const saved_registry = ::testing::AddGlobalTestEnvironment(new SavedRegistry);

}  // namespace

std::wstring GuidText(const GUID& guid) {
    wchar_t text[39] = {};
    StringFromGUID2(guid, text, 39);
    return text;
}

std::wstring ClassKey(const GUID& guid) { return L"CLSID\\" + GuidText(guid); }
std::wstring PluginKey(const GUID& guid) { return L"Software\\Tavrel\\ZN3\\Plugins\\" + GuidText(guid); }

void ManagerWindowTest::SetUp() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string plugin = DRUV_PLUGIN_DLL;
    for (char& c : plugin)
        if (c == '/') c = '\\';
    managerFolder = FolderOfPath(plugin);
    // Each test starts from an empty stored list.
    DeleteRegistryTree(HKEY_CURRENT_USER, kListKey);
    dialogs = std::make_unique<ScopedFileDialogHandler>([this](const FileDialogRequest& request) {
        dialogRequests.push_back(request);
        return dialogAnswer;
    });
}

void ManagerWindowTest::TearDown() {
    dialog.reset();
    dialogs.reset();
    for (const TestDevice& device : devices) {
        DeleteRegistryTree(HKEY_CLASSES_ROOT, ClassKey(device.device));
        DeleteRegistryTree(HKEY_CLASSES_ROOT, ClassKey(device.editor));
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, PluginKey(device.device));
    }
    CoFreeUnusedLibraries();
    CoUninitialize();
}

TestDevice ManagerWindowTest::MakeDevice(const std::string& product, int deviceType) {
    TestDevice made{};
    CoCreateGuid(&made.device);
    CoCreateGuid(&made.editor);
    made.deviceType = deviceType;
    // A company of this run's own, so that no stored name clashes.
    const std::string company = "Test " + Utf8Text(GuidText(made.device)).substr(1, 8);
    made.displayName = company + " " + product;
    made.path = folder.File(product + ".druv");
    DRUVDevice device;
    device.SetFilePath(made.path.c_str());
    device.SetCompany(company.c_str());
    device.SetProduct(product.c_str());
    device.SetDeviceGUID(made.device);
    device.SetEditorGUID(made.editor);
    device.SetDeviceType(deviceType);
    EXPECT_EQ(1, device.SaveDefinition());
    devices.push_back(made);
    return made;
}

void ManagerWindowTest::Open(const std::vector<std::string>& commandLineFiles) {
    ManagerEnvironment environment{SystemRegistryEditor(), managerFolder, FileExists, AbsolutePath, SameFile};
    ManagerWindowStart start{ModuleFilePath(), commandLineFiles,
                             [this](HWND owner, const std::string& document, const std::string& workingFolder) {
                                 opened.push_back({owner, document, workingFolder});
                             },
                             instanceName};
    dialog = std::make_unique<CDRUVManagerDlg>(environment, start);
    ASSERT_TRUE(dialog->Create(GetModuleHandleW(nullptr)));
}

void ManagerWindowTest::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageW(Window(), message, wParam, lParam);
    dialog->Loop().PumpPending();
}

std::vector<std::wstring> ManagerWindowTest::ListTexts() const {
    std::vector<std::wstring> texts;
    const LRESULT count = SendMessageW(List(), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(List(), LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(SendMessageW(List(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]))));
        texts.push_back(text);
    }
    return texts;
}

bool ManagerWindowTest::ButtonEnabled(int command) const {
    return SendMessageW(Toolbar(), TB_ISBUTTONENABLED, static_cast<WPARAM>(command), 0) != 0;
}

std::vector<std::string> ManagerWindowTest::BoxTexts() const {
    std::vector<std::string> texts;
    for (const RecordedBox& box : boxes.boxes) texts.push_back(box.text);
    return texts;
}
