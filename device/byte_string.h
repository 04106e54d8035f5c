// Byte strings (template messages and terminators) and their text form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using ByteString = std::vector<uint8_t>;

// Two upper-case hexadecimal digits and one space per byte ("F0 7D F7 ");
// no bytes give empty text.
std::string BytesToHexText(const ByteString& bytes);

// Replaces `bytes` by one byte per maximal run of hexadecimal digits in
// `text`: the run's value read as hexadecimal, saturated at 7FFFFFFF, low 8
// bits kept. Every other character separates runs. Null text gives no bytes.
void HexTextToBytes(const char* text, ByteString& bytes);
