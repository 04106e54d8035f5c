#include "druvhost/ports/winmm/winmm_text.h"

#include <cwchar>

#include "platform/utf16_text.h"

namespace druvhost::winmm {

namespace {

// Wide text in a fixed array that the system may not have ended with a NUL.
std::string FromFixedWide(const WCHAR* text, size_t capacity) {
    size_t length = 0;
    while (length < capacity && text[length] != 0) ++length;
    return Utf16ToUtf8(reinterpret_cast<const char16_t*>(text), length);
}

template <typename Caps, typename GetCaps>
std::vector<std::string> PortNames(UINT count, const char* kind, GetCaps getCaps) {
    std::vector<std::string> names;
    names.reserve(count);
    for (UINT id = 0; id < count; ++id) {
        Caps caps{};
        std::string name;
        if (getCaps(id, &caps, static_cast<UINT>(sizeof caps)) == MMSYSERR_NOERROR) {
            name = FromFixedWide(caps.szPname, MAXPNAMELEN);
        }
        if (name.empty()) name = std::string(kind) + " " + std::to_string(id + 1);
        names.push_back(std::move(name));
    }
    return names;
}

template <typename GetText>
std::string ErrorText(MMRESULT error, GetText getText) {
    WCHAR text[MAXERRORLENGTH] = {};
    std::string result;
    if (getText(error, text, MAXERRORLENGTH) == MMSYSERR_NOERROR) {
        result = FromFixedWide(text, MAXERRORLENGTH);
    }
    const std::string number = "WinMM error " + std::to_string(error);
    return result.empty() ? number : result + " (" + number + ")";
}

}  // namespace

std::vector<std::string> InputPortNames(WinmmApi& api) {
    return PortNames<MIDIINCAPSW>(api.midiInGetNumDevs(), "MIDI input",
                                  [&](UINT id, MIDIINCAPSW* caps, UINT size) {
                                      return api.midiInGetDevCapsW(id, caps, size);
                                  });
}

std::vector<std::string> OutputPortNames(WinmmApi& api) {
    return PortNames<MIDIOUTCAPSW>(api.midiOutGetNumDevs(), "MIDI output",
                                   [&](UINT id, MIDIOUTCAPSW* caps, UINT size) {
                                       return api.midiOutGetDevCapsW(id, caps, size);
                                   });
}

std::string InputErrorText(WinmmApi& api, MMRESULT error) {
    return ErrorText(error, [&](MMRESULT e, WCHAR* text, UINT units) {
        return api.midiInGetErrorTextW(e, text, units);
    });
}

std::string OutputErrorText(WinmmApi& api, MMRESULT error) {
    return ErrorText(error, [&](MMRESULT e, WCHAR* text, UINT units) {
        return api.midiOutGetErrorTextW(e, text, units);
    });
}

}  // namespace druvhost::winmm
