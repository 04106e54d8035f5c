// Text at a Windows boundary: our texts are UTF-8, the wide API takes and
// gives UTF-16 in wchar_t. Windows only.
#pragma once

#include <cstddef>
#include <string>

// A null text gives an empty one.
std::wstring WideText(const std::string& utf8);
std::wstring WideText(const char* utf8);

// Up to the terminator; a null text gives an empty one.
std::string Utf8Text(const wchar_t* text);
std::string Utf8Text(const wchar_t* text, size_t length);
std::string Utf8Text(const std::wstring& text);
