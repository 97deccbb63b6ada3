// Installing, querying, moving and removing the hook.
#include <cerrno>
#include <memory>
#include <vector>

#include "base/PcFile.h"
#include "remote/RemoteTi.h"

namespace tavik {

namespace {

constexpr int kHookHeaderBytes = 128;
constexpr int kHookRecordBytes = 80;
// A hook is a few hundred bytes; a larger length word is not a hook's.
constexpr int kMaxHookLength = 0x4000;

// Keeps the serial link's pause flag and input lines, and puts them back however the upload
// ends.
class CUploadLineGuard {
public:
    explicit CUploadLineGuard(CLinkPort& link) : m_link(link), m_saved(link.Settings()) {
        if (!m_link.Settings().serial) return;
        m_link.Settings().pause = true;
        m_link.Settings().inputLine = 0;
        m_link.Settings().secondInputLine = 0;
    }
    ~CUploadLineGuard() {
        m_link.Settings().pause = m_saved.pause;
        m_link.Settings().inputLine = m_saved.inputLine;
        m_link.Settings().secondInputLine = m_saved.secondInputLine;
    }
    CUploadLineGuard(const CUploadLineGuard&) = delete;
    CUploadLineGuard& operator=(const CUploadLineGuard&) = delete;

private:
    CLinkPort& m_link;
    LinkSettings m_saved;
};

}  // namespace

HookUploadResult CRemoteTi::UploadHook(const std::string& path) {
    errno = 0;
    std::unique_ptr<CDiskFile> file = CDiskFile::Open(path, OpenMode::ReadOnly);
    if (!file) {
        m_prompt->Message("Cannot open PC file" + PcFileReason(path, errno), PromptIcon::Error);
        return HookUploadResult::Failed;
    }
    const int64_t length = file->Length();
    if (length < kHookHeaderBytes + kHookRecordBytes) {
        m_prompt->Message("Bad file format", PromptIcon::Error);
        return HookUploadResult::Failed;
    }
    if (!m_link.IsOpen() && !m_link.Open(true)) return HookUploadResult::Failed;
    {
        CUploadLineGuard guard(m_link);
        // The records go out as they are: the TI runs a loader that reads them.
        uint8_t record[kHookRecordBytes];
        for (int64_t offset = kHookHeaderBytes; offset + kHookRecordBytes <= length;
             offset += kHookRecordBytes) {
            bool ok = file->ReadAt(offset, record, kHookRecordBytes) == kHookRecordBytes;
            for (int i = 0; ok && i < kHookRecordBytes; ++i)
                ok = m_link.SendByte(record[i], true);
            if (!ok) {
                m_prompt->Message("Transmission error", PromptIcon::Error);
                return HookUploadResult::Failed;
            }
        }
    }
    const bool scan = m_prompt->Ask("Hook uploaded. Scan remote TI-99/4A for drives?",
                                    PromptButtons::YesNo) == PromptAnswer::Yes;
    if (!Where(true, true)) {
        m_prompt->Message("Hook not working properly", PromptIcon::Error);
        return HookUploadResult::Failed;
    }
    return scan ? HookUploadResult::ScanRequested : HookUploadResult::Uploaded;
}

bool CRemoteTi::QueryHook(const LinkSettings& pageSettings, uint16_t& location,
                          uint16_t& workspace) {
    LinkSettings quick = pageSettings;
    quick.timeout = 100;
    m_link.SetSettings(quick);
    const bool ok = m_link.Open(true) && Where(true, true);
    m_link.Settings().timeout = pageSettings.timeout;
    if (ok) {
        location = m_hookLocation;
        workspace = m_hookWorkspace;
        m_prompt->Message("It worked!", PromptIcon::Information);
    } else {
        m_prompt->Message("Operation failed", PromptIcon::Error);
    }
    return ok;
}

bool CRemoteTi::MoveHook(int newLocation, int newWorkspace) {
    auto failed = [this] {
        m_prompt->Message("Operation failed", PromptIcon::Error);
        return false;
    };
    if (!SetReturn() || !Where()) return failed();
    const int oldLocation = m_hookLocation;
    const int oldWorkspace = m_hookWorkspace;
    newLocation &= 0xFFFF;
    newWorkspace &= 0xFFFF;
    if (newLocation == oldLocation && newWorkspace == oldWorkspace) return true;
    if (newWorkspace != oldWorkspace) {
        uint8_t registers[32];
        if (ReadMemory(SpaceCpu, oldWorkspace, 32, 0, 0, registers) != 32 ||
            WriteMemory(SpaceCpu, newWorkspace, 32, 0, 0, registers) != 32 ||
            !WriteWord(oldLocation + 10, newWorkspace) ||
            !WriteWord(oldLocation + 14, newWorkspace))
            return failed();
        m_hookWorkspace = static_cast<uint16_t>(newWorkspace);
    }
    if (newLocation != oldLocation) {
        const int length = ReadWord(oldLocation + 18);
        if (length <= 0 || length > kMaxHookLength) return failed();
        std::vector<uint8_t> code(static_cast<size_t>(length));
        if (ReadMemory(SpaceCpu, oldLocation, length, 0, 0, code.data()) != length ||
            WriteMemory(SpaceCpu, newLocation, length, 0, 0, code.data()) != length)
            return failed();
        const int distance = ReadWord(oldLocation + 12);
        if (distance < 0) return failed();
        const int offset = (newLocation - oldLocation) & 0xFFFF;
        if (!WriteWord(newLocation + 8, newLocation + 10) ||
            !WriteWord(newLocation + 12, (offset + distance) & 0xFFFF) ||
            !WriteWord(newLocation + 16, newLocation + 20) || !WriteWord(newWorkspace + 18, offset))
            return failed();
        m_hookLocation = static_cast<uint16_t>(newLocation);
        m_relocation = static_cast<uint16_t>(offset);
    }
    Begin(StatusMoveHook);
    if (!Command(OpRun) || !SendWord(m_hookLocation + 6)) return failed();
    return true;
}

bool CRemoteTi::Unhook() {
    const int resume = ReadWord(m_wp + 20);  // R10 of the interrupted program
    bool ok = resume >= 0 && WriteWord(m_hookLocation, kJumpNext) &&
              WriteWord(m_hookLocation + 2, kJumpNext) && WriteWord(m_hookLocation + 4, kJumpNext);
    if (ok) {
        m_pc = static_cast<uint16_t>(resume);
        ok = Run();
    }
    if (!ok) m_prompt->Message("Transmission error", PromptIcon::Error);
    return ok;
}

}  // namespace tavik
