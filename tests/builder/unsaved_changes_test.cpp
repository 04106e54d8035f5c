#include <filesystem>
#include <functional>
#include <string>

#include "builder/builder_messages.h"
#include "tests/builder/builder_test_support.h"

namespace {

namespace commands = builder_commands;

class UnsavedChangesTest : public BuilderTest {
protected:
    // Two templates, two configurations; the first selects "A".
    std::string WrittenDefinition(const std::string& name) {
        DRUVDevice written;
        written.SetFilePath(folder.File(name).c_str());
        written.CreateIdentifiers();
        written.SetCompany("Maker");
        written.AddTemplate("A")->SetSize(10);
        written.AddTemplate("B")->SetSize(20);
        written.AddConfiguration("X")->AddRef("A");
        written.AddConfiguration("Y");
        EXPECT_EQ(1, written.SaveDefinition());
        return written.FilePath();
    }
    void OpenByCommand(const std::string& path) {
        choices.clear();
        choices.push_back(path);
        builder.Command(commands::kOpen);
    }
};

TEST_F(UnsavedChangesTest, WhatASaveWouldKeepCountsAndWhatItWouldNotDoesNot) {
    const std::string path = WrittenDefinition("table.druv");
    auto command = [&](ControlId id) { builder.Command(id); };
    const struct {
        const char* what;
        std::function<void()> act;
        bool unsaved;
    } cases[] = {
        {"choosing a configuration and templates",
         [&] { Select(ids::kConfigurations, 0); Select(ids::kTemplates, 1); Select(ids::kTemplates, 0); }, false},
        {"a device field typed", [&] { Type(ids::kCompany, "Other"); }, true},
        {"a device field typed back", [&] { Type(ids::kCompany, "Other"); Type(ids::kCompany, "Maker"); }, false},
        {"a number typed as the value it holds", [&] { Type(ids::kSysXChanMax, "15 "); }, false},
        {"a check ticked", [&] { Tick(ids::kMidiChannel, true); }, true},
        {"a check ticked and cleared", [&] { Tick(ids::kMidiChannel, true); Tick(ids::kMidiChannel, false); }, false},
        {"another device type", [&] { Choose(ids::kDeviceType, 2); }, true},
        {"a template field typed, not yet stored", [&] { Select(ids::kTemplates, 0); Type(ids::kSize, "11"); }, true},
        {"a template field typed back, then stored",
         [&] {
             Select(ids::kTemplates, 0);
             Type(ids::kSize, "11");
             Type(ids::kSize, "10");
             Select(ids::kTemplates, 1);
         },
         false},
        {"the template editor with no template", [&] { Type(ids::kSize, "99"); }, false},
        {"a configuration's template clicked, not yet stored", [&] { Select(ids::kConfigurations, 1); Toggle(1); },
         true},
        {"a configuration's template clicked on and off, then stored",
         [&] { Select(ids::kConfigurations, 0); Toggle(1); Toggle(1); Select(ids::kConfigurations, 1); }, false},
        {"a name typed into a name box", [&] { Type(ids::kTemplateName, "C"); }, false},
        {"a template added", [&] { AddTemplates({"C"}); }, true},
        {"a removal answered No",
         [&] { answer = MessageAnswer::No; Select(ids::kTemplates, 1); command(ids::kTemplateRemove); }, false},
        {"a template moved down", [&] { Select(ids::kTemplates, 0); command(ids::kTemplateDown); }, true},
        {"a template moved down and up again",
         [&] { Select(ids::kTemplates, 0); command(ids::kTemplateDown); command(ids::kTemplateUp); }, false},
        {"a template renamed and renamed back",
         [&] {
             Select(ids::kTemplates, 1); Type(ids::kTemplateName, "Bulk"); command(ids::kTemplateRename);
             Type(ids::kTemplateName, "B"); command(ids::kTemplateRename);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        answer = MessageAnswer::No;  // to the previous case's changes
        OpenByCommand(path);
        ASSERT_FALSE(builder.HasUnsavedChanges());
        c.act();
        EXPECT_EQ(c.unsaved, builder.HasUnsavedChanges());
        EXPECT_EQ(c.unsaved ? "table.druv* - DRUV Template Builder" : "table.druv - DRUV Template Builder",
                  view.Title());
    }
}

// Closing, Open and New each ask before changes are lost, and do what the
// answer says; Yes also stores an edit still in the template editor.
TEST_F(UnsavedChangesTest, TheQuestionBeforeChangesAreLostDoesWhatItsAnswerSays) {
    const std::string other = WrittenDefinition("other.druv");
    const struct {
        const char* name;
        std::function<bool()> goesOn;
    } steps[] = {
        {"closing", [&] { return builder.MayClose(); }},
        {"Open", [&] { OpenByCommand(other); return device().FilePath() == other; }},
        {"New",
         [&] {
             builder.Command(commands::kNew);
             return device().FilePath().empty() && device().TemplateCount() == 0 && view.Items(ids::kTemplates).empty();
         }},
    };
    for (const auto& step : steps) {
        for (MessageAnswer given : {MessageAnswer::Cancel, MessageAnswer::No, MessageAnswer::Yes}) {
            SCOPED_TRACE(std::string(step.name) + ", answer " + std::to_string(static_cast<int>(given)));
            const std::string path = WrittenDefinition("mine.druv");
            answer = MessageAnswer::No;
            OpenByCommand(path);
            Select(ids::kTemplates, 0);
            Type(ids::kSize, "77");
            Type(ids::kCompany, "Edited");
            shownBoxes.clear();
            answer = given;
            EXPECT_EQ(given != MessageAnswer::Cancel, step.goesOn());
            ASSERT_EQ(1u, shownBoxes.size());
            EXPECT_EQ("Save changes to mine.druv?", shownBoxes[0].text);
            EXPECT_EQ(MessageIcon::Question, shownBoxes[0].icon);
            EXPECT_EQ(MessageButtons::YesNoCancel, shownBoxes[0].buttons);
            DRUVDevice saved;
            ReadDefinition(path, saved);
            EXPECT_EQ(given == MessageAnswer::Yes ? 77 : 10, saved.Template(0)->Size());
            if (given == MessageAnswer::Cancel) {
                EXPECT_EQ("Edited", view.Text(ids::kCompany));
            }
        }
    }
}

TEST_F(UnsavedChangesTest, ANewDefinitionIsUntitledAndYesWithoutAFileNameKeepsTheWindow) {
    EXPECT_EQ("DRUV Template Builder", view.Title());
    EXPECT_TRUE(builder.MayClose());
    EXPECT_TRUE(shownBoxes.empty());
    AddTemplates({"T"});
    EXPECT_EQ("Untitled* - DRUV Template Builder", view.Title());
    EXPECT_FALSE(builder.MayClose());  // Yes, then Cancel in the save dialog
    ASSERT_EQ(1u, shownBoxes.size());
    EXPECT_EQ("Save changes to Untitled?", shownBoxes[0].text);
    EXPECT_EQ(FileDialogKind::Save, requests.back().kind);
    choices.push_back(folder.File("named.druv"));
    EXPECT_TRUE(builder.MayClose());
    EXPECT_FALSE(builder.HasUnsavedChanges());
}

TEST_F(UnsavedChangesTest, ASaveThatFailsLeavesTheChangesUnsaved) {
    const std::string path = folder.File("sub/kept.druv");
    std::filesystem::create_directories(folder.File("sub"));
    ASSERT_TRUE(SaveAs(path));
    Type(ids::kCompany, "Edited");
    std::filesystem::remove_all(folder.File("sub"));
    builder.Command(commands::kSave);
    EXPECT_TRUE(builder.HasUnsavedChanges());
    EXPECT_EQ("kept.druv* - DRUV Template Builder", view.Title());
    EXPECT_FALSE(builder.MayClose()) << "Yes, and the save failed again";
}

TEST_F(UnsavedChangesTest, AWindowDoesNotCloseWhileACommandWaitsInItsBox) {
    AddTemplates({"T"});
    Select(ids::kTemplates, 0);
    bool closed = true;
    int saveQuestions = 0;
    ScopedMessageBoxHandler whileAsked([&](const MessageBoxRequest& request) {
        if (request.buttons == MessageButtons::YesNoCancel)
            ++saveQuestions;
        else
            closed = builder.MayClose();  // while "Rem" asks
        return MessageAnswer::No;
    });
    builder.Command(ids::kTemplateRemove);
    EXPECT_FALSE(closed);
    EXPECT_EQ(0, saveQuestions);
    EXPECT_EQ(1u, device().TemplateCount());
}

}  // namespace
