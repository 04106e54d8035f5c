#include <gtest/gtest.h>

#include <string>

#include "manager/path_comparison.h"

namespace {

TEST(SamePath, SpellingsOfOneWindowsPathAgreeAndOtherPathsDoNot) {
    const struct { const char* a; const char* b; bool same; } cases[] = {
        {"C:\\Program Files\\DRUV\\DRUV.dll", "c:\\program files\\druv\\druv.DLL", true},
        {"C:\\Program Files\\DRUV\\DRUV.dll", "C:/Program Files/DRUV/DRUV.dll", true},
        {"C:\\Program Files\\DRUV\\DRUV.dll", "\"C:\\Program Files\\DRUV\\DRUV.dll\"", true},
        {"C:\\Program Files\\DRUV\\DRUV.dll", "  C:\\Program Files\\\\DRUV\\\\DRUV.dll  ", true},
        {"C:\\Program Files\\DRUV\\DRUV.dll", "C:\\Program Files\\DRUV\\.\\sub\\..\\DRUV.dll", true},
        {"C:\\Program Files\\DRUV\\DRUV.dll", "\\\\?\\C:\\Program Files\\DRUV\\DRUV.dll", true},
        {"C:\\Program Files\\DRUV\\DRUV.dll", "C:\\Program Files\\DRUV\\DRUV.dll. ", true},
        {"Z:\\tmp\\DRUV Manager\\DRUV.dll", "Z:/tmp/DRUV Manager/DRUV.dll", true},
        {"C:\\DRUV\\", "C:\\DRUV", true},
        {"C:\\", "c:\\.", true},
        {"C:\\..\\DRUV\\DRUV.dll", "C:\\DRUV\\DRUV.dll", true},  // ".." stops at the drive
        {"\\\\server\\share\\DRUV.dll", "\\\\?\\UNC\\server\\share\\DRUV.dll", true},
        {"\\\\server\\share\\DRUV.dll", "\\server\\share\\DRUV.dll", false},  // a network name, not a root folder
        {"C:\\DRUV\\DRUV.dll", "D:\\DRUV\\DRUV.dll", false},
        {"C:\\DRUV\\DRUV.dll", "C:\\DRUV\\DRUV.dll.bak", false},
        {"C:\\DRUV\\DRUV.dll", "C:\\DRUV\\DRUVX.dll", false},
        {"C:\\DRUV\\DRUV.dll", "C:DRUV\\DRUV.dll", false},  // relative to the drive's current folder
        {"C:\\\xC3\x84\\DRUV.dll", "C:\\\xC3\xA4\\DRUV.dll", false},  // beyond ASCII only the file system can tell
        {"", "", false},
        {"\"\"", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.same, SamePath(c.a, c.b)) << "\"" << c.a << "\" and \"" << c.b << "\"";
}

TEST(PathDigest, OneForEverySpellingAndAnotherForAnotherPath) {
    const uint64_t digest = PathDigest("C:\\Devices\\Desk.druv");
    EXPECT_EQ(digest, PathDigest("c:/devices//DESK.druv"));
    EXPECT_NE(digest, PathDigest("C:\\Devices\\Desk2.druv"));
    EXPECT_NE(digest, PathDigest("C:\\Devices\\Des.druv"));
}

}  // namespace
