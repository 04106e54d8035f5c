#include "builder/template_builder.h"

TemplateBuilder::TemplateBuilder(BuilderView& view)
    : editor_(device_, view), document_(device_, editor_, view) {}

void TemplateBuilder::SetOwner(void* owner) {
    editor_.SetMessageOwner(owner);
    document_.SetOwner(owner);
}

void TemplateBuilder::Start() { editor_.Start(); }

bool TemplateBuilder::Command(ControlId id) {
    namespace ids = builder_controls;
    namespace commands = builder_commands;
    switch (id) {
        case commands::kOpen: document_.Open(); return true;
        case commands::kSave: document_.Save(); return true;
        case commands::kSaveAs: document_.SaveAs(); return true;
        case ids::kConfigurationAdd: editor_.AddConfiguration(); return true;
        case ids::kConfigurationRemove: editor_.RemoveConfiguration(); return true;
        case ids::kConfigurationRename: editor_.RenameConfiguration(); return true;
        case ids::kConfigurationUp: editor_.MoveConfigurationUp(); return true;
        case ids::kConfigurationDown: editor_.MoveConfigurationDown(); return true;
        case ids::kTemplateAdd: editor_.AddTemplate(); return true;
        case ids::kTemplateRemove: editor_.RemoveTemplate(); return true;
        case ids::kTemplateRename: editor_.RenameTemplate(); return true;
        case ids::kTemplateUp: editor_.MoveTemplateUp(); return true;
        case ids::kTemplateDown: editor_.MoveTemplateDown(); return true;
        default: return false;
    }
}

void TemplateBuilder::SelectionChanged(ControlId list) {
    if (list == builder_controls::kConfigurations) editor_.ConfigurationSelectionChanged();
    if (list == builder_controls::kTemplates) editor_.TemplateSelectionChanged();
}

void TemplateBuilder::TextChanged(ControlId box) {
    if (box == builder_controls::kConfigurationName || box == builder_controls::kTemplateName)
        editor_.UpdateListButtons();
}
