#include "builder/builder_editor.h"

#include <cstddef>
#include <memory>
#include <new>
#include <string>

#include "builder/builder_messages.h"
#include "builder/definition_format.h"
#include "builder/field_bindings.h"
#include "builder/list_buttons.h"
#include "device/text_fields.h"
#include "platform/message_box.h"

namespace {

namespace ids = builder_controls;

struct ListControls {
    ControlId list, name, add, remove, rename, up, down;
    const char* removeQuestion;
};

// The host gets the configuration names as one ';'-separated text, so a name
// holding ';' would shift every later configuration by one there.
bool HoldsListSeparator(const std::string& name) { return name.find(';') != std::string::npos; }

// The device's operations on one of its two lists, under one set of names.
struct ConfigurationList {
    using Record = DRUVConfiguration;
    static constexpr ListControls controls{ids::kConfigurations,      ids::kConfigurationName,
                                           ids::kConfigurationAdd,    ids::kConfigurationRemove,
                                           ids::kConfigurationRename, ids::kConfigurationUp,
                                           ids::kConfigurationDown,   kRemoveConfigurationQuestion};
    static size_t Count(const DRUVDevice& d) { return d.ConfigurationCount(); }
    static Record* At(DRUVDevice& d, size_t i) { return d.Configuration(i); }
    static const Record* At(const DRUVDevice& d, size_t i) { return d.Configuration(i); }
    static Record* Add(DRUVDevice& d, const char* name) { return d.AddConfiguration(name); }
    static bool Remove(DRUVDevice& d, size_t i) { return d.RemoveConfiguration(i); }
    static bool Replace(DRUVDevice& d, size_t i, std::unique_ptr<Record>& r) { return d.ReplaceConfiguration(i, r); }
    // Why a name is refused, or null.
    static const char* Refusal(const std::string& name) {
        return HoldsListSeparator(name) ? kConfigurationNameSeparatorMessage : nullptr;
    }
};

struct TemplateList {
    using Record = DRUVTemplate;
    static constexpr ListControls controls{ids::kTemplates,      ids::kTemplateName, ids::kTemplateAdd,
                                           ids::kTemplateRemove, ids::kTemplateRename, ids::kTemplateUp,
                                           ids::kTemplateDown,   kRemoveTemplateQuestion};
    static size_t Count(const DRUVDevice& d) { return d.TemplateCount(); }
    static Record* At(DRUVDevice& d, size_t i) { return d.Template(i); }
    static const Record* At(const DRUVDevice& d, size_t i) { return d.Template(i); }
    static Record* Add(DRUVDevice& d, const char* name) { return d.AddTemplate(name); }
    static bool Remove(DRUVDevice& d, size_t i) { return d.RemoveTemplate(i); }
    static bool Replace(DRUVDevice& d, size_t i, std::unique_ptr<Record>& r) { return d.ReplaceTemplate(i, r); }
    static const char* Refusal(const std::string&) { return nullptr; }
};

template <typename List>
bool IsRecord(const DRUVDevice& device, int index) {
    return index >= 0 && static_cast<size_t>(index) < List::Count(device);
}

// Swaps the records at two valid indices through a placeholder, since the
// device hands records over one at a time.
template <typename List>
bool SwapRecords(DRUVDevice& device, size_t a, size_t b) {
    std::unique_ptr<typename List::Record> held(new (std::nothrow) typename List::Record(""));
    if (!held) return false;
    List::Replace(device, a, held);  // held: record a
    List::Replace(device, b, held);  // held: record b
    List::Replace(device, a, held);  // held: the placeholder again
    return true;
}

}  // namespace

BuilderEditor::BuilderEditor(DRUVDevice& device, BuilderView& view) : device_(device), view_(view) {}

void BuilderEditor::Start() {
    LimitFieldBoxes(view_);
    view_.SetTextLimit(ids::kConfigurationName, kBoxTextLimit);
    view_.SetTextLimit(ids::kTemplateName, kBoxTextLimit);
    view_.SetDropDownSelection(ids::kLoopValFormat, -1);
    view_.SetDropDownSelection(ids::kCSumType, -1);
    ShowDefinition();
}

void BuilderEditor::ShowDevice() { ShowFields(device_, view_); }
void BuilderEditor::StoreDevice() { StoreFields(view_, device_); }

void BuilderEditor::ShowTemplate() {
    if (!IsRecord<TemplateList>(device_, currentTemplate_)) return;
    const DRUVTemplate& record = *device_.Template(currentTemplate_);
    ShowFields(record, view_);
    // A first-format file's type 4 to 6 means no checksum; an entry would
    // claim one. With none chosen, storing keeps the type as it came.
    const uint8_t type = record.CSumType();
    if (type != kChecksumNone && ChecksumTypeInForce(type, device_.FormatVersion()) == kChecksumNone)
        view_.SetDropDownSelection(ids::kCSumType, -1);
    pendingExtensions_ = record.Extensions();
}

