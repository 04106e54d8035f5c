// Text at the page's window boundary: the plug-in keeps UTF-8, the windows
// take UTF-16 through the wide API.
#pragma once

#include <windows.h>

#include <string>

std::wstring WindowText(const std::string& utf8);
std::string Utf8Text(const wchar_t* text);
