#include "builder/template_builder.h"

#include "builder/document_title.h"

TemplateBuilder::TemplateBuilder(BuilderView& view)
    : view_(view),
      editor_(device_, view),
      changes_(device_, editor_, view),
      document_(device_, editor_, view, changes_) {}

void TemplateBuilder::SetOwner(void* owner) {
    device_.SetMessageOwner(owner);
    editor_.SetMessageOwner(owner);
    document_.SetOwner(owner);
}

void TemplateBuilder::Start() {
    Handle(Changed::Records, [this] {
        editor_.Start();
        changes_.MarkSaved();
    });
}

template <typename Work>
void TemplateBuilder::Handle(Changed changed, Work work) {
    ++depth_;
    work();
    if (--depth_ > 0) return;
    switch (changed) {
        case Changed::Records: changes_.TakeRecords(); break;
        case Changed::Boxes: changes_.TakeBoxes(); break;
        case Changed::ConfigurationSelection: changes_.TakeConfigurationSelection(); break;
    }
    ShowTitle();
}

void TemplateBuilder::ShowTitle() {
    const std::string title = WindowTitle(device_.FilePath(), changes_.HasUnsavedChanges());
    if (title == title_) return;
    title_ = title;
    view_.SetTitle(title);
}

bool TemplateBuilder::Command(ControlId id) {
    namespace ids = builder_controls;
    namespace commands = builder_commands;
    bool known = true;
    Handle(Changed::Records, [&] {
        switch (id) {
            case commands::kNew: document_.New(); break;
            case commands::kOpen: document_.Open(); break;
            case commands::kSave: document_.Save(); break;
            case commands::kSaveAs: document_.SaveAs(); break;
            case ids::kConfigurationAdd: editor_.AddConfiguration(); break;
            case ids::kConfigurationRemove: editor_.RemoveConfiguration(); break;
            case ids::kConfigurationRename: editor_.RenameConfiguration(); break;
            case ids::kConfigurationUp: editor_.MoveConfigurationUp(); break;
            case ids::kConfigurationDown: editor_.MoveConfigurationDown(); break;
            case ids::kTemplateAdd: editor_.AddTemplate(); break;
            case ids::kTemplateRemove: editor_.RemoveTemplate(); break;
            case ids::kTemplateRename: editor_.RenameTemplate(); break;
            case ids::kTemplateUp: editor_.MoveTemplateUp(); break;
            case ids::kTemplateDown: editor_.MoveTemplateDown(); break;
            default: known = false; break;
        }
    });
    return known;
}

void TemplateBuilder::SelectionChanged(ControlId list) {
    Handle(Changed::Records, [&] {
        if (list == builder_controls::kConfigurations) editor_.ConfigurationSelectionChanged();
        if (list == builder_controls::kTemplates) editor_.TemplateSelectionChanged();
    });
}

void TemplateBuilder::TextChanged(ControlId box) {
    Handle(Changed::Boxes, [&] {
        if (box == builder_controls::kConfigurationName || box == builder_controls::kTemplateName)
            editor_.UpdateListButtons();
    });
}

void TemplateBuilder::Edited(ControlId control) {
    const Changed changed = control == builder_controls::kConfigurationTemplates ? Changed::ConfigurationSelection
                                                                                 : Changed::Boxes;
    Handle(changed, [] {});
}

bool TemplateBuilder::MayClose() {
    bool may = false;
    Handle(Changed::Records, [&] { may = document_.MayDiscard(); });
    return may;
}
