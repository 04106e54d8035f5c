#include "druvhost/syx/syx_import.h"

#include <string>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "druvhost/cli/configuration_choice.h"
#include "plugin/engine/checksum.h"
#include "plugin/engine/dump_item.h"
#include "plugin/engine/item_loops.h"
#include "plugin/engine/receive_loop.h"
#include "plugin/engine/template_checksums.h"
#include "plugin/engine/terminator_match.h"
#include "plugin/engine/transfer_state.h"

namespace druvhost {

namespace {

std::string Plural(int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// How a receive of the template fills each loop, so that an import lays the
// file's messages into the same loops.
struct ItemShape {
    const DRUVTemplate* dumpTemplate = nullptr;
    int32_t loops = 0;
    int64_t loopSize = 0;    // the most a loop holds (exactly that when `exact`)
    bool oneMessage = true;  // each loop ends with its first message
    bool exact = false;      // a loop is complete only with loopSize bytes
    int32_t endAfterMessages = 0;
    ChecksumRule rule{};

    ItemShape(const DRUVDevice& device, const DRUVTemplate& t)
        : dumpTemplate(&t),
          loops(ItemLoopCount(t)),
          loopSize(ExpectedLoopSize(t, ItemLoopCount(t)) - 1),
          oneMessage(t.Extensions().unknownLength != 0 || t.MultiSysX() == 0),
          exact(t.FixedLength() != 0 && t.Extensions().unknownLength == 0),
          endAfterMessages(t.Extensions().endAfterMessages),
          rule(DumpChecksumRule(t, device.FormatVersion())) {}

    std::string Describe() const {
        std::string text = Plural(loops, "loop", "loops") + " of ";
        if (oneMessage)
            text += exact ? "one " + std::to_string(loopSize) + "-byte message"
                          : "one message of at most " + std::to_string(loopSize) + " bytes";
        else
            text += (exact ? "" : "at most ") + std::to_string(loopSize) + " bytes in one or more messages";
        if (!oneMessage && endAfterMessages > 0)
            text += " (or " + Plural(endAfterMessages, "message", "messages") + ")";
        return text;
    }
};

std::string MessageAt(const SyxFile& file, size_t index) {
    return "message " + std::to_string(index + 1) + " (at byte " + std::to_string(file.messages[index].offset) + ")";
}

// Lays messages from `next` on into one item. False with the import's
// refusal set; `next` is then where the file stopped fitting.
class ItemLayout {
public:
    ItemLayout(const DRUVDevice& device, const DRUVTemplate& t, const SyxFile& file, SyxImport& import)
        : shape_(device, t), file_(file), import_(import) {}

    bool Lay(size_t& next) {
        ItemImport item;
        item.item = shape_.dumpTemplate->Name();
        item.firstMessage = next;
        import_.items.push_back(std::move(item));
        ItemImport& laid = import_.items.back();
        if (shape_.loops <= 0 || shape_.loopSize <= 0)
            return Refuse("\"" + laid.item + "\" takes no dump (" + Plural(shape_.loops, "loop", "loops") + " of " +
                          std::to_string(shape_.loopSize) + " bytes)");
        for (int32_t loop = 0; loop < shape_.loops; ++loop) {
            if (!LayLoop(loop, next, laid)) return false;
            laid.stored.push_back(kLoopMarker);
        }
        return true;
    }

private:
    bool LayLoop(int32_t loop, size_t& next, ItemImport& laid) {
        int64_t bytes = 0;
        int32_t messages = 0;
        for (;;) {
            if (next == file_.messages.size()) {
                if (messages == 0 || (shape_.exact && bytes < shape_.loopSize))
                    return Refuse(Expects() + "; the file ends after message " + std::to_string(next) + ", with loop " +
                                  std::to_string(loop + 1) + " holding " + std::to_string(bytes) + " bytes");
                return true;
            }
            const SyxMessage& message = file_.messages[next];
            const uint8_t* data = file_.Data(message);
            const DRUVTemplate& t = *shape_.dumpTemplate;
            const uint32_t afterStart = static_cast<uint32_t>(message.size - 1);
            // A terminator the receive does not store ends the loop unstored.
            if (MatchTerminator(state_, t, false, data + 1, afterStart, true)) {
                ++next;
                ++laid.messageCount;
                return true;
            }
            const int64_t size = static_cast<int64_t>(message.size);
            if (shape_.oneMessage ? (shape_.exact ? size != shape_.loopSize : size > shape_.loopSize)
                                  : bytes + size > shape_.loopSize) {
                // An open-ended loop that holds something leaves the message to the next one.
                if (!shape_.oneMessage && !shape_.exact && messages > 0) return true;
                return Refuse(Expects() + "; " + MessageAt(file_, next) + " holds " + std::to_string(size) +
                              " bytes for loop " + std::to_string(loop + 1) +
                              (messages > 0 ? ", which holds " + std::to_string(bytes) + " bytes already" : ""));
            }
            if (!ChecksumFits(next)) return false;
            laid.stored.insert(laid.stored.end(), data, data + message.size);
            ++laid.messageCount;
            ++next;
            ++messages;
            bytes += size;
            if (shape_.oneMessage || bytes == shape_.loopSize) return true;
            if (shape_.endAfterMessages > 0 && messages >= shape_.endAfterMessages) return true;
            if (MatchTerminator(state_, t, true, data + 1, afterStart, true)) return true;
        }
    }

    bool ChecksumFits(size_t index) {
        const SyxMessage& message = file_.messages[index];
        const uint32_t size = static_cast<uint32_t>(message.size);
        if (CheckChecksum(shape_.rule, file_.Data(message), size) != ChecksumCheck::Invalid) return true;
        ChecksumPlace place{};
        PlaceChecksum(shape_.rule, size, &place);
        const uint8_t type = shape_.rule.type;
        const char* kind = type <= kLastChecksumType ? kChecksumTypeNames[type] : "?";
        return Refuse(MessageAt(file_, index) + " fails the checksum of \"" + shape_.dumpTemplate->Name() + "\" (" +
                      kind + " of bytes " + std::to_string(place.start) + " to " +
                      std::to_string(place.start + place.count - 1) + ", at byte " + std::to_string(place.storeAt) +
                      ")");
    }

    std::string Expects() const { return "\"" + shape_.dumpTemplate->Name() + "\" expects " + shape_.Describe(); }

    bool Refuse(std::string text) {
        import_.refusal = std::move(text);
        return false;
    }

    ItemShape shape_;
    const SyxFile& file_;
    SyxImport& import_;
    TransferState state_;  // only for the terminator's match
};

// Lays the file into `templates` in order; whatever is left over is refused.
SyxImport Plan(const DRUVDevice& device, const SyxFile& file, const std::vector<const DRUVTemplate*>& templates) {
    SyxImport import;
    size_t next = 0;
    for (const DRUVTemplate* t : templates) {
        if (!ItemLayout(device, *t, file, import).Lay(next)) {
            import.unmatchedFirst = next;
            import.unmatchedCount = file.messages.size() - next;
            return import;
        }
    }
    if (next < file.messages.size()) {
        import.unmatchedFirst = next;
        import.unmatchedCount = file.messages.size() - next;
        std::string takes = templates.size() == 1 ? "\"" + templates[0]->Name() + "\" takes "
                                                  : "the configuration's " + std::to_string(templates.size()) +
                                                        " items take ";
        import.refusal = takes + Plural(static_cast<int64_t>(next), "message", "messages") + " (" +
                         ItemShape(device, *templates.back()).Describe() + (templates.size() == 1 ? "" : " last") +
                         "); the file holds " + std::to_string(import.unmatchedCount) + " more from " +
                         MessageAt(file, next);
    }
    return import;
}

SyxImport RefusedImport(const SyxFile& file, std::string text) {
    SyxImport import;
    import.unmatchedCount = file.messages.size();
    import.refusal = std::move(text);
    return import;
}

}  // namespace

SyxImport PlanItemImport(const DRUVDevice& device, const SyxFile& file, const std::string& itemName) {
    const DRUVTemplate* t = device.FindTemplate(itemName.c_str());
    if (!t) return RefusedImport(file, "the device has no item \"" + itemName + "\"");
    return Plan(device, file, {t});
}

SyxImport PlanConfigurationImport(const DRUVDevice& device, const SyxFile& file, uint32_t mask) {
    std::vector<const DRUVTemplate*> templates;
    const std::vector<bool> selected = SelectedTemplates(device, mask);
    for (size_t t = 0; t < selected.size(); ++t)
        if (selected[t]) templates.push_back(device.Template(t));
    if (templates.empty()) return RefusedImport(file, "the configuration names no item of the device");
    return Plan(device, file, templates);
}

}  // namespace druvhost
