#include <functional>
#include <string>
#include <vector>

#include "builder/builder_messages.h"
#include "tests/builder/builder_test_support.h"

namespace {

namespace commands = builder_commands;

class UnsavedChangesTest : public BuilderTest {
protected:
    // A definition with two templates and two configurations, the first
    // selecting "A".
    std::string WrittenDefinition(const std::string& name) {
        DRUVDevice written;
        written.SetFilePath(folder.File(name).c_str());
        written.CreateIdentifiers();
        written.SetCompany("Maker");
        written.SetSysXChanMax("15");
        written.AddTemplate("A")->SetSize(10);
        written.AddTemplate("B")->SetSize(20);
        written.AddConfiguration("X")->AddRef("A");
        written.AddConfiguration("Y");
        EXPECT_EQ(1, written.SaveDefinition());
        return written.FilePath();
    }
    void OpenByCommand(const std::string& path) {
        choices.push_back(path);
        builder.Command(commands::kOpen);
    }
    bool SaveByCommand() { return builder.Command(commands::kSave) && !builder.HasUnsavedChanges(); }
    std::string SavedCompany(const std::string& path) {
        DRUVDevice saved;
        ReadDefinition(path, saved);
        return saved.Company();
    }
    size_t Questions() const {
        size_t count = 0;
        for (const RecordedBox& box : shownBoxes) count += box.buttons == MessageButtons::YesNoCancel ? 1 : 0;
        return count;
    }
};

TEST_F(UnsavedChangesTest, WhatASaveWouldKeepCountsAndWhatItWouldNotDoesNot) {
    const std::string path = WrittenDefinition("table.druv");
    const struct {
        const char* what;
        std::function<void()> act;
        bool unsaved;
    } cases[] = {
        {"nothing", [] {}, false},
        {"looking at a configuration and a template",
         [&] {
             Select(ids::kConfigurations, 0);
             Select(ids::kTemplates, 1);
             Select(ids::kTemplates, 0);
         },
         false},
        {"a device field typed", [&] { Type(ids::kCompany, "Other"); }, true},
        {"a device field typed and typed back",
         [&] {
             Type(ids::kCompany, "Other");
             Type(ids::kCompany, "Maker");
         },
         false},
        {"a number typed as the value it holds", [&] { Type(ids::kSysXChanMax, "15 "); }, false},
        {"a check ticked", [&] { Tick(ids::kMidiChannel, true); }, true},
        {"a check ticked and cleared",
         [&] {
             Tick(ids::kMidiChannel, true);
             Tick(ids::kMidiChannel, false);
         },
         false},
        {"another device type", [&] { Choose(ids::kDeviceType, 2); }, true},
        {"a template field typed, not yet stored",
         [&] {
             Select(ids::kTemplates, 0);
             Type(ids::kSize, "11");
         },
         true},
        {"a template field typed, then stored by selecting another",
         [&] {
             Select(ids::kTemplates, 0);
             Type(ids::kSize, "11");
             Select(ids::kTemplates, 1);
         },
         true},
        {"a template field changed and changed back before it was stored",
         [&] {
             Select(ids::kTemplates, 0);
             Type(ids::kSize, "11");
             Type(ids::kSize, "10");
             Select(ids::kTemplates, 1);
         },
         false},
        {"the template editor typed into with no template selected", [&] { Type(ids::kSize, "99"); }, false},
        {"a template's drop-down chosen",
         [&] {
             Select(ids::kTemplates, 1);
             Choose(ids::kCSumType, 2);
         },
         true},
        {"a configuration's template clicked, not yet stored",
         [&] {
             Select(ids::kConfigurations, 1);
             Toggle(1);
         },
         true},
        {"a configuration's template clicked on and off",
         [&] {
             Select(ids::kConfigurations, 0);
             Toggle(1);
             Toggle(1);
             Select(ids::kConfigurations, 1);
         },
         false},
        {"Configuration Templates clicked with no configuration selected",
         [&] {
             // Moving a template there and back fills the list without a configuration.
             Select(ids::kTemplates, 0);
             builder.Command(ids::kTemplateDown);
             builder.Command(ids::kTemplateUp);
             Toggle(0);
         },
         false},
        {"a name typed into a name box", [&] { Type(ids::kTemplateName, "C"); }, false},
        {"a template added", [&] { AddTemplates({"C"}); }, true},
        {"a configuration added", [&] { AddConfigurations({"Z"}); }, true},
        {"a configuration removed",
         [&] {
             answer = MessageAnswer::Yes;
             Select(ids::kConfigurations, 1);
             builder.Command(ids::kConfigurationRemove);
         },
         true},
        {"a removal answered No",
         [&] {
             answer = MessageAnswer::No;
             Select(ids::kTemplates, 1);
             builder.Command(ids::kTemplateRemove);
         },
         false},
        {"a template renamed",
         [&] {
             Select(ids::kTemplates, 1);
             Type(ids::kTemplateName, "Bulk");
             builder.Command(ids::kTemplateRename);
         },
         true},
        {"a template renamed and renamed back",
         [&] {
             Select(ids::kTemplates, 1);
             Type(ids::kTemplateName, "Bulk");
             builder.Command(ids::kTemplateRename);
             Type(ids::kTemplateName, "B");
             builder.Command(ids::kTemplateRename);
         },
         false},
        {"a template moved down", [&] {
             Select(ids::kTemplates, 0);
             builder.Command(ids::kTemplateDown);
         },
         true},
        {"a template moved down and up again",
         [&] {
             Select(ids::kTemplates, 0);
             builder.Command(ids::kTemplateDown);
             builder.Command(ids::kTemplateUp);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // Each case starts from the file as written; leaving the previous
        // case's changes is answered No.
        answer = MessageAnswer::No;
        OpenByCommand(path);
        ASSERT_EQ(path, device().FilePath());
        ASSERT_FALSE(builder.HasUnsavedChanges());
        c.act();
        EXPECT_EQ(c.unsaved, builder.HasUnsavedChanges());
        EXPECT_EQ(c.unsaved ? "table.druv* - DRUV Template Builder" : "table.druv - DRUV Template Builder",
                  view.Title());
    }
    EXPECT_EQ("Maker", SavedCompany(path)) << "every change was answered No";
}

TEST_F(UnsavedChangesTest, TheTitleNamesTheFileAndMarksChangesUntilTheyAreSaved) {
    EXPECT_EQ("DRUV Template Builder", view.Title());
    Type(ids::kCompany, "New");
    EXPECT_EQ("Untitled* - DRUV Template Builder", view.Title());
    choices.push_back(folder.File("first.druv"));
    EXPECT_TRUE(SaveByCommand());
    EXPECT_EQ("first.druv - DRUV Template Builder", view.Title());
    AddTemplates({"T"});
    EXPECT_EQ("first.druv* - DRUV Template Builder", view.Title());
    choices.push_back(folder.File("second.druv"));
    builder.Command(commands::kSaveAs);
    EXPECT_EQ("second.druv - DRUV Template Builder", view.Title());
    builder.Command(commands::kNew);
    EXPECT_EQ("DRUV Template Builder", view.Title());
    EXPECT_EQ(0u, Questions());
}

// Closing, Open and New each ask before unsaved changes are lost, and do
// what the answer says.
TEST_F(UnsavedChangesTest, TheQuestionBeforeChangesAreLostDoesWhatItsAnswerSays) {
    struct Step {
        const char* name;
        std::function<bool()> run;                // true: the window goes on (closes, opens, starts anew)
        std::function<bool()> wentOn;             // whether the definition was given up
    };
    const std::string other = WrittenDefinition("other.druv");
    const std::vector<Step> steps = {
        {"closing", [&] { return builder.MayClose(); }, [] { return true; }},
        {"Open",
         [&] {
             OpenByCommand(other);
             return device().FilePath() == other;
         },
         [&] { return device().FilePath() == other; }},
        {"New",
         [&] {
             builder.Command(commands::kNew);
             return device().FilePath().empty() && device().TemplateCount() == 0;
         },
         [&] { return device().FilePath().empty(); }},
    };
    const struct {
        const char* answer;
        MessageAnswer given;
        bool goesOn;
        bool saved;
    } answers[] = {
        {"Cancel", MessageAnswer::Cancel, false, false},
        {"No", MessageAnswer::No, true, false},
        {"Yes", MessageAnswer::Yes, true, true},
    };
    for (const Step& step : steps) {
        for (const auto& a : answers) {
            SCOPED_TRACE(std::string(step.name) + ", answered " + a.answer);
            const std::string path = WrittenDefinition("mine.druv");
            choices.clear();  // what the last step's dialog did not take
            answer = MessageAnswer::No;
            OpenByCommand(path);
            Select(ids::kTemplates, 0);
            Type(ids::kSize, "77");  // in the template editor, not yet stored
            Type(ids::kCompany, "Edited");
            shownBoxes.clear();
            answer = a.given;
            const bool wentOn = step.run();
            ASSERT_EQ(1u, shownBoxes.size());
            EXPECT_EQ("Save changes to mine.druv?", shownBoxes[0].text);
            EXPECT_EQ(kBuilderCaption, shownBoxes[0].caption);
            EXPECT_EQ(MessageIcon::Question, shownBoxes[0].icon);
            EXPECT_EQ(MessageButtons::YesNoCancel, shownBoxes[0].buttons);
            EXPECT_EQ(a.goesOn, wentOn);
            DRUVDevice saved;
            ReadDefinition(path, saved);
            EXPECT_EQ(a.saved ? "Edited" : "Maker", saved.Company());
            EXPECT_EQ(a.saved ? 77 : 10, saved.Template(0)->Size()) << "the unstored template edit";
            if (!a.goesOn) {
                EXPECT_EQ(path, device().FilePath());
                EXPECT_EQ("Edited", view.Text(ids::kCompany));
                EXPECT_TRUE(builder.HasUnsavedChanges());
            }
        }
    }
}

TEST_F(UnsavedChangesTest, NothingIsAskedWithoutChangesAndANewDefinitionIsUntitled) {
    EXPECT_TRUE(builder.MayClose());
    builder.Command(commands::kNew);
    EXPECT_EQ(0u, Questions());

    AddTemplates({"T"});
    answer = MessageAnswer::Cancel;
    EXPECT_FALSE(builder.MayClose());
    ASSERT_EQ(1u, Questions());
    EXPECT_EQ("Save changes to Untitled?", shownBoxes.back().text);
    // Yes for a definition without a file asks for one; cancelling that
    // keeps the window open.
    answer = MessageAnswer::Yes;
    EXPECT_FALSE(builder.MayClose());
    EXPECT_EQ(FileDialogKind::Save, requests.back().kind);
    EXPECT_TRUE(builder.HasUnsavedChanges());
    const std::string path = folder.File("named.druv");
    choices.push_back(path);
    EXPECT_TRUE(builder.MayClose());
    DRUVDevice saved;
    ReadDefinition(path, saved);
    EXPECT_EQ(1u, saved.TemplateCount());
}

// A save that fails keeps the changes unsaved, and Yes to the question then
// keeps the window open, whatever made the save fail.
TEST_F(UnsavedChangesTest, ASaveThatFailsLeavesTheRecordAsItWas) {
    const struct {
        const char* what;
        std::function<void(const std::string& path)> breakSave;
    } cases[] = {
        {"the file's folder is gone", [](const std::string& path) {
             std::filesystem::remove_all(std::filesystem::path(path).parent_path());
         }},
        {"a help file the definition would not use", [&](const std::string&) { Type(ids::kHelpFile, "setup.exe"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.File(std::string(c.what).substr(0, 5) + "/kept.druv");
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        answer = MessageAnswer::No;
        builder.Command(commands::kNew);
        choices.push_back(path);
        ASSERT_TRUE(SaveByCommand());
        Type(ids::kCompany, "Edited");
        c.breakSave(path);
        shownBoxes.clear();
        EXPECT_FALSE(SaveByCommand());
        EXPECT_TRUE(builder.HasUnsavedChanges());
        EXPECT_EQ("kept.druv* - DRUV Template Builder", view.Title());
        answer = MessageAnswer::Yes;
        EXPECT_FALSE(builder.MayClose());
        EXPECT_EQ(1u, Questions());
    }
}

}  // namespace
