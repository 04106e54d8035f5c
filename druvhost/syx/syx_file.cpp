#include "druvhost/syx/syx_file.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "platform/utf8_file.h"

namespace druvhost {

namespace {

constexpr uint8_t kStart = 0xF0;
constexpr uint8_t kEnd = 0xF7;

SyxReadResult Refused(SyxReadError error, size_t offset, std::string text) { return {error, offset, std::move(text)}; }

}  // namespace

SyxReadResult ParseSyx(std::vector<uint8_t> bytes, SyxFile& file) {
    file.bytes = std::move(bytes);
    file.messages.clear();
    file.skippedBytes = 0;
    const std::vector<uint8_t>& b = file.bytes;
    if (b.empty()) return Refused(SyxReadError::Empty, 0, "the file is empty");

    size_t at = 0;
    while (at < b.size()) {
        if (b[at] != kStart) {
            ++file.skippedBytes;
            ++at;
            continue;
        }
        // Every byte inside a message is a data byte below 80: any other
        // status byte means the message lost its end. Stored dumps rely on
        // that, since FF closes a loop there.
        size_t end = at + 1;
        while (end < b.size() && b[end] < 0x80) ++end;
        if (end == b.size() || b[end] != kEnd) {
            file.messages.clear();
            return Refused(SyxReadError::Unterminated, at,
                           "the SysX message at byte " + std::to_string(at) + " has no end byte (F7)");
        }
        file.messages.push_back({at, end + 1 - at});
        at = end + 1;
    }
    if (file.messages.empty())
        return Refused(SyxReadError::NoMessages, 0,
                       "the file holds no SysX message (" + std::to_string(b.size()) +
                           " bytes, none starting with F0)");
    return {};
}

SyxReadResult ReadSyxFile(const std::string& path, SyxFile& file) {
    file = SyxFile{};
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(OpenUtf8File(path, "rb"), &std::fclose);
    if (!stream) return Refused(SyxReadError::Unreadable, 0, "cannot open " + path);
    // Straight into one buffer of the file's size; bytes that a file grown
    // meanwhile holds beyond it are taken too.
    std::vector<uint8_t> bytes;
    long size = -1;
    if (std::fseek(stream.get(), 0, SEEK_END) == 0) size = std::ftell(stream.get());
    std::rewind(stream.get());
    bytes.resize(size > 0 ? static_cast<size_t>(size) : 0);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), stream.get()));
    for (int c; !std::ferror(stream.get()) && (c = std::fgetc(stream.get())) != EOF;)
        bytes.push_back(static_cast<uint8_t>(c));
    if (std::ferror(stream.get())) return Refused(SyxReadError::Unreadable, 0, "cannot read " + path);
    return ParseSyx(std::move(bytes), file);
}

}  // namespace druvhost
