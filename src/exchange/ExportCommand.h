// The export command of the catalog list, without its windows: the name lookup, the chooser's
// answer (given by the caller), the choice of header or text; and the private temporary files
// that the views hand to the desktop's viewer when the user prefers that one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/UserPrompt.h"
#include "disk/VirtualDrive.h"
#include "exchange/TextExport.h"

namespace tavik {

struct ExportChoice {
    std::string pcPath;  // as the chooser returned it, possibly in quotes
    int format = 2;      // an ExportFormat
};

// Answers the export chooser ("Select/create one file to receive TI file data"). False means
// Cancel.
class CExportChooserAnswers {
public:
    virtual ~CExportChooserAnswers() = default;
    virtual bool Choose(const std::string& tiName, ExportChoice& choice) = 0;
};

// The name between the first pair of quotes when the text is quoted, else the text.
std::string UnquotedPcName(const std::string& text);

// Exports the file of FDR sector fdr in one of the ExportFormat forms. Binary forms set the
// drive's header kind (other settings unchanged); text forms set its tabs flag and end their
// lines in CR LF when crLf is set. 1 or 0 with the drive's last error.
int ExportInFormat(CTiDisk& disk, int fdr, const std::string& pcPath, int format,
                   const std::vector<uint16_t>& tabStops, bool crLf = kPlatformCrLf);

// The whole command for the first selected file: 1 exported, 0 failed (message shown),
// -1 cancelled.
int RunExportCommand(CTiDisk& disk, const std::string& tiName, CExportChooserAnswers& chooser,
                     CUserPrompt& prompt, const std::vector<uint16_t>& tabStops,
                     bool crLf = kPlatformCrLf);

// Temporary files for the desktop's viewer: each is created afresh with a unique name, readable
// only by the user, in the system's temporary folder, and removed when this object goes (at the end
// of the program), since the viewer may still be reading it after the command returned.
class CViewFiles {
public:
    CViewFiles() = default;
    explicit CViewFiles(std::string folder) : m_folder(std::move(folder)) {}
    ~CViewFiles();
    CViewFiles(const CViewFiles&) = delete;
    CViewFiles& operator=(const CViewFiles&) = delete;

    // A new empty file with the given contents; "" when it cannot be made.
    std::string Create(const std::string& contents);
    const std::vector<std::string>& Files() const { return m_files; }
    std::string Folder() const;

private:
    std::string m_folder;
    std::vector<std::string> m_files;
};

}  // namespace tavik
