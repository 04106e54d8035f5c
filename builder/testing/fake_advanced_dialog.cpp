#include "builder/testing/fake_advanced_dialog.h"

namespace {

// More refusals than any test needs: a person stuck in the dialog.
constexpr int kMostOks = 20;

}  // namespace

bool FakeAdvancedDialog::Run(AdvancedEditor& editor) {
    ++runs_;
    running_ = true;
    const bool ok = Dialog(editor);
    running_ = false;
    return ok;
}

bool FakeAdvancedDialog::Dialog(AdvancedEditor& editor) {
    boxes_ = FakeBuilderView();
    editor.Show(boxes_);
    if (!person_) {
        misuses_.push_back("a dialog that no test answers");
        return false;
    }
    for (int ok = 0; ok < kMostOks; ++ok) {
        if (person_(boxes_) == Press::Cancel) return false;
        if (editor.Accept(boxes_, Window())) return true;
        refused_.push_back(editor.RefusedControl());
    }
    misuses_.push_back("OK refused " + std::to_string(kMostOks) + " times");
    return false;
}
