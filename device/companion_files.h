// The files a definition names beside itself: its help document and its two
// pictures. Definitions are shared between musicians, so a name is only used
// when it stays inside the definition's own folder and names the kind of file
// it is read as; a help file is handed to the shell, which would start a
// program as readily as it opens a document.
#pragma once

#include <string>

class DRUVDevice;

enum class CompanionFileProblem {
    None,
    Empty,             // nothing named
    OutsideFolder,     // an absolute path, a drive, a network name
    ParentFolder,      // a ".." step out of the folder
    InvalidCharacter,  // a character no file name holds (control, < > " | ? * :)
    ReservedName,      // a device of the system (CON, NUL, COM1, ...)
    NotADocument,      // a help file whose extension is not a document's
    NotAPicture,       // a picture whose extension is not a picture's
};

// The documents a help file may be, and the pictures a picture may be, as
// musicians read them: ".pdf, .txt, .htm, .html, .rtf".
extern const char kHelpDocumentKinds[];
extern const char kPictureKinds[];

CompanionFileProblem CheckHelpFileName(const std::string& name);
CompanionFileProblem CheckPictureFileName(const std::string& name);

// Why the name is not used, as a clause for a musician ("it leads out of the
// definition's folder"); empty for None.
std::string DescribeCompanionFileProblem(CompanionFileProblem problem);

// The path of the named file in the definition's folder, with the folder's
// own separator style; empty when the name is refused or the definition has
// no folder.
std::string HelpFilePath(const DRUVDevice& device);
std::string PictureFilePath(const DRUVDevice& device, const std::string& picture);
