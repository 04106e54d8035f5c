#include "tools/definition_summary/device_summary.h"

#include <algorithm>
#include <cstdint>
#include <sstream>

#include "device/byte_string.h"
#include "device/companion_files.h"
#include "device/druv_device.h"
#include "device/guid_text.h"

namespace {

const char* DeviceTypeName(int type) {
    static const char* const kNames[] = {"Mixer", "Synth", "Effect"};
    return type >= 0 && type <= 2 ? kNames[type] : "unknown type";
}

const char* ChecksumName(int type) {
    return type >= 0 && type <= kLastChecksumType ? kChecksumTypeNames[type] : "unknown";
}

const char* OuterFormatName(int format) {
    return format >= 0 && format <= kLastOuterLoopFormat ? kOuterLoopFormatNames[format] : "unknown";
}

std::string Guid(const GUID& guid) {
    char text[kGuidTextBufferSize] = "?";
    GuidToText(guid, text);
    return text;
}

std::string OrDash(const std::string& text) { return text.empty() ? "-" : text; }

std::string Bytes(const ByteString& bytes) {
    std::string text = BytesToHexText(bytes);
    if (!text.empty()) text.pop_back();
    return text;
}

// ", checksum Sum over 10 bytes from 5 stored at 15" or, counted from the
// message's end, "... from 5 to the byte before it, 2 bytes before the end".
std::string ChecksumText(const char* what, int type, int32_t start, int32_t length, int32_t at, int32_t fromEnd,
                         int32_t constant) {
    std::ostringstream out;
    out << ", " << what << " " << ChecksumName(type);
    if (type == kChecksumSumPlusConstant) out << " (constant " << constant << ")";
    if (fromEnd > 0)
        out << " from " << start << " to the byte before it, " << fromEnd << " bytes before the end";
    else
        out << " over " << length << " bytes from " << start << " stored at " << at;
    return out.str();
}

// The template's extensions beyond its checksums, one clause each.
std::string ExtensionText(const DRUVTemplate& t) {
    const TemplateExtensions& x = t.Extensions();
    std::ostringstream out;
    if (x.outerLoopCount > 0)
        out << "\n      Outer loop: " << x.outerLoopCount << " times, values from " << x.outerLoopStart << " step "
            << x.outerLoopIncDec << " at byte " << x.outerLoopOfs << " as " << OuterFormatName(x.outerLoopValFormat);
    if (x.addressBytes != 0)
        out << "\n      Address:  " << x.addressBytes << " bytes at " << x.addressOfs << ", from " << x.addressStart
            << " step " << x.addressIncDec << " per loop";
    if (x.unknownLength) out << "\n      Replies:  one message per loop, of any length up to the size";
    if (x.endAfterMessages > 0) out << "\n      Ends:     after " << x.endAfterMessages << " messages";
    if (x.endAfterQuiet > 0) out << "\n      Ends:     after " << x.endAfterQuiet << " ms without a byte";
    if (!x.ackPattern.empty() || !x.ackErrorPattern.empty())
        out << "\n      Acknowledged: within " << x.ackTimeOut << " ms by " << Bytes(x.ackPattern)
            << (x.ackErrorPattern.empty() ? "" : "; error: " + Bytes(x.ackErrorPattern));
    return out.str();
}

const char* LoopFormatName(int format) {
    static const char* const kNames[] = {"14-bit L/H", "14-bit H/L", "nybble L/H", "nybble H/L"};
    return format >= 0 && format <= 3 ? kNames[format] : "unknown";
}

bool HasLoopPlaceholder(const ByteString& bytes) {
    return std::find_if(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0xF1 || b == 0xF2; }) != bytes.end();
}

// Length of the first SysX message of a byte string (F0 up to F7 or the next
// status byte), or 0 when it holds none.
size_t FirstSysXLength(const ByteString& bytes) {
    const auto start = std::find(bytes.begin(), bytes.end(), 0xF0);
    if (start == bytes.end()) return 0;
    auto end = start + 1;
    // Loop-value placeholders stand inside a message, as they do when sent.
    while (end != bytes.end() && (*end < 0x80 || *end == 0xF1 || *end == 0xF2)) ++end;
    if (end != bytes.end() && *end == 0xF7) ++end;
    return static_cast<size_t>(end - start);
}

