// The main window's editing behind its controls: the device fields, the
// Configurations and Templates lists with their commands, the selection of
// templates in the current configuration, and the template editor. Every
// list item stands for the device's record at the same index, so the lists
// show the device's order.
//
// Edits in the boxes reach the device only at fixed moments: the device
// boxes with StoreDevice (at save), the template editor when another
// template is selected or at save, the Configuration Templates selection
// when another configuration is selected, before a template command
// rebuilds it, or at save. List commands change the device at once. The
// current template's extensions, edited in the "Advanced" dialog, belong to
// the template editor: held beside its boxes, stored with them.
#pragma once

#include <string>

#include "builder/advanced_editor.h"
#include "builder/builder_view.h"
#include "device/druv_device.h"
#include "device/template_extensions.h"

class BuilderEditor {
public:
    BuilderEditor(DRUVDevice& device, BuilderView& view);
    BuilderEditor(const BuilderEditor&) = delete;
    BuilderEditor& operator=(const BuilderEditor&) = delete;

    // Owner window of the confirmation boxes (an HWND on Windows), or null.
    void SetMessageOwner(void* owner) { owner_ = owner; }
    // The window's "Advanced" dialog, or null for none.
    void SetAdvancedDialog(AdvancedDialog* dialog) { advancedDialog_ = dialog; }

    // Once, when the window has been created: limits the one-line boxes,
    // shows the device, leaves the template editor's drop-downs unselected.
    void Start();

    // Indices of the current records, -1 for none.
    int CurrentConfiguration() const { return currentConfiguration_; }
    int CurrentTemplate() const { return currentTemplate_; }

    void ShowDevice();
    void StoreDevice();
    // Both do nothing without a current template. A checksum type that the
    // device's format does not know shows no entry. Storing a checksum kind
    // of the later format moves a device of the first one to the later
    // format (MoveToLaterFormat), so that the kind is in force.
    void ShowTemplate();
    void StoreTemplate();
    // The current template's extensions as the template editor holds them:
    // the template's own until the "Advanced" dialog's OK changes them.
    const TemplateExtensions& PendingExtensions() const { return pendingExtensions_; }
    // The format version the device would have once the template editor is
    // stored.
    int32_t PendingFormatVersion() const;
    // Button "Advanced...": the dialog over the pending extensions; true when
    // its OK took them. Nothing without a current template.
    bool EditAdvanced();
    // The current configuration's Refs from the selected Configuration
    // Templates items, top to bottom; nothing without a current configuration.
    void StoreConfigurationTemplates();
    // Configuration Templates rebuilt from the templates, with the current
    // configuration's Refs selected (first match ignoring case).
    void FillConfigurationTemplates();
    void UpdateListButtons();
    // After a file was read: device fields, both lists, no current records,
    // the path in "Current Device". The template editor keeps its contents.
    void ShowDefinition();

    // Configuration commands (buttons Add, Rem, Ed, Up, Dn) and the list's
    // selection change. Rem asks first; Add and Ed refuse a name with ';'.
    void AddConfiguration();
    void RemoveConfiguration();
    void RenameConfiguration();
    void MoveConfigurationUp();
    void MoveConfigurationDown();
    void ConfigurationSelectionChanged();

    // The same for templates; each command that changes the Templates list
    // keeps the current configuration's selection and rebuilds Configuration
    // Templates.
    void AddTemplate();
    void RemoveTemplate();
    void RenameTemplate();
    void MoveTemplateUp();
    void MoveTemplateDown();
    void TemplateSelectionChanged();

private:
    // Shows why the name cannot be taken, if it cannot.
    template <typename List>
    bool NameRefused(const std::string& name);
    template <typename List>
    bool AddRecord();
    template <typename List>
    bool RemoveRecord(int& current);
    template <typename List>
    bool RenameRecord(int current);
    template <typename List>
    bool MoveRecord(int& current, int step);
    template <typename List>
    void FillList();
    template <typename List>
    void UpdateButtons(int current);
    template <typename Command>
    void ChangeTemplates(Command command);

    // Whether the template editor holds a checksum kind that only the later
    // format knows.
    bool PendingNeedsLaterFormat() const;

    DRUVDevice& device_;
    BuilderView& view_;
    void* owner_ = nullptr;
    AdvancedDialog* advancedDialog_ = nullptr;
    TemplateExtensions pendingExtensions_;
    int currentConfiguration_ = -1;
    int currentTemplate_ = -1;
};
