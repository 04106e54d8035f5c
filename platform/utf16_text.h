// Texts are UTF-8 in our code and files; Windows' wide API and the host take
// UTF-16. These conversions are the one place where the two meet. They never
// write past a limit, turn what is not a valid encoding into U+FFFD, and cut
// only between whole characters.
#pragma once

#include <cstddef>
#include <string>

constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr size_t kNoTextLimit = static_cast<size_t>(-1);

// `length` bytes of UTF-8 as UTF-16 of at most `maxUnits` units. A character
// that would not fit whole is left out with everything after it, so the
// result never ends in half a surrogate pair. Each ill-formed part (a stray
// byte, a sequence cut short, an overlong form, a surrogate or a value above
// U+10FFFF) becomes one U+FFFD, as Unicode's recommended practice has it.
std::u16string Utf8ToUtf16(const char* text, size_t length, size_t maxUnits = kNoTextLimit);
std::u16string Utf8ToUtf16(const std::string& text, size_t maxUnits = kNoTextLimit);

// `length` units of UTF-16 as UTF-8 of at most `maxBytes` bytes; a character
// that would not fit whole is left out with everything after it. A surrogate
// without its partner becomes U+FFFD.
std::string Utf16ToUtf8(const char16_t* text, size_t length, size_t maxBytes = kNoTextLimit);
std::string Utf16ToUtf8(const std::u16string& text, size_t maxBytes = kNoTextLimit);

// Where to cut `length` bytes of UTF-8, the start of a possibly longer text,
// so that at most `maxBytes` remain and no character is split: a character
// that the limit cuts, or that the end of the bytes cuts short, is left out.
// Ill-formed bytes count as characters of their own and are kept.
size_t Utf8CutLength(const char* text, size_t length, size_t maxBytes);

// Where to cut `length` bytes of UTF-8 so that their UTF-16 form takes at
// most `maxUnits` units, between whole characters: a limit counted in
// characters as Windows counts them.
size_t Utf8CutLengthInUnits(const char* text, size_t length, size_t maxUnits);

// The number of UTF-16 units Utf8ToUtf16 gives for the text, without making it.
size_t Utf16Length(const char* text, size_t length);