// Length of one reply message as the template describes it, or 0 when it
// cannot be told (several messages per loop, or no size given).
int64_t ReplyMessageLength(const DRUVTemplate& t) {
    if (t.MultiSysX() != 0) return 0;
    if (t.NumLoops() > 1) return t.LoopRecvSize() > 0 ? t.LoopRecvSize() : 0;
    return t.Size() > 0 ? t.Size() : 0;
}

void CheckChecksum(const DRUVTemplate& t, int32_t formatVersion, const std::string& who,
                   std::vector<std::string>& warnings) {
    if (t.CSumType() == 0) return;
    if (ChecksumTypeInForce(t.CSumType(), formatVersion) == kChecksumNone) {
        warnings.push_back(who + "checksum type " + std::to_string(t.CSumType()) +
                           (t.CSumType() <= kLastChecksumType ? " needs FormatVersion 2" : " is unknown") +
                           "; nothing is stored");
        return;
    }
    if (t.Extensions().csumFromEnd > 0) return;  // fits every length
    const int64_t start = t.CSumStart(), count = t.CSumLength(), at = t.CSumOfs();
    if (count <= 0) {
        warnings.push_back(who + "CSumLength is " + std::to_string(count) +
                           ", so no checksum is computed or stored");
        return;
    }
    if (at >= start && at < start + count)
        warnings.push_back(who + "checksum is stored at " + std::to_string(at) + ", inside the bytes it covers");
    const int64_t length = ReplyMessageLength(t);
    if (length == 0) return;
    // F0 sits at 0 and F7 at length - 1; neither belongs to the data.
    if (start < 1 || start + count > length - 1)
        warnings.push_back(who + "checksum covers bytes " + std::to_string(start) + " to " +
                           std::to_string(start + count - 1) + ", outside the data of its " +
                           std::to_string(length) + "-byte message");
    if (at < 1 || at >= length - 1)
        warnings.push_back(who + "checksum is stored at " + std::to_string(at) + ", outside the data of its " +
                           std::to_string(length) + "-byte message");
}

void CheckLoops(const DRUVTemplate& t, const std::string& who, std::vector<std::string>& warnings) {
    const TemplateExtensions& x = t.Extensions();
    const bool placeholder = HasLoopPlaceholder(t.Request());
    if (t.LoopValFormat() != 0 && !placeholder)
        warnings.push_back(who + "LoopValFormat is set but the Request holds no F1 or F2");
    // An outer loop repeats the template's loops; an item holds them all.
    const int64_t outer = x.outerLoopCount > 0 ? x.outerLoopCount : 1;
    const int64_t loops = int64_t{t.NumLoops() > 0 ? t.NumLoops() : 0} * outer;
    if (loops <= 1) return;
    const std::string counted =
        outer > 1 ? std::to_string(outer) + " x " + std::to_string(t.NumLoops()) : std::to_string(t.NumLoops());
    if (t.NumLoops() > 1 && !placeholder && x.addressBytes == 0 && !t.Request().empty())
        warnings.push_back(who + "every one of its " + std::to_string(t.NumLoops()) +
                           " loops sends the same Request (no F1 or F2)");
    if (t.LoopRecvSize() <= 0) {
        warnings.push_back(who + counted + " loops but no LoopRecvSize");
        return;
    }
    const int64_t total = loops * t.LoopRecvSize();
    if (t.FixedLength() != 0 && x.unknownLength == 0 && total != t.Size())
        warnings.push_back(who + "Size is " + std::to_string(t.Size()) + " but " + counted + " loops of " +
                           std::to_string(t.LoopRecvSize()) + " bytes make " + std::to_string(total));
}

void CheckDeviceId(const DRUVDevice& device, const DRUVTemplate& t, const std::string& who,
                   std::vector<std::string>& warnings) {
    if (device.SysXChanOfs() <= 0) return;
    const size_t request = FirstSysXLength(t.Request());
    if (request != 0 && static_cast<size_t>(device.SysXChanOfs()) >= request - 1)
        warnings.push_back(who + "the device-ID byte " + std::to_string(device.SysXChanOfs()) +
                           " lies outside its " + std::to_string(request) + "-byte request");
}

