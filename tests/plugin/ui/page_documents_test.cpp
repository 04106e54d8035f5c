// What the page's "Device" and "Help" buttons hand to the shell, through
// DRUV.dll under Wine. The shell is watched by a witness program: copied in
// place of the programs a definition names, the target of a shell link, and
// the program registered for the documents the page may open. Whatever the
// shell starts writes a line into the witness file.
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <ocidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/wide_text.h"
#include "plugin/ui/resource_ids.h"
#include "tests/plugin/ui/page_host_support.h"

using namespace pagehost;

namespace {

const RECT kArea{0, 0, 400, 560};

// {2C7E9A14-6B3F-4D58-8E01-F49A3B6C7D25}: installed by these tests only.
constexpr CLSID kDocumentsClass = {0x2C7E9A14, 0x6B3F, 0x4D58, {0x8E, 0x01, 0xF4, 0x9A, 0x3B, 0x6C, 0x7D, 0x25}};

std::wstring Wide(const std::string& text) { return WideText(text); }

std::string TempFolder() {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return folder;
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream file(Wide(path).c_str(), std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

std::string DefinitionNaming(const std::string& helpFile) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DRUVDevice>"
           "<DeviceGUID>2C7E9A14-6B3F-4D58-8E01-F49A3B6C7D25</DeviceGUID>"
           "<EditorGUID>3D8FAB25-7C40-4E69-9F12-05AB4C7D8E36</EditorGUID>"
           "<Company>Quillon</Company><Product>Help Unit</Product><Version>1.0</Version>"
           "<HelpFile>" + helpFile + "</HelpFile><SysXChanOfs>0</SysXChanOfs>"
           "<Template>Kits<Size>10</Size><NumLoops>1</NumLoops><Request>F0 7D 40 10 F7 </Request></Template>"
           "</DRUVDevice>\n";
}

// A registry value's text, or empty.
std::string DefaultValue(HKEY root, const std::string& key) {
    char value[1024] = {};
    LONG size = sizeof value;
    return RegQueryValueA(root, key.c_str(), value, &size) == ERROR_SUCCESS ? std::string(value) : std::string();
}

void SetDefaultValue(HKEY root, const std::string& key, const std::string& value) {
    RegSetValueA(root, key.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>(value.size()));
}

// The witness file and the documents the witness opens, for one test.
class ShellWitness {
public:
    ShellWitness() : file_(TempFolder() + "druv-open-witness-" + std::to_string(GetCurrentProcessId()) + ".txt") {
        DeleteFileA(file_.c_str());
        SetEnvironmentVariableA("DRUV_OPEN_WITNESS", file_.c_str());
        for (const char* extension : {".pdf", ".rtf"}) {
            previous_.push_back(DefaultValue(HKEY_CLASSES_ROOT, extension));
            SetDefaultValue(HKEY_CLASSES_ROOT, extension, "DruvOpenWitness.Document");
        }
        SetDefaultValue(HKEY_CLASSES_ROOT, "DruvOpenWitness.Document\\shell\\open\\command",
                        "\"" + WindowsPath(DRUV_OPEN_WITNESS_EXE) + "\" \"%1\"");
    }
    ~ShellWitness() {
        const char* extensions[] = {".pdf", ".rtf"};
        for (size_t i = 0; i < previous_.size(); ++i) {
            if (previous_[i].empty())
                RegDeleteKeyA(HKEY_CLASSES_ROOT, extensions[i]);
            else
                SetDefaultValue(HKEY_CLASSES_ROOT, extensions[i], previous_[i]);
        }
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "DruvOpenWitness.Document\\shell\\open\\command");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "DruvOpenWitness.Document\\shell\\open");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "DruvOpenWitness.Document\\shell");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "DruvOpenWitness.Document");
        SetEnvironmentVariableA("DRUV_OPEN_WITNESS", nullptr);
        DeleteFileA(file_.c_str());
    }

    std::string Lines() const {
        std::ifstream file(file_, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    }
    // Waits up to `limit` milliseconds for anything to be started.
    std::string WaitForLines(DWORD limit) const {
        const DWORD start = GetTickCount();
        std::string lines;
        while ((lines = Lines()).empty() && GetTickCount() - start < limit) Pump(20);
        // A program the shell started late still gets to write its line.
        Pump(200);
        return Lines();
    }

private:
    std::string file_;
    std::vector<std::string> previous_;
};

