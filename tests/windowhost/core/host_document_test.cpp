// The document: its title, when it counts as changed, the files it reads and
// writes, and the question before it is let go of.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "druvhost/project/project_store.h"
#include "windowhost/core/host_document.h"

namespace {

using windowhost::HostDocument;
using windowhost::UnsavedAnswer;

const druvhost::ClassId kMixer = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

std::string TempPath(const char* name) { return ::testing::TempDir() + name; }

TEST(HostDocumentTest, TitleNamesTheFileAndMarksUnsavedChanges) {
    HostDocument document;
    document.New();
    EXPECT_EQ(document.Title(), "Untitled - DRUV Host");
    document.Put(kMixer, {1});
    EXPECT_EQ(document.Title(), "Untitled* - DRUV Host");
    std::string error;
    const std::string path = TempPath("Live Set.v2.dhp");
    ASSERT_TRUE(document.SaveAs(path, error)) << error;
    EXPECT_EQ(document.Title(), "Live Set.v2 - DRUV Host");
    EXPECT_FALSE(document.HasUnsavedChanges());
    std::remove(path.c_str());
}

TEST(HostDocumentTest, OnlyDifferentBytesOrAReceiveAreChanges) {
    HostDocument document;
    document.New();
    document.Put(kMixer, {1, 2});
    std::string error;
    const std::string path = TempPath("same.dhp");
    ASSERT_TRUE(document.SaveAs(path, error)) << error;
    document.Put(kMixer, {1, 2});
    EXPECT_FALSE(document.HasUnsavedChanges()) << "the page applied what the project holds already";
    document.PutReceived(kMixer, {1, 2}, 1772323200);
    EXPECT_TRUE(document.HasUnsavedChanges()) << "a receive's date is news even with the same dumps";
    ASSERT_TRUE(document.Save(error)) << error;
    druvhost::Project read;
    ASSERT_EQ(druvhost::LoadProjectFile(path, read, error), druvhost::ProjectLoad::Loaded) << error;
    EXPECT_EQ(read.Find(kMixer)->receivedAt, 1772323200);
    std::remove(path.c_str());
}

TEST(HostDocumentTest, FailedOpenAndSaveKeepTheDocumentAsItWas) {
    HostDocument document;
    document.New();
    document.Put(kMixer, {7});
    std::string error;
    EXPECT_FALSE(document.Open(TempPath("no such project.dhp"), error));
    EXPECT_NE(error.find("no project file"), std::string::npos) << error;

    const std::string garbled = TempPath("garbled.dhp");
    std::ofstream(garbled, std::ios::binary) << "DRUVHOST not really";
    EXPECT_FALSE(document.Open(garbled, error));
    EXPECT_NE(error.find("garbled.dhp"), std::string::npos) << error;

    EXPECT_FALSE(document.Save(error)) << "a project without a file cannot be saved in place";
    EXPECT_FALSE(document.SaveAs(TempPath("no such folder/x.dhp"), error));
    EXPECT_TRUE(document.HasUnsavedChanges());
    EXPECT_FALSE(document.HasPath());
    ASSERT_NE(document.Project().Find(kMixer), nullptr);
    EXPECT_EQ(document.Project().Find(kMixer)->filterData, std::vector<uint8_t>{7});
    std::remove(garbled.c_str());
}

TEST(HostDocumentTest, UnsavedChangesAreLetGoOfOnlyAsTheMusicianSays) {
    struct Case {
        bool unsaved;
        UnsavedAnswer answer;
        bool saveSucceeds;
        bool letGo;
        int asked, saved;
    };
    const Case cases[] = {
        {false, UnsavedAnswer::Cancel, true, true, 0, 0},
        {true, UnsavedAnswer::Save, true, true, 1, 1},
        {true, UnsavedAnswer::Save, false, false, 1, 1},  // the save failed or its dialog was cancelled
        {true, UnsavedAnswer::DontSave, true, true, 1, 0},
        {true, UnsavedAnswer::Cancel, true, false, 1, 0},
    };
    for (const Case& c : cases) {
        HostDocument document;
        document.New();
        if (c.unsaved) document.Put(kMixer, {1});
        int asked = 0, saved = 0;
        std::string question;
        const bool letGo = windowhost::MayLetGo(
            document, [&](const std::string& text) { ++asked; question = text; return c.answer; },
            [&] { ++saved; return c.saveSucceeds; });
        const std::string what = "answer " + std::to_string(static_cast<int>(c.answer));
        EXPECT_EQ(letGo, c.letGo) << what;
        EXPECT_EQ(asked, c.asked) << what;
        EXPECT_EQ(saved, c.saved) << what;
        if (c.asked) {
            EXPECT_EQ(question, "Do you want to save the changes to Untitled?");
        }
    }
}

}  // namespace