// What the engine cannot do as the extensions ask.
void CheckExtensions(const DRUVTemplate& t, const std::string& who, std::vector<std::string>& warnings) {
    const TemplateExtensions& x = t.Extensions();
    const size_t request = FirstSysXLength(t.Request());
    if (x.requestCSumType > kLastChecksumType)
        warnings.push_back(who + "request checksum type " + std::to_string(x.requestCSumType) + " is unknown");
    if (x.addressBytes < 0 || x.addressBytes > kMaxAddressBytes)
        warnings.push_back(who + "AddressBytes is " + std::to_string(x.addressBytes) + "; 1 to 4 bytes are written");
    else if (x.addressBytes > 0 && request != 0 &&
             (x.addressOfs < 1 || x.addressOfs + x.addressBytes > static_cast<int64_t>(request) - 1))
        warnings.push_back(who + "the address bytes from " + std::to_string(x.addressOfs) + " lie outside its " +
                           std::to_string(request) + "-byte request");
    const int64_t outerBytes = x.outerLoopValFormat == kOuter7Bit ? 1 : 2;
    if (x.outerLoopCount > 0 && request != 0 &&
        (x.outerLoopOfs < 1 || x.outerLoopOfs + outerBytes > static_cast<int64_t>(request) - 1))
        warnings.push_back(who + "the outer loop value at " + std::to_string(x.outerLoopOfs) + " lies outside its " +
                           std::to_string(request) + "-byte request");
    if (x.outerLoopCount < 0)
        warnings.push_back(who + "OuterLoopCount is " + std::to_string(x.outerLoopCount) + "; no loop runs");
    if ((!x.ackPattern.empty() || !x.ackErrorPattern.empty()) && x.ackTimeOut <= 0)
        warnings.push_back(who + "an acknowledgement is expected but AckTimeOut is " + std::to_string(x.ackTimeOut) +
                           ", so it is never waited for");
    if (x.csumVerify && t.CSumType() == kChecksumNone)
        warnings.push_back(who + "CSumVerify is set but the template has no checksum to check");
}

// A name the programs will not use: the page opens no such help file and the
// host is handed no such picture.
void CheckCompanionFile(const char* field, const std::string& name, CompanionFileProblem problem,
                        std::vector<std::string>& warnings) {
    if (name.empty() || problem == CompanionFileProblem::None) return;
    warnings.push_back(std::string(field) + " \"" + name + "\" is not used: " + DescribeCompanionFileProblem(problem));
}

}  // namespace

