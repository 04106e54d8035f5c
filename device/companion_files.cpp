#include "device/companion_files.h"

#include <cstring>

#include "device/druv_device.h"
#include "device/text_fields.h"

const char kHelpDocumentKinds[] = ".pdf, .txt, .htm, .html, .rtf";
const char kPictureKinds[] = ".png, .bmp, .gif, .jpg, .jpeg";

namespace {

const char* const kDocumentExtensions[] = {"pdf", "txt", "htm", "html", "rtf"};
const char* const kPictureExtensions[] = {"png", "bmp", "gif", "jpg", "jpeg"};

// Names Windows opens as devices in every folder, with any extension.
const char* const kReservedNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                      "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                      "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// ':' would name a drive or an alternate stream of a file.
bool IsInvalidInName(unsigned char c) { return c < 0x20 || std::strchr("<>\"|?*:", c) != nullptr; }

bool IsReserved(const std::string& step) {
    const std::string base = step.substr(0, step.find('.'));
    for (const char* reserved : kReservedNames)
        if (EqualsIgnoringCase(base.c_str(), reserved)) return true;
    return false;
}

template <size_t Count>
bool HasExtension(const std::string& name, const char* const (&extensions)[Count]) {
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return false;
    const size_t separator = name.find_last_of("\\/");
    if (separator != std::string::npos && separator > dot) return false;
    const std::string extension = name.substr(dot + 1);
    for (const char* allowed : extensions)
        if (EqualsIgnoringCase(extension.c_str(), allowed)) return true;
    return false;
}

// What keeps a name from standing for a file inside the definition's folder.
CompanionFileProblem CheckPlace(const std::string& name) {
    if (name.empty()) return CompanionFileProblem::Empty;
    if (IsSeparator(name[0])) return CompanionFileProblem::OutsideFolder;  // rooted, or \\server\share
    if (name.size() >= 2 && name[1] == ':') return CompanionFileProblem::OutsideFolder;  // a drive
    for (unsigned char c : name)
        if (IsInvalidInName(c)) return CompanionFileProblem::InvalidCharacter;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        const std::string step = name.substr(start, end - start);
        // Windows drops trailing dots and blanks of a step, so ". ." is "..".
        const size_t kept = step.find_last_not_of(". ");
        if (!step.empty() && kept == std::string::npos && step.find("..") != std::string::npos)
            return CompanionFileProblem::ParentFolder;
        if (!step.empty() && IsReserved(step)) return CompanionFileProblem::ReservedName;
        start = end + 1;
    }
    return CompanionFileProblem::None;
}

template <size_t Count>
CompanionFileProblem CheckName(const std::string& name, const char* const (&extensions)[Count],
                               CompanionFileProblem wrongKind) {
    const CompanionFileProblem place = CheckPlace(name);
    if (place != CompanionFileProblem::None) return place;
    return HasExtension(name, extensions) ? CompanionFileProblem::None : wrongKind;
}

std::string PathInFolder(const DRUVDevice& device, const std::string& name) {
    const std::string& definition = device.FilePath();
    const size_t separator = definition.find_last_of("\\/");
    if (separator == std::string::npos) return definition.empty() ? std::string() : name;
    return definition.substr(0, separator + 1) + name;
}

}  // namespace

CompanionFileProblem CheckHelpFileName(const std::string& name) {
    return CheckName(name, kDocumentExtensions, CompanionFileProblem::NotADocument);
}

CompanionFileProblem CheckPictureFileName(const std::string& name) {
    return CheckName(name, kPictureExtensions, CompanionFileProblem::NotAPicture);
}

std::string DescribeCompanionFileProblem(CompanionFileProblem problem) {
    switch (problem) {
        case CompanionFileProblem::None: return std::string();
        case CompanionFileProblem::Empty: return "it names no file";
        case CompanionFileProblem::OutsideFolder:
            return "it names a place outside the definition's folder (a drive, a network name or a path from the "
                   "top of a drive)";
        case CompanionFileProblem::ParentFolder: return "it leads out of the definition's folder (\"..\")";
        case CompanionFileProblem::InvalidCharacter: return "it holds a character that file names cannot hold";
        case CompanionFileProblem::ReservedName: return "it names a device of the system, not a file";
        case CompanionFileProblem::NotADocument:
            return std::string("only documents are opened (") + kHelpDocumentKinds + ")";
        case CompanionFileProblem::NotAPicture:
            return std::string("only pictures are read (") + kPictureKinds + ")";
    }
    return std::string();
}

std::string HelpFilePath(const DRUVDevice& device) {
    if (CheckHelpFileName(device.HelpFile()) != CompanionFileProblem::None) return std::string();
    return PathInFolder(device, device.HelpFile());
}

std::string PictureFilePath(const DRUVDevice& device, const std::string& picture) {
    if (CheckPictureFileName(picture) != CompanionFileProblem::None) return std::string();
    return PathInFolder(device, picture);
}
