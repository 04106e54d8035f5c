// Our texts are UTF-8; the windows of the frame take UTF-16.
#pragma once

#include <string>

std::wstring FrameWideText(const std::string& utf8);
std::string FrameUtf8Text(const std::wstring& wide);
