// Questions about files by UTF-8 path, natively and on Windows (under Wine).
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "platform/wide_text.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#endif

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/safe_file_write.h"
#include "platform/utf8_file.h"
#include "platform/utf16_text.h"

namespace {

#ifdef _WIN32
const char kSeparator = '\\';

std::string NewFolder() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) return std::string();
    const std::string folder = Utf16ToUtf8(std::u16string(temp, temp + length)) + "druv-fs-" +
                               std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    return CreateDirectoryW(WideText(folder).c_str(), nullptr) ? folder : std::string();
}

bool CreateFileAt(const std::string& path) {
    const HANDLE file =
        CreateFileW(WideText(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

void Remove(const std::vector<std::string>& files, const std::string& folder) {
    for (const std::string& file : files) DeleteFileW(WideText(file).c_str());
    RemoveDirectoryW(WideText(folder).c_str());
}

bool CreateFolderAt(const std::string& path) { return CreateDirectoryW(WideText(path).c_str(), nullptr) != FALSE; }
bool RemoveEmptyFolder(const std::string& path) { return RemoveDirectoryW(WideText(path).c_str()) != FALSE; }

std::string CurrentFolder() {
    wchar_t buffer[4096];
    const DWORD length = GetCurrentDirectoryW(4096, buffer);
    return Utf16ToUtf8(std::u16string(buffer, buffer + length));
}
#else
const char kSeparator = '/';

std::string NewFolder() {
    const char* temp = std::getenv("TMPDIR");
    std::string pattern = std::string(temp && *temp ? temp : "/tmp") + "/druv-fs-XXXXXX";
    return mkdtemp(&pattern[0]) ? pattern : std::string();
}

bool CreateFileAt(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wx");
    if (!file) return false;
    std::fclose(file);
    return true;
}

void Remove(const std::vector<std::string>& files, const std::string& folder) {
    for (const std::string& file : files) unlink(file.c_str());
    rmdir(folder.c_str());
}

bool CreateFolderAt(const std::string& path) { return mkdir(path.c_str(), 0700) == 0; }
bool RemoveEmptyFolder(const std::string& path) { return rmdir(path.c_str()) == 0; }

std::string CurrentFolder() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}
#endif

TEST(FolderOfPath, CutsAtTheLastSeparator) {
    struct Case {
        std::string path;
        std::string folder;
    };
    const std::vector<Case> cases = {
        {"C:\\Program Files\\DRUV\\DRUVManager.exe", "C:\\Program Files\\DRUV"},
        {"C:\\x.exe", "C:"},
        {"/opt/druv/manager", "/opt/druv"},
        {"Z:\\tmp/mixed\\name.druv", "Z:\\tmp/mixed"},
        {"C:\\Folder\\", "C:\\Folder"},
        {"manager.exe", "manager.exe"},
        {"", ""},
        {"C:\\Kl\xC3\xA4nge\\J\xC3\xBCrgen.druv", "C:\\Kl\xC3\xA4nge"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.folder, FolderOfPath(c.path)) << c.path;
}

TEST(FileExists, TrueForFilesOnlyWhateverTheLengthOrCharactersOfTheirPath) {
    const std::string folder = NewFolder();
    ASSERT_FALSE(folder.empty());
    const std::string longName = std::string(150, 'L') + ".druv";
    const std::string plain = folder + kSeparator + "Mixer.druv";
    const std::string longPath = folder + kSeparator + longName;
    const std::string foreign = folder + kSeparator + "Klangwerk J\xC3\xBCrgen \xE6\x9D\xB1.druv";
    ASSERT_GT(longPath.size(), 128u);
    const std::vector<std::string> files = {plain, longPath, foreign};
    for (const std::string& file : files) ASSERT_TRUE(CreateFileAt(file)) << file;

    struct Case {
        std::string path;
        bool exists;
        const char* what;
    };
    const std::vector<Case> cases = {
        {plain, true, "a file"},
        {longPath, true, "a path longer than 128 characters"},
        {foreign, true, "non-ASCII name"},
        {folder, false, "a folder"},
        {folder + kSeparator + "Missing.druv", false, "no such file"},
        {folder + kSeparator + "Missing" + kSeparator + "Mixer.druv", false, "no such folder"},
        {"", false, "empty path"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.exists, FileExists(c.path)) << c.what;
    Remove(files, folder);
    EXPECT_FALSE(FileExists(plain));
}

// The Manager and druvhost know their own registry entries by it, so a false
// "same" would let them remove another program's class.
TEST(SameFile, TellsOneFileUnderTwoSpellingsFromTwoFiles) {
    const std::string folder = NewFolder();
    ASSERT_FALSE(folder.empty());
    const std::string mixer = folder + kSeparator + "Mixer.druv";
    const std::string synth = folder + kSeparator + "Synth.druv";
    ASSERT_TRUE(CreateFileAt(mixer));
    ASSERT_TRUE(CreateFileAt(synth));
    const std::string respelled = folder + kSeparator + "." + kSeparator + "Mixer.druv";
    const std::string missing = folder + kSeparator + "Missing.druv";

    struct Case {
        std::string a;
        std::string b;
        bool same;
        const char* what;
    };
    const std::vector<Case> cases = {
        {mixer, mixer, true, "one path twice"},
        {mixer, respelled, true, "one file, two spellings"},
        {mixer, synth, false, "two files of one folder"},
        {mixer, missing, false, "a missing file"},
        {missing, missing, false, "a missing file twice"},
        {mixer, "", false, "an empty path"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.same, SameFile(c.a, c.b)) << c.what << ": " << c.a << " / " << c.b;
    Remove({mixer, synth}, folder);
}

TEST(ModuleFilePath, NamesThisTestProgram) {
    const std::string path = ModuleFilePath();
    EXPECT_TRUE(FileExists(path)) << path;
    EXPECT_NE(std::string::npos, path.find("platform_file_tests")) << path;
}

TEST(AbsolutePath, PutsTheCurrentFolderInFrontOfRelativePathsOnly) {
    const std::string current = CurrentFolder();
    ASSERT_FALSE(current.empty());
    const std::string name = "J\xC3\xBCrgen.druv";
    EXPECT_EQ(current + kSeparator + name, AbsolutePath(name));
    const std::string absolute = current + kSeparator + "Devices" + kSeparator + name;
    EXPECT_EQ(absolute, AbsolutePath(absolute));
    EXPECT_EQ("", AbsolutePath(""));
}

std::string Contents(const std::string& path) {
    std::string bytes;
    std::FILE* file = OpenUtf8File(path, "rb");
    if (!file) return "(no file)";
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

// A definition saved over an older one: whatever goes wrong on the way, the
// older one is still there byte for byte, and no temporary file is left.
TEST(WriteFileSafely, ReplacesTheFileOnlyWhenTheWholeWriteSucceeded) {
    const std::string folder = NewFolder();
    ASSERT_FALSE(folder.empty());
    const std::string target = folder + kSeparator + "Kl\xC3\xA4nge.druv";
    const std::string old = "<DRUVDevice>old</DRUVDevice>\n";
    const std::string next(100000, 'n');
    const auto failsHalfWay = [](std::FILE* file, const unsigned char* bytes, size_t size) {
        std::fwrite(bytes, 1, size / 2, file);
        return false;  // the disk filled up half-way
    };

    struct Case {
        const char* what;
        std::string path;
        FileChunkWriter writer;
        bool written;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"a write that fails half-way", target, failsHalfWay, false, old},
        {"a folder that does not exist", folder + kSeparator + "Missing" + kSeparator + "x.druv", nullptr, false,
         "(no file)"},
        {"a whole write", target, nullptr, true, next},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileSafely(target, old.data(), old.size()));
        EXPECT_EQ(c.written, WriteFileSafely(c.path, next.data(), next.size(), c.writer)) << c.what;
        const std::string got = Contents(c.path);
        EXPECT_TRUE(got == c.expected) << c.what << ": " << got.size() << " bytes, expected " << c.expected.size();
        for (unsigned attempt = 0; attempt < 3; ++attempt)
            EXPECT_FALSE(FileExists(TemporaryFileNameFor(c.path, attempt))) << c.what << ": temporary file left";
    }
    Remove({target}, folder);
}

// A temporary name that someone else's file already has is left alone.
TEST(WriteFileSafely, NeverWritesIntoAFileThatHappensToHaveTheTemporaryName) {
    const std::string folder = NewFolder();
    ASSERT_FALSE(folder.empty());
    const std::string target = folder + kSeparator + "Mixer.druv";
    const std::string squatter = TemporaryFileNameFor(target, 0);
    ASSERT_TRUE(CreateFileAt(squatter));
    const std::string text = "new";
    EXPECT_TRUE(WriteFileSafely(target, text.data(), text.size()));
    EXPECT_EQ(text, Contents(target));
    EXPECT_EQ("", Contents(squatter));
    Remove({target, squatter}, folder);
}

// A folder that has the file's name stays a folder, empty, and the write
// says it failed: an export into a folder of that name loses nothing.
TEST(WriteFileSafely, RefusesToPutAFileWhereAFolderIs) {
    const std::string folder = NewFolder();
    ASSERT_FALSE(folder.empty());
    const std::string target = folder + kSeparator + "Setup.syx";
    ASSERT_TRUE(CreateFolderAt(target));
    const std::string text = "new";
    EXPECT_FALSE(WriteFileSafely(target, text.data(), text.size()));
    EXPECT_FALSE(FileExists(TemporaryFileNameFor(target, 0))) << "temporary file left";
    EXPECT_TRUE(RemoveEmptyFolder(target)) << "the folder is gone or holds something";
    Remove({}, folder);
}

// The new bytes must be on the disk before they replace the old file, not
// only in the C library's buffer: the system's flush is what a power cut
// respects, and on Windows it refuses a stream opened only for reading.
TEST(FlushFileToDisk, ReachesTheSystemNotOnlyTheLibrarysBuffer) {
    const std::string folder = NewFolder();
    ASSERT_FALSE(folder.empty());
    const std::string path = folder + kSeparator + "Project.dhp";
    std::FILE* writing = OpenUtf8File(path, "wb");
    ASSERT_NE(nullptr, writing);
    ASSERT_EQ(5u, std::fwrite("bytes", 1, 5, writing));
    EXPECT_TRUE(FlushFileToDisk(writing));
    std::fclose(writing);
    EXPECT_EQ("bytes", Contents(path));
#ifdef _WIN32
    std::FILE* reading = OpenUtf8File(path, "rb");
    ASSERT_NE(nullptr, reading);
    EXPECT_FALSE(FlushFileToDisk(reading)) << "the system's flush was not asked";
    std::fclose(reading);
#endif
    Remove({path}, folder);
}

}  // namespace
