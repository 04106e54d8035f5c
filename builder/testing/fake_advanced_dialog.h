// An "Advanced" dialog for tests: its boxes are a FakeBuilderView, and the
// person in front of it is a function that edits them and then presses OK
// or Cancel. After an OK that is refused the person is asked again, as the
// dialog stays open; a person who never gets past the refusals is recorded
// in Misuses() and the dialog is cancelled.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "builder/advanced_editor.h"
#include "builder/testing/fake_builder_view.h"

class FakeAdvancedDialog : public AdvancedDialog {
public:
    enum class Press { Ok, Cancel };
    using Person = std::function<Press(FakeBuilderView& boxes)>;

    // The next Run is answered by `person`.
    void Answer(Person person) { person_ = std::move(person); }

    bool Run(AdvancedEditor& editor) override;

    // The boxes of the last dialog, as it left them.
    FakeBuilderView& Boxes() { return boxes_; }
    int Runs() const { return runs_; }
    bool Running() const { return running_; }
    // Stands for the dialog's window, the owner of its message boxes.
    void* Window() { return &window_; }
    // The box each refusal asked to mend, in order.
    const std::vector<ControlId>& Refused() const { return refused_; }
    const std::vector<std::string>& Misuses() const { return misuses_; }

private:
    bool Dialog(AdvancedEditor& editor);

    Person person_;
    FakeBuilderView boxes_;
    int runs_ = 0;
    bool running_ = false;
    int window_ = 0;
    std::vector<ControlId> refused_;
    std::vector<std::string> misuses_;
};
