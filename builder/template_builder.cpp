#include "builder/template_builder.h"

#include "builder/document_title.h"

namespace {

namespace ids = builder_controls;
namespace commands = builder_commands;

struct CommandEntry {
    ControlId id;
    void (*run)(BuilderEditor& editor, BuilderDocument& document);
};

const CommandEntry kCommands[] = {
    {commands::kNew, [](BuilderEditor&, BuilderDocument& d) { d.New(); }},
    {commands::kOpen, [](BuilderEditor&, BuilderDocument& d) { d.Open(); }},
    {commands::kSave, [](BuilderEditor&, BuilderDocument& d) { d.Save(); }},
    {commands::kSaveAs, [](BuilderEditor&, BuilderDocument& d) { d.SaveAs(); }},
    {ids::kConfigurationAdd, [](BuilderEditor& e, BuilderDocument&) { e.AddConfiguration(); }},
    {ids::kConfigurationRemove, [](BuilderEditor& e, BuilderDocument&) { e.RemoveConfiguration(); }},
    {ids::kConfigurationRename, [](BuilderEditor& e, BuilderDocument&) { e.RenameConfiguration(); }},
    {ids::kConfigurationUp, [](BuilderEditor& e, BuilderDocument&) { e.MoveConfigurationUp(); }},
    {ids::kConfigurationDown, [](BuilderEditor& e, BuilderDocument&) { e.MoveConfigurationDown(); }},
    {ids::kTemplateAdd, [](BuilderEditor& e, BuilderDocument&) { e.AddTemplate(); }},
    {ids::kTemplateRemove, [](BuilderEditor& e, BuilderDocument&) { e.RemoveTemplate(); }},
    {ids::kTemplateRename, [](BuilderEditor& e, BuilderDocument&) { e.RenameTemplate(); }},
    {ids::kTemplateUp, [](BuilderEditor& e, BuilderDocument&) { e.MoveTemplateUp(); }},
    {ids::kTemplateDown, [](BuilderEditor& e, BuilderDocument&) { e.MoveTemplateDown(); }},
    {ids::kAdvanced, [](BuilderEditor& e, BuilderDocument&) { e.EditAdvanced(); }},
};

}  // namespace

TemplateBuilder::TemplateBuilder(BuilderView& view)
    : view_(view),
      editor_(device_, view),
      changes_(device_, editor_, view),
      document_(device_, editor_, view, changes_) {}

void TemplateBuilder::SetAdvancedDialog(AdvancedDialog* dialog) { editor_.SetAdvancedDialog(dialog); }

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

// Only the core's commands take the records again: a check box's click or
// the dialog keys' OK and Cancel change no record.
bool TemplateBuilder::Command(ControlId id) {
    for (const CommandEntry& command : kCommands) {
        if (command.id != id) continue;
        Handle(Changed::Records, [&] { command.run(editor_, document_); });
        return true;
    }
    return false;
}

void TemplateBuilder::SelectionChanged(ControlId list) {
    Handle(Changed::Records, [&] {
        if (list == ids::kConfigurations) editor_.ConfigurationSelectionChanged();
        if (list == ids::kTemplates) editor_.TemplateSelectionChanged();
    });
}

void TemplateBuilder::TextChanged(ControlId box) {
    Handle(Changed::Boxes, [&] {
        if (box == ids::kConfigurationName || box == ids::kTemplateName)
            editor_.UpdateListButtons();
    });
}

void TemplateBuilder::Edited(ControlId control) {
    const Changed changed = control == ids::kConfigurationTemplates ? Changed::ConfigurationSelection : Changed::Boxes;
    Handle(changed, [] {});
}

// A close that arrives while a command waits in one of its boxes (another
// program may send it to a disabled window) would end the window under the
// command; it is refused, and the command finishes first.
bool TemplateBuilder::MayClose() {
    if (depth_ > 0) return false;
    bool may = false;
    Handle(Changed::Records, [&] { may = document_.MayDiscard(); });
    return may;
}
