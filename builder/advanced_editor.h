// The "Advanced" dialog: the current template's extensions of the definition
// format, edited apart from the main window. The dialog works on a copy of
// the extensions that the template editor holds for the current template;
// only OK hands the copy back, and the template editor stores it into the
// template with the template's other fields. Cancel and closing the dialog
// drop the dialog's edits.
#pragma once

#include <string>

#include "builder/advanced_fields.h"
#include "builder/builder_view.h"
#include "device/template_extensions.h"

// The dialog's core. It reaches the dialog's boxes by control id through a
// BuilderView, whose title is the dialog's caption, and is told which window
// owns its message boxes.
class AdvancedEditor {
public:
    AdvancedEditor(const TemplateExtensions& extensions, const std::string& templateName);

    // Once the dialog's controls and drop-down entries exist: its caption,
    // the limits of its boxes and the extensions in them.
    void Show(BuilderView& view) const;
    // OK: true once every box is accepted and the extensions are taken from
    // them. Otherwise the first refused box is named in an error box owned by
    // `owner`, RefusedControl() says which box to mend, and the dialog stays.
    bool Accept(const BuilderView& view, void* owner);

    ControlId RefusedControl() const { return refused_; }
    const TemplateExtensions& Extensions() const { return extensions_; }

private:
    TemplateExtensions extensions_;
    std::string caption_;
    ControlId refused_ = 0;
};

// The window side: a modal dialog over the builder's window.
class AdvancedDialog {
public:
    virtual ~AdvancedDialog() = default;
    // Shows the dialog and returns when it is closed: true when it was closed
    // with OK, which closes it only once `editor.Accept` agrees.
    virtual bool Run(AdvancedEditor& editor) = 0;
};
