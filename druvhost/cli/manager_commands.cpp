#include "druvhost/cli/manager_commands.h"

#include "druvhost/cli/command_line.h"
#include "druvhost/cli/installed_devices.h"
#include "platform/message_box.h"

namespace druvhost {

namespace {

// Prints each box as a paragraph; errors and warnings are marked as such
// and remembered.
class BoxPrinter {
public:
    explicit BoxPrinter(std::ostream& out)
        : guard_([this](const MessageBoxRequest& box) { return Print(box); }), out_(out) {}
    bool Failed() const { return failed_; }

private:
    MessageAnswer Print(const MessageBoxRequest& box) {
        const std::string text = box.text ? box.text : "";
        switch (box.icon) {
            case MessageIcon::Error: out_ << "error: "; failed_ = true; break;
            case MessageIcon::Warning: out_ << "warning: "; failed_ = true; break;
            default: break;
        }
        out_ << text;
        if (box.buttons == MessageButtons::YesNo) {
            out_ << " [Yes]\n";
            return MessageAnswer::Yes;
        }
        out_ << "\n";
        return MessageAnswer::Ok;
    }

    ScopedMessageBoxHandler guard_;
    std::ostream& out_;
    bool failed_ = false;
};

}  // namespace

int InstallDefinitions(const std::vector<std::string>& files, ManagerEnvironment environment, std::ostream& out) {
    BoxPrinter boxes(out);
    InstrumentManager manager(std::move(environment));
    manager.LoadInstrumentList();
    for (const std::string& file : files) {
        const size_t before = manager.List().Count();
        manager.InstallDevice(file);
        // The reader's own box may not be an error one; an install that
        // added nothing has failed all the same.
        if (manager.List().Count() == before && !boxes.Failed()) out << "error: " << file << " was not installed\n";
        if (manager.List().Count() == before) return kExitFailure;
    }
    return boxes.Failed() ? kExitFailure : kExitSuccess;
}

int UninstallDevices(const std::vector<std::string>& devices, ManagerEnvironment environment, std::ostream& out) {
    RegistryEditor& registry = environment.registry;
    const std::vector<InstalledDevice> installed = InstalledDevices(registry);
    BoxPrinter boxes(out);
    InstrumentManager manager(std::move(environment));
    manager.LoadInstrumentList();
    for (const std::string& text : devices) {
        std::string error;
        const InstalledDevice* device = FindDevice(installed, text, error);
        if (device == nullptr) {
            out << "error: " << error << "; nothing was removed\n";
            return kExitFailure;
        }
        const size_t index = manager.List().FindName(device->name);
        if (index >= manager.List().Count() || !manager.SetSelected(index, true)) {
            out << "error: " << device->name << " is not in the list of installed devices\n";
            return kExitFailure;
        }
    }
    const size_t before = manager.List().Count();
    manager.Remove();
    if (boxes.Failed()) return kExitFailure;
    out << (before - manager.List().Count()) << " device(s) removed\n";
    return kExitSuccess;
}

}  // namespace druvhost
