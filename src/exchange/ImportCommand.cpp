#include "exchange/ImportCommand.h"

#include <algorithm>
#include <cerrno>

#include "base/Log.h"
#include "base/Progress.h"
#include "base/UpperAscii.h"
#include "disk/DiskTypes.h"
#include "exchange/ClassifyPcFile.h"
#include "exchange/FileTransfer.h"
#include "exchange/PcFileHeader.h"
#include "exchange/PcName.h"

namespace tavik {

std::string FileNameDialogTitle(int mode) {
    return mode == 0 ? "Enter filename, optionally type" : "Confirm filename and type";
}

bool ParseImportType(const std::string& text, ImportType& type) {
    std::string t = UpperAscii(text);
    while (!t.empty() && t.back() == ' ')
        t.pop_back();
    while (!t.empty() && t.front() == ' ')
        t.erase(0, 1);
    type = ImportType{};
    if (!t.empty() && t[0] == 'R') {
        type.raw = true;
        t.erase(0, 1);
    }
    if (t == "PROG" || t == "EA5") {
        type.status = kStatusProgram;
        return true;
    }
    static const struct {
        const char* prefix;
        uint8_t status;
    } kTypes[] = {{"DF", 0x00}, {"DV", 0x80}, {"IF", 0x02}, {"IV", 0x82}};
    for (const auto& k : kTypes) {
        if (t.compare(0, 2, k.prefix) != 0) continue;
        // Type texts count in decimal: "DF080" is DIS/FIX 80, "DV010" DIS/VAR 10.
        const std::string_view digits = std::string_view(t).substr(2);
        if (digits.empty() || digits.size() > 6 ||
            digits.find_first_not_of("0123456789") != std::string_view::npos)
            return false;
        type.status = k.status;
        type.recordLength = std::stoi(std::string(digits));
        return true;
    }
    return false;
}

std::string TextImportName(const std::string& pcPath) {
    std::string name = UpperAscii(PcFileTitle(pcPath));
    std::replace(name.begin(), name.end(), '.', '/');
    return TiNameOf(name);
}

CImportCommand::CImportCommand(CTiDisk& disk, CUserPrompt& prompt, CFileNameAnswers& dialog,
                               const ImportOptions& options)
    : m_disk(disk), m_prompt(prompt), m_dialog(dialog), m_options(options) {
    m_state.convertTabs = options.replaceTabs;
    m_state.truncate = options.truncate;
}

ImportOutcome CImportCommand::Fail(const std::string& text) {
    m_prompt.Message(text, PromptIcon::Warning);
    return ImportOutcome::Failed;
}

ImportOutcome CImportCommand::FailWithDiskError() {
    return Fail(m_disk.ErrorText());
}

ImportOutcome CImportCommand::ImportOne(const std::string& pcPath) {
    OpenFailure why = OpenFailure::None;
    errno = 0;
    auto file = CDiskFile::Open(pcPath, OpenMode::ReadOnly, &why);
    if (!file)
        return Fail(why == OpenFailure::NotRegular
                        ? pcPath + ": Not a regular file"
                        : "Cannot open PC file" + PcFileReason(pcPath, errno));
    return ImportFrom(*file, pcPath);
}

ImportOutcome CImportCommand::ImportFrom(CPcFile& file, const std::string& pcPath) {
    const int64_t length = file.Length();
    if (length < 0) return Fail("Error reading PC file" + PcFileReason(pcPath, errno));

    PcFileClass pc;
    if (PcFileExtension(pcPath) == "TXT") {
        pc.kind = PlainFile;
        m_state.convertText = true;
        m_state.type = "DV80";
        m_state.name = TextImportName(pcPath);
    } else {
        pc = ClassifyPcFile(file, pcPath);
        if (pc.unreadable) return Fail("Error reading PC file" + PcFileReason(pcPath, errno));
        if (IsDiskKind(pc.kind)) {
            m_prompt.Message("This file contains a whole TI-99/4A disk", PromptIcon::Warning);
            return ImportOutcome::Stopped;
        }
        // A cut header, or data shorter than the header says, would import as a file that
        // claims to be whole.
        if (const std::string shortBy = ShortHeaderFile(pc, length); !shortBy.empty())
            return Fail(pcPath + ": " + shortBy);
        m_state.convertText = false;
        m_state.type = ShortTypeText(static_cast<uint8_t>(pc.flags), pc.recordLength);
        m_state.name = pc.tiName;
    }
    if (!m_dialog.Confirm(1, m_state)) return ImportOutcome::Stopped;

    ImportType type;
    if (!ParseImportType(m_state.type, type)) return Fail("Illegal file type");
    std::string name = m_state.name;
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    while (!name.empty() && name.front() == ' ')
        name.erase(0, 1);
    if (name.empty()) return Fail("Illegal file name");
    const bool program = type.status == kStatusProgram;
    // Refused before anything is made: a data file needs a record length of 1 to 255, and a
    // text record with its length byte and end mark must fit a sector.
    if (!program && (type.recordLength < 1 || type.recordLength > 255))
        return Fail("Illegal record length " + std::to_string(type.recordLength));
    if (m_state.convertText && type.status == kStatusVariable && type.recordLength > 254)
        return Fail("Text records can be at most 254 characters long");

    ImportPlan plan;
    if (m_state.convertText) {
        m_disk.SetConversion(m_state.convertTabs ? 1 : 0, m_state.truncate ? 1 : 0, -1, -1, -1);
        // Refused before the disk changes: a file of that name stays as it was.
        if (program) return Fail("Can't import text into a 'program' file");
        if (type.status & kStatusInternal) return Fail("Can't import text into an 'internal' file");
        plan.method =
            (type.status & kStatusVariable) ? ImportMethod::TextVariable : ImportMethod::TextFixed;
        plan.recordLength = type.recordLength;
        plan.replaceTabs = m_state.convertTabs;
        plan.truncate = m_state.truncate;
        plan.tabStops = m_options.tabStops;
    } else {
        plan = PlanBinaryImport(pc, length, type.status, type.recordLength, type.raw);
    }
    std::string message;
    std::vector<std::string> notes;
    if (!ImportFile(m_disk, name, type.status, file, pc.dataOffset, plan, message, &notes))
        return message.empty() ? FailWithDiskError() : Fail(message);
    for (const std::string& note : notes) {
        m_notes.push_back(pcPath + ": " + note);
        LogLine("Import " + m_notes.back());
    }
    return ImportOutcome::Imported;
}

int CImportCommand::Run(const std::vector<std::string>& pcPaths) {
    int imported = 0;
    CProgress progress(m_prompt, "Importing files", static_cast<int>(pcPaths.size()));
    for (size_t i = 0; i < pcPaths.size(); ++i) {
        progress.Step(static_cast<int>(i));
        const ImportOutcome outcome = ImportOne(pcPaths[i]);
        if (outcome == ImportOutcome::Stopped) break;
        if (outcome == ImportOutcome::Imported) ++imported;
    }
    return imported;
}

void AddRecentFolder(std::vector<std::string>& recent, const std::string& folder, size_t limit) {
    if (folder.empty() || std::find(recent.begin(), recent.end(), folder) != recent.end()) return;
    recent.insert(recent.begin(), folder);
    if (recent.size() > limit) recent.resize(limit);
}

}  // namespace tavik
