#include "device/druv_device.h"

#include <cstring>
#include <new>
#include <utility>

#include "contract/program_files.h"
#include "device/text_fields.h"
#include "platform/guid.h"
#include "platform/message_box.h"
#include "platform/utf16_text.h"

const char kDefinitionMessageCaption[] = DRUV_BUILDER_CAPTION;

namespace {

// Appends a record made by `make`; null and the list unchanged when memory
// runs out for the record, its texts or the list.
template <typename Record, typename Make>
Record* AppendRecord(std::vector<std::unique_ptr<Record>>& list, Make make) {
    try {
        std::unique_ptr<Record> record(make());
        if (!record) return nullptr;
        list.push_back(std::move(record));
        return list.back().get();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

template <typename Record>
bool RemoveRecord(std::vector<std::unique_ptr<Record>>& list, size_t index) {
    if (index >= list.size()) return false;
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

template <typename Record>
bool ReplaceRecord(std::vector<std::unique_ptr<Record>>& list, size_t index, std::unique_ptr<Record>& record) {
    if (index >= list.size() || !record) return false;
    list[index].swap(record);
    return true;
}

}  // namespace

DRUVDevice::DRUVDevice() { Reset(); }

DRUVDevice::~DRUVDevice() {
    ClearConfigurations();
    ClearTemplates();
}

void DRUVDevice::Reset() {
    company_.clear();
    product_.clear();
    version_ = "1.0";
    author_.clear();
    active_png_file_.clear();
    inactive_png_file_.clear();
    help_file_.clear();
    sysx_chan_ofs_ = 0;
    sysx_chan_min_ = 0;
    sysx_chan_max_ = 15;
    sysx_chan_default_ = 0;
    sysx_display_ofs_ = 1;
    midi_channel_ = 0;
    device_type_ = 0;
    format_version_ = kDefinitionFormatVersion;
}

// A file of version 1 may hold a checksum type above 3, which meant no
// checksum there; it is saved back as it came, without a FormatVersion that
// would give the type a meaning.
bool DRUVDevice::NeedsLaterFormat() const {
    for (const auto& record : templates_)
        if (UsesExtensions(record->Extensions()) || (format_version_ >= 2 && record->NeedsLaterFormat())) return true;
    return false;
}

void DRUVDevice::CreateIdentifiers() {
    if (!CreateGuid(device_guid_))
        ShowMessageBox("Error creating GUID!", kDefinitionMessageCaption, MessageIcon::Warning, MessageButtons::Ok,
                       message_owner_);
    if (!CreateGuid(editor_guid_))
        ShowMessageBox("Error creating Editor GUID!", kDefinitionMessageCaption, MessageIcon::Warning,
                       MessageButtons::Ok, message_owner_);
}

std::string DRUVDevice::DefinitionDirectory() const {
    const size_t separator = file_path_.find_last_of("\\/:");
    return separator == std::string::npos ? file_path_ : file_path_.substr(0, separator);
}

// A path's limit counts characters as Windows counts them, in UTF-16 units:
// 255 of them may take up to 765 bytes of UTF-8, and a path cut short names
// another file.
void DRUVDevice::SetFilePath(const char* text) {
    file_path_ = text ? std::string(text, Utf8CutLengthInUnits(text, std::strlen(text), kMaxTextLength)) : "";
}
void DRUVDevice::SetCompany(const char* text) { company_ = CapText(text); }
void DRUVDevice::SetProduct(const char* text) { product_ = CapText(text); }
void DRUVDevice::SetVersion(const char* text) { version_ = CapText(text); }
void DRUVDevice::SetAuthor(const char* text) { author_ = CapText(text); }
void DRUVDevice::SetActivePNGFile(const char* text) { active_png_file_ = CapText(text); }
void DRUVDevice::SetInactivePNGFile(const char* text) { inactive_png_file_ = CapText(text); }
void DRUVDevice::SetHelpFile(const char* text) { help_file_ = CapText(text); }

void DRUVDevice::SetSysXChanOfs(const char* text) { SetSysXChanOfs(DecimalTextToInt(text)); }
void DRUVDevice::SetSysXChanMin(const char* text) { SetSysXChanMin(DecimalTextToInt(text)); }
void DRUVDevice::SetSysXChanMax(const char* text) { SetSysXChanMax(DecimalTextToInt(text)); }
void DRUVDevice::SetSysXChanDefault(const char* text) { SetSysXChanDefault(DecimalTextToInt(text)); }
void DRUVDevice::SetSysXDisplayOfs(const char* text) { SetSysXDisplayOfs(DecimalTextToInt(text)); }

DRUVConfiguration* DRUVDevice::Configuration(size_t index) {
    return index < configurations_.size() ? configurations_[index].get() : nullptr;
}

const DRUVConfiguration* DRUVDevice::Configuration(size_t index) const {
    return index < configurations_.size() ? configurations_[index].get() : nullptr;
}

DRUVConfiguration* DRUVDevice::AddConfiguration(const char* name) {
    return AppendRecord(configurations_, [name] { return new (std::nothrow) DRUVConfiguration(name); });
}

bool DRUVDevice::RemoveConfiguration(size_t index) { return RemoveRecord(configurations_, index); }

void DRUVDevice::ClearConfigurations() { configurations_.clear(); }

bool DRUVDevice::ReplaceConfiguration(size_t index, std::unique_ptr<DRUVConfiguration>& record) {
    return ReplaceRecord(configurations_, index, record);
}

DRUVTemplate* DRUVDevice::Template(size_t index) {
    return index < templates_.size() ? templates_[index].get() : nullptr;
}

const DRUVTemplate* DRUVDevice::Template(size_t index) const {
    return index < templates_.size() ? templates_[index].get() : nullptr;
}

DRUVTemplate* DRUVDevice::AddTemplate(const char* name) {
    return AppendRecord(templates_, [name] { return new (std::nothrow) DRUVTemplate(name); });
}

bool DRUVDevice::RemoveTemplate(size_t index) { return RemoveRecord(templates_, index); }

void DRUVDevice::ClearTemplates() { templates_.clear(); }

bool DRUVDevice::ReplaceTemplate(size_t index, std::unique_ptr<DRUVTemplate>& record) {
    return ReplaceRecord(templates_, index, record);
}

const DRUVTemplate* DRUVDevice::FindTemplate(const char* name) const {
    for (const auto& record : templates_)
        if (EqualsIgnoringCase(record->Name().c_str(), name)) return record.get();
    return nullptr;
}
