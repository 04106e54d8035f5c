// A builder over the in-memory view, with recorded message boxes and file
// dialogs that answer from a queue, an "Advanced" dialog that tests answer,
// and a scratch folder for the files. Every box must be owned by the window
// it is shown over, the "Advanced" dialog while it is open and the builder's
// window otherwise: one without an owner leaves the window free to be
// closed, or to start another command, under it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "builder/template_builder.h"
#include "builder/testing/fake_advanced_dialog.h"
#include "builder/testing/fake_builder_view.h"
#include "platform/file_dialog.h"
#include "tests/device/test_support.h"
#include "platform/guid.h"

namespace ids = builder_controls;

class BuilderTest : public ::testing::Test {
protected:
    BuilderTest()
        : boxes_([this](const MessageBoxRequest& r) {
              void* const owner = advanced.Running() ? advanced.Window() : &window;
              if (r.owner != owner) ADD_FAILURE() << "a box not owned by the window it is shown over: " << r.text;
              boxes.push_back(r.text);
              shownBoxes.push_back({r.text, r.caption, r.icon, r.buttons, r.owner});
              return answer;
          }),
          dialogs_([this](const FileDialogRequest& r) {
              requests.push_back(r);
              if (choices.empty()) return FileDialogResult{FileDialogOutcome::Cancelled, {}};
              const std::string path = choices.front();
              choices.pop_front();
              return FileDialogResult{FileDialogOutcome::Chosen, {path}};
          }) {
        builder.SetOwner(&window);
        builder.SetAdvancedDialog(&advanced);
        builder.Start();
    }
    ~BuilderTest() override {
        for (const std::string& misuse : view.Misuses()) ADD_FAILURE() << "view misused: " << misuse;
        for (const std::string& misuse : advanced.Boxes().Misuses()) ADD_FAILURE() << "dialog misused: " << misuse;
        for (const std::string& misuse : advanced.Misuses()) ADD_FAILURE() << "dialog misused: " << misuse;
    }

    void Type(ControlId box, const std::string& text) {
        view.Type(box, text);
        builder.TextChanged(box);
    }
    // A check box clicked, a drop-down's entry chosen, a click in
    // Configuration Templates, each told to the core as the window tells it.
    void Tick(ControlId box, bool ticked) {
        view.SetChecked(box, ticked);
        builder.Edited(box);
    }
    void Choose(ControlId dropDown, int entry) {
        view.SetDropDownSelection(dropDown, entry);
        builder.Edited(dropDown);
    }
    void Toggle(int item) {
        view.Click(ids::kConfigurationTemplates, item);
        builder.Edited(ids::kConfigurationTemplates);
    }
    void Select(ControlId list, int index) {
        view.SetCurrentSelection(list, index);
        builder.SelectionChanged(list);
    }
    void Add(ControlId nameBox, ControlId add, const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            Type(nameBox, name);
            builder.Command(add);
        }
    }
    void AddConfigurations(const std::vector<std::string>& names) {
        Add(ids::kConfigurationName, ids::kConfigurationAdd, names);
    }
    void AddTemplates(const std::vector<std::string>& names) { Add(ids::kTemplateName, ids::kTemplateAdd, names); }
    // Saves under `path` through Save As.
    bool SaveAs(const std::string& path) {
        choices.push_back(path);
        return builder.Document().SaveAs();
    }
    bool Open(const std::string& path) {
        choices.push_back(path);
        return builder.Document().Open();
    }
    DRUVDevice& device() { return builder.Device(); }

    int window = 0;  // stands for the window's handle
    FakeBuilderView view;
    FakeAdvancedDialog advanced;
    TemplateBuilder builder{view};
    ScratchFolder folder;
    MessageAnswer answer = MessageAnswer::Yes;
    std::vector<std::string> boxes;
    std::vector<RecordedBox> shownBoxes;  // the same boxes, whole
    std::deque<std::string> choices;  // paths the dialogs choose; none left: Cancel
    std::vector<FileDialogRequest> requests;

private:
    ScopedMessageBoxHandler boxes_;
    ScopedFileDialogHandler dialogs_;
};

// The definition in a file, read by a device of its own.
inline void ReadDefinition(const std::string& path, DRUVDevice& device) {
    device.SetFilePath(path.c_str());
    ASSERT_EQ(0, device.LoadDefinition()) << path;
}

inline bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
