// The "Advanced" dialog over the current template's extensions: every box
// bound to its element of the file, the dialog's OK and Cancel, the storing
// rules it shares with the template editor, and what it refuses.
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>

#include "builder/advanced_fields.h"
#include "builder/builder_messages.h"
#include "device/byte_string.h"
#include "device/text_fields.h"
#include "tests/builder/builder_test_support.h"

namespace {

namespace boxes = advanced_controls;
using Press = FakeAdvancedDialog::Press;

const AdvancedField* Fields(size_t& count) { return AdvancedFields(count); }

// A value for box i of template j that no other box of that template holds,
// as the box takes it, and as the file's field then holds it.
struct Entry {
    std::string typed;  // text, or the entry or tick as a number
    std::string held;   // decimal, or the bytes as hexadecimal text
};
Entry ValueFor(const AdvancedField& box, int i, int j) {
    switch (box.box) {
        case AdvancedBox::Check: {
            const std::string tick = DecimalText(((i + 1) >> j) & 1);
            return {tick, tick};
        }
        case AdvancedBox::DropDown: {
            const std::string entry = DecimalText(1 + (i + j) % (box.entryCount - 1));
            return {entry, entry};
        }
        case AdvancedBox::Bytes: {
            char bytes[16];
            std::snprintf(bytes, sizeof bytes, "F0 %02X %02X ", i, j);
            return {bytes, bytes};
        }
        case AdvancedBox::Number: break;
    }
    // Address bytes take 1 to 4, a range from the end 0 or 2 and more.
    if (box.rule == NumberRule::AddressBytes) return {DecimalText(1 + j), DecimalText(1 + j)};
    const std::string n = DecimalText(100 + 10 * j + i);
    return {" " + n + " ", n};
}

void Enter(FakeBuilderView& dialog, const AdvancedField& box, const std::string& typed) {
    if (box.box == AdvancedBox::Check) dialog.SetChecked(box.control, typed == "1");
    else if (box.box == AdvancedBox::DropDown) dialog.SetDropDownSelection(box.control, std::stoi(typed));
    else dialog.Type(box.control, typed);
}

std::string Shown(const FakeBuilderView& dialog, const AdvancedField& box) {
    if (box.box == AdvancedBox::Check) return dialog.IsChecked(box.control) ? "1" : "0";
    if (box.box == AdvancedBox::DropDown) return DecimalText(dialog.DropDownSelection(box.control));
    return dialog.Text(box.control);
}

std::string Held(const TemplateExtensions& extensions, const AdvancedField& box) {
    const ExtensionField& field = *ExtensionOf(box);
    return field.bytes ? BytesToHexText(extensions.*field.bytes) : DecimalText(extensions.*field.number);
}

class AdvancedDialogTest : public BuilderTest {
protected:
    // Opens the dialog over the current template; the person types `typed`
    // into `control` and presses `press`.
    bool Advanced(std::function<Press(FakeBuilderView&)> person) {
        advanced.Answer(std::move(person));
        const int runs = advanced.Runs();
        builder.Command(ids::kAdvanced);
        return advanced.Runs() > runs;
    }
    bool TypeInDialog(ControlId control, const std::string& text, Press press) {
        return Advanced([=](FakeBuilderView& d) {
            d.Type(control, text);
            return press;
        });
    }
    std::string ShownInDialog(ControlId control) {
        std::string shown;
        Advanced([&](FakeBuilderView& d) {
            shown = d.Text(control);
            return Press::Cancel;
        });
        return shown;
    }
};

// The dialog's boxes come from the file's own table of extensions: a field
// the file gains without a box here, or a box for an element the file does
// not have, fails this test before any author meets it.
TEST_F(AdvancedDialogTest, EveryExtensionOfTheFileHasOneBoxAndEveryBoxOneExtension) {
    size_t fieldCount = 0, boxCount = 0;
    const ExtensionField* fields = ExtensionFields(fieldCount);
    const AdvancedField* dialog = Fields(boxCount);
    for (size_t f = 0; f < fieldCount; ++f) {
        int found = 0;
        for (size_t b = 0; b < boxCount; ++b) found += std::strcmp(dialog[b].element, fields[f].name) == 0;
        EXPECT_EQ(1, found) << fields[f].name;
    }
    std::set<ControlId> controls;
    for (size_t b = 0; b < boxCount; ++b) {
        SCOPED_TRACE(dialog[b].element);
        const ExtensionField* field = ExtensionOf(dialog[b]);
        ASSERT_NE(nullptr, field);
        EXPECT_EQ(dialog[b].box == AdvancedBox::Bytes, field->bytes != nullptr);
        EXPECT_TRUE(controls.insert(dialog[b].control).second) << "control " << dialog[b].control << " twice";
    }
    EXPECT_EQ(fieldCount, boxCount);
}

TEST_F(AdvancedDialogTest, EveryBoxTravelsFromTheDialogThroughTheFileBackToTheDialog) {
    size_t count = 0;
    const AdvancedField* dialog = Fields(count);
    const int kTemplates = 2;
    AddTemplates({"T0", "T1"});
    for (int j = 0; j < kTemplates; ++j) {
        Select(ids::kTemplates, j);
        ASSERT_TRUE(Advanced([&](FakeBuilderView& d) {
            for (size_t i = 0; i < count; ++i) Enter(d, dialog[i], ValueFor(dialog[i], static_cast<int>(i), j).typed);
            return Press::Ok;
        }));
    }
    const std::string path = folder.File("advanced.druv");
    ASSERT_TRUE(SaveAs(path));

    DRUVDevice saved;
    ReadDefinition(path, saved);
    EXPECT_EQ(kDefinitionFormatVersion, saved.FormatVersion());
    answer = MessageAnswer::No;
    ASSERT_TRUE(Open(path));
    for (int j = 0; j < kTemplates; ++j) {
        Select(ids::kTemplates, j);
        Advanced([&](FakeBuilderView& d) {
            for (size_t i = 0; i < count; ++i) {
                const Entry value = ValueFor(dialog[i], static_cast<int>(i), j);
                EXPECT_EQ(value.held, Held(saved.Template(j)->Extensions(), dialog[i]))
                    << dialog[i].element << ", template " << j;
                EXPECT_EQ(value.held, Shown(d, dialog[i])) << dialog[i].element << ", template " << j;
            }
            return Press::Cancel;
        });
    }
}

// The dialog edits what the template editor holds for the current template:
// OK hands its boxes there, Cancel drops them, and the template itself takes
// them only when the template editor is stored.
TEST_F(AdvancedDialogTest, OkKeepsTheEditsForTheTemplateEditorAndCancelDropsThem) {
    AddTemplates({"A", "B"});
    const std::string path = folder.File("kept.druv");
    ASSERT_TRUE(SaveAs(path));
    Select(ids::kTemplates, 0);

    EXPECT_TRUE(TypeInDialog(boxes::kAddressBytes, "3", Press::Cancel));
    EXPECT_FALSE(builder.HasUnsavedChanges()) << "Cancel";
    EXPECT_EQ("0", ShownInDialog(boxes::kAddressBytes));

    EXPECT_TRUE(TypeInDialog(boxes::kAddressBytes, "3", Press::Ok));
    EXPECT_TRUE(builder.HasUnsavedChanges()) << "OK";
    EXPECT_EQ("kept.druv* - DRUV Template Builder", view.Title());
    EXPECT_EQ(0, device().Template(0)->Extensions().addressBytes) << "not stored before the template is";
    EXPECT_EQ("3", ShownInDialog(boxes::kAddressBytes)) << "the dialog opens over what OK left";

    // Back to what the file holds: no change is left.
    EXPECT_TRUE(TypeInDialog(boxes::kAddressBytes, "0", Press::Ok));
    EXPECT_FALSE(builder.HasUnsavedChanges());

    EXPECT_TRUE(TypeInDialog(boxes::kAddressBytes, "2", Press::Ok));
    Select(ids::kTemplates, 1);
    EXPECT_EQ(2, device().Template(0)->Extensions().addressBytes) << "stored with the template";
    EXPECT_EQ("0", ShownInDialog(boxes::kAddressBytes)) << "the other template's own";
    EXPECT_TRUE(builder.HasUnsavedChanges());
    builder.Command(builder_commands::kSave);
    DRUVDevice saved;
    ReadDefinition(path, saved);
    EXPECT_EQ(2, saved.Template(0)->Extensions().addressBytes);

    // The edits of a template that is removed before it is stored go nowhere.
    Advanced([](FakeBuilderView& d) {
        d.SetChecked(boxes::kUnknownLength, true);
        return Press::Ok;
    });
    answer = MessageAnswer::Yes;
    builder.Command(ids::kTemplateRemove);
    ASSERT_EQ(1u, device().TemplateCount());
    EXPECT_EQ(0, device().Template(0)->Extensions().unknownLength);
    EXPECT_FALSE(view.IsEnabled(ids::kAdvanced)) << "no current template";
    EXPECT_FALSE(Advanced([](FakeBuilderView&) { return Press::Ok; })) << "no dialog without a template";
}

// While the dialog is open its command is still running: a close that
// arrives then is refused, and the dialog's edits are not asked about.
TEST_F(AdvancedDialogTest, TheWindowDoesNotCloseUnderTheDialog) {
    AddTemplates({"A"});
    EXPECT_FALSE(view.IsEnabled(ids::kAdvanced));
    Select(ids::kTemplates, 0);
    EXPECT_TRUE(view.IsEnabled(ids::kAdvanced));
    bool closed = true;
    Advanced([&](FakeBuilderView& d) {
        d.Type(boxes::kOuterLoopCount, "4");
        closed = builder.MayClose();
        return Press::Ok;
    });
    EXPECT_FALSE(closed);
    EXPECT_TRUE(shownBoxes.empty());
    EXPECT_EQ("Advanced: A", advanced.Boxes().Title());
}

// What an author can get wrong is refused with a message that names the
// box; the dialog stays open with nothing taken, so the author may mend the
// box or cancel.
TEST_F(AdvancedDialogTest, WhatCannotBeRightIsRefusedWithAMessageNamingTheBox) {
    const auto message = [](const char* pattern, const char* label, const char* group, const char* detail = "") {
        std::string text;
        const char* values[] = {label, group, detail};
        int next = 0;
        for (const char* p = pattern; *p; ++p) {
            if (p[0] == '%' && p[1] == 's') {
                text += values[next++];
                ++p;
            } else {
                text += *p;
            }
        }
        return text;
    };
    const struct {
        ControlId control;
        const char* typed;
        std::string refusal;  // empty: accepted
    } cases[] = {
        {boxes::kRequestCSumStart, "12abc", message(kNotAWholeNumberMessage, "Start", "Request Checksum", "12abc")},
        {boxes::kRequestCSumConstant, "A5", message(kNotAWholeNumberMessage, "Constant", "Request Checksum", "A5")},
        {boxes::kAddressStart, "99999999999",
         message(kNotAWholeNumberMessage, "Start", "Loop Address", "99999999999")},
        {boxes::kAddressIncDec, "-", message(kNotAWholeNumberMessage, "Inc/Dec", "Loop Address", "-")},
        {boxes::kAddressIncDec, " -384 ", ""},
        {boxes::kOuterLoopStart, "+5", ""},
        {boxes::kOuterLoopCount, "-1", message(kNegativeNumberMessage, "# Loops", "Outer Loop")},
        {boxes::kEndAfterQuiet, "", ""},
        {boxes::kAddressBytes, "5", message(kAddressBytesMessage, "Bytes", "Loop Address", "4")},
        {boxes::kAddressBytes, "-1", message(kAddressBytesMessage, "Bytes", "Loop Address", "4")},
        {boxes::kAddressBytes, "4", ""},
        {boxes::kCSumFromEnd, "1", message(kFromEndMessage, "From End", "Dump Checksum")},
        {boxes::kRequestCSumFromEnd, "-2", message(kNegativeNumberMessage, "From End", "Request Checksum")},
        {boxes::kRequestCSumFromEnd, "2", ""},
        {boxes::kAckPattern, "F0 7G F7", message(kPatternMessage, "Acknowledge", "Transmit Acknowledgement", "7G")},
        {boxes::kAckErrorPattern, "F07D", message(kPatternMessage, "Error", "Transmit Acknowledgement", "F07D")},
        {boxes::kAckPattern, "F0 41 ff 12",
         message(kAckTimeOutMessage, "Time-out (ms)", "Transmit Acknowledgement")},
    };
    AddTemplates({"A"});
    Select(ids::kTemplates, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.control) + " \"" + c.typed + "\"");
        shownBoxes.clear();
        int oks = 0;
        const TemplateExtensions before = builder.Editor().PendingExtensions();
        Advanced([&](FakeBuilderView& d) {
            if (oks++ > 0) return Press::Cancel;  // after the refusal
            d.Type(c.control, c.typed);
            return Press::Ok;
        });
        if (c.refusal.empty()) {
            EXPECT_TRUE(shownBoxes.empty()) << shownBoxes.front().text;
            EXPECT_EQ(1, oks);
            continue;
        }
        ASSERT_EQ(1u, shownBoxes.size());
        EXPECT_EQ(c.refusal, shownBoxes[0].text);
        EXPECT_EQ(kBuilderCaption, shownBoxes[0].caption);
        EXPECT_EQ(MessageIcon::Error, shownBoxes[0].icon);
        ASSERT_FALSE(advanced.Refused().empty());
        const ControlId named = c.refusal.rfind("\"Time-out", 0) == 0 ? boxes::kAckTimeOut : c.control;
        EXPECT_EQ(named, advanced.Refused().back()) << "the box to mend";
        EXPECT_EQ(2, oks) << "the dialog stayed open";
        EXPECT_TRUE(before == builder.Editor().PendingExtensions()) << "nothing taken";
    }
    // With a time-out, the acknowledgement is taken.
    Advanced([](FakeBuilderView& d) {
        d.Type(boxes::kAckPattern, "F0 41 FF 12 ");
        d.Type(boxes::kAckTimeOut, "500");
        return Press::Ok;
    });
    const TemplateExtensions& taken = builder.Editor().PendingExtensions();
    EXPECT_EQ((ByteString{0xF0, 0x41, 0xFF, 0x12}), taken.ackPattern);
    EXPECT_EQ(500, taken.ackTimeOut);
    EXPECT_EQ(-384, taken.addressIncDec);
}

}  // namespace