bool BuilderEditor::PendingNeedsLaterFormat() const {
    if (!IsRecord<TemplateList>(device_, currentTemplate_)) return false;
    const int chosen = view_.DropDownSelection(ids::kCSumType);
    return chosen > kLastFirstFormatChecksumType && chosen <= kLastChecksumType;
}

int32_t BuilderEditor::PendingFormatVersion() const {
    const int32_t version = device_.FormatVersion();
    return version < kDefinitionFormatVersion && PendingNeedsLaterFormat() ? kDefinitionFormatVersion : version;
}

void BuilderEditor::StoreTemplate() {
    if (!IsRecord<TemplateList>(device_, currentTemplate_)) return;
    if (PendingNeedsLaterFormat()) MoveToLaterFormat(device_);
    DRUVTemplate& record = *device_.Template(currentTemplate_);
    StoreFields(view_, record);
    record.SetExtensions(pendingExtensions_);
}

bool BuilderEditor::EditAdvanced() {
    if (!IsRecord<TemplateList>(device_, currentTemplate_) || advancedDialog_ == nullptr) return false;
    AdvancedEditor editor(pendingExtensions_, device_.Template(currentTemplate_)->Name());
    if (!advancedDialog_->Run(editor)) return false;
    pendingExtensions_ = editor.Extensions();
    return true;
}

void BuilderEditor::StoreConfigurationTemplates() {
    if (!IsRecord<ConfigurationList>(device_, currentConfiguration_)) return;
    DRUVConfiguration& configuration = *device_.Configuration(currentConfiguration_);
    configuration.ClearRefs();
    const int count = view_.ItemCount(ids::kConfigurationTemplates);
    for (int i = 0; i < count; ++i)
        if (view_.IsItemSelected(ids::kConfigurationTemplates, i))
            configuration.AddRef(view_.ItemText(ids::kConfigurationTemplates, i).c_str());
}

void BuilderEditor::FillConfigurationTemplates() {
    view_.ClearItems(ids::kConfigurationTemplates);
    const size_t count = device_.TemplateCount();
    for (size_t i = 0; i < count; ++i)
        view_.InsertItem(ids::kConfigurationTemplates, static_cast<int>(i), device_.Template(i)->Name());
    if (!IsRecord<ConfigurationList>(device_, currentConfiguration_)) return;
    for (const std::string& ref : device_.Configuration(currentConfiguration_)->Refs()) {
        for (size_t i = 0; i < count; ++i) {
            if (EqualsIgnoringCase(device_.Template(i)->Name().c_str(), ref.c_str())) {
                view_.SetItemSelected(ids::kConfigurationTemplates, static_cast<int>(i), true);
                break;
            }
        }
    }
}

template <typename List>
void BuilderEditor::UpdateButtons(int current) {
    const ListControls& c = List::controls;
    const std::string name = view_.Text(c.name);
    // Compared as it would be stored, so that a name cut to the field's
    // length cannot slip past a listed one.
    const std::string stored = CapText(name.c_str());
    const size_t count = List::Count(device_);
    bool taken = false;
    for (size_t i = 0; i < count && !taken; ++i)
        taken = EqualsIgnoringCase(List::At(device_, i)->Name().c_str(), stored.c_str());
    const ListButtons buttons = EnabledListButtons(static_cast<int>(count), current, name, taken);
    view_.Enable(c.add, buttons.add);
    view_.Enable(c.remove, buttons.remove);
    view_.Enable(c.rename, buttons.rename);
    view_.Enable(c.up, buttons.up);
    view_.Enable(c.down, buttons.down);
}

void BuilderEditor::UpdateListButtons() {
    UpdateButtons<ConfigurationList>(currentConfiguration_);
    UpdateButtons<TemplateList>(currentTemplate_);
    // Without a current template the dialog's edits would go nowhere.
    view_.Enable(ids::kAdvanced, IsRecord<TemplateList>(device_, currentTemplate_));
}

template <typename List>
void BuilderEditor::FillList() {
    const ControlId list = List::controls.list;
    view_.ClearItems(list);
    const size_t count = List::Count(device_);
    for (size_t i = 0; i < count; ++i) view_.InsertItem(list, static_cast<int>(i), List::At(device_, i)->Name());
}

void BuilderEditor::ShowDefinition() {
    ShowDevice();
    currentConfiguration_ = -1;
    currentTemplate_ = -1;
    view_.ClearItems(ids::kConfigurationTemplates);
    FillList<ConfigurationList>();
    FillList<TemplateList>();
    view_.ShowPath(ids::kCurrentDevice, device_.FilePath());
    UpdateListButtons();
}

// The name as it would be stored is judged; a refused one stays in its box
// to be mended.
template <typename List>
bool BuilderEditor::NameRefused(const std::string& name) {
    const char* refusal = List::Refusal(CapText(name.c_str()));
    if (refusal == nullptr) return false;
    ShowMessageBox(refusal, kBuilderCaption, MessageIcon::Error, MessageButtons::Ok, owner_);
    return true;
}

