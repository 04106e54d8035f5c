// The SysX messages of a raw .syx file: messages back to back, each from its
// F0 to its F7. The file's bytes are held once; the messages are views into
// them, so that a file of several megabytes is never copied message by
// message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace druvhost {

struct SyxMessage {
    size_t offset = 0;  // of its F0 in the file
    size_t size = 0;    // F0 to F7, both counted
};

struct SyxFile {
    std::vector<uint8_t> bytes;
    std::vector<SyxMessage> messages;
    // Bytes outside every message (padding, channel messages, text); skipped.
    size_t skippedBytes = 0;

    const uint8_t* Data(const SyxMessage& message) const { return bytes.data() + message.offset; }
};

enum class SyxReadError {
    None,
    Empty,         // the file holds no byte
    NoMessages,    // bytes, but not one SysX message among them
    Unterminated,  // a message that a status byte or the file's end cuts off before its F7
    Unreadable,    // the file could not be opened or read
};

struct SyxReadResult {
    SyxReadError error = SyxReadError::None;
    size_t offset = 0;  // Unterminated: where the cut-off message starts
    std::string text;   // for the terminal and message boxes; empty on success
};

// Takes `bytes` over into `file` and finds its messages. On an error `file`
// holds no messages.
SyxReadResult ParseSyx(std::vector<uint8_t> bytes, SyxFile& file);

// Reads the file at the UTF-8 `path` and parses it.
SyxReadResult ReadSyxFile(const std::string& path, SyxFile& file);

}  // namespace druvhost