void WriteDefinitionSummary(const DRUVDevice& device, std::ostream& out) {
    out << "  Device:    " << OrDash(device.Company()) << " " << OrDash(device.Product()) << ", version "
        << OrDash(device.Version()) << " (" << DeviceTypeName(device.DeviceType()) << ")\n";
    out << "  Author:    " << OrDash(device.Author()) << "\n";
    out << "  GUIDs:     device " << Guid(device.DeviceGUID()) << ", editor " << Guid(device.EditorGUID()) << "\n";
    out << "  Files:     active " << OrDash(device.ActivePNGFile()) << ", inactive "
        << OrDash(device.InactivePNGFile()) << ", help " << OrDash(device.HelpFile()) << "\n";
    if (device.SysXChanOfs() == 0) {
        out << "  Device ID: none in the messages\n";
    } else {
        out << "  Device ID: byte " << device.SysXChanOfs() << " from F0, "
            << (device.SysXChanMax() <= 15 ? "low 4 bits" : "whole byte") << ", IDs "
            << int{device.SysXChanMin()} << " to " << int{device.SysXChanMax()} << " shown as "
            << device.SysXChanMin() + device.SysXDisplayOfs() << " to "
            << device.SysXChanMax() + device.SysXDisplayOfs() << "\n";
    }
    out << "  MIDI channel: " << (device.MidiChannel() ? "set by the user" : "not used") << "\n";

    out << "  Configurations (" << device.ConfigurationCount() << "):\n";
    for (size_t i = 0; i < device.ConfigurationCount(); ++i) {
        const DRUVConfiguration& c = *device.Configuration(i);
        out << "    " << c.Name() << ":";
        for (size_t r = 0; r < c.Refs().size(); ++r) out << (r ? ", " : " ") << c.Refs()[r];
        out << "\n";
    }
    out << "  Templates (" << device.TemplateCount() << "):\n";
    for (size_t i = 0; i < device.TemplateCount(); ++i) {
        const DRUVTemplate& t = *device.Template(i);
        out << "    " << t.Name() << ": " << t.Size() << " bytes";
        if (t.NumLoops() > 1)
            out << ", " << t.NumLoops() << " loops of " << t.LoopRecvSize() << " bytes, values from " << t.LoopStart()
                << " step " << t.LoopIncDec() << " as " << LoopFormatName(t.LoopValFormat());
        const TemplateExtensions& x = t.Extensions();
        if (t.CSumType() != 0)
            out << ChecksumText("checksum", t.CSumType(), t.CSumStart(), t.CSumLength(), t.CSumOfs(), x.csumFromEnd,
                                x.csumConstant)
                << (x.csumVerify ? ", checked on receive" : "");
        if (x.requestCSumType != 0)
            out << ChecksumText("request checksum", x.requestCSumType, x.requestCSumStart, x.requestCSumLength,
                                x.requestCSumOfs, x.requestCSumFromEnd, x.requestCSumConstant);
        if (t.Verify()) out << ", used for detection";
        out << ExtensionText(t) << "\n";
        if (!t.Request().empty()) out << "      Request:  " << Bytes(t.Request()) << "\n";
        if (!t.Transmit().empty()) out << "      Transmit: " << Bytes(t.Transmit()) << "\n";
        if (!t.Terminator().empty()) out << "      Terminator: " << Bytes(t.Terminator()) << "\n";
    }
}

std::vector<std::string> DefinitionWarnings(const DRUVDevice& device) {
    std::vector<std::string> warnings;
    if (device.SysXChanMin() > device.SysXChanMax())
        warnings.push_back("device IDs run from " + std::to_string(device.SysXChanMin()) + " down to " +
                           std::to_string(device.SysXChanMax()));
    if (device.SysXChanOfs() < 0)
        warnings.push_back("the device-ID byte " + std::to_string(device.SysXChanOfs()) + " lies before F0");
    CheckCompanionFile("HelpFile", device.HelpFile(), CheckHelpFileName(device.HelpFile()), warnings);
    CheckCompanionFile("ActivePNGFile", device.ActivePNGFile(), CheckPictureFileName(device.ActivePNGFile()), warnings);
    CheckCompanionFile("InactivePNGFile", device.InactivePNGFile(), CheckPictureFileName(device.InactivePNGFile()),
                       warnings);
    for (size_t i = 0; i < device.ConfigurationCount(); ++i) {
        const DRUVConfiguration& c = *device.Configuration(i);
        if (c.Name().find(';') != std::string::npos)
            warnings.push_back("configuration \"" + c.Name() + "\" holds ';', which the host's list shows as ','");
        if (c.Refs().empty()) warnings.push_back("configuration \"" + c.Name() + "\" selects no template");
        for (const std::string& ref : c.Refs())
            if (device.FindTemplate(ref.c_str()) == nullptr)
                warnings.push_back("configuration \"" + c.Name() + "\" refers to \"" + ref +
                                   "\", which no template is named");
    }
    for (size_t i = 0; i < device.TemplateCount(); ++i) {
        const DRUVTemplate& t = *device.Template(i);
        const std::string who = "template \"" + t.Name() + "\": ";
        if (t.Size() <= 0) warnings.push_back(who + "Size is " + std::to_string(t.Size()));
        CheckChecksum(t, device.FormatVersion(), who, warnings);
        CheckExtensions(t, who, warnings);
        CheckLoops(t, who, warnings);
        CheckDeviceId(device, t, who, warnings);
    }
    return warnings;
}