template <typename List>
bool BuilderEditor::AddRecord() {
    const ListControls& c = List::controls;
    const std::string name = view_.Text(c.name);
    if (name.empty() || NameRefused<List>(name)) return false;
    const typename List::Record* record = List::Add(device_, name.c_str());
    if (record == nullptr) return false;
    // The item shows the name as stored, which may be shorter than typed.
    view_.InsertItem(c.list, view_.ItemCount(c.list), record->Name());
    view_.SetText(c.name, "");
    return true;
}

template <typename List>
bool BuilderEditor::RemoveRecord(int& current) {
    const ListControls& c = List::controls;
    if (!IsRecord<List>(device_, current)) return false;
    // No leaves everything as it was, so the current record's unstored edits
    // still reach it later.
    if (ShowMessageBox(c.removeQuestion, kBuilderCaption, MessageIcon::Question, MessageButtons::YesNo, owner_) !=
        MessageAnswer::Yes)
        return false;
    const bool removed = List::Remove(device_, static_cast<size_t>(current));
    if (removed) view_.DeleteItem(c.list, current);
    current = -1;
    view_.SetCurrentSelection(c.list, -1);
    return removed;
}

template <typename List>
bool BuilderEditor::RenameRecord(int current) {
    const ListControls& c = List::controls;
    const std::string name = view_.Text(c.name);
    if (name.empty() || !IsRecord<List>(device_, current) || NameRefused<List>(name)) return false;
    typename List::Record& record = *List::At(device_, static_cast<size_t>(current));
    record.SetName(name.c_str());
    view_.RenameItem(c.list, current, record.Name());
    view_.SetCurrentSelection(c.list, current);
    return true;
}

template <typename List>
bool BuilderEditor::MoveRecord(int& current, int step) {
    const ListControls& c = List::controls;
    const int target = current + step;
    if (!IsRecord<List>(device_, current) || !IsRecord<List>(device_, target)) return false;
    if (!SwapRecords<List>(device_, static_cast<size_t>(current), static_cast<size_t>(target))) return false;
    const std::string text = view_.ItemText(c.list, current);
    view_.DeleteItem(c.list, current);
    view_.InsertItem(c.list, target, text);
    view_.SetCurrentSelection(c.list, target);
    current = target;
    return true;
}

void BuilderEditor::AddConfiguration() {
    AddRecord<ConfigurationList>();
    UpdateListButtons();
}

void BuilderEditor::RemoveConfiguration() {
    RemoveRecord<ConfigurationList>(currentConfiguration_);
    UpdateListButtons();
}

void BuilderEditor::RenameConfiguration() {
    RenameRecord<ConfigurationList>(currentConfiguration_);
    UpdateListButtons();
}

void BuilderEditor::MoveConfigurationUp() {
    MoveRecord<ConfigurationList>(currentConfiguration_, -1);
    UpdateListButtons();
}

void BuilderEditor::MoveConfigurationDown() {
    MoveRecord<ConfigurationList>(currentConfiguration_, +1);
    UpdateListButtons();
}

void BuilderEditor::ConfigurationSelectionChanged() {
    StoreConfigurationTemplates();
    const int selected = view_.CurrentSelection(ids::kConfigurations);
    currentConfiguration_ = IsRecord<ConfigurationList>(device_, selected) ? selected : -1;
    FillConfigurationTemplates();
    UpdateListButtons();
}

// Rebuilding Configuration Templates starts from the stored Refs, so the
// clicks made there since the configuration was selected are stored first.
template <typename Command>
void BuilderEditor::ChangeTemplates(Command command) {
    StoreConfigurationTemplates();
    if (command()) FillConfigurationTemplates();
    UpdateListButtons();
}

void BuilderEditor::AddTemplate() {
    ChangeTemplates([this] { return AddRecord<TemplateList>(); });
}

void BuilderEditor::RemoveTemplate() {
    ChangeTemplates([this] { return RemoveRecord<TemplateList>(currentTemplate_); });
}

void BuilderEditor::RenameTemplate() {
    ChangeTemplates([this] { return RenameRecord<TemplateList>(currentTemplate_); });
}

void BuilderEditor::MoveTemplateUp() {
    ChangeTemplates([this] { return MoveRecord<TemplateList>(currentTemplate_, -1); });
}

void BuilderEditor::MoveTemplateDown() {
    ChangeTemplates([this] { return MoveRecord<TemplateList>(currentTemplate_, +1); });
}

void BuilderEditor::TemplateSelectionChanged() {
    StoreTemplate();
    const int selected = view_.CurrentSelection(ids::kTemplates);
    currentTemplate_ = IsRecord<TemplateList>(device_, selected) ? selected : -1;
    ShowTemplate();
    UpdateListButtons();
}
