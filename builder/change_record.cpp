#include "builder/change_record.h"

#include <cctype>
#include <unordered_map>

#include "builder/advanced_fields.h"
#include "builder/field_bindings.h"

namespace {

namespace ids = builder_controls;

std::string FoldedCase(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

std::string TemplateText(const DRUVTemplate& record, const std::string& fields,
                         const TemplateExtensions& extensions) {
    std::string text;
    AppendFieldText(text, record.Name());
    return text + fields + ExtensionsText(extensions);
}

void AppendIndex(std::string& text, size_t index) {
    text += std::to_string(index);
    text += ',';
}

}  // namespace

ChangeRecord::ChangeRecord(const DRUVDevice& device, const BuilderEditor& editor, const BuilderView& view)
    : device_(device), editor_(editor), view_(view) {}

ChangeRecord::Snapshot ChangeRecord::Records() const {
    Snapshot records;
    const size_t templates = device_.TemplateCount();
    records.templates.reserve(templates);
    // A Ref selects the first template of its name, letter case aside, as
    // Configuration Templates shows it.
    std::unordered_map<std::string, size_t> firstOfName;
    for (size_t i = 0; i < templates; ++i) {
        const DRUVTemplate& record = *device_.Template(i);
        records.templates.push_back(TemplateText(record, FieldsText(record), record.Extensions()));
        firstOfName.emplace(FoldedCase(record.Name()), i);
    }
    const size_t configurations = device_.ConfigurationCount();
    records.configurations.reserve(configurations);
    for (size_t c = 0; c < configurations; ++c) {
        const DRUVConfiguration& configuration = *device_.Configuration(c);
        std::vector<bool> selected(templates, false);
        for (const std::string& ref : configuration.Refs()) {
            const auto found = firstOfName.find(FoldedCase(ref));
            if (found != firstOfName.end()) selected[found->second] = true;
        }
        std::string text;
        AppendFieldText(text, configuration.Name());
        for (size_t i = 0; i < templates; ++i)
            if (selected[i]) AppendIndex(text, i);
        records.configurations.push_back(text);
    }
    return records;
}

void ChangeRecord::Compare(const Snapshot& records) {
    currentConfiguration_ = editor_.CurrentConfiguration();
    currentTemplate_ = editor_.CurrentTemplate();
    recordsDiffer_ = records.templates.size() != saved_.templates.size() ||
                     records.configurations.size() != saved_.configurations.size();
    for (size_t i = 0; i < records.templates.size() && !recordsDiffer_; ++i)
        recordsDiffer_ = static_cast<int>(i) != currentTemplate_ && records.templates[i] != saved_.templates[i];
    for (size_t i = 0; i < records.configurations.size() && !recordsDiffer_; ++i)
        recordsDiffer_ =
            static_cast<int>(i) != currentConfiguration_ && records.configurations[i] != saved_.configurations[i];
    TakeBoxes();
    TakeConfigurationSelection();
}

void ChangeRecord::TakeRecords() { Compare(Records()); }

void ChangeRecord::MarkSaved() {
    saved_ = Records();
    Compare(saved_);
    // What the boxes show stands for the current records: the save stored it,
    // or nothing has been typed since the definition was shown.
    savedDevice_ = pendingDevice_;
    savedFormat_ = pendingFormat_;
    if (IsCurrent(currentTemplate_, saved_.templates.size())) saved_.templates[currentTemplate_] = pendingTemplate_;
    if (IsCurrent(currentConfiguration_, saved_.configurations.size()))
        saved_.configurations[currentConfiguration_] = pendingConfiguration_;
    recordsDiffer_ = false;
}

void ChangeRecord::TakeBoxes() {
    pendingDevice_ = PendingFieldsText(view_, device_);
    pendingFormat_ = editor_.PendingFormatVersion();
    pendingTemplate_.clear();
    if (IsCurrent(currentTemplate_, device_.TemplateCount())) {
        const DRUVTemplate& record = *device_.Template(static_cast<size_t>(currentTemplate_));
        pendingTemplate_ = TemplateText(record, PendingFieldsText(view_, record), editor_.PendingExtensions());
    }
}

void ChangeRecord::TakeConfigurationSelection() {
    pendingConfiguration_.clear();
    if (!IsCurrent(currentConfiguration_, device_.ConfigurationCount())) return;
    AppendFieldText(pendingConfiguration_, device_.Configuration(static_cast<size_t>(currentConfiguration_))->Name());
    const int items = view_.ItemCount(ids::kConfigurationTemplates);
    for (int i = 0; i < items; ++i)
        if (view_.IsItemSelected(ids::kConfigurationTemplates, i))
            AppendIndex(pendingConfiguration_, static_cast<size_t>(i));
}

bool ChangeRecord::HasUnsavedChanges() const {
    if (recordsDiffer_ || pendingDevice_ != savedDevice_ || pendingFormat_ != savedFormat_) return true;
    if (IsCurrent(currentTemplate_, saved_.templates.size()) && pendingTemplate_ != saved_.templates[currentTemplate_])
        return true;
    return IsCurrent(currentConfiguration_, saved_.configurations.size()) &&
           pendingConfiguration_ != saved_.configurations[currentConfiguration_];
}
