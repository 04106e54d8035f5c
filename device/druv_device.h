// The in-memory device definition: identity, companion files, device-ID
// placement, and the owned lists of configurations and templates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/druv_configuration.h"
#include "device/druv_template.h"
#include "platform/com_base.h"

// Caption of every message the definition code shows, in all three programs.
extern const char kDefinitionMessageCaption[];

class DRUVDevice {
public:
    // Empty lists, empty FilePath, then Reset. The GUIDs start null.
    DRUVDevice();
    ~DRUVDevice();
    DRUVDevice(const DRUVDevice&) = delete;
    DRUVDevice& operator=(const DRUVDevice&) = delete;

    // Every field with a default back to it; GUIDs, FilePath and lists stay.
    void Reset();

    // New DeviceGUID, then new EditorGUID; a warning box for each that fails.
    void CreateIdentifiers();

    // Reads the file at FilePath: 0 when parsed, -1 (after an error box) when not.
    int LoadDefinition();
    // Writes the file at FilePath: 1 when written, 0 when FilePath is empty or
    // the file could not be written (then after an error box).
    int SaveDefinition() const;

    // FilePath up to, not including, its last backslash, slash or colon; a
    // path without any of them comes back whole.
    std::string DefinitionDirectory() const;

    // The window that owns the boxes the definition code shows for this
    // device (HWND on Windows; null for none). Not part of the definition:
    // Reset and LoadDefinition keep it.
    void* MessageOwner() const { return message_owner_; }
    void SetMessageOwner(void* window) { message_owner_ = window; }

    const GUID& DeviceGUID() const { return device_guid_; }
    void SetDeviceGUID(const GUID& guid) { device_guid_ = guid; }
    const GUID& EditorGUID() const { return editor_guid_; }
    void SetEditorGUID(const GUID& guid) { editor_guid_ = guid; }

    // Text fields hold at most 255 bytes; longer input is cut. FilePath holds
    // at most 255 characters (UTF-16 units), however many bytes they take.
    const std::string& FilePath() const { return file_path_; }
    void SetFilePath(const char* text);
    const std::string& Company() const { return company_; }
    void SetCompany(const char* text);
    const std::string& Product() const { return product_; }
    void SetProduct(const char* text);
    const std::string& Version() const { return version_; }
    void SetVersion(const char* text);
    const std::string& Author() const { return author_; }
    void SetAuthor(const char* text);
    const std::string& ActivePNGFile() const { return active_png_file_; }
    void SetActivePNGFile(const char* text);
    const std::string& InactivePNGFile() const { return inactive_png_file_; }
    void SetInactivePNGFile(const char* text);
    const std::string& HelpFile() const { return help_file_; }
    void SetHelpFile(const char* text);

    // Numbers from decimal text (DecimalTextToInt) or as values; the 8-bit
    // fields keep the low 8 bits.
    int32_t SysXChanOfs() const { return sysx_chan_ofs_; }
    void SetSysXChanOfs(const char* text);
    void SetSysXChanOfs(int32_t value) { sysx_chan_ofs_ = value; }
    uint8_t SysXChanMin() const { return sysx_chan_min_; }
    void SetSysXChanMin(const char* text);
    void SetSysXChanMin(int32_t value) { sysx_chan_min_ = static_cast<uint8_t>(value); }
    uint8_t SysXChanMax() const { return sysx_chan_max_; }
    void SetSysXChanMax(const char* text);
    void SetSysXChanMax(int32_t value) { sysx_chan_max_ = static_cast<uint8_t>(value); }
    uint8_t SysXChanDefault() const { return sysx_chan_default_; }
    void SetSysXChanDefault(const char* text);
    void SetSysXChanDefault(int32_t value) { sysx_chan_default_ = static_cast<uint8_t>(value); }
    int8_t SysXDisplayOfs() const { return sysx_display_ofs_; }
    void SetSysXDisplayOfs(const char* text);
    void SetSysXDisplayOfs(int32_t value) { sysx_display_ofs_ = static_cast<int8_t>(value); }
    uint8_t MidiChannel() const { return midi_channel_; }
    void SetMidiChannel(int32_t value) { midi_channel_ = static_cast<uint8_t>(value); }
    // The definition format the device is written in: the FormatVersion its
    // file gave (1 for a file without one), kDefinitionFormatVersion for a
    // device made here. It decides which checksum kinds are in force.
    int32_t FormatVersion() const { return format_version_; }
    void SetFormatVersion(int32_t version) { format_version_ = version; }
    // Whether saving needs FormatVersion 2 (a template uses what version 1 lacks).
    bool NeedsLaterFormat() const;

    // 0 "Mixer", 1 "Synth", 2 "Effect". Stored as given; the reader clamps.
    int8_t DeviceType() const { return device_type_; }
    void SetDeviceType(int32_t value) { device_type_ = static_cast<int8_t>(value); }

    size_t ConfigurationCount() const { return configurations_.size(); }
    DRUVConfiguration* Configuration(size_t index);
    const DRUVConfiguration* Configuration(size_t index) const;
    // A new configuration with empty Refs appended; null (list unchanged) when
    // it cannot be allocated.
    DRUVConfiguration* AddConfiguration(const char* name);
    bool RemoveConfiguration(size_t index);
    void ClearConfigurations();
    // Puts `record` at `index` and hands the record that was there back in
    // `record`. False (nothing changed) for an index outside the list or a
    // null record.
    bool ReplaceConfiguration(size_t index, std::unique_ptr<DRUVConfiguration>& record);

    size_t TemplateCount() const { return templates_.size(); }
    DRUVTemplate* Template(size_t index);
    const DRUVTemplate* Template(size_t index) const;
    DRUVTemplate* AddTemplate(const char* name);
    bool RemoveTemplate(size_t index);
    void ClearTemplates();
    bool ReplaceTemplate(size_t index, std::unique_ptr<DRUVTemplate>& record);
    // The first template whose Name equals `name`, ignoring case, or null.
    const DRUVTemplate* FindTemplate(const char* name) const;

private:
    GUID device_guid_{};
    GUID editor_guid_{};
    std::string file_path_;
    std::string company_;
    std::string product_;
    std::string version_;
    std::string author_;
    std::string active_png_file_;
    std::string inactive_png_file_;
    std::string help_file_;
    int32_t sysx_chan_ofs_ = 0;
    uint8_t sysx_chan_min_ = 0;
    uint8_t sysx_chan_max_ = 15;
    uint8_t sysx_chan_default_ = 0;
    int8_t sysx_display_ofs_ = 1;
    uint8_t midi_channel_ = 0;
    int8_t device_type_ = 0;
    int32_t format_version_ = kDefinitionFormatVersion;
    void* message_owner_ = nullptr;
    std::vector<std::unique_ptr<DRUVConfiguration>> configurations_;
    std::vector<std::unique_ptr<DRUVTemplate>> templates_;
};