std::string ReadText(const std::string& path) {
    std::ifstream file(Wide(path).c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The last argument in double quotes of a witness line: what it was asked to open.
std::string LastQuoted(const std::string& line) {
    const size_t end = line.rfind('"');
    if (end == std::string::npos || end == 0) return std::string();
    const size_t start = line.rfind('"', end - 1);
    return start == std::string::npos ? std::string() : line.substr(start + 1, end - start - 1);
}

bool MakeShellLink(const std::string& linkPath, const std::string& target) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    link->SetPath(Wide(target).c_str());
    link->SetArguments(L"x.lnk");
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(Wide(linkPath).c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

class PageDocumentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(RegisterServer(kPageClass, DRUV_PLUGIN_DLL));
        ASSERT_TRUE(RegisterDevice(MixerExample(), DRUV_PLUGIN_DLL));
        base_ = TempFolder() + "druv-documents-" + std::to_string(GetCurrentProcessId());
        for (const std::string& folder : {base_, base_ + "\\a", base_ + "\\a\\b"})
            CreateDirectoryA(folder.c_str(), nullptr);
        window_ = CreateHostWindow(kArea.right, kArea.bottom);
        ASSERT_NE(nullptr, window_) << "no window: is a display (Xvfb) running?";
    }
    void TearDown() override {
        session_.ClosePage();
        session_.CloseFilter();
        DestroyWindow(window_);
        RemoveDeviceKey(kDocumentsClass);
        CoUninitialize();
        // The case folders stay in the temporary folder; they are small.
    }

    // The page of a definition in base\a\b that names `helpFile`.
    void OpenNaming(const std::string& helpFile) {
        session_.ClosePage();
        session_.CloseFilter();
        const std::string definition = base_ + "\\a\\b\\device.druv";
        ASSERT_TRUE(WriteText(definition, DefinitionNaming(helpFile)));
        ASSERT_TRUE(RegisterDevice({kDocumentsClass, definition}, DRUV_PLUGIN_DLL));
        ASSERT_TRUE(session_.CreateFilter({kDocumentsClass, definition}));
        ASSERT_TRUE(session_.OpenPage(window_, kArea));
        Pump(30);
    }

    std::string base_;
    PageSession session_;
    HWND window_ = nullptr;
};

TEST_F(PageDocumentsTest, DeviceButtonOpensOnlyADocumentInTheDefinitionsFolder) {
    ShellWitness witness;
    const std::string here = base_ + "\\a\\b\\";
    ASSERT_TRUE(CopyFileA(WindowsPath(DRUV_OPEN_WITNESS_EXE).c_str(), (here + "setup.exe").c_str(), FALSE));
    ASSERT_TRUE(WriteText(here + "run.bat", "@echo run.bat>>\"%DRUV_OPEN_WITNESS%\"\r\n"));
    ASSERT_TRUE(MakeShellLink(base_ + "\\x.lnk", WindowsPath(DRUV_OPEN_WITNESS_EXE)))
        << "no shell link could be made";
    ASSERT_TRUE(WriteText(here + "guide.rtf", "{\\rtf1 The guide.}"));

    struct Case {
        std::string helpFile;
        bool opened;
    };
    for (const Case& c : {Case{"setup.exe", false}, Case{"run.bat", false}, Case{"..\\..\\x.lnk", false},
                          Case{"guide.rtf", true}}) {
        SCOPED_TRACE(c.helpFile);
        OpenNaming(c.helpFile);
        const std::vector<int> buttons = ToolbarCommands(session_.PageWindow());
        const bool offered = std::find(buttons.begin(), buttons.end(), ID_CMD_DEVICE_HELP) != buttons.end();
        EXPECT_EQ(c.opened, offered) << "the Device button is " << (offered ? "shown" : "left out");
        EXPECT_EQ(static_cast<int>(buttons.size()), ToolbarImageCount(session_.PageWindow()));

        // The command itself, as a click would send it, also where no button shows.
        Press(session_.PageWindow(), ID_CMD_DEVICE_HELP);
        const std::string started = witness.WaitForLines(c.opened ? 5000 : 1500);
        if (c.opened) {
            EXPECT_NE(std::string::npos, started.find("guide.rtf")) << "started: " << started;
        } else {
            EXPECT_EQ("", started) << "the shell started something";
        }
        DeleteFileA((TempFolder() + "druv-open-witness-" + std::to_string(GetCurrentProcessId()) + ".txt").c_str());
    }
}

// The plug-in's folder with a path longer than MAX_PATH: Help opens the
// manual beside the plug-in, never a "Manual.pdf" of the host's current folder.
TEST_F(PageDocumentsTest, HelpOpensTheManualBesideAPluginInAFolderOfAnyLength) {
    ShellWitness witness;
    std::string folder = base_ + "\\long";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (char step : {'p', 'q', 'r'}) {
        folder += "\\" + std::string(90, step);
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + Wide(folder)).c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS)
            << folder.size() << " characters";
    }
    ASSERT_GT(folder.size(), static_cast<size_t>(MAX_PATH));
    const std::wstring plugin = L"\\\\?\\" + Wide(folder + "\\DRUV.dll");
    ASSERT_TRUE(CopyFileW(Wide(WindowsPath(DRUV_PLUGIN_DLL)).c_str(), plugin.c_str(), FALSE));
    ASSERT_TRUE(WriteText("\\\\?\\" + folder + "\\Manual.pdf", "%PDF-1.4 beside the plug-in"));
    // A manual in the current folder, which a relative name would find.
    const std::string current = base_ + "\\current";
    CreateDirectoryA(current.c_str(), nullptr);
    ASSERT_TRUE(WriteText(current + "\\Manual.pdf", "%PDF-1.4 in the current folder"));
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(current.c_str());

    HMODULE module = LoadLibraryW(plugin.c_str());
    if (!module) {
        SetCurrentDirectoryA(previous);
        GTEST_SKIP() << "the system loads no library from a path of " << folder.size() + 9 << " characters";
    }
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    ASSERT_NE(nullptr, getClassObject);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, getClassObject(kPageClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    IPropertyPage* page = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(&page)));
    factory->Release();

    ASSERT_TRUE(session_.CreateFilter(MixerExample()));
    IUnknown* objects[] = {session_.FilterUnknown()};
    ASSERT_EQ(S_OK, page->SetObjects(1, objects));
    ASSERT_EQ(S_OK, page->Activate(window_, &kArea, FALSE));
    HWND pageWindow = GetWindow(window_, GW_CHILD);
    Press(pageWindow, ID_CMD_HELP);
    const std::string started = witness.WaitForLines(5000);

    page->Deactivate();
    EXPECT_EQ(0u, page->Release());
    SetCurrentDirectoryA(previous);
    // The shell takes no path that long: it is handed the short form of it.
    const std::string opened = LastQuoted(started);
    EXPECT_EQ("%PDF-1.4 beside the plug-in", ReadText(opened)) << "opened: " << opened;
    session_.CloseFilter();
    FreeLibrary(module);
}

}  // namespace
