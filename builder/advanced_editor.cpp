#include "builder/advanced_editor.h"

#include "builder/builder_messages.h"
#include "platform/message_box.h"

AdvancedEditor::AdvancedEditor(const TemplateExtensions& extensions, const std::string& templateName)
    : extensions_(extensions), caption_(std::string(kAdvancedCaption) + templateName) {}

void AdvancedEditor::Show(BuilderView& view) const {
    view.SetTitle(caption_);
    LimitAdvancedBoxes(view);
    ShowAdvancedFields(extensions_, view);
}

bool AdvancedEditor::Accept(const BuilderView& view, void* owner) {
    const AdvancedRefusal refusal = ReadAdvancedFields(view, extensions_);
    refused_ = refusal.control;
    if (refused_ == 0) return true;
    ShowMessageBox(refusal.message.c_str(), kBuilderCaption, MessageIcon::Error, MessageButtons::Ok, owner);
    return false;
}
