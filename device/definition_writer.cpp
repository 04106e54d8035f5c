// DRUVDevice::SaveDefinition: the device as an indented UTF-8 XML document in
// the format the reader takes.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlversion.h>

#include <string>

#include "device/druv_device.h"
#include "device/guid_text.h"
#include "device/text_fields.h"
#include "device/xml_text.h"
#include "platform/guid.h"
#include "platform/message_box.h"
#include "platform/safe_file_write.h"

namespace {

const xmlChar* Xml(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

// Appends <name>text</name>. The text is character data, so an ampersand is
// written escaped and read back as itself; 8-bit text that is not UTF-8 is
// converted so that the file stays readable; empty text gives an empty
// element. Null when the library could not make the element.
xmlNodePtr AddElement(xmlNodePtr parent, const char* name, const std::string& text) {
    const std::string data = ToXmlCharacterData(text);
    return xmlNewTextChild(parent, nullptr, Xml(name), data.empty() ? nullptr : Xml(data.c_str()));
}

// Appends <name>text followed by child elements. The name's text node is made
// even for an empty name: an element holding text is written on one line, so
// an unnamed record starts with its first child element and is skipped when
// read, instead of coming back named by the indentation.
xmlNodePtr AddRecordElement(xmlNodePtr parent, const char* name, const std::string& text) {
    return xmlNewTextChild(parent, nullptr, Xml(name), Xml(ToXmlCharacterData(text).c_str()));
}

void AddNumber(xmlNodePtr parent, const char* name, int32_t value) { AddElement(parent, name, DecimalText(value)); }

void AddBytes(xmlNodePtr parent, const char* name, const ByteString& bytes) {
    AddElement(parent, name, BytesToHexText(bytes));
}

// The 36-character form without braces.
std::string BareGuidText(const GUID& guid) {
    char text[kGuidTextBufferSize] = "";
    if (!GuidToText(guid, text)) return std::string();
    return std::string(text + 1, kBracedGuidLength - 2);
}

void WriteTemplate(xmlNodePtr root, const DRUVTemplate& record, void* messageOwner) {
    xmlNodePtr element = AddRecordElement(root, "Template", record.Name());
    if (element == nullptr) return;
    AddNumber(element, "Size", record.Size());
    if (record.Size() == 0) {
        const std::string warning = "Warning! The Template " + record.Name() +
                                    " has a size of 0.\nAll templates require that the size be set to function properly.";
        ShowMessageBox(warning.c_str(), kDefinitionMessageCaption, MessageIcon::Warning, MessageButtons::Ok,
                       messageOwner);
    }
    AddNumber(element, "CSumType", record.CSumType());
    AddNumber(element, "CSumStart", record.CSumStart());
    AddNumber(element, "CSumLength", record.CSumLength());
    AddNumber(element, "CSumOfs", record.CSumOfs());
    AddNumber(element, "NumLoops", record.NumLoops());
    AddNumber(element, "LoopStart", record.LoopStart());
    AddNumber(element, "LoopIncDec", record.LoopIncDec());
    AddNumber(element, "LoopRecvSize", record.LoopRecvSize());
    AddNumber(element, "LoopValFormat", record.LoopValFormat());
    AddNumber(element, "DelayBetweenSysX", record.DelayBetweenSysX());
    AddNumber(element, "DelayEveryNthByte", record.DelayEveryNthByte());
    AddNumber(element, "DelayEveryNthByteAmount", record.DelayEveryNthByteAmount());
    AddNumber(element, "UseMidiChannel", record.UseMidiChannel());
    AddNumber(element, "FixedLength", record.FixedLength());
    AddNumber(element, "MultiSysX", record.MultiSysX());
    AddBytes(element, "PreRequest", record.PreRequest());
    AddBytes(element, "Request", record.Request());
    AddBytes(element, "PostRequest", record.PostRequest());
    AddBytes(element, "PreTransmit", record.PreTransmit());
    AddBytes(element, "Transmit", record.Transmit());
    AddBytes(element, "PostTransmit", record.PostTransmit());
    AddNumber(element, "Verify", record.Verify());
    AddNumber(element, "TimeOut", record.TimeOut());
    AddNumber(element, "StoreTerminator", record.StoreTerminator());
    AddBytes(element, "Terminator", record.Terminator());
    // Only what differs from the defaults, so that a template without
    // extensions is written exactly as before they existed.
    size_t count = 0;
    const ExtensionField* fields = ExtensionFields(count);
    for (size_t i = 0; i < count; ++i) {
        const ExtensionField& field = fields[i];
        if (!IsSet(field, record.Extensions())) continue;
        if (field.number)
            AddNumber(element, field.name, record.Extensions().*field.number);
        else
            AddBytes(element, field.name, record.Extensions().*field.bytes);
    }
}

void WriteConfiguration(xmlNodePtr root, const DRUVConfiguration& configuration) {
    xmlNodePtr element = AddRecordElement(root, "Configuration", configuration.Name());
    if (element == nullptr) return;
    for (const std::string& ref : configuration.Refs()) AddElement(element, "Ref", ref);
}

// Through a temporary file beside the definition, so that a disk that fills
// up or a program that stops half-way never leaves the author with neither
// the old definition nor the new one.
bool WriteFile(const std::string& path, const xmlChar* bytes, int size) {
    return size >= 0 && WriteFileSafely(path, bytes, static_cast<size_t>(size));
}

}  // namespace

int DRUVDevice::SaveDefinition() const {
    if (file_path_.empty()) return 0;
    LIBXML_TEST_VERSION

    xmlDocPtr document = xmlNewDoc(Xml("1.0"));
    xmlNodePtr root = document ? xmlNewNode(nullptr, Xml("DRUVDevice")) : nullptr;
    bool saved = false;
    if (root != nullptr) {
        xmlDocSetRootElement(document, root);
        if (NeedsLaterFormat()) AddNumber(root, "FormatVersion", kDefinitionFormatVersion);
        AddElement(root, "DeviceGUID", BareGuidText(device_guid_));
        AddElement(root, "EditorGUID", BareGuidText(editor_guid_));
        AddElement(root, "Company", company_);
        AddElement(root, "Product", product_);
        AddElement(root, "Version", version_);
        AddElement(root, "Author", author_);
        AddElement(root, "ActivePNGFile", active_png_file_);
        AddElement(root, "InactivePNGFile", inactive_png_file_);
        AddElement(root, "HelpFile", help_file_);
        AddNumber(root, "SysXChanOfs", sysx_chan_ofs_);
        AddNumber(root, "SysXChanMin", sysx_chan_min_);
        AddNumber(root, "SysXChanMax", sysx_chan_max_);
        AddNumber(root, "SysXChanDefault", sysx_chan_default_);
        AddNumber(root, "SysXDisplayOfs", sysx_display_ofs_);
        AddNumber(root, "MidiChannel", midi_channel_);
        AddNumber(root, "DeviceType", device_type_);
        for (const auto& configuration : configurations_) WriteConfiguration(root, *configuration);
        for (const auto& record : templates_) WriteTemplate(root, *record, message_owner_);

        // Serialised in memory and written with the C library, so that the
        // writer opens the same path the reader opens, and a failed write is
        // noticed.
        xmlChar* bytes = nullptr;
        int size = 0;
        xmlDocDumpFormatMemoryEnc(document, &bytes, &size, "UTF-8", 1);
        saved = bytes != nullptr && WriteFile(file_path_, bytes, size);
        xmlFree(bytes);
    }
    xmlFreeDoc(document);
    if (saved) return 1;
    const std::string text = "Error: unable to write file \"" + file_path_ + "\"\n";
    ShowMessageBox(text.c_str(), kDefinitionMessageCaption, MessageIcon::Error, MessageButtons::Ok,
                   message_owner_);
    return 0;
}
