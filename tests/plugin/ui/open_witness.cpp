// Stands in for whatever the shell starts when the page opens something:
// copied in place of a program a definition names, or registered as the
// program that opens a kind of document. It appends one line to the file
// named by DRUV_OPEN_WITNESS: its own file name, a tab and its command line.
// Test tooling only.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t record[32768] = {};
    if (GetEnvironmentVariableW(L"DRUV_OPEN_WITNESS", record, 32768) == 0) return 1;
    wchar_t self[32768] = {};
    GetModuleFileNameW(nullptr, self, 32768);
    const std::wstring line = std::wstring(self) + L"\t" + GetCommandLineW() + L"\n";
    FILE* file = _wfopen(record, L"ab");
    if (!file) return 1;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? static_cast<size_t>(bytes) - 1 : 0, '\0');
    if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), file);
    std::fclose(file);
    return 0;
}
