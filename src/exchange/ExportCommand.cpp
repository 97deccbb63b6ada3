#include "exchange/ExportCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "base/PcFile.h"
#include "exchange/ConversionSettings.h"
#include "exchange/ExportLayout.h"
#include "exchange/FileTransfer.h"
#include "exchange/PcFileKind.h"

namespace tavik {

std::string UnquotedPcName(const std::string& text) {
    const size_t open = text.find('"');
    if (open == std::string::npos) return text;
    const size_t close = text.find('"', open + 1);
    if (close == std::string::npos) return text.substr(open + 1);
    return text.substr(open + 1, close - open - 1);
}

int ExportInFormat(CTiDisk& disk, int fdr, const std::string& pcPath, int format,
                   const std::vector<uint16_t>& tabStops, bool crLf) {
    if (IsTextFormat(format)) {
        disk.SetConversion(format == TextWithTabs ? 1 : 0, -1, -1, -1, -1);
        ConversionSettings s = ConversionOf(disk, tabStops);
        s.crLf = crLf;
        return ExportText(disk, fdr, pcPath, s);
    }
    const int kind = HeaderKindOf(format);
    if (kind < 0) {
        disk.SetLastError(DiskError::BadFormatSpec);
        return 0;
    }
    disk.SetConversion(-1, -1, kind, -1, -1);
    return ExportFile(disk, fdr, pcPath, ConversionOf(disk, tabStops, IsWholeSectors(format)));
}

int RunExportCommand(CTiDisk& disk, const std::string& tiName, CExportChooserAnswers& chooser,
                     CUserPrompt& prompt, const std::vector<uint16_t>& tabStops, bool crLf) {
    const int fdr = disk.FindFile(tiName);
    if (fdr == 0) {
        prompt.Message("File not found", PromptIcon::Warning);
        return 0;
    }
    if (fdr < 0) {
        prompt.Message(disk.ErrorText(), PromptIcon::Warning);
        return 0;
    }
    ExportChoice choice;
    choice.format = disk.ExportHeaderKind();
    if (!chooser.Choose(tiName, choice)) return -1;
    if (!ExportInFormat(disk, fdr, UnquotedPcName(choice.pcPath), choice.format, tabStops, crLf)) {
        prompt.Message(disk.ErrorText(), PromptIcon::Warning);
        return 0;
    }
    return 1;
}

CViewFiles::~CViewFiles() {
    for (const std::string& f : m_files)
        std::remove(f.c_str());
}

std::string CViewFiles::Folder() const {
    if (!m_folder.empty()) return m_folder;
    std::error_code ec;
    const auto tmp = std::filesystem::temp_directory_path(ec);
    return ec ? std::string("/tmp") : tmp.string();
}

std::string CViewFiles::Create(const std::string& contents) {
    std::string path = (std::filesystem::path(Folder()) / "TAVIKview-XXXXXX.txt").string();
    // mkstemps makes the file with mode 0600 and a name nobody else can take first.
    const int fd = ::mkstemps(path.data(), 4);
    if (fd < 0) return {};
    m_files.push_back(path);
    size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n <= 0) {
            ::close(fd);
            return {};
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) return {};
    return path;
}

}  // namespace tavik
