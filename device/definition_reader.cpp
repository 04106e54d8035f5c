#include "device/definition_reader.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <cstdio>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "device/druv_device.h"
#include "device/guid_text.h"
#include "device/text_fields.h"
#include "platform/message_box.h"
#include "platform/utf8_file.h"

namespace {

// Definitions never need anything outside their own bytes. While one is being
// parsed on this thread every external entity or DTD is refused; other
// libxml2 users in the process keep the loader they had.
thread_local bool t_reading_definition = false;
xmlExternalEntityLoader g_previous_loader = nullptr;

xmlParserInputPtr RefuseExternalEntities(const char* url, const char* id, xmlParserCtxtPtr context) {
    if (t_reading_definition || g_previous_loader == nullptr) return nullptr;
    return g_previous_loader(url, id, context);
}

void InstallEntityLoader() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        g_previous_loader = xmlGetExternalEntityLoader();
        xmlSetExternalEntityLoader(RefuseExternalEntities);
    });
}

void IgnoreParseError(void*, xmlErrorPtr) {}
void IgnoreGenericError(void*, const char*, ...) {}

// Marks this thread as reading a definition and keeps libxml2's messages
// (those of its encoding layer do not go through the parser context) off the
// error stream; the user hears of a failed parse through one message box.
class ReadingDefinition {
public:
    ReadingDefinition() : previous_handler_(xmlGenericError), previous_context_(xmlGenericErrorContext) {
        t_reading_definition = true;
        xmlSetGenericErrorFunc(nullptr, IgnoreGenericError);
    }
    ~ReadingDefinition() {
        xmlSetGenericErrorFunc(previous_context_, previous_handler_);
        t_reading_definition = false;
    }
    ReadingDefinition(const ReadingDefinition&) = delete;
    ReadingDefinition& operator=(const ReadingDefinition&) = delete;

private:
    xmlGenericErrorFunc previous_handler_;
    void* previous_context_;
};

// No network, no DTD loading, no entity substitution; libxml2's default
// limits on depth and text size stay in force (no XML_PARSE_HUGE).
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

xmlDocPtr ParseDefinition(const uint8_t* data, size_t size) {
    if (size > kMaxDefinitionFileSize) return nullptr;
    InstallEntityLoader();
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (context == nullptr) return nullptr;
    context->sax->serror = IgnoreParseError;
    static const char kNoBytes[] = "";
    const char* bytes = size ? reinterpret_cast<const char*>(data) : kNoBytes;
    xmlDocPtr document;
    {
        ReadingDefinition reading;
        document = xmlCtxtReadMemory(context, bytes, static_cast<int>(size), nullptr, nullptr, kParseOptions);
    }
    xmlFreeParserCtxt(context);
    return document;
}

const char* Name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

// The value of an element: the content of its first child when that child is
// a text node with content. Text after an inner element does not count.
const char* ElementValue(const xmlNode* node) {
    if (node->type != XML_ELEMENT_NODE) return nullptr;
    const xmlNode* first = node->children;
    if (first == nullptr || first->type != XML_TEXT_NODE || first->content == nullptr || first->content[0] == '\0')
        return nullptr;
    return reinterpret_cast<const char*>(first->content);
}

template <typename Target>
struct Field {
    const char* name;
    void (*store)(Target&, const char* value);
};

const Field<DRUVDevice> kDeviceFields[] = {
    {"FormatVersion",
     [](DRUVDevice& d, const char* v) {
         const int32_t version = DecimalTextToInt(v);
         d.SetFormatVersion(version < kFirstDefinitionFormatVersion ? kFirstDefinitionFormatVersion : version);
     }},
    {"DeviceGUID", [](DRUVDevice& d, const char* v) { GUID g; TextToGuid(v, g); d.SetDeviceGUID(g); }},
    {"EditorGUID", [](DRUVDevice& d, const char* v) { GUID g; TextToGuid(v, g); d.SetEditorGUID(g); }},
    {"Company", [](DRUVDevice& d, const char* v) { d.SetCompany(v); }},
    {"Product", [](DRUVDevice& d, const char* v) { d.SetProduct(v); }},
    {"Version", [](DRUVDevice& d, const char* v) { d.SetVersion(v); }},
    {"Author", [](DRUVDevice& d, const char* v) { d.SetAuthor(v); }},
    {"ActivePNGFile", [](DRUVDevice& d, const char* v) { d.SetActivePNGFile(v); }},
    {"InactivePNGFile", [](DRUVDevice& d, const char* v) { d.SetInactivePNGFile(v); }},
    {"HelpFile", [](DRUVDevice& d, const char* v) { d.SetHelpFile(v); }},
    {"SysXChanOfs", [](DRUVDevice& d, const char* v) { d.SetSysXChanOfs(v); }},
    {"SysXChanMin", [](DRUVDevice& d, const char* v) { d.SetSysXChanMin(v); }},
    {"SysXChanMax", [](DRUVDevice& d, const char* v) { d.SetSysXChanMax(v); }},
    {"SysXChanDefault", [](DRUVDevice& d, const char* v) { d.SetSysXChanDefault(v); }},
    {"SysXDisplayOfs", [](DRUVDevice& d, const char* v) { d.SetSysXDisplayOfs(v); }},
    {"MidiChannel", [](DRUVDevice& d, const char* v) { d.SetMidiChannel(DecimalTextToInt(v)); }},
    {"DeviceType",
     [](DRUVDevice& d, const char* v) {
         const int8_t type = static_cast<int8_t>(DecimalTextToInt(v));
         d.SetDeviceType(type < 0 ? 0 : type > 2 ? 2 : type);
     }},
};

