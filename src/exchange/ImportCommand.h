// The import command of the catalog list, without its windows: for each PC file the proposal
// of name and type, the file-name dialog (answered by the caller), the checks and their
// messages, the creation of the TI file and the binary or text import into it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/UserPrompt.h"
#include "disk/VirtualDrive.h"

namespace tavik {

// The file-name dialog's fields. Name, type and "Convert text" are proposed anew for each
// file; the two other boxes keep what the user last chose.
struct FileNameDialogState {
    std::string name;
    std::string type;
    bool convertText = false;
    bool convertTabs = false;
    bool truncate = false;
};

// Answers the file-name dialog. Mode 0: "Enter filename, optionally type", without the three
// boxes; mode 1: "Confirm filename and type". False means Cancel.
class CFileNameAnswers {
public:
    virtual ~CFileNameAnswers() = default;
    virtual bool Confirm(int mode, FileNameDialogState& state) = 0;
};

std::string FileNameDialogTitle(int mode);

struct ImportType {
    bool raw = false;  // the type was typed with an "R" in front
    uint8_t status = 0;
    int recordLength = 0;
};

// "Prog" or "EA5" (a program), "DF%d", "DV%d", "IF%d", "IV%d", any of them after an "R";
// letters in either case. False when none matches.
bool ParseImportType(const std::string& text, ImportType& type);

// The TI name proposed for a text file: the PC name without its extension, in upper case, with
// every "." turned into "/" (READ.ME.TXT gives READ/ME), read back as a TI name (PcName.h).
std::string TextImportName(const std::string& pcPath);

struct ImportOptions {
    bool replaceTabs = false;  // "Replace tabs on import"
    bool truncate = false;     // "Truncate overlong lines"
    std::vector<uint16_t> tabStops{7, 12, 25};
};

enum class ImportOutcome { Imported, Failed, Stopped };

class CImportCommand {
public:
    CImportCommand(CTiDisk& disk, CUserPrompt& prompt, CFileNameAnswers& dialog,
                   const ImportOptions& options);

    // One PC file. Stopped: the user cancelled, or the file holds a whole disk.
    ImportOutcome ImportOne(const std::string& pcPath);
    // The same for a PC file already open; pcPath gives its name.
    ImportOutcome ImportFrom(CPcFile& file, const std::string& pcPath);
    // Each file in turn until one stops the command; the number of files imported.
    int Run(const std::vector<std::string>& pcPaths);

    const FileNameDialogState& State() const { return m_state; }
    // "PC path: what was overruled" for each header value the data of an imported file
    // overruled (also written to the log).
    const std::vector<std::string>& Notes() const { return m_notes; }

private:
    ImportOutcome Fail(const std::string& text);
    ImportOutcome FailWithDiskError();

    CTiDisk& m_disk;
    CUserPrompt& m_prompt;
    CFileNameAnswers& m_dialog;
    ImportOptions m_options;
    FileNameDialogState m_state;
    std::vector<std::string> m_notes;
};

// Puts the folder at the front of the recent-folder list unless it is there already; the
// list keeps at most `limit` folders.
void AddRecentFolder(std::vector<std::string>& recent, const std::string& folder,
                     size_t limit = 10);

}  // namespace tavik
