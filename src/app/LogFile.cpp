#include "LogFile.h"

#include <filesystem>
#include <vector>

#include "base/PcFile.h"

namespace tavik {

void CLogFile::EnableIfPresent(const std::string& folder) {
    const std::filesystem::path path = folder.empty()
                                           ? std::filesystem::path(kLogFileName)
                                           : std::filesystem::path(folder) / kLogFileName;
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        m_enabled = true;
        m_fileName = path.string();
    }
}

void CLogFile::WriteLine(const std::string& text) {
    if (!m_enabled) return;
    m_buffer += text;
    m_buffer += "\r\n";
}

bool CLogFile::WriteFile(CUserPrompt& prompt) {
    if (!m_enabled) return true;
    if (!WriteWholeFile(m_fileName, std::vector<uint8_t>(m_buffer.begin(), m_buffer.end()))) {
        prompt.Message("Could not open file " + m_fileName, PromptIcon::Error);
        return false;
    }
    return true;
}

}  // namespace tavik