const Field<DRUVTemplate> kTemplateFields[] = {
    {"Size", [](DRUVTemplate& t, const char* v) { t.SetSize(v); }},
    {"CSumType", [](DRUVTemplate& t, const char* v) { t.SetCSumType(DecimalTextToInt(v)); }},
    {"CSumStart", [](DRUVTemplate& t, const char* v) { t.SetCSumStart(v); }},
    {"CSumLength", [](DRUVTemplate& t, const char* v) { t.SetCSumLength(v); }},
    {"CSumOfs", [](DRUVTemplate& t, const char* v) { t.SetCSumOfs(v); }},
    {"NumLoops", [](DRUVTemplate& t, const char* v) { t.SetNumLoops(v); }},
    {"LoopStart", [](DRUVTemplate& t, const char* v) { t.SetLoopStart(v); }},
    {"LoopIncDec", [](DRUVTemplate& t, const char* v) { t.SetLoopIncDec(v); }},
    {"LoopRecvSize", [](DRUVTemplate& t, const char* v) { t.SetLoopRecvSize(v); }},
    {"LoopValFormat", [](DRUVTemplate& t, const char* v) { t.SetLoopValFormat(v); }},
    {"DelayBetweenSysX", [](DRUVTemplate& t, const char* v) { t.SetDelayBetweenSysX(v); }},
    {"DelayEveryNthByte", [](DRUVTemplate& t, const char* v) { t.SetDelayEveryNthByte(v); }},
    {"DelayEveryNthByteAmount", [](DRUVTemplate& t, const char* v) { t.SetDelayEveryNthByteAmount(v); }},
    {"UseMidiChannel", [](DRUVTemplate& t, const char* v) { t.SetUseMidiChannel(v); }},
    {"FixedLength", [](DRUVTemplate& t, const char* v) { t.SetFixedLength(v); }},
    {"MultiSysX", [](DRUVTemplate& t, const char* v) { t.SetMultiSysX(v); }},
    {"PreRequest", [](DRUVTemplate& t, const char* v) { t.SetPreRequest(v); }},
    {"Request", [](DRUVTemplate& t, const char* v) { t.SetRequest(v); }},
    {"PostRequest", [](DRUVTemplate& t, const char* v) { t.SetPostRequest(v); }},
    {"PreTransmit", [](DRUVTemplate& t, const char* v) { t.SetPreTransmit(v); }},
    {"Transmit", [](DRUVTemplate& t, const char* v) { t.SetTransmit(v); }},
    {"PostTransmit", [](DRUVTemplate& t, const char* v) { t.SetPostTransmit(v); }},
    {"Verify", [](DRUVTemplate& t, const char* v) { t.SetVerify(v); }},
    {"TimeOut", [](DRUVTemplate& t, const char* v) { t.SetTimeOut(v); }},
    {"StoreTerminator", [](DRUVTemplate& t, const char* v) { t.SetStoreTerminator(v); }},
    {"Terminator", [](DRUVTemplate& t, const char* v) { t.SetTerminator(v); }},
};

template <typename Target, size_t Count>
bool StoreField(const Field<Target> (&fields)[Count], Target& target, const char* name, const char* value) {
    for (const Field<Target>& field : fields) {
        if (EqualsIgnoringCase(field.name, name)) {
            field.store(target, value);
            return true;
        }
    }
    return false;
}

