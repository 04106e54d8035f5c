// Texts as the definition file can hold them.
#pragma once

#include <string>

// The text as UTF-8 character data that an XML 1.0 reader accepts. Text that
// already is such data comes back unchanged. Bytes that do not form UTF-8 are
// taken as Windows-1252 (what the programs' 8-bit edit boxes hold) and
// converted; control characters other than tab, line feed and carriage return,
// which XML cannot carry, are left out.
std::string ToXmlCharacterData(const std::string& text);
