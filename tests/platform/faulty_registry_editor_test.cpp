#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory_registry.h"
#include "tests/platform/faulty_registry_editor.h"

namespace {

constexpr RegistryRoot kHkcr = RegistryRoot::ClassesRoot;
constexpr RegistryRoot kHkcu = RegistryRoot::CurrentUser;

// The same five writes each time; which of them arrive depends on the rules.
std::vector<bool> WriteAll(FaultyRegistryEditor& editor) {
    return {
        editor.CreateKey(kHkcr, "CLSID\\{A}"),
        editor.SetValue(kHkcr, "CLSID\\{A}\\InprocServer32", "", RegistryValue::Text("DRUV.dll")),
        editor.SetValue(kHkcu, "Software\\Klang", "Count", RegistryValue::Dword(1)),
        editor.SetValue(kHkcu, "Software\\KlangWerk", "Count", RegistryValue::Dword(2)),
        editor.DeleteKey(kHkcr, "CLSID\\{A}\\InprocServer32"),
    };
}

TEST(FaultyRegistryEditor, RefusesTheChosenWritesAndPassesTheRest) {
    struct Case {
        void (*setUp)(FaultyRegistryEditor&);
        std::vector<bool> results;
        size_t refusals;
        const char* what;
    };
    const std::vector<Case> cases = {
        {[](FaultyRegistryEditor&) {}, {true, true, true, true, true}, 0, "no rule"},
        {[](FaultyRegistryEditor& e) { e.RefuseUnder(kHkcr, "clsid"); }, {false, false, true, true, false}, 3,
         "a tree"},
        {[](FaultyRegistryEditor& e) { e.RefuseUnder(kHkcu, "Software\\Klang"); },
         {true, true, false, true, true}, 1, "a key, not its longer-named sibling"},
        {[](FaultyRegistryEditor& e) { e.RefuseUnder(kHkcu, "CLSID"); }, {true, true, true, true, true}, 0,
         "another root"},
        {[](FaultyRegistryEditor& e) { e.RefuseUnder(kHkcr, "CLSID", FaultyRegistryEditor::kDeleteKey); },
         {true, true, true, true, false}, 1, "deletions only"},
        {[](FaultyRegistryEditor& e) { e.RefuseWriteNumber(2); }, {true, false, true, true, false}, 1,
         "the second write, so that the deletion finds no key"},
        {[](FaultyRegistryEditor& e) { e.RefuseWritesFrom(4); }, {true, true, true, false, false}, 2,
         "from the fourth"},
    };
    for (const Case& c : cases) {
        MemoryRegistry inner;
        FaultyRegistryEditor editor(inner);
        c.setUp(editor);
        EXPECT_EQ(c.results, WriteAll(editor)) << c.what;
        size_t succeeded = 0;
        for (bool result : c.results) succeeded += result ? 1 : 0;
        EXPECT_EQ(5u, editor.Writes()) << c.what;
        EXPECT_EQ(c.refusals, editor.Refusals()) << c.what;
        // A refused write never reaches the registry below.
        EXPECT_EQ(succeeded, inner.WriteLog().size()) << c.what;
    }
}

TEST(FaultyRegistryEditor, ReadsPassEvenUnderARefusedTree) {
    MemoryRegistry inner;
    ASSERT_TRUE(inner.SetValue(kHkcu, "Software\\Klang\\Devices", "0", RegistryValue::Dword(9)));
    FaultyRegistryEditor editor(inner);
    editor.RefuseUnder(kHkcu, "");
    RegistryValue value;
    EXPECT_EQ(RegistryRead::Ok, editor.ReadValue(kHkcu, "Software\\Klang\\Devices", "0", value));
    EXPECT_TRUE(value == RegistryValue::Dword(9));
    EXPECT_TRUE(editor.KeyExists(kHkcu, "Software\\Klang"));
    std::string name;
    ASSERT_TRUE(editor.SubkeyName(kHkcu, "Software\\Klang", 0, name));
    EXPECT_EQ("Devices", name);
    EXPECT_FALSE(editor.DeleteKey(kHkcu, "Software\\Klang\\Devices"));
    EXPECT_TRUE(inner.KeyExists(kHkcu, "Software\\Klang\\Devices"));
}

}  // namespace