void StoreExtension(DRUVTemplate& record, const char* name, const char* value) {
    size_t count = 0;
    const ExtensionField* fields = ExtensionFields(count);
    for (size_t i = 0; i < count; ++i) {
        if (EqualsIgnoringCase(fields[i].name, name)) {
            TemplateExtensions extensions = record.Extensions();
            StoreExtensionField(fields[i], extensions, value);
            record.SetExtensions(std::move(extensions));
            return;
        }
    }
}

void ReadConfiguration(DRUVDevice& device, const xmlNode* element, const char* name) {
    DRUVConfiguration* configuration = device.AddConfiguration(name);
    if (configuration == nullptr) return;
    for (const xmlNode* child = element->children; child != nullptr; child = child->next) {
        const char* value = ElementValue(child);
        if (value != nullptr && EqualsIgnoringCase(Name(child), "Ref")) configuration->AddRef(value);
    }
}

void ReadTemplate(DRUVDevice& device, const xmlNode* element, const char* name) {
    DRUVTemplate* record = device.AddTemplate(name);
    if (record == nullptr) return;
    for (const xmlNode* child = element->children; child != nullptr; child = child->next) {
        const char* value = ElementValue(child);
        if (value != nullptr && !StoreField(kTemplateFields, *record, Name(child), value))
            StoreExtension(*record, Name(child), value);
    }
}

void ReadDocument(DRUVDevice& device, const xmlDoc* document) {
    const xmlNode* root = xmlDocGetRootElement(document);
    if (root == nullptr) return;
    for (const xmlNode* child = root->children; child != nullptr; child = child->next) {
        const char* value = ElementValue(child);
        if (value == nullptr) continue;
        if (EqualsIgnoringCase(Name(child), "Configuration"))
            ReadConfiguration(device, child, value);
        else if (EqualsIgnoringCase(Name(child), "Template"))
            ReadTemplate(device, child, value);
        else
            StoreField(kDeviceFields, device, Name(child), value);
    }
}

// The whole file, or false when it cannot be opened or read, or is too large.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    FILE* file = OpenUtf8File(path, "rb");
    if (file == nullptr) return false;
    uint8_t block[64 * 1024];
    bool ok = true;
    for (;;) {
        const size_t count = std::fread(block, 1, sizeof block, file);
        if (bytes.size() + count > kMaxDefinitionFileSize) {
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), block, block + count);
        if (count < sizeof block) {
            ok = !std::ferror(file);
            break;
        }
    }
    std::fclose(file);
    return ok;
}

int ReportUnparsable(const DRUVDevice& device) {
    const std::string text = "Error: unable to parse file \"" + device.FilePath() + "\"\n";
    ShowMessageBox(text.c_str(), kDefinitionMessageCaption, MessageIcon::Error, MessageButtons::Ok,
                   device.MessageOwner());
    return -1;
}

void StartEmpty(DRUVDevice& device) {
    device.Reset();
    device.ClearConfigurations();
    device.ClearTemplates();
}

// A file from a later program may mean things this one cannot do; reading
// only what it knows would send wrong requests or store wrong dumps.
int RefuseNewerFormat(DRUVDevice& device) {
    const std::string text = "Error: the file \"" + device.FilePath() + "\" is written in definition format version " +
                             std::to_string(device.FormatVersion()) + ", and this DRUV reads versions up to " +
                             std::to_string(kDefinitionFormatVersion) + ".\nPlease use a newer DRUV for it.\n";
    StartEmpty(device);
    ShowMessageBox(text.c_str(), kDefinitionMessageCaption, MessageIcon::Error, MessageButtons::Ok,
                   device.MessageOwner());
    return -1;
}

}  // namespace

int LoadDefinitionFromMemory(DRUVDevice& device, const uint8_t* data, size_t size) {
    StartEmpty(device);
    xmlDocPtr document = ParseDefinition(data, size);
    if (document == nullptr) return ReportUnparsable(device);
    bool complete = true;
    device.SetFormatVersion(kFirstDefinitionFormatVersion);
    try {
        ReadDocument(device, document);
    } catch (const std::bad_alloc&) {
        complete = false;
    }
    xmlFreeDoc(document);
    if (complete && device.FormatVersion() > kDefinitionFormatVersion) return RefuseNewerFormat(device);
    if (complete) return 0;
    StartEmpty(device);
    return ReportUnparsable(device);
}

int DRUVDevice::LoadDefinition() {
    std::vector<uint8_t> bytes;
    try {
        if (!ReadFileBytes(file_path_, bytes)) {
            StartEmpty(*this);
            return ReportUnparsable(*this);
        }
    } catch (const std::bad_alloc&) {
        StartEmpty(*this);
        return ReportUnparsable(*this);
    }
    return LoadDefinitionFromMemory(*this, bytes.data(), bytes.size());
}
