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
// rebuilds it, or at save. List commands change the device at once.
#pragma once

#include <string>

#include "builder/builder_view.h"
#include "device/druv_device.h"

class BuilderEditor {
public:
    BuilderEditor(DRUVDevice& device, BuilderView& view);
    BuilderEditor(const BuilderEditor&) = delete;
    BuilderEditor& operator=(const BuilderEditor&) = delete;

    // Owner window of the confirmation boxes (an HWND on Windows), or null.
    void SetMessageOwner(void* owner) { owner_ = owner; }

    // Once, when the window has been created: limits the one-line boxes,
    // shows the device, leaves the template editor's drop-downs unselected.
    void Start();

    // Indices of the current records, -1 for none.
    int CurrentConfiguration() const { return currentConfiguration_; }
    int CurrentTemplate() const { return currentTemplate_; }

    void ShowDevice();
    void StoreDevice();
    // Both do nothing without a current template.
    void ShowTemplate();
    void StoreTemplate();
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

    DRUVDevice& device_;
    BuilderView& view_;
    void* owner_ = nullptr;
    int currentConfiguration_ = -1;
    int currentTemplate_ = -1;
};
